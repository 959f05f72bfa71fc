// Places the panels for the window's client size and re-centres the animation on the canvas.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include "editor/edit_frame.h"
#include "editor/options_grid.h"

void TEditFrame::UpdateLayout()
{
  const int W = width();
  const int H = height();
  Panel9->setGeometry(0, 0, W, 33);
  Panel7->setGeometry(W - 170, 33, 169, H - 33);
  Panel2->setGeometry(0, 33, W - 170, H - 74);
  Panel4->setGeometry(0, H - 41, W - 170, 41);
  Panel6->setGeometry(0, H - 41, W - 170, 41);
  ZoomLabel->setGeometry(W - 170 - 52, H - 41 + 12, 48, 17);
  ZoomLabel->raise();

  const bool movie = Session.MovieMode && Session.GetCurrentAni();
  Label5->move(Label5->x(), movie ? 46 : -1);
  ComboBox1->move(ComboBox1->x(), movie ? 62 : 15);
  const int gridTop = movie ? 87 : 155;
  StringGrid1->setGeometry(4, gridTop, 161, std::max(0, Panel7->height() - gridTop - 4));
  // Whether every row fits, and so the value column's width, follows the grid's height.
  RefreshOptionsGrid(-1);

  // Canvas positions are counted inside Panel2's border, as the renderer counts them.
  const QRect client = Panel2->contentsRect();
  const int barHeight = std::max(0, Panel2->height() - Session.Scene.TimelineHeight);
  ScrollBar2->setGeometry(client.left(), client.top(), ScrollBar2->width(), barHeight);
  ScrollBar2->setPageStep(barHeight);
  Session.Setup.LayOut(client.width(), Panel2->height(), ScrollBar2->width());
  Session.UpdateSpriteListLayout();
}

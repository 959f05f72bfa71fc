#include "editor/edit_frame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

#include "core/qt_text.h"
#include "editor/canvas_widget.h"
#include "editor/qt_dialogs.h"
#include "model/document.h"

// The session is made with the window's own Qt dialogs unless the options bring others.
static TUiDialogs *ChooseDialogs(TStartOptions &options, std::unique_ptr<TUiDialogs> &own, QWidget *parent)
{
  if (!options.Dialogs)
    own = std::make_unique<TQtUiDialogs>(parent);
  return options.Dialogs ? options.Dialogs : own.get();
}

TEditFrame::TEditFrame(TStartOptions options)
    : QWidget(nullptr), Session(ChooseDialogs(options, ownDialogs_, this), this, std::move(options.SoundDevice))
{
  setWindowTitle(BaseCaption);
  setFont(QFont("MS Sans Serif", 8));
  resize(563, 465);
  CreateControls();
  ConnectControls();
  QLocale::setDefault(QLocale::c());

  for (const char *name : DirectionNames)
    ComboBox1->addItem(name);
  ComboBox1->setCurrentIndex(2);
  Session.Setup.Display.OnFlip = [this] { DXDraw1->update(); };

  Session.Start(options);
  RefreshPartList();
  UpdateButtons();
  UpdateLayout();
  ComboBox1->setFocus();
}

TEditFrame::~TEditFrame()
{
  Timer1.SetEnabled(false);
  Session.Setup.Display.OnFlip = nullptr;
}

// --- What the session asks the window to show. ---

void TEditFrame::Refresh(TViewPart part, int)
{
  switch (part) {
  case TViewPart::Caption:
    UpdateCaption();
    break;
  case TViewPart::PartList:
    RefreshPartList();
    break;
  case TViewPart::SelectionInfo:
    RefreshSelectionInfo();
    break;
  case TViewPart::Buttons:
    UpdateButtons();
    break;
  case TViewPart::Mode:
    ShowMode();
    break;
  case TViewPart::OptionsGrid:
  case TViewPart::OptionsGridLabels:
  case TViewPart::ActorList:
    // The options grid and the actor list are not built yet.
    break;
  }
}

void TEditFrame::ClearFocus()
{
  if (QWidget *focused = focusWidget())
    focused->clearFocus();
}

void TEditFrame::MovePointer(int x, int y)
{
  QCursor::setPos(DXDraw1->mapToGlobal(QPoint(x, y)));
}

void TEditFrame::UpdateCaption()
{
  if (!Session.GetCurrentAni())
    return;
  const QString text = ToQt(Session.Caption());
  if (windowTitle() != text)
    setWindowTitle(text);
}

// --- Mode, buttons, part list. ---

void TEditFrame::ShowMode()
{
  const bool movie = Session.MovieMode;
  CheckBox1->setVisible(movie);
  CheckBox2->setVisible(movie);
  Panel4->setVisible(movie);
  Panel6->setVisible(!movie);
  GroupBox1->setVisible(!movie);
  SpeedButton23->setVisible(!movie);
  Label5->setText(movie ? "Edit attributes:" : "Direction:");
  MovieButton->setText(movie ? "-> Sprite Mode" : "-> Movie Mode");
  if (!movie) {
    ComboBox1->clear();
    for (const char *name : DirectionNames)
      ComboBox1->addItem(name);
    ComboBox1->setCurrentIndex(2);
  }
  UpdateLayout();
}

void TEditFrame::UpdateButtons()
{
  // Only the commands that exist so far follow the document; the others stay disabled.
  const bool hasDocument = Session.GetCurrentAni() != nullptr;
  SpeedButton10->setEnabled(hasDocument);
  SpeedButton11->setEnabled(hasDocument);
  SpeedButton24->setEnabled(false);
  SpeedButton25->setEnabled(false);
}

void TEditFrame::RefreshPartList()
{
  const TPartList *parts = Session.CurrentPartList();
  QStringList items;
  if (parts)
    for (const auto &part : *parts)
      items << ToQt(DescribePart(*part));
  bool same = ComboBox3->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i)
    same = ComboBox3->itemText(i) == items[i];
  // Playback refreshes on every tick; an unchanged list is left alone.
  if (!same) {
    ComboBox3->clear();
    ComboBox3->addItems(items);
  }
  const std::vector<int> &selection = Session.Scene.Selection;
  const int primary = selection.empty() ? 0 : selection.front();
  ComboBox3->setCurrentIndex(std::min(primary, int(items.size()) - 1));
  RefreshSelectionInfo();
}

void TEditFrame::RefreshSelectionInfo()
{
  const TPartList *parts = Session.CurrentPartList();
  const int primary = Session.PrimarySelection();
  if (primary >= 0) {
    Edit1->setText(QString::number((*parts)[primary]->X));
    Edit2->setText(QString::number((*parts)[primary]->Y));
  } else {
    Edit1->setText("-");
    Edit2->setText("-");
  }
  UpdateButtons();
}

void TEditFrame::ComboBox1Change()
{
  Session.SetDirection(ComboBox1->currentIndex());
}

void TEditFrame::ComboBox3Change()
{
  Session.ChoosePart(ComboBox3->currentIndex());
}

void TEditFrame::CheckBox1Click()
{
  Session.SetAutoAniSetting(CheckBox1->isChecked());
}

void TEditFrame::CheckBox2Click()
{
  Session.SetZelto2002Mode(CheckBox2->isChecked());
}

// --- File commands. ---

void TEditFrame::SpeedButton34Click()
{
  Session.NewCommand();
}

void TEditFrame::SpeedButton9Click()
{
  Session.LoadCommand();
}

void TEditFrame::SpeedButton10Click()
{
  Session.SaveCommand();
}

void TEditFrame::SpeedButton11Click()
{
  Session.SaveAs();
}

// --- Playback. ---

void TEditFrame::Timer1Timer()
{
  Session.Tick();
}

void TEditFrame::SpeedButton12Click()
{
  Session.Play();
}

void TEditFrame::Button4Click()
{
  Session.Stop();
}

void TEditFrame::SpeedButton35Click()
{
  Session.AddSound("", 24, 32);
}

// --- Canvas. ---

void TEditFrame::DXDraw1MouseDown(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers)
{
  Session.MouseDown(button == Qt::RightButton, x, y);
}

void TEditFrame::DXDraw1MouseMove(int x, int y, Qt::KeyboardModifiers)
{
  if (!Session.GetCurrentAni())
    return;
  DXDraw1->setCursor(!Session.MovieMode && Session.OverFrameStart(x, y) ? Qt::SplitHCursor : Qt::ArrowCursor);
  Session.MouseMove(x, y);
}

void TEditFrame::DXDraw1MouseUp(Qt::MouseButton, int x, int y)
{
  Session.MouseUp(x, y);
}

// --- Window events. ---

void TEditFrame::FormShow()
{
  ScrollBar2->move(Panel2->contentsRect().left() + 2, ScrollBar2->y());
  UpdateLayout();
  Session.DrawCanvas();
}

bool TEditFrame::FormCloseQuery()
{
  return Session.QuerySave();
}

void TEditFrame::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TEditFrame::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  if (Panel2) {
    UpdateLayout();
    if (shown_)
      Session.DrawCanvas();
  }
}

void TEditFrame::changeEvent(QEvent *event)
{
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange)
    return;
  if (isActiveWindow()) {
    ClearFocus();
    Timer1.SetEnabled(true);
  } else {
    Timer1.SetEnabled(false);
  }
}

void TEditFrame::closeEvent(QCloseEvent *event)
{
  if (FormCloseQuery())
    event->accept();
  else
    event->ignore();
}

// Creates the window's controls with their captions, hints and starting states, and connects
// them to the handlers. Positions that depend on the window size are set by UpdateLayout.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

#include "editor/canvas_widget.h"
#include "editor/edit_frame.h"
#include "editor/icons.h"
#include "editor/options_grid.h"

namespace {

constexpr int ToolbarButton = 27; // flat toolbar buttons, 33-high toolbar
constexpr int PanelButton = 35;   // frame and actor buttons, 41-high panels

QFrame *MakePanel(QWidget *parent, QFrame::Shape shape = QFrame::NoFrame)
{
  auto *panel = new QFrame(parent);
  panel->setFrameShape(shape);
  return panel;
}

QToolButton *MakeButton(QWidget *parent, TIconKind icon, const char *hint, int size, bool flat)
{
  auto *button = new QToolButton(parent);
  button->setIcon(MakeIcon(icon));
  button->setIconSize(QSize(size - 9, size - 9));
  button->setToolTip(hint);
  button->setAutoRaise(flat);
  button->resize(size, size);
  return button;
}

// Lays out buttons left to right from x, with extra space after the indices in gaps.
void Row(const std::vector<QWidget *> &buttons, int x, int y, std::vector<size_t> gaps = {})
{
  for (size_t i = 0; i < buttons.size(); ++i) {
    buttons[i]->move(x, y);
    x += buttons[i]->width() + 1;
    if (std::find(gaps.begin(), gaps.end(), i) != gaps.end())
      x += 8;
  }
}

} // namespace

void TEditFrame::CreateControls()
{
  // The order of creation is the widgets' stacking order (siblings made later lie above earlier
  // ones) and their tab order: keep it.
  CreateToolbar();
  CreateCanvasPanel();
  CreateFrameButtons();
  CreateActorButtons();
  CreateCanvasLabels();
  CreateRightColumn();
  PlaceRightColumn();
  CreateMenus();
  CreateHiddenControls();
}

void TEditFrame::CreateToolbar()
{
  Panel9 = MakePanel(this);
  Panel9->setGeometry(0, 0, width(), 33);
  SpeedButton34 = MakeButton(Panel9, TIconKind::New, "New Animation", ToolbarButton, true);
  SpeedButton9 = MakeButton(Panel9, TIconKind::Open, "Load Animation", ToolbarButton, true);
  // The recent files drop down from an arrow beside the Load button.
  RecentMenu = new QMenu(SpeedButton9);
  SpeedButton9->setMenu(RecentMenu);
  SpeedButton9->setPopupMode(QToolButton::MenuButtonPopup);
  SpeedButton9->resize(ToolbarButton + 12, ToolbarButton);
  SpeedButton10 = MakeButton(Panel9, TIconKind::Save, "Save Animation", ToolbarButton, true);
  SpeedButton11 = MakeButton(Panel9, TIconKind::SaveAs, "Save as", ToolbarButton, true);
  SpeedButton24 = MakeButton(Panel9, TIconKind::Undo, "Undo", ToolbarButton, true);
  SpeedButton25 = MakeButton(Panel9, TIconKind::Redo, "Redo", ToolbarButton, true);
  SpeedButton18 = MakeButton(Panel9, TIconKind::AddSprite, "Add Sprite Definition", ToolbarButton, true);
  SpeedButton22 = MakeButton(Panel9, TIconKind::RemoveUnused, "Remove Unused Sprite Definitions", ToolbarButton, true);
  SpeedButton26 = MakeButton(Panel9, TIconKind::Import, "Import Sprite Definitions", ToolbarButton, true);
  SpeedButton23 = MakeButton(Panel9, TIconKind::Reverse, "Reverse Animation", ToolbarButton, true);
  MovieButton = new QPushButton("-> Movie Mode", Panel9);
  MovieButton->setToolTip("Switch between editing frames and editing a movie of actors");
  MovieButton->resize(99, 25);
  Row({SpeedButton34, SpeedButton9, SpeedButton10, SpeedButton11, SpeedButton24, SpeedButton25, SpeedButton18,
       SpeedButton22, SpeedButton26, SpeedButton23, MovieButton},
      3, 3, {3, 5, 9});
  MovieButton->move(MovieButton->x(), 4);
}

// The canvas panel: the canvas fills it from the top left; the scroll bar lies over its left edge.
void TEditFrame::CreateCanvasPanel()
{
  Panel2 = MakePanel(this, QFrame::Box);
  Panel2->setLineWidth(1);
  DXDraw1 = new TCanvasWidget(this, &Session.Setup.Display, Panel2);
  DXDraw1->setGeometry(Panel2->contentsRect().left(), Panel2->contentsRect().top(), TDisplay::BufferSize,
                       TDisplay::BufferSize);
  ScrollBar2 = new QScrollBar(Qt::Vertical, Panel2);
  ScrollBar2->setFixedWidth(17);
  ScrollBar2->setEnabled(false);
  ScrollBar2->setToolTip("Scroll the sprite definitions");
}

// The frame buttons of sprite mode.
void TEditFrame::CreateFrameButtons()
{
  Panel6 = MakePanel(this);
  SpeedButton12 = MakeButton(Panel6, TIconKind::Play, "Play Animation", PanelButton, false);
  SpeedButton13 = MakeButton(Panel6, TIconKind::Stop, "Stop Animation", PanelButton, false);
  SpeedButton14 = MakeButton(Panel6, TIconKind::AddFrame, "Add Animation Frame", PanelButton, false);
  SpeedButton15 = MakeButton(Panel6, TIconKind::DeleteFrame, "Delete Animation Frame", PanelButton, false);
  SpeedButton16 = MakeButton(Panel6, TIconKind::CopyFrame, "Copy Animation Frame", PanelButton, false);
  SpeedButton17 =
      MakeButton(Panel6, TIconKind::InsertBefore, "Insert Anistep Before Current Frame", PanelButton, false);
  SpeedButton21 = MakeButton(Panel6, TIconKind::InsertAfter, "Insert Anistep After Current Frame", PanelButton, false);
  SpeedButton35 = MakeButton(Panel6, TIconKind::AddSound, "Add Sound", PanelButton, false);
  OnionSkinButton = MakeButton(Panel6, TIconKind::OnionSkin, "Onion Skin: show the previous and the next frame faintly",
                               PanelButton, false);
  OnionSkinButton->setCheckable(true);
  Row({SpeedButton12, SpeedButton13, SpeedButton14, SpeedButton15, SpeedButton16, SpeedButton17, SpeedButton21,
       SpeedButton35, OnionSkinButton},
      3, 3, {1, 6, 7});
}

// The actor buttons of movie mode.
void TEditFrame::CreateActorButtons()
{
  Panel4 = MakePanel(this);
  SpeedButton27 = MakeButton(Panel4, TIconKind::Play, "Play Animation", PanelButton, false);
  SpeedButton28 = MakeButton(Panel4, TIconKind::Stop, "Stop Animation", PanelButton, false);
  SpeedButton29 = MakeButton(Panel4, TIconKind::AddCharacter, "Add Character Actor", PanelButton, false);
  SpeedButton33 = MakeButton(Panel4, TIconKind::AddSound, "Add Sound", PanelButton, false);
  SpeedButton36 = MakeButton(Panel4, TIconKind::AddText, "Add Text", PanelButton, false);
  SpeedButton30 = MakeButton(Panel4, TIconKind::DeleteActor, "Delete Actor", PanelButton, false);
  SpeedButton31 = MakeButton(Panel4, TIconKind::CopyActor, "Copy Actor", PanelButton, false);
  SpeedButton32 = MakeButton(Panel4, TIconKind::InsertActor, "Insert Actor", PanelButton, false);
  Row({SpeedButton27, SpeedButton28, SpeedButton29, SpeedButton33, SpeedButton36, SpeedButton30, SpeedButton31,
       SpeedButton32},
      3, 3, {1, 4});
  Panel4->hide();
}

// The zoom at the right end of the bottom panels, and the notice over the canvas.
void TEditFrame::CreateCanvasLabels()
{
  ZoomLabel = new QLabel("100%", this);
  ZoomLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  ZoomLabel->setToolTip("Zoom: Ctrl++ and Ctrl+- (or the wheel over the scene), Ctrl+0 for none");
  NoticeLabel = new QLabel(Panel2);
  NoticeLabel->setWordWrap(true);
  NoticeLabel->setMaximumWidth(320);
  NoticeLabel->setMargin(4);
  NoticeLabel->setFrameShape(QFrame::Box);
  NoticeLabel->setAutoFillBackground(true);
  QPalette notice = NoticeLabel->palette();
  notice.setColor(QPalette::Window, QColor(255, 255, 225));
  notice.setColor(QPalette::WindowText, Qt::black);
  NoticeLabel->setPalette(notice);
  NoticeLabel->hide();
}

void TEditFrame::CreateRightColumn()
{
  Panel7 = MakePanel(this);
  Label5 = new QLabel("Direction:", Panel7);
  ComboBox1 = new QComboBox(Panel7);
  ComboBox1->setToolTip("The direction shown and edited");
  GroupBox1 = new QGroupBox(" Selected Sprite(s) ", Panel7);
  CreateSelectionBox();
  StringGrid1 = new TOptionsGrid(this, Panel7);
  StringGrid1->setToolTip("Animation options");
  CheckBox1 = new QCheckBox("Automatic Velk Setting", Panel7);
  CheckBox1->setChecked(true);
  CheckBox1->setToolTip("Change the animation of the actor when being moved");
  CheckBox2 = new QCheckBox("Zelto2002 velks", Panel7);
  CheckBox2->setToolTip("Use the human_idle and human_walk animations and the Zelto 2002 body");
  CheckBox1->hide();
  CheckBox2->hide();
}

// The controls of the selected sprites, inside the right column's group box.
void TEditFrame::CreateSelectionBox()
{
  ComboBox3 = new QComboBox(GroupBox1);
  ComboBox3->setToolTip("The sprites of the current frame; choose one to select it");
  SpeedButton1 = MakeButton(GroupBox1, TIconKind::Up, "Move up 1 pixel", 22, false);
  SpeedButton2 = MakeButton(GroupBox1, TIconKind::Left, "Move left 1 pixel", 22, false);
  SpeedButton3 = MakeButton(GroupBox1, TIconKind::Down, "Move down 1 pixel", 22, false);
  SpeedButton4 = MakeButton(GroupBox1, TIconKind::Right, "Move right 1 pixel", 22, false);
  SpeedButton19 = MakeButton(GroupBox1, TIconKind::ToFront, "Bring to front", 22, false);
  SpeedButton20 = MakeButton(GroupBox1, TIconKind::ToBack, "Send to back", 22, false);
  Label2 = new QLabel("x:", GroupBox1);
  Label3 = new QLabel("y:", GroupBox1);
  Edit1 = new QLineEdit("-", GroupBox1);
  Edit2 = new QLineEdit("-", GroupBox1);
}

// Fixed places inside the right column (169 wide) and the selection box.
void TEditFrame::PlaceRightColumn()
{
  Label5->setGeometry(4, -1, 160, 16);
  ComboBox1->setGeometry(4, 15, 161, 22);
  GroupBox1->setGeometry(4, 40, 161, 112);
  ComboBox3->setGeometry(6, 18, 149, 22);
  SpeedButton1->move(30, 44);
  SpeedButton2->move(7, 64);
  SpeedButton4->move(53, 64);
  SpeedButton3->move(30, 84);
  Label2->setGeometry(84, 46, 14, 20);
  Edit1->setGeometry(98, 45, 57, 21);
  Label3->setGeometry(84, 69, 14, 20);
  Edit2->setGeometry(98, 68, 57, 21);
  SpeedButton20->move(98, 90);
  SpeedButton19->move(121, 90);
  CheckBox1->setGeometry(4, 2, 163, 20);
  CheckBox2->setGeometry(4, 22, 163, 20);
}

void TEditFrame::CreateMenus()
{
  PopupMenu1 = new QMenu(this);
  PopupMenu1->addAction("&Delete Key");
  PopupMenu2 = new QMenu(this);
  PopupMenu2->addAction("&Add Key");
  PopupMenu3 = new QMenu(this);
  Edit3 = PopupMenu3->addAction("&Edit");
  PopupMenu3->addAction("&Delete");
}

// Controls left over from an older layout; kept hidden and without effect.
void TEditFrame::CreateHiddenControls()
{
  Panel1 = MakePanel(this);
  PaintBox1 = new QWidget(Panel1);
  Panel3 = MakePanel(this);
  PaintBox2 = new QWidget(Panel3);
  SpeedButton5 = new QToolButton(this);
  SpeedButton6 = new QToolButton(this);
  SpeedButton7 = new QToolButton(this);
  SpeedButton8 = new QToolButton(this);
  Button2 = new QPushButton("&Copy", this);
  Button3 = new QPushButton("&Paste", this);
  for (QWidget *hidden : std::initializer_list<QWidget *>{Panel1, Panel3, SpeedButton5, SpeedButton6, SpeedButton7,
                                                          SpeedButton8, Button2, Button3})
    hidden->hide();
}

void TEditFrame::ConnectControls()
{
  connect(SpeedButton34, &QToolButton::clicked, this, [this] { SpeedButton34Click(); });
  connect(SpeedButton9, &QToolButton::clicked, this, [this] { SpeedButton9Click(); });
  connect(RecentMenu, &QMenu::aboutToShow, this, [this] { RefreshRecentMenu(); });
  connect(SpeedButton10, &QToolButton::clicked, this, [this] { SpeedButton10Click(); });
  connect(SpeedButton11, &QToolButton::clicked, this, [this] { SpeedButton11Click(); });
  connect(SpeedButton12, &QToolButton::clicked, this, [this] { SpeedButton12Click(); });
  connect(SpeedButton13, &QToolButton::clicked, this, [this] { Button4Click(); });
  connect(SpeedButton28, &QToolButton::clicked, this, [this] { Button4Click(); });
  connect(SpeedButton35, &QToolButton::clicked, this, [this] { SpeedButton35Click(); });
  connect(OnionSkinButton, &QToolButton::clicked, this, [this] { OnionSkinButtonClick(); });
  connect(SpeedButton18, &QToolButton::clicked, this, [this] { Button9Click(); });
  connect(Edit3, &QAction::triggered, this, [this] { Edit3Click(); });
  connect(ComboBox1, QOverload<int>::of(&QComboBox::activated), this, [this] { ComboBox1Change(); });
  connect(ComboBox3, QOverload<int>::of(&QComboBox::activated), this, [this] { ComboBox3Change(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2Click(); });
  connect(SpeedButton24, &QToolButton::clicked, this, [this] { SpeedButton24Click(); });
  connect(SpeedButton25, &QToolButton::clicked, this, [this] { SpeedButton25Click(); });
  connect(MovieButton, &QPushButton::clicked, this, [this] { MovieButtonClick(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { Session.MoveSelection(0, -1); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { Session.MoveSelection(-1, 0); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { Session.MoveSelection(0, 1); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { Session.MoveSelection(1, 0); });
  connect(SpeedButton19, &QToolButton::clicked, this, [this] { Session.ChangeSelectionOrder(+1); });
  connect(SpeedButton20, &QToolButton::clicked, this, [this] { Session.ChangeSelectionOrder(-1); });
  connect(Edit1, &QLineEdit::editingFinished, this, [this] { Edit1Exit(); });
  connect(Edit2, &QLineEdit::editingFinished, this, [this] { Edit2Exit(); });
  connect(ScrollBar2, &QScrollBar::valueChanged, this, [this] { ScrollBar2Change(); });
  connect(SpeedButton14, &QToolButton::clicked, this, [this] { Session.AddFrame(); });
  connect(SpeedButton15, &QToolButton::clicked, this, [this] { Session.DeleteFrame(Session.GetCurrentFrame()); });
  connect(SpeedButton16, &QToolButton::clicked, this, [this] { Session.CopyFrame(); });
  connect(SpeedButton17, &QToolButton::clicked, this, [this] { Session.InsertFrameBefore(); });
  connect(SpeedButton21, &QToolButton::clicked, this, [this] { Session.InsertFrameAfter(); });
  connect(SpeedButton23, &QToolButton::clicked, this, [this] { Session.ReverseFrames(); });
  connect(SpeedButton22, &QToolButton::clicked, this, [this] { Session.RemoveUnusedSprites(); });
  connect(SpeedButton26, &QToolButton::clicked, this, [this] { Session.ImportSprites(); });
  connect(PopupMenu3->actions().at(1), &QAction::triggered, this, [this] { Delete1Click(); });
  connect(PopupMenu1->actions().at(0), &QAction::triggered, this, [this] { Session.DeleteKey1Click(); });
  connect(PopupMenu2->actions().at(0), &QAction::triggered, this, [this] { Session.AddKey1Click(); });
  connect(SpeedButton27, &QToolButton::clicked, this, [this] { SpeedButton27Click(); });
  connect(SpeedButton29, &QToolButton::clicked, this, [this] { Session.AddCharacterActor(); });
  connect(SpeedButton33, &QToolButton::clicked, this, [this] { SpeedButton33Click(); });
  connect(SpeedButton36, &QToolButton::clicked, this, [this] { Session.AddTextActor(0, 0); });
  connect(SpeedButton30, &QToolButton::clicked, this, [this] { Session.DeleteActor(); });
  connect(SpeedButton31, &QToolButton::clicked, this, [this] { Session.CopyActorCommand(); });
  connect(SpeedButton32, &QToolButton::clicked, this, [this] { Session.InsertActor(); });
  CreateShortcuts();
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

#include "editor/edit_frame.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

#include "core/helpers.h"
#include "core/qt_text.h"
#include "editor/add_sprite_dialog.h"
#include "editor/canvas_widget.h"
#include "editor/options_grid.h"
#include "editor/qt_dialogs.h"
#include "editor/settings.h"
#include "images/image_watcher.h"
#include "model/document.h"

// The session is made with the window's own Qt dialogs unless the options bring others.
static TUiDialogs *ChooseDialogs(TStartOptions &options, std::unique_ptr<TUiDialogs> &own, QWidget *parent,
                                 TEditorSettings *settings)
{
  if (!options.Dialogs)
    own = std::make_unique<TQtUiDialogs>(parent, settings);
  return options.Dialogs ? options.Dialogs : own.get();
}

TEditFrame::TEditFrame(TStartOptions options)
    : QWidget(nullptr), settings_(std::make_unique<TEditorSettings>(options.SettingsFile)),
      Session(ChooseDialogs(options, ownDialogs_, this, settings_.get()), this, std::move(options.SoundDevice))
{
  setWindowTitle(BaseCaption);
  // The layout's fonts, or their metric-compatible stand-ins where they are not installed (a
  // Debian desktop has Liberation's), so that texts fit the boxes the layout gives them.
  QFont::insertSubstitutions("MS Sans Serif", {"Microsoft Sans Serif", "Arial", "Liberation Sans"});
  QFont::insertSubstitutions("Courier New", {"Liberation Mono"});
  setFont(QFont("MS Sans Serif", 8));
  move(219, 110);
  resize(563, 465);
  RestoreGeometry();
  setAcceptDrops(true);
  CreateControls();
  AddSprite = new TAddSprite(Session, this);
  ConnectControls();
  QLocale::setDefault(QLocale::c());

  for (const char *name : DirectionNames)
    ComboBox1->addItem(name);
  ComboBox1->setCurrentIndex(2);
  HintWindow = new QLabel(this, Qt::ToolTip);
  HintWindow->setWordWrap(true);
  HintWindow->setMaximumWidth(400);
  HintWindow->setMargin(2);
  Session.Setup.Display.OnFlip = [this] { DXDraw1->update(); };

  Session.Scene.OnionSkin = Settings().OnionSkin();
  OnionSkinButton->setChecked(Session.Scene.OnionSkin);
  Session.Start(options);
  // Repainted images show without a restart; the game folder's index follows new files.
  ImageWatcher = std::make_unique<TImageWatcher>(&Session.Setup.ImageCache);
  ImageWatcher->OnImagesChanged = [this] { ImagesChanged(); };
  ImageWatcher->OnReloadFailed = [this](const std::string &path, const std::string &reason) {
    ImageReloadFailed(path, reason);
  };
  qApp->installEventFilter(this);
  StringGrid1->KeyMark = [this](int row) { return Session.RowHasKeyNow(row); };
  RefreshPartList();
  RefreshOptionsGrid(-1);
  UpdateButtons();
  UpdateLayout();
  ComboBox1->setFocus();
  AutosaveTimer.setInterval(AutosaveInterval);
  connect(&AutosaveTimer, &QTimer::timeout, this, [this] { Autosave(); });
  AutosaveTimer.start();
}

TEditFrame::~TEditFrame()
{
  qApp->removeEventFilter(this);
  Timer1.SetEnabled(false);
  Session.Setup.Display.OnFlip = nullptr;
  // QWidget's destructor deletes the controls after this window's members are gone, and a
  // focused control is told when its focus moves as its neighbours go: a box with a pending
  // edit would then commit it into a window that no longer exists. Cut the controls' calls
  // back into the window now; the grid calls it from its own event handlers, so it goes now.
  for (QObject *child : findChildren<QObject *>())
    child->disconnect(this);
  delete StringGrid1;
  StringGrid1 = nullptr;
}

// --- What the session asks the window to show. ---

void TEditFrame::Refresh(TViewPart part, int row)
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
  case TViewPart::Direction:
    if (!Session.MovieMode && Session.EditActor)
      ComboBox1->setCurrentIndex(Session.EditActor->Dir);
    break;
  case TViewPart::SpriteList:
    ShowSpriteListRange();
    break;
  case TViewPart::OptionsGrid:
    RefreshOptionsGrid(row);
    break;
  case TViewPart::OptionsGridLabels:
    RefreshOptionsGridLabels();
    break;
  case TViewPart::ActorList:
    RefreshActorList();
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

void TEditFrame::ShowHint(const std::string &text, int x, int y)
{
  const QString shown = ToQt(text);
  if (HintWindow->isVisible() && HintWindow->text() == shown)
    return;
  HintWindow->setText(shown);
  HintWindow->adjustSize();
  HintWindow->move(DXDraw1->mapToGlobal(QPoint(x, y)));
  HintWindow->show();
}

void TEditFrame::HideHint()
{
  HintWindow->hide();
}

void TEditFrame::ShowSpriteMenu(int x, int y)
{
  PopupMenu3->popup(DXDraw1->mapToGlobal(QPoint(x, y)));
}

void TEditFrame::DropFiles(const std::vector<std::string> &files, const QPoint &canvasPosition)
{
  Session.DropFiles(files, canvasPosition.x(), canvasPosition.y());
}

void TEditFrame::dragEnterEvent(QDragEnterEvent *event)
{
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

void TEditFrame::dropEvent(QDropEvent *event)
{
  std::vector<std::string> files;
  for (const QUrl &url : event->mimeData()->urls())
    if (url.isLocalFile())
      files.push_back(PathFromQt(url.toLocalFile()));
  event->acceptProposedAction();
  DropFiles(files, DXDraw1->mapFrom(this, event->position().toPoint()));
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
  const TZeltoAni *ani = Session.GetCurrentAni();
  const bool hasDocument = ani != nullptr;
  for (QWidget *button : std::initializer_list<QWidget *>{SpeedButton10, SpeedButton11, SpeedButton18, SpeedButton22,
                                                          SpeedButton23, SpeedButton26, MovieButton})
    button->setEnabled(hasDocument);
  SpeedButton24->setEnabled(Session.History.Position() >= 1);
  SpeedButton25->setEnabled(Session.History.Position() < Session.History.Count());
  const int frame = Session.GetCurrentFrame();
  SpeedButton15->setEnabled(hasDocument && frame >= 0 && frame < int(ani->Steps.size()) && ani->Steps.size() >= 2);
  SpeedButton17->setEnabled(Session.FrameClipboard != nullptr);
  SpeedButton21->setEnabled(Session.FrameClipboard != nullptr);
  const bool primary = Session.PrimarySelection() >= 0;
  for (QWidget *button : std::initializer_list<QWidget *>{SpeedButton19, SpeedButton20, SpeedButton1, SpeedButton2,
                                                          SpeedButton3, SpeedButton4})
    button->setEnabled(primary);
  SpeedButton30->setEnabled(Session.Scene.SelectedActor != nullptr);
  SpeedButton31->setEnabled(Session.Scene.SelectedActor != nullptr);
  SpeedButton32->setEnabled(Session.ActorClipboard != nullptr);
}

void TEditFrame::ShowSpriteListRange()
{
  const int page = Session.SpriteListPage();
  const bool scrolls = Session.GetCurrentAni() && Session.SpriteListTotal > page;
  const QSignalBlocker blocker(ScrollBar2);
  // A Qt scroll bar's maximum is the last position, the total less the page.
  ScrollBar2->setRange(0, scrolls ? Session.SpriteListTotal - page : 0);
  ScrollBar2->setPageStep(std::max(1, page));
  ScrollBar2->setSingleStep(42);
  ScrollBar2->setValue(Session.Scene.SpriteListScroll);
  ScrollBar2->setEnabled(scrolls);
}

void TEditFrame::ScrollBar2Change()
{
  Session.Scene.SpriteListScroll = ScrollBar2->value();
  Session.DrawCanvas();
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
  RefreshOptionsGrid(0);
  UpdateButtons();
}

void TEditFrame::Edit1Exit()
{
  Session.CommitCoordinate(true, FromQt(Edit1->text()));
}

void TEditFrame::Edit2Exit()
{
  Session.CommitCoordinate(false, FromQt(Edit2->text()));
}

void TEditFrame::SpeedButton24Click()
{
  Session.Undo();
}

void TEditFrame::SpeedButton25Click()
{
  Session.Redo();
}

void TEditFrame::Delete1Click()
{
  Session.DeleteSpriteDefinition(Session.MenuSpriteIndex);
}

void TEditFrame::MovieButtonClick()
{
  Session.SwitchMovieMode(!Session.MovieMode);
}

void TEditFrame::ComboBox1Change()
{
  if (Session.MovieMode)
    Session.ChooseActorItem(ComboBox1->currentIndex());
  else
    Session.SetDirection(ComboBox1->currentIndex());
}

void TEditFrame::RefreshActorList()
{
  if (!Session.MovieMode)
    return;
  const QString shown = ComboBox1->currentText();
  const std::vector<std::string> items = Session.ActorListItems();
  while (ComboBox1->count() > int(items.size()))
    ComboBox1->removeItem(ComboBox1->count() - 1);
  for (size_t i = 0; i < items.size(); ++i) {
    const QString text = ToQt(items[i]);
    if (int(i) < ComboBox1->count()) {
      if (ComboBox1->itemText(int(i)) != text)
        ComboBox1->setItemText(int(i), text);
    } else {
      ComboBox1->addItem(text);
    }
  }
  const int again = ComboBox1->findText(shown);
  ComboBox1->setCurrentIndex(again >= 0 ? again : (ComboBox1->count() > 0 ? 0 : -1));
}

void TEditFrame::SelectActor(TZeltoActor *actor)
{
  if (!actor)
    return;
  const int item = ComboBox1->findText(ToQt("Actor " + actor->Name));
  if (item >= 0)
    ComboBox1->setCurrentIndex(item);
}

void TEditFrame::ShowKeyMenu(bool deleteKey, int, int)
{
  (deleteKey ? PopupMenu1 : PopupMenu2)->popup(QCursor::pos());
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

// --- Sprite definitions. ---

void TEditFrame::ShowAddSpriteDialog(int mode)
{
  if (mode == 0) {
    AddSprite->StartAdding();
    AddSprite->setWindowTitle("Add Sprite");
    AddSprite->Button1->setText("&Add");
  } else if (mode == 1) {
    AddSprite->setWindowTitle("Update Sprite");
    AddSprite->Button1->setText("&Update");
  } else {
    return;
  }
  AddSprite->RunModal();
  // The window may not be active again yet, and the timer runs only then: the changed strip is
  // drawn now.
  Session.DrawCanvas();
}

void TEditFrame::Button9Click()
{
  ShowAddSpriteDialog(0);
}

void TEditFrame::EditSpriteDefinition(const TZeltoAniSprite *sprite)
{
  HideHint();
  AddSprite->ShowDefinition(*sprite);
  ShowAddSpriteDialog(1);
}

void TEditFrame::Edit3Click()
{
  if (const TZeltoAniSprite *sprite = FindSprite(Session.GetCurrentAni(), Session.MenuSpriteIndex))
    EditSpriteDefinition(sprite);
}

// --- Playback. ---

void TEditFrame::Timer1Timer()
{
  Session.Tick();
  UpdateZoomLabel();
  // The hint goes once the pointer has left the sprite strip.
  if (HintWindow->isVisible()) {
    const QPoint p = DXDraw1->mapFromGlobal(QCursor::pos());
    const int left = Session.Scene.SpriteListLeft;
    if (p.x() < left || p.x() >= left + SpriteListWidth || p.y() < 0 || p.y() >= DXDraw1->height())
      HideHint();
  }
}

void TEditFrame::SpeedButton27Click()
{
  Session.Play();
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
  EditSoundFileRow();
}

void TEditFrame::SpeedButton33Click()
{
  Session.AddSoundActor("", 0, 0);
  EditSoundFileRow();
}

void TEditFrame::EditSoundFileRow()
{
  for (int row = 0; row < Session.GridRowCount(); ++row)
    if (Session.GridRow(row).Label == "file") {
      StringGrid1MouseDown(Qt::LeftButton, row, 1);
      return;
    }
}

// --- Images that changed on disk. ---

void TEditFrame::ImagesChanged()
{
  // The timer runs only while the window is active, and the artist is in the paint program.
  Session.DrawCanvas();
  AddSprite->RefreshImage();
  // What a notice said of a file that did not decode is out of date once images change again.
  NoticeLabel->hide();
}

void TEditFrame::ImageReloadFailed(const std::string &path, const std::string &reason)
{
  ShowNotice(ToQt("'" + ExtractKey(path) + "' could not be read again (" + reason +
                  "); the editor shows it as it was until it is saved again."));
}

void TEditFrame::ShowNotice(const QString &text)
{
  NoticeLabel->setText(text);
  NoticeLabel->adjustSize();
  NoticeLabel->move(std::max(0, Panel2->contentsRect().right() - NoticeLabel->width() - 4),
                    Panel2->contentsRect().top() + 4);
  NoticeLabel->show();
  NoticeLabel->raise();
}

// --- Canvas. ---

void TEditFrame::DXDraw1MouseDown(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers)
{
  NoticeLabel->hide();
  Session.MouseDown(button == Qt::RightButton, x, y, modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
}

void TEditFrame::DXDraw1MouseMove(int x, int y, Qt::KeyboardModifiers)
{
  if (!Session.GetCurrentAni())
    return;
  const bool split = Session.MovieMode ? Session.OverKey(x, y) : Session.OverFrameStart(x, y);
  DXDraw1->setCursor(split ? Qt::SplitHCursor : Qt::ArrowCursor);
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
  return Session.QuerySave("closing");
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
    Autosave();
  }
}

void TEditFrame::closeEvent(QCloseEvent *event)
{
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  // A normal close: the answer to the save prompt stands, and nothing is left to recover.
  Session.RemoveRecovery();
  Settings().SetGeometry(saveGeometry());
  event->accept();
  // The program ends when this window closes, and only then: a dialog closing while a close of
  // this window was refused must not end it.
  QCoreApplication::quit();
}

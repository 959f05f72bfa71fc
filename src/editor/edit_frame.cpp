#include "editor/edit_frame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <clocale>
#include <filesystem>

#include "model/default_frame.h"
#include "model/document.h"
#include "core/helpers.h"
#include "core/qt_text.h"
#include "model/reader.h"
#include "editor/canvas_widget.h"
#include "editor/ui_dialogs.h"
#include "images/file_index.h"
#include "scene/renderer.h"
#include "model/actor.h"
#include "model/actor_attributes.h"

namespace fs = std::filesystem;

static std::string AbsolutePath(const std::string &path)
{
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

TEditFrame::TEditFrame(TStartOptions options) : QWidget(nullptr)
{
  programFolder_ = options.ProgramFolder;
  ownDialogs_ = options.Dialogs ? nullptr : std::make_unique<TQtUiDialogs>(this);
  dialogs_ = options.Dialogs ? options.Dialogs : ownDialogs_.get();
  SetDialogs(dialogs_);
  SetEditorLink(this);
  DXWaveList1 = std::make_unique<TWaveList>(std::move(options.SoundDevice));

  setWindowTitle(BaseCaption);
  setFont(QFont("MS Sans Serif", 8));
  resize(563, 465);
  CreateControls();
  ConnectControls();

  // Numbers are read and written with "." whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  // The start folder; relative paths given on the command line are taken before it is entered.
  const std::string gameFolder = options.GameFolder.empty() ? "" : AbsolutePath(options.GameFolder);
  std::string startName = DefaultIdleAni();
  if (!options.File.empty()) {
    const fs::path file = AbsolutePath(options.File);
    GameDir = file.parent_path().string();
    std::error_code error;
    fs::current_path(file.parent_path(), error);
    StartFilePath = file.string();
    startName = LowerCase(file.filename().string());
    startName = startName.substr(0, startName.find('.'));
  } else {
    GameDir = options.ProgramFolder;
  }
  if (!gameFolder.empty())
    UseGameFolder(gameFolder);
  else
    FindGameFolder(options.ProgramFolder);

  for (const char *name : DirectionNames)
    ComboBox1->addItem(name);
  ComboBox1->setCurrentIndex(2);

  Display.OnInitialize = [] { RebuildImageSurfaces(); };
  Display.OnFinalizeSurface = [] { ReleaseImageSurfaces(); };
  Display.OnFlip = [this] { DXDraw1->update(); };
  Display.Initialize();
  LoadFixedImages();

  EditActor = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  Scene.EditActor = EditActor.get();
  Scene.ImageCache = &ImageCache;
  Scene.Display = &Display;

  OpenAnimation(startName);
  if (startName != DefaultIdleAni() && !GetCurrentAni())
    OpenAnimation(DefaultIdleAni());
  // The start file is read once; a failed start must not redirect a later load.
  StartFilePath.clear();

  RefreshPartList();
  GridMode = 0;
  MouseIsDown = false;
  UpdateButtons();
  UpdateLayout();
  ComboBox1->setFocus();
}

TEditFrame::~TEditFrame()
{
  Timer1.SetEnabled(false);
  if (EditorLink() == this)
    SetEditorLink(nullptr);
  if (::Dialogs() == dialogs_)
    SetDialogs(nullptr);
  Display.Finalize();
}

void TEditFrame::LoadFixedImages()
{
  auto load = [](std::unique_ptr<TSurfaceOwner> &owner, const char *name) {
    owner = std::make_unique<TSurfaceOwner>();
    owner->Load(name);
  };
  load(SpritesImage, "sprites.png");
  load(RideImage, "ride.png");
  load(ShieldImage, "shield1.png");
  load(SwordImage, "sword1.png");
  load(SoundIconImage, "soundicon.png");
  Scene.Fixed = {SpritesImage.get(), RideImage.get(), ShieldImage.get(), SwordImage.get(), SoundIconImage.get()};
}

// --- Accessors. ---

TZeltoAni *TEditFrame::GetCurrentAni() const
{
  return EditActor ? EditActor->Ani : nullptr;
}

int TEditFrame::GetCurrentFrame() const
{
  return GetCurrentAni() ? EditActor->FrameIndex : -1;
}

void TEditFrame::SetCurrentFrame(int index)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  EditActor->FrameIndex = index;
  if (!MovieMode && index >= 0 && index < int(ani->Steps.size()))
    EditActor->CurrentTime = ani->Steps[index]->StartTick;
  RefreshPartList();
}

int TEditFrame::GetFrameTick() const
{
  return GetCurrentAni() ? EditActor->FrameTick : 0;
}

void TEditFrame::SetFrameTick(int tick)
{
  if (GetCurrentAni())
    EditActor->FrameTick = tick;
}

int TEditFrame::GetCurrentTime() const
{
  return GetCurrentAni() ? EditActor->CurrentTime : 0;
}

void TEditFrame::SetCurrentTime(int time)
{
  if (GetCurrentAni())
    EditActor->CurrentTime = time;
}

// --- Editor link. ---

bool TEditFrame::IsCurrentDocument(const TZeltoAni *ani) const
{
  return ani && ani == GetCurrentAni();
}

void TEditFrame::ClearHistory()
{
  // The window keeps no undo history yet; Undo and Redo stay disabled.
}

void TEditFrame::ModifiedChanged(TZeltoAni *ani)
{
  if (IsCurrentDocument(ani))
    UpdateCaption();
}

void TEditFrame::EnsureImageLoaded(const std::string &name)
{
  ImageCache.EnsureImageLoaded(name);
}

void TEditFrame::UpdateCaption()
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  std::string caption = std::string(BaseCaption) + " - ";
  caption += ani->FileName.empty() ? ani->Name : ExtractKey(ani->FileName);
  if (ani->Modified)
    caption += " (modified)";
  const QString text = ToQt(caption);
  if (windowTitle() != text)
    setWindowTitle(text);
}

// --- Mode, buttons, part list. ---

void TEditFrame::SwitchMovieMode(bool on)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  if (on == MovieMode) {
    ::SetModified(ani, ani->Modified);
    UpdateButtons();
    return;
  }
  if (on) {
    if (!ani->Steps.empty() &&
        !Dialogs().AskOkCancel("Warning", "Switching to movie mode will remove all sprites. Continue?"))
      return;
    const bool wasMovie = ani->IsMovie;
    ani->IsMovie = true;
    const bool renamed = ani->Name == "idle" || ani->Name == "walk";
    if (renamed) {
      ani->Name = "new";
      ani->FileName.clear();
    }
    MovieMode = true;
    Playing = false;
    ClearHistory();
    ani->Steps.clear();
    if (!wasMovie)
      ani->Length = 100;
    ani->Modified = renamed;
    CheckBox1->show();
    CheckBox2->show();
    Panel4->show();
    Panel6->hide();
    GroupBox1->hide();
    SpeedButton23->hide();
    Label5->setText("Edit attributes:");
    MovieButton->setText("-> Sprite Mode");
    RefreshActorList();
  } else {
    if (!ani->Actors.empty() &&
        !Dialogs().AskOkCancel("Warning", "Switching to sprite mode will remove all actors. Continue?"))
      return;
    const bool wasMovie = ani->IsMovie;
    ani->IsMovie = false;
    MovieMode = false;
    Playing = false;
    Scene.SelectedActor = nullptr;
    GridMode = 0;
    ClearHistory();
    ani->Actors.clear();
    if (wasMovie) {
      InsertDefaultFrame(ani, 0);
      RecomputeStartTicks(ani);
      ani->Modified = true;
    }
    CheckBox1->hide();
    CheckBox2->hide();
    Panel4->hide();
    Panel6->show();
    GroupBox1->show();
    SpeedButton23->show();
    Label5->setText("Direction:");
    MovieButton->setText("-> Movie Mode");
    ComboBox1->clear();
    for (const char *name : DirectionNames)
      ComboBox1->addItem(name);
    EditActor->Dir = 2;
    ComboBox1->setCurrentIndex(2);
  }
  UpdateLayout();
  RefreshOptionsGrid(-1);
  NeedsRedraw = true;
  ::SetModified(ani, ani->Modified);
  UpdateButtons();
}

void TEditFrame::UpdateButtons()
{
  // Only the commands that exist so far follow the document; the others stay disabled.
  const bool hasDocument = GetCurrentAni() != nullptr;
  SpeedButton10->setEnabled(hasDocument);
  SpeedButton11->setEnabled(hasDocument);
  SpeedButton24->setEnabled(false);
  SpeedButton25->setEnabled(false);
}

// The parts of the current frame in the current direction, or none.
static TPartList *CurrentPartList(TZeltoActor *actor)
{
  TZeltoAni *ani = actor ? actor->Ani : nullptr;
  if (!ani || ani->IsMovie || actor->FrameIndex < 0 || actor->FrameIndex >= int(ani->Steps.size()))
    return nullptr;
  TZeltoAniStep &step = *ani->Steps[actor->FrameIndex];
  const int dir = ani->SingleDirection ? 0 : actor->Dir;
  if (dir < 0 || dir >= int(step.Directions.size()))
    return nullptr;
  return &step.Directions[dir];
}

void TEditFrame::RefreshPartList()
{
  const TPartList *parts = CurrentPartList(EditActor.get());
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
  const int primary = Scene.Selection.empty() ? 0 : Scene.Selection.front();
  ComboBox3->setCurrentIndex(std::min(primary, int(items.size()) - 1));
  RefreshSelectionInfo();
}

void TEditFrame::RefreshSelectionInfo()
{
  const TPartList *parts = CurrentPartList(EditActor.get());
  const int primary = Scene.Selection.empty() ? -1 : Scene.Selection.front();
  if (parts && primary >= 0 && primary < int(parts->size())) {
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
  // In movie mode the box lists the actors; choosing there belongs to movie editing.
  if (MovieMode || !GetCurrentAni())
    return;
  EditActor->Dir = std::clamp(ComboBox1->currentIndex(), 0, DirectionCount - 1);
  NeedsRedraw = true;
  RefreshPartList();
}

void TEditFrame::ComboBox3Change()
{
  const TPartList *parts = CurrentPartList(EditActor.get());
  const int i = ComboBox3->currentIndex();
  if (!parts || i < 0 || i >= int(parts->size()))
    Scene.Selection.clear();
  else if (std::find(Scene.Selection.begin(), Scene.Selection.end(), i) == Scene.Selection.end())
    Scene.Selection = {i};
  RefreshSelectionInfo();
  NeedsRedraw = true;
}

void TEditFrame::CheckBox1Click()
{
  AutoAniFlag = CheckBox1->isChecked();
}

void TEditFrame::CheckBox2Click()
{
  Zelto2002Flag = CheckBox2->isChecked();
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  // Classic bodies are recoloured; the 2002 bodies are numbered 100 and up.
  const char *body = nullptr;
  if (Zelto2002Flag && EditActor->ClassicBody)
    body = "body102.png";
  else if (!Zelto2002Flag && !EditActor->ClassicBody)
    body = "body.png";
  if (!body)
    return;
  ani->DefaultBody = body;
  SetBody(EditActor.get(), ani->DefaultBody);
  RefreshOptionsGrid(6);
  NeedsRedraw = true;
}

void TEditFrame::ClearFocus()
{
  if (QWidget *focused = focusWidget())
    focused->clearFocus();
}

void TEditFrame::FreeClipboards()
{
  FrameClipboard.reset();
  ActorClipboard.reset();
}

// --- Canvas. ---

TCanvasGeometry TEditFrame::Geometry() const
{
  return ComputeCanvasGeometry(Scene);
}

void TEditFrame::DrawCanvas()
{
  DrawScene(Scene);
}

// --- Window events. ---

void TEditFrame::FormShow()
{
  ScrollBar2->move(Panel2->contentsRect().left() + 2, ScrollBar2->y());
  UpdateLayout();
  DrawCanvas();
}

bool TEditFrame::FormCloseQuery()
{
  return QuerySave();
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
      DrawCanvas();
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

#include "session/edit_session.h"

#include <algorithm>
#include <clocale>
#include <filesystem>

#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/context.h"
#include "model/default_frame.h"
#include "model/document.h"
#include "scene/renderer.h"
#include "session/dialogs.h"
#include "session/option_entries.h"

namespace fs = std::filesystem;

static std::string AbsolutePath(const std::string &path)
{
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

TEditSession::TEditSession(TUiDialogs *dialogs, TSessionView *view, std::unique_ptr<TSoundDevice> soundDevice)
    : WaveList(std::move(soundDevice)), dialogs_(dialogs), view_(view)
{
  Context().Link = this;
}

TEditSession::~TEditSession()
{
  // The document goes first, while the session can still answer it (the window is going: it is
  // not asked to show anything more); then the link.
  view_ = nullptr;
  // Copied and deleted actors name the main actor as their parent: they go before it does.
  FreeClipboards();
  pending_.reset();
  History.Trim(0);
  EditActor.reset();
  if (Context().Link == this)
    Context().Link = nullptr;
}

void TEditSession::Start(const TStartOptions &options)
{
  programFolder_ = options.ProgramFolder;
  SetRecoveryFolder(options.RecoveryFolder);
  // Numbers are read and written with "." whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  // The start folder; relative paths given on the command line are taken before it is entered.
  const std::string gameFolder = options.GameFolder.empty() ? "" : AbsolutePath(options.GameFolder);
  std::string startName = DefaultIdleAni();
  if (!options.File.empty()) {
    const fs::path file = AbsolutePath(options.File);
    GameFiles().Dir = file.parent_path().string();
    std::error_code error;
    fs::current_path(file.parent_path(), error);
    Context().StartFilePath = file.string();
    startName = LowerCase(file.filename().string());
    startName = startName.substr(0, startName.find('.'));
  } else {
    GameFiles().Dir = options.ProgramFolder;
  }
  if (!gameFolder.empty())
    UseGameFolder(gameFolder);
  else
    FindGameFolder(options.ProgramFolder);

  Setup.InitializeDisplay();
  Setup.LoadFixedImages();
  EditActor = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  Scene.EditActor = EditActor.get();

  std::string error;
  if (!OpenAnimation(startName, &error) && !options.File.empty())
    Dialogs().ShowError("Cannot load " + options.File + ": " + error);
  // An empty window helps nobody: the default animation is opened instead.
  if (!GetCurrentAni())
    OpenAnimation(DefaultIdleAni());
  // The start file is read once; a failed start must not redirect a later load.
  Context().StartFilePath.clear();
  GridMode = 0;
  MouseIsDown = false;
}

void TEditSession::Show(TViewPart part, int row)
{
  if (view_)
    view_->Refresh(part, row);
}

// --- Accessors. ---

TZeltoAni *TEditSession::GetCurrentAni() const
{
  return EditActor ? EditActor->Ani : nullptr;
}

int TEditSession::GetCurrentFrame() const
{
  return GetCurrentAni() ? EditActor->FrameIndex : -1;
}

void TEditSession::SetCurrentFrame(int index)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  EditActor->FrameIndex = index;
  if (!MovieMode && index >= 0 && index < int(ani->Steps.size()))
    EditActor->CurrentTime = ani->Steps[index]->StartTick;
  Show(TViewPart::PartList);
}

int TEditSession::GetFrameTick() const
{
  return GetCurrentAni() ? EditActor->FrameTick : 0;
}

void TEditSession::SetFrameTick(int tick)
{
  if (GetCurrentAni())
    EditActor->FrameTick = tick;
}

int TEditSession::GetCurrentTime() const
{
  return GetCurrentAni() ? EditActor->CurrentTime : 0;
}

void TEditSession::SetCurrentTime(int time)
{
  if (GetCurrentAni())
    EditActor->CurrentTime = time;
}

TPartList *TEditSession::CurrentPartList() const
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || ani->IsMovie || EditActor->FrameIndex < 0 || EditActor->FrameIndex >= int(ani->Steps.size()))
    return nullptr;
  TZeltoAniStep &step = *ani->Steps[EditActor->FrameIndex];
  const int dir = ani->SingleDirection ? 0 : EditActor->Dir;
  if (dir < 0 || dir >= int(step.Directions.size()))
    return nullptr;
  return &step.Directions[dir];
}

TZeltoAniStep *TEditSession::CurrentStep() const
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || ani->IsMovie || EditActor->FrameIndex < 0 || EditActor->FrameIndex >= int(ani->Steps.size()))
    return nullptr;
  return ani->Steps[size_t(EditActor->FrameIndex)].get();
}

int TEditSession::PrimarySelection() const
{
  const TPartList *parts = CurrentPartList();
  if (!parts || Scene.Selection.empty())
    return -1;
  const int primary = Scene.Selection.front();
  return primary >= 0 && primary < int(parts->size()) ? primary : -1;
}

// --- Editor link. ---

void TEditSession::ModifiedChanged(TZeltoAni *ani)
{
  if (IsCurrentDocument(ani))
    Show(TViewPart::Caption);
}

void TEditSession::EnsureImageLoaded(const std::string &name)
{
  Setup.EnsureImageLoaded(name);
}

void TEditSession::PlaySoundFile(const std::string &name)
{
  WaveList.PlaySoundFile(name);
}

void TEditSession::Refresh(TRefresh what, int row)
{
  switch (what) {
  case TRefresh::OptionsGrid:
    Show(TViewPart::OptionsGrid, row);
    break;
  case TRefresh::OptionsGridLabels:
    Show(TViewPart::OptionsGridLabels);
    break;
  case TRefresh::PartList:
    Show(TViewPart::PartList);
    break;
  case TRefresh::ActorList:
    Show(TViewPart::ActorList);
    break;
  case TRefresh::Canvas:
    NeedsRedraw = true;
    break;
  }
}

std::string TEditSession::Caption() const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return BaseCaption;
  std::string caption = std::string(BaseCaption) + " - ";
  caption += ani->FileName.empty() ? ani->Name : ExtractKey(ani->FileName);
  if (ani->Modified)
    caption += " (modified)";
  return caption;
}

// --- Modes and options. ---

void TEditSession::SwitchMovieMode(bool on)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  if (on == MovieMode) {
    ::SetModified(ani, ani->Modified);
    Show(TViewPart::Buttons);
    return;
  }
  EndGridEdit();
  FinishGesture();
  const bool wasMovie = ani->IsMovie;
  if (on) {
    if (!ani->Steps.empty() &&
        !Dialogs().AskOkCancel("Warning", "Switching to movie mode will remove all sprites. Continue?"))
      return;
    ani->IsMovie = true;
    // Turning the default animations into a movie must not overwrite them; a file that already is
    // a movie keeps its name whatever it is called.
    const bool renamed = !wasMovie && (ani->Name == "idle" || ani->Name == "walk");
    if (renamed) {
      ani->Name = "new";
      ani->FileName.clear();
    }
    MovieMode = true;
    Playing = false;
    ClearHistory();
    ani->Steps.clear();
    // A document whose frames were just removed has changed, whatever it is called: unmarked, a
    // close would lose the change (and any unsaved edits before it) without asking. A movie
    // being opened keeps its mark.
    if (!wasMovie) {
      ani->Length = 100;
      ani->Modified = true;
    }
  } else {
    if (!ani->Actors.empty() &&
        !Dialogs().AskOkCancel("Warning", "Switching to sprite mode will remove all actors. Continue?"))
      return;
    ani->IsMovie = false;
    MovieMode = false;
    Playing = false;
    Scene.SelectedActor = nullptr;
    DragKey = MenuKey = nullptr;
    GridMode = 0;
    ClearHistory();
    ani->Actors.clear();
    if (wasMovie) {
      InsertDefaultFrame(ani, 0);
      RecomputeStartTicks(ani);
      ani->Modified = true;
    }
    EditActor->Dir = 2;
    // The movie's time says nothing about the frames: the first one is current.
    SetCurrentFrame(ani->Steps.empty() ? -1 : 0);
    EditActor->FrameTick = 0;
  }
  Show(TViewPart::Mode);
  if (on)
    RefreshActorList();
  else
    Show(TViewPart::PartList); // the part box and x/y show the selected part at once
  Show(TViewPart::OptionsGrid);
  NeedsRedraw = true;
  ::SetModified(ani, ani->Modified);
  Show(TViewPart::Buttons);
}

void TEditSession::SetAutoAniSetting(bool on)
{
  Context().AutoAniSetting = on;
}

void TEditSession::SetZelto2002Mode(bool on)
{
  Context().Zelto2002Mode = on;
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  // Classic bodies are recoloured; the 2002 bodies are numbered 100 and up.
  const char *body = nullptr;
  if (on && EditActor->ClassicBody)
    body = "body102.png";
  else if (!on && !EditActor->ClassicBody)
    body = "body.png";
  if (!body)
    return;
  // The default body is the document's: a change of it is marked and can be undone.
  auto entry = std::make_unique<TOptionEntry>(*this, ofBody);
  ApplyOption(ofBody, body);
  if (entry->FinishChange(*this))
    RecordOperation(std::move(entry));
}

bool TEditSession::ClickActorAttribute(TZeltoActor *actor, int row, std::string &value)
{
  switch (ClickAttributeRow(actor, row, value)) {
  case TRowClick::Typed:
    return false;
  case TRowClick::Toggled:
    break;
  case TRowClick::FontDialog: {
    std::string font = actor->FontName;
    if (Dialogs().ChooseFont(font, FloorEps(14 * actor->Zoom)))
      SetTextFont(actor, font, value);
    break;
  }
  case TRowClick::ColorDialog: {
    // The dialog works in the platform's colour order.
    uint32_t color = SwapRedBlue(uint32_t(actor->TextColor));
    if (Dialogs().ChooseColor(color))
      SetTextColor(actor, int(SwapRedBlue(color) & 0xFFFFFF), value);
    break;
  }
  }
  return true;
}

// --- Part list and direction. ---

void TEditSession::SetDirection(int dir)
{
  // In movie mode the direction box lists the actors; choosing there belongs to movie editing.
  if (MovieMode || !GetCurrentAni())
    return;
  EditActor->Dir = std::clamp(dir, 0, DirectionCount - 1);
  NeedsRedraw = true;
  Show(TViewPart::PartList);
}

void TEditSession::ChoosePart(int i)
{
  const TPartList *parts = CurrentPartList();
  if (!parts || i < 0 || i >= int(parts->size()))
    Scene.Selection.clear();
  else if (std::find(Scene.Selection.begin(), Scene.Selection.end(), i) == Scene.Selection.end())
    Scene.Selection = {i};
  Show(TViewPart::SelectionInfo);
  NeedsRedraw = true;
}

void TEditSession::FreeClipboards()
{
  FrameClipboard.reset();
  ActorClipboard.reset();
}

// --- Canvas. ---

TCanvasGeometry TEditSession::Geometry() const
{
  return ComputeCanvasGeometry(Scene);
}

void TEditSession::DrawCanvas()
{
  Setup.Draw();
}

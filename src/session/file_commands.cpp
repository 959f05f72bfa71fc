// Opening, making and saving documents, and the question whether to save unsaved changes.
#include "core/file_io.h"
#include "core/helpers.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/default_frame.h"
#include "model/document.h"
#include "model/writer.h"
#include "session/dialogs.h"
#include "session/edit_session.h"

bool TEditSession::OpenAnimation(const std::string &name, std::string *error)
{
  EndGridEdit();
  FinishGesture();
  // The file is read before anything changes: one that cannot be read leaves the document, its
  // history and its modified state as they were. The file is read even when it is the one open,
  // so that answering "No" to the save prompt gives back what is on disk.
  std::unique_ptr<TZeltoAni> loaded = ReadAnimationFor(EditActor.get(), name, error);
  if (!loaded)
    return false;
  // The idle animation opened for want of another is not a file the user chose.
  const bool chosen = !loaded->FileName.empty() && name != DefaultIdleAni();
  ShowDocument(std::move(loaded));
  if (chosen && view_)
    view_->FileUsed(GetCurrentAni()->FileName);
  return true;
}

void TEditSession::ShowDocument(std::unique_ptr<TZeltoAni> loaded)
{
  ClearHistory();
  FreeClipboards();
  PlayAnimation(EditActor.get(), std::move(loaded));
  TZeltoAni *ani = GetCurrentAni();
  // The document before is gone (its save prompt was answered): so is its recovery.
  RemoveRecovery();
  Playing = false;
  Scene.Selection.clear();
  Scene.SelectedActor = nullptr;
  Scene.DragFrameIndex = Scene.LastFrameIndex = -1;
  DragSoundIndex = LastSoundIndex = -1;
  LastDragMode = -1;
  DragKey = MenuKey = nullptr;
  GridMode = 0;
  SwitchMovieMode(ani->IsMovie);
  ApplyDefaultSlots(EditActor.get(), *ani);
  UpdateSpriteListLayout();
  ShowTime(0);
  if (MovieMode) {
    RefreshActorList();
  } else {
    Scene.Selection = {0};
    Show(TViewPart::PartList);
  }
  Show(TViewPart::OptionsGrid);
  Show(TViewPart::Buttons);
  if (view_)
    view_->ClearFocus();
  NeedsRedraw = true;
}

void TEditSession::NewAnimation()
{
  EndGridEdit();
  FinishGesture();
  auto ani = std::make_unique<TZeltoAni>();
  ani->Name = "new";
  ani->FileName.clear();
  ani->Clear();
  ani->IsMovie = MovieMode;
  auto shadow = std::make_unique<TZeltoAniSprite>();
  shadow->Index = 0;
  shadow->Image = "SPRITES";
  shadow->Width = 24;
  shadow->Height = 16;
  shadow->Description = "shadow";
  ani->Sprites.push_back(std::move(shadow));
  if (!ani->IsMovie) {
    InsertDefaultFrame(ani.get(), 0);
    RecomputeStartTicks(ani.get());
  }
  ShowDocument(std::move(ani));
  ::SetModified(GetCurrentAni(), false);
}

bool TEditSession::WriteDocument()
{
  std::string error;
  if (WriteAnimation(GetCurrentAni(), &error)) {
    // Saved: nothing is left to recover.
    RemoveRecovery();
    if (view_)
      view_->FileUsed(GetCurrentAni()->FileName);
    return true;
  }
  Dialogs().ShowError("Cannot save " + GetCurrentAni()->FileName + ": " + error);
  return false;
}

bool TEditSession::QuerySave(const std::string &action)
{
  // A length still being typed belongs to the document that is asked about.
  EndGridEdit();
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || !ani->Modified)
    return true;
  // A document that was never saved is named as the caption names it.
  const std::string shown = ani->FileName.empty() ? ani->Name : ExtractKey(ani->FileName);
  switch (Dialogs().AskYesNoCancel("Save changes", "Save changes to " + shown + " before " + action + "?")) {
  case TAnswer::Cancel:
    return false;
  case TAnswer::No:
    return true;
  case TAnswer::Yes:
    break;
  }
  // Without a file name there is nothing to write to: ask for one as Save as does.
  if (ani->FileName.empty())
    return SaveAs();
  return WriteDocument();
}

void TEditSession::NewCommand()
{
  if (!QuerySave("making a new animation"))
    return;
  FreeClipboards();
  NewAnimation();
  DrawCanvas();
}

void TEditSession::LoadCommand()
{
  if (!QuerySave("loading another animation"))
    return;
  const TZeltoAni *ani = GetCurrentAni();
  std::string chosen;
  if (!Dialogs().OpenFile("Load Zelto Animation", ani ? ani->FileName : programFolder_, AnimationFilter, chosen))
    return;
  OpenChosenFile(chosen);
}

void TEditSession::OpenFileCommand(const std::string &path)
{
  if (QuerySave("opening " + ExtractKey(path)))
    OpenChosenFile(path);
}

void TEditSession::OpenChosenFile(const std::string &path)
{
  // A FIFO or device would block the reader or never end; it is refused with the reason.
  if (const std::string problem = RegularFileProblem(path); !problem.empty()) {
    Dialogs().ShowError("Cannot load " + path + ": " + problem);
    return;
  }
  std::string error;
  if (!OpenAnimation(path, &error)) {
    Dialogs().ShowError("Cannot load " + path + ": " + error);
    return;
  }
  DrawCanvas();
}

void TEditSession::SaveCommand()
{
  EndGridEdit();
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  SetCurrentFrame(GetCurrentFrame());
  if (!ani->FileName.empty())
    WriteDocument();
  else
    SaveAs();
}

bool TEditSession::SaveAs()
{
  EndGridEdit();
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return false;
  SetCurrentFrame(GetCurrentFrame());
  std::string chosen;
  if (!Dialogs().SaveFile("Save Zelto Animation", ani->FileName, SaveAnimationFilter, chosen))
    return false;
  ani->FileName = chosen;
  return WriteDocument();
}

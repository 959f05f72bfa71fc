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

void TEditSession::OpenAnimation(const std::string &name)
{
  ClearHistory();
  const TZeltoAni *before = GetCurrentAni();
  SetAnimationByName(EditActor.get(), name);
  TZeltoAni *ani = GetCurrentAni();
  if (ani == before)
    return;
  // The document before is gone (its save prompt was answered): so is its recovery.
  RemoveRecovery();
  // The idle animation opened for want of another is not a file the user chose.
  if (ani && view_ && !ani->FileName.empty() && name != DefaultIdleAni())
    view_->FileUsed(ani->FileName);
  Playing = false;
  Scene.Selection.clear();
  Scene.SelectedActor = nullptr;
  Scene.DragFrameIndex = -1;
  DragSoundIndex = -1;
  GridMode = 0;
  if (ani) {
    SwitchMovieMode(ani->IsMovie);
    ApplyDefaultSlots(EditActor.get(), *ani);
    UpdateSpriteListLayout();
    if (MovieMode) {
      RefreshActorList();
      Show(TViewPart::OptionsGrid);
      ShowTime(0);
    } else {
      Scene.Selection = {0};
      Show(TViewPart::PartList);
      Show(TViewPart::OptionsGrid);
    }
  }
  Show(TViewPart::Buttons);
  if (view_)
    view_->ClearFocus();
}

void TEditSession::NewAnimation()
{
  const bool movie = MovieMode;
  ClearHistory();
  RemoveRecovery();
  EditActor->Ani = nullptr;
  EditActor->OwnedAni.reset();

  auto ani = std::make_unique<TZeltoAni>();
  ani->Name = "new";
  ani->FileName.clear();
  ani->Clear();
  ani->IsMovie = movie;
  auto shadow = std::make_unique<TZeltoAniSprite>();
  shadow->Index = 0;
  shadow->Image = "SPRITES";
  shadow->Width = 24;
  shadow->Height = 16;
  shadow->Description = "shadow";
  ani->Sprites.push_back(std::move(shadow));
  if (!movie) {
    InsertDefaultFrame(ani.get(), 0);
    RecomputeStartTicks(ani.get());
  }

  Playing = false;
  Scene.SelectedActor = nullptr;
  GridMode = 0;
  EditActor->Ani = ani.get();
  EditActor->OwnedAni = std::move(ani);
  EditActor->FrameIndex = 0;
  EditActor->FrameTick = 0;
  ::SetModified(EditActor->Ani, false);
  Show(TViewPart::OptionsGrid);
  ApplyDefaultSlots(EditActor.get(), *EditActor->Ani);
  UpdateSpriteListLayout();
  Scene.Selection = {0};
  Show(TViewPart::PartList);
  ShowTime(0);
  if (view_)
    view_->ClearFocus();
  Show(TViewPart::Buttons);
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
  Dialogs().ShowError(error);
  return false;
}

bool TEditSession::QuerySave()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || !ani->Modified)
    return true;
  // A document that was never saved is named as the caption names it.
  const std::string shown = ani->FileName.empty() ? ani->Name : ExtractKey(ani->FileName);
  switch (Dialogs().AskYesNoCancel("Save changes", "Save changes to " + shown + "?")) {
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
  if (!QuerySave())
    return;
  FreeClipboards();
  NewAnimation();
  DrawCanvas();
}

void TEditSession::LoadCommand()
{
  if (!QuerySave())
    return;
  const TZeltoAni *ani = GetCurrentAni();
  std::string chosen;
  if (!Dialogs().OpenFile("Load Zelto Animation", ani ? ani->FileName : programFolder_, AnimationFilter, chosen))
    return;
  OpenChosenFile(chosen);
}

void TEditSession::OpenFileCommand(const std::string &path)
{
  if (QuerySave())
    OpenChosenFile(path);
}

void TEditSession::OpenChosenFile(const std::string &path)
{
  // A FIFO or device would block the reader or never end; it is refused with the reason.
  if (const std::string problem = RegularFileProblem(path); !problem.empty()) {
    Dialogs().ShowError("Cannot load " + path + ": " + problem);
    return;
  }
  FreeClipboards();
  OpenAnimation(path);
  DrawCanvas();
}

void TEditSession::SaveCommand()
{
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

// Opening, making and saving documents, and the question whether to save unsaved changes.
#include "model/default_frame.h"
#include "model/document.h"
#include "core/helpers.h"
#include "model/writer.h"
#include "editor/edit_frame.h"
#include "editor/ui_dialogs.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"

void TEditFrame::OpenAnimation(const std::string &name)
{
  ClearHistory();
  const TZeltoAni *before = GetCurrentAni();
  SetAnimationByName(EditActor.get(), name);
  TZeltoAni *ani = GetCurrentAni();
  if (ani == before)
    return;
  Playing = false;
  Scene.Selection.clear();
  Scene.SelectedActor = nullptr;
  Scene.DragFrameIndex = -1;
  DragSoundIndex = -1;
  GridMode = 0;
  if (ani) {
    SwitchMovieMode(ani->IsMovie);
    ApplyDefaultSlots(EditActor.get(), *ani);
    if (MovieMode) {
      RefreshActorList();
      RefreshOptionsGrid(-1);
      ShowTime(0);
    } else {
      Scene.Selection = {0};
      RefreshPartList();
      RefreshOptionsGrid(-1);
    }
  }
  UpdateButtons();
  ClearFocus();
}

void TEditFrame::NewAnimation()
{
  const bool movie = MovieMode;
  ClearHistory();
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
  RefreshOptionsGrid(-1);
  ApplyDefaultSlots(EditActor.get(), *EditActor->Ani);
  Scene.Selection = {0};
  RefreshPartList();
  ShowTime(0);
  ClearFocus();
  UpdateButtons();
}

bool TEditFrame::WriteDocument()
{
  std::string error;
  if (WriteAnimation(GetCurrentAni(), &error))
    return true;
  Dialogs().ShowError(error);
  return false;
}

bool TEditFrame::QuerySave()
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

void TEditFrame::SpeedButton34Click()
{
  if (!QuerySave())
    return;
  FreeClipboards();
  NewAnimation();
  DrawCanvas();
}

void TEditFrame::SpeedButton9Click()
{
  if (!QuerySave())
    return;
  const TZeltoAni *ani = GetCurrentAni();
  std::string chosen;
  if (!Dialogs().OpenFile("Load Zelto Animation", ani ? ani->FileName : programFolder_, AnimationFilter, chosen))
    return;
  FreeClipboards();
  OpenAnimation(chosen);
  DrawCanvas();
}

void TEditFrame::SpeedButton10Click()
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

void TEditFrame::SpeedButton11Click()
{
  SaveAs();
}

bool TEditFrame::SaveAs()
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

// Presses, moves and releases on the canvas in sprite mode: the timeline band's gestures, sounds
// and parts dragged in the scene, parts taken from the sprite strip, and panning. Positions in
// the scene are converted through the zoom; the strip and the timeline use canvas positions.
#include <algorithm>

#include "core/helpers.h"
#include "model/document.h"
#include "scene/renderer.h"
#include "session/edit_session.h"
#include "session/sound_entries.h"

void TEditSession::MouseDown(bool rightButton, int x, int y, bool shift, bool ctrl)
{
  if (view_)
    view_->ClearFocus();
  EndGridEdit();
  FinishGesture();
  pointerX_ = x;
  pointerY_ = y;
  LastDragMode = -1;
  Scene.LastFrameIndex = -1;
  LastSoundIndex = -1;
  Scene.DragFrameIndex = -1;
  DragSoundIndex = -1;
  MouseSceneX = SceneX(x);
  MouseSceneY = SceneY(y);
  if (!GetCurrentAni())
    return;
  const TCanvasGeometry g = Geometry();
  if (rightButton && x < Scene.SpriteListLeft + SpriteListWidth && y < g.TimelineTop) {
    OpenSpriteListMenu(x, y);
    return;
  }
  if (MovieMode) {
    MovieMouseDown(rightButton, x, y);
    return;
  }
  if (rightButton)
    return;
  if (y >= g.TimelineTop) {
    MouseIsDown = true;
    if (y < g.TimelineTop + 15)
      TimelineFrameDrag(x, true);
    else
      TimelineRulerDrag(x, y, true);
    return;
  }
  DragStartX = MouseSceneX;
  DragStartY = MouseSceneY;
  if (!PressSound())
    PressPart(x, y, shift, ctrl);
  if (view_)
    view_->HideHint();
}

bool TEditSession::PressSound()
{
  TZeltoAniStep *step = CurrentStep();
  const TSurfaceOwner *icon = Scene.Fixed.SoundIcon;
  const TImageAnimation *image = icon ? icon->Image() : nullptr;
  if (!step || !image)
    return false;
  for (size_t i = 0; i < step->Sounds.size(); ++i) {
    TZeltoAniSound &sound = *step->Sounds[i];
    if (sound.Tick != EditActor->FrameTick + 1 ||
        image->IsTransparentPixel(MouseSceneX - Scene.OriginX - sound.X, MouseSceneY - Scene.OriginY - sound.Y))
      continue;
    Scene.Selection.clear();
    DragSoundIndex = int(i);
    sound.SavedX = sound.X;
    sound.SavedY = sound.Y;
    Scene.DragMode = dmSound;
    MouseIsDown = true;
    Show(TViewPart::SelectionInfo);
    NeedsRedraw = true;
    return true;
  }
  return false;
}

void TEditSession::PressPart(int x, int y, bool shift, bool ctrl)
{
  int hit = PartAt(Scene, EditActor.get(), MouseSceneX - Scene.OriginX, MouseSceneY - Scene.OriginY);
  std::vector<int> &selection = Scene.Selection;
  if (hit >= 0 && ctrl) {
    // Ctrl takes the part out of the selection; nothing is dragged.
    selection.erase(std::remove(selection.begin(), selection.end(), hit), selection.end());
    Show(TViewPart::PartList);
    Scene.RedrawCountdown = 20;
    NeedsRedraw = true;
    return;
  }
  if (hit < 0)
    hit = TakeSpriteFromList(SpriteListIndexAt(x, y));
  const TPartList *parts = CurrentPartList();
  if (hit >= 0 && parts && hit < int(parts->size())) {
    // The pressed part becomes the primary selection; Shift adds it to the others.
    const bool wasSelected = std::find(selection.begin(), selection.end(), hit) != selection.end();
    if (!wasSelected && !shift)
      selection.clear();
    selection.erase(std::remove(selection.begin(), selection.end(), hit), selection.end());
    selection.insert(selection.begin(), hit);
    for (TZeltoAniPart *part : SelectedParts()) {
      part->SavedX = part->X;
      part->SavedY = part->Y;
    }
    Show(TViewPart::PartList);
    Scene.DragMode = dmParts;
  } else {
    selection.clear();
    Show(TViewPart::PartList);
    panOriginX_ = Scene.OriginX;
    panOriginY_ = Scene.OriginY;
    Scene.DragMode = dmPan;
  }
  MouseIsDown = true;
  Scene.RedrawCountdown = 20;
  NeedsRedraw = true;
}

void TEditSession::RecordNewParts()
{
  // A part taken from the strip that was released where it was taken (a wide sprite reaches into
  // the scene) made no move entry to carry its add: it gets one of its own.
  TPartList *parts = CurrentPartList();
  if (!parts)
    return;
  for (const auto &part : *parts)
    if (part->IsNew)
      RecordOperation(std::make_unique<TEditOperation>(okAddParts, part.get(), EditActor->Dir, CurrentStep()));
}

void TEditSession::HoverSpriteList(int x, int y)
{
  if (x < Scene.SpriteListLeft || x >= Scene.SpriteListLeft + SpriteListWidth || y >= Geometry().TimelineTop)
    return;
  const int entry = SpriteListIndexAt(x, y);
  if (entry < 0)
    return;
  const TZeltoAniSprite &sprite = *GetCurrentAni()->Sprites[size_t(entry)];
  view_->ShowHint("# " + std::to_string(sprite.Index) + "\n" + sprite.Description, x, y + 20);
}

void TEditSession::OpenSpriteListMenu(int x, int y)
{
  const int entry = SpriteListIndexAt(x, y);
  if (entry < 0 || !view_)
    return;
  MenuSpriteIndex = GetCurrentAni()->Sprites[size_t(entry)]->Index;
  view_->HideHint();
  view_->ShowSpriteMenu(x, y);
}

void TEditSession::MouseMove(int x, int y)
{
  if (!GetCurrentAni())
    return;
  pointerX_ = x;
  pointerY_ = y;
  MouseSceneX = SceneX(x);
  MouseSceneY = SceneY(y);
  const int dx = MouseSceneX - DragStartX, dy = MouseSceneY - DragStartY;
  if (MouseIsDown && !MovieMode) {
    if (Scene.DragMode == dmTime || Scene.DragMode == dmLength)
      TimelineRulerDrag(x, y, false);
    else if (Scene.DragMode == dmFrameStart)
      TimelineFrameDrag(x, false);
    else if (Scene.DragMode == dmPan) {
      Scene.OriginX = panOriginX_ + dx;
      Scene.OriginY = panOriginY_ + dy;
      NeedsRedraw = true;
    }
  } else if (!MouseIsDown && view_) {
    // The strip describes its entries in both modes.
    HoverSpriteList(x, y);
  }
  if (MovieMode) {
    MovieMouseMove(x, y);
    return;
  }
  if (Scene.DragMode == dmParts && !Scene.Selection.empty()) {
    MoveDraggedParts(dx, dy);
    RemovePartsOutsideView(50);
  } else if (Scene.DragMode == dmSound) {
    TZeltoAniStep *step = CurrentStep();
    if (step && DragSoundIndex >= 0 && DragSoundIndex < int(step->Sounds.size())) {
      TZeltoAniSound &sound = *step->Sounds[size_t(DragSoundIndex)];
      sound.X = SaturatedInt((long long)sound.SavedX + dx);
      sound.Y = SaturatedInt((long long)sound.SavedY + dy);
      ::SetModified(GetCurrentAni(), true);
      NeedsRedraw = true;
      RemoveSoundOutsideView(50);
    }
  }
}

void TEditSession::MoveDraggedParts(int dx, int dy)
{
  for (TZeltoAniPart *part : SelectedParts()) {
    part->X = SaturatedInt((long long)part->SavedX + dx);
    part->Y = SaturatedInt((long long)part->SavedY + dy);
  }
  ::SetModified(GetCurrentAni(), true);
  Show(TViewPart::SelectionInfo);
  NeedsRedraw = true;
}

void TEditSession::RecordSoundDrag()
{
  TZeltoAniStep *step = CurrentStep();
  if (Scene.DragMode != dmSound || !step || DragSoundIndex < 0 || DragSoundIndex >= int(step->Sounds.size()))
    return;
  TZeltoAniSound *sound = step->Sounds[size_t(DragSoundIndex)].get();
  if (sound->X != sound->SavedX || sound->Y != sound->SavedY)
    RecordOperation(std::make_unique<TSoundMoveEntry>(step, sound, sound->SavedX, sound->SavedY, false));
}

void TEditSession::FinishGesture()
{
  if (MouseIsDown)
    MouseUp(pointerX_, pointerY_);
}

void TEditSession::MouseUp(int x, int y)
{
  if (view_)
    view_->HideHint();
  MouseSceneX = SceneX(x);
  MouseSceneY = SceneY(y);
  if (!MovieMode && GetCurrentAni()) {
    // The release may come where no move reported the pointer last (moves are merged when the
    // pointer is fast): the parts go where they are let go, which is also what the entry records.
    if (Scene.DragMode == dmParts && MouseIsDown) {
      const int dx = MouseSceneX - DragStartX, dy = MouseSceneY - DragStartY;
      const std::vector<TZeltoAniPart *> dragged = SelectedParts();
      if (std::any_of(dragged.begin(), dragged.end(), [&](const TZeltoAniPart *part) {
            return part->X != SaturatedInt((long long)part->SavedX + dx) ||
                   part->Y != SaturatedInt((long long)part->SavedY + dy);
          }))
        MoveDraggedParts(dx, dy);
    }
    RemovePartsOutsideView(0);
    if (Scene.DragMode == dmParts && !Scene.Selection.empty() &&
        (MouseSceneX != DragStartX || MouseSceneY != DragStartY)) {
      auto entry = std::make_unique<TEditOperation>(okMoveParts, EditActor->Dir, CurrentStep());
      entry->Parts = SelectedParts();
      entry->DX = MouseSceneX - DragStartX;
      entry->DY = MouseSceneY - DragStartY;
      RecordOperation(std::move(entry));
    }
    RecordNewParts();
    RecordSoundDrag();
  } else if (MovieMode) {
    MovieMouseUp();
  }
  EndTiming();
  LastDragMode = Scene.DragMode;
  Scene.LastFrameIndex = Scene.DragFrameIndex;
  LastSoundIndex = DragSoundIndex;
  Scene.DragMode = -1;
  Scene.DragFrameIndex = -1;
  Scene.HeldRulerTicks = 0;
  DragSoundIndex = -1;
  MouseIsDown = false;
  NeedsRedraw = true;
}

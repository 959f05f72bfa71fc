// Keys and the mouse wheel: they act on what was last worked with on the canvas (the selected
// parts, the last clicked sound or frame, the time cursor or the length), scroll the sprite strip,
// step the time, or zoom.
#include <algorithm>
#include <climits>

#include "core/helpers.h"
#include "model/actor_attributes.h"
#include "model/reader.h"
#include "session/edit_session.h"
#include "session/shift_entries.h"
#include "session/sound_entries.h"

bool TEditSession::KeyDown(TKey key, bool ctrl, bool controlFocused)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return key == TKey::Tab && !controlFocused;
  if (!controlFocused || (key == TKey::N && ctrl))
    FinishGesture();
  if (key == TKey::N && ctrl) {
    ShiftOldOffsets();
    NeedsRedraw = true;
    return true;
  }
  // Every other key goes to a focused control.
  if (controlFocused)
    return false;
  EndGridEdit();
  switch (key) {
  case TKey::Delete:
    if (MovieMode)
      DeleteActor();
    else if (LastDragMode == dmFrameStart)
      DeleteFrame(Scene.LastFrameIndex);
    else
      DeleteSelectedParts();
    return true;
  case TKey::PadPlus:
  case TKey::PadMinus: {
    const int delta = key == TKey::PadPlus ? +1 : -1;
    if (!MovieMode && !Scene.Selection.empty())
      ChangeSelectionOrder(delta);
    else if (MovieMode && Scene.SelectedActor)
      ChangeActorNumber(Scene.SelectedActor, "layer", delta);
    else
      ZoomBy(delta > 0 ? ZoomStep : 1 / ZoomStep);
    return true;
  }
  case TKey::Up:
  case TKey::Down:
  case TKey::Left:
  case TKey::Right:
    ArrowKey(key);
    return true;
  case TKey::Tab:
    if (MovieMode)
      SelectNextActor();
    return true;
  default:
    return false;
  }
}

void TEditSession::ArrowKey(TKey key)
{
  TZeltoAni *ani = GetCurrentAni();
  const bool horizontal = key == TKey::Left || key == TKey::Right;
  const int step = key == TKey::Right || key == TKey::Down ? 1 : -1;
  if (LastDragMode == dmSound) {
    static const std::pair<TKey, int> directions[] = {
        {TKey::Up, 0}, {TKey::Left, 1}, {TKey::Down, 2}, {TKey::Right, 3}};
    for (const auto &[arrow, d] : directions)
      if (arrow == key)
        MoveSound(LastSoundIndex, d);
    return;
  }
  if (horizontal && LastDragMode == dmTime) {
    const int last = LastTime();
    const int time = GetCurrentTime();
    if ((step < 0 && time > 0) || (step > 0 && time < last))
      ShowTime(time + step);
    NeedsRedraw = true;
    return;
  }
  if (horizontal && LastDragMode == dmLength) {
    StepLength(step);
    return;
  }
  if (horizontal && LastDragMode == dmFrameStart) {
    const int frame = Scene.LastFrameIndex;
    if (frame >= 0 && frame < int(ani->Steps.size())) {
      // Presses on the same frame start merge into one entry, as nudges do.
      BeginTiming(true);
      SetFrameStart(frame, ani->Steps[size_t(frame)]->StartTick + step);
      EndTiming();
      // The current time may now fall in the neighbouring frame, as after a drag.
      ShowTime(GetCurrentTime());
    }
    return;
  }
  if (!MovieMode)
    MoveSelection(horizontal ? step : 0, horizontal ? 0 : step);
  else if (Scene.SelectedActor)
    ChangeActorNumber(Scene.SelectedActor, horizontal ? "dx" : "dy", step);
}

void TEditSession::StepLength(int step)
{
  TZeltoAni *ani = GetCurrentAni();
  if (step < 0 && ani->Length <= 1)
    return;
  if (step > 0) {
    // The longest length a tick count holds, and in sprite mode no last frame longer than the
    // reader accepts.
    if (ani->Length == INT_MAX)
      return;
    if (!MovieMode && !ani->Steps.empty() && ani->Steps.back()->Duration >= MaxFrameDuration)
      return;
  }
  BeginTiming(true);
  SetDocumentLength(ani->Length + step);
  EndTiming();
  if (GridMode == 0)
    Show(TViewPart::OptionsGrid);
  ShowTimeWithinLength();
  NeedsRedraw = true;
}

void TEditSession::MoveSound(int index, int direction)
{
  // The remembered index belongs to the frame it was clicked in: checked against the current one.
  TZeltoAniStep *step = CurrentStep();
  if (!step || index < 0 || index >= int(step->Sounds.size()))
    return;
  TZeltoAniSound &sound = *step->Sounds[size_t(index)];
  static const int dx[] = {0, -1, 0, 1}, dy[] = {-1, 0, 1, 0};
  if (direction < 0 || direction > 3)
    return;
  const int oldX = sound.X, oldY = sound.Y;
  sound.X = SaturatedInt((long long)sound.X + dx[direction]);
  sound.Y = SaturatedInt((long long)sound.Y + dy[direction]);
  ::SetModified(GetCurrentAni(), true);
  // Presses on the same sound merge into one entry, as nudges do.
  RecordOperation(std::make_unique<TSoundMoveEntry>(step, &sound, oldX, oldY, true));
  NeedsRedraw = true;
}

void TEditSession::ShiftOldOffsets()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  bool moved = false;
  auto entry = std::make_unique<TShiftEntry>();
  for (const auto &step : ani->Steps)
    for (const TPartList &direction : step->Directions)
      for (const auto &part : direction) {
        const TZeltoAniSprite *sprite = part->Sprite;
        if (!sprite)
          continue;
        if (sprite->Image == "BODY" || sprite->Index > 0)
          entry->Note(part.get());
        if (sprite->Image == "BODY") {
          part->X = SaturatedInt(part->X - 5LL);
          part->Y = SaturatedInt(part->Y - 4LL);
          moved = true;
        } else if (sprite->Index > 0) {
          part->Y = SaturatedInt(part->Y - 8LL);
          moved = true;
        }
      }
  // Every part may have moved: without the mark a close would lose it without asking.
  if (moved) {
    ::SetModified(ani, true);
    entry->FinishChange(*this);
    RecordOperation(std::move(entry));
  }
  Show(TViewPart::SelectionInfo);
}

void TEditSession::ZoomBy(double factor)
{
  if (factor > 1)
    Setup.SetZoom(std::min(Scene.Zoom * factor, MaxZoom));
  else if (factor < 1)
    Setup.SetZoom(std::max(Scene.Zoom * factor, 1.0));
  NeedsRedraw = true;
}

void TEditSession::ResetZoom()
{
  Setup.SetZoom(1.0);
  NeedsRedraw = true;
}

bool TEditSession::Wheel(bool down, int x, int y, bool ctrl)
{
  TZeltoAni *ani = GetCurrentAni();
  const TCanvasGeometry g = Geometry();
  if (!ani || x < 0 || y < 0 || x >= g.Width)
    return false;
  FinishGesture();
  if (x < Scene.SpriteListLeft + SpriteListWidth && y < g.TimelineTop) {
    // A list that fits stays at its top.
    const int last = std::max(0, SpriteListTotal - SpriteListPage());
    const int position = down ? std::min(Scene.SpriteListScroll + 42, last) : Scene.SpriteListScroll - 42;
    Scene.SpriteListScroll = std::max(0, position);
    Show(TViewPart::SpriteList);
    DrawCanvas();
    return true;
  }
  if (y >= g.TimelineTop && y < g.TimelineTop + Scene.TimelineHeight) {
    const int time = GetCurrentTime();
    const int last = LastTime();
    if (down && time < last)
      ShowTime(time + 1);
    else if (!down && time >= 1)
      ShowTime(time - 1);
    NeedsRedraw = true;
    return true;
  }
  if (y < g.TimelineTop) {
    // Ctrl+wheel zooms as in other programs, in when turned away from the user; the wheel alone
    // zooms in when turned towards the user.
    ZoomBy(down != ctrl ? ZoomStep : 1 / ZoomStep);
    return true;
  }
  return false;
}

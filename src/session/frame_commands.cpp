// Commands that restructure the frames: add, delete, copy, insert, reverse, and the switch between
// four directions per frame and one. Each records an entry that undoes it.
#include <algorithm>

#include "model/default_frame.h"
#include "session/direction_entries.h"
#include "session/edit_session.h"
#include "session/frame_entries.h"

void TEditSession::AddFrame()
{
  TZeltoAni *ani = GetCurrentAni();
  // A movie has no frames: its commands are the actors'.
  if (!ani || MovieMode)
    return;
  const int before = GetCurrentFrame();
  const int position = std::clamp(before + 1, 0, int(ani->Steps.size()));
  InsertDefaultFrame(ani, position);
  ::SetModified(ani, true);
  SetCurrentFrame(position);
  RecomputeStartTicks(ani);
  RecordOperation(
      std::make_unique<TFrameListEntry>(ani->Steps[size_t(position)].get(), position, nullptr, before, position));
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::DeleteFrame(int index)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || MovieMode || index < 0 || index >= int(ani->Steps.size()) || ani->Steps.size() < 2)
    return;
  EndGridEdit();
  const int before = GetCurrentFrame();
  int current = before;
  SetCurrentFrame(-1);
  // The frame goes into the history entry, which gives it back on undo: entries of the frame
  // stay, and are undone after it is back.
  std::unique_ptr<TZeltoAniStep> frame = std::move(ani->Steps[size_t(index)]);
  TZeltoAniStep *taken = frame.get();
  ani->Steps.erase(ani->Steps.begin() + index);
  ::SetModified(ani, true);
  if (current >= int(ani->Steps.size()))
    current = int(ani->Steps.size()) - 1;
  SetCurrentFrame(current);
  RecomputeStartTicks(ani);
  RecordOperation(std::make_unique<TFrameListEntry>(taken, index, std::move(frame), before, current));
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::CopyFrame()
{
  if (const TZeltoAniStep *step = CurrentStep())
    FrameClipboard = CopyStep(*step);
  Show(TViewPart::Buttons);
}

void TEditSession::InsertCopiedFrame(bool after)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || MovieMode || !FrameClipboard)
    return;
  const int count = int(ani->Steps.size());
  const int current = GetCurrentFrame();
  int position;
  if (after)
    position = current + 1 < count ? std::max(current + 1, 0) : count;
  else
    position = current >= 0 && current < count ? current : count;
  // The frame may have been copied before a switch between four directions and one: the copy
  // gets the document's number of direction lists (missing ones empty), so every direction of
  // it can be shown and edited.
  std::unique_ptr<TZeltoAniStep> copy = CopyStep(*FrameClipboard);
  copy->Directions.resize(size_t(ani->DirectionsPerFrame()));
  // A definition the copy shows may have left the document since (an undone add, whose entry
  // the history has dropped): such parts are not inserted.
  for (TPartList &direction : copy->Directions)
    direction.erase(std::remove_if(direction.begin(), direction.end(),
                                   [ani](const auto &part) {
                                     return part->Sprite && std::none_of(ani->Sprites.begin(), ani->Sprites.end(),
                                                                         [&part](const auto &sprite) {
                                                                           return sprite.get() == part->Sprite;
                                                                         });
                                   }),
                    direction.end());
  TZeltoAniStep *inserted = copy.get();
  ani->Steps.insert(ani->Steps.begin() + position, std::move(copy));
  ::SetModified(ani, true);
  SetCurrentFrame(position);
  RecomputeStartTicks(ani);
  RecordOperation(std::make_unique<TFrameListEntry>(inserted, position, nullptr, current, position));
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::InsertFrameBefore()
{
  InsertCopiedFrame(false);
}

void TEditSession::InsertFrameAfter()
{
  InsertCopiedFrame(true);
}

void TEditSession::ReverseFrames()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || MovieMode || ani->Steps.size() < 2)
    return;
  ReverseFrameOrder();
  ::SetModified(ani, true);
  RecordOperation(std::make_unique<TReverseFramesEntry>());
}

void TEditSession::ReverseFrameOrder()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  const int current = GetCurrentFrame();
  std::reverse(ani->Steps.begin(), ani->Steps.end());
  SetCurrentFrame(int(ani->Steps.size()) - 1 - current);
  RecomputeStartTicks(ani);
  Show(TViewPart::PartList);
  NeedsRedraw = true;
}

void TEditSession::SetSingleDirection(bool single)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || MovieMode || single == ani->SingleDirection)
    return;
  EndGridEdit();
  // The entry makes the switch, and undoes it with the very frames and lists: the entries before
  // it stay undoable.
  auto entry = std::make_unique<TDirectionsEntry>(single);
  entry->Redo(*this);
  ::SetModified(ani, true);
  RecordOperation(std::move(entry));
}

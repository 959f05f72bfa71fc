// Commands that restructure the frames: add, delete, copy, insert, reverse, and the switch between
// four directions per frame and one. None of them records an undo entry; some prune the history.
#include <algorithm>

#include "model/default_frame.h"
#include "session/edit_session.h"

void TEditSession::AddFrame()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  const int position = std::max(GetCurrentFrame(), -1) + 1;
  InsertDefaultFrame(ani, position);
  ::SetModified(ani, true);
  SetCurrentFrame(position);
  RecomputeStartTicks(ani);
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::DeleteFrame(int index)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || index < 0 || index >= int(ani->Steps.size()) || ani->Steps.size() < 2)
    return;
  EndGridEdit();
  int current = GetCurrentFrame();
  SetCurrentFrame(-1);
  TrimHistory(0, ani->Steps[size_t(index)].get());
  ani->Steps.erase(ani->Steps.begin() + index);
  ::SetModified(ani, true);
  if (current >= int(ani->Steps.size()))
    current = int(ani->Steps.size()) - 1;
  SetCurrentFrame(current);
  RecomputeStartTicks(ani);
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
  if (!ani || !FrameClipboard)
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
  ani->Steps.insert(ani->Steps.begin() + position, std::move(copy));
  ::SetModified(ani, true);
  SetCurrentFrame(position);
  RecomputeStartTicks(ani);
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
  if (!ani || ani->Steps.size() < 2)
    return;
  const int current = GetCurrentFrame();
  std::reverse(ani->Steps.begin(), ani->Steps.end());
  SetCurrentFrame(int(ani->Steps.size()) - 1 - current);
  ::SetModified(ani, true);
  RecomputeStartTicks(ani);
  Show(TViewPart::PartList);
  NeedsRedraw = true;
}

namespace {

// Four direction lists to one: every frame becomes one frame per direction list; the last of them
// keeps the frame's duration, sounds and wait lines, the others last one tick.
void SplitDirections(TZeltoAni &ani)
{
  std::vector<std::unique_ptr<TZeltoAniStep>> frames;
  for (auto &step : ani.Steps) {
    for (size_t d = 0; d + 1 < step->Directions.size(); ++d) {
      auto frame = std::make_unique<TZeltoAniStep>();
      frame->Directions.push_back(std::move(step->Directions[d]));
      frames.push_back(std::move(frame));
    }
    if (!step->Directions.empty()) {
      TPartList last = std::move(step->Directions.back());
      step->Directions.clear();
      step->Directions.push_back(std::move(last));
    }
    frames.push_back(std::move(step));
  }
  ani.Steps = std::move(frames);
}

// One direction list to four: each group of four frames becomes one frame of their lists. Its
// duration is the sum less one tick per merged frame (the split gave those frames one tick each),
// and each merged frame's sounds move along at their place in it, so that splitting and merging
// again gives back the same frames. A last group of fewer frames is completed with empty lists.
void MergeDirections(TZeltoAni &ani)
{
  std::vector<std::unique_ptr<TZeltoAniStep>> frames;
  for (size_t first = 0; first < ani.Steps.size(); first += DirectionCount) {
    std::unique_ptr<TZeltoAniStep> kept = std::move(ani.Steps[first]);
    for (size_t g = first + 1; g < first + DirectionCount; ++g) {
      if (g >= ani.Steps.size()) {
        kept->Directions.emplace_back();
        continue;
      }
      TZeltoAniStep &merged = *ani.Steps[g];
      for (TPartList &direction : merged.Directions)
        kept->Directions.push_back(std::move(direction));
      const int before = kept->Duration;
      for (auto &sound : merged.Sounds) {
        sound->Tick = ClampTicks((long long)sound->Tick + before - 1);
        kept->Sounds.push_back(std::move(sound));
      }
      kept->Duration = ClampTicks((long long)before + merged.Duration - 1);
      kept->ExtraText += merged.ExtraText;
    }
    frames.push_back(std::move(kept));
  }
  ani.Steps = std::move(frames);
}

} // namespace

void TEditSession::SetSingleDirection(bool single)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || single == ani->SingleDirection)
    return;
  EndGridEdit();
  ClearHistory();
  // Without a current frame the first one becomes current.
  const int current = std::max(GetCurrentFrame(), 0);
  int newFrame;
  SetCurrentFrame(-1);
  if (single) {
    newFrame = current * DirectionCount + (EditActor ? EditActor->Dir : 0);
    SplitDirections(*ani);
    ani->SingleDirection = true;
    EditActor->Dir = 0;
  } else {
    newFrame = current / DirectionCount;
    MergeDirections(*ani);
    ani->SingleDirection = false;
    EditActor->Dir = current % DirectionCount;
  }
  ::SetModified(ani, true);
  SetCurrentFrame(std::clamp(newFrame, 0, std::max(int(ani->Steps.size()) - 1, 0)));
  RecomputeStartTicks(ani);
  Show(TViewPart::Direction);
  Show(TViewPart::PartList);
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

#include "session/direction_entries.h"

#include <algorithm>

#include "model/actor.h"
#include "session/edit_session.h"

void TDirectionsEntry::Split(TZeltoAni &ani)
{
  // The first time, every frame gets a new frame for each of its lists but the last; again after
  // an undo, the same new frames take the same lists.
  if (groups_.empty())
    for (auto &step : ani.Steps) {
      TGroup group;
      group.Kept = step.get();
      for (size_t d = 0; d + 1 < step->Directions.size(); ++d) {
        owned_.push_back(std::make_unique<TZeltoAniStep>());
        group.Others.push_back(owned_.back().get());
      }
      groups_.push_back(std::move(group));
    }
  std::vector<TZeltoAniStep *> order;
  for (TGroup &group : groups_) {
    TZeltoAniStep &kept = *group.Kept;
    for (size_t d = 0; d < group.Others.size() && d < kept.Directions.size(); ++d) {
      group.Others[d]->Directions.clear();
      group.Others[d]->Directions.push_back(std::move(kept.Directions[d]));
      order.push_back(group.Others[d]);
    }
    if (!kept.Directions.empty()) {
      TPartList last = std::move(kept.Directions.back());
      kept.Directions.clear();
      kept.Directions.push_back(std::move(last));
    }
    order.push_back(group.Kept);
  }
  ArrangeOwned(ani.Steps, owned_, order);
}

void TDirectionsEntry::UndoSplit(TZeltoAni &ani)
{
  std::vector<TZeltoAniStep *> order;
  for (TGroup &group : groups_) {
    TZeltoAniStep &kept = *group.Kept;
    std::vector<TPartList> lists;
    for (TZeltoAniStep *other : group.Others) {
      lists.push_back(other->Directions.empty() ? TPartList() : std::move(other->Directions[0]));
      other->Directions.clear();
    }
    for (TPartList &list : kept.Directions)
      lists.push_back(std::move(list));
    kept.Directions = std::move(lists);
    order.push_back(group.Kept);
  }
  ArrangeOwned(ani.Steps, owned_, order);
}

void TDirectionsEntry::Merge(TZeltoAni &ani)
{
  // Each four frames become one of their lists; its duration is the sum less one tick per merged
  // frame (a split gave those frames one tick each), and each merged frame's sounds move along at
  // their place in it. A last group of fewer frames is completed with empty lists.
  groups_.clear();
  std::vector<TZeltoAniStep *> order;
  for (size_t first = 0; first < ani.Steps.size(); first += DirectionCount) {
    TGroup group;
    TZeltoAniStep &kept = *ani.Steps[first];
    group.Kept = &kept;
    group.KeptLists = int(kept.Directions.size());
    group.KeptDuration = kept.Duration;
    group.KeptExtraText = kept.ExtraText.size();
    for (size_t g = first + 1; g < first + DirectionCount; ++g) {
      if (g >= ani.Steps.size()) {
        kept.Directions.emplace_back();
        ++group.EmptyListsAdded;
        continue;
      }
      TZeltoAniStep &merged = *ani.Steps[g];
      group.Others.push_back(&merged);
      group.ListsTaken.push_back(merged.Directions.size());
      for (TPartList &direction : merged.Directions)
        kept.Directions.push_back(std::move(direction));
      merged.Directions.clear();
      const int before = kept.Duration;
      group.SoundsTaken.push_back(merged.Sounds.size());
      for (auto &sound : merged.Sounds) {
        group.OldTicks.push_back(sound->Tick);
        sound->Tick = ClampTicks((long long)sound->Tick + before - 1);
        kept.Sounds.push_back(std::move(sound));
      }
      merged.Sounds.clear();
      kept.Duration = ClampTicks((long long)before + merged.Duration - 1);
      kept.ExtraText += merged.ExtraText;
    }
    order.push_back(&kept);
    groups_.push_back(std::move(group));
  }
  ArrangeOwned(ani.Steps, owned_, order);
}

void TDirectionsEntry::UndoMerge(TZeltoAni &ani)
{
  std::vector<TZeltoAniStep *> order;
  for (TGroup &group : groups_) {
    TZeltoAniStep &kept = *group.Kept;
    kept.Directions.resize(kept.Directions.size() - size_t(group.EmptyListsAdded));
    // The merged frames' lists and sounds stand after the kept frame's own, in order.
    size_t list = size_t(group.KeptLists);
    size_t sound = kept.Sounds.size();
    for (size_t count : group.SoundsTaken)
      sound -= count;
    size_t tick = 0;
    for (size_t o = 0; o < group.Others.size(); ++o) {
      TZeltoAniStep &merged = *group.Others[o];
      for (size_t n = 0; n < group.ListsTaken[o]; ++n)
        merged.Directions.push_back(std::move(kept.Directions[list++]));
      for (size_t n = 0; n < group.SoundsTaken[o]; ++n) {
        merged.Sounds.push_back(std::move(kept.Sounds[sound++]));
        merged.Sounds.back()->Tick = group.OldTicks[tick++];
      }
    }
    kept.Directions.resize(size_t(group.KeptLists));
    kept.Sounds.resize(kept.Sounds.size() - tick);
    kept.Duration = group.KeptDuration;
    kept.ExtraText.resize(group.KeptExtraText);
    order.push_back(group.Kept);
    for (TZeltoAniStep *other : group.Others)
      order.push_back(other);
  }
  ArrangeOwned(ani.Steps, owned_, order);
}

void TDirectionsEntry::Redo(TEditSession &session)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani || ani->SingleDirection == single_)
    return;
  frameBefore_ = std::max(session.GetCurrentFrame(), 0);
  dirBefore_ = session.EditActor->Dir;
  session.SetCurrentFrame(-1);
  if (single_) {
    Split(*ani);
    frameAfter_ = frameBefore_ * DirectionCount + dirBefore_;
    dirAfter_ = 0;
  } else {
    Merge(*ani);
    frameAfter_ = frameBefore_ / DirectionCount;
    dirAfter_ = frameBefore_ % DirectionCount;
  }
  ani->SingleDirection = single_;
  Show(session, frameAfter_, dirAfter_);
}

void TDirectionsEntry::Undo(TEditSession &session)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani || ani->SingleDirection != single_)
    return;
  session.SetCurrentFrame(-1);
  if (single_)
    UndoSplit(*ani);
  else
    UndoMerge(*ani);
  ani->SingleDirection = !single_;
  Show(session, frameBefore_, dirBefore_);
}

void TDirectionsEntry::Show(TEditSession &session, int frame, int dir)
{
  TZeltoAni *ani = session.GetCurrentAni();
  session.EditActor->Dir = dir;
  session.SetCurrentFrame(std::clamp(frame, 0, std::max(int(ani->Steps.size()) - 1, 0)));
  RecomputeStartTicks(ani);
  session.Show(TViewPart::Direction);
  session.Show(TViewPart::PartList);
  session.Show(TViewPart::OptionsGrid);
  session.Show(TViewPart::Buttons);
  session.NeedsRedraw = true;
}

void TDirectionsEntry::AddOwned(TLiveObjects &live) const
{
  for (const auto &step : owned_)
    live.AddFrame(*step);
}

std::string TDirectionsEntry::DeadReference(const TLiveObjects &live) const
{
  for (const TGroup &group : groups_) {
    if (!live.Has(group.Kept))
      return "a frame of the switch that is gone";
    for (const TZeltoAniStep *other : group.Others)
      if (!live.Has(other))
        return "a frame of the switch that is gone";
  }
  return {};
}

#include "session/timing_entries.h"

#include <algorithm>

#include "session/edit_session.h"

void TTimingEntry::NoteDuration(TZeltoAniStep *frame)
{
  if (frame &&
      std::none_of(durations_.begin(), durations_.end(), [frame](const auto &v) { return v.Changed == frame; }))
    durations_.push_back({frame, frame->Duration, frame->Duration});
}

void TTimingEntry::NoteTick(TZeltoAniSound *sound)
{
  if (sound && std::none_of(ticks_.begin(), ticks_.end(), [sound](const auto &v) { return v.Changed == sound; }))
    ticks_.push_back({sound, sound->Tick, sound->Tick});
}

void TTimingEntry::NoteLength(const TZeltoAni &ani)
{
  if (!hasLength_) {
    hasLength_ = true;
    oldLength_ = newLength_ = ani.Length;
  }
}

bool TTimingEntry::Finish(const TZeltoAni &ani)
{
  auto unchanged = [](const auto &v) { return v.Old == v.New; };
  for (auto &v : durations_)
    v.New = v.Changed->Duration;
  for (auto &v : ticks_)
    v.New = v.Changed->Tick;
  durations_.erase(std::remove_if(durations_.begin(), durations_.end(), unchanged), durations_.end());
  ticks_.erase(std::remove_if(ticks_.begin(), ticks_.end(), unchanged), ticks_.end());
  newLength_ = ani.Length;
  hasLength_ = hasLength_ && oldLength_ != newLength_;
  return !durations_.empty() || !ticks_.empty() || hasLength_;
}

bool TTimingEntry::FinishChange(TEditSession &session)
{
  return session.GetCurrentAni() && Finish(*session.GetCurrentAni());
}

void TTimingEntry::Put(TEditSession &session, bool forward)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani)
    return;
  for (const auto &v : durations_)
    v.Changed->Duration = forward ? v.New : v.Old;
  for (const auto &v : ticks_)
    v.Changed->Tick = forward ? v.New : v.Old;
  if (ani->IsMovie) {
    if (hasLength_)
      ani->Length = forward ? newLength_ : oldLength_;
  } else {
    RecomputeStartTicks(ani);
    // The first frame that changed is shown.
    if (!durations_.empty())
      session.ShowFrame(durations_.front().Changed, session.EditActor->Dir);
  }
  session.ShowTimeWithinLength();
  session.Show(TViewPart::OptionsGrid);
}

bool TTimingEntry::Absorb(TEditOperation &next)
{
  auto &other = static_cast<TTimingEntry &>(next);
  if (!Mergeable || !other.Mergeable)
    return false;
  // The same frame start or the same length stepped again: one entry from the first old values
  // to the last new ones.
  auto sameObjects = [](const auto &a, const auto &b) {
    return std::all_of(b.begin(), b.end(), [&a](const auto &v) {
      return std::any_of(a.begin(), a.end(), [&v](const auto &w) { return w.Changed == v.Changed; });
    });
  };
  if (hasLength_ != other.hasLength_ || durations_.empty() != other.durations_.empty() ||
      !sameObjects(durations_, other.durations_) || !sameObjects(other.durations_, durations_))
    return false;
  for (const auto &v : other.durations_)
    for (auto &w : durations_)
      if (w.Changed == v.Changed)
        w.New = v.New;
  for (const auto &v : other.ticks_) {
    auto found = std::find_if(ticks_.begin(), ticks_.end(), [&v](const auto &w) { return w.Changed == v.Changed; });
    if (found != ticks_.end())
      found->New = v.New;
    else
      ticks_.push_back(v);
  }
  newLength_ = other.newLength_;
  return true;
}

std::string TTimingEntry::DeadReference(const TLiveObjects &live) const
{
  for (const auto &v : durations_)
    if (!live.Has(v.Changed))
      return "a retimed frame that is gone";
  for (const auto &v : ticks_)
    if (!live.Has(v.Changed))
      return "a retimed sound that is gone";
  return {};
}

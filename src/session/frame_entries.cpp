#include "session/frame_entries.h"

#include <algorithm>

#include "session/edit_session.h"

TFrameListEntry::TFrameListEntry(TZeltoAniStep *frame, int index, std::unique_ptr<TZeltoAniStep> owned, int before,
                                 int after)
    : TEditOperation(okFrameList), frame_(frame), index_(index), added_(!owned), owned_(std::move(owned)),
      before_(before), after_(after)
{
}

void TFrameListEntry::Put(TEditSession &session, bool out, int current)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani)
    return;
  if (out) {
    const int index = session.FrameIndexOf(frame_);
    if (index < 0)
      return;
    session.SetCurrentFrame(-1);
    owned_ = std::move(ani->Steps[size_t(index)]);
    ani->Steps.erase(ani->Steps.begin() + index);
  } else if (owned_) {
    session.SetCurrentFrame(-1);
    const int index = std::clamp(index_, 0, int(ani->Steps.size()));
    ani->Steps.insert(ani->Steps.begin() + index, std::move(owned_));
  }
  session.SetCurrentFrame(std::clamp(current, 0, std::max(int(ani->Steps.size()) - 1, 0)));
  RecomputeStartTicks(ani);
  session.ShowTimeWithinLength();
  session.Show(TViewPart::Buttons);
}

void TFrameListEntry::AddOwned(TLiveObjects &live) const
{
  if (owned_)
    live.AddFrame(*owned_);
}

std::string TFrameListEntry::DeadReference(const TLiveObjects &live) const
{
  return live.Has(frame_) ? std::string() : "its frame, which is gone";
}

void TReverseFramesEntry::Redo(TEditSession &session)
{
  session.ReverseFrameOrder();
}

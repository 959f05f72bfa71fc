#include "session/sound_entries.h"

#include <algorithm>

#include "session/edit_session.h"

namespace {

// Shows the frame of a sound and makes the sound the one the keys and the grid act on.
void ShowSound(TEditSession &session, TZeltoAniStep *frame, TZeltoAniSound *sound)
{
  session.ShowFrame(frame, session.EditActor->Dir);
  const auto &sounds = frame->Sounds;
  const auto found = std::find_if(sounds.begin(), sounds.end(), [sound](const auto &s) { return s.get() == sound; });
  if (found != sounds.end() && session.CurrentStep() == frame) {
    session.LastDragMode = dmSound;
    session.LastSoundIndex = int(found - sounds.begin());
  } else if (session.LastDragMode == dmSound) {
    session.LastSoundIndex = -1;
  }
  session.Show(TViewPart::SelectionInfo);
  session.NeedsRedraw = true;
}

} // namespace

TSoundListEntry::TSoundListEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, int index,
                                 std::unique_ptr<TZeltoAniSound> owned)
    : TEditOperation(okSoundList), frame_(frame), sound_(sound), index_(index), added_(!owned), owned_(std::move(owned))
{
}

void TSoundListEntry::Put(TEditSession &session, bool out)
{
  auto &sounds = frame_->Sounds;
  if (out) {
    const auto found = std::find_if(sounds.begin(), sounds.end(), [this](const auto &s) { return s.get() == sound_; });
    if (found == sounds.end())
      return;
    owned_ = std::move(*found);
    sounds.erase(found);
    session.DragSoundIndex = -1;
  } else if (owned_) {
    sounds.insert(sounds.begin() + std::clamp(index_, 0, int(sounds.size())), std::move(owned_));
  }
  ShowSound(session, frame_, sound_);
}

void TSoundListEntry::AddOwned(TLiveObjects &live) const
{
  if (owned_)
    live.Add(owned_.get());
}

std::string TSoundListEntry::DeadReference(const TLiveObjects &live) const
{
  if (!live.Has(frame_))
    return "the frame of a sound, which is gone";
  return live.Has(sound_) ? std::string() : "a sound that is gone";
}

TSoundMoveEntry::TSoundMoveEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, int oldX, int oldY, bool mergeable)
    : TEditOperation(okSoundMove), frame_(frame), sound_(sound), oldX_(oldX), oldY_(oldY), newX_(sound->X),
      newY_(sound->Y)
{
  Mergeable = mergeable;
}

void TSoundMoveEntry::Put(TEditSession &session, int x, int y)
{
  sound_->X = x;
  sound_->Y = y;
  ShowSound(session, frame_, sound_);
}

bool TSoundMoveEntry::Absorb(TEditOperation &next)
{
  auto &other = static_cast<TSoundMoveEntry &>(next);
  if (!Mergeable || !other.Mergeable || other.sound_ != sound_)
    return false;
  newX_ = other.newX_;
  newY_ = other.newY_;
  return true;
}

std::string TSoundMoveEntry::DeadReference(const TLiveObjects &live) const
{
  return live.Has(frame_) && live.Has(sound_) ? std::string() : "a moved sound that is gone";
}

TSoundFileEntry::TSoundFileEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, std::string old)
    : TEditOperation(okSoundFile), frame_(frame), sound_(sound), old_(std::move(old))
{
}

bool TSoundFileEntry::FinishChange(TEditSession &)
{
  new_ = sound_->FileName;
  return new_ != old_;
}

void TSoundFileEntry::Put(TEditSession &session, const std::string &name)
{
  sound_->FileName = name;
  ShowSound(session, frame_, sound_);
  session.Show(TViewPart::OptionsGrid, 0);
}

std::string TSoundFileEntry::DeadReference(const TLiveObjects &live) const
{
  return live.Has(frame_) && live.Has(sound_) ? std::string() : "a renamed sound that is gone";
}

// History entries of the frame commands: a frame added, deleted or inserted as a copy, and the
// frame order reversed. Each entry names its frame as an object and owns it while it is out of
// the document.
#pragma once

#include <memory>

#include "session/history.h"

// A frame put into the frame list at a place, or taken out of it. While it is out, the entry
// owns it; entries before this one may name it and its parts, and are undone only after it.
class TFrameListEntry : public TEditOperation
{
public:
  // frame stands at index now (added), or was taken out from index (removed: owned is it).
  // The current frame was before and is after.
  TFrameListEntry(TZeltoAniStep *frame, int index, std::unique_ptr<TZeltoAniStep> owned, int before, int after);

  void Redo(TEditSession &session) override { Put(session, !added_, after_); }
  void Undo(TEditSession &session) override { Put(session, added_, before_); }
  void AddOwned(TLiveObjects &live) const override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  // Takes the frame out (out set) or puts it back at its place; then current becomes current.
  void Put(TEditSession &session, bool out, int current);

  TZeltoAniStep *frame_;
  int index_;
  bool added_;
  std::unique_ptr<TZeltoAniStep> owned_;
  int before_, after_;
};

// The frame order reversed; its own inverse. The same frame stays current.
class TReverseFramesEntry : public TEditOperation
{
public:
  TReverseFramesEntry() : TEditOperation(okReverseFrames) {}
  void Redo(TEditSession &session) override;
  void Undo(TEditSession &session) override { Redo(session); }
};

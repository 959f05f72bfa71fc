// The history entry of frame timing: frame durations, frame sound ticks (clamped when a frame
// shrinks) and the document's length, each with its old and new value. A frame start or the
// length dragged makes one entry per gesture, Left and Right make entries that merge, a length
// typed in the grid one per edit.
#pragma once

#include <vector>

#include "session/history.h"

class TTimingEntry : public TEditOperation
{
public:
  // mergeable: consecutive entries of the same frames merge, as key presses do.
  explicit TTimingEntry(bool mergeable = false) : TEditOperation(okTiming) { Mergeable = mergeable; }

  // Before a change: the old values, kept once per object.
  void NoteDuration(TZeltoAniStep *frame);
  void NoteTick(TZeltoAniSound *sound);
  void NoteLength(const TZeltoAni &ani);
  // After the change: the new values; false when nothing changed.
  bool Finish(const TZeltoAni &ani);

  void Redo(TEditSession &session) override { Put(session, true); }
  void Undo(TEditSession &session) override { Put(session, false); }
  bool Absorb(TEditOperation &next) override;
  bool FinishChange(TEditSession &session) override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  template <typename Object> struct TValue
  {
    Object *Changed;
    int Old, New;
  };
  void Put(TEditSession &session, bool forward);

  std::vector<TValue<TZeltoAniStep>> durations_;
  std::vector<TValue<TZeltoAniSound>> ticks_;
  bool hasLength_ = false;
  int oldLength_ = 0, newLength_ = 0;
};

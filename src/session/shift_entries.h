// The history entry of Ctrl+N, which moves the parts of every frame by amounts of their own (the
// old body offsets): each moved part with its position before and after.
#pragma once

#include <vector>

#include "session/history.h"

class TShiftEntry : public TEditOperation
{
public:
  TShiftEntry() : TEditOperation(okShiftParts) {}
  // Before part moves.
  void Note(TZeltoAniPart *part) { moves_.push_back({part, part->X, part->Y, 0, 0}); }
  bool FinishChange(TEditSession &session) override;
  void Redo(TEditSession &session) override { Put(session, true); }
  void Undo(TEditSession &session) override { Put(session, false); }
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  struct TMove
  {
    TZeltoAniPart *Part;
    int OldX, OldY, NewX, NewY;
  };
  void Put(TEditSession &session, bool forward);

  std::vector<TMove> moves_;
};

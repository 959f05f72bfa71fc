#include "session/shift_entries.h"

#include "session/edit_session.h"

bool TShiftEntry::FinishChange(TEditSession &)
{
  for (TMove &move : moves_) {
    move.NewX = move.Part->X;
    move.NewY = move.Part->Y;
  }
  return !moves_.empty();
}

void TShiftEntry::Put(TEditSession &session, bool forward)
{
  for (const TMove &move : moves_) {
    move.Part->X = forward ? move.NewX : move.OldX;
    move.Part->Y = forward ? move.NewY : move.OldY;
  }
  session.Show(TViewPart::SelectionInfo);
  session.NeedsRedraw = true;
}

std::string TShiftEntry::DeadReference(const TLiveObjects &live) const
{
  for (const TMove &move : moves_)
    if (!live.Has(move.Part))
      return "a shifted part that is gone";
  return {};
}

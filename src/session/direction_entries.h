// The history entry of the switch between four direction lists per frame and one: which frames
// were split or merged and what moved between them, so that undo gives back the very frames, part
// lists and sounds, and the entries made before the switch stay valid.
#pragma once

#include <memory>
#include <vector>

#include "session/history.h"

class TDirectionsEntry : public TEditOperation
{
public:
  // single: four direction lists per frame become one (each frame split into one per list);
  // otherwise each four frames are merged into one.
  explicit TDirectionsEntry(bool single) : TEditOperation(okDirections), single_(single) {}

  // Makes the switch: the first time, and again after an undo.
  void Redo(TEditSession &session) override;
  void Undo(TEditSession &session) override;
  void AddOwned(TLiveObjects &live) const override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  // The frames of one frame before the split, or of one frame after the merge: Kept stays in
  // both forms, Others are the frames beside it in the one-direction form.
  struct TGroup
  {
    TZeltoAniStep *Kept = nullptr;
    std::vector<TZeltoAniStep *> Others;
    // A merge's amounts, to take it apart again.
    int KeptLists = 0, KeptDuration = 0;
    size_t KeptExtraText = 0;
    std::vector<size_t> ListsTaken, SoundsTaken; // per other frame
    std::vector<int> OldTicks;                   // of every sound moved, in order
    int EmptyListsAdded = 0;
  };

  void Split(TZeltoAni &ani);
  void Merge(TZeltoAni &ani);
  void UndoSplit(TZeltoAni &ani);
  void UndoMerge(TZeltoAni &ani);
  // Makes frame and dir current and shows the frames anew.
  void Show(TEditSession &session, int frame, int dir);

  bool single_;
  std::vector<TGroup> groups_;
  std::vector<std::unique_ptr<TZeltoAniStep>> owned_;
  int frameBefore_ = 0, dirBefore_ = 0, frameAfter_ = 0, dirAfter_ = 0;
};

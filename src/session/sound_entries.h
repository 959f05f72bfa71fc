// History entries of frame sounds: a sound added to a frame or taken out of it (dragged out of
// the view), moved (by a drag, or by keys whose presses merge), and its file name typed.
#pragma once

#include <memory>
#include <string>

#include "session/history.h"

// A sound put into its frame's sound list at a place, or taken out. While it is out, the entry
// owns it.
class TSoundListEntry : public TEditOperation
{
public:
  // sound stands at index of frame's sounds now (added), or was taken out from there (owned is it).
  TSoundListEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, int index, std::unique_ptr<TZeltoAniSound> owned);

  void Redo(TEditSession &session) override { Put(session, !added_); }
  void Undo(TEditSession &session) override { Put(session, added_); }
  void AddOwned(TLiveObjects &live) const override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  void Put(TEditSession &session, bool out);

  TZeltoAniStep *frame_;
  TZeltoAniSound *sound_;
  int index_;
  bool added_;
  std::unique_ptr<TZeltoAniSound> owned_;
};

// A sound moved from one position to another; moves by keys merge like nudges.
class TSoundMoveEntry : public TEditOperation
{
public:
  TSoundMoveEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, int oldX, int oldY, bool mergeable);

  void Redo(TEditSession &session) override { Put(session, newX_, newY_); }
  void Undo(TEditSession &session) override { Put(session, oldX_, oldY_); }
  bool Absorb(TEditOperation &next) override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  void Put(TEditSession &session, int x, int y);

  TZeltoAniStep *frame_;
  TZeltoAniSound *sound_;
  int oldX_, oldY_, newX_, newY_;
};

// A sound's file name changed.
class TSoundFileEntry : public TEditOperation
{
public:
  TSoundFileEntry(TZeltoAniStep *frame, TZeltoAniSound *sound, std::string old);
  // The name now; false when it did not change.
  bool FinishChange(TEditSession &session) override;

  void Redo(TEditSession &session) override { Put(session, new_); }
  void Undo(TEditSession &session) override { Put(session, old_); }
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  void Put(TEditSession &session, const std::string &name);

  TZeltoAniStep *frame_;
  TZeltoAniSound *sound_;
  std::string old_, new_;
};

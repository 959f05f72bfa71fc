// The history entry of an actor renamed in the attribute grid (a name is not a key line, so the
// actor change entries do not hold it): one entry per edit, from the name before it to the name
// after.
#pragma once

#include <string>

#include "session/history.h"

class TActorNameEntry : public TEditOperation
{
public:
  explicit TActorNameEntry(TZeltoActor *actor);
  bool FinishChange(TEditSession &session) override;
  void Redo(TEditSession &session) override { Put(session, new_); }
  void Undo(TEditSession &session) override { Put(session, old_); }

private:
  void Put(TEditSession &session, const std::string &name);

  std::string old_, new_;
};

#include "session/actor_name_entries.h"

#include "session/edit_session.h"

TActorNameEntry::TActorNameEntry(TZeltoActor *actor) : TEditOperation(okActorName), old_(actor->Name)
{
  Actor = actor;
}

bool TActorNameEntry::FinishChange(TEditSession &)
{
  new_ = Actor->Name;
  return new_ != old_;
}

void TActorNameEntry::Put(TEditSession &session, const std::string &name)
{
  Actor->Name = name;
  // The list, Tab and the file keep the actors in name order.
  session.RefreshActorList();
  session.SelectActor(Actor);
}

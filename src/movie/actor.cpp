#include "movie/actor.h"

std::array<int, ActorKindCount> ActorNameCounters = {1, 1, 1, 1};

static const std::array<const char *, ActorKindCount> KindWords = {"CHAR", "SPRITE", "SOUND", "TEXT"};
static const std::array<const char *, ActorKindCount> KindPrefixes = {"Actor", "Sprite", "Sound", "Text"};

static int ValidKind(int kind)
{
  return kind >= 0 && kind < ActorKindCount ? kind : akCharacter;
}

const char *ActorKindWord(int kind)
{
  return KindWords[ValidKind(kind)];
}

int ActorKindFromWord(const std::string &word)
{
  for (int kind = 0; kind < ActorKindCount; ++kind)
    if (word == KindWords[kind])
      return kind;
  return -1;
}

const char *ActorKindPrefix(int kind)
{
  return KindPrefixes[ValidKind(kind)];
}

TZeltoActor::TZeltoActor(TZeltoActor *parent, int creationCode)
    : Parent(parent), Kind(creationCode == MainActorCode ? akCharacter : ValidKind(creationCode))
{
  AssignDefaultName(this);
}

TZeltoActor::~TZeltoActor() = default;

void AssignDefaultName(TZeltoActor *actor)
{
  const int kind = ValidKind(actor->Kind);
  actor->Name = std::string(KindPrefixes[kind]) + std::to_string(ActorNameCounters[kind]);
  ++ActorNameCounters[kind];
}

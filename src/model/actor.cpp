#include "model/actor.h"

#include <algorithm>

#include "core/helpers.h"
#include "images/image_cache.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"

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

std::string DefaultIdleAni()
{
  return Context().Zelto2002Mode ? "human_idle" : "idle";
}

std::string DefaultWalkAni()
{
  return Context().Zelto2002Mode ? "human_walk" : "walk";
}

TZeltoActor::TZeltoActor(TZeltoActor *parent, int creationCode)
    : Parent(parent), Kind(creationCode == MainActorCode ? akCharacter : ValidKind(creationCode)),
      nested_(parent && parent->Parent)
{
  if (IsNested())
    ++Context().NestedActors;
  if (creationCode != MainActorCode)
    InitialAni = DefaultIdleAni();
  AssignDefaultName(this);
  // The main actor gives its number back, so that the first character made is Actor1.
  if (creationCode == MainActorCode)
    --Context().ActorNameCounters[size_t(Kind)];
  Layer = Kind == akSound || Kind == akText ? 3 : 1;
  ParamValues.fill(-1);
  AttrValues.fill(-1);
  for (auto &image : ParamImages)
    image = std::make_unique<TSurfaceOwner>();
  for (auto &image : AttrImages)
    image = std::make_unique<TSurfaceOwner>();
  BodyImage = std::make_unique<TSurfaceOwner>();
  HeadImage = std::make_unique<TSurfaceOwner>();
  HorseImage = std::make_unique<TSurfaceOwner>();
  ShieldImage = std::make_unique<TSurfaceOwner>();
  SwordImage = std::make_unique<TSurfaceOwner>();

  HorseImage->Load(DefaultHorseFile);
  ShieldImage->Load(DefaultShieldFile);
  SwordImage->Load(DefaultSwordFile);
  if (Kind == akCharacter && creationCode != MainActorCode) {
    SetAnimationByName(this, InitialAni);
    if (Ani) {
      HeadImage->Load(Ani->DefaultHead);
      SetBody(this, Ani->DefaultBody);
    }
  }
}

TZeltoActor::~TZeltoActor()
{
  // The actors of the document this one plays go first, so the count stays exact.
  OwnedAni.reset();
  if (IsNested())
    --Context().NestedActors;
}

void AssignDefaultName(TZeltoActor *actor)
{
  const int kind = ValidKind(actor->Kind);
  int &counter = Context().ActorNameCounters[kind];
  actor->Name = std::string(KindPrefixes[kind]) + std::to_string(counter);
  ++counter;
}

std::unique_ptr<TZeltoActor> CopyActor(const TZeltoActor &source)
{
  auto copy = std::make_unique<TZeltoActor>(source.Parent, source.Kind);
  copy->PlayerLook = source.PlayerLook;
  const TEditorLink *link = EditorLink();
  const int now = link ? link->GetCurrentTime() : 0;
  for (const auto &key : source.Keys) {
    copy->Keys.push_back(CloneKey(*key));
    copy->Keys.back()->Time = now;
  }
  MergeKeysWithSameTime(copy.get());
  copy->Sprite = source.Sprite;
  copy->SpriteParam = source.SpriteParam;
  copy->SpriteAttr = source.SpriteAttr;
  copy->SoundFile = source.SoundFile;
  return copy;
}

static int CompareNames(const TZeltoActor &a, const TZeltoActor &b)
{
  return LowerCase(a.Name).compare(LowerCase(b.Name));
}

int ComparePaintOrder(const TZeltoActor &a, const TZeltoActor &b)
{
  const long long orderA = a.Layer * 10000LL + a.DY;
  const long long orderB = b.Layer * 10000LL + b.DY;
  if (orderA != orderB)
    return orderA < orderB ? -1 : 1;
  return CompareNames(a, b);
}

int CompareListOrder(const TZeltoActor &a, const TZeltoActor &b)
{
  if (a.Kind != b.Kind)
    return a.Kind < b.Kind ? -1 : 1;
  return CompareNames(a, b);
}

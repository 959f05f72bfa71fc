// Which animation a character plays: by name, and the automatic walk/idle keys of a move.
#include <cstdlib>

#include "core/helpers.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"
#include "model/reader.h"

// Movies nest through their character actors; deeper chains are refused so that a file cannot
// make the loading run away.
static constexpr int MaxNesting = 6;

// The animation names being read for actors right now, innermost last. A character created
// while its own parent's animation is still being read must not read that animation again.
static std::vector<std::string> loadingNames;

// The name a document read for name gets: animation names differing only in case or surrounding
// blanks are one file.
static std::string AniKey(const std::string &name)
{
  return LowerCase(TrimControl(name));
}

static bool Plays(const TZeltoActor *actor, const std::string &name)
{
  return actor->Ani && (actor->Ani->Name == name || actor->Ani->Name == AniKey(name));
}

bool CanUseAnimation(const TZeltoActor *actor, const std::string &name)
{
  int depth = 0;
  for (const TZeltoActor *x = actor; x; x = x->Parent) {
    if (Plays(x, name))
      return false;
    if (++depth > MaxNesting)
      return false;
  }
  return true;
}

static bool IsLoading(const std::string &name)
{
  const std::string key = AniKey(name);
  for (const std::string &loading : loadingNames)
    if (loading == key)
      return true;
  return false;
}

// Reads name for actor while the name counts as being loaded, so that its actors do not read it
// again.
static std::unique_ptr<TZeltoAni> ReadWhileLoading(TZeltoActor *actor, const std::string &name, std::string *error)
{
  loadingNames.push_back(AniKey(name));
  std::unique_ptr<TZeltoAni> loaded = ReadAnimation(actor, name, error);
  loadingNames.pop_back();
  return loaded;
}

// Makes next (the actor's document, or loaded) the played document from its start.
static void Play(TZeltoActor *actor, TZeltoAni *next, std::unique_ptr<TZeltoAni> loaded);

void SetAnimationByName(TZeltoActor *actor, const std::string &name)
{
  if (actor->Parent && !CanUseAnimation(actor->Parent, name))
    return;
  TZeltoAni *next = actor->Ani;
  std::unique_ptr<TZeltoAni> loaded;
  if (!Plays(actor, name)) {
    if (IsLoading(name) || loadingNames.size() >= size_t(MaxNesting))
      return;
    if (actor->Parent && Context().NestedActors >= MaxNestedActors)
      return;
    loaded = ReadWhileLoading(actor, name, nullptr);
    if (loaded)
      next = loaded.get();
  }
  if (!next)
    return;
  Play(actor, next, std::move(loaded));
}

std::unique_ptr<TZeltoAni> ReadAnimationFor(TZeltoActor *actor, const std::string &name, std::string *error)
{
  return ReadWhileLoading(actor, name, error);
}

void PlayAnimation(TZeltoActor *actor, std::unique_ptr<TZeltoAni> ani)
{
  if (TZeltoAni *next = ani.get())
    Play(actor, next, std::move(ani));
}

static void Play(TZeltoActor *actor, TZeltoAni *next, std::unique_ptr<TZeltoAni> loaded)
{
  const bool keepsPlaying = next == actor->Ani && next->Continuous;
  if (!keepsPlaying) {
    actor->FrameIndex = 0;
    actor->FrameTick = 0;
    if (actor->IsMainActor()) {
      if (ExtractKey(actor->HeadImage->FileName) != ExtractKey(next->DefaultHead))
        actor->HeadImage->Load(next->DefaultHead);
      if (ExtractKey(actor->BodyImage->FileName) != ExtractKey(next->DefaultBody))
        SetBody(actor, next->DefaultBody);
    }
  }
  if (!loaded)
    return;
  actor->Ani = next;
  RegisterSpriteImages(*next);
  actor->OwnedAni = std::move(loaded);
}

void AutoAnimate(TZeltoActor *actor, int time)
{
  const TKeysAround around = FindKeysAround(*actor, time, "dx");
  if (!around.Previous)
    return;
  auto number = [](const TZeltoActorMod *key, const char *name) {
    std::string text;
    GetModValue(*key, name, &text);
    return (long long)ParseInt(TrimControl(text)).value_or(0);
  };
  long long ddx = 0, ddy = 0;
  if (around.Next) {
    ddx = number(around.Next, "dx") - number(around.Previous, "dx");
    ddy = number(around.Next, "dy") - number(around.Previous, "dy");
  }
  if (ddx != 0 || ddy != 0) {
    SetModValue(*around.Previous, "ani", DefaultWalkAni());
    const int dir = std::llabs(ddx) > std::llabs(ddy) ? (ddx < 1 ? 1 : 3) : (ddy < 1 ? 0 : 2);
    SetModValue(*around.Previous, "dir", std::to_string(dir));
    SetModValue(*around.Next, "dir", std::to_string(dir));
    return;
  }
  std::string ani;
  if (!GetModValue(*around.Previous, "ani", &ani) || ani == DefaultWalkAni())
    SetModValue(*around.Previous, "ani", DefaultIdleAni());
}

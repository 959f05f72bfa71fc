// A movie's actor: a character, sprite, sound or text placed in the scene, with its keys.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

class TZeltoAni;

enum TActorKind { akCharacter = 0, akSprite = 1, akSound = 2, akText = 3 };
// Creation code of the editor's main actor: a character without an initial animation.
inline constexpr int MainActorCode = 4;
inline constexpr int ActorKindCount = 4;

// File keyword of a kind ("CHAR", "SPRITE", "SOUND", "TEXT"); the kind of a keyword or -1.
const char *ActorKindWord(int kind);
int ActorKindFromWord(const std::string &word);
// Default name prefix of a kind ("Actor", "Sprite", "Sound", "Text").
const char *ActorKindPrefix(int kind);

// One key: a time and its name=value lines.
class TZeltoActorMod
{
public:
  int Time = 0;
  std::vector<std::string> Mods;
};

// The undo record of one line changed in one key.
struct TActorSingleMod
{
  int Time = 0;
  std::string OldLine;
  std::string NewLine;
};

// The next number of each kind's default names; start at 1 and are never reset.
extern std::array<int, ActorKindCount> ActorNameCounters;

class TZeltoActor
{
public:
  TZeltoActor(TZeltoActor *parent, int creationCode);
  ~TZeltoActor();
  TZeltoActor(const TZeltoActor &) = delete;
  TZeltoActor &operator=(const TZeltoActor &) = delete;

  TZeltoActor *Parent = nullptr;
  std::string Name;
  std::vector<std::unique_ptr<TZeltoActorMod>> Keys;
  int Kind = akCharacter;
};

// Name := the kind's prefix and its counter; the counter moves on.
void AssignDefaultName(TZeltoActor *actor);

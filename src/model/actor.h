// A movie's actor: a character, sprite, sound or text placed in the scene, with its keys. The
// same class is the editor's player (the main actor), which plays the edited document.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "model/actor_kinds.h"

class TZeltoAni;
class TSurfaceOwner;
struct TZeltoAniSprite;

// Creation code of the editor's main actor: a character without an initial animation.
inline constexpr int MainActorCode = 4;
inline constexpr int ParamSlotCount = 8;
inline constexpr int AttrSlotCount = 9;

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

// A rectangle of drawn text, for hit tests.
struct TTextRect
{
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Nested documents stop loading while this many nested actors exist: movies whose characters each
// play the next movie would otherwise multiply without end. The edited document's own actors are
// never refused.
inline constexpr int MaxNestedActors = 20000;

// The images every actor starts with for horse, shield and sword.
inline constexpr const char *DefaultHorseFile = "ride.png";
inline constexpr const char *DefaultShieldFile = "shield1.png";
inline constexpr const char *DefaultSwordFile = "sword1.png";

// The eight colour indices a new actor starts with.
inline constexpr std::array<int, 8> DefaultColors = {2, 17, 11, 12, 18, 18, 18, 18};

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
  int DX = 0, DY = 0;
  int Layer = 1;
  int CurrentTime = 0;
  bool PlayerLook = false;
  std::string InitialAni;
  int Dir = 2;
  std::string Chat;
  bool Visible = true;
  std::unique_ptr<TSurfaceOwner> BodyImage, HeadImage, HorseImage, ShieldImage, SwordImage;
  bool ClassicBody = true;
  // The animation played. OwnedAni holds it unless it belongs to someone else (the main actor's
  // document belongs to the window).
  TZeltoAni *Ani = nullptr;
  std::unique_ptr<TZeltoAni> OwnedAni;
  int FrameIndex = 0, FrameTick = 0;
  std::array<std::unique_ptr<TSurfaceOwner>, ParamSlotCount> ParamImages;
  std::array<int, ParamSlotCount> ParamValues;
  std::array<std::unique_ptr<TSurfaceOwner>, AttrSlotCount> AttrImages;
  std::array<int, AttrSlotCount> AttrValues;
  std::array<int, 8> Colors = DefaultColors;
  TZeltoAniSprite *Sprite = nullptr; // a definition of the parent's document; not owned
  int SpriteParam = -1, SpriteAttr = -1;
  std::string SoundFile;
  std::string Text;
  std::string FontName = "Tempus Sans ITC";
  double Zoom = 1.0;
  int TextColor = 0xFFFFFF;
  bool Bold = false, Italic = false, Centered = false, RightAligned = false, Underline = false, Strikeout = false;
  bool WordWrap = true, Shaded = true;
  std::vector<TTextRect> TextRects;
  int DragStartDX = 0, DragStartDY = 0;

  // The main actor is the editor's player: created without a parent.
  bool IsMainActor() const { return Parent == nullptr; }
  // An actor of a document that a character plays inside another document, not one of the
  // edited document's own actors.
  bool IsNested() const { return nested_; }

private:
  // Fixed at creation: the count of nested actors must not depend on parents that may go first.
  const bool nested_;
};

// Name := the kind's prefix and its counter; the counter moves on.
void AssignDefaultName(TZeltoActor *actor);
// The default idle and walk animation names ("idle"/"walk", "human_idle"/"human_walk" in
// Zelto2002 mode).
std::string DefaultIdleAni();
std::string DefaultWalkAni();

// A new actor with the source's parent, kind and look flag, one key at the editor's current time
// holding the last non-empty value of every attribute, and the source's sprite and sound.
std::unique_ptr<TZeltoActor> CopyActor(const TZeltoActor &source);

// Paint order: layer, then vertical position, then name ignoring case. List order: kind, then
// name ignoring case. Negative, zero or positive.
int ComparePaintOrder(const TZeltoActor &a, const TZeltoActor &b);
int CompareListOrder(const TZeltoActor &a, const TZeltoActor &b);

// The in-memory animation: sprite definitions, frames with their parts and sounds, header
// options, and in a movie the actors.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

class TZeltoActor;
struct TZeltoAniSprite;

inline constexpr int DirectionCount = 4;
extern const std::array<const char *, DirectionCount> DirectionNames; // "up", "left", "down", "right"

// A sprite drawn on top of another whenever that one is drawn.
struct TZeltoSpriteAttachment
{
  TZeltoAniSprite *Sprite = nullptr; // not owned; a definition of the same document
  int X = 0;
  int Y = 0;
};

// A rectangle cut from an image, referred to by its Index.
struct TZeltoAniSprite
{
  int Index = 0;
  std::string Image;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::array<double, 4> ColorEffect{1.0, 1.0, 1.0, 1.0};
  double Zoom = 1.0;
  std::string Description;
  int ListTop = 0;
  std::vector<std::unique_ptr<TZeltoSpriteAttachment>> Attachments;
  bool InUse = false;
};

// One sprite placed in one direction of one frame.
struct TZeltoAniPart
{
  TZeltoAniSprite *Sprite = nullptr; // not owned
  int ParamSlot = 0;
  int AttrSlot = 0;
  int X = 0, Y = 0;
  int SavedX = 0, SavedY = 0;
  bool IsNew = false;
  int SavedIndex = 0;

  bool IsValid() const { return Sprite || ParamSlot >= 1 || AttrSlot >= 1; }
};

// A sound that starts during a frame, at Tick (counted from 1).
struct TZeltoAniSound
{
  std::string FileName;
  int X = 0, Y = 0;
  int Tick = 0;
  int SavedX = 0, SavedY = 0;
};

using TPartList = std::vector<std::unique_ptr<TZeltoAniPart>>;

// The position of part in parts, or -1.
int IndexOfPart(const TPartList &parts, const TZeltoAniPart *part);

// A frame: one part list per direction, a duration in ticks and its sounds.
struct TZeltoAniStep
{
  int StartTick = 0;
  std::vector<TPartList> Directions;
  std::vector<std::unique_ptr<TZeltoAniSound>> Sounds;
  int Duration = 1;
  std::string ExtraText;
};

// One animation document.
class TZeltoAni
{
public:
  TZeltoAni();
  ~TZeltoAni();
  TZeltoAni(const TZeltoAni &) = delete;
  TZeltoAni &operator=(const TZeltoAni &) = delete;

  // Frees sprites, frames and actors; resets the flags, SetBackTo and the default slots.
  void Clear();

  std::string Name;
  bool Modified = false;
  std::string FileName;
  std::vector<std::unique_ptr<TZeltoAniSprite>> Sprites;
  std::vector<std::unique_ptr<TZeltoAniStep>> Steps;
  std::vector<std::unique_ptr<TZeltoActor>> Actors;
  bool IsMovie = false;
  int Length = 100;
  bool Loop = false;
  bool Continuous = false;
  int BackColor = 0x008000;
  bool SingleDirection = false;
  std::string SetBackTo;
  std::string Script;
  std::array<std::string, 8> DefaultParams;
  std::array<std::string, 9> DefaultAttrs;
  std::string DefaultHead = "head19.png";
  std::string DefaultBody = "body.png";

  // Direction lists per frame: 4, or 1 with SingleDirection.
  int DirectionsPerFrame() const { return SingleDirection ? 1 : DirectionCount; }
};

inline constexpr int DefaultBackColor = 0x008000;

// The first definition whose Index equals index, or none.
TZeltoAniSprite *FindSprite(const TZeltoAni *ani, int index);
// The first actor whose name equals name ignoring case, or none.
TZeltoActor *FindActor(const TZeltoAni *ani, const std::string &name);
// A sum of ticks kept in 64 bits, clamped so that no document can overflow a tick count.
int ClampTicks(long long ticks);
// Sprite mode: start ticks from the durations, Length their sum; moves the editor's time along.
void RecomputeStartTicks(TZeltoAni *ani);
// The first frame whose span [StartTick, StartTick + Duration) holds time, or -1. Start ticks
// rise with the frames, each the sum of the durations before it, so this is a binary search.
int FrameAtTime(const TZeltoAni &ani, int time);
// Stretches or shrinks the last frame so that the document lasts n ticks; returns the length.
int SetLength(TZeltoAni *ani, int n);
std::unique_ptr<TZeltoAniStep> CopyStep(const TZeltoAniStep &step);
std::unique_ptr<TZeltoAniPart> CopyPart(const TZeltoAniPart &part);
// The part's definition description, "PARAMn", "ATTRn" or "(unknown)".
std::string DescribePart(const TZeltoAniPart &part);
// Like DescribePart with the definition's Index, and "-" for an unknown part.
std::string PartSpriteText(const TZeltoAniPart &part);

// True for names of image files the cache decodes: ".gif", ".png" or ".mng" in any case.
bool IsImageFileName(const std::string &name);
// Hands the image file of every sprite definition to the editor's image cache.
void RegisterSpriteImages(const TZeltoAni &ani);

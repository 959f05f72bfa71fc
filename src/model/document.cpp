#include "model/document.h"

#include <algorithm>
#include <climits>

#include "core/helpers.h"
#include "model/actor.h"
#include "model/editor_link.h"

const std::array<const char *, DirectionCount> DirectionNames = {"up", "left", "down", "right"};

TZeltoAni::TZeltoAni()
{
  Clear();
}

TZeltoAni::~TZeltoAni()
{
  // Undo entries point into the current document, so they go before it does.
  if (TEditorLink *link = EditorLink(); link && link->IsCurrentDocument(this))
    link->ClearHistory();
  Clear();
}

void TZeltoAni::Clear()
{
  Actors.clear();
  Steps.clear();
  Sprites.clear();
  Loop = false;
  Continuous = false;
  SingleDirection = false;
  SetBackTo.clear();
  for (std::string &value : DefaultParams)
    value.clear();
  for (std::string &value : DefaultAttrs)
    value.clear();
}

int IndexOfPart(const TPartList &parts, const TZeltoAniPart *part)
{
  for (size_t i = 0; i < parts.size(); ++i)
    if (parts[i].get() == part)
      return int(i);
  return -1;
}

TZeltoAniSprite *FindSprite(const TZeltoAni *ani, int index)
{
  if (!ani)
    return nullptr;
  for (const auto &sprite : ani->Sprites)
    if (sprite->Index == index)
      return sprite.get();
  return nullptr;
}

TZeltoActor *FindActor(const TZeltoAni *ani, const std::string &name)
{
  if (!ani)
    return nullptr;
  const std::string wanted = LowerCase(name);
  for (const auto &actor : ani->Actors)
    if (LowerCase(actor->Name) == wanted)
      return actor.get();
  return nullptr;
}

int ClampTicks(long long ticks)
{
  return static_cast<int>(std::min<long long>(ticks, INT_MAX));
}

void RecomputeStartTicks(TZeltoAni *ani)
{
  if (!ani || ani->IsMovie)
    return;
  long long total = 0;
  for (const auto &step : ani->Steps) {
    step->StartTick = ClampTicks(total);
    total += step->Duration;
  }
  ani->Length = ClampTicks(total);

  TEditorLink *link = EditorLink();
  if (link && link->IsCurrentDocument(ani)) {
    const int current = link->GetCurrentFrame();
    long long before = 0;
    for (int i = 0; i < current && i < static_cast<int>(ani->Steps.size()); ++i)
      before += ani->Steps[i]->Duration;
    link->SetCurrentTime(ClampTicks(before));
  }
}

int FrameAtTime(const TZeltoAni &ani, int time)
{
  const auto &steps = ani.Steps;
  auto holds = [&steps, time](size_t i) {
    return steps[i]->StartTick <= time && time < (long long)steps[i]->StartTick + steps[i]->Duration;
  };
  auto startsAfter = [](int t, const std::unique_ptr<TZeltoAniStep> &step) { return t < step->StartTick; };
  // The frames starting at or before time end before it, except the last of them; only where the
  // start ticks saturate do spans overlap, and then the first frame holding the time is the one.
  const size_t after = size_t(std::upper_bound(steps.begin(), steps.end(), time, startsAfter) - steps.begin());
  size_t found = after;
  while (found > 0 && holds(found - 1))
    --found;
  return found < after ? int(found) : -1;
}

int SetLength(TZeltoAni *ani, int n)
{
  if (!ani)
    return n;
  if (!ani->IsMovie && !ani->Steps.empty()) {
    // The last frame lasts at least a tick and at least until its last sound: a sound plays at
    // its tick, from 1 to the frame's duration, so one at the duration still belongs to it.
    TZeltoAniStep &last = *ani->Steps.back();
    int least = ClampTicks(static_cast<long long>(last.StartTick) + 1);
    for (const auto &sound : last.Sounds)
      least = std::max(least, ClampTicks(static_cast<long long>(last.StartTick) + sound->Tick));
    n = std::max(n, least);
    last.Duration = std::max(1, n - last.StartTick);
  }
  if (n != ani->Length)
    SetModified(ani, true);
  ani->Length = n;
  return n;
}

std::unique_ptr<TZeltoAniPart> CopyPart(const TZeltoAniPart &part)
{
  auto copy = std::make_unique<TZeltoAniPart>();
  copy->Sprite = part.Sprite;
  copy->ParamSlot = part.ParamSlot;
  copy->AttrSlot = part.AttrSlot;
  copy->X = part.X;
  copy->Y = part.Y;
  return copy;
}

std::unique_ptr<TZeltoAniStep> CopyStep(const TZeltoAniStep &step)
{
  auto copy = std::make_unique<TZeltoAniStep>();
  copy->Duration = step.Duration;
  copy->ExtraText = step.ExtraText;
  for (const TPartList &direction : step.Directions) {
    TPartList parts;
    for (const auto &part : direction)
      parts.push_back(CopyPart(*part));
    copy->Directions.push_back(std::move(parts));
  }
  return copy;
}

std::string DescribePart(const TZeltoAniPart &part)
{
  if (part.Sprite)
    return part.Sprite->Description;
  if (part.ParamSlot >= 0)
    return "PARAM" + std::to_string(part.ParamSlot);
  if (part.AttrSlot >= 0)
    return "ATTR" + std::to_string(part.AttrSlot);
  return "(unknown)";
}

std::string PartSpriteText(const TZeltoAniPart &part)
{
  if (part.Sprite)
    return std::to_string(part.Sprite->Index);
  if (part.ParamSlot >= 0)
    return "PARAM" + std::to_string(part.ParamSlot);
  if (part.AttrSlot >= 0)
    return "ATTR" + std::to_string(part.AttrSlot);
  return "-";
}

bool IsImageFileName(const std::string &name)
{
  const std::string lower = LowerCase(name);
  if (lower.size() < 4)
    return false;
  const std::string extension = lower.substr(lower.size() - 4);
  return extension == ".gif" || extension == ".png" || extension == ".mng";
}

void RegisterSpriteImages(const TZeltoAni &ani)
{
  TEditorLink *link = EditorLink();
  if (!link)
    return;
  for (const auto &sprite : ani.Sprites)
    if (IsImageFileName(sprite->Image))
      link->EnsureImageLoaded(sprite->Image);
}

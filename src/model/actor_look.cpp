// The look of a character: colour names, the body and the param and attr image slots.
#include "core/helpers.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"

const std::array<const char *, ColorNameCount> ColorNames = {
    "white",  "yellow",     "orange",    "pink", "red",      "darkred",    "lightgreen",
    "green",  "darkgreen",  "lightblue", "blue", "darkblue", "brown",      "cynober",
    "purple", "darkpurple", "lightgray", "gray", "black",    "transparent"};

int ColorIndex(const std::string &name)
{
  for (int i = 0; i < ColorNameCount; ++i)
    if (name == ColorNames[i])
      return i;
  return -1;
}

void SetBody(TZeltoActor *actor, const std::string &file)
{
  actor->ClassicBody = true;
  const size_t body = file.find("body");
  if (body != std::string::npos) {
    const size_t start = body + 4;
    const size_t dot = file.find('.');
    if (dot != std::string::npos && dot > start) {
      std::optional<int> number = ParseInt(file.substr(start, dot - start));
      if (number && *number >= 100)
        actor->ClassicBody = false;
    }
  }
  if (actor->IsMainActor() && actor->Ani)
    actor->Ani->DefaultBody = file;
  actor->BodyImage->Load(file);
}

static TSurfaceOwner *SlotImage(const TZeltoActor &actor, bool isAttr, int index)
{
  if (isAttr)
    return index >= 0 && index < AttrSlotCount ? actor.AttrImages[index].get() : nullptr;
  return index >= 0 && index < ParamSlotCount ? actor.ParamImages[index].get() : nullptr;
}

static int *SlotValue(TZeltoActor &actor, bool isAttr, int index)
{
  if (isAttr)
    return index >= 0 && index < AttrSlotCount ? &actor.AttrValues[index] : nullptr;
  return index >= 0 && index < ParamSlotCount ? &actor.ParamValues[index] : nullptr;
}

void SetSlot(TZeltoActor *actor, bool isAttr, int index, const std::string &value)
{
  TSurfaceOwner *image = SlotImage(*actor, isAttr, index);
  int *number = SlotValue(*actor, isAttr, index);
  if (!image || !number)
    return;
  if (value.empty()) {
    *number = -1;
    image->Clear();
    image->FileName.clear();
    return;
  }
  if (std::optional<int> parsed = ParseInt(value)) {
    *number = *parsed;
    image->Clear();
    image->FileName.clear();
    return;
  }
  *number = -1;
  if (ExtractKey(image->FileName) != ExtractKey(value))
    image->Load(value);
}

std::string GetSlot(const TZeltoActor &actor, bool isAttr, int index)
{
  const TSurfaceOwner *image = SlotImage(actor, isAttr, index);
  if (!image)
    return "";
  const int number = isAttr ? actor.AttrValues[index] : actor.ParamValues[index];
  if (number >= 0)
    return std::to_string(number);
  return ExtractKey(image->FileName);
}

void ApplyDefaultSlots(TZeltoActor *player, const TZeltoAni &ani)
{
  for (int i = 0; i < ParamSlotCount; ++i)
    SetSlot(player, false, i, ani.DefaultParams[i]);
  for (int i = 0; i < AttrSlotCount; ++i)
    SetSlot(player, true, i, ani.DefaultAttrs[i]);
}

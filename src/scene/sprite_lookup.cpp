// Which definition a part or sprite actor shows, which image a definition is drawn from, and
// the colour-name table behind an actor's body colours.
#include <algorithm>

#include "core/helpers.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/document.h"
#include "scene/renderer.h"

namespace {

const std::array<int, 20> ColorNameValues = {0xFFFFFF, 0xFFFF00, 0xFFAD6B, 0xFF8484, 0xFF0000, 0xCE1829, 0x84FF84,
                                             0x00FF00, 0x00C600, 0x8484FF, 0x0000FF, 0x0000C6, 0x840000, 0x00FFFF,
                                             0xFF00FF, 0x840084, 0xCECECE, 0x848484, 0x292929, 0x008400};

// The slot number after a "PARAM" or "ATTR" prefix: decimal digits only, else 0 (no slot).
int SlotNumber(const std::string &name, size_t prefixLength)
{
  const std::string digits = name.substr(prefixLength);
  if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit))
    return 0;
  return std::stoi(digits);
}

// The definition of the actor's document whose Index is the slot's value.
TZeltoAniSprite *SlotSprite(const TZeltoActor *actor, int param, int attr)
{
  if (param >= 1 && param <= ParamSlotCount)
    if (TZeltoAniSprite *sprite = FindSprite(actor->Ani, actor->ParamValues[param - 1]))
      return sprite;
  if (attr >= 1 && attr <= AttrSlotCount)
    return FindSprite(actor->Ani, actor->AttrValues[attr - 1]);
  return nullptr;
}

} // namespace

int ColorNameRgb(int index)
{
  return index >= 0 && index < int(ColorNameValues.size()) ? ColorNameValues[index] : 0;
}

TSceneColours SceneColours(int backColor)
{
  const int r = (backColor >> 16) & 0xFF, g = (backColor >> 8) & 0xFF, b = backColor & 0xFF;
  auto rgb = [](int red, int green, int blue) {
    return (std::min(red, 255) << 16) | (std::min(green, 255) << 8) | std::min(blue, 255);
  };
  TSceneColours colours;
  colours.Background = rgb(r, g, b);
  colours.Light = rgb(r, g + 64, b);
  colours.Guide = rgb(r, g + 32, b);
  colours.Ink = 2 * g + r + b < 256 ? rgb(r + 192, g + 192, b + 192) : 0;
  return colours;
}

TSurfaceOwner *ImageForSprite(const TSceneState &state, const TZeltoActor *actor, const TZeltoAniSprite *sprite,
                              const std::array<int, 8> **playerColours)
{
  if (!actor || !sprite)
    return nullptr;
  const TZeltoActor *look = actor;
  while (look->PlayerLook && look->Parent)
    look = look->Parent;

  const std::string &name = sprite->Image;
  if (name == "BODY") {
    if (look->ClassicBody && playerColours)
      *playerColours = &look->Colors;
    return look->BodyImage.get();
  }
  if (name == "HEAD")
    return look->HeadImage.get();
  if (name == "HORSE")
    return look->HorseImage.get();
  if (name == "SHIELD")
    return look->ShieldImage.get();
  if (name == "SWORD")
    return look->SwordImage.get();
  if (name == "SPRITES")
    return state.Fixed.Sprites;
  if (StartsWith("PARAM", name)) {
    const int n = SlotNumber(name, 5);
    return n >= 1 && n <= ParamSlotCount ? look->ParamImages[n - 1].get() : nullptr;
  }
  if (StartsWith("ATTR", name)) {
    const int n = SlotNumber(name, 4);
    return n >= 1 && n <= AttrSlotCount ? look->AttrImages[n - 1].get() : nullptr;
  }
  return state.ImageCache ? state.ImageCache->Find(name) : nullptr;
}

TZeltoAniSprite *SpriteOfPart(const TZeltoActor *actor, const TZeltoAniPart *part)
{
  if (!part)
    return nullptr;
  if (part->Sprite || !actor)
    return part->Sprite;
  return SlotSprite(actor, part->ParamSlot, part->AttrSlot);
}

TZeltoAniSprite *SpriteOfActor(const TZeltoActor *actor)
{
  if (!actor)
    return nullptr;
  if (actor->Sprite)
    return actor->Sprite;
  return SlotSprite(actor, actor->SpriteParam, actor->SpriteAttr);
}

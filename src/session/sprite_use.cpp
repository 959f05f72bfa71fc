#include "session/sprite_use.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

#include "core/helpers.h"
#include "model/actor.h"
#include "model/actor_keys.h"
#include "model/document.h"

namespace {

// The definition a slot shows by default: the slot's value when it is a number.
const TZeltoAniSprite *DefaultSlotSprite(const TZeltoAni &ani, int param, int attr)
{
  const std::string *value = nullptr;
  if (param >= 1 && param <= int(ani.DefaultParams.size()))
    value = &ani.DefaultParams[size_t(param - 1)];
  else if (attr >= 1 && attr <= int(ani.DefaultAttrs.size()))
    value = &ani.DefaultAttrs[size_t(attr - 1)];
  const std::optional<int> index = value ? ParseInt(TrimControl(*value)) : std::nullopt;
  return index ? FindSprite(&ani, *index) : nullptr;
}

std::unordered_set<const TZeltoAniSprite *> ShownSprites(const TZeltoAni &ani)
{
  std::unordered_set<const TZeltoAniSprite *> shown;
  for (const auto &step : ani.Steps)
    for (const TPartList &direction : step->Directions)
      for (const auto &part : direction)
        if (const TZeltoAniSprite *sprite =
                part->Sprite ? part->Sprite : DefaultSlotSprite(ani, part->ParamSlot, part->AttrSlot))
          shown.insert(sprite);
  for (const auto &actor : ani.Actors) {
    if (actor->Kind != akSprite)
      continue;
    if (actor->Sprite)
      shown.insert(actor->Sprite);
    for (const auto &key : actor->Keys) {
      std::string value;
      if (GetModValue(*key, "sprite #", &value))
        if (const std::optional<int> index = ParseInt(TrimControl(value)))
          if (const TZeltoAniSprite *sprite = FindSprite(&ani, *index))
            shown.insert(sprite);
    }
  }
  // Attachments of shown definitions are shown, however deep.
  std::vector<const TZeltoAniSprite *> pending(shown.begin(), shown.end());
  while (!pending.empty()) {
    const TZeltoAniSprite *sprite = pending.back();
    pending.pop_back();
    for (const auto &attachment : sprite->Attachments)
      if (attachment->Sprite && shown.insert(attachment->Sprite).second)
        pending.push_back(attachment->Sprite);
  }
  return shown;
}

} // namespace

std::vector<int> SpriteIndicesInUse(const TZeltoAni &ani, int first, int count)
{
  const std::unordered_set<const TZeltoAniSprite *> shown = ShownSprites(ani);
  std::vector<int> used;
  const long long last = (long long)first + std::max(count, 0) - 1;
  for (const TZeltoAniSprite *sprite : shown)
    if (sprite->Index >= first && sprite->Index <= last)
      used.push_back(sprite->Index);
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  return used;
}

int FirstFreeSpriteIndex(const TZeltoAni &ani, int from, int count)
{
  std::vector<int> taken;
  for (const auto &sprite : ani.Sprites)
    if (sprite->Index >= from)
      taken.push_back(sprite->Index);
  std::sort(taken.begin(), taken.end());
  const long long length = std::max(count, 1);
  long long candidate = from;
  for (int index : taken) {
    if (index >= candidate + length)
      break;
    if (index >= candidate)
      candidate = (long long)index + 1;
  }
  return candidate + length - 1 <= INT_MAX ? int(candidate) : from;
}

std::string ReplaceSpritesQuestion(const std::vector<int> &indices, bool movie)
{
  const std::string users = movie ? "actors" : "frames";
  if (indices.size() == 1)
    return "Sprite " + std::to_string(indices[0]) + " is used by " + users + ". Replace it?";
  // Runs of three or more read "a to b"; beyond six items the rest are counted. Each item with the
  // number of indices it stands for.
  std::vector<std::pair<std::string, size_t>> items;
  for (size_t i = 0; i < indices.size();) {
    size_t j = i;
    while (j + 1 < indices.size() && (long long)indices[j + 1] == (long long)indices[j] + 1)
      ++j;
    if (j - i >= 2)
      items.push_back({std::to_string(indices[i]) + " to " + std::to_string(indices[j]), j - i + 1});
    else
      for (size_t k = i; k <= j; ++k)
        items.push_back({std::to_string(indices[k]), 1});
    i = j + 1;
  }
  if (items.size() > 6) {
    size_t rest = 0;
    for (size_t k = 5; k < items.size(); ++k)
      rest += items[k].second;
    items.resize(5);
    items.push_back({std::to_string(rest) + " more", rest});
  }
  std::string text;
  for (size_t k = 0; k < items.size(); ++k)
    text += (k == 0 ? "" : k + 1 == items.size() ? " and " : ", ") + items[k].first;
  return "Sprites " + text + " are used by " + users + ". Replace them?";
}

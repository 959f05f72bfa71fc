// Evaluation of a player's animation at a time: a movie's actors from their keys, or the current
// frame of a sprite animation.
#include <algorithm>
#include <string_view>
#include <vector>

#include "core/helpers.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/document.h"
#include "model/editor_link.h"

namespace {

// A value that must be an integer and is not: ends the evaluation of that actor.
struct BadValue
{
};

int IntValue(const std::string &text)
{
  std::optional<int> value = ParseInt(TrimControl(text));
  if (!value)
    throw BadValue();
  return *value;
}

// The value of every attribute at a time: from the last key in list order at or before the time
// that sets it (the first line of a name in a key counts). One pass over the keys collects them
// all, instead of one pass per attribute.
class TKeyValues
{
public:
  TKeyValues(const TZeltoActor &actor, int time)
  {
    for (const auto &key : actor.Keys) {
      if (key->Time > time)
        continue;
      const size_t before = setInKey_.size();
      for (const std::string &line : key->Mods) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
          continue;
        const std::string_view name(line.data(), equals);
        if (std::find(setInKey_.begin() + long(before), setInKey_.end(), name) != setInKey_.end())
          continue;
        setInKey_.push_back(name);
        Put(name, std::string_view(line).substr(equals + 1), key.get());
      }
      setInKey_.resize(before);
    }
  }

  bool Get(std::string_view name, std::string *value) const
  {
    for (const TEntry &entry : entries_)
      if (entry.Name == name) {
        value->assign(entry.Value);
        return true;
      }
    return false;
  }
  // The key the value of name came from, or none.
  const TZeltoActorMod *KeyOf(std::string_view name) const
  {
    for (const TEntry &entry : entries_)
      if (entry.Name == name)
        return entry.Key;
    return nullptr;
  }

private:
  struct TEntry
  {
    std::string_view Name, Value;
    const TZeltoActorMod *Key;
  };
  void Put(std::string_view name, std::string_view value, const TZeltoActorMod *key)
  {
    for (TEntry &entry : entries_)
      if (entry.Name == name) {
        entry.Value = value;
        entry.Key = key;
        return;
      }
    entries_.push_back({name, value, key});
  }

  std::vector<TEntry> entries_;
  std::vector<std::string_view> setInKey_;
};

void PlayFile(const std::string &name)
{
  TEditorLink *link = EditorLink();
  if (!link || name.empty())
    return;
  const std::string path = ResolveFile(name);
  if (!path.empty())
    link->PlaySoundFile(path);
}

void EvaluatePosition(TZeltoActor &a, int time)
{
  const TKeysAround around = FindKeysAround(a, time, "dx");
  if (!around.Previous)
    return;
  std::string text;
  GetModValue(*around.Previous, "dx", &text);
  const int prevDX = IntValue(text);
  text.clear();
  GetModValue(*around.Previous, "dy", &text);
  const int prevDY = IntValue(text);
  a.DX = prevDX;
  a.DY = prevDY;
  if (!around.Next || around.Next->Time == around.Previous->Time)
    return;
  text.clear();
  GetModValue(*around.Next, "dx", &text);
  const int nextDX = IntValue(text);
  text.clear();
  GetModValue(*around.Next, "dy", &text);
  const int nextDY = IntValue(text);
  if (nextDX == prevDX && nextDY == prevDY)
    return;
  const double span = double(around.Next->Time) - around.Previous->Time;
  const long long elapsed = (long long)time - around.Previous->Time;
  a.DX = prevDX + FloorEps(double(elapsed * ((long long)nextDX - prevDX)) / span);
  a.DY = prevDY + FloorEps(double(elapsed * ((long long)nextDY - prevDY)) / span);
}

void EvaluateCharacter(TZeltoActor &a, const TKeyValues &values, int time)
{
  std::string value;
  if (values.Get("playerlook", &value))
    a.PlayerLook = TextToBool(value);
  if (values.Get("dir", &value))
    a.Dir = IntValue(value);
  if (values.Get("ani", &value)) {
    const int since = time - values.KeyOf("ani")->Time;
    SetAnimationByName(&a, value);
    if (a.Ani)
      UpdateToTime(&a, since);
  }
  a.Chat = values.Get("chat", &value) ? value : "";
  if (a.PlayerLook)
    return;
  const std::pair<const char *, TSurfaceOwner *> images[] = {{"head", a.HeadImage.get()},
                                                             {"sword", a.SwordImage.get()},
                                                             {"shield", a.ShieldImage.get()},
                                                             {"horse", a.HorseImage.get()}};
  for (const auto &[name, image] : images)
    if (values.Get(name, &value) && value != ExtractKey(image->FileName))
      image->Load(value);
  if (values.Get("body", &value) && value != ExtractKey(a.BodyImage->FileName))
    SetBody(&a, value);
  for (int i = 0; i < AttrSlotCount; ++i)
    if (values.Get("attr" + std::to_string(i + 1), &value))
      SetSlot(&a, true, i, value);
  for (int i = 0; i < ParamSlotCount; ++i)
    if (values.Get("param" + std::to_string(i + 1), &value))
      SetSlot(&a, false, i, value);
  for (int i = 0; i < 5; ++i) {
    if (!values.Get("color" + std::to_string(i), &value))
      continue;
    const int index = ColorIndex(value);
    if (index >= 0)
      a.Colors[i] = index;
  }
}

void EvaluateSprite(TZeltoActor &a, const TKeyValues &values, const TZeltoAni &movie)
{
  std::string value;
  if (!values.Get("sprite #", &value))
    return;
  a.Sprite = nullptr;
  a.SpriteParam = -1;
  a.SpriteAttr = -1;
  value = TrimControl(value);
  if (StartsWith("PARAM", value)) {
    a.SpriteParam = ParseInt(value.substr(5)).value_or(-1);
  } else if (StartsWith("ATTR", value)) {
    a.SpriteAttr = ParseInt(value.substr(4)).value_or(-1);
  } else if (std::optional<int> index = ParseInt(value)) {
    a.Sprite = FindSprite(&movie, *index);
  }
}

void EvaluateText(TZeltoActor &a, const TKeyValues &values, int time)
{
  std::string value;
  if (values.Get("text", &value))
    a.Text = TrimControl(value);
  if (values.Get("font", &value))
    a.FontName = TrimControl(value);
  if (values.Get("color", &value)) {
    const std::string digits = TrimControl(value);
    if (std::optional<int> color = digits.empty() || digits[0] == '$' ? std::nullopt : ParseInt("$" + digits))
      a.TextColor = *color;
  }
  const TKeysAround zoom = FindKeysAround(a, time, "zoom");
  if (zoom.Previous) {
    GetModValue(*zoom.Previous, "zoom", &value);
    if (std::optional<double> z0 = ParseReal(TrimControl(value))) {
      a.Zoom = *z0;
      std::string next;
      if (zoom.Next && zoom.Next->Time != zoom.Previous->Time && GetModValue(*zoom.Next, "zoom", &next)) {
        std::optional<double> z1 = ParseReal(TrimControl(next));
        if (z1 && *z1 != *z0)
          a.Zoom = *z0 +
                   (*z1 - *z0) * (double(time) - zoom.Previous->Time) / (double(zoom.Next->Time) - zoom.Previous->Time);
      }
    }
  }
  const std::pair<const char *, bool *> styles[] = {{"bold", &a.Bold},           {"italic", &a.Italic},
                                                    {"centered", &a.Centered},   {"rightaligned", &a.RightAligned},
                                                    {"underline", &a.Underline}, {"strikeout", &a.Strikeout},
                                                    {"wordwrap", &a.WordWrap},   {"shaded", &a.Shaded}};
  for (const auto &[name, flag] : styles)
    if (values.Get(name, &value))
      *flag = TextToBool(value);
}

void EvaluateActor(TZeltoActor &a, const TZeltoAni &movie, int time, int old)
{
  EvaluatePosition(a, time);
  const TKeyValues values(a, time);
  std::string value;
  if (values.Get("layer", &value))
    a.Layer = IntValue(value);
  if (a.Kind == akSound) {
    if (values.Get("file", &value))
      a.SoundFile = TrimControl(value);
    a.Visible = !a.Keys.empty() && a.Keys.front()->Time == time;
    if (a.Visible && !a.SoundFile.empty() && time != old)
      PlayFile(a.SoundFile);
  } else {
    a.Visible = values.Get("visible", &value) && TextToBool(value);
  }
  if (a.Kind == akCharacter)
    EvaluateCharacter(a, values, time);
  else if (a.Kind == akSprite)
    EvaluateSprite(a, values, movie);
  else if (a.Kind == akText)
    EvaluateText(a, values, time);
}

void UpdateMovie(TZeltoActor *player, int old)
{
  TZeltoAni &movie = *player->Ani;
  if (player->CurrentTime > movie.Length) {
    // A looping movie without length stays at its start instead of dividing by zero.
    if (movie.Loop)
      player->CurrentTime = movie.Length > 0 ? player->CurrentTime % movie.Length : 0;
    else
      player->CurrentTime = movie.Length;
  }
  const int time = player->CurrentTime;
  for (const auto &actor : movie.Actors) {
    try {
      EvaluateActor(*actor, movie, time, old);
    } catch (const BadValue &) {
      // The rest of this actor keeps its old state; the next actor is evaluated.
    }
  }
  if (player->IsMainActor())
    if (TEditorLink *link = EditorLink())
      link->Refresh(TRefresh::OptionsGrid);
}

// The file of image slot n (1-based) of the player, or of its parent while it shows the
// parent's look.
std::string SlotSoundFile(const TZeltoActor *player, bool isAttr, int n)
{
  const TZeltoActor *owner = player->PlayerLook && player->Parent ? player->Parent : player;
  const int count = isAttr ? AttrSlotCount : ParamSlotCount;
  if (n < 1 || n > count)
    return "";
  return (isAttr ? owner->AttrImages[n - 1] : owner->ParamImages[n - 1])->FileName;
}

void UpdateFrames(TZeltoActor *player)
{
  TZeltoAni &ani = *player->Ani;
  if (ani.Steps.empty()) {
    player->FrameIndex = 0;
    player->FrameTick = 0;
  } else {
    if (player->CurrentTime < 0)
      player->CurrentTime = 0;
    if (ani.Length > player->CurrentTime || ani.Loop)
      player->CurrentTime = ani.Length > 0 ? player->CurrentTime % ani.Length : 0;
    const int found = FrameAtTime(ani, player->CurrentTime);
    if (found >= 0) {
      const TZeltoAniStep &step = *ani.Steps[found];
      player->FrameIndex = found;
      player->FrameTick = player->CurrentTime - step.StartTick;
      for (const auto &sound : step.Sounds) {
        if (sound->Tick != player->FrameTick + 1)
          continue;
        const std::string &name = sound->FileName;
        if (StartsWith("PARAM", name) && ParseInt(name.substr(5)))
          PlayFile(SlotSoundFile(player, false, *ParseInt(name.substr(5))));
        else if (StartsWith("ATTR", name) && ParseInt(name.substr(4)))
          PlayFile(SlotSoundFile(player, true, *ParseInt(name.substr(4))));
        else
          PlayFile(name);
      }
    } else {
      player->FrameIndex = int(ani.Steps.size()) - 1;
      player->FrameTick = ani.Steps.back()->Duration;
      player->CurrentTime = std::max(0, ani.Length - 1);
    }
  }
  if (player->IsMainActor())
    if (TEditorLink *link = EditorLink())
      link->Refresh(TRefresh::PartList);
}

} // namespace

void UpdateToTime(TZeltoActor *player, int time)
{
  if (!player->Ani)
    return;
  const int old = player->CurrentTime;
  player->CurrentTime = time;
  if (player->Ani->IsMovie)
    UpdateMovie(player, old);
  else
    UpdateFrames(player);
}

void ShowTime(TZeltoActor *mainActor, int time)
{
  UpdateToTime(mainActor, time);
  if (TEditorLink *link = EditorLink())
    link->Refresh(TRefresh::Canvas);
}

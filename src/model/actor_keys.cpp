#include "model/actor_keys.h"

#include <algorithm>

#include "core/helpers.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/context.h"
#include "model/editor_link.h"

static void MarkCurrentModified()
{
  if (TEditorLink *link = EditorLink())
    SetModified(link->CurrentDocument(), true);
}

static void Record(int time, const std::string &oldLine, const std::string &newLine)
{
  if (TEditorLink *link = EditorLink())
    link->RecordActorChange(TActorSingleMod{time, oldLine, newLine});
}

static int FindLine(const TZeltoActorMod &key, const std::string &name)
{
  // A line of name starts with name and "=": compared in place, without building the prefix.
  for (size_t i = 0; i < key.Mods.size(); ++i) {
    const std::string &line = key.Mods[i];
    if (line.size() > name.size() && line[name.size()] == '=' && line.compare(0, name.size(), name) == 0)
      return int(i);
  }
  return -1;
}

std::unique_ptr<TZeltoActorMod> CloneKey(const TZeltoActorMod &key)
{
  auto copy = std::make_unique<TZeltoActorMod>();
  copy->Time = key.Time;
  copy->Mods = key.Mods;
  return copy;
}

bool GetModValue(const TZeltoActorMod &key, const std::string &name, std::string *value)
{
  const int i = FindLine(key, name);
  if (i < 0)
    return false;
  if (value)
    *value = key.Mods[i].substr(name.size() + 1);
  return true;
}

std::string StorableValue(const std::string &value)
{
  std::string result = value;
  for (char &c : result) {
    if (c == ',')
      c = ';';
    else if (c == '\n' || c == '\r')
      c = ' ';
  }
  // The reader trims blanks and control characters at the end of each item of a key line, and
  // the value ends the item: what it would drop is not kept in the first place.
  while (!result.empty() && IsControlOrSpace(result.back()))
    result.pop_back();
  return result;
}

// Writes the line of name into the key; returns the line it replaced ("" when appended).
static std::string PutLine(TZeltoActorMod &key, const std::string &name, const std::string &value)
{
  const std::string line = name + "=" + StorableValue(value);
  const int i = FindLine(key, name);
  if (i < 0) {
    key.Mods.push_back(line);
    return "";
  }
  std::string old = std::move(key.Mods[i]);
  key.Mods[i] = line;
  return old;
}

void SetModValue(TZeltoActorMod &key, const std::string &name, const std::string &value)
{
  const std::string old = PutLine(key, name, value);
  const std::string &line = key.Mods[FindLine(key, name)];
  if (old != line)
    Record(key.Time, old, line);
  MarkCurrentModified();
}

void DeleteModValue(TZeltoActorMod &key, const std::string &name)
{
  const int i = FindLine(key, name);
  if (i >= 0)
    key.Mods.erase(key.Mods.begin() + i);
  MarkCurrentModified();
}

TKeysAround FindKeysAround(const TZeltoActor &actor, int time, const std::string &name)
{
  TKeysAround around;
  for (const auto &key : actor.Keys) {
    if (!GetModValue(*key, name, nullptr))
      continue;
    if (key->Time <= time)
      around.Previous = key.get();
    else if (!around.Next)
      around.Next = key.get();
  }
  return around;
}

// The key at time: found, or (with create) inserted before the first later key or appended.
static TZeltoActorMod *KeyAt(TZeltoActor *actor, int time, bool create)
{
  auto &keys = actor->Keys;
  auto it = keys.begin();
  for (; it != keys.end(); ++it) {
    if ((*it)->Time == time)
      return it->get();
    if ((*it)->Time > time)
      break;
  }
  if (!create)
    return nullptr;
  auto key = std::make_unique<TZeltoActorMod>();
  key->Time = time;
  return keys.insert(it, std::move(key))->get();
}

void SetKey(TZeltoActor *actor, int time, const std::string &name, const std::string &value)
{
  SetModValue(*KeyAt(actor, time, true), name, value);
  if (Context().AutoAniSetting && actor->Kind == akCharacter && (name == "dx" || name == "dy") && time > 0) {
    AutoAnimate(actor, time - 1);
    AutoAnimate(actor, time);
  }
}

void ApplyChangeLine(TZeltoActor *actor, int time, const std::string &line, const std::string &other)
{
  if (line.empty()) {
    const size_t equals = other.find('=');
    if (equals == std::string::npos)
      return;
    TZeltoActorMod *key = KeyAt(actor, time, false);
    if (!key)
      return;
    DeleteModValue(*key, other.substr(0, equals));
    if (key->Mods.empty()) {
      auto &keys = actor->Keys;
      keys.erase(std::find_if(keys.begin(), keys.end(), [key](const auto &k) { return k.get() == key; }));
    }
    return;
  }
  const size_t equals = line.find('=');
  if (equals == std::string::npos)
    return;
  SetModValue(*KeyAt(actor, time, true), line.substr(0, equals), line.substr(equals + 1));
}

void ResortKey(TZeltoActor *actor, TZeltoActorMod *key)
{
  auto &keys = actor->Keys;
  auto found = std::find_if(keys.begin(), keys.end(), [key](const auto &k) { return k.get() == key; });
  if (found == keys.end())
    return;
  std::unique_ptr<TZeltoActorMod> owned = std::move(*found);
  keys.erase(found);
  auto later = std::find_if(keys.begin(), keys.end(), [key](const auto &k) { return k->Time > key->Time; });
  keys.insert(later, std::move(owned));
}

void MergeKeysWithSameTime(TZeltoActor *actor)
{
  auto &keys = actor->Keys;
  for (size_t i = 0; i < keys.size(); ++i) {
    while (i + 1 < keys.size() && keys[i + 1]->Time <= keys[i]->Time) {
      for (const std::string &line : keys[i + 1]->Mods) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals + 1 == line.size())
          continue;
        PutLine(*keys[i], line.substr(0, equals), line.substr(equals + 1));
      }
      keys.erase(keys.begin() + i + 1);
    }
  }
}

// Operations on an actor's keys: reading and writing attribute lines, finding the keys around a
// time, inserting, resorting and merging keys.
#pragma once

#include <memory>
#include <string>

class TZeltoActor;
class TZeltoActorMod;

std::unique_ptr<TZeltoActorMod> CloneKey(const TZeltoActorMod &key);

// The value of the first line "name=..." of the key.
bool GetModValue(const TZeltoActorMod &key, const std::string &name, std::string *value);
// Replaces the first line of name, or appends one; marks the current document modified and hands
// the change to the undo entry being recorded.
void SetModValue(TZeltoActorMod &key, const std::string &name, const std::string &value);
// Deletes the first line of name; marks the current document modified. Not recorded.
void DeleteModValue(TZeltoActorMod &key, const std::string &name);

// The file stores key lines comma-separated on one line: a value must not hold a comma or a line
// break. Commas become ";" and line breaks spaces; blanks and control characters at the end go,
// as the reader would drop them.
std::string StorableValue(const std::string &value);

struct TKeysAround
{
  TZeltoActorMod *Next = nullptr;     // first key in list order with the attribute and Time > t
  TZeltoActorMod *Previous = nullptr; // last key in list order with the attribute and Time <= t
};
TKeysAround FindKeysAround(const TZeltoActor &actor, int time, const std::string &name);

// The one way editing writes an attribute: into the key at time (created in time order when
// missing); a character's "dx"/"dy" after time 0 then runs the walk/idle rule.
void SetKey(TZeltoActor *actor, int time, const std::string &name, const std::string &value);
// Undo and redo of one key line: an empty line removes other's attribute from the key at time
// (and the key when it is left empty); otherwise line is written into the key at time.
void ApplyChangeLine(TZeltoActor *actor, int time, const std::string &line, const std::string &other);
// Moves the key to its place by time, after the keys of the same time.
void ResortKey(TZeltoActor *actor, TZeltoActorMod *key);
// Folds each key into the key before it when its time is not greater; later non-empty values win.
void MergeKeysWithSameTime(TZeltoActor *actor);

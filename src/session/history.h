// The undo history: one linear list of reversible edits of the current document. An entry names
// the objects it changed (parts of a frame, an actor) and the amounts; undo and redo apply the
// change backwards or forwards to those very objects. Parts taken out of their frames and actors
// taken out of the document are owned here while an entry still refers to them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/actor.h"
#include "model/document.h"

enum TOperationKind {
  okMoveParts = 0,
  okRemoveParts = 1,
  okAddParts = 2,
  okOrderParts = 3,
  okAddActor = 4,
  okDeleteActor = 5,
  okChangeActor = 6,
  // The kinds after these carry their own forward and backward steps, one family per file.
  okFrameList = 7,     // a frame added, deleted or inserted as a copy (frame_entries)
  okReverseFrames = 8, // the frame order reversed (frame_entries)
  okDirections = 9,    // four direction lists per frame to one, or back (direction_entries)
  okTiming = 10,       // frame durations, sound ticks and the length (timing_entries)
  okSoundList = 11,    // a frame sound added or taken out (sound_entries)
  okSoundMove = 12,    // a frame sound moved (sound_entries)
  okSoundFile = 13,    // a frame sound's file name (sound_entries)
  okOption = 14,       // a header option or default slot (option_entries)
  okPartSprite = 15,   // the sprite or slot a part shows (option_entries)
  okDefinitions = 16,  // sprite definitions added, changed, deleted or imported (definition_entries)
  okActorName = 17,    // an actor renamed (actor_name_entries)
  okShiftParts = 18,   // parts moved by amounts of their own (shift_entries)
};

class TEditSession;

// Puts the objects of list and owned that order names into list, in that order; all the others
// end in owned. How an entry that took objects out of a document list gives them back, and takes
// them out again, with the very objects.
template <typename Object>
void ArrangeOwned(std::vector<std::unique_ptr<Object>> &list, std::vector<std::unique_ptr<Object>> &owned,
                  const std::vector<Object *> &order)
{
  std::unordered_map<const Object *, std::unique_ptr<Object>> pool;
  for (auto &object : list)
    pool[object.get()] = std::move(object);
  for (auto &object : owned)
    pool[object.get()] = std::move(object);
  list.clear();
  owned.clear();
  for (Object *object : order) {
    list.push_back(std::move(pool[object]));
    pool.erase(object);
  }
  for (auto &rest : pool)
    owned.push_back(std::move(rest.second));
}

// An actor's key lines by time and attribute name, to record a change of its keys as attribute
// changes (a key dragged, deleted, or losing the sprite of a deleted definition).
using TKeyLines = std::map<std::pair<int, std::string>, std::string>;
TKeyLines KeyLinesOf(const TZeltoActor &actor);
// The changes that turn the lines before into the lines after: every line that went, came or
// changed.
std::vector<TActorSingleMod> KeyChanges(const TKeyLines &before, const TKeyLines &after);

// The objects alive in the document and the history, by address: what history entries may name.
class TLiveObjects
{
public:
  void Add(const void *object) { objects_.insert(object); }
  // A frame with its parts and sounds; an actor with its keys.
  void AddFrame(const TZeltoAniStep &frame);
  void AddActor(const TZeltoActor &actor);
  bool Has(const void *object) const { return objects_.count(object) > 0; }

private:
  std::unordered_set<const void *> objects_;
};

// One undo entry.
class TEditOperation
{
public:
  explicit TEditOperation(int kind) : Kind(kind) {}
  TEditOperation(int kind, int direction, TZeltoAniStep *step) : Kind(kind), Step(step), Direction(direction) {}
  TEditOperation(int kind, TZeltoAniPart *part, int direction, TZeltoAniStep *step)
      : Kind(kind), Step(step), Direction(direction), Parts{part}
  {
  }
  virtual ~TEditOperation() = default;
  TEditOperation(const TEditOperation &) = delete;
  TEditOperation &operator=(const TEditOperation &) = delete;

  // Frame editing (kinds 0 to 3) rather than movie editing (kinds 4 to 6).
  bool IsPartEntry() const { return Kind <= okOrderParts; }

  // The kinds after okChangeActor: the change done again, and undone. Each also shows where it
  // changed the document (the frame, the time, the rows it touched).
  virtual void Redo(TEditSession &) {}
  virtual void Undo(TEditSession &) {}
  // Takes in next, recorded just after this entry, when the two are one edit (a run of key
  // presses on the same thing); true when it did, and next is dropped.
  virtual bool Absorb(TEditOperation &next)
  {
    (void)next;
    return false;
  }
  // An entry made before a change takes the values after it; false when nothing changed (it is
  // then not recorded).
  virtual bool FinishChange(TEditSession &session)
  {
    (void)session;
    return true;
  }
  // What the entry owns: what it took out of the document, or what undo took out again.
  virtual void AddOwned(TLiveObjects &live) const { (void)live; }
  // The first object the entry names that is not alive, described; empty when all are.
  virtual std::string DeadReference(const TLiveObjects &live) const
  {
    (void)live;
    return {};
  }

  int Kind;
  TZeltoAniStep *Step = nullptr; // the frame the entry changed
  int Direction = 0;             // the direction shown when the entry was made
  std::vector<TZeltoAniPart *> Parts;
  int DX = 0, DY = 0;
  int OrderDelta = 0;
  bool Mergeable = false;
  TZeltoActor *Actor = nullptr;
  std::vector<TActorSingleMod> Changes;
};

class TEditHistory
{
public:
  TEditHistory() = default;
  TEditHistory(const TEditHistory &) = delete;
  TEditHistory &operator=(const TEditHistory &) = delete;

  int Count() const { return int(entries_.size()); }
  // The number of entries in effect: entries before it can be undone, the others redone.
  int Position() const { return position_; }
  void SetPosition(int position) { position_ = position; }
  TEditOperation &At(int i) { return *entries_[size_t(i)]; }
  TEditOperation *Last() { return entries_.empty() ? nullptr : entries_.back().get(); }

  // Recording an entry: BeginRecord counts the entry's parts and actor as referred to (so that
  // nothing it names is freed meanwhile) and drops the entries that could still be redone;
  // EndRecord appends it as the last entry in effect, or, when it was merged into the last
  // entry instead, only releases its references.
  void BeginRecord(const TEditOperation &entry);
  void EndRecord(std::unique_ptr<TEditOperation> entry, bool append);
  // Removes entries from the last down to index k; with a frame, only that frame's part entries
  // (movie entries always go). The position becomes the number of remaining entries that stood
  // before it.
  void Trim(int k, const TZeltoAniStep *frame = nullptr);
  // Removes every entry of the actor, the same way.
  void RemoveActorEntries(const TZeltoActor *actor);
  // Removes the last entry (it was merged into a newer one).
  void DropLast();
  // A part taken out of its frame, or an actor taken out of the document, is kept here; it is
  // freed when the last entry referring to it goes (or now, by Discard, when none ever will).
  void Keep(std::unique_ptr<TZeltoAniPart> part);
  void Keep(std::unique_ptr<TZeltoActor> actor);
  // Hands a kept part or actor back to the document; none when it is not kept here.
  std::unique_ptr<TZeltoAniPart> Take(TZeltoAniPart *part);
  std::unique_ptr<TZeltoActor> Take(TZeltoActor *actor);
  void Discard(TZeltoAniPart *part);
  bool Keeps(const TZeltoAniPart *part) const { return parts_.count(part) > 0; }
  bool Keeps(const TZeltoActor *actor) const { return actors_.count(actor) > 0; }
  // What in the history refers to an object that is neither in ani nor kept here (a frame, part
  // or actor freed under an entry), or empty when everything it names is alive.
  std::string LiveProblem(const TZeltoAni *ani) const;

private:
  // Removes entries_[i] and releases what only it referred to.
  void Erase(size_t i);
  void AddReferences(const TEditOperation &entry, int delta);

  std::vector<std::unique_ptr<TEditOperation>> entries_;
  int position_ = 0;
  // How many entries refer to each part and actor; kept objects go when theirs reaches 0.
  std::unordered_map<const void *, int> references_;
  std::unordered_map<const TZeltoAniPart *, std::unique_ptr<TZeltoAniPart>> parts_;
  std::unordered_map<const TZeltoActor *, std::unique_ptr<TZeltoActor>> actors_;
};

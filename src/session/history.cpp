#include "session/history.h"

#include <algorithm>
#include <unordered_set>

void TEditHistory::AddReferences(const TEditOperation &entry, int delta)
{
  std::unordered_set<const void *> counted;
  auto add = [&](const void *object) {
    if (!object || !counted.insert(object).second)
      return;
    int &count = references_[object];
    count += delta;
    if (count > 0)
      return;
    references_.erase(object);
    // Nothing refers to it any more: a kept part or actor is freed.
    parts_.erase(static_cast<const TZeltoAniPart *>(object));
    actors_.erase(static_cast<const TZeltoActor *>(object));
  };
  for (const TZeltoAniPart *part : entry.Parts)
    add(part);
  add(entry.Actor);
}

void TEditHistory::BeginRecord(const TEditOperation &entry)
{
  AddReferences(entry, +1);
  Trim(position_);
}

void TEditHistory::EndRecord(std::unique_ptr<TEditOperation> entry, bool append)
{
  if (!append) {
    AddReferences(*entry, -1);
    return;
  }
  entries_.push_back(std::move(entry));
  position_ = Count();
}

void TEditHistory::Trim(int k, const TZeltoAniStep *frame)
{
  k = std::clamp(k, 0, Count());
  const int before = position_;
  std::vector<std::unique_ptr<TEditOperation>> dropped;
  size_t kept = size_t(k);
  int newPosition = std::min(k, before);
  for (size_t i = size_t(k); i < entries_.size(); ++i) {
    std::unique_ptr<TEditOperation> &entry = entries_[i];
    const bool stays = frame && entry->IsPartEntry() && entry->Step != frame;
    if (stays) {
      if (int(i) < before)
        ++newPosition;
      entries_[kept++] = std::move(entry);
    } else {
      dropped.push_back(std::move(entry));
    }
  }
  entries_.resize(kept);
  position_ = newPosition;
  for (const auto &entry : dropped)
    AddReferences(*entry, -1);
}

void TEditHistory::RemoveActorEntries(const TZeltoActor *actor)
{
  const int before = position_;
  std::vector<std::unique_ptr<TEditOperation>> dropped;
  size_t kept = 0;
  int newPosition = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->Actor == actor) {
      dropped.push_back(std::move(entries_[i]));
      continue;
    }
    if (int(i) < before)
      ++newPosition;
    entries_[kept++] = std::move(entries_[i]);
  }
  entries_.resize(kept);
  position_ = newPosition;
  for (const auto &entry : dropped)
    AddReferences(*entry, -1);
}

void TEditHistory::DropLast()
{
  if (entries_.empty())
    return;
  std::unique_ptr<TEditOperation> last = std::move(entries_.back());
  entries_.pop_back();
  position_ = std::min(position_, Count());
  AddReferences(*last, -1);
}

void TEditHistory::Keep(std::unique_ptr<TZeltoAniPart> part)
{
  const TZeltoAniPart *key = part.get();
  if (key)
    parts_[key] = std::move(part);
}

void TEditHistory::Keep(std::unique_ptr<TZeltoActor> actor)
{
  const TZeltoActor *key = actor.get();
  if (key)
    actors_[key] = std::move(actor);
}

std::unique_ptr<TZeltoAniPart> TEditHistory::Take(TZeltoAniPart *part)
{
  auto it = parts_.find(part);
  if (it == parts_.end())
    return nullptr;
  std::unique_ptr<TZeltoAniPart> taken = std::move(it->second);
  parts_.erase(it);
  return taken;
}

std::unique_ptr<TZeltoActor> TEditHistory::Take(TZeltoActor *actor)
{
  auto it = actors_.find(actor);
  if (it == actors_.end())
    return nullptr;
  std::unique_ptr<TZeltoActor> taken = std::move(it->second);
  actors_.erase(it);
  return taken;
}

void TEditHistory::Discard(TZeltoAniPart *part)
{
  parts_.erase(part);
}

TKeyLines KeyLinesOf(const TZeltoActor &actor)
{
  TKeyLines lines;
  for (const auto &key : actor.Keys)
    for (const std::string &line : key->Mods)
      lines.emplace(std::make_pair(key->Time, line.substr(0, line.find('='))), line);
  return lines;
}

std::vector<TActorSingleMod> KeyChanges(const TKeyLines &before, const TKeyLines &after)
{
  std::vector<TActorSingleMod> changes;
  for (const auto &[where, line] : before) {
    const auto now = after.find(where);
    if (now == after.end())
      changes.push_back({where.first, line, ""});
    else if (now->second != line)
      changes.push_back({where.first, line, now->second});
  }
  for (const auto &[where, line] : after)
    if (!before.count(where))
      changes.push_back({where.first, "", line});
  return changes;
}

void TLiveObjects::AddFrame(const TZeltoAniStep &frame)
{
  Add(&frame);
  for (const TPartList &direction : frame.Directions)
    for (const auto &part : direction)
      Add(part.get());
  for (const auto &sound : frame.Sounds)
    Add(sound.get());
}

void TLiveObjects::AddActor(const TZeltoActor &actor)
{
  Add(&actor);
  for (const auto &key : actor.Keys)
    Add(key.get());
}

std::string TEditHistory::LiveProblem(const TZeltoAni *ani) const
{
  TLiveObjects live;
  if (ani) {
    for (const auto &step : ani->Steps)
      live.AddFrame(*step);
    for (const auto &actor : ani->Actors)
      live.AddActor(*actor);
    for (const auto &sprite : ani->Sprites)
      live.Add(sprite.get());
  }
  for (const auto &part : parts_)
    live.Add(part.first);
  for (const auto &actor : actors_)
    live.AddActor(*actor.second);
  for (const auto &entry : entries_)
    entry->AddOwned(live);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TEditOperation &entry = *entries_[i];
    const std::string which = "entry " + std::to_string(i) + " (kind " + std::to_string(entry.Kind) + ")";
    if (entry.IsPartEntry() && !live.Has(entry.Step))
      return which + " names a frame that is gone";
    for (const TZeltoAniPart *part : entry.Parts)
      if (!live.Has(part))
        return which + " names a part that is gone";
    if (entry.Actor && !live.Has(entry.Actor))
      return which + " names an actor that is gone";
    if (const std::string dead = entry.DeadReference(live); !dead.empty())
      return which + " names " + dead;
  }
  return {};
}

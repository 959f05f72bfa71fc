// Recording, undoing and redoing edits: the entries of the history applied forwards and
// backwards to the parts and actors they name.
#include <algorithm>
#include <climits>

#include "core/helpers.h"
#include "model/actor_keys.h"
#include "session/edit_session.h"

namespace {

// The name of an attribute line ("layer=3" -> "layer"), or empty.
std::string AttributeName(const std::string &line)
{
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

// The attribute a change is about: the new line's, or the old one's when the line was deleted.
std::string ChangedAttribute(const TActorSingleMod &change)
{
  return AttributeName(change.NewLine.empty() ? change.OldLine : change.NewLine);
}

bool SameParts(const TEditOperation &a, const TEditOperation &b)
{
  return a.Parts == b.Parts;
}

} // namespace

// --- Recording. ---

void TEditSession::RecordOperation(std::unique_ptr<TEditOperation> entry)
{
  if (!GetCurrentAni() || !entry)
    return;
  if (entry->IsPartEntry()) {
    // A part taken from the sprite strip in this gesture is recorded as an add of its own; one
    // that left the view again in the same gesture was never really added: it is freed.
    for (size_t i = entry->Parts.size(); i-- > 0;) {
      TZeltoAniPart *part = entry->Parts[i];
      if (!part->IsNew)
        continue;
      part->IsNew = false;
      if (entry->Kind == okAddParts)
        continue;
      entry->Parts.erase(entry->Parts.begin() + long(i));
      if (entry->Kind == okRemoveParts)
        History.Discard(part);
      else
        RecordOperation(std::make_unique<TEditOperation>(okAddParts, part, entry->Direction, entry->Step));
    }
    if (entry->Parts.empty())
      return;
  }

  History.BeginRecord(*entry);
  bool merged = false;
  TEditOperation *last = History.Last();
  if (last && entry->Kind > okChangeActor && last->Kind == entry->Kind) {
    merged = last->Absorb(*entry);
  } else if (last && entry->Kind == okMoveParts && entry->Mergeable && last->Kind == okMoveParts && last->Mergeable &&
             last->Step == entry->Step && SameParts(*last, *entry)) {
    // A run of nudges of the same selection becomes one entry.
    // Within the integers whose negation (the undo) is an integer too.
    last->DX = int(std::clamp((long long)last->DX + entry->DX, -(long long)INT_MAX, (long long)INT_MAX));
    last->DY = int(std::clamp((long long)last->DY + entry->DY, -(long long)INT_MAX, (long long)INT_MAX));
    merged = true;
  } else if (last && entry->Kind == okChangeActor && last->Kind == okChangeActor && last->Actor == entry->Actor) {
    if (!entry->Mergeable && entry->Changes.size() == 1 && last->Changes.size() == 1 &&
        entry->Changes[0].Time == last->Changes[0].Time &&
        ChangedAttribute(entry->Changes[0]) == ChangedAttribute(last->Changes[0])) {
      // Repeated edits of one attribute of one key become one entry.
      entry->Changes[0].OldLine = last->Changes[0].OldLine;
      History.DropLast();
    } else if (entry->Mergeable && last->Mergeable && entry->Changes.size() >= 2 && last->Changes.size() >= 2 &&
               entry->Changes[0].Time == last->Changes[0].Time) {
      // A run of moves of one actor becomes one entry.
      entry->Changes[0].OldLine = last->Changes[0].OldLine;
      entry->Changes[1].OldLine = last->Changes[1].OldLine;
      History.DropLast();
    }
  }
  History.EndRecord(std::move(entry), !merged);
  Show(TViewPart::Buttons);
}

void TEditSession::TrimHistory(int keep, const TZeltoAniStep *frame)
{
  History.Trim(keep, frame);
  Show(TViewPart::Buttons);
}

void TEditSession::RemoveActorHistory(TZeltoActor *actor)
{
  History.RemoveActorEntries(actor);
  Show(TViewPart::Buttons);
}

void TEditSession::ClearHistory()
{
  pending_.reset();
  timing_.reset();
  gridEntry_.reset();
  TrimHistory(0, nullptr);
}

// --- Undo and redo. ---

int TEditSession::FrameIndexOf(const TZeltoAniStep *frame) const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani || !frame)
    return -1;
  const auto found =
      std::find_if(ani->Steps.begin(), ani->Steps.end(), [frame](const auto &step) { return step.get() == frame; });
  return found == ani->Steps.end() ? -1 : int(found - ani->Steps.begin());
}

void TEditSession::ShowFrame(const TZeltoAniStep *frame, int dir)
{
  const int index = FrameIndexOf(frame);
  if (index < 0 || MovieMode)
    return;
  if (index != GetCurrentFrame())
    SetCurrentFrame(index);
  EditActor->Dir = std::clamp(dir, 0, DirectionCount - 1);
  Show(TViewPart::Direction);
  Show(TViewPart::PartList);
}

void TEditSession::MakeEntryCurrent(const TEditOperation &entry)
{
  if (entry.IsPartEntry())
    ShowFrame(entry.Step, entry.Direction);
}

void TEditSession::Undo()
{
  EndGridEdit();
  FinishGesture();
  if (GetCurrentAni() && History.Position() > 0) {
    History.SetPosition(History.Position() - 1);
    TEditOperation &entry = History.At(History.Position());
    MakeEntryCurrent(entry);
    RevertOperation(entry);
    ::SetModified(GetCurrentAni(), true);
    NeedsRedraw = true;
  }
  Show(TViewPart::Buttons);
}

void TEditSession::Redo()
{
  EndGridEdit();
  FinishGesture();
  if (GetCurrentAni() && History.Position() < History.Count()) {
    TEditOperation &entry = History.At(History.Position());
    MakeEntryCurrent(entry);
    ApplyOperation(entry.Kind, entry);
    ::SetModified(GetCurrentAni(), true);
    History.SetPosition(History.Position() + 1);
  }
  Show(TViewPart::Buttons);
}

void TEditSession::RevertOperation(TEditOperation &entry)
{
  if (entry.Kind > okChangeActor) {
    entry.Undo(*this);
    NeedsRedraw = true;
    return;
  }
  switch (entry.Kind) {
  case okMoveParts:
    MoveParts(entry.Parts, -entry.DX, -entry.DY);
    break;
  case okRemoveParts:
    ApplyOperation(okAddParts, entry);
    break;
  case okAddParts:
    ApplyOperation(okRemoveParts, entry);
    break;
  case okOrderParts:
    ReorderParts(entry.Parts, -entry.OrderDelta);
    break;
  case okAddActor:
    ApplyOperation(okDeleteActor, entry);
    break;
  case okDeleteActor:
    ApplyOperation(okAddActor, entry);
    break;
  case okChangeActor:
    ApplyActorChanges(entry, false);
    break;
  }
}

void TEditSession::ApplyOperation(int kind, TEditOperation &entry)
{
  if (kind > okChangeActor) {
    entry.Redo(*this);
    NeedsRedraw = true;
    return;
  }
  TPartList *parts = CurrentPartList();
  TZeltoAni *ani = GetCurrentAni();
  switch (kind) {
  case okMoveParts:
    MoveParts(entry.Parts, entry.DX, entry.DY);
    break;
  case okRemoveParts:
    // Each part's place is kept in it for the add that undoes this; a part that is not in the
    // list any more is skipped.
    for (TZeltoAniPart *part : entry.Parts) {
      const int index = parts ? IndexOfPart(*parts, part) : -1;
      if (index < 0)
        continue;
      part->SavedIndex = index;
      History.Keep(std::move((*parts)[size_t(index)]));
      parts->erase(parts->begin() + index);
    }
    Show(TViewPart::PartList);
    break;
  case okAddParts:
    // In the reverse order of their removal, so that every part returns to its exact place.
    for (auto it = entry.Parts.rbegin(); parts && it != entry.Parts.rend(); ++it) {
      std::unique_ptr<TZeltoAniPart> part = History.Take(*it);
      if (!part)
        continue;
      const int index = part->SavedIndex;
      if (index >= 0 && index < int(parts->size()))
        parts->insert(parts->begin() + index, std::move(part));
      else
        parts->push_back(std::move(part));
    }
    Show(TViewPart::PartList);
    break;
  case okOrderParts:
    ReorderParts(entry.Parts, entry.OrderDelta);
    break;
  case okAddActor:
    if (std::unique_ptr<TZeltoActor> actor = History.Take(entry.Actor); actor && ani) {
      if (FindActor(ani, actor->Name))
        AssignDefaultName(actor.get());
      ani->Actors.push_back(std::move(actor));
      ::SetModified(ani, true);
      RefreshActorList();
      SelectActor(entry.Actor);
    }
    break;
  case okDeleteActor:
    if (ani) {
      auto &actors = ani->Actors;
      auto found = std::find_if(actors.begin(), actors.end(),
                                [&entry](const auto &actor) { return actor.get() == entry.Actor; });
      if (found != actors.end()) {
        ForgetActor(entry.Actor);
        History.Keep(std::move(*found));
        actors.erase(found);
      }
      ::SetModified(ani, true);
      if (Scene.SelectedActor == entry.Actor)
        Scene.SelectedActor = nullptr;
      GridMode = 0;
      RefreshActorList();
      Show(TViewPart::Buttons);
      Show(TViewPart::OptionsGrid);
    }
    break;
  case okChangeActor:
    ApplyActorChanges(entry, true);
    break;
  }
  NeedsRedraw = true;
}

void TEditSession::ApplyActorChanges(const TEditOperation &entry, bool forward)
{
  int time = GetCurrentTime();
  if (entry.Actor) {
    // Undone from the last change back: one entry may change a line twice (a merged run of
    // moves, the walk rule rewriting a direction), and only the reverse order gives back the
    // line's first value.
    if (forward) {
      for (const TActorSingleMod &change : entry.Changes)
        ApplyChangeLine(entry.Actor, change.Time, change.NewLine, change.OldLine);
    } else {
      for (auto change = entry.Changes.rbegin(); change != entry.Changes.rend(); ++change)
        ApplyChangeLine(entry.Actor, change->Time, change->OldLine, change->NewLine);
    }
    if (!entry.Changes.empty())
      time = entry.Changes.back().Time;
  }
  ShowTime(time);
  Show(TViewPart::OptionsGrid);
}

void TEditSession::MoveParts(const std::vector<TZeltoAniPart *> &parts, int dx, int dy)
{
  for (TZeltoAniPart *part : parts) {
    part->X = SaturatedInt((long long)part->X + dx);
    part->Y = SaturatedInt((long long)part->Y + dy);
  }
  Show(TViewPart::SelectionInfo);
}

void TEditSession::ReorderParts(const std::vector<TZeltoAniPart *> &moved, int delta)
{
  TPartList *parts = CurrentPartList();
  if (!parts)
    return;
  // The selection follows its parts to their new places.
  const std::vector<TZeltoAniPart *> selected = SelectedParts();
  std::vector<int> indices;
  for (TZeltoAniPart *part : moved)
    if (const int index = IndexOfPart(*parts, part); index >= 0)
      indices.push_back(index);
  SwapOnePlace(*parts, indices, delta);
  Scene.Selection.clear();
  for (TZeltoAniPart *part : selected)
    if (const int index = IndexOfPart(*parts, part); index >= 0)
      Scene.Selection.push_back(index);
  Show(TViewPart::PartList);
}

std::vector<TZeltoAniPart *> TEditSession::SwapOnePlace(TPartList &parts, std::vector<int> indices, int delta)
{
  std::sort(indices.begin(), indices.end());
  std::vector<char> selected(parts.size(), 0);
  for (int index : indices)
    selected[size_t(index)] = 1;
  std::vector<TZeltoAniPart *> moved;
  auto swap = [&](int a, int b) {
    std::swap(parts[size_t(a)], parts[size_t(b)]);
    std::swap(selected[size_t(a)], selected[size_t(b)]);
  };
  if (delta < 0) {
    for (int index : indices)
      if (index >= 1 && !selected[size_t(index - 1)]) {
        moved.push_back(parts[size_t(index)].get());
        swap(index, index - 1);
      }
  } else {
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
      if (*it + 1 < int(parts.size()) && !selected[size_t(*it + 1)]) {
        moved.push_back(parts[size_t(*it)].get());
        swap(*it, *it + 1);
      }
  }
  return moved;
}

// --- Movie recording protocol. ---

void TEditSession::BeginActorChange(TZeltoActor *actor, bool adding)
{
  pending_.reset();
  if (!actor)
    return;
  pending_ = std::make_unique<TEditOperation>(adding ? okAddActor : okChangeActor);
  pending_->Actor = actor;
}

void TEditSession::RecordActorChange(const TActorSingleMod &change)
{
  if (pending_)
    pending_->Changes.push_back(change);
}

void TEditSession::EndActorChange()
{
  std::unique_ptr<TEditOperation> entry = std::move(pending_);
  if (!GetCurrentAni() || !entry)
    return;
  std::vector<TActorSingleMod> &changes = entry->Changes;
  if (entry->Actor && (changes.size() == 1 || changes.size() == 2) &&
      (StartsWith("dx=", changes[0].NewLine) || StartsWith("dy=", changes[0].NewLine))) {
    // A move always records both coordinates, dx first, so that moves merge.
    if (changes.size() == 1) {
      const bool isX = StartsWith("dx=", changes[0].NewLine);
      const std::string other =
          std::string(isX ? "dy=" : "dx=") + std::to_string(isX ? entry->Actor->DY : entry->Actor->DX);
      changes.push_back(TActorSingleMod{changes[0].Time, other, other});
    }
    const bool firstX = StartsWith("dx=", changes[0].NewLine), firstY = StartsWith("dy=", changes[0].NewLine);
    const bool secondX = StartsWith("dx=", changes[1].NewLine), secondY = StartsWith("dy=", changes[1].NewLine);
    if (changes[0].Time == changes[1].Time && ((firstX && secondY) || (firstY && secondX))) {
      if (firstY)
        std::swap(changes[0], changes[1]);
      entry->Mergeable = true;
    }
  }
  if (changes.empty() || !entry->Actor)
    return;
  RecordOperation(std::move(entry));
  // The change may have written keys beside the one edited (the walk rule turns the actor and
  // sets its animation): the actors are evaluated again at the current time, so that what is
  // drawn is what the keys say.
  ShowTime(GetCurrentTime());
}

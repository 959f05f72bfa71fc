// Commands on the sprite definitions as a whole: removing the unused ones, deleting one with
// everything that uses it, and importing definitions from another animation.
#include <algorithm>
#include <unordered_set>

#include "core/helpers.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/reader.h"
#include "session/definition_entries.h"
#include "session/dialogs.h"
#include "session/edit_session.h"
#include "session/option_entries.h"

namespace {

// The lower-case value of a key's "sprite #" line, or empty.
std::string SpriteValue(const TZeltoActorMod &key)
{
  std::string value;
  GetModValue(key, "sprite #", &value);
  return LowerCase(TrimControl(value));
}

bool IsSlotValue(const std::string &value)
{
  return StartsWith("param", value) || StartsWith("attr", value);
}

// Marks the definitions the parts use; false when a part uses a parameter or attribute slot, which
// makes the set of used definitions unknowable.
bool MarkParts(const TPartList &parts, std::unordered_set<const TZeltoAniSprite *> &used)
{
  for (const auto &part : parts) {
    if (part->ParamSlot >= 1 || part->AttrSlot >= 1)
      return false;
    if (part->Sprite)
      used.insert(part->Sprite);
  }
  return true;
}

// Marks the definitions a sprite actor's keys show; false for a slot value.
bool MarkActor(const TZeltoAni &ani, const TZeltoActor &actor, std::unordered_set<const TZeltoAniSprite *> &used)
{
  if (actor.Kind != akSprite)
    return true;
  for (const auto &key : actor.Keys) {
    const std::string value = SpriteValue(*key);
    if (value.empty())
      continue;
    if (IsSlotValue(value))
      return false;
    if (std::optional<int> index = ParseInt(value))
      if (const TZeltoAniSprite *sprite = FindSprite(&ani, *index))
        used.insert(sprite);
  }
  return true;
}

} // namespace

void TEditSession::RemoveUnusedSprites()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || ani->Sprites.empty())
    return;
  std::unordered_set<const TZeltoAniSprite *> used{ani->Sprites.front().get()};
  if (!ani->IsMovie) {
    for (const auto &step : ani->Steps)
      for (const TPartList &direction : step->Directions)
        if (!MarkParts(direction, used))
          return;
  } else {
    for (const auto &actor : ani->Actors)
      if (!MarkActor(*ani, *actor, used))
        return;
  }
  // What the copy buffers hold stays usable: their definitions count as used.
  if (FrameClipboard)
    for (const TPartList &direction : FrameClipboard->Directions)
      for (const auto &part : direction)
        if (part->Sprite)
          used.insert(part->Sprite);
  if (ActorClipboard && ActorClipboard->Sprite)
    used.insert(ActorClipboard->Sprite);
  // Attachments of used definitions are used, however deep: marked until nothing changes.
  for (bool changed = true; changed;) {
    changed = false;
    for (const auto &sprite : ani->Sprites)
      if (used.count(sprite.get()))
        for (const auto &attachment : sprite->Attachments)
          if (attachment->Sprite && used.insert(attachment->Sprite).second)
            changed = true;
  }
  // The definitions go into the history entry, which gives them back on undo. Parts that the
  // history keeps may show them: those entries are older, and undone after this one.
  auto entry = std::make_unique<TDefinitionEntry>(*ani);
  std::vector<std::unique_ptr<TZeltoAniSprite>> removed;
  for (size_t i = ani->Sprites.size(); i-- > 0;)
    if (!used.count(ani->Sprites[i].get())) {
      removed.push_back(std::move(ani->Sprites[i]));
      ani->Sprites.erase(ani->Sprites.begin() + long(i));
      ::SetModified(ani, true);
    }
  if (entry->Finish(*this, std::move(removed)))
    RecordOperation(std::move(entry));
  UpdateSpriteListLayout();
  NeedsRedraw = true;
}

void TEditSession::DeleteSpriteDefinition(int index)
{
  TZeltoAni *ani = GetCurrentAni();
  TZeltoAniSprite *doomed = FindSprite(ani, index);
  if (!doomed)
    return;
  // Everything that goes goes into the history entry, which gives it back on undo.
  auto entry = std::make_unique<TDefinitionEntry>(*ani);
  // The selection is kept by its parts; those that go leave it.
  const std::vector<TZeltoAniPart *> selected = SelectedParts();
  for (const auto &sprite : ani->Sprites) {
    auto &attachments = sprite->Attachments;
    for (size_t i = attachments.size(); i-- > 0;)
      if (attachments[i]->Sprite == doomed) {
        std::unique_ptr<TZeltoSpriteAttachment> attachment = std::move(attachments[i]);
        attachments.erase(attachments.begin() + long(i));
        entry->NoteAttachmentRemoved(sprite.get(), int(i), std::move(attachment));
      }
  }
  if (ani->IsMovie)
    DeleteSpriteFromActors(*ani, doomed, *entry);
  else
    DeleteSpriteFromFrames(*ani, doomed, *entry);
  // The copied frame and the copied actor live beyond the history: they let go of it for good.
  if (FrameClipboard)
    for (TPartList &direction : FrameClipboard->Directions)
      direction.erase(std::remove_if(direction.begin(), direction.end(),
                                     [doomed](const auto &part) { return part->Sprite == doomed; }),
                      direction.end());
  if (ActorClipboard && ActorClipboard->Sprite == doomed)
    ActorClipboard->Sprite = nullptr;

  auto &sprites = ani->Sprites;
  const auto found =
      std::find_if(sprites.begin(), sprites.end(), [doomed](const auto &s) { return s.get() == doomed; });
  std::vector<std::unique_ptr<TZeltoAniSprite>> removed;
  removed.push_back(std::move(*found));
  sprites.erase(found);
  ::SetModified(ani, true);
  if (entry->Finish(*this, std::move(removed)))
    RecordOperation(std::move(entry));
  Scene.Selection.clear();
  if (const TPartList *parts = CurrentPartList())
    for (TZeltoAniPart *part : selected)
      for (size_t i = 0; i < parts->size(); ++i)
        if ((*parts)[i].get() == part)
          Scene.Selection.push_back(int(i));
  UpdateSpriteListLayout();
  Show(TViewPart::PartList);
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::DeleteSpriteFromFrames(TZeltoAni &ani, const TZeltoAniSprite *doomed, TDefinitionEntry &entry)
{
  for (auto &step : ani.Steps)
    for (size_t d = 0; d < step->Directions.size(); ++d) {
      TPartList &parts = step->Directions[d];
      for (size_t i = parts.size(); i-- > 0;)
        if (parts[i]->Sprite == doomed) {
          std::unique_ptr<TZeltoAniPart> part = std::move(parts[i]);
          parts.erase(parts.begin() + long(i));
          entry.NotePartRemoved(step.get(), int(d), int(i), std::move(part));
        }
    }
}

void TEditSession::DeleteSpriteFromActors(TZeltoAni &ani, const TZeltoAniSprite *doomed, TDefinitionEntry &entry)
{
  const std::string doomedText = std::to_string(doomed->Index);
  for (size_t a = ani.Actors.size(); a-- > 0;) {
    TZeltoActor *actor = ani.Actors[a].get();
    if (actor->Kind != akSprite)
      continue;
    entry.NoteKeysBefore(actor);
    if (actor->Sprite == doomed)
      actor->Sprite = nullptr;
    auto &keys = actor->Keys;
    for (size_t k = keys.size(); k-- > 0;) {
      const std::string value = SpriteValue(*keys[k]);
      if (value.empty() || IsSlotValue(value) || value != doomedText)
        continue;
      DeleteModValue(*keys[k], "sprite #");
      if (keys[k]->Mods.empty() || k == 0)
        keys.erase(keys.begin() + long(k));
    }
    // An actor that shows no sprite within the movie any more goes.
    const bool showsSprite = std::any_of(keys.begin(), keys.end(), [&ani](const auto &key) {
      return key->Time <= ani.Length && GetModValue(*key, "sprite #", nullptr);
    });
    if (showsSprite)
      continue;
    if (Scene.SelectedActor == actor) {
      Scene.SelectedActor = nullptr;
      GridMode = 0;
      Show(TViewPart::OptionsGrid);
    }
    ForgetActor(actor);
    std::unique_ptr<TZeltoActor> removed = std::move(ani.Actors[a]);
    ani.Actors.erase(ani.Actors.begin() + long(a));
    entry.NoteActorRemoved(int(a), std::move(removed));
    RefreshActorList();
  }
}

void TEditSession::ImportSprites()
{
  TZeltoAni *ani = GetCurrentAni();
  std::string chosen;
  if (!ani || !Dialogs().OpenFile("Import Sprites From Zelto Animation", "*.velk", AnimationFilter, chosen))
    return;
  if (ExtractKey(chosen) == ExtractKey(ani->FileName))
    return;
  auto entry = std::make_unique<TDefinitionEntry>(*ani);
  if (std::unique_ptr<TZeltoAni> source = ReadAnimation(nullptr, chosen)) {
    std::vector<TZeltoAniSprite *> imported;
    for (size_t i = source->Sprites.size(); i-- > 0;) {
      if (FindSprite(ani, source->Sprites[i]->Index))
        continue;
      imported.push_back(source->Sprites[i].get());
      ani->Sprites.push_back(std::move(source->Sprites[i]));
      EnsureImageLoaded(ani->Sprites.back()->Image);
      ::SetModified(ani, true);
    }
    // An attachment to a definition of the other file that was not imported (its index was taken
    // here) is pointed at this document's definition of that index, which is what the file means.
    for (TZeltoAniSprite *sprite : imported)
      for (const auto &attachment : sprite->Attachments)
        if (std::find(imported.begin(), imported.end(), attachment->Sprite) == imported.end())
          attachment->Sprite = attachment->Sprite ? FindSprite(ani, attachment->Sprite->Index) : nullptr;
    for (int slot = 0; slot < ParamSlotCount; ++slot)
      if (!source->DefaultParams[slot].empty() && ani->DefaultParams[slot].empty()) {
        entry->NoteSlot(*this, ofParam + slot);
        ApplyOption(ofParam + slot, source->DefaultParams[slot]);
      }
    for (int slot = 0; slot < AttrSlotCount; ++slot)
      if (!source->DefaultAttrs[slot].empty() && ani->DefaultAttrs[slot].empty()) {
        entry->NoteSlot(*this, ofAttr + slot);
        ApplyOption(ofAttr + slot, source->DefaultAttrs[slot]);
      }
    // The grid shows the slots in rows that depend on the mode: it is shown anew as a whole.
    Show(TViewPart::OptionsGrid);
  }
  std::stable_sort(ani->Sprites.begin(), ani->Sprites.end(),
                   [](const auto &a, const auto &b) { return a->Index < b->Index; });
  if (entry->Finish(*this, {}))
    RecordOperation(std::move(entry));
  UpdateSpriteListLayout();
  NeedsRedraw = true;
}

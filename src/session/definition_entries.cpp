#include "session/definition_entries.h"

#include <algorithm>

#include "model/actor_keys.h"
#include "session/edit_session.h"

TDefinitionEntry::TDefinitionEntry(const TZeltoAni &ani) : TEditOperation(okDefinitions)
{
  for (const auto &sprite : ani.Sprites)
    before_.push_back(sprite.get());
}

TDefinitionEntry::TFields TDefinitionEntry::FieldsOf(const TZeltoAniSprite &sprite)
{
  return {sprite.Image, sprite.Description, sprite.Left, sprite.Top, sprite.Width, sprite.Height};
}

void TDefinitionEntry::SetFields(TZeltoAniSprite &sprite, const TFields &fields)
{
  sprite.Image = fields.Image;
  sprite.Description = fields.Description;
  sprite.Left = fields.Left;
  sprite.Top = fields.Top;
  sprite.Width = fields.Width;
  sprite.Height = fields.Height;
}

void TDefinitionEntry::NoteFields(TZeltoAniSprite *sprite)
{
  if (std::none_of(fields_.begin(), fields_.end(), [sprite](const auto &c) { return c.Sprite == sprite; }))
    fields_.push_back({sprite, FieldsOf(*sprite), {}});
}

void TDefinitionEntry::NoteAttachmentRemoved(TZeltoAniSprite *owner, int index,
                                             std::unique_ptr<TZeltoSpriteAttachment> attachment)
{
  TZeltoSpriteAttachment *removed = attachment.get();
  attachments_.push_back({owner, index, removed, std::move(attachment)});
}

void TDefinitionEntry::NotePartRemoved(TZeltoAniStep *frame, int dir, int index, std::unique_ptr<TZeltoAniPart> part)
{
  TZeltoAniPart *removed = part.get();
  parts_.push_back({frame, dir, index, removed, std::move(part)});
}

void TDefinitionEntry::NoteKeysBefore(TZeltoActor *actor)
{
  if (std::any_of(actors_.begin(), actors_.end(), [actor](const auto &a) { return a.Actor == actor; }))
    return;
  actors_.push_back({actor, actor->Sprite, actor->Sprite, {}});
  keysBefore_.push_back(KeyLinesOf(*actor));
}

void TDefinitionEntry::NoteActorRemoved(int index, std::unique_ptr<TZeltoActor> actor)
{
  TZeltoActor *removed = actor.get();
  removedActors_.push_back({index, removed, std::move(actor)});
}

void TDefinitionEntry::NoteSlot(TEditSession &session, int field)
{
  slots_.push_back({field, session.OptionValue(field), {}});
}

bool TDefinitionEntry::Finish(TEditSession &session, std::vector<std::unique_ptr<TZeltoAniSprite>> removed)
{
  const TZeltoAni &ani = *session.GetCurrentAni();
  for (const auto &sprite : ani.Sprites)
    after_.push_back(sprite.get());
  for (auto &sprite : removed)
    owned_.push_back(std::move(sprite));
  for (TFieldChange &change : fields_)
    change.New = FieldsOf(*change.Sprite);
  for (size_t i = 0; i < actors_.size(); ++i) {
    actors_[i].NewSprite = actors_[i].Actor->Sprite;
    actors_[i].Changes = KeyChanges(keysBefore_[i], KeyLinesOf(*actors_[i].Actor));
  }
  keysBefore_.clear();
  for (TSlot &slot : slots_)
    slot.New = session.OptionValue(slot.Field);
  auto same = [](const TFields &a, const TFields &b) {
    return a.Image == b.Image && a.Description == b.Description && a.Left == b.Left && a.Top == b.Top &&
           a.Width == b.Width && a.Height == b.Height;
  };
  return before_ != after_ || !attachments_.empty() || !parts_.empty() || !removedActors_.empty() ||
         std::any_of(fields_.begin(), fields_.end(), [&](const auto &c) { return !same(c.Old, c.New); }) ||
         std::any_of(actors_.begin(), actors_.end(),
                     [](const auto &a) { return !a.Changes.empty() || a.OldSprite != a.NewSprite; }) ||
         std::any_of(slots_.begin(), slots_.end(), [](const auto &s) { return s.Old != s.New; });
}

void TDefinitionEntry::Redo(TEditSession &session)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani)
    return;
  // In the order the command did it.
  ArrangeOwned(ani->Sprites, owned_, after_);
  for (const TFieldChange &change : fields_)
    SetFields(*change.Sprite, change.New);
  for (TAttachment &a : attachments_) {
    auto &list = a.Owner->Attachments;
    const auto found = std::find_if(list.begin(), list.end(), [&a](const auto &x) { return x.get() == a.Attachment; });
    if (found != list.end()) {
      a.Owned = std::move(*found);
      list.erase(found);
    }
  }
  for (TPart &p : parts_) {
    TPartList &list = p.Frame->Directions[size_t(p.Dir)];
    if (const int index = IndexOfPart(list, p.Part); index >= 0) {
      p.Owned = std::move(list[size_t(index)]);
      list.erase(list.begin() + index);
    }
  }
  for (const TActorKeys &a : actors_) {
    for (const TActorSingleMod &change : a.Changes)
      ApplyChangeLine(a.Actor, change.Time, change.NewLine, change.OldLine);
    a.Actor->Sprite = a.NewSprite;
  }
  for (TActorRemoved &r : removedActors_) {
    auto &actors = ani->Actors;
    const auto found = std::find_if(actors.begin(), actors.end(), [&r](const auto &x) { return x.get() == r.Actor; });
    if (found != actors.end()) {
      session.ForgetActor(r.Actor);
      r.Owned = std::move(*found);
      actors.erase(found);
    }
  }
  for (const TSlot &slot : slots_)
    session.ApplyOption(slot.Field, slot.New);
  for (const auto &sprite : ani->Sprites)
    session.EnsureImageLoaded(sprite->Image);
  Show(session);
}

void TDefinitionEntry::Undo(TEditSession &session)
{
  TZeltoAni *ani = session.GetCurrentAni();
  if (!ani)
    return;
  // Backwards, so that every list gets its members back at their places.
  for (auto s = slots_.rbegin(); s != slots_.rend(); ++s)
    session.ApplyOption(s->Field, s->Old);
  for (auto r = removedActors_.rbegin(); r != removedActors_.rend(); ++r)
    if (r->Owned) {
      auto &actors = ani->Actors;
      actors.insert(actors.begin() + std::clamp(r->Index, 0, int(actors.size())), std::move(r->Owned));
    }
  for (auto a = actors_.rbegin(); a != actors_.rend(); ++a) {
    for (auto change = a->Changes.rbegin(); change != a->Changes.rend(); ++change)
      ApplyChangeLine(a->Actor, change->Time, change->OldLine, change->NewLine);
    a->Actor->Sprite = a->OldSprite;
  }
  for (auto p = parts_.rbegin(); p != parts_.rend(); ++p)
    if (p->Owned) {
      TPartList &list = p->Frame->Directions[size_t(p->Dir)];
      list.insert(list.begin() + std::clamp(p->Index, 0, int(list.size())), std::move(p->Owned));
    }
  for (auto a = attachments_.rbegin(); a != attachments_.rend(); ++a)
    if (a->Owned) {
      auto &list = a->Owner->Attachments;
      list.insert(list.begin() + std::clamp(a->Index, 0, int(list.size())), std::move(a->Owned));
    }
  for (auto c = fields_.rbegin(); c != fields_.rend(); ++c)
    SetFields(*c->Sprite, c->Old);
  ArrangeOwned(ani->Sprites, owned_, before_);
  for (const auto &sprite : ani->Sprites)
    session.EnsureImageLoaded(sprite->Image);
  Show(session);
}

void TDefinitionEntry::Show(TEditSession &session)
{
  session.UpdateSpriteListLayout();
  if (!parts_.empty())
    session.ShowFrame(parts_.front().Frame, parts_.front().Dir);
  session.Show(TViewPart::PartList);
  if (!actors_.empty() || !removedActors_.empty()) {
    session.RefreshActorList();
    session.ShowTime(session.GetCurrentTime());
  }
  session.Show(TViewPart::OptionsGrid);
  session.Show(TViewPart::Buttons);
  session.NeedsRedraw = true;
}

void TDefinitionEntry::AddOwned(TLiveObjects &live) const
{
  for (const auto &sprite : owned_)
    live.Add(sprite.get());
  for (const TPart &p : parts_)
    if (p.Owned)
      live.Add(p.Owned.get());
  for (const TActorRemoved &r : removedActors_)
    if (r.Owned)
      live.AddActor(*r.Owned);
}

std::string TDefinitionEntry::DeadReference(const TLiveObjects &live) const
{
  for (const TZeltoAniSprite *sprite : before_)
    if (!live.Has(sprite))
      return "a definition that is gone";
  for (const TZeltoAniSprite *sprite : after_)
    if (!live.Has(sprite))
      return "a definition that is gone";
  for (const TPart &p : parts_)
    if (!live.Has(p.Frame) || !live.Has(p.Part))
      return "a part or frame of a deleted definition, which is gone";
  for (const TActorKeys &a : actors_)
    if (!live.Has(a.Actor))
      return "an actor of a deleted definition, which is gone";
  for (const TActorRemoved &r : removedActors_)
    if (!live.Has(r.Actor))
      return "an actor that is gone";
  return {};
}

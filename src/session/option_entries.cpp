#include "session/option_entries.h"

#include "session/edit_session.h"

TOptionEntry::TOptionEntry(TEditSession &session, int field)
    : TEditOperation(okOption), field_(field), old_(session.OptionValue(field))
{
}

bool TOptionEntry::FinishChange(TEditSession &session)
{
  new_ = session.OptionValue(field_);
  return new_ != old_;
}

void TOptionEntry::Redo(TEditSession &session)
{
  session.ApplyOption(field_, new_);
}

void TOptionEntry::Undo(TEditSession &session)
{
  session.ApplyOption(field_, old_);
}

TPartSpriteEntry::TPartSpriteEntry(TZeltoAniStep *frame, int dir, TZeltoAniPart *part)
    : TEditOperation(okPartSprite, dir, frame), part_(part), old_{part->Sprite, part->ParamSlot, part->AttrSlot},
      new_(old_)
{
}

bool TPartSpriteEntry::FinishChange(TEditSession &)
{
  new_ = {part_->Sprite, part_->ParamSlot, part_->AttrSlot};
  return !(new_ == old_);
}

void TPartSpriteEntry::Put(TEditSession &session, const TShown &shown)
{
  session.ShowFrame(Step, Direction);
  part_->Sprite = shown.Sprite;
  part_->ParamSlot = shown.ParamSlot;
  part_->AttrSlot = shown.AttrSlot;
  session.Show(TViewPart::PartList);
}

std::string TPartSpriteEntry::DeadReference(const TLiveObjects &live) const
{
  if (!live.Has(Step) || !live.Has(part_))
    return "a part whose sprite was typed, which is gone";
  if ((old_.Sprite && !live.Has(old_.Sprite)) || (new_.Sprite && !live.Has(new_.Sprite)))
    return "a definition a part showed, which is gone";
  return {};
}

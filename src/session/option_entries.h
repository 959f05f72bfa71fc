// History entries of the options grid: a header option or default slot of the document (clicked,
// typed, imported, or the default body the Zelto2002 check box sets), and the sprite or slot a
// part shows, typed into the grid's first row. Each holds its old and new value as text.
#pragma once

#include <string>

#include "session/history.h"

// The header options and default slots, as the grid and the file name them.
enum TOptionField {
  ofLoop,
  ofContinuous,
  ofBackColor,
  ofSetBackTo,
  ofHead,
  ofBody,
  ofAttr,               // ofAttr + slot, slots 0 to 8
  ofParam = ofAttr + 9, // ofParam + slot, slots 0 to 7
  ofFieldCount = ofParam + 8,
};

class TOptionEntry : public TEditOperation
{
public:
  // Made before the change, with the value the field has then.
  TOptionEntry(TEditSession &session, int field);
  bool FinishChange(TEditSession &session) override;
  void Redo(TEditSession &session) override;
  void Undo(TEditSession &session) override;

private:
  int field_;
  std::string old_, new_;
};

// What a part shows: a definition, or a parameter or attribute slot.
class TPartSpriteEntry : public TEditOperation
{
public:
  // Made before the change of part, which stands in frame in direction dir.
  TPartSpriteEntry(TZeltoAniStep *frame, int dir, TZeltoAniPart *part);
  bool FinishChange(TEditSession &session) override;
  void Redo(TEditSession &session) override { Put(session, new_); }
  void Undo(TEditSession &session) override { Put(session, old_); }
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  struct TShown
  {
    TZeltoAniSprite *Sprite;
    int ParamSlot, AttrSlot;
    bool operator==(const TShown &o) const
    {
      return Sprite == o.Sprite && ParamSlot == o.ParamSlot && AttrSlot == o.AttrSlot;
    }
  };
  void Put(TEditSession &session, const TShown &shown);

  TZeltoAniPart *part_;
  TShown old_, new_;
};

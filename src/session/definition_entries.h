// The history entry of the commands on sprite definitions: the Add Sprite dialog's apply (new
// definitions, and the old values of those it replaced), a definition deleted from the strip
// with everything that used it (its attachments, its parts in the frames, in a movie its keys and
// the sprite actors left without one), the unused ones removed, and definitions and default slots
// imported. The command does its work and tells the entry what it did; the entry owns what was
// taken out of the document while it is out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/history.h"

class TDefinitionEntry : public TEditOperation
{
public:
  // Made before the command changes anything: the order of the definitions then.
  explicit TDefinitionEntry(const TZeltoAni &ani);

  // What the command did, in the order it did it.
  void NoteFields(TZeltoAniSprite *sprite); // before it changes the definition's rectangle and texts
  void NoteAttachmentRemoved(TZeltoAniSprite *owner, int index, std::unique_ptr<TZeltoSpriteAttachment> attachment);
  void NotePartRemoved(TZeltoAniStep *frame, int dir, int index, std::unique_ptr<TZeltoAniPart> part);
  void NoteKeysBefore(TZeltoActor *actor); // before it changes the actor's keys or sprite
  void NoteActorRemoved(int index, std::unique_ptr<TZeltoActor> actor);
  void NoteSlot(TEditSession &session, int field); // before it changes a default slot
  // After the command: takes the new values and the definitions taken out of the document (given
  // back by removed); false when nothing changed.
  bool Finish(TEditSession &session, std::vector<std::unique_ptr<TZeltoAniSprite>> removed);

  void Redo(TEditSession &session) override;
  void Undo(TEditSession &session) override;
  void AddOwned(TLiveObjects &live) const override;
  std::string DeadReference(const TLiveObjects &live) const override;

private:
  struct TFields
  {
    std::string Image, Description;
    int Left, Top, Width, Height;
  };
  struct TFieldChange
  {
    TZeltoAniSprite *Sprite;
    TFields Old, New;
  };
  struct TAttachment
  {
    TZeltoAniSprite *Owner;
    int Index;
    TZeltoSpriteAttachment *Attachment;
    std::unique_ptr<TZeltoSpriteAttachment> Owned;
  };
  struct TPart
  {
    TZeltoAniStep *Frame;
    int Dir, Index;
    TZeltoAniPart *Part;
    std::unique_ptr<TZeltoAniPart> Owned;
  };
  struct TActorKeys
  {
    TZeltoActor *Actor;
    TZeltoAniSprite *OldSprite, *NewSprite;
    std::vector<TActorSingleMod> Changes;
  };
  struct TActorRemoved
  {
    int Index;
    TZeltoActor *Actor;
    std::unique_ptr<TZeltoActor> Owned;
  };
  struct TSlot
  {
    int Field;
    std::string Old, New;
  };

  static TFields FieldsOf(const TZeltoAniSprite &sprite);
  static void SetFields(TZeltoAniSprite &sprite, const TFields &fields);
  void Show(TEditSession &session);

  std::vector<TZeltoAniSprite *> before_, after_;
  std::vector<std::unique_ptr<TZeltoAniSprite>> owned_;
  std::vector<TFieldChange> fields_;
  std::vector<TAttachment> attachments_;
  std::vector<TPart> parts_;
  std::vector<TActorKeys> actors_;
  std::vector<TKeyLines> keysBefore_; // while the command runs, for each of actors_
  std::vector<TActorRemoved> removedActors_;
  std::vector<TSlot> slots_;
};

// What the model reports to, and asks of, the editor that edits a document: the current document
// and playback position, the undo history, the caption's modified mark, the image cache, sound
// and the refresh of what the editor shows. The edit session implements it; tests stub it.
#pragma once

#include <string>

class TZeltoAni;
class TZeltoActor;
struct TActorSingleMod;

// What the editor shows that a model change can make stale.
enum class TRefresh { OptionsGrid, OptionsGridLabels, PartList, ActorList, Canvas };

class TEditorLink
{
public:
  virtual ~TEditorLink() = default;

  // The document being edited, or none.
  virtual TZeltoAni *CurrentDocument() const = 0;
  bool IsCurrentDocument(const TZeltoAni *ani) const { return ani && ani == CurrentDocument(); }
  // The editor's current frame and time (ticks).
  virtual int GetCurrentFrame() const = 0;
  virtual int GetCurrentTime() const = 0;
  virtual void SetCurrentTime(int time) = 0;
  // Drops every undo entry; entries refer to the current document's parts and actors.
  virtual void ClearHistory() = 0;
  // Called after a document's Modified flag was set, so the caption can follow.
  virtual void ModifiedChanged(TZeltoAni *ani) = 0;
  // Appends one changed key line to the actor change being recorded; ignored when none is.
  virtual void RecordActorChange(const TActorSingleMod &) {}
  // Registers a sprite definition's image with the editor's image cache.
  virtual void EnsureImageLoaded(const std::string &) {}
  // Plays a resolved wave file once.
  virtual void PlaySoundFile(const std::string &) {}
  // Something the editor shows is stale; row is one grid row, or -1 for all.
  virtual void Refresh(TRefresh, int row = -1) { (void)row; }
  // The editor selects the actor (movie mode).
  virtual void SelectActor(TZeltoActor *) {}
};

// The link in effect (Context().Link), or none.
TEditorLink *EditorLink();

// Sets ani's Modified flag and tells the editor.
void SetModified(TZeltoAni *ani, bool modified);

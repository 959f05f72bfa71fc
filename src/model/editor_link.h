// The narrow view of the editor that the model needs: the current document, its undo history,
// the caption's modified mark, the current time, the window's options and its refresh requests.
// The main window implements it; tests stub it.
#pragma once

#include <string>

class TZeltoAni;
class TZeltoActor;
class TEditOperation;
struct TActorSingleMod;

class TEditorLink
{
public:
  virtual ~TEditorLink() = default;

  // True when ani is the document the editor is editing.
  virtual bool IsCurrentDocument(const TZeltoAni *ani) const = 0;
  // Drops every undo entry; entries refer to the current document's parts and frames.
  virtual void ClearHistory() = 0;
  // Called after a document's Modified flag was set, so the window can update its caption.
  virtual void ModifiedChanged(TZeltoAni *ani) = 0;
  // The editor's current frame and time (ticks).
  virtual int GetCurrentFrame() const = 0;
  virtual int GetCurrentTime() const = 0;
  virtual void SetCurrentTime(int time) = 0;
  // The undo entry being assembled by the gesture in progress, or none.
  virtual TEditOperation *RecordingOperation() { return nullptr; }

  // The document being edited, or none.
  virtual TZeltoAni *CurrentDocument() const { return nullptr; }
  // Appends one changed key line to the actor change being recorded; ignored when none is.
  virtual void RecordActorChange(const TActorSingleMod &) {}
  // "Automatic Velk Setting": moving a character keys its walk and idle animations.
  virtual bool AutoAniSetting() const { return true; }
  // "Zelto2002 velks": the idle and walk animations are "human_idle" and "human_walk".
  virtual bool Zelto2002Mode() const { return false; }
  // File names of the window's default horse, shield and sword images.
  virtual std::string DefaultHorseFile() const { return "ride.png"; }
  virtual std::string DefaultShieldFile() const { return "shield1.png"; }
  virtual std::string DefaultSwordFile() const { return "sword1.png"; }
  // Registers a sprite definition's image with the window's image cache.
  virtual void EnsureImageLoaded(const std::string &) {}
  // Plays a resolved wave file once.
  virtual void PlaySoundFile(const std::string &) {}
  // Refresh requests: the attribute grid (one row, or all with -1), its labels, the part list,
  // the actor list, the actor selection, and a redraw of the canvas.
  virtual void RefreshOptionsGrid(int) {}
  virtual void RefreshOptionsGridLabels() {}
  virtual void RefreshPartList() {}
  virtual void RefreshActorList() {}
  virtual void SelectActor(TZeltoActor *) {}
  virtual void Repaint() {}
};

// The link in effect; none until the editor installs one (then the model only sets its own flags).
TEditorLink *EditorLink();
void SetEditorLink(TEditorLink *link);

// Sets ani's Modified flag and tells the editor.
void SetModified(TZeltoAni *ani, bool modified);

// The narrow view of the editor that the model needs: the current document, its undo history,
// the caption's modified mark and the current time. The main window implements it; tests stub it.
#pragma once

class TZeltoAni;
class TEditOperation;

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
};

// The link in effect; none until the editor installs one (then the model only sets its own flags).
TEditorLink *EditorLink();
void SetEditorLink(TEditorLink *link);

// Sets ani's Modified flag and tells the editor.
void SetModified(TZeltoAni *ani, bool modified);

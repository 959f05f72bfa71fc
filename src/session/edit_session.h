// The edit session: the one edited document (inside EditActor) and everything the editor keeps
// about it without any widget: the playback position, selection, drag state, copy buffers, the
// scene set-up the canvas is drawn with, sound output, and the commands that change them. It is
// the link the model reports to. The window owns one session, routes its widgets' events to it
// and shows what the session asks it to refresh.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "model/editor_link.h"
#include "scene/scene_setup.h"
#include "session/history.h"
#include "session/timing_entries.h"

class TDefinitionEntry;
class TUiDialogs;
class TZeltoActor;
class TZeltoAni;
struct TZeltoAniStep;
struct TZeltoAniPart;
using TPartList = std::vector<std::unique_ptr<TZeltoAniPart>>;

inline constexpr const char *BaseCaption = "Zeltrix - The Zelto Animation Editor";
inline constexpr const char *AnimationFilter = "Zelto animations (*.velk)|*.velk|All files|*.*";
inline constexpr const char *SaveAnimationFilter = "Zelto animations (*.velk)|*.velk|All file types|*.*";

// What the pressed mouse button manipulates (DragMode).
enum TDragModes {
  dmActor = 0, // movie mode: the selected actor
  dmPan = 1,
  dmTime = 2,
  dmKey = 3, // movie mode: a key on the time line
  dmLength = 4,
  dmFrameStart = 5,
  dmParts = 6,
  dmSound = 7,
};

// What a session change makes stale in the window.
enum class TViewPart {
  Caption,
  PartList,
  SelectionInfo,
  OptionsGrid,
  OptionsGridLabels,
  ActorList,
  Buttons,
  Mode,
  Direction,  // the direction box follows EditActor's direction
  SpriteList, // the strip's scroll bar follows SpriteListTotal and SpriteListScroll
};

// What the session asks of the window. A session without one (tests) asks nothing.
class TSessionView
{
public:
  virtual ~TSessionView() = default;
  // Shows part anew (row: one grid row, or -1 for all).
  virtual void Refresh(TViewPart part, int row) = 0;
  virtual void SelectActor(TZeltoActor *) {}
  // Takes the focus from the focused control, so that a pending edit there is committed.
  virtual void ClearFocus() {}
  // Moves the mouse pointer to (x, y) of the canvas.
  virtual void MovePointer(int, int) {}
  // The hint window over the sprite strip: text at canvas position (x, y); re-shown only when its
  // text changes or it was hidden.
  virtual void ShowHint(const std::string &, int, int) {}
  virtual void HideHint() {}
  // The sprite strip's menu ("&Edit", "&Delete") at canvas position (x, y).
  virtual void ShowSpriteMenu(int, int) {}
  // A key menu at canvas position (x, y): "&Delete Key" or "&Add Key".
  virtual void ShowKeyMenu(bool deleteKey, int, int) { (void)deleteKey; }
  // A file was opened or saved (for the list of recent files).
  virtual void FileUsed(const std::string &) {}
};

// What the Add Sprite dialog applies: definitions cut from one image, one or a grid of them.
struct TSpriteGrid
{
  std::string Image = "SPRITES";
  std::string Description = "sprite";
  int Index = 20; // of the first definition, in the upper left corner
  int Left = 0, Top = 0, Width = 32, Height = 32;
  int Columns = 1, Rows = 1;
};

// A row of the options grid: its label and value text (both empty for a row without one).
struct TGridRow
{
  std::string Label;
  std::string Value;
};

// Ticks as the grid shows seconds: the shortest text with "." ("0.25", "1", "2.5").
std::string SecondsText(int ticks);

// The keys the editor acts on; the window maps its key events to these.
enum class TKey { Other, Delete, PadPlus, PadMinus, Up, Down, Left, Right, Tab, N };

// One wheel step or numeric-pad key zooms by this factor; the zoom stays within 1 and MaxZoom.
inline constexpr double ZoomStep = 1.125;
inline constexpr double MaxZoom = 16.0;

// The largest position typed for a part: its displacement from any position in the file, and
// the negation that undoes it, stay integers.
inline constexpr int MaxCoordinate = 1000000000;

// The largest grid the dialog makes at once.
inline constexpr int MaxGridSprites = 10000;

// A recovery file left by an editor that did not close normally.
struct TRecovery
{
  std::string TextFile; // the document's text
  std::string FileName; // the file it belongs to (empty for a document never saved)
  std::string Name;     // the document's name
};

// What the program was started with.
struct TStartOptions
{
  std::string File;                          // the optional animation file argument
  std::string GameFolder;                    // --game-dir; empty: found from the program's folder
  std::string ProgramFolder;                 // the folder of the program file
  std::string SettingsFile;                  // empty: the user's settings; else an ini file
  std::string RecoveryFolder;                // where unsaved work is kept; empty: nowhere
  TUiDialogs *Dialogs = nullptr;             // none: the window's own; not owned
  std::unique_ptr<TSoundDevice> SoundDevice; // none: the default audio output
};

class TEditSession : public TEditorLink
{
public:
  // Installs the session as the model's link; dialogs and view are not owned.
  TEditSession(TUiDialogs *dialogs, TSessionView *view, std::unique_ptr<TSoundDevice> soundDevice);
  ~TEditSession() override;
  TEditSession(const TEditSession &) = delete;
  TEditSession &operator=(const TEditSession &) = delete;

  // Start-up: the start folder and game folder from the options, the display, the fixed images,
  // and the start animation (falling back to the default idle animation).
  void Start(const TStartOptions &options);

  // --- The edited document and the playback position. ---
  TZeltoAni *GetCurrentAni() const;
  int GetCurrentFrame() const override;
  void SetCurrentFrame(int index);
  int GetFrameTick() const;
  void SetFrameTick(int tick);
  int GetCurrentTime() const override;
  void SetCurrentTime(int time) override;
  // The parts of the current frame in the current direction, or none.
  TPartList *CurrentPartList() const;
  // The current frame, or none.
  TZeltoAniStep *CurrentStep() const;
  // The selected parts, in selection order; indices that no longer name a part of the current
  // list are dropped from Selection first.
  std::vector<TZeltoAniPart *> SelectedParts();
  // The primary selected part's index when it names a part of the current part list, else -1.
  int PrimarySelection() const;

  // --- Documents and files. ---
  // Opens the animation name (a bare name from the game folder, or a path) as the document. False,
  // with the reason in error, when it cannot be read; nothing changes then.
  bool OpenAnimation(const std::string &name, std::string *error = nullptr);
  void NewAnimation();
  // Asks to save a modified document before the action ("closing", "loading another animation"),
  // which the question names; false when the action is to be abandoned.
  bool QuerySave(const std::string &action);
  // Asks for a file name and writes the document there; false when cancelled or failed.
  bool SaveAs();
  // The toolbar's New, Load and Save commands.
  void NewCommand();
  void LoadCommand();
  void SaveCommand();
  // Writes the document to its file name, reporting a failure; false when it failed.
  bool WriteDocument();
  // The Load command for a known file (the recent files): the save prompt, then the file.
  void OpenFileCommand(const std::string &path);
  // The caption for the current document.
  std::string Caption() const;
  void SwitchMovieMode(bool on);
  void SetAutoAniSetting(bool on);
  void SetZelto2002Mode(bool on);

  // A click on the value cell of an actor's attribute row: a toggle, or the font or colour dialog.
  // False when the row is edited by typing instead.
  bool ClickActorAttribute(TZeltoActor *actor, int row, std::string &value);

  // --- Sprite-mode part list and direction. ---
  void SetDirection(int dir);
  // Choosing entry i of the part list box (-1: none).
  void ChoosePart(int i);

  // --- Playback and timeline. ---
  // The 50 ms tick: redraws when needed and advances playback.
  void Tick();
  void AdvanceFrame();
  void Play();
  void Stop();
  void AddSound(const std::string &file, int x, int y);
  void ShowTime(int time);
  // The latest time the marker can stand at: the movie's end, or the last tick of the frames.
  int LastTime() const;
  // After the length shrank: the time moves back to the last tick that is still inside.
  void ShowTimeWithinLength();
  void TimelineFrameDrag(int x, bool pressed);
  void TimelineRulerDrag(int x, int y, bool pressed);
  void SetFrameStart(int index, int tick);
  // SetLength of the document, recorded as a timing change.
  void SetDocumentLength(int length);
  // Timing changes made until EndTiming become one history entry (a gesture, a key press, a typed
  // length); mergeable entries of the same frames merge. Changes made without it are recorded
  // one by one.
  void BeginTiming(bool mergeable = false);
  void EndTiming();
  // True when the pointer at (x, y) is over a frame start that can be dragged.
  bool OverFrameStart(int x, int y) const;

  // --- Canvas gestures, in canvas coordinates. ---
  void MouseDown(bool rightButton, int x, int y, bool shift = false, bool ctrl = false);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // A gesture in progress ends as if released where the pointer was last seen. Undo, redo, keys,
  // the wheel and commands that replace the document call it first: a gesture holds selection
  // indices, saved positions and a dragged key that such a change would make stale.
  void FinishGesture();
  // Scene coordinates of a canvas position: through the zoom and the magnified rectangle.
  int SceneX(int canvasX) const;
  int SceneY(int canvasY) const;

  // --- Editing the parts of the current frame. ---
  // Nudges every selected part (the four buttons, the arrow keys); one mergeable move entry.
  void MoveSelection(int dx, int dy);
  // Moves the selected parts one place toward the end (+1, "Bring to front") or the start (-1).
  void ChangeSelectionOrder(int delta);
  void DeleteSelectedParts();
  // The x (or y) box of the primary part committed: an integer moves the part, anything else
  // shows the part's value again.
  void CommitCoordinate(bool isX, const std::string &text);
  // Selected parts dragged out of the view are deleted (recorded); margin in canvas pixels.
  void RemovePartsOutsideView(int margin);
  // The dragged selection at its saved positions moved by (dx, dy).
  void MoveDraggedParts(int dx, int dy);
  void RemoveSoundOutsideView(int margin);
  // Files dropped at a canvas position: images become a definition and a centred part, ".wav"
  // files sounds of the current frame.
  void DropFiles(const std::vector<std::string> &files, int canvasX, int canvasY);

  // --- Frames. Each records an entry that undoes it. ---
  // A default frame after the current one, made current.
  void AddFrame();
  // Removes frame index (never the only frame).
  void DeleteFrame(int index);
  // The current frame into FrameClipboard (parts and duration, not sounds).
  void CopyFrame();
  // A copy of FrameClipboard at the current frame, or after it; made current.
  void InsertFrameBefore();
  void InsertFrameAfter();
  void ReverseFrames();
  // The frames in reverse order, the same frame current; what reversing and its undo do.
  void ReverseFrameOrder();
  // Four direction lists per frame to one (each frame split into one per direction) or back
  // (each four frames merged into one); the history is cleared.
  void SetSingleDirection(bool single);

  // --- The options grid (GridMode 0: the document's options; 1: the selected actor's attributes). ---
  int GridRowCount() const;
  TGridRow GridRow(int row) const;
  // A click on a value cell: true when the cell takes typed text, and its edit begins (EditRow);
  // value may change. An edit of another row ends first.
  bool ClickGridRow(int row, std::string &value);
  // Text applied to a row at once; value may be normalised to what was stored.
  void SetGridRow(int row, std::string &value);
  // The editor's text after every keystroke. Most rows take it at once (SetGridRow); a frame's
  // length waits until the edit ends, since every shorter length on the way would clamp the
  // frame's sounds for good and rewrite the text under the cursor.
  void TypeGridRow(int row, std::string &value);
  // Ends the edit of EditRow (Enter, Tab, leaving the grid, another command): a length typed is
  // applied now, and the row shows its stored value.
  void EndGridEdit();
  TGridRow ShowAniOption(int row) const;
  // A header option or default slot (TOptionField) as text, and set from such a text with what
  // follows from it (the player's head, body and slots); neither records an entry.
  std::string OptionValue(int field) const;
  void ApplyOption(int field, const std::string &value);
  bool ClickAniOption(int row, std::string &value);
  void SetAniOption(int row, std::string &value);

  // --- Keys and the wheel. ---
  // A key press; true when it was consumed (keys other than Ctrl+N go to a focused control).
  bool KeyDown(TKey key, bool ctrl, bool controlFocused);
  // Moves sound index of the current frame one pixel (0 up, 1 left, 2 down, 3 right).
  void MoveSound(int index, int direction);
  // Ctrl+N: moves body parts by (-5, -4) and other parts of definitions above 0 by (0, -8).
  void ShiftOldOffsets();
  void ZoomBy(double factor);
  // Back to no zoom (Ctrl+0).
  void ResetZoom();
  // A wheel step at a canvas position: scrolls the strip, steps the time or zooms (with ctrl in
  // the opposite direction); true when it was over one of those regions (and so consumed).
  bool Wheel(bool down, int x, int y, bool ctrl = false);

  // --- Movie mode. ---
  // Sorts the actors for the list and shows it anew.
  void RefreshActorList();
  // The list's items: "Velk" (the document) and "Actor " + name of each actor in list order.
  std::vector<std::string> ActorListItems() const;
  // Choosing item i of the list (0: no actor).
  void ChooseActorItem(int item);
  // Actors added at the current time, recorded as additions, selected.
  TZeltoActor *AddCharacterActor();
  TZeltoActor *AddTextActor(int x, int y);
  TZeltoActor *AddSoundActor(const std::string &file, int x, int y);
  TZeltoActor *AddSpriteActor(TZeltoAniSprite *sprite, int x, int y);
  void DeleteActor();
  // Drops what refers to an actor that leaves the document: the selection and its dragged or
  // menu key.
  void ForgetActor(const TZeltoActor *actor);
  void CopyActorCommand();
  void InsertActor();
  // The topmost visible actor opaque at (x, y) from the origin, or none.
  TZeltoActor *ActorAt(int x, int y) const;
  // The selected actor's key nearest to canvas x (within 30 pixels), or -1.
  int FindKeyNearX(int x) const;
  // True over the key strip where a key can be dragged (the split cursor).
  bool OverKey(int x, int y) const;
  void DragKeyTo(int x);
  // A right press on grid row of the selected actor: the key menus.
  void GridKeyMenu(int row, int x, int y);
  void AddKey1Click();
  void DeleteKey1Click();
  // True when the selected actor has a key at the current time that sets row's attribute.
  bool RowHasKeyNow(int row) const;

  // --- Recovery of unsaved work. ---
  // The folder of recovery files (none: no recovery).
  void SetRecoveryFolder(const std::string &folder);
  // This process's recovery file.
  std::string RecoveryFile() const;
  // Writes a modified document to the recovery file when it changed since the last write; true
  // when it wrote.
  bool Autosave();
  // Removes this process's recovery file (a normal close, a save, another document).
  void RemoveRecovery();
  // The recovery files of editors that are gone.
  std::vector<TRecovery> FindRecoveries() const;
  // Opens a recovery as the current document, modified, under its own file name; its files go.
  bool RestoreRecovery(const TRecovery &recovery);
  void DiscardRecovery(const TRecovery &recovery);

  // --- Sprite definitions. ---
  // Deletes the definitions nothing uses (the first one always stays); nothing when a part or
  // sprite actor uses a parameter or attribute slot. The history is cleared.
  void RemoveUnusedSprites();
  // Deletes definition index with its attachments to it, its parts (also in the history and the
  // copied frame), and in a movie its keys and the sprite actors left without one.
  void DeleteSpriteDefinition(int index);
  // Brings in the definitions of another animation whose indices are free here, and its default
  // slots that are empty here.
  void ImportSprites();
  // Creates, or overwrites, the definitions of the grid (indices from grid.Index, row by row) and
  // loads their image. False, changing nothing, when the grid holds more than MaxGridSprites
  // definitions or its indices or rectangles leave the integer range; error then says why.
  bool AddSpriteDefinitions(const TSpriteGrid &grid, std::string *error = nullptr);

  // --- The sprite-list strip. ---
  // Recomputes every definition's ListTop, SpriteListTotal and the scroll position.
  void UpdateSpriteListLayout();
  // The list position of the definition under a canvas point, or -1.
  int SpriteListIndexAt(int x, int y) const;
  // The strip's visible height (the scroll bar's page).
  int SpriteListPage() const;

  // --- Undo and redo. ---
  // Records a new entry, dropping the entries that could still be redone.
  void RecordOperation(std::unique_ptr<TEditOperation> entry);
  // Drops entries from the last down to index keep (with a frame, only that frame's entries).
  void TrimHistory(int keep, const TZeltoAniStep *frame);
  void RemoveActorHistory(TZeltoActor *actor);
  void Undo();
  void Redo();
  void ApplyOperation(int kind, TEditOperation &entry);
  void RevertOperation(TEditOperation &entry);
  // Movie editing brackets each change of an actor: the key lines it writes meanwhile become one
  // entry (an add with adding set).
  void BeginActorChange(TZeltoActor *actor, bool adding);
  void EndActorChange();
  // Draws the whole canvas now.
  void DrawCanvas();
  // The canvas regions and ruler for the current sizes and document.
  TCanvasGeometry Geometry() const;

  // --- TEditorLink. ---
  TZeltoAni *CurrentDocument() const override { return GetCurrentAni(); }
  void ClearHistory() override;
  void ModifiedChanged(TZeltoAni *ani) override;
  void EnsureImageLoaded(const std::string &name) override;
  void PlaySoundFile(const std::string &name) override;
  void Refresh(TRefresh what, int row) override;
  void SelectActor(TZeltoActor *actor) override;
  void RecordActorChange(const TActorSingleMod &change) override;

  TUiDialogs &Dialogs() const { return *dialogs_; }
  // Asks the window to show part anew (row: one grid row, or -1 for all); history entries too.
  void Show(TViewPart part, int row = -1);
  // Makes frame the current frame (when it is in the document) and dir the direction, as undo and
  // redo do before they change a frame.
  void ShowFrame(const TZeltoAniStep *frame, int dir);
  // The position of frame in the document's frames, or -1.
  int FrameIndexOf(const TZeltoAniStep *frame) const;
  const std::string &ProgramFolder() const { return programFolder_; }

  // --- State. ---
  std::unique_ptr<TZeltoActor> EditActor;
  // The canvas's display, image cache, fixed images and the scene state the renderer reads
  // (origin, zoom, sprite-list position, selection, drag marks, canvas size).
  TSceneSetup Setup;
  TSceneState &Scene = Setup.Scene;
  TWaveList WaveList;
  bool Playing = false;
  bool NeedsRedraw = false;
  bool MovieMode = false;
  bool MouseIsDown = false;
  int LastDragMode = -1;
  int LastSoundIndex = -1, DragSoundIndex = -1;
  int EditRow = -1; // the grid row being typed into
  // The length typed into the grid, and the frame it is for, until the edit ends.
  std::string PendingLengthText;
  TZeltoAniStep *PendingLengthFrame = nullptr;
  int GridMode = 0;
  int DragStartX = 0, DragStartY = 0, MouseSceneX = 0, MouseSceneY = 0;
  int MenuSpriteIndex = -1;
  std::unique_ptr<TZeltoAniStep> FrameClipboard;
  std::unique_ptr<TZeltoActor> ActorClipboard;
  TEditHistory History;
  // The strip's whole height (the scroll bar's range is this less the page).
  int SpriteListTotal = 0;
  // Movie mode: the key dragged on the time line, and the key and grid row the key menus act on
  // (row -1: the whole key, from the strip).
  TZeltoActorMod *DragKey = nullptr;
  TZeltoActorMod *MenuKey = nullptr;
  int MenuRow = -1;

private:
  bool PressSound();
  void PressPart(int x, int y, bool shift, bool ctrl);
  void RecordNewParts();
  // A sound dragged to another place is one entry, made at the release.
  void RecordSoundDrag();
  void HoverSpriteList(int x, int y);
  void OpenSpriteListMenu(int x, int y);
  // Appends a part of the strip's entry to the current list (marked new), selects it; its index.
  int TakeSpriteFromList(int entry);
  void DropImage(const std::string &name, int x, int y);
  void InsertCopiedFrame(bool after);
  TZeltoActor *AddActor(std::unique_ptr<TZeltoActor> actor, const std::vector<std::string> &keyed);
  void MovieMouseDown(bool rightButton, int x, int y);
  void MovieMouseMove(int x, int y);
  void MovieMouseUp();
  void PressKeyStrip(bool rightButton, int x, int y);
  void ChangeActorNumber(TZeltoActor *actor, const char *name, int delta);
  void SelectNextActor();
  void ArrowKey(TKey key);
  void StepLength(int step);
  const TZeltoAniSound *PropertySound() const;
  int PropertyFrame() const;
  void SetMovieLength(std::string &value);
  void SetSoundFileOption(std::string &value);
  void SetFrameLength(int frame, std::string &value);
  void SetPartSpriteOption(std::string &value);
  void SetLookOption(bool head, std::string &value);
  void DeleteSpriteFromFrames(TZeltoAni &ani, const TZeltoAniSprite *doomed, TDefinitionEntry &entry);
  void DeleteSpriteFromActors(TZeltoAni &ani, const TZeltoAniSprite *doomed, TDefinitionEntry &entry);
  // Records what happened to the actor's keys since before, as one actor change entry.
  void RecordKeyEdit(TZeltoActor *actor, const TKeyLines &before);
  TKeyLines keysBeforeDrag_; // the dragged key's actor's keys at the press
  // True when a rectangle at (left, top) from the origin meets the visible scene.
  bool MeetsView(int left, int top, int width, int height, int margin) const;
  void MakeEntryCurrent(const TEditOperation &entry);
  void MoveParts(const std::vector<TZeltoAniPart *> &parts, int dx, int dy);
  void ReorderParts(const std::vector<TZeltoAniPart *> &parts, int delta);
  void ApplyActorChanges(const TEditOperation &entry, bool forward);
  // Moves the parts at indices one place (delta -1 toward the start, +1 toward the end) unless
  // their neighbour there is moving too, so that a block moves as a whole; the parts that moved.
  static std::vector<TZeltoAniPart *> SwapOnePlace(TPartList &parts, std::vector<int> indices, int delta);

  void FreeClipboards();
  // The tick under x on the ruler, not clamped.
  static int RulerTickAt(const TCanvasGeometry &geometry, int x);

  TUiDialogs *dialogs_;
  TSessionView *view_;
  std::unique_ptr<TEditOperation> pending_; // the actor change being recorded
  std::unique_ptr<TTimingEntry> timing_;    // the timing change being recorded
  // The entry of the grid edit in progress, made when it begins and recorded when it ends.
  std::unique_ptr<TEditOperation> gridEntry_;
  void BeginGridRecord(int row);
  void EndGridRecord();
  // Opens a file the user chose, once the save prompt is answered.
  void OpenChosenFile(const std::string &path);
  // Makes a document just read the edited one: the history and copy buffers go, the mode follows
  // the document, and everything shown is shown anew.
  void ShowDocument(std::unique_ptr<TZeltoAni> loaded);
  std::string recoveryFolder_;
  std::string lastRecoveryText_; // what the recovery file holds now
  int panOriginX_ = 0, panOriginY_ = 0;
  int pointerX_ = 0, pointerY_ = 0; // the canvas position of the last press or move
  std::string programFolder_;
};

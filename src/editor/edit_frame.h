// The main window: the one edited document (inside EditActor), the canvas, every control, and
// the editor state that the canvas, playback, timeline and file commands share. Handlers are
// plain public methods; widgets only forward their events to them.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "model/editor_link.h"
#include "images/image_cache.h"
#include "scene/scene_state.h"
#include "platform/display.h"
#include "audio/sound.h"
#include "platform/timer.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTableWidget;
class QToolButton;
class TCanvasWidget;
class TUiDialogs;
struct TZeltoAniStep;

// What the program was started with.
struct TStartOptions
{
  std::string File;                          // the optional animation file argument
  std::string GameFolder;                    // --game-dir; empty: found from the program's folder
  std::string ProgramFolder;                 // the folder of the program file
  TUiDialogs *Dialogs = nullptr;             // none: the Qt dialogs; not owned
  std::unique_ptr<TSoundDevice> SoundDevice; // none: the default audio output
};

inline constexpr const char *BaseCaption = "Zeltrix - The Zelto Animation Editor";
inline constexpr const char *AnimationFilter = "Zelto animations (*.velk)|*.velk|All files|*.*";
inline constexpr const char *SaveAnimationFilter = "Zelto animations (*.velk)|*.velk|All file types|*.*";
// Gesture kinds of DragMode that this window uses.
enum TDragModes { dmPan = 1, dmTime = 2, dmKey = 3, dmLength = 4, dmFrameStart = 5, dmParts = 6, dmSound = 7 };

class TEditFrame : public QWidget, public TEditorLink
{
  Q_OBJECT

public:
  explicit TEditFrame(TStartOptions options);
  ~TEditFrame() override;

  // --- Controls, named as the form designer named them. ---
  QFrame *Panel9 = nullptr; // toolbar
  QToolButton *SpeedButton34 = nullptr, *SpeedButton9 = nullptr, *SpeedButton10 = nullptr, *SpeedButton11 = nullptr;
  QToolButton *SpeedButton24 = nullptr, *SpeedButton25 = nullptr;
  QToolButton *SpeedButton18 = nullptr, *SpeedButton22 = nullptr, *SpeedButton26 = nullptr, *SpeedButton23 = nullptr;
  QPushButton *MovieButton = nullptr;
  QFrame *Panel2 = nullptr; // holds the canvas and the sprite-list scroll bar
  TCanvasWidget *DXDraw1 = nullptr;
  QScrollBar *ScrollBar2 = nullptr;
  QFrame *Panel6 = nullptr; // frame buttons (sprite mode)
  QToolButton *SpeedButton12 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr, *SpeedButton15 = nullptr;
  QToolButton *SpeedButton16 = nullptr, *SpeedButton17 = nullptr, *SpeedButton21 = nullptr, *SpeedButton35 = nullptr;
  QFrame *Panel4 = nullptr; // actor buttons (movie mode)
  QToolButton *SpeedButton27 = nullptr, *SpeedButton28 = nullptr, *SpeedButton29 = nullptr, *SpeedButton33 = nullptr;
  QToolButton *SpeedButton36 = nullptr, *SpeedButton30 = nullptr, *SpeedButton31 = nullptr, *SpeedButton32 = nullptr;
  QFrame *Panel7 = nullptr; // right column
  QLabel *Label5 = nullptr;
  QComboBox *ComboBox1 = nullptr;
  QGroupBox *GroupBox1 = nullptr;
  QComboBox *ComboBox3 = nullptr;
  QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr, *SpeedButton4 = nullptr;
  QToolButton *SpeedButton19 = nullptr, *SpeedButton20 = nullptr;
  QLabel *Label2 = nullptr, *Label3 = nullptr;
  QLineEdit *Edit1 = nullptr, *Edit2 = nullptr;
  QTableWidget *StringGrid1 = nullptr;
  QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
  QMenu *PopupMenu1 = nullptr, *PopupMenu2 = nullptr, *PopupMenu3 = nullptr;
  // Controls the form keeps hidden; they do nothing.
  QFrame *Panel1 = nullptr, *Panel3 = nullptr;
  QWidget *PaintBox1 = nullptr, *PaintBox2 = nullptr;
  QToolButton *SpeedButton5 = nullptr, *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton8 = nullptr;
  QPushButton *Button2 = nullptr, *Button3 = nullptr;

  TTickTimer Timer1;
  TDisplay Display; // the canvas's back buffer
  std::unique_ptr<TWaveList> DXWaveList1;

  // --- Editor state. ---
  std::unique_ptr<TZeltoActor> EditActor;
  TImageList ImageCache;
  std::unique_ptr<TSurfaceOwner> SpritesImage, RideImage, ShieldImage, SwordImage, SoundIconImage;
  // What the renderer reads: origin, zoom, sprite-list position, selection, drag marks, canvas size.
  TSceneState Scene;
  bool Playing = false;
  bool NeedsRedraw = false;
  bool MovieMode = false;
  bool MouseIsDown = false;
  int LastDragMode = -1;
  int LastSoundIndex = -1, DragSoundIndex = -1;
  int EditRow = -1;
  int GridMode = 0;
  int DragStartX = 0, DragStartY = 0, MouseSceneX = 0, MouseSceneY = 0;
  int MenuSpriteIndex = -1;
  std::unique_ptr<TZeltoAniStep> FrameClipboard;
  std::unique_ptr<TZeltoActor> ActorClipboard;
  bool Zelto2002Flag = false;
  bool AutoAniFlag = true;

  // --- Accessors of the edited document and the playback position. ---
  TZeltoAni *GetCurrentAni() const;
  int GetCurrentFrame() const override;
  void SetCurrentFrame(int index);
  int GetFrameTick() const;
  void SetFrameTick(int tick);
  int GetCurrentTime() const override;
  void SetCurrentTime(int time) override;

  // --- Start-up, document and file commands. ---
  void FormShow();
  bool FormCloseQuery();
  void OpenAnimation(const std::string &name);
  void NewAnimation();
  void SpeedButton34Click(); // New
  void SpeedButton9Click();  // Load
  void SpeedButton10Click(); // Save
  void SpeedButton11Click(); // Save as
  // Asks to save a modified document; false when the command is to be abandoned.
  bool QuerySave();
  // Asks for a file name and writes the document there; false when cancelled or failed.
  bool SaveAs();
  void UpdateCaption();
  void CheckBox1Click();
  void CheckBox2Click();
  void SwitchMovieMode(bool on);
  void UpdateLayout();
  void UpdateButtons();

  // --- Part list, direction and selection fields. ---
  void RefreshPartList() override;
  void RefreshSelectionInfo();
  void ComboBox1Change();
  void ComboBox3Change();

  // --- Playback and timeline. ---
  void Timer1Timer();
  void AdvanceFrame();
  void SpeedButton12Click(); // Play
  void Button4Click();       // Stop
  void SpeedButton35Click(); // Add Sound
  void AddSound(const std::string &file, int x, int y);
  void PlaySoundFile(const std::string &name) override;
  void ShowTime(int time);
  void TimelineFrameDrag(int x, bool pressed);
  void TimelineRulerDrag(int x, int y, bool pressed);
  void SetFrameStart(int index, int tick);
  // True when the pointer at (x, y) is over a frame start that can be dragged.
  bool OverFrameStart(int x, int y) const;

  // --- Canvas. ---
  void DXDraw1MouseDown(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers);
  void DXDraw1MouseMove(int x, int y, Qt::KeyboardModifiers modifiers);
  void DXDraw1MouseUp(Qt::MouseButton button, int x, int y);
  // Draws the whole canvas now.
  void DrawCanvas();
  // The canvas regions and ruler for the current sizes and document.
  TCanvasGeometry Geometry() const;

  // --- TEditorLink. ---
  bool IsCurrentDocument(const TZeltoAni *ani) const override;
  void ClearHistory() override;
  void ModifiedChanged(TZeltoAni *ani) override;
  TZeltoAni *CurrentDocument() const override { return GetCurrentAni(); }
  bool AutoAniSetting() const override { return AutoAniFlag; }
  bool Zelto2002Mode() const override { return Zelto2002Flag; }
  void EnsureImageLoaded(const std::string &name) override;
  void Repaint() override { NeedsRedraw = true; }

  TUiDialogs &Dialogs() const { return *dialogs_; }

protected:
  void showEvent(QShowEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void CreateControls();
  void ConnectControls();
  void LoadFixedImages();
  void FreeClipboards();
  void ClearFocus();
  // Writes the document to its file name, reporting a failure; false when it failed.
  bool WriteDocument();
  // Moves the mouse pointer to (x, y) of the canvas.
  void MoveCanvasPointer(int x, int y);
  // The tick under x on the ruler, not clamped.
  static int RulerTickAt(const TCanvasGeometry &geometry, int x);

  std::string programFolder_;
  std::unique_ptr<TUiDialogs> ownDialogs_;
  TUiDialogs *dialogs_ = nullptr;
  bool shown_ = false;
};

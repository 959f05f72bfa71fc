// The main window: every control of the editor, laid out and captioned, with handlers that are
// plain public methods. The edited document and the editor's state live in Session; the window
// routes its widgets' events to the session and shows what the session asks it to refresh.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/timer.h"
#include "session/edit_session.h"

class QAction;
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
class TAddSprite;
class TEditorSettings;
class TCanvasWidget;
class TImageWatcher;
class TOptionsGrid;
struct TZeltoAniSprite;
class TUiDialogs;

class TEditFrame : public QWidget, public TSessionView
{
  Q_OBJECT

  // Made before the dialogs, which remember their folders in them.
  std::unique_ptr<TEditorSettings> settings_;
  // Made before the session, which asks its questions through them.
  std::unique_ptr<TUiDialogs> ownDialogs_;

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
  QToolButton *OnionSkinButton = nullptr; // checkable; kept in the settings
  QFrame *Panel4 = nullptr;               // actor buttons (movie mode)
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
  TOptionsGrid *StringGrid1 = nullptr;
  QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
  QMenu *PopupMenu1 = nullptr, *PopupMenu2 = nullptr, *PopupMenu3 = nullptr;
  QAction *Edit3 = nullptr; // the sprite strip menu's "&Edit"
  // Controls the form keeps hidden; they do nothing.
  QFrame *Panel1 = nullptr, *Panel3 = nullptr;
  QWidget *PaintBox1 = nullptr, *PaintBox2 = nullptr;
  QToolButton *SpeedButton5 = nullptr, *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton8 = nullptr;
  QPushButton *Button2 = nullptr, *Button3 = nullptr;

  TTickTimer Timer1;
  // Writes unsaved work to the recovery file; the window's deactivation does too.
  QTimer AutosaveTimer;
  static constexpr int AutosaveInterval = 60 * 1000;
  // The Load button's drop-down: the files opened last.
  QMenu *RecentMenu = nullptr;

  // Made with the window and kept for its whole run; owned by the window as its child.
  TAddSprite *AddSprite = nullptr;
  // The zoom, beside the canvas; and a notice over the canvas (an image that no longer decodes),
  // hidden by the next press on the canvas or the next images that change.
  QLabel *ZoomLabel = nullptr;
  QLabel *NoticeLabel = nullptr;

  // The edited document and the editor's state; its display is the canvas's back buffer.
  TEditSession Session;

  // --- Start-up, document and file commands. ---
  void FormShow();
  bool FormCloseQuery();
  void SpeedButton34Click(); // New
  void SpeedButton9Click();  // Load
  void SpeedButton10Click(); // Save
  void SpeedButton11Click(); // Save as
  void UpdateCaption();
  void CheckBox1Click();
  void CheckBox2Click();
  void UpdateLayout();
  void UpdateButtons();

  // --- Between runs: settings, recent files, recovery. ---
  TEditorSettings &Settings() { return *settings_; }
  // Fills the recent-files menu; files that are gone are shown disabled.
  void RefreshRecentMenu();
  void OpenRecentFile(const std::string &path);
  // Asks about each recovery file left by an editor that did not close normally.
  void OfferRecoveries();
  void Autosave();
  // The window's geometry from the settings, when they have one.
  void RestoreGeometry();
  // Shows or hides the onion skin as the button says, and remembers it.
  void OnionSkinButtonClick();

  // --- Part list, direction and selection fields. ---
  void RefreshPartList();
  void RefreshSelectionInfo();
  void ComboBox1Change();
  void ComboBox3Change();
  // The x and y boxes, committed on Enter or on leaving them.
  void Edit1Exit();
  void Edit2Exit();
  void SpeedButton24Click(); // Undo
  void SpeedButton25Click(); // Redo
  void MovieButtonClick();
  // The sprite strip's menu: "&Delete" deletes the definition the menu was opened on.
  void Delete1Click();
  void ScrollBar2Change();
  // Files dropped on the window, at a position of the canvas.
  void DropFiles(const std::vector<std::string> &files, const QPoint &canvasPosition);

  // --- The options grid. ---
  // Shows one row anew, or every row with -1 (then also the row count and column widths).
  void RefreshOptionsGrid(int row);
  void RefreshOptionsGridLabels();
  void StringGrid1MouseDown(Qt::MouseButton button, int row, int column);
  // The editor's text after every change.
  void StringGrid1SetEditText(int row, const QString &text);
  // Enter, Tab and Backtab in the grid's editor.
  void StringGrid1KeyDown(int key);
  void StringGrid1Exit();
  void StringGrid1MouseWheel(bool down);
  // Ends a text edit: the row shows the stored value again.
  void CommitGridEdit();

  // --- Keys and the wheel, previewed for the whole window. ---
  // True when the key was consumed.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // A wheel step at a global position; true when it was consumed.
  bool FormMouseWheel(bool down, const QPoint &globalPosition, Qt::KeyboardModifiers modifiers = {});
  // Ctrl++ (and Ctrl+=), Ctrl+- and Ctrl+0.
  void ZoomInClick();
  void ZoomOutClick();
  void ZoomResetClick();
  // Shows the zoom as it stands.
  void UpdateZoomLabel();

  // --- Images that changed on disk (the image watcher's reports). ---
  // The images in use got new pixels: the canvas, the strip and the dialog's image show them.
  void ImagesChanged();
  // A changed image file does not decode; told once, over the canvas.
  void ImageReloadFailed(const std::string &path, const std::string &reason);
  void ShowNotice(const QString &text);
  // Watches the image files in use while the window exists.
  std::unique_ptr<TImageWatcher> ImageWatcher;
  // --- Sprite definitions. ---
  // Mode 0 adds definitions, mode 1 updates one; shows the Add Sprite dialog modally.
  void ShowAddSpriteDialog(int mode);
  void Button9Click(); // Add Sprite Definition
  // Fills the dialog from sprite and shows it to update that definition.
  void EditSpriteDefinition(const TZeltoAniSprite *sprite);
  void Edit3Click(); // the sprite strip menu's "&Edit"

  // --- Playback. ---
  void Timer1Timer();
  void SpeedButton12Click(); // Play
  void SpeedButton27Click(); // Play, movie mode
  void Button4Click();       // Stop
  void SpeedButton35Click(); // Add Sound; its file is typed in the grid, which offers the sounds
  void SpeedButton33Click(); // Add Sound, movie mode
  // Opens the grid's editor on the sound's "file" row, as a click on it would.
  void EditSoundFileRow();

  // --- Canvas. ---
  void DXDraw1MouseDown(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers);
  void DXDraw1MouseMove(int x, int y, Qt::KeyboardModifiers modifiers);
  void DXDraw1MouseUp(Qt::MouseButton button, int x, int y);

  // --- TSessionView. ---
  void Refresh(TViewPart part, int row) override;
  void ClearFocus() override;
  void MovePointer(int x, int y) override;
  void ShowHint(const std::string &text, int x, int y) override;
  void HideHint() override;
  void ShowSpriteMenu(int x, int y) override;
  void ShowKeyMenu(bool deleteKey, int x, int y) override;
  void SelectActor(TZeltoActor *actor) override;
  void FileUsed(const std::string &path) override;

  // Sprite descriptions over the strip.
  QLabel *HintWindow = nullptr;

protected:
  void showEvent(QShowEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void dropEvent(QDropEvent *event) override;

private:
  void CreateControls();
  // The parts of the window that CreateControls makes, one after another.
  void CreateToolbar();
  void CreateCanvasPanel();
  void CreateFrameButtons();
  void CreateActorButtons();
  void CreateCanvasLabels();
  void CreateRightColumn();
  void CreateSelectionBox();
  void PlaceRightColumn();
  void CreateMenus();
  void CreateHiddenControls();
  void ConnectControls();
  // The keyboard shortcuts of the file and history commands.
  void CreateShortcuts();
  // Shows the panels, labels and lists of the current mode.
  void ShowMode();
  // The scroll bar for the strip's height and position.
  void ShowSpriteListRange();
  // The movie's actor list in ComboBox1, keeping the shown item where it still exists.
  void RefreshActorList();

  bool shown_ = false;
};

// What the window keeps between runs and across crashes: its geometry, the onion skin, the recent
// files behind the Load button, the keyboard shortcuts of the file commands, and the recovery of unsaved work.
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include "core/qt_text.h"
#include "editor/edit_frame.h"
#include "editor/settings.h"
#include "session/dialogs.h"

void TEditFrame::RestoreGeometry()
{
  // The first start keeps the window's own position and size.
  const QByteArray geometry = Settings().Geometry();
  if (!geometry.isEmpty())
    restoreGeometry(geometry);
}

void TEditFrame::OnionSkinButtonClick()
{
  Session.Scene.OnionSkin = OnionSkinButton->isChecked();
  Settings().SetOnionSkin(Session.Scene.OnionSkin);
  Session.DrawCanvas();
}

void TEditFrame::FileUsed(const std::string &path)
{
  Settings().AddRecentFile(PathFromQt(QFileInfo(PathToQt(path)).absoluteFilePath()));
}

void TEditFrame::RefreshRecentMenu()
{
  RecentMenu->clear();
  const std::vector<std::string> files = Settings().RecentFiles();
  if (files.empty()) {
    RecentMenu->addAction("No recent files")->setEnabled(false);
    return;
  }
  for (const std::string &file : files) {
    QAction *action = RecentMenu->addAction(PathToQt(file));
    // A file that has gone stays listed, so that its name is not lost, but cannot be chosen.
    action->setEnabled(QFileInfo(PathToQt(file)).isFile());
    connect(action, &QAction::triggered, this, [this, file] { OpenRecentFile(file); });
  }
}

void TEditFrame::OpenRecentFile(const std::string &path)
{
  Session.OpenFileCommand(path);
}

void TEditFrame::CreateShortcuts()
{
  auto shortcut = [this](const QKeySequence &keys, auto handler) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
  };
  // Undo and redo answer the keys every editor's users expect; no other command uses them.
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { SpeedButton24Click(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { SpeedButton25Click(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { SpeedButton25Click(); });
  // The file commands take the desktop's usual keys; Ctrl+N stays the offset shift.
  const struct
  {
    QToolButton *button;
    QKeySequence keys;
  } fileKeys[] = {{SpeedButton9, QKeySequence(Qt::CTRL | Qt::Key_O)},
                  {SpeedButton10, QKeySequence(Qt::CTRL | Qt::Key_S)},
                  {SpeedButton11, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}};
  for (const auto &[button, keys] : fileKeys) {
    // The button's own click, which does nothing while the button is disabled.
    shortcut(keys, [button = button] { button->click(); });
    button->setToolTip(button->toolTip() + " (" + keys.toString(QKeySequence::NativeText) + ")");
  }
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  // Zoom as in other Qt programs, beside the numeric pad's keys: Ctrl+= is Ctrl++ without Shift.
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { ZoomInClick(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomInClick(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { ZoomOutClick(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { ZoomResetClick(); });
}

void TEditFrame::ZoomInClick()
{
  Session.ZoomBy(ZoomStep);
  UpdateZoomLabel();
}

void TEditFrame::ZoomOutClick()
{
  Session.ZoomBy(1 / ZoomStep);
  UpdateZoomLabel();
}

void TEditFrame::ZoomResetClick()
{
  Session.ResetZoom();
  UpdateZoomLabel();
}

void TEditFrame::UpdateZoomLabel()
{
  const QString text = QString::number(qRound(Session.Scene.Zoom * 100)) + "%";
  if (ZoomLabel->text() != text)
    ZoomLabel->setText(text);
}

void TEditFrame::Autosave()
{
  Session.Autosave();
}

void TEditFrame::OfferRecoveries()
{
  for (const TRecovery &recovery : Session.FindRecoveries()) {
    const std::string name = recovery.FileName.empty() ? recovery.Name : recovery.FileName;
    const int answer = Session.Dialogs().AskChoice(
        "Recover", "Zeltrix did not close normally while " + name + " had unsaved changes. Restore them?",
        {"Restore", "Discard", "Later"});
    if (answer == 1) {
      Session.DiscardRecovery(recovery);
    } else if (answer == 0 && Session.RestoreRecovery(recovery)) {
      // One document is edited at a time: the others wait for the next start.
      Session.DrawCanvas();
      return;
    }
  }
}

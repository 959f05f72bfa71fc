// The window between runs and across crashes: geometry, recent files, dialog folders, the file
// shortcuts, drawing at a device pixel ratio of 2, autosave and the recovery after a kill.
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/sound_module.h"
#include "core/qt_text.h"
#include "editor/canvas_widget.h"
#include "editor/editor_fixture.h"
#include "editor/icons.h"
#include "editor/qt_dialogs.h"
#include "editor/settings.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using TMenuItems = std::vector<std::pair<std::string, bool>>;

// The recent-files menu's items and whether each can be chosen.
TMenuItems MenuItems(TEditFrame &f)
{
  f.RefreshRecentMenu();
  TMenuItems items;
  for (QAction *action : f.RecentMenu->actions())
    items.emplace_back(action->text().toStdString(), action->isEnabled());
  return items;
}

class DesktopTest : public EditorTest
{
protected:
  // A copy of a bundled animation in the scratch folder.
  std::string Copy(const std::string &name, const std::string &as)
  {
    return scratch.Write(as, ReadWholeFile(BundledGame() + "/" + name));
  }
  TempDir scratch;
};

} // namespace

TEST_F(DesktopTest, TheFirstStartKeepsItsGeometryAndLaterStartsTheLastOne)
{
  TEditFrame &first = Start();
  EXPECT_EQ(first.geometry().topLeft(), QPoint(219, 110));
  EXPECT_EQ(first.size(), QSize(563, 465));
  first.show();
  first.setGeometry(40, 50, 700, 520);
  ASSERT_TRUE(first.close());

  TEditFrame &second = Start();
  EXPECT_EQ(second.size(), QSize(700, 520));
  EXPECT_EQ(second.geometry().topLeft(), QPoint(40, 50));
}

TEST_F(DesktopTest, RecentFilesFollowLoadsAndSavesAndKeepFilesThatHaveGone)
{
  TEditFrame &f = Start();
  EXPECT_EQ(MenuItems(f), (TMenuItems{{"No recent files", false}}))
      << "the idle animation opened for want of another is not a recent file";

  const std::string a = Copy("walk.velk", "a.velk");
  const std::string b = Copy("idle.velk", "b.velk");
  const std::string c = scratch.Path() + "/c.velk";
  dialogs.ChosenFiles = {a};
  f.SpeedButton9Click();
  dialogs.ChosenFiles = {b};
  f.SpeedButton9Click();
  dialogs.ChosenFiles = {c};
  f.SpeedButton11Click(); // b saved as c
  dialogs.ChosenFiles = {a};
  f.SpeedButton9Click(); // again: moves to the top, listed once
  EXPECT_EQ(MenuItems(f), (TMenuItems{{a, true}, {c, true}, {b, true}}));

  // A file that has gone stays listed but cannot be chosen; the others open from the menu.
  fs::remove(b);
  EXPECT_EQ(MenuItems(f), (TMenuItems{{a, true}, {c, true}, {b, false}}));
  f.RecentMenu->actions().at(1)->trigger();
  EXPECT_EQ(f.Session.GetCurrentAni()->FileName, c);

  // At most ten, the oldest dropped; the list is kept for the next start.
  for (int i = 0; i < 12; ++i) {
    dialogs.ChosenFiles = {Copy("idle.velk", "many/" + std::to_string(i) + ".velk")};
    f.SpeedButton9Click();
  }
  TEditFrame &next = Start();
  const auto kept = MenuItems(next);
  ASSERT_EQ(kept.size(), size_t(TEditorSettings::MaxRecentFiles));
  EXPECT_EQ(kept.front().first, scratch.Path() + "/many/11.velk");
  EXPECT_EQ(kept.back().first, scratch.Path() + "/many/2.velk");
  EXPECT_EQ(next.SpeedButton9->popupMode(), QToolButton::MenuButtonPopup);
  EXPECT_EQ(next.SpeedButton9->menu(), next.RecentMenu);
}

TEST_F(DesktopTest, FileDialogsStartInTheFolderLastUsedWithThemWhenGivenNone)
{
  TEditorSettings settings(SettingsFile());
  TQtUiDialogs qtDialogs(nullptr, &settings);
  EXPECT_EQ(qtDialogs.StartIn("Import Sprites From Zelto Animation", "*.velk"), "*.velk");
  settings.SetLastFolder("Import Sprites From Zelto Animation", "/data/anims");
  settings.SetLastFolder("Save Zelto Animation", "/data/saved");
  EXPECT_EQ(qtDialogs.StartIn("Import Sprites From Zelto Animation", "*.velk"), "/data/anims/*.velk");
  EXPECT_EQ(qtDialogs.StartIn("Save Zelto Animation", "new.velk"), "/data/saved/new.velk");
  EXPECT_EQ(qtDialogs.StartIn("Save Zelto Animation", "/game/walk.velk"), "/game/walk.velk")
      << "a folder of the editor's own wins";
  EXPECT_EQ(qtDialogs.StartIn("Load Zelto Animation", ""), "") << "each dialog remembers its own";
}

TEST_F(DesktopTest, FileShortcutsPressTheirButtonsAndShowInTheirHints)
{
  const std::string walk = Copy("walk.velk", "walk.velk");
  TEditFrame &f = Start(walk);
  EXPECT_EQ(f.SpeedButton9->toolTip(), "Load Animation (Ctrl+O)");
  EXPECT_EQ(f.SpeedButton10->toolTip(), "Save Animation (Ctrl+S)");
  EXPECT_EQ(f.SpeedButton11->toolTip(), "Save as (Ctrl+Shift+S)");
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f)) << "window shortcuts need an active window";

  f.Session.Scene.Selection = {0};
  f.Session.MoveSelection(3, 0);
  ASSERT_TRUE(f.Session.GetCurrentAni()->Modified);
  QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(f.Session.GetCurrentAni()->Modified) << "Ctrl+S saved";
  EXPECT_EQ(dialogs.FileDialogs, 0);

  dialogs.ChosenFiles = {""};
  QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(dialogs.FileDialogs, 1) << "Ctrl+Shift+S asks for a file";
  dialogs.ChosenFiles = {""};
  QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs.FileDialogs, 2) << "Ctrl+O asks for a file";

  // Ctrl+Q closes through the save prompt: Cancel keeps the window, No closes it.
  f.Session.MoveSelection(1, 0);
  dialogs.Answers = {TAnswer::Cancel};
  QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(dialogs.Questions.size(), 1u);
  dialogs.Answers = {TAnswer::No};
  QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(f.isVisible());
}

TEST_F(DesktopTest, AtRatioTwoEveryScenePixelIsAUniformBlockAndIconsAreDrawnSharp)
{
  TEditFrame &f = Start(BundledGame() + "/walk.velk");
  f.show();
  f.Session.DrawCanvas();
  const QImage scene = f.Session.Setup.Display.Surface().Image();
  // The back buffer holds the canvas as far as the panel shows it.
  const QSize size = f.DXDraw1->size().boundedTo(scene.size());
  QImage device(size * 2, QImage::Format_RGB32);
  device.setDevicePixelRatio(2);
  f.DXDraw1->render(&device);
  int mismatches = 0;
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) {
      const QRgb expected = scene.pixel(x, y) | 0xff000000u;
      for (int d = 0; d < 4; ++d)
        mismatches += device.pixel(2 * x + d % 2, 2 * y + d / 2) != expected;
    }
  EXPECT_EQ(mismatches, 0);

  // The icon at ratio 2 is drawn at 48 pixels, not the 24-pixel one doubled.
  const QIcon icon = MakeIcon(TIconKind::Play);
  const QImage sharp = icon.pixmap(QSize(24, 24), 2.0).toImage();
  const QImage doubled = icon.pixmap(QSize(24, 24), 1.0).toImage().scaled(48, 48);
  ASSERT_EQ(sharp.size(), QSize(48, 48));
  EXPECT_NE(sharp.convertToFormat(doubled.format()), doubled);
}

TEST_F(DesktopTest, OnionSkinIsOffAtFirstAndItsButtonIsKept)
{
  TEditFrame &f = Start(BundledGame() + "/walk.velk");
  f.show();
  EXPECT_FALSE(f.OnionSkinButton->isChecked());
  f.Session.SetCurrentFrame(1);
  f.Session.DrawCanvas();
  const QImage plain = f.Session.Setup.Display.Surface().Image().copy();
  f.OnionSkinButton->click();
  EXPECT_TRUE(f.Session.Scene.OnionSkin);
  EXPECT_NE(f.Session.Setup.Display.Surface().Image(), plain) << "the walk's neighbouring frames show";

  TEditFrame &next = Start(BundledGame() + "/walk.velk");
  EXPECT_TRUE(next.OnionSkinButton->isChecked());
  EXPECT_TRUE(next.Session.Scene.OnionSkin);
  next.OnionSkinButton->click();
  EXPECT_FALSE(Start().Session.Scene.OnionSkin);
}

TEST_F(DesktopTest, AutosaveRunsEveryMinuteAndWhenTheWindowIsLeft)
{
  recoveryFolder = scratch.Path() + "/recovery";
  TEditFrame &f = Start(Copy("walk.velk", "walk.velk"));
  EXPECT_TRUE(f.AutosaveTimer.isActive());
  EXPECT_EQ(f.AutosaveTimer.interval(), 60 * 1000);
  f.Session.Scene.Selection = {0};
  f.Session.MoveSelection(3, 0);
  const std::string recovery = f.Session.RecoveryFile();
  EXPECT_FALSE(fs::exists(recovery));
  QEvent deactivated(QEvent::ActivationChange);
  QApplication::sendEvent(&f, &deactivated);
  EXPECT_TRUE(fs::exists(recovery));

  // A normal close, whatever the answer to the save prompt, leaves nothing to recover.
  f.show();
  dialogs.Answers = {TAnswer::No};
  ASSERT_TRUE(f.close());
  EXPECT_FALSE(fs::exists(recovery));
}

// The window starts without the sound system and its libraries; the first sound loads them. In a
// process of its own, where nothing else has played yet.
TEST_F(DesktopTest, TheSoundSystemIsLoadedByTheFirstSound)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto mapped = [](const char *library) {
    std::ifstream maps("/proc/self/maps");
    return std::string(std::istreambuf_iterator<char>(maps), {}).find(library) != std::string::npos;
  };
  EXPECT_EXIT(
      {
        TStartOptions options;
        options.GameFolder = options.ProgramFolder = BundledGame();
        options.Dialogs = &dialogs;
        options.SettingsFile = SettingsFile();
        TEditFrame window(std::move(options));
        window.show();
        QTest::qWait(100);
        const bool atStart = mapped("libQt6Multimedia") || mapped(SoundModuleFile);
        window.Session.AddSound(BundledGame() + "/step.wav", 24, 32);
        std::_Exit(!atStart && mapped(SoundModuleFile) ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Run as a separate process by the test below: edits, autosaves, and waits to be killed.
TEST_F(DesktopTest, ChildEditsAndWaitsToBeKilled)
{
  const QByteArray paths = qgetenv("ZELTRIX_KILLED_CHILD");
  if (paths.isEmpty())
    GTEST_SKIP() << "run by KilledEditorsEditIsOfferedAndRestoredOnTheNextStart";
  const QList<QByteArray> parts = paths.split('\n');
  recoveryFolder = parts.at(0).toStdString();
  TEditFrame &f = Start(parts.at(1).toStdString());
  f.Session.Scene.Selection = {0};
  f.Session.MoveSelection(9, 4);
  f.AutosaveTimer.setInterval(10);
  QTest::qWait(100);
  scratch.Write("ready", std::to_string(f.Session.CurrentPartList()->at(0)->X));
  fs::rename(scratch.Path() + "/ready", parts.at(2).toStdString());
  QTest::qWait(60 * 1000);
  FAIL() << "not killed";
}

TEST_F(DesktopTest, KilledEditorsEditIsOfferedAndRestoredOnTheNextStart)
{
  recoveryFolder = scratch.Path() + "/recovery";
  const std::string walk = Copy("walk.velk", "walk.velk");
  const std::string original = ReadWholeFile(walk);
  const std::string ready = scratch.Path() + "/child-ready";
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ZELTRIX_KILLED_CHILD", ToQt(recoveryFolder + "\n" + walk + "\n" + ready));
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=DesktopTest.ChildEditsAndWaitsToBeKilled"});
  ASSERT_TRUE(child.waitForStarted());
  for (int i = 0; i < 600 && !fs::exists(ready); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(fs::exists(ready)) << child.readAll().toStdString();
  ::kill(pid_t(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished());
  ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
  const int editedX = std::stoi(ReadWholeFile(ready));
  EXPECT_EQ(ReadWholeFile(walk), original) << "the child never saved";

  // Later keeps the file for another start; Restore brings the edit back, unsaved.
  TEditFrame &later = Start();
  dialogs.Choices = {2};
  later.OfferRecoveries();
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_NE(dialogs.Questions[0].find(walk), std::string::npos) << dialogs.Questions[0];
  EXPECT_EQ(later.Session.GetCurrentAni()->FileName, BundledGame() + "/idle.velk");

  TEditFrame &f = Start();
  dialogs.Choices = {0};
  f.OfferRecoveries();
  TZeltoAni *ani = f.Session.GetCurrentAni();
  EXPECT_EQ(ani->FileName, walk);
  EXPECT_TRUE(ani->Modified);
  EXPECT_EQ(f.Session.CurrentPartList()->at(0)->X, editedX);
  EXPECT_TRUE(f.windowTitle().endsWith("walk.velk (modified)")) << f.windowTitle().toStdString();
  f.SpeedButton10Click();
  EXPECT_NE(ReadWholeFile(walk), original) << "Save writes the restored edit to its own file";

  // Discard deletes a recovery for good.
  const std::string gone = scratch.Write("recovery/99999999.velk", original);
  scratch.Write("recovery/99999999.info", walk + "\nwalk\n");
  dialogs.Choices = {1};
  f.OfferRecoveries();
  EXPECT_FALSE(fs::exists(gone));
}

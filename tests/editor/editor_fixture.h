// The editor tests' window, started on a game folder with the test's dialogs and sound device.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "editor/canvas_widget.h"
#include "editor/edit_frame.h"
#include "editor/options_grid.h"
#include "model/context.h"
#include "session/session_fixture.h"

// Restores the current folder, which starting with a file argument changes.
class EditorTest : public ::testing::Test
{
protected:
  void SetUp() override { folder_ = std::filesystem::current_path(); }
  void TearDown() override
  {
    frame.reset();
    Context().AutoAniSetting = true;
    Context().Zelto2002Mode = false;
    std::filesystem::current_path(folder_);
  }

  TEditFrame &Start(const std::string &file = "", const std::string &game = BundledGame())
  {
    TStartOptions options;
    options.File = file;
    options.GameFolder = game;
    options.ProgramFolder = game;
    options.Dialogs = &dialogs;
    // The user's own settings stay untouched.
    options.SettingsFile = SettingsFile();
    options.RecoveryFolder = recoveryFolder;
    options.SoundDevice = std::make_unique<TRecordingSound>(&played);
    frame = std::make_unique<TEditFrame>(std::move(options));
    return *frame;
  }

  // A started window on a new document, shown and active, as an animator has it.
  TEditFrame &StartActive()
  {
    TEditFrame &f = Start();
    f.SpeedButton34Click();
    f.show();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    return f;
  }

  std::string SettingsFile() const { return scratch_.filePath("settings.ini").toStdString(); }

  // A mouse event at a canvas position, sent to the canvas as the window system would.
  void Mouse(QEvent::Type type, const QPoint &p, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = {})
  {
    const bool down = type == QEvent::MouseButtonPress || type == QEvent::MouseMove;
    QMouseEvent event(type, QPointF(p), frame->DXDraw1->mapToGlobal(QPointF(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, down ? button : Qt::NoButton, modifiers);
    QApplication::sendEvent(frame->DXDraw1, &event);
  }
  // A press, two moves and a release on the canvas.
  void Drag(const QPoint &from, const QPoint &to, Qt::MouseButton button = Qt::LeftButton)
  {
    Mouse(QEvent::MouseButtonPress, from, button);
    Mouse(QEvent::MouseMove, (from + to) / 2, button);
    Mouse(QEvent::MouseMove, to, button);
    Mouse(QEvent::MouseButtonRelease, to, button);
  }

  // A click on a cell of the options grid, as the mouse gives it: scrolled into view first.
  void ClickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton)
  {
    TOptionsGrid &grid = *frame->StringGrid1;
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), button, Qt::NoModifier, grid.visualRect(cell).center());
  }
  // The grid row whose label is label, or -1.
  int RowLabelled(const std::string &label) const
  {
    for (int row = 0; row < frame->Session.GridRowCount(); ++row)
      if (frame->Session.GridRow(row).Label == label)
        return row;
    return -1;
  }
  // Replaces the text of the grid's open editor key by key and ends the edit with key.
  void TypeIntoGrid(const std::string &text, Qt::Key end = Qt::Key_Return)
  {
    QLineEdit *editor = frame->StringGrid1->Editor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    if (text.empty())
      QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, QString::fromStdString(text));
    QTest::keyClick(editor, end);
  }

  TTestDialogs dialogs;
  std::string recoveryFolder; // empty: no recovery files
  std::vector<std::string> played;
  std::unique_ptr<TEditFrame> frame;

private:
  std::filesystem::path folder_;
  QTemporaryDir scratch_;
};

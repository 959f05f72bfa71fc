// The editor tests' window, started on a game folder with the test's dialogs and sound device.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "editor/canvas_widget.h"
#include "editor/edit_frame.h"
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

  TTestDialogs dialogs;
  std::string recoveryFolder; // empty: no recovery files
  std::vector<std::string> played;
  std::unique_ptr<TEditFrame> frame;

private:
  std::filesystem::path folder_;
  QTemporaryDir scratch_;
};

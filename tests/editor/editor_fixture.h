// The editor tests' window, started on a game folder with the test's dialogs and sound device.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

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

  TTestDialogs dialogs;
  std::string recoveryFolder; // empty: no recovery files
  std::vector<std::string> played;
  std::unique_ptr<TEditFrame> frame;

private:
  std::filesystem::path folder_;
  QTemporaryDir scratch_;
};

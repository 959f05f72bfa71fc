// Shared helpers of the editor tests: dialogs answered by the test, a sound device that records
// what it plays, and a window started on a game folder.
#pragma once

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "editor/edit_frame.h"
#include "editor/ui_dialogs.h"

class TTestDialogs : public TUiDialogs
{
public:
  std::deque<TAnswer> Answers;         // next Yes/No/Cancel answers
  std::deque<std::string> ChosenFiles; // next file dialog results; empty text = cancel
  std::vector<std::string> Questions;  // every message text shown
  std::vector<std::string> Errors;
  int FileDialogs = 0;

  TAnswer AskYesNoCancel(const std::string &title, const std::string &text) override
  {
    Questions.push_back(title + ": " + text);
    TAnswer answer = Answers.empty() ? TAnswer::Cancel : Answers.front();
    if (!Answers.empty())
      Answers.pop_front();
    return answer;
  }
  bool AskOkCancel(const std::string &title, const std::string &text) override
  {
    Questions.push_back(title + ": " + text);
    return true;
  }
  void ShowError(const std::string &text) override { Errors.push_back(text); }
  bool OpenFile(const std::string &, const std::string &, const std::string &, std::string &chosen) override
  {
    return Choose(chosen);
  }
  bool SaveFile(const std::string &, const std::string &, const std::string &, std::string &chosen) override
  {
    return Choose(chosen);
  }
  bool ChooseFont(std::string &, int) override { return false; }
  bool ChooseColor(uint32_t &) override { return false; }

private:
  bool Choose(std::string &chosen)
  {
    ++FileDialogs;
    if (ChosenFiles.empty() || ChosenFiles.front().empty()) {
      if (!ChosenFiles.empty())
        ChosenFiles.pop_front();
      return false;
    }
    chosen = ChosenFiles.front();
    ChosenFiles.pop_front();
    return true;
  }
};

// Records the samples played, by the lower-case path the wave list gives them.
class TRecordingSound : public TSoundDevice
{
public:
  explicit TRecordingSound(std::vector<std::string> *played) : played_(played) {}
  bool Available() override { return true; }
  void Load(TWave &, const std::string &) override {}
  void Play(TWave &wave) override { played_->push_back(wave.Name); }

private:
  std::vector<std::string> *played_;
};

inline std::string BundledGame()
{
  return std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";
}

// Restores the current folder, which starting with a file argument changes.
class EditorTest : public ::testing::Test
{
protected:
  void SetUp() override { folder_ = std::filesystem::current_path(); }
  void TearDown() override
  {
    frame.reset();
    std::filesystem::current_path(folder_);
  }

  TEditFrame &Start(const std::string &file = "", const std::string &game = BundledGame())
  {
    TStartOptions options;
    options.File = file;
    options.GameFolder = game;
    options.ProgramFolder = game;
    options.Dialogs = &dialogs;
    options.SoundDevice = std::make_unique<TRecordingSound>(&played);
    frame = std::make_unique<TEditFrame>(std::move(options));
    return *frame;
  }

  TTestDialogs dialogs;
  std::vector<std::string> played;
  std::unique_ptr<TEditFrame> frame;

private:
  std::filesystem::path folder_;
};

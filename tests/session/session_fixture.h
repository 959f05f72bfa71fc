// What the session tests and the window tests share: dialogs answered by the test and a sound
// device that records what it plays.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "session/dialogs.h"

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
  bool ChooseFont(std::string &name, int size) override
  {
    FontSizes.push_back(size);
    if (ChosenFont.empty())
      return false;
    name = ChosenFont;
    return true;
  }
  bool ChooseColor(uint32_t &color) override
  {
    ShownColors.push_back(color);
    if (!ChosenColor)
      return false;
    color = *ChosenColor;
    return true;
  }

  std::string ChosenFont;              // empty: the font dialog is cancelled
  std::optional<uint32_t> ChosenColor; // none: the colour dialog is cancelled
  std::vector<int> FontSizes;          // sizes the font dialog was shown with
  std::vector<uint32_t> ShownColors;   // colours the colour dialog was shown with

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

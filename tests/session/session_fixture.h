// What the session tests and the window tests share: dialogs answered by the test and a sound
// device that records what it plays.
#pragma once

#include <QPoint>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "model/default_frame.h"
#include "model/document.h"
#include "session/dialogs.h"
#include "session/edit_session.h"

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
  int AskChoice(const std::string &title, const std::string &text, const std::vector<std::string> &) override
  {
    Questions.push_back(title + ": " + text);
    if (Choices.empty())
      return -1;
    const int choice = Choices.front();
    Choices.pop_front();
    return choice;
  }
  std::deque<int> Choices; // next AskChoice answers (index of the button); none: closed
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

// Replaces the session's frames by default frames of the given durations; frame 0 is current.
inline TZeltoAni &Frames(TEditSession &s, const std::vector<int> &durations)
{
  TZeltoAni &ani = *s.GetCurrentAni();
  ani.Steps.clear();
  for (size_t i = 0; i < durations.size(); ++i) {
    InsertDefaultFrame(&ani, int(i));
    ani.Steps[i]->Duration = durations[i];
  }
  RecomputeStartTicks(&ani);
  s.SetCurrentFrame(0);
  return ani;
}

// Appends a definition of the given index and image to ani's sprites.
inline TZeltoAniSprite *AddDefinition(TZeltoAni &ani, int index, const std::string &image = "")
{
  ani.Sprites.push_back(std::make_unique<TZeltoAniSprite>());
  ani.Sprites.back()->Index = index;
  ani.Sprites.back()->Image = image;
  return ani.Sprites.back().get();
}

// A session started on the bundled game folder, its canvas laid out as the window lays out a
// canvas of 393 x 391 (the default window's), on a new document: one frame whose directions
// each hold the 24 x 16 shadow at (12, 34).
class SessionTest : public ::testing::Test
{
protected:
  void SetUp() override { folder_ = std::filesystem::current_path(); }
  void TearDown() override
  {
    session.reset();
    std::filesystem::current_path(folder_);
  }

  TEditSession &Start(const std::string &file = "")
  {
    session = std::make_unique<TEditSession>(&dialogs, nullptr, std::make_unique<TRecordingSound>(&played));
    TStartOptions options;
    options.File = file;
    options.GameFolder = BundledGame();
    options.ProgramFolder = BundledGame();
    session->Start(options);
    session->Setup.LayOut(393, 391, 17);
    return *session;
  }

  // Start() on a new document.
  TEditSession &StartNew()
  {
    Start().NewAnimation();
    return *session;
  }

  TPartList &Parts() { return *session->CurrentPartList(); }
  // Appends a shadow part at (x, y) to the current list.
  TZeltoAniPart *AddShadow(int x, int y)
  {
    auto part = std::make_unique<TZeltoAniPart>(TZeltoAniPart{FindSprite(session->GetCurrentAni(), 0), -1, -1, x, y});
    Parts().push_back(std::move(part));
    return Parts().back().get();
  }
  // The canvas position of the shadow's opaque middle (zoom 1: scene and canvas agree).
  QPoint On(const TZeltoAniPart &part) const
  {
    return QPoint(session->Scene.OriginX + part.X + 12, session->Scene.OriginY + part.Y + 8);
  }
  void Click(const QPoint &p, bool shift = false, bool ctrl = false)
  {
    session->MouseDown(false, p.x(), p.y(), shift, ctrl);
    session->MouseUp(p.x(), p.y());
  }
  void Drag(const QPoint &from, const QPoint &to)
  {
    session->MouseDown(false, from.x(), from.y());
    session->MouseMove((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    session->MouseMove(to.x(), to.y());
    session->MouseUp(to.x(), to.y());
  }
  std::vector<TZeltoAniPart *> PartObjects()
  {
    std::vector<TZeltoAniPart *> parts;
    for (const auto &part : Parts())
      parts.push_back(part.get());
    return parts;
  }

  TTestDialogs dialogs;
  std::vector<std::string> played;
  std::unique_ptr<TEditSession> session;

private:
  std::filesystem::path folder_;
};

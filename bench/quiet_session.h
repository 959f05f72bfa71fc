// An edit session for benchmarks: every dialog answered without a window, no sound output, the
// bundled game folder, the canvas laid out at 1024 x 768.
#pragma once

#include <memory>
#include <string>

#include "session/dialogs.h"
#include "session/edit_session.h"

class TNoDialogs : public TUiDialogs
{
public:
  TAnswer AskYesNoCancel(const std::string &, const std::string &) override { return TAnswer::No; }
  bool AskOkCancel(const std::string &, const std::string &) override { return true; }
  void ShowError(const std::string &) override {}
  int AskChoice(const std::string &, const std::string &, const std::vector<std::string> &) override { return -1; }
  bool OpenFile(const std::string &, const std::string &, const std::string &, std::string &) override { return false; }
  bool SaveFile(const std::string &, const std::string &, const std::string &, std::string &) override { return false; }
  bool ChooseFont(std::string &, int) override { return false; }
  bool ChooseColor(uint32_t &) override { return false; }
};

class TSilence : public TSoundDevice
{
public:
  bool Available() override { return false; }
  void Load(TWave &, const std::string &) override {}
  void Play(TWave &) override {}
};

inline std::string BundledGameFolder()
{
  return std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";
}

// A started session (showing the idle animation) on the bundled game folder.
inline std::unique_ptr<TEditSession> MakeQuietSession(TNoDialogs &dialogs)
{
  auto session = std::make_unique<TEditSession>(&dialogs, nullptr, std::make_unique<TSilence>());
  TStartOptions options;
  options.GameFolder = BundledGameFolder();
  options.ProgramFolder = options.GameFolder;
  session->Start(options);
  session->Setup.LayOut(1024, 768, 17);
  return session;
}

// What a benchmark's edit session asks of a user and a sound device: nothing is answered, nothing
// is heard.
#pragma once

#include "audio/sound.h"
#include "session/dialogs.h"

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

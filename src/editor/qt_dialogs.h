// The editor's questions as Qt's message boxes and file, font and colour dialogs.
#pragma once

#include "session/dialogs.h"

class QWidget;

class TQtUiDialogs : public TUiDialogs
{
public:
  explicit TQtUiDialogs(QWidget *parent) : parent_(parent) {}

  TAnswer AskYesNoCancel(const std::string &title, const std::string &text) override;
  bool AskOkCancel(const std::string &title, const std::string &text) override;
  void ShowError(const std::string &text) override;
  bool OpenFile(const std::string &title, const std::string &start, const std::string &filter,
                std::string &chosen) override;
  bool SaveFile(const std::string &title, const std::string &start, const std::string &filter,
                std::string &chosen) override;
  bool ChooseFont(std::string &name, int size) override;
  bool ChooseColor(uint32_t &color) override;

private:
  QWidget *parent_;
};

// The editor's questions as Qt's message boxes and file, font and colour dialogs.
#pragma once

#include "session/dialogs.h"

class QWidget;
class TEditorSettings;

// The file dialogs start in the folder last used with them when the editor gives no folder of
// its own, and remember the folder chosen.
class TQtUiDialogs : public TUiDialogs
{
public:
  explicit TQtUiDialogs(QWidget *parent, TEditorSettings *settings = nullptr) : parent_(parent), settings_(settings) {}
  void SetSettings(TEditorSettings *settings) { settings_ = settings; }

  TAnswer AskYesNoCancel(const std::string &title, const std::string &text) override;
  bool AskOkCancel(const std::string &title, const std::string &text) override;
  void ShowError(const std::string &text) override;
  int AskChoice(const std::string &title, const std::string &text, const std::vector<std::string> &buttons) override;
  bool OpenFile(const std::string &title, const std::string &start, const std::string &filter,
                std::string &chosen) override;
  bool SaveFile(const std::string &title, const std::string &start, const std::string &filter,
                std::string &chosen) override;
  bool ChooseFont(std::string &name, int size) override;
  bool ChooseColor(uint32_t &color) override;

  // Where a file dialog starts: start, in the folder last used with the dialog when start names
  // no folder.
  std::string StartIn(const std::string &title, const std::string &start) const;

private:
  void Remember(const std::string &title, const std::string &chosen);

  QWidget *parent_;
  TEditorSettings *settings_;
};

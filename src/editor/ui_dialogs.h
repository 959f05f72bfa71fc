// Every question the window asks the user goes through TUiDialogs: message boxes, the open and
// save file dialogs, and the font and colour dialogs of the attribute grid. The window uses the
// Qt implementation; tests answer with their own.
#pragma once

#include <QString>
#include <string>

#include "model/dialogs.h"

class QWidget;

enum class TAnswer { Yes, No, Cancel };

class TUiDialogs : public TDialogs
{
public:
  // A question with Yes, No and Cancel and the question icon.
  virtual TAnswer AskYesNoCancel(const std::string &title, const std::string &text) = 0;
  // A warning with OK and Cancel and the exclamation icon; true for OK.
  virtual bool AskOkCancel(const std::string &title, const std::string &text) = 0;
  // An error that abandons a command (a failed write).
  virtual void ShowError(const std::string &text) = 0;
  // The open dialog; true with the first chosen file.
  virtual bool OpenFile(const std::string &title, const std::string &start, const std::string &filter,
                        std::string &chosen) = 0;
  // The save dialog (asks before overwriting); true with the chosen file.
  virtual bool SaveFile(const std::string &title, const std::string &start, const std::string &filter,
                        std::string &chosen) = 0;
};

// The real dialogs, parented to the main window.
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

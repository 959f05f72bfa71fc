// Every question the editor asks the user: message boxes, the open and save file dialogs, and the
// font and colour dialogs of the attribute grid. The window answers with Qt's dialogs; tests
// answer with their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TAnswer { Yes, No, Cancel };

class TUiDialogs
{
public:
  virtual ~TUiDialogs() = default;
  // A question with Yes, No and Cancel and the question icon.
  virtual TAnswer AskYesNoCancel(const std::string &title, const std::string &text) = 0;
  // A warning with OK and Cancel and the exclamation icon; true for OK.
  virtual bool AskOkCancel(const std::string &title, const std::string &text) = 0;
  // An error that abandons a command (a failed write).
  virtual void ShowError(const std::string &text) = 0;
  // A question with the given buttons; the index of the chosen one, or -1 when closed otherwise.
  virtual int AskChoice(const std::string &title, const std::string &text, const std::vector<std::string> &buttons) = 0;
  // The open dialog; true with the first chosen file.
  virtual bool OpenFile(const std::string &title, const std::string &start, const std::string &filter,
                        std::string &chosen) = 0;
  // The save dialog (asks before overwriting); true with the chosen file.
  virtual bool SaveFile(const std::string &title, const std::string &start, const std::string &filter,
                        std::string &chosen) = 0;
  // The font dialog with name and size; true with the chosen font name when confirmed.
  virtual bool ChooseFont(std::string &name, int size) = 0;
  // The colour dialog with color (0xBBGGRR, the platform's order); true when confirmed.
  virtual bool ChooseColor(uint32_t &color) = 0;
};

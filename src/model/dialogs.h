// The font and colour dialogs that attribute clicks open. The window installs the real ones;
// without them the dialogs report a cancel.
#pragma once

#include <cstdint>
#include <string>

class TDialogs
{
public:
  virtual ~TDialogs() = default;
  // Shows the font dialog with name and size; true with the chosen font name when confirmed.
  virtual bool ChooseFont(std::string &name, int size) = 0;
  // Shows the colour dialog with color (0xBBGGRR, the platform's order); true when confirmed.
  virtual bool ChooseColor(uint32_t &color) = 0;
};

// The dialogs in effect, or none.
TDialogs *Dialogs();
void SetDialogs(TDialogs *dialogs);

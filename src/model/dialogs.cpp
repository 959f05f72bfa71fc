#include "model/dialogs.h"

static TDialogs *currentDialogs = nullptr;

TDialogs *Dialogs()
{
  return currentDialogs;
}

void SetDialogs(TDialogs *dialogs)
{
  currentDialogs = dialogs;
}

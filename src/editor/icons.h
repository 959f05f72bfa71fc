// Toolbar and panel icons, drawn in code so the editor ships no image files of its own.
#pragma once

#include <QIcon>

enum class TIconKind {
  New,
  Open,
  Save,
  SaveAs,
  Undo,
  Redo,
  AddSprite,
  RemoveUnused,
  Import,
  Reverse,
  Play,
  Stop,
  AddFrame,
  DeleteFrame,
  CopyFrame,
  InsertBefore,
  InsertAfter,
  AddSound,
  OnionSkin,
  AddCharacter,
  AddText,
  DeleteActor,
  CopyActor,
  InsertActor,
  Up,
  Down,
  Left,
  Right,
  ToFront,
  ToBack
};

QIcon MakeIcon(TIconKind kind);

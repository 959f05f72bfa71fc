// The model's process-wide state in one place: the editor it reports to, the file named on the
// command line, the actors' default-name counters and the two options of the movie panel.
#pragma once

#include <array>
#include <string>

#include "model/actor_kinds.h"

class TEditorLink;

struct TModelContext
{
  // The editor the model reports to; none for a program without one (then the model only sets
  // its own fields).
  TEditorLink *Link = nullptr;
  // Set once at start to the file named on the command line; the next ReadAnimation reads it
  // instead of resolving the name, and empties it.
  std::string StartFilePath;
  // The next number of each kind's default actor names; they start at 1 and are never reset.
  std::array<int, ActorKindCount> ActorNameCounters{1, 1, 1, 1};
  // "Automatic Velk Setting": moving a character keys its walk and idle animations.
  bool AutoAniSetting = true;
  // "Zelto2002 velks": the idle and walk animations are "human_idle" and "human_walk".
  bool Zelto2002Mode = false;
  // Nested actors alive now (see MaxNestedActors).
  int NestedActors = 0;
};

TModelContext &Context();

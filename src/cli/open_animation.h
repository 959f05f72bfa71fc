// Reads an animation for a velk subcommand the way the editor reads it for its main actor.
#pragma once

#include <QString>
#include <memory>

#include "model/document.h"
#include "model/actor.h"

struct LoadedAnimation
{
  std::unique_ptr<TZeltoActor> Owner;  // the player the document is read for
  std::unique_ptr<TZeltoAni> Ani;
};

LoadedAnimation OpenAnimation(const QString &file);

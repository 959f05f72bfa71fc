// Reads an animation for a velk subcommand the way the editor reads it for its main actor.
#pragma once

#include <QString>
#include <memory>

#include "document/document.h"
#include "movie/actor.h"

struct LoadedAnimation
{
  std::unique_ptr<TZeltoActor> Owner;  // the player the document is read for
  std::unique_ptr<TZeltoAni> Ani;
};

LoadedAnimation OpenAnimation(const QString &file);

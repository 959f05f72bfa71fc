// The start that the subcommands reading one animation FILE share: their arguments, the game
// folder, and FILE read the way the editor reads it for its main actor.
#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <memory>

#include "cli/animation_folder.h"
#include "model/actor.h"
#include "model/document.h"

struct LoadedAnimation
{
  // The animation's folder, current while it is evaluated and drawn; left before outputs are written.
  TAnimationFolder Folder;
  std::unique_ptr<TZeltoActor> Owner; // the player the document is read for
  std::unique_ptr<TZeltoAni> Ani;
};

// Describes the subcommand and its FILE argument, adds --game-dir and --help to the options the
// caller added, and parses args. False after a usage error was printed.
bool ParseFileCommand(QCommandLineParser &parser, const QStringList &args, const char *description);

// Sets up the game folder and reads FILE (the first argument) inside its folder, which stays the
// current folder until loaded.Folder is left. False after printing
// "cannot read FILE: REASON".
bool OpenFileArgument(const QCommandLineParser &parser, LoadedAnimation &loaded);

#include "cli/open_animation.h"

#include "cli/command.h"

bool ParseFileCommand(QCommandLineParser &parser, const QStringList &args, const char *description)
{
  parser.setApplicationDescription(description);
  parser.addPositionalArgument("FILE", "an animation name (resolved in the game folder) or path");
  return ParseSubcommand(parser, args, 1);
}

bool OpenFileArgument(const QCommandLineParser &parser, LoadedAnimation &loaded)
{
  SetUpGameFolder(parser);
  const std::string file = NameFromQt(parser.positionalArguments().first());
  loaded.Owner = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  std::string reason;
  loaded.Ani = ReadInItsFolder(loaded.Owner.get(), file, loaded.Folder, reason);
  if (!loaded.Ani) {
    Fail("cannot read " + file + (reason.empty() ? "" : ": " + reason));
    return false;
  }
  return true;
}

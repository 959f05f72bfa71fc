#include "cli/open_animation.h"

#include "cli/command.h"
#include "model/reader.h"

bool ParseFileCommand(QCommandLineParser &parser, const QStringList &args, const char *description)
{
  parser.setApplicationDescription(description);
  parser.addPositionalArgument("FILE", "an animation name (resolved in the game folder) or path");
  return ParseSubcommand(parser, args, 1);
}

bool OpenFileArgument(const QCommandLineParser &parser, LoadedAnimation &loaded)
{
  SetUpGameFolder(parser);
  const QString file = parser.positionalArguments().first();
  loaded.Owner = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  std::string reason;
  loaded.Ani = ReadAnimation(loaded.Owner.get(), NameFromQt(file), &reason);
  if (!loaded.Ani) {
    Fail("cannot read " + NameFromQt(file) + (reason.empty() ? "" : ": " + reason));
    return false;
  }
  return true;
}

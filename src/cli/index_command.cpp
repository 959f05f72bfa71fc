// velk index DIR: the game folder index of DIR, one "key<TAB>path" line per entry.
#include <QDir>

#include "cli/command.h"
#include "images/file_index.h"

int RunIndex(const QStringList &args)
{
  QCommandLineParser parser;
  parser.setApplicationDescription("Indexes DIR as the game folder and prints each entry's key and path.");
  parser.addPositionalArgument("DIR", "the game folder");
  if (!ParseSubcommand(parser, args, 1))
    return ExitUsageError;
  const QString dir = parser.positionalArguments().first();
  if (!QDir(dir).exists())
    return Fail("cannot read " + PathFromQt(dir));
  UseGameFolder(PathFromQt(dir));
  std::string out;
  for (const TFileListEntry &entry : FileIndex())
    out += entry.Name + "\t" + entry.Path + "\n";
  return Print(out);
}

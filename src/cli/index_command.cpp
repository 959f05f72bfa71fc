// velk index DIR: the game folder index of DIR, one "key<TAB>path" line per entry.
#include <filesystem>

#include "cli/command.h"
#include "images/file_index.h"

int RunIndex(const QStringList &args)
{
  QCommandLineParser parser;
  parser.setApplicationDescription("Indexes DIR as the game folder and prints each entry's key and path.");
  parser.addPositionalArgument("DIR", "the game folder");
  if (!ParseSubcommand(parser, args, 1, false, TGameDir::NotTaken))
    return ExitUsageError;
  const std::string dir = NameFromQt(parser.positionalArguments().first());
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error))
    return Fail("cannot read " + dir + ": " +
                (std::filesystem::exists(dir, error) ? "not a folder" : "no such folder"));
  UseGameFolder(dir);
  std::string out;
  for (const TFileListEntry &entry : FileIndex())
    out += entry.Name + "\t" + entry.Path + "\n";
  return Print(out);
}

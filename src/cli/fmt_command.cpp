// velk fmt FILE [-o OUT]: reads an animation and writes it back exactly as Save would.
#include "cli/command.h"
#include "cli/open_animation.h"
#include "model/document.h"
#include "model/writer.h"

int RunFmt(const QStringList &args)
{
  QCommandLineParser parser;
  parser.addOption({{"o", "output"}, "Write to OUT (the document's file name) instead of standard output.", "OUT"});
  if (!ParseFileCommand(parser, args, "Reads FILE and writes it back with the animation writer."))
    return ExitUsageError;
  LoadedAnimation loaded;
  if (!OpenFileArgument(parser, loaded))
    return ExitInputError;
  loaded.Folder.Leave();
  if (!parser.isSet("o"))
    return Print(AnimationText(loaded.Ani.get()));
  loaded.Ani->FileName = NameFromQt(parser.value("o"));
  std::string error;
  if (!WriteAnimation(loaded.Ani.get(), &error))
    return Fail("cannot write " + loaded.Ani->FileName + ": " + error);
  return ExitOk;
}

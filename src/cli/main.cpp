// velk: the headless tool over Zeltrix's reader, writer, folder index, decoders and renderer.
#include <QGuiApplication>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/interruption.h"
#include "cli/task_pool.h"

using Runner = int (*)(const QStringList &);

namespace {

struct TSubcommand
{
  Runner Run;
  TGameDir GameDir;
};

const std::map<QString, TSubcommand> &Subcommands()
{
  static const std::map<QString, TSubcommand> commands = {
      {"dump", {RunDump, TGameDir::Taken}},      {"fmt", {RunFmt, TGameDir::Taken}},
      {"index", {RunIndex, TGameDir::NotTaken}}, {"image", {RunImage, TGameDir::Taken}},
      {"state", {RunState, TGameDir::Taken}},    {"render", {RunRender, TGameDir::Taken}},
      {"export", {RunExport, TGameDir::Taken}},  {"check", {RunCheck, TGameDir::Taken}},
  };
  return commands;
}

// Qt's own warnings (about runtime folders, fonts and the like) are not velk's diagnostics.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
  if (type == QtFatalMsg)
    std::fprintf(stderr, "velk: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char **argv)
{
  qInstallMessageHandler(QuietMessages);
  // velk never needs a display, whatever the environment asks for.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  // Qt is given the program's name alone: every argument is velk's, none is Qt's (-platform...).
  static int qtArgc = 1;
  static char *qtArgv[] = {argv[0], nullptr};
  QGuiApplication app(qtArgc, qtArgv);
  QGuiApplication::setApplicationName("velk");
  QGuiApplication::setApplicationVersion(ZELTRIX_VERSION);
  HandleInterruptions();

  // A worker is started as "velk --worker" and reads its arguments from standard input.
  if (arguments == std::vector<std::string>{"--worker"}) {
    if (!ReadWorkerArguments(arguments))
      return Fail("--worker is for the worker processes velk starts itself", ExitUsageError);
    SetWorkerMode();
  }
  QStringList args{"velk"};
  for (const std::string &argument : arguments)
    args << NameToQt(argument);

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Reads, writes, checks and renders Zeltrix animations.\n\n"
      "Subcommands: dump, fmt, index, image, state, render, export, check. Run 'velk SUBCOMMAND --help' for each.");
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  QCommandLineOption gameDir("game-dir", "Use DIR as the game folder whose tree is indexed (not for index).", "DIR");
  parser.addOption(gameDir);
  parser.addOption(HelpOption());
  parser.addVersionOption();
  parser.addPositionalArgument("SUBCOMMAND", "dump, fmt, index, image, state, render, export or check",
                               "SUBCOMMAND [ARGUMENTS]");
  if (!parser.parse(args))
    return Fail(NameFromQt(parser.errorText()), ExitUsageError);
  if (parser.isSet("help"))
    PrintAndExit(HelpText(parser, "velk"));
  if (parser.isSet("version"))
    PrintAndExit(QGuiApplication::applicationName() + " " + QGuiApplication::applicationVersion() + "\n");

  QStringList rest = parser.positionalArguments();
  if (rest.isEmpty())
    return Fail("no subcommand; see --help", ExitUsageError);
  auto command = Subcommands().find(rest.first());
  if (command == Subcommands().end())
    return Fail("unknown subcommand " + NameFromQt(rest.first()) + "; see --help", ExitUsageError);

  // The subcommand sees "velk SUBCOMMAND" as its program name and the global options after it.
  QStringList subcommandArgs = rest.mid(1);
  subcommandArgs.prepend("velk " + rest.first());
  if (parser.isSet(gameDir)) {
    if (command->second.GameDir == TGameDir::NotTaken)
      return Fail(NameFromQt(rest.first()) + " takes no --game-dir (its DIR is the game folder)", ExitUsageError);
    subcommandArgs << "--game-dir" << parser.value(gameDir);
  }
  return command->second.Run(subcommandArgs);
}

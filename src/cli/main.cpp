// velk: the headless tool over Zeltrix's reader, writer, folder index, decoders and renderer.
#include <QGuiApplication>
#include <cstdio>
#include <map>

#include "cli/command.h"

using Runner = int (*)(const QStringList &);

static const std::map<QString, Runner> &Subcommands()
{
  static const std::map<QString, Runner> commands = {
      {"dump", RunDump},   {"fmt", RunFmt},       {"index", RunIndex},   {"image", RunImage},
      {"state", RunState}, {"render", RunRender}, {"export", RunExport}, {"check", RunCheck},
  };
  return commands;
}

// Qt's own warnings (about runtime folders, fonts and the like) are not velk's diagnostics.
static void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
  if (type == QtFatalMsg)
    std::fprintf(stderr, "velk: %s\n", message.toLocal8Bit().constData());
}

int main(int argc, char **argv)
{
  qInstallMessageHandler(QuietMessages);
  // velk never needs a display: the offscreen platform unless the caller chose one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName("velk");
  QGuiApplication::setApplicationVersion(ZELTRIX_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Reads, writes, checks and renders Zeltrix animations.\n\n"
      "Subcommands: dump, fmt, index, image, state, render, export, check. Run 'velk SUBCOMMAND --help' for each.");
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  QCommandLineOption gameDir("game-dir", "Use DIR as the game folder whose tree is indexed.", "DIR");
  parser.addOption(gameDir);
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("subcommand", "dump, fmt, index, image, state, render, export or check");
  if (!parser.parse(app.arguments()))
    return Fail(FromQt(parser.errorText()), ExitUsageError);
  if (parser.isSet("help"))
    PrintAndExit(parser.helpText());
  if (parser.isSet("version"))
    PrintAndExit(QGuiApplication::applicationName() + " " + QGuiApplication::applicationVersion() + "\n");

  QStringList rest = parser.positionalArguments();
  if (rest.isEmpty())
    return Fail("no subcommand; see --help", ExitUsageError);
  auto command = Subcommands().find(rest.first());
  if (command == Subcommands().end())
    return Fail("unknown subcommand " + FromQt(rest.first()) + "; see --help", ExitUsageError);

  // The subcommand sees "velk SUBCOMMAND" as its program name and the global options after it.
  QStringList args = rest.mid(1);
  args.prepend("velk " + rest.first());
  if (parser.isSet(gameDir))
    args << "--game-dir" << parser.value(gameDir);
  return command->second(args);
}

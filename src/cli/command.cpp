#include "cli/command.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "images/file_index.h"

int Fail(const std::string &message, int code)
{
  std::fprintf(stderr, "velk: %s\n", message.c_str());
  return code;
}

bool WriteOutput(const QString &path, const QByteArray &bytes)
{
  if (path.isEmpty()) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    return true;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    Fail("cannot write " + FromQt(path) + ": " + FromQt(file.errorString()));
    return false;
  }
  return true;
}

bool ParseSubcommand(QCommandLineParser &parser, const QStringList &args, int positionalCount)
{
  parser.addOption({"game-dir", "Use DIR as the game folder whose tree is indexed.", "DIR"});
  parser.addHelpOption();
  if (!parser.parse(args)) {
    Fail(FromQt(parser.errorText()), ExitUsageError);
    return false;
  }
  if (parser.isSet("help"))
    parser.showHelp(0);
  if (parser.positionalArguments().size() != positionalCount) {
    Fail("expected " + std::to_string(positionalCount) + " argument(s); see --help", ExitUsageError);
    return false;
  }
  return true;
}

void SetUpGameFolder(const QCommandLineParser &parser)
{
  static bool done = false;
  if (done)
    return;
  done = true;
  if (parser.isSet("game-dir"))
    UseGameFolder(PathFromQt(parser.value("game-dir")));
  else
    FindGameFolder(PathFromQt(QCoreApplication::applicationDirPath()));
}

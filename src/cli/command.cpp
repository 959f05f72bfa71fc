#include "cli/command.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/file_io.h"
#include "images/file_index.h"

namespace fs = std::filesystem;

int Fail(const std::string &message, int code)
{
  std::fprintf(stderr, "velk: %s\n", message.c_str());
  return code;
}

void TStandardOutput::Write(const char *data, size_t size)
{
  if (error_ != 0)
    return;
  errno = 0;
  if (std::fwrite(data, 1, size, stdout) != size)
    error_ = errno != 0 ? errno : EIO;
}

int TStandardOutput::Finish()
{
  errno = 0;
  if (error_ == 0 && std::fflush(stdout) != 0)
    error_ = errno != 0 ? errno : EIO;
  if (error_ != 0)
    return Fail(std::string("cannot write standard output: ") + std::strerror(error_));
  return ExitOk;
}

int Print(const QByteArray &bytes)
{
  TStandardOutput out;
  out.Write(bytes);
  return out.Finish();
}

int Print(const std::string &text)
{
  TStandardOutput out;
  out.Write(text);
  return out.Finish();
}

int WriteOutputFile(const std::string &path, const QByteArray &bytes)
{
  std::string error;
  if (!WriteWholeFile(path, bytes.constData(), static_cast<size_t>(bytes.size()), &error))
    return Fail("cannot write " + path + ": " + error);
  return ExitOk;
}

void PrintAndExit(const QString &text)
{
  std::exit(Print(text.toUtf8()));
}

QCommandLineOption HelpOption()
{
  return QCommandLineOption({"h", "help"}, "Displays this help.");
}

QString HelpText(const QCommandLineParser &parser, const QString &command)
{
  // Qt names the program by its path; the usage line names the command as it is typed.
  QString text = parser.helpText();
  const qsizetype options = text.indexOf(" [options]");
  const qsizetype lineEnd = text.indexOf('\n');
  if (text.startsWith("Usage: ") && options > 0 && options < lineEnd)
    text.replace(7, options - 7, command);
  return text;
}

bool ParseSubcommand(QCommandLineParser &parser, const QStringList &args, int positionalCount, bool orMore,
                     TGameDir gameDir)
{
  if (gameDir == TGameDir::Taken)
    parser.addOption({"game-dir", "Use DIR as the game folder whose tree is indexed.", "DIR"});
  parser.addOption(HelpOption());
  if (!parser.parse(args)) {
    Fail(NameFromQt(parser.errorText()), ExitUsageError);
    return false;
  }
  if (parser.isSet("help"))
    PrintAndExit(HelpText(parser, args.first()));
  const qsizetype given = parser.positionalArguments().size();
  if (orMore ? given < positionalCount : given != positionalCount) {
    Fail("expected " + std::string(orMore ? "at least " : "") + std::to_string(positionalCount) +
             " argument(s); see --help",
         ExitUsageError);
    return false;
  }
  if (gameDir == TGameDir::Taken && parser.isSet("game-dir")) {
    const std::string folder = NameFromQt(parser.value("game-dir"));
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
      Fail("--game-dir " + folder + ": " + (fs::exists(folder, error) ? "not a folder" : "no such folder"),
           ExitUsageError);
      return false;
    }
  }
  return true;
}

bool ParseTicks(const QString &text, int *ticks)
{
  bool ok = false;
  const qlonglong value = text.toLongLong(&ok);
  if (ok && value >= 0 && value <= INT_MAX) {
    *ticks = static_cast<int>(value);
    return true;
  }
  // Digits alone that did not fit are a number too large, not a malformed one.
  static const QRegularExpression digits("^\\s*\\+?\\d+\\s*$");
  if (digits.match(text).hasMatch())
    Fail("--time must be at most " + std::to_string(INT_MAX) + " ticks", ExitUsageError);
  else
    Fail("--time needs a whole number of ticks, 0 or more", ExitUsageError);
  return false;
}

std::string ProgramFolder()
{
  // The link names the program as the file system does, whatever bytes its path holds.
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error)
    return program.parent_path().string();
  return NameFromQt(QCoreApplication::applicationDirPath());
}

void SetUpGameFolder(const QCommandLineParser &parser)
{
  static bool done = false;
  if (done)
    return;
  done = true;
  if (parser.isSet("game-dir"))
    UseGameFolder(NameFromQt(parser.value("game-dir")));
  else
    FindGameFolder(ProgramFolder());
}

namespace {

bool workerMode = false;

} // namespace

bool WorkerMode()
{
  return workerMode;
}

void SetWorkerMode()
{
  workerMode = true;
}

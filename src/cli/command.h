// What every velk subcommand shares: its arguments, the output stream and the error rule.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QStringList>
#include <string>

#include "cli/byte_names.h"
#include "core/qt_text.h"

enum ExitCode { ExitOk = 0, ExitInputError = 1, ExitUsageError = 2 };

// Prints "velk: message" on standard error and returns code.
int Fail(const std::string &message, int code = ExitInputError);

// Standard output that keeps its first failure: later writes are skipped, so a long output
// stops early, and Finish reports it once.
class TStandardOutput
{
public:
  void Write(const char *data, size_t size);
  void Write(const QByteArray &bytes) { Write(bytes.constData(), static_cast<size_t>(bytes.size())); }
  void Write(const std::string &text) { Write(text.data(), text.size()); }
  bool Failed() const { return error_ != 0; }
  // Flushes. ExitOk when every write and the flush succeeded; otherwise prints
  // "cannot write standard output: REASON" and returns ExitInputError.
  int Finish();

private:
  int error_ = 0; // the errno of the first failure
};

// Writes bytes to standard output and flushes it, with TStandardOutput's result.
int Print(const QByteArray &bytes);
int Print(const std::string &text);

// Writes bytes to the file path as a whole (core/file_io.h: a regular file is replaced only once
// the new content is complete, a device or FIFO is written into). ExitOk, or ExitInputError
// after printing "cannot write PATH: REASON".
int WriteOutputFile(const std::string &path, const QByteArray &bytes);

// Whether a subcommand takes --game-dir: those that resolve names do, index (whose DIR is the
// game folder) does not.
enum class TGameDir { Taken, NotTaken };

// Parses a subcommand's arguments (args[0] is "velk SUBCOMMAND"). Adds --game-dir (unless not
// taken) and --help; on --help prints the help and exits; on an error prints it and returns false.
// The subcommand takes exactly positionalCount arguments, or at least that many when orMore is
// set. A --game-dir that names no folder is an error.
bool ParseSubcommand(QCommandLineParser &parser, const QStringList &args, int positionalCount, bool orMore = false,
                     TGameDir gameDir = TGameDir::Taken);

// The -h, --help option (Qt's own adds --help-all, which lists Qt's options: velk takes none).
QCommandLineOption HelpOption();
// The parser's help with its usage line naming the command as given ("velk export").
QString HelpText(const QCommandLineParser &parser, const QString &command);

// Prints text on standard output and exits: 0, or 1 when it could not be written.
[[noreturn]] void PrintAndExit(const QString &text);

// Reads a --time value: a whole number of ticks from 0 to INT_MAX. False after printing the
// usage error.
bool ParseTicks(const QString &text, int *ticks);

// Applies --game-dir, or finds the game folder from the program's location.
void SetUpGameFolder(const QCommandLineParser &parser);

// The folder of the running program, as bytes.
std::string ProgramFolder();

// A worker process serves items that its velk hands it (cli/task_pool.h); it was started with its
// arguments on standard input instead of on its command line.
bool WorkerMode();
void SetWorkerMode();

int RunDump(const QStringList &args);
int RunFmt(const QStringList &args);
int RunIndex(const QStringList &args);
int RunState(const QStringList &args);
int RunImage(const QStringList &args);
int RunRender(const QStringList &args);
int RunExport(const QStringList &args);
int RunCheck(const QStringList &args);

// What every velk subcommand shares: its arguments, the output stream and the error rule.
#pragma once

#include <QCommandLineParser>
#include <QJsonObject>
#include <QStringList>
#include <string>

#include "core/qt_text.h"

class TZeltoAni;

enum ExitCode { ExitOk = 0, ExitInputError = 1, ExitUsageError = 2 };

// Prints "velk: message" on standard error and returns code.
int Fail(const std::string &message, int code = ExitInputError);

// Writes bytes to the file path, or to standard output when path is empty. Returns false
// (after printing why) when the file cannot be written.
bool WriteOutput(const QString &path, const QByteArray &bytes);

// Parses a subcommand's arguments (args[0] is "velk SUBCOMMAND"). Adds --game-dir and --help;
// on --help prints the help and exits; on an error prints it and returns false.
bool ParseSubcommand(QCommandLineParser &parser, const QStringList &args, int positionalCount);

// Applies --game-dir, or finds the game folder from the program's location.
void SetUpGameFolder(const QCommandLineParser &parser);

QJsonObject DocumentJson(const TZeltoAni &ani);
int RunDump(const QStringList &args);
int RunFmt(const QStringList &args);
int RunIndex(const QStringList &args);
int RunState(const QStringList &args);
int RunImage(const QStringList &args);
int RunRender(const QStringList &args);

// Runs one task per item, either here one after the other or spread over worker processes.
//
// Workers are processes, not threads: the model, the image cache and the renderer keep process-wide
// state (the model context with its link and counters, the list of image owners, the game folder
// index, the renderer's fonts), so each worker is velk itself, started again as "velk --worker"
// with the same subcommand and options on the first line of its standard input (arguments are
// bytes that a command line of Qt's would not keep). The parent works on items too and hands the others to the
// workers as they can take them (a work queue over their standard input, a few items ahead); the
// results are kept in item order, so the output does not depend on the number of workers.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

struct TTaskResult
{
  int Code = 0;       // the task's exit code for this item
  QByteArray Payload; // what the task reports, any bytes
  bool Lost = false;  // the worker process stopped before it answered
};

using TTask = std::function<TTaskResult(const QByteArray &item)>;

struct TTaskRun
{
  std::vector<QByteArray> Items;
  int Jobs = 1;                // processes working, this one included; 1 runs every item here
  QStringList WorkerArguments; // velk's arguments for a worker: the subcommand and its arguments
  QString ProgressVerb;        // "exporting": shown as "velk: exporting 3/10" on a terminal
  // Workers start once this process has worked this long and items remain: starting one costs some
  // hundredths of a second, which a shorter run would not repay.
  int WorkersAfterMs = 0;
};

// The number of processors, at least 1.
int AllCores();

// How long a run without --jobs works alone before it starts workers on the other cores.
inline constexpr int DefaultWorkersAfterMs = 50;
// The --jobs N option of the subcommands that run tasks.
QCommandLineOption JobsOption();
// Sets run.Jobs and run.WorkersAfterMs from --jobs: N processes from the start, or without it every
// core after DefaultWorkersAfterMs. False after printing the usage error.
bool ApplyJobsOption(const QCommandLineParser &parser, TTaskRun &run);

// Runs the task over every item, here (the task made by makeTask) and in up to Jobs - 1 worker
// processes started after run.WorkersAfterMs. The items of a worker that stops are Lost; the others go on. Shows
// progress on standard error when it is a terminal.
std::vector<TTaskResult> RunTasks(const TTaskRun &run, const std::function<TTask()> &makeTask);

// The worker's start: reads its arguments from the first line of standard input. False when
// standard input is a terminal or its first line is not such a line.
bool ReadWorkerArguments(std::vector<std::string> &arguments);

// The worker's side: reads items from standard input, runs the task on each and writes each result
// before reading the next item. Returns the exit code of the worker process.
int ServeTasks(const TTask &task);

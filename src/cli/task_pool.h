// Runs one task per item, either here one after the other or spread over worker processes.
//
// Workers are processes, not threads: the model, the image cache and the renderer keep process-wide
// state (the model context with its link and counters, the list of image owners, the game folder
// index, the renderer's fonts), so each worker is velk itself, started again with the same
// subcommand and options plus --worker. The parent hands items to whichever worker is free (a work
// queue over the workers' standard input) and keeps the results in item order, so the output does
// not depend on the number of workers.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>
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
  int Jobs = 1;                // workers; 1 runs every item in this process
  QStringList WorkerArguments; // velk's arguments for a worker, "--worker" excluded
  QString ProgressVerb;        // "exporting": shown as "velk: exporting 3/10" on a terminal
};

// The number of processors, at least 1.
int AllCores();

// Runs the task over every item: in this process when run.Jobs is 1 or there is one item (the task
// is made by makeTask only then), otherwise in min(Jobs, items) workers. A worker that stops leaves
// its item Lost and is replaced while items remain. Shows progress on standard error when it is a
// terminal.
std::vector<TTaskResult> RunTasks(const TTaskRun &run, const std::function<TTask()> &makeTask);

// The worker's side: reads items from standard input, runs the task on each and writes each result
// before reading the next item. Returns the exit code of the worker process.
int ServeTasks(const TTask &task);

#include "cli/task_pool.h"

#include "cli/command.h"
#include "cli/interruption.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <unistd.h>

namespace {

// The first line a worker reads: its arguments, each in base64.
constexpr char WorkerArgumentsTag[] = "velk-worker-arguments";

QByteArray WorkerArgumentsLine(const QStringList &arguments)
{
  QByteArray line = WorkerArgumentsTag;
  for (const QString &argument : arguments)
    line += ' ' + QByteArray::fromStdString(NameFromQt(argument)).toBase64();
  return line + '\n';
}

// One line per message: base64 keeps items and payloads free of line breaks.
QByteArray ItemLine(const QByteArray &item)
{
  return item.toBase64() + "\n";
}

QByteArray ResultLine(const TTaskResult &result)
{
  return QByteArray::number(result.Code) + " " + result.Payload.toBase64() + "\n";
}

bool ParseResultLine(const QByteArray &line, TTaskResult &result)
{
  const qsizetype space = line.indexOf(' ');
  if (space < 0)
    return false;
  bool ok = false;
  result.Code = line.left(space).toInt(&ok);
  result.Payload = QByteArray::fromBase64(line.mid(space + 1).trimmed());
  return ok;
}

// "velk: exporting 3/10" rewritten in place on a terminal; nothing otherwise.
class TProgress
{
public:
  TProgress(const QString &verb, size_t total) : verb_(verb.toLocal8Bit()), total_(total)
  {
    shown_ = !verb_.isEmpty() && isatty(fileno(stderr));
  }
  ~TProgress()
  {
    if (shown_ && done_ > 0)
      std::fputc('\n', stderr);
  }
  void Step()
  {
    ++done_;
    if (shown_)
      std::fprintf(stderr, "\rvelk: %s %zu/%zu", verb_.constData(), done_, total_);
  }

private:
  QByteArray verb_;
  size_t total_;
  size_t done_ = 0;
  bool shown_ = false;
};

struct TWorker
{
  std::unique_ptr<QProcess> Process;
  bool Running = false;        // started and not stopped
  std::deque<size_t> InFlight; // items handed over and not yet answered, in order
  QByteArray Pending;          // output not yet a whole line
};

// Items handed to a worker ahead of its answers, so that it never waits for the parent.
constexpr size_t ItemsAhead = 4;

// The parent's side of the work queue. The parent works on items itself between looking after the
// workers: a run too short to repay starting a process is not slower than one process alone.
class TPool
{
public:
  TPool(const TTaskRun &run, const TTask &task, std::vector<TTaskResult> &results)
      : run_(run), task_(task), results_(results), progress_(run.ProgressVerb, run.Items.size())
  {
  }

  void Run(int workers)
  {
    QElapsedTimer working;
    working.start();
    bool started = false;
    while (answered_ < run_.Items.size()) {
      if (!started && next_ < run_.Items.size() && working.elapsed() >= run_.WorkersAfterMs) {
        for (int i = 0; i < workers; ++i)
          Start();
        started = true;
      }
      if (next_ < run_.Items.size()) {
        const size_t item = next_++;
        Answer(item, task_(run_.Items[item]));
        QCoreApplication::processEvents();
      } else {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      }
    }
    // Workers still starting or idle hold nothing: they are stopped rather than waited for. Their
    // signals must not reach this pool once it is gone.
    for (const auto &worker : workers_) {
      QObject::disconnect(worker->Process.get(), nullptr, nullptr, nullptr);
      const pid_t pid = pid_t(worker->Process->processId());
      worker->Process->kill();
      worker->Process->waitForFinished();
      RemoveWorkerProcess(pid);
    }
  }

private:
  void Start()
  {
    auto worker = std::make_unique<TWorker>();
    worker->Process = std::make_unique<QProcess>();
    QProcess *process = worker->Process.get();
    TWorker *raw = worker.get();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(process, &QProcess::started, [this, raw] {
      raw->Running = true;
      Feed(*raw);
    });
    QObject::connect(process, &QProcess::readyReadStandardOutput, [this, raw] { Read(*raw); });
    QObject::connect(process, &QProcess::finished, [this, raw] {
      RemoveWorkerProcess(pid_t(raw->Process->processId()));
      Stopped(*raw);
    });
    QObject::connect(process, &QProcess::errorOccurred, [this, raw](QProcess::ProcessError error) {
      if (error == QProcess::FailedToStart)
        Stopped(*raw);
    });
    workers_.push_back(std::move(worker));
    // The running program itself, whatever bytes its path holds.
    process->start("/proc/self/exe", {"--worker"});
    if (process->processId() > 0)
      AddWorkerProcess(pid_t(process->processId()));
    process->write(WorkerArgumentsLine(run_.WorkerArguments));
  }

  // Tops up the worker's items ahead.
  void Feed(TWorker &worker)
  {
    while (worker.Running && worker.InFlight.size() < ItemsAhead && next_ < run_.Items.size()) {
      worker.InFlight.push_back(next_);
      worker.Process->write(ItemLine(run_.Items[next_++]));
    }
  }

  void Read(TWorker &worker)
  {
    worker.Pending += worker.Process->readAllStandardOutput();
    qsizetype end;
    while ((end = worker.Pending.indexOf('\n')) >= 0) {
      const QByteArray line = worker.Pending.left(end);
      worker.Pending.remove(0, end + 1);
      if (worker.InFlight.empty())
        continue;
      TTaskResult result;
      if (!ParseResultLine(line, result))
        result.Lost = true;
      const size_t item = worker.InFlight.front();
      worker.InFlight.pop_front();
      Answer(item, std::move(result));
    }
    Feed(worker);
  }

  // A worker that stops leaves its items lost; nobody tries them again, as they may stop the next
  // worker too. What was never handed over is left to the others and to the parent.
  void Stopped(TWorker &worker)
  {
    if (!worker.Running && worker.InFlight.empty())
      return;
    Read(worker);
    worker.Running = false;
    for (size_t item : worker.InFlight)
      Answer(item, {ExitLost, {}, true});
    worker.InFlight.clear();
  }

  void Answer(size_t item, TTaskResult result)
  {
    results_[item] = std::move(result);
    ++answered_;
    progress_.Step();
  }

  static constexpr int ExitLost = 1;
  const TTaskRun &run_;
  const TTask &task_;
  std::vector<TTaskResult> &results_;
  TProgress progress_;
  std::vector<std::unique_ptr<TWorker>> workers_;
  size_t next_ = 0;
  size_t answered_ = 0;
};

} // namespace

int AllCores()
{
  return std::max(1, QThread::idealThreadCount());
}

QCommandLineOption JobsOption()
{
  return QCommandLineOption("jobs", "Processes working on several files (default: every core).", "N");
}

bool ApplyJobsOption(const QCommandLineParser &parser, TTaskRun &run)
{
  run.Jobs = AllCores();
  run.WorkersAfterMs = DefaultWorkersAfterMs;
  if (!parser.isSet("jobs"))
    return true;
  bool ok = false;
  run.Jobs = parser.value("jobs").toInt(&ok);
  run.WorkersAfterMs = 0;
  if (ok && run.Jobs >= 1 && run.Jobs <= 1024)
    return true;
  Fail("--jobs must be a whole number from 1 to 1024", ExitUsageError);
  return false;
}

std::vector<TTaskResult> RunTasks(const TTaskRun &run, const std::function<TTask()> &makeTask)
{
  std::vector<TTaskResult> results(run.Items.size());
  const TTask task = makeTask();
  const size_t items = run.Items.size();
  const size_t workers = items > 1 ? std::min<size_t>(size_t(std::max(run.Jobs, 1)) - 1, items - 1) : 0;
  if (workers > 0) {
    TPool(run, task, results).Run(int(workers));
    return results;
  }
  TProgress progress(run.ProgressVerb, run.Items.size());
  for (size_t i = 0; i < run.Items.size(); ++i) {
    results[i] = task(run.Items[i]);
    progress.Step();
  }
  return results;
}

bool ReadWorkerArguments(std::vector<std::string> &arguments)
{
  if (isatty(fileno(stdin)))
    return false;
  std::string line;
  for (int c; (c = std::fgetc(stdin)) != EOF && c != '\n';)
    line += static_cast<char>(c);
  const QList<QByteArray> words = QByteArray::fromStdString(line).split(' ');
  if (words.size() < 2 || words.first() != WorkerArgumentsTag)
    return false;
  arguments.clear();
  for (qsizetype i = 1; i < words.size(); ++i)
    arguments.push_back(QByteArray::fromBase64(words[i]).toStdString());
  return true;
}

int ServeTasks(const TTask &task)
{
  std::string line;
  for (int c; (c = std::fgetc(stdin)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    const TTaskResult result = task(QByteArray::fromBase64(QByteArray::fromStdString(line)));
    line.clear();
    const QByteArray answer = ResultLine(result);
    if (std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout) != size_t(answer.size()) ||
        std::fflush(stdout) != 0)
      return 1;
  }
  return 0;
}

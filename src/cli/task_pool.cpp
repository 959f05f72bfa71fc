#include "cli/task_pool.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <unistd.h>

namespace {

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
  std::deque<size_t> InFlight; // items handed over and not yet answered
  QByteArray Pending;          // output not yet a whole line
};

// The parent's side of the work queue.
class TPool
{
public:
  TPool(const TTaskRun &run, std::vector<TTaskResult> &results)
      : run_(run), results_(results), progress_(run.ProgressVerb, run.Items.size())
  {
  }

  // False when not a single worker could be started.
  bool Run(int jobs)
  {
    for (int i = 0; i < jobs; ++i)
      if (!Start())
        break;
    if (workers_.empty())
      return false;
    if (answered_ < run_.Items.size())
      loop_.exec();
    // Every worker's input is closed by now; they end on their own. Their signals must not reach
    // this pool once it is gone.
    for (const auto &worker : workers_) {
      QObject::disconnect(worker->Process.get(), nullptr, nullptr, nullptr);
      worker->Process->closeWriteChannel();
      worker->Process->waitForFinished();
    }
    return true;
  }

private:
  bool Start()
  {
    auto worker = std::make_unique<TWorker>();
    worker->Process = std::make_unique<QProcess>();
    QProcess *process = worker->Process.get();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), run_.WorkerArguments + QStringList{"--worker"});
    if (!process->waitForStarted())
      return false;
    TWorker *raw = worker.get();
    QObject::connect(process, &QProcess::readyReadStandardOutput, [this, raw] { Read(*raw); });
    QObject::connect(process, &QProcess::finished, [this, raw] { Stopped(*raw); });
    workers_.push_back(std::move(worker));
    Feed(*raw);
    return true;
  }

  // Hands the worker the next item, or closes its input when none is left.
  void Feed(TWorker &worker)
  {
    if (next_ < run_.Items.size()) {
      worker.InFlight.push_back(next_);
      worker.Process->write(ItemLine(run_.Items[next_++]));
    } else {
      worker.Process->closeWriteChannel();
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
      Answer(worker.InFlight.front(), std::move(result));
      worker.InFlight.pop_front();
      Feed(worker);
    }
  }

  void Stopped(TWorker &worker)
  {
    Read(worker);
    const bool lostAny = !worker.InFlight.empty();
    for (size_t item : worker.InFlight)
      Answer(item, {ExitLost, {}, true});
    worker.InFlight.clear();
    // A replacement takes over what is left; an item that stops a worker is not tried again.
    if (lostAny && next_ < run_.Items.size())
      Start();
    // Without a running worker nothing would answer what is left.
    const bool anyRunning = std::any_of(workers_.begin(), workers_.end(),
                                        [](const auto &w) { return w->Process->state() != QProcess::NotRunning; });
    while (!anyRunning && next_ < run_.Items.size())
      Answer(next_++, {ExitLost, {}, true});
  }

  void Answer(size_t item, TTaskResult result)
  {
    results_[item] = std::move(result);
    ++answered_;
    progress_.Step();
    if (answered_ == run_.Items.size())
      loop_.quit();
  }

  static constexpr int ExitLost = 1;
  const TTaskRun &run_;
  std::vector<TTaskResult> &results_;
  TProgress progress_;
  std::vector<std::unique_ptr<TWorker>> workers_;
  size_t next_ = 0;
  size_t answered_ = 0;
  QEventLoop loop_;
};

} // namespace

int AllCores()
{
  return std::max(1, QThread::idealThreadCount());
}

std::vector<TTaskResult> RunTasks(const TTaskRun &run, const std::function<TTask()> &makeTask)
{
  std::vector<TTaskResult> results(run.Items.size());
  const int jobs = static_cast<int>(std::min<size_t>(size_t(std::max(run.Jobs, 1)), run.Items.size()));
  if (jobs > 1) {
    TPool pool(run, results);
    if (pool.Run(jobs))
      return results;
  }
  // One worker, one item, or no worker process could be started: everything here.
  const TTask task = makeTask();
  TProgress progress(run.ProgressVerb, run.Items.size());
  for (size_t i = 0; i < run.Items.size(); ++i) {
    results[i] = task(run.Items[i]);
    progress.Step();
  }
  return results;
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

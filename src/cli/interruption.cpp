#include "cli/interruption.h"

#include <atomic>
#include <csignal>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/file_io.h"

namespace {

pthread_t mainThread;
std::atomic<pid_t> workers[MaxWorkerProcesses];

void OnSignal(int signal)
{
  // Files are written, and listed, on the main thread; a signal that reached another thread (one
  // of Qt's) is handed to it.
  if (::syscall(SYS_gettid) != ::getpid()) {
    pthread_kill(mainThread, signal);
    return;
  }
  for (const auto &worker : workers)
    if (const pid_t pid = worker.load(); pid > 0)
      ::kill(pid, signal);
  // Each worker removes its own temporary files: they are gone once it is.
  for (const auto &worker : workers)
    if (const pid_t pid = worker.load(); pid > 0)
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
  RemoveTemporaryFiles();
  struct sigaction defaultAction = {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  ::sigaction(signal, &defaultAction, nullptr);
  // Blocked while this handler runs: it is delivered, with its default action, when it returns.
  ::raise(signal);
}

} // namespace

void HandleInterruptions()
{
  mainThread = pthread_self();
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaddset(&action.sa_mask, signal);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
}

void AddWorkerProcess(pid_t process)
{
  for (auto &worker : workers) {
    pid_t free = 0;
    if (worker.compare_exchange_strong(free, process))
      return;
  }
}

void RemoveWorkerProcess(pid_t process)
{
  for (auto &worker : workers) {
    pid_t expected = process;
    if (worker.compare_exchange_strong(expected, 0))
      return;
  }
}

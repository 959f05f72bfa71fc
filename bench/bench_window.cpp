// Whole processes under X (Xvfb, started here when DISPLAY is not set): the editor against a bare
// Qt window with one widget (bench_bare_window), side by side in every round:
//   start-up   time from starting the process to its first painted window, and resident memory
//              2 s after the start, the editor opening its idle animation;
//   playback   the editor's CPU time per second of playback of the bundled walk (4 frames) and of
//              the walk repeated to 1,000 and 10,000 frames, and its ticks per second.
// Prints each figure's median (and range) over the rounds, then the ratios, each taken within a
// round and its median quoted. Options: --rounds N (5), --play-seconds S (5), --smoke.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "large_animation.h"
#include "monotonic_clock.h"

namespace fs = std::filesystem;

namespace {

// A started child process whose standard output is read line by line.
class TChild
{
public:
  TChild(const std::vector<std::string> &args, const std::map<std::string, std::string> &environment)
  {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
      return;
    Started = MonotonicNanoseconds();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipeFds[1], STDOUT_FILENO);
      // What the windows say on standard error (the sound system's complaints) is not ours.
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, STDERR_FILENO);
      close(quiet);
      close(pipeFds[0]);
      close(pipeFds[1]);
      for (const auto &[name, value] : environment)
        setenv(name.c_str(), value.c_str(), 1);
      std::vector<char *> argv;
      for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~TChild()
  {
    Stop();
    if (out_ >= 0)
      close(out_);
  }
  TChild(const TChild &) = delete;
  TChild &operator=(const TChild &) = delete;

  // The next line whose first word is word (the rest of it), or none within timeout seconds.
  std::optional<std::string> Expect(const std::string &word, double timeout)
  {
    const long long deadline = MonotonicNanoseconds() + (long long)(timeout * 1e9);
    while (true) {
      for (size_t end; (end = buffer_.find('\n')) != std::string::npos;) {
        const std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (line.rfind(word + " ", 0) == 0)
          return line.substr(word.size() + 1);
      }
      const long long left = deadline - MonotonicNanoseconds();
      if (left <= 0 || out_ < 0)
        return std::nullopt;
      pollfd fd{out_, POLLIN, 0};
      if (poll(&fd, 1, int(left / 1000000) + 1) <= 0)
        continue;
      char chunk[512];
      const ssize_t got = read(out_, chunk, sizeof chunk);
      if (got <= 0)
        return std::nullopt;
      buffer_.append(chunk, size_t(got));
    }
  }

  // Resident memory in kB, from the kernel's accounting of the process.
  long ResidentKb() const
  {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmRSS:", 0) == 0)
        return std::atol(line.c_str() + 6);
    return 0;
  }

  // Ends the process (when still running) and reaps it.
  void Stop()
  {
    if (pid_ <= 0)
      return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  bool Running() const { return pid_ > 0; }
  long long Started = 0;

private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

// The figures of one kind over the rounds.
struct TSeries
{
  std::vector<double> Values;
  double Median() const
  {
    if (Values.empty())
      return 0;
    std::vector<double> sorted = Values;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
  double Min() const { return Values.empty() ? 0 : *std::min_element(Values.begin(), Values.end()); }
  double Max() const { return Values.empty() ? 0 : *std::max_element(Values.begin(), Values.end()); }
};

// An Xvfb server of our own while this program runs, when there is no display.
class TXServer
{
public:
  bool Start()
  {
    int fds[2];
    if (pipe(fds) != 0)
      return false;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             (char *)nullptr);
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    pollfd fd{fds[0], POLLIN, 0};
    while (poll(&fd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (number.empty())
      return false;
    Display = ":" + number;
    return true;
  }
  ~TXServer()
  {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  std::string Display;

private:
  pid_t pid_ = -1;
};

std::string ProgramFolder()
{
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error).parent_path().string();
}

struct TSettings
{
  int Rounds = 5;
  double PlaySeconds = 5;
};

class TBench
{
public:
  TBench(const TSettings &settings, std::map<std::string, std::string> environment)
      : settings_(settings), environment_(std::move(environment)), folder_(ProgramFolder())
  {
  }

  // One start-up of a window: seconds to its first picture and resident MB 2 s after the start.
  bool StartUp(const std::vector<std::string> &args, TSeries &visible, TSeries &resident)
  {
    TChild child(args, environment_);
    const std::optional<std::string> shown = child.Expect("visible", 30);
    if (!shown)
      return false;
    visible.Values.push_back(double(std::atoll(shown->c_str()) - child.Started) / 1e9);
    const long long at = child.Started + 2000000000LL;
    std::this_thread::sleep_for(std::chrono::nanoseconds(std::max(0LL, at - MonotonicNanoseconds())));
    resident.Values.push_back(double(child.ResidentKb()) / 1024);
    return true;
  }

  // One playback of file by the editor: CPU seconds per second and ticks per second.
  bool Playback(const std::string &file, TSeries &cpu, TSeries &ticks)
  {
    TChild child({Editor(), "--game-dir", GameFolder(), "--play-seconds", std::to_string(settings_.PlaySeconds), file},
                 environment_);
    const std::optional<std::string> result = child.Expect("playback", 40 + settings_.PlaySeconds);
    if (!result)
      return false;
    double perSecond = 0, tickRate = 0;
    std::istringstream(*result) >> perSecond >> tickRate;
    cpu.Values.push_back(perSecond * 100);
    ticks.Values.push_back(tickRate);
    return true;
  }

  std::string Editor() const { return folder_ + "/bench_editor_window"; }
  std::string Bare() const { return folder_ + "/bench_bare_window"; }
  static std::string GameFolder() { return std::string(ZELTRIX_SOURCE_DIR) + "/assets/game"; }

private:
  TSettings settings_;
  std::map<std::string, std::string> environment_;
  std::string folder_;
};

void PrintSeries(const char *label, const TSeries &series, const char *unit)
{
  std::printf("%-40s %9.3f %s   (%.3f to %.3f, %zu runs)\n", label, series.Median(), unit, series.Min(), series.Max(),
              series.Values.size());
}

void PrintRatio(const char *label, const TSeries &subject, const TSeries &baseline, double target)
{
  TSeries ratios;
  for (size_t i = 0; i < subject.Values.size() && i < baseline.Values.size(); ++i)
    if (baseline.Values[i] > 0)
      ratios.Values.push_back(subject.Values[i] / baseline.Values[i]);
  const std::string aim = target > 0 ? std::to_string(target).substr(0, 4) + "x" : "-";
  std::printf("%-40s %8.2fx %9s   (%.2f to %.2f)\n", label, ratios.Median(), aim.c_str(), ratios.Min(), ratios.Max());
}

} // namespace

int main(int argc, char **argv)
{
  TSettings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--smoke") {
      settings.Rounds = 1;
      settings.PlaySeconds = 1;
    } else if (arg == "--rounds" && i + 1 < argc) {
      settings.Rounds = std::clamp(std::atoi(argv[++i]), 1, 100);
    } else if (arg == "--play-seconds" && i + 1 < argc) {
      settings.PlaySeconds = std::clamp(std::atof(argv[++i]), 0.5, 600.0);
    } else {
      std::fprintf(stderr, "usage: bench_window [--rounds N] [--play-seconds S] [--smoke]\n");
      return 2;
    }
  }

  // The children get a display, and folders of their own for settings and recovery files.
  TXServer server;
  std::map<std::string, std::string> environment;
  const char *display = std::getenv("DISPLAY");
  if (!display || !*display) {
    if (!server.Start()) {
      std::fprintf(stderr, "bench_window: no DISPLAY and Xvfb could not be started\n");
      return 1;
    }
    environment["DISPLAY"] = server.Display;
  }
  environment["QT_QPA_PLATFORM"] = "xcb";
  char folderTemplate[] = "/tmp/zeltrix-bench-window-XXXXXX";
  const char *made = mkdtemp(folderTemplate);
  if (!made)
    return 1;
  const std::string temp = made;
  for (const char *sub : {"config", "data", "runtime"})
    fs::create_directories(temp + "/" + sub);
  chmod((temp + "/runtime").c_str(), 0700);
  environment["XDG_CONFIG_HOME"] = temp + "/config";
  environment["XDG_DATA_HOME"] = temp + "/data";
  environment["XDG_RUNTIME_DIR"] = temp + "/runtime";
  const std::string walk = TBench::GameFolder() + "/walk.velk";
  const std::string walk1000 = temp + "/walk1000.velk", walk10000 = temp + "/walk10000.velk";
  if (!WriteLargeWalk(TBench::GameFolder(), 1000, walk1000) || !WriteLargeWalk(TBench::GameFolder(), 10000, walk10000))
    return 1;

  TBench bench(settings, environment);
  TSeries bareVisible, bareResident, editorVisible, editorResident;
  TSeries cpu4, cpu1000, cpu10000, ticks4, ticks1000, ticks10000;
  bool ok = true;
  for (int round = 0; round < settings.Rounds && ok; ++round) {
    ok = bench.StartUp({bench.Bare()}, bareVisible, bareResident) &&
         bench.StartUp({bench.Editor(), "--game-dir", TBench::GameFolder()}, editorVisible, editorResident) &&
         bench.Playback(walk, cpu4, ticks4) && bench.Playback(walk1000, cpu1000, ticks1000) &&
         bench.Playback(walk10000, cpu10000, ticks10000);
    std::fprintf(stderr, "bench_window: round %d of %d %s\n", round + 1, settings.Rounds, ok ? "done" : "failed");
  }
  fs::remove_all(temp);
  if (!ok) {
    std::fprintf(stderr, "bench_window: a window did not report in time\n");
    return 1;
  }

  std::printf("%-40s %9s\n", "figure", "median");
  PrintSeries("bare window: start to visible", bareVisible, "s");
  PrintSeries("editor: start to visible", editorVisible, "s");
  PrintSeries("bare window: resident 2 s after start", bareResident, "MB");
  PrintSeries("editor: resident 2 s after start", editorResident, "MB");
  PrintSeries("playback of 4 frames: CPU", cpu4, "% of a core");
  PrintSeries("playback of 1,000 frames: CPU", cpu1000, "% of a core");
  PrintSeries("playback of 10,000 frames: CPU", cpu10000, "% of a core");
  PrintSeries("playback of 4 frames: ticks", ticks4, "per s");
  PrintSeries("playback of 1,000 frames: ticks", ticks1000, "per s");
  PrintSeries("playback of 10,000 frames: ticks", ticks10000, "per s");
  std::printf("\n%-40s %9s %9s\n", "ratio", "measured", "target");
  PrintRatio("editor / bare window: start to visible", editorVisible, bareVisible, 0);
  PrintRatio("editor / bare window: resident memory", editorResident, bareResident, 1.3);
  PrintRatio("playback CPU 1,000 / 4 frames", cpu1000, cpu4, 1.2);
  PrintRatio("playback CPU 10,000 / 4 frames", cpu10000, cpu4, 1.2);
  return 0;
}

#include "ratio_report.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

struct Ratio
{
  std::string label, subject, baseline;
  double target;
  bool cpuTime;
};

std::vector<Ratio> &Ratios()
{
  static std::vector<Ratio> ratios;
  return ratios;
}

bool smoke = false;

// The name a benchmark was registered under, without the settings the library appends to it
// ("/min_warmup_time:0.500", "/min_time:...", "/repeats:...").
std::string DeclaredName(const benchmark::BenchmarkReporter::Run &run)
{
  std::string name = run.benchmark_name();
  for (const char *setting : {"/min_warmup_time:", "/min_time:", "/repeats:", "/iterations:"})
    if (const size_t at = name.find(setting); at != std::string::npos)
      name.erase(at);
  return name;
}

// Collects each benchmark's real time per iteration while printing the usual console report.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run> &runs) override
  {
    for (const Run &run : runs)
      if (run.run_type == Run::RT_Iteration) {
        realTimes[DeclaredName(run)] = run.GetAdjustedRealTime();
        cpuTimes[DeclaredName(run)] = run.GetAdjustedCPUTime();
      }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> realTimes;
  std::map<std::string, double> cpuTimes;
};

} // namespace

bool DeclareRatio(const std::string &label, const std::string &subject, const std::string &baseline, double target,
                  bool cpuTime)
{
  Ratios().push_back({label, subject, baseline, target, cpuTime});
  return true;
}

bool SmokeRun()
{
  return smoke;
}

int main(int argc, char **argv)
{
  std::vector<char *> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0)
      smoke = true;
    else
      args.push_back(argv[i]);
  }
  static char minTime[] = "--benchmark_min_time=0.01";
  if (smoke)
    args.push_back(minTime);
  int count = static_cast<int>(args.size());
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(count, args.data());
  benchmark::Initialize(&count, args.data());
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-50s %10s %10s\n", "ratio", "measured", "target");
  for (const Ratio &ratio : Ratios()) {
    const auto &times = ratio.cpuTime ? reporter.cpuTimes : reporter.realTimes;
    auto subject = times.find(ratio.subject);
    auto baseline = times.find(ratio.baseline);
    if (subject == times.end() || baseline == times.end() || baseline->second <= 0)
      continue;
    char target[32] = "-";
    if (ratio.target > 0)
      std::snprintf(target, sizeof target, "%.2fx", ratio.target);
    std::printf("%-50s %9.2fx %10s  (%s time)\n", ratio.label.c_str(), subject->second / baseline->second, target,
                ratio.cpuTime ? "cpu" : "wall");
  }
  return 0;
}

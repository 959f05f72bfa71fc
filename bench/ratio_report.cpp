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
};

std::vector<Ratio> &Ratios()
{
  static std::vector<Ratio> ratios;
  return ratios;
}

bool smoke = false;

// Collects each benchmark's real time per iteration while printing the usual console report.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run> &runs) override
  {
    for (const Run &run : runs)
      if (run.run_type == Run::RT_Iteration)
        times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

bool DeclareRatio(const std::string &label, const std::string &subject, const std::string &baseline, double target)
{
  Ratios().push_back({label, subject, baseline, target});
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
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(count, args.data());
  benchmark::Initialize(&count, args.data());
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-40s %10s %10s\n", "ratio", "measured", "target");
  for (const Ratio &ratio : Ratios()) {
    auto subject = reporter.times.find(ratio.subject);
    auto baseline = reporter.times.find(ratio.baseline);
    if (subject == reporter.times.end() || baseline == reporter.times.end() || baseline->second <= 0)
      continue;
    std::printf("%-40s %9.2fx %9.2fx\n", ratio.label.c_str(), subject->second / baseline->second, ratio.target);
  }
  return 0;
}

// velk export and velk check over 1,000 generated animations: with one process against every core
// (the work queue of worker processes), and checking against reading every file in-process.
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "cli/animation_check.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/document.h"
#include "model/reader.h"
#include "ratio_report.h"

namespace fs = std::filesystem;

namespace {

const std::string GameFolder = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";

int Cores()
{
  return std::max(1, int(std::thread::hardware_concurrency()));
}

// The bundled walk animation 1,000 times in 20 folders, each with its sword moved a little so that
// no two files are the same; its four frames repeated `repeats` times.
const std::string &Animations(int repeats)
{
  static std::map<int, std::string> roots;
  std::string &root = roots[repeats];
  if (!root.empty())
    return root;
  const int count = SmokeRun() ? 20 : 1000;
  root = (fs::temp_directory_path() / ("zeltrix-bench-velk-" + std::to_string(count) + "x" + std::to_string(repeats)))
             .string();
  if (fs::exists(root + "/done"))
    return root;
  fs::remove_all(root);
  std::ifstream in(GameFolder + "/walk.velk", std::ios::binary);
  std::stringstream walk;
  walk << in.rdbuf();
  std::string text = walk.str();
  const size_t framesStart = text.find("ANI\r\n") + 5, framesEnd = text.find("ANIEND");
  const std::string frames = text.substr(framesStart, framesEnd - framesStart);
  for (int i = 1; i < repeats; ++i)
    text.insert(framesEnd, "\r\n" + frames);
  const size_t sword = text.find("  42   0   6");
  for (int i = 0; i < count; ++i) {
    const std::string folder = root + "/anims/set" + std::to_string(i % 20);
    fs::create_directories(folder);
    std::string variant = text;
    variant.replace(sword, 12, "  42   " + std::to_string(i % 10) + "   6");
    std::ofstream(folder + "/walk" + std::to_string(i) + ".velk", std::ios::binary) << variant;
  }
  std::ofstream(root + "/done") << 'x';
  return root;
}

// Long animations: 256 frames each, so that the work outweighs starting the workers.
constexpr int LongRepeats = 64;

void RunVelk(benchmark::State &state, const QStringList &args)
{
  for (auto _ : state) {
    QProcess velk;
    velk.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    velk.start(ZELTRIX_VELK_BINARY, args + QStringList{"--game-dir", QString::fromStdString(GameFolder)});
    velk.waitForFinished(-1);
    benchmark::DoNotOptimize(velk.readAllStandardOutput());
    if (velk.exitStatus() != QProcess::NormalExit)
      state.SkipWithError("velk stopped");
  }
}

// One run of velk over a set; jobs 0 leaves the number of processes to velk (every core).
QStringList Jobs(int jobs)
{
  return jobs > 0 ? QStringList{"--jobs", QString::number(jobs)} : QStringList{};
}

void Export(benchmark::State &state, const QString &format, int jobs)
{
  const QString out = QString::fromStdString(Animations(1) + "/out-") + format;
  RunVelk(state,
          QStringList{"export", QString::fromStdString(Animations(1) + "/anims"), "-o", out, "--format", format} +
              Jobs(jobs));
}

void Check(benchmark::State &state, int repeats, int jobs)
{
  RunVelk(state, QStringList{"check", QString::fromStdString(Animations(repeats) + "/anims")} + Jobs(jobs));
}

// GIFs of four frames cost little to draw: writing each file safely (synced to the disk) weighs as
// much. Sheets of all four directions cost more to draw and encode.
void ExportGifOneWorker(benchmark::State &state)
{
  Export(state, "gif", 1);
}
void ExportGifAllCores(benchmark::State &state)
{
  Export(state, "gif", 0);
}
void ExportSheetOneWorker(benchmark::State &state)
{
  Export(state, "sheet", 1);
}
void ExportSheetAllCores(benchmark::State &state)
{
  Export(state, "sheet", 0);
}
void CheckOneWorker(benchmark::State &state)
{
  Check(state, 1, 1);
}
void CheckAllCores(benchmark::State &state)
{
  Check(state, 1, 0);
}
void CheckLongOneWorker(benchmark::State &state)
{
  Check(state, LongRepeats, 1);
}
void CheckLongAllCores(benchmark::State &state)
{
  Check(state, LongRepeats, 0);
}
BENCHMARK(ExportGifOneWorker)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportGifAllCores)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetOneWorker)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSheetAllCores)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckOneWorker)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckAllCores)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckLongOneWorker)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckLongAllCores)->Unit(benchmark::kMillisecond);

std::vector<std::string> AnimationFiles()
{
  std::vector<std::string> files;
  for (const auto &entry : fs::recursive_directory_iterator(Animations(1) + "/anims"))
    if (entry.path().extension() == ".velk")
      files.push_back(entry.path().string());
  return files;
}

// The baseline of checking: the reader on each file, for one player.
void ReadEveryFile(benchmark::State &state)
{
  UseGameFolder(GameFolder);
  const std::vector<std::string> files = AnimationFiles();
  TZeltoActor owner(nullptr, MainActorCode);
  for (auto _ : state)
    for (const std::string &file : files)
      benchmark::DoNotOptimize(ReadAnimation(&owner, file));
}
BENCHMARK(ReadEveryFile)->Unit(benchmark::kMillisecond);

void CheckEveryFile(benchmark::State &state)
{
  UseGameFolder(GameFolder);
  const std::vector<std::string> files = AnimationFiles();
  for (auto _ : state) {
    TAnimationChecker checker;
    for (const std::string &file : files)
      benchmark::DoNotOptimize(checker.Check(file));
  }
}
BENCHMARK(CheckEveryFile)->Unit(benchmark::kMillisecond);

// Worker processes should bring at least 0.8 x the cores' speed-up: time(all) <= time(one) / (0.8 x cores).
// Checking 1,000 four-frame files takes less than starting a process: there every core should cost
// no more than one, give or take the 10 % of spawning a worker that is then not needed.
const double ParallelTarget = 1.0 / (0.8 * Cores());
const bool declared =
    DeclareRatio("export GIFs, every core / one", "ExportGifAllCores", "ExportGifOneWorker", ParallelTarget) &&
    DeclareRatio("export sheets, every core / one", "ExportSheetAllCores", "ExportSheetOneWorker", ParallelTarget) &&
    DeclareRatio("check 256-frame files, every core / one", "CheckLongAllCores", "CheckLongOneWorker",
                 ParallelTarget) &&
    DeclareRatio("check 4-frame files, every core / one", "CheckAllCores", "CheckOneWorker", 1.1) &&
    DeclareRatio("check every file / read every file", "CheckEveryFile", "ReadEveryFile", 1.5, true);

} // namespace

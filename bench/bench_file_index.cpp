// Scanning a large game folder, against a bare recursive walk of the same tree.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "images/file_index.h"
#include "ratio_report.h"

namespace fs = std::filesystem;

namespace {

// 50,000 files in 1,000 folders (two levels deep), a few names repeated across folders.
const std::string &Tree()
{
  static const std::string root = [] {
    const int folders = SmokeRun() ? 20 : 1000;
    const int filesPerFolder = SmokeRun() ? 10 : 50;
    std::string path = (fs::temp_directory_path() / ("zeltrix-bench-tree-" + std::to_string(folders))).string();
    if (!fs::exists(path + "/done")) {
      fs::remove_all(path);
      for (int f = 0; f < folders; ++f) {
        const std::string folder = path + "/area" + std::to_string(f / 40) + "/set" + std::to_string(f);
        fs::create_directories(folder);
        for (int i = 0; i < filesPerFolder; ++i) {
          const std::string name =
              i == 0 ? "Shared.png" : "file" + std::to_string(f) + "_" + std::to_string(i) + ".png";
          std::ofstream(folder + "/" + name) << 'x';
        }
      }
      std::ofstream(path + "/done") << 'x';
    }
    return path;
  }();
  return root;
}

void ScanIndex(benchmark::State &state)
{
  const std::string &root = Tree();
  for (auto _ : state) {
    UseGameFolder(root);
    benchmark::DoNotOptimize(FileIndex().size());
  }
}
BENCHMARK(ScanIndex)->Unit(benchmark::kMillisecond);

void BareWalk(benchmark::State &state)
{
  const std::string &root = Tree();
  for (auto _ : state) {
    size_t count = 0;
    for (const auto &entry : fs::recursive_directory_iterator(root))
      count += entry.is_regular_file();
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BareWalk)->Unit(benchmark::kMillisecond);

const bool declared = DeclareRatio("index scan / bare recursive walk", "ScanIndex", "BareWalk", 1.5);

} // namespace

// Inputs that once cost far more than their size, each generated at two sizes, n and 4n: the
// ratio of the two times says how the cost grows (linear growth gives about 4x).
//   frame blocks   reading a file of many ANI..ANIEND blocks
//   sprite actors  reading and freeing a movie of many sprite actors
//   attachments    drawing a frame whose definitions each attach the next four times
//   nested movies  opening, evaluating and drawing movies whose characters play the next movie
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "model/reader.h"
#include "ratio_report.h"
#include "scene/scene_setup.h"
#include "support/hostile_inputs.h"

namespace {

// A fresh game folder per input, removed at exit.
std::string Folder(const std::string &name)
{
  const std::string folder = std::filesystem::temp_directory_path().string() + "/zeltrix-bench-hostile-" + name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

int Scale(int full)
{
  return SmokeRun() ? full / 100 : full;
}

void ReadBlocks(benchmark::State &state, int blocks)
{
  const std::string path = WriteManyFrameBlocks(Folder("blocks" + std::to_string(blocks)), blocks);
  UseGameFolder("");
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadAnimation(nullptr, path));
}

void ReadActors(benchmark::State &state, int actors)
{
  const std::string folder = Folder("actors" + std::to_string(actors));
  const std::string path = WriteManySpriteActors(folder, actors);
  // The bundled images each actor starts with are found, as in a real game folder.
  for (const char *image : {"ride.png", "shield1.png", "sword1.png"})
    std::filesystem::copy_file(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/" + image, folder + "/" + image);
  UseGameFolder(folder);
  TZeltoActor owner(nullptr, MainActorCode);
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadAnimation(&owner, path));
}

// Opens path for a main actor as velk render does and draws it.
void OpenAndDraw(benchmark::State &state, const std::string &folder, const std::string &path)
{
  UseGameFolder(folder);
  TSceneSetup setup;
  setup.InitializeDisplay();
  setup.LoadFixedImages();
  TImageCacheLink link(setup);
  setup.LayOut(640, 480, 17);
  for (auto _ : state) {
    auto player = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
    SetAnimationByName(player.get(), path);
    ShowTime(player.get(), 0);
    setup.Scene.EditActor = player.get();
    setup.Draw();
    setup.Scene.EditActor = nullptr;
  }
}

void DrawAttachments(benchmark::State &state, int definitions)
{
  const std::string folder = Folder("attach" + std::to_string(definitions));
  OpenAndDraw(state, folder, WriteMultiplyingAttachments(folder, definitions, 4));
}

void OpenMovies(benchmark::State &state, int characters)
{
  const std::string folder = Folder("movies" + std::to_string(characters));
  OpenAndDraw(state, folder, WriteMultiplyingMovies(folder, 6, characters));
}

// name/n and name/4n, declared as one ratio. The size n is asked for when the benchmark runs,
// after the smoke flag is known.
bool Sizes(const std::string &name, void (*run)(benchmark::State &, int), int (*n)())
{
  for (int times : {1, 4})
    benchmark::RegisterBenchmark((name + (times == 1 ? "/n" : "/4n")).c_str(),
                                 [run, n, times](benchmark::State &state) { run(state, times * n()); })
        ->Unit(benchmark::kMillisecond)
        // A warm-up run first, so both sizes are timed on memory the process already has, and
        // enough runs of the larger size that one slow run does not decide the ratio.
        ->MinWarmUpTime(0.5)
        ->MinTime(SmokeRun() ? 0.01 : 3.0);
  return DeclareRatio(name + " 4n / n", name + "/4n", name + "/n", 5.0);
}

const bool declared = Sizes("frame blocks", ReadBlocks, [] { return Scale(50000); }) &&
                      Sizes("sprite actors", ReadActors, [] { return Scale(10000); }) &&
                      Sizes("attachments", DrawAttachments, [] { return SmokeRun() ? 4 : 16; }) &&
                      Sizes("nested movies", OpenMovies, [] { return SmokeRun() ? 2 : 8; });

} // namespace

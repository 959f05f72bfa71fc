// Reading and writing a large animation (10,000 frames, 2.8 MB), against splitting the same bytes
// into lines and words (reader) and a plain write of the same bytes (writer).
//   reader          ParseAnimation of the bytes into a document (and its freeing)
//   save            WriteAnimation: the text made from the document, written to a new file beside
//                   the old one, fdatasync, renamed over it, the folder synced; against the same
//                   bytes written into one file and fdatasync
//   read-back       what a save that reads back its text before replacing the file adds: the
//                   text read into a document and made again from it (against the same baseline)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"
#include "ratio_report.h"

namespace {

int FrameCount()
{
  return SmokeRun() ? 50 : 10000;
}

// An animation of four-direction frames with four parts per direction and two sounds per frame.
std::unique_ptr<TZeltoAni> MakeAnimation(int frames)
{
  auto ani = std::make_unique<TZeltoAni>();
  for (int i = 0; i < 40; ++i) {
    auto sprite = std::make_unique<TZeltoAniSprite>();
    sprite->Index = i;
    sprite->Image = i % 2 ? "BODY" : "sprites.png";
    sprite->Left = i * 32;
    sprite->Width = sprite->Height = 32;
    sprite->Description = "sprite number " + std::to_string(i);
    ani->Sprites.push_back(std::move(sprite));
  }
  for (int f = 0; f < frames; ++f) {
    auto step = std::make_unique<TZeltoAniStep>();
    step->Duration = 1 + f % 5;
    for (int d = 0; d < DirectionCount; ++d) {
      TPartList parts;
      for (int p = 0; p < 4; ++p)
        parts.push_back(std::make_unique<TZeltoAniPart>(
            TZeltoAniPart{ani->Sprites[(f + d + p) % 40].get(), -1, -1, p * 7 - 10, d * 5 - 20}));
      step->Directions.push_back(std::move(parts));
    }
    step->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"step.wav", 24, 32, 1}));
    step->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"cloth.wav", 8, -16, step->Duration}));
    ani->Steps.push_back(std::move(step));
  }
  RecomputeStartTicks(ani.get());
  return ani;
}

const std::string &AnimationBytes()
{
  static const std::string bytes = [] {
    auto ani = MakeAnimation(FrameCount());
    return AnimationText(ani.get());
  }();
  return bytes;
}

void Read(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  for (auto _ : state) {
    TZeltoAni ani;
    benchmark::DoNotOptimize(ParseAnimation(ani, nullptr, bytes));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(Read)->Unit(benchmark::kMillisecond);

// The floor for any reader: every line and every word copied out of the bytes.
void SplitLinesAndWords(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  for (auto _ : state) {
    std::vector<std::string> words;
    size_t count = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find('\n', pos);
      if (end == std::string::npos)
        end = bytes.size();
      std::string line(bytes, pos, end - pos);
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      words.clear();
      size_t w = 0;
      while (w < line.size()) {
        size_t space = line.find(' ', w);
        if (space == std::string::npos)
          space = line.size();
        if (space > w)
          words.emplace_back(line, w, space - w);
        w = space + 1;
      }
      count += words.size();
      pos = end + 1;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(SplitLinesAndWords)->Unit(benchmark::kMillisecond);

std::string OutputPath(const char *name)
{
  return (std::filesystem::temp_directory_path() / name).string();
}

void Write(benchmark::State &state)
{
  auto ani = MakeAnimation(FrameCount());
  ani->FileName = OutputPath("zeltrix-bench-write.velk");
  for (auto _ : state)
    benchmark::DoNotOptimize(WriteAnimation(ani.get()));
  std::filesystem::remove(ani->FileName);
}
BENCHMARK(Write)->Unit(benchmark::kMillisecond);

// The floor for any writer: the same number of bytes written to a file in one go.
void PlainWrite(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  const std::string path = OutputPath("zeltrix-bench-plain.velk");
  for (auto _ : state) {
    FILE *file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  std::filesystem::remove(path);
}
BENCHMARK(PlainWrite)->Unit(benchmark::kMillisecond);

// Save makes the new file durable before it replaces the old one (fdatasync, then rename), so
// its fair floor is the same bytes written and synced the same way.
void PlainWriteSynced(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  const std::string path = OutputPath("zeltrix-bench-synced.velk");
  for (auto _ : state) {
    FILE *file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    fdatasync(fileno(file));
    std::fclose(file);
  }
  std::filesystem::remove(path);
}
BENCHMARK(PlainWriteSynced)->Unit(benchmark::kMillisecond);

// The text read back into a document and written again, compared with what was read.
void ReadBack(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  for (auto _ : state) {
    TZeltoAni ani;
    ParseAnimation(ani, nullptr, bytes);
    benchmark::DoNotOptimize(AnimationText(&ani) == bytes);
  }
}
BENCHMARK(ReadBack)->Unit(benchmark::kMillisecond);

const bool declared =
    DeclareRatio("reader / split into lines and words", "Read", "SplitLinesAndWords", 3.0) &&
    DeclareRatio("save / plain write + fdatasync", "Write", "PlainWriteSynced", 3.0) &&
    DeclareRatio("read-back (read + text) / plain write + fdatasync", "ReadBack", "PlainWriteSynced", 0);

} // namespace

namespace {

void BuildText(benchmark::State &state)
{
  auto ani = MakeAnimation(FrameCount());
  for (auto _ : state)
    benchmark::DoNotOptimize(AnimationText(ani.get()));
}
BENCHMARK(BuildText)->Unit(benchmark::kMillisecond);

const bool declaredText = DeclareRatio("writer text / plain write (no sync)", "BuildText", "PlainWrite", 4.0);

} // namespace

namespace {

// Before a save replaces its file, the text is read back and written again; that check should
// cost no more than opening the file once (reading it from disk and parsing it).
void ReadBackCheck(benchmark::State &state)
{
  const std::string &bytes = AnimationBytes();
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadBackProblem(bytes));
}
BENCHMARK(ReadBackCheck)->Unit(benchmark::kMillisecond);

void OpenFile(benchmark::State &state)
{
  const std::string path = OutputPath("zeltrix-bench-open.velk");
  const std::string &bytes = AnimationBytes();
  FILE *file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadAnimation(nullptr, path));
  std::filesystem::remove(path);
}
BENCHMARK(OpenFile)->Unit(benchmark::kMillisecond);

const bool declaredCheck = DeclareRatio("save's read-back check / opening the file", "ReadBackCheck", "OpenFile", 1.0);

} // namespace

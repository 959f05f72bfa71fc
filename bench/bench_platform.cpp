// Speed of the colour-keyed copy, the renderer's most frequent operation, printed as a ratio
// to QPainter drawing the same sprite as a premultiplied-alpha image in the same run.
#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

#include "platform/surface.h"

namespace {

constexpr int Side = 1024;
constexpr uint32_t Key = 0xFF00FF;

// A sprite of side x side whose every third pixel is the key colour.
TSurface KeyedSprite(int side)
{
  TSurface sprite;
  sprite.SetSize(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      sprite.Fill(QRect(x, y, 1, 1), (x + y) % 3 == 0 ? Key : 0x102030 + x);
  sprite.SetColorKey(Key);
  return sprite;
}

// The same sprite with the key pixels fully transparent.
QImage AlphaSprite(const TSurface &sprite)
{
  QImage image(sprite.Width(), sprite.Height(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < sprite.Height(); ++y)
    for (int x = 0; x < sprite.Width(); ++x)
      image.setPixel(x, y, sprite.Pixel(x, y) == Key ? 0 : 0xFF000000 | sprite.Pixel(x, y));
  return image;
}

// 64 copies spread over the back buffer, some cut at its edges.
void KeyedCopy(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  TSurface sprite = KeyedSprite(side), target;
  target.SetSize(Side, Side);
  for (auto _ : state) {
    for (int i = 0; i < 64; ++i)
      target.Draw((i * 97) % Side - side / 2, (i * 61) % Side - side / 2, sprite, sprite.Bounds());
    benchmark::DoNotOptimize(target.Image().constBits());
  }
}

void PainterAlpha(benchmark::State &state)
{
  const int side = static_cast<int>(state.range(0));
  const QImage sprite = AlphaSprite(KeyedSprite(side));
  TSurface target;
  target.SetSize(Side, Side);
  for (auto _ : state) {
    QPainter painter(&target.Image());
    for (int i = 0; i < 64; ++i)
      painter.drawImage((i * 97) % Side - side / 2, (i * 61) % Side - side / 2, sprite);
    painter.end();
    benchmark::DoNotOptimize(target.Image().constBits());
  }
}

BENCHMARK(KeyedCopy)->Arg(32)->Arg(128);
BENCHMARK(PainterAlpha)->Arg(32)->Arg(128);

class RatioReporter : public benchmark::ConsoleReporter
{
public:
  std::map<std::string, double> Times;
  void ReportRuns(const std::vector<Run> &runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs)
      Times[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
};

} // namespace

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatio of the keyed copy's time to QPainter's alpha drawing (below 1.0: ours is faster)\n");
  for (const char *size : {"32", "128"}) {
    auto ours = reporter.Times.find(std::string("KeyedCopy/") + size);
    auto base = reporter.Times.find(std::string("PainterAlpha/") + size);
    if (ours != reporter.Times.end() && base != reporter.Times.end() && base->second > 0)
      std::printf("  sprite %sx%s: %.2fx\n", size, size, ours->second / base->second);
  }
  benchmark::Shutdown();
  return 0;
}

// Speed of the colour-keyed copy, the renderer's most frequent operation, printed as a ratio
// to QPainter drawing the same sprite as a premultiplied-alpha image in the same run.
#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "ratio_report.h"
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

const bool declared =
    DeclareRatio("keyed copy 32x32 / QPainter alpha drawing", "KeyedCopy/32", "PainterAlpha/32", 1.5) &&
    DeclareRatio("keyed copy 128x128 / QPainter alpha drawing", "KeyedCopy/128", "PainterAlpha/128", 1.5);

} // namespace

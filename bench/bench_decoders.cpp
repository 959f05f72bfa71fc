// Decoding speed of our PNG and GIF decoders against libpng and giflib on the same files.
// Prints each of our times as a ratio to the library's time measured in the same run.
#include <benchmark/benchmark.h>

#include "ratio_report.h"
#include <gif_lib.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "images/gif_animation.h"
#include "images/mng_animation.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Sprite-like pixels: runs of colour with noise, so that every filter and code length occurs.
Bytes MakePixels(int width, int height, uint32_t seed)
{
  std::mt19937 random(seed);
  Bytes pixels(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const size_t i = size_t(y) * width + x;
      if (random() % 5 == 0)
        pixels[i] = uint8_t(random());
      else if (y > 0 && random() % 2)
        pixels[i] = pixels[i - width];
      else
        pixels[i] = x ? pixels[i - 1] : uint8_t(random());
    }
  return pixels;
}

Bytes EncodePng(int width, int height)
{
  const Bytes pixels = MakePixels(width, height, uint32_t(width));
  Bytes file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &file,
      [](png_structp p, png_bytep data, png_size_t size) {
        auto *out = static_cast<Bytes *>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + size);
      },
      nullptr);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colors(256);
  for (int i = 0; i < 256; ++i)
    colors[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
  png_set_PLTE(png, info, colors.data(), 256);
  const png_byte alpha[1] = {0};
  png_set_tRNS(png, info, alpha, 1, nullptr);
  png_set_filter(png, 0, PNG_ALL_FILTERS); // libpng picks a filter per row: mixed filters
  png_write_info(png, info);
  for (int y = 0; y < height; ++y)
    png_write_row(png, &pixels[size_t(y) * width]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}

Bytes EncodeGif(int width, int height, int frames)
{
  Bytes file;
  int error = 0;
  GifFileType *gif = EGifOpen(
      &file,
      [](GifFileType *g, const GifByteType *data, int size) {
        auto *out = static_cast<Bytes *>(g->UserData);
        out->insert(out->end(), data, data + size);
        return size;
      },
      &error);
  EGifSetGifVersion(gif, true);
  std::vector<GifColorType> colors(256);
  for (int i = 0; i < 256; ++i)
    colors[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
  ColorMapObject *map = GifMakeMapObject(256, colors.data());
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  for (int f = 0; f < frames; ++f) {
    const uint8_t control[4] = {0, 5, 0, 0};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    Bytes pixels = MakePixels(width, height, uint32_t(f + 1));
    for (int y = 0; y < height; ++y)
      EGifPutLine(gif, &pixels[size_t(y) * width], width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return file;
}

const Bytes &Sprite()
{
  static const Bytes file = EncodePng(64, 64);
  return file;
}
const Bytes &Sheet()
{
  static const Bytes file = EncodePng(1024, 1024);
  return file;
}
const Bytes &LargeGif()
{
  static const Bytes file = EncodeGif(1024, 1024, 1);
  return file;
}
const Bytes &AnimatedGif()
{
  static const Bytes file = EncodeGif(128, 128, 32);
  return file;
}

void Ours(benchmark::State &state, const Bytes &(*file)())
{
  for (auto _ : state) {
    TMNGAnimation image{Bytes(file())};
    benchmark::DoNotOptimize(image.NextFrame());
    benchmark::DoNotOptimize(image.Bits);
  }
}

void Libpng(benchmark::State &state, const Bytes &(*file)())
{
  struct Source
  {
    const Bytes *File;
    size_t Pos;
  };
  for (auto _ : state) {
    Bytes copy = file(); // our decoder gets its own copy of the bytes too
    Source source{&copy, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &source, [](png_structp p, png_bytep data, png_size_t size) {
      auto *s = static_cast<Source *>(png_get_io_ptr(p));
      std::memcpy(data, s->File->data() + s->Pos, size);
      s->Pos += size;
    });
    png_read_info(png, info);
    const size_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    Bytes pixels(width * height);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y)
      rows[y] = &pixels[y * width];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void OursGif(benchmark::State &state, const Bytes &(*file)())
{
  for (auto _ : state) {
    TGifAnimation image{Bytes(file())};
    for (int i = 0; i < image.FrameCount; ++i)
      benchmark::DoNotOptimize(image.NextFrame());
    benchmark::DoNotOptimize(image.Bits);
  }
}

void GiflibSlurp(benchmark::State &state, const Bytes &(*file)())
{
  struct Source
  {
    const Bytes *File;
    size_t Pos;
  };
  for (auto _ : state) {
    Bytes copy = file();
    Source source{&copy, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(
        &source,
        [](GifFileType *g, GifByteType *data, int size) {
          auto *s = static_cast<Source *>(g->UserData);
          const size_t n = std::min(size_t(size), s->File->size() - s->Pos);
          std::memcpy(data, s->File->data() + s->Pos, n);
          s->Pos += n;
          return int(n);
        },
        &error);
    DGifSlurp(gif);
    benchmark::DoNotOptimize(gif->SavedImages);
    DGifCloseFile(gif, &error);
  }
}

BENCHMARK_CAPTURE(Ours, sprite_64, Sprite);
BENCHMARK_CAPTURE(Libpng, sprite_64, Sprite);
BENCHMARK_CAPTURE(Ours, sheet_1024, Sheet);
BENCHMARK_CAPTURE(Libpng, sheet_1024, Sheet);
BENCHMARK_CAPTURE(OursGif, gif_1024, LargeGif);
BENCHMARK_CAPTURE(GiflibSlurp, gif_1024, LargeGif);
BENCHMARK_CAPTURE(OursGif, gif_32_frames, AnimatedGif);
BENCHMARK_CAPTURE(GiflibSlurp, gif_32_frames, AnimatedGif);

const bool declared =
    DeclareRatio("PNG 64x64 sprite / libpng", "Ours/sprite_64", "Libpng/sprite_64", 1.0, true) &&
    DeclareRatio("PNG 1024x1024 sheet / libpng", "Ours/sheet_1024", "Libpng/sheet_1024", 1.0, true) &&
    DeclareRatio("GIF 1024x1024 / giflib DGifSlurp", "OursGif/gif_1024", "GiflibSlurp/gif_1024", 1.0, true) &&
    DeclareRatio("GIF 32 frames / giflib DGifSlurp", "OursGif/gif_32_frames", "GiflibSlurp/gif_32_frames", 1.0, true);

} // namespace

// The PNG/MNG decoder against libpng, and the cases where its own rules matter.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <random>

#include "images/image_fixtures.h"
#include "images/mng_animation.h"
#include "support/temp_dir.h"

namespace {

struct Raster
{
  int Width = 0, Height = 0;
  std::vector<Bytes> Rows;
  Bytes Palette; // RGB triples
  int TransparentIndex = -1;
};

// libpng's view of an indexed PNG in memory: one palette index per pixel, no conversion.
Raster ReadWithLibpng(const Bytes &file)
{
  struct Source
  {
    const Bytes *File;
    size_t Pos;
  } source{&file, 8};
  Raster out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    ADD_FAILURE() << "libpng rejected the test image";
    return out;
  }
  png_set_read_fn(png, &source, [](png_structp p, png_bytep data, png_size_t size) {
    auto *s = static_cast<Source *>(png_get_io_ptr(p));
    if (s->Pos + size > s->File->size())
      png_error(p, "end of data");
    std::memcpy(data, s->File->data() + s->Pos, size);
    s->Pos += size;
  });
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  png_set_packing(png);
  png_read_update_info(png, info);
  out.Width = static_cast<int>(png_get_image_width(png, info));
  out.Height = static_cast<int>(png_get_image_height(png, info));
  png_colorp palette = nullptr;
  int count = 0;
  png_get_PLTE(png, info, &palette, &count);
  for (int i = 0; i < count; ++i)
    out.Palette.insert(out.Palette.end(), {palette[i].red, palette[i].green, palette[i].blue});
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr))
    for (int i = 0; i < alphaCount && out.TransparentIndex < 0; ++i)
      if (alpha[i] == 0)
        out.TransparentIndex = i;
  out.Rows.assign(static_cast<size_t>(out.Height), Bytes(static_cast<size_t>(out.Width)));
  std::vector<png_bytep> rows;
  for (Bytes &row : out.Rows)
    rows.push_back(row.data());
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return out;
}

// libpng's own encoder: its filter choice, small IDAT chunks.
Bytes WriteWithLibpng(const std::vector<Bytes> &rows, int depth, const Bytes &palette, const Bytes &trns, int filters)
{
  Bytes file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the test image";
    return {};
  }
  png_set_write_fn(
      png, &file,
      [](png_structp p, png_bytep data, png_size_t size) {
        auto *out = static_cast<Bytes *>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + size);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(rows[0].size()), static_cast<png_uint_32>(rows.size()), depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colors;
  for (size_t i = 0; i + 2 < palette.size(); i += 3)
    colors.push_back({palette[i], palette[i + 1], palette[i + 2]});
  png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
  if (!trns.empty())
    png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  png_set_filter(png, 0, filters);
  png_set_compression_buffer_size(png, 256); // many IDAT chunks
  png_write_info(png, info);
  png_set_packing(png);
  for (const Bytes &row : rows)
    png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}

std::vector<Bytes> RandomRows(std::mt19937 &random, int width, int height, int colors)
{
  // Runs of equal pixels with noise between, so that every filter has something to predict.
  std::vector<Bytes> rows(static_cast<size_t>(height), Bytes(static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      rows[y][x] = (random() % 4 == 0 || x == 0) ? uint8_t(random() % colors) : rows[y][x - 1];
  return rows;
}

Bytes RandomPalette(std::mt19937 &random, int count)
{
  Bytes palette(static_cast<size_t>(count) * 3);
  for (uint8_t &byte : palette)
    byte = uint8_t(random());
  return palette;
}

void ExpectSameImage(TMNGAnimation &ours, const Raster &expected, const std::string &what)
{
  ASSERT_EQ(ours.Width, expected.Width) << what;
  ASSERT_EQ(ours.Height, expected.Height) << what;
  ASSERT_EQ(ours.ColorCount * 3, int(expected.Palette.size())) << what;
  EXPECT_TRUE(std::equal(expected.Palette.begin(), expected.Palette.end(), ours.Palette.begin())) << what;
  EXPECT_EQ(ours.TransparentIndex, expected.TransparentIndex) << what;
  for (int y = 0; y < expected.Height; ++y)
    ASSERT_EQ(0, std::memcmp(ours.Bitmap.constScanLine(y), expected.Rows[y].data(), expected.Rows[y].size()))
        << what << ", row " << y;
  // The colour table is what the image cache draws with.
  ASSERT_EQ(ours.Bitmap.colorCount(), ours.ColorCount);
  if (ours.ColorCount > 0)
    EXPECT_EQ(ours.Bitmap.color(0), qRgb(expected.Palette[0], expected.Palette[1], expected.Palette[2]));
}

TMNGAnimation Decode(const Bytes &file)
{
  return TMNGAnimation(Bytes(file));
}

} // namespace

TEST(PngDecoder, MatchesLibpngForEveryFilterDepthAndWidth)
{
  std::mt19937 random(1234);
  const std::vector<std::vector<int>> filterSets = {{0}, {1}, {2}, {3}, {4}, {3, 4, 1, 2, 0}};
  int cases = 0;
  for (int depth : {4, 8})
    for (int width : {1, 2, 3, 5, 8, 17, 64, 101})
      for (const auto &filters : filterSets)
        for (bool withTrns : {false, true}) {
          const int colors = depth == 4 ? 16 : 200;
          const int height = 1 + int(random() % 9);
          const auto rows = RandomRows(random, width, height, colors);
          const Bytes palette = RandomPalette(random, colors);
          const Bytes trns = withTrns ? Bytes{255, 200, 0, 0, 17} : Bytes{};
          const Bytes file = PngFile(rows, depth, palette, trns, filters);
          const std::string what = "depth " + std::to_string(depth) + ", width " + std::to_string(width) +
                                   ", first filter " + std::to_string(filters[0]);
          const Raster expected = ReadWithLibpng(file);
          ASSERT_EQ(expected.Rows, rows) << what; // the fixture itself is sound
          TMNGAnimation ours = Decode(file);
          EXPECT_EQ(ours.NextFrame(), 1000);
          ExpectSameImage(ours, expected, what);
          ++cases;
        }
  EXPECT_EQ(cases, 192);
}

TEST(PngDecoder, MatchesLibpngOnItsOwnEncodingWithManyIdatChunks)
{
  std::mt19937 random(99);
  for (int depth : {4, 8})
    for (int filters :
         {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH, PNG_ALL_FILTERS})
      for (int width : {3, 31, 200}) {
        const int colors = depth == 4 ? 16 : 256;
        const auto rows = RandomRows(random, width, 40, colors);
        const Bytes palette = RandomPalette(random, colors);
        const Bytes file = WriteWithLibpng(rows, depth, palette, (width & 1) ? Bytes{255, 0} : Bytes{}, filters);
        const Raster expected = ReadWithLibpng(file);
        TMNGAnimation ours = Decode(file);
        ours.NextFrame();
        ExpectSameImage(ours, expected, "libpng-written, width " + std::to_string(width));
      }
}

TEST(PngDecoder, TransparentIndexIsTheFirstFullyTransparentEntry)
{
  const std::vector<Bytes> rows = {{0, 1, 2, 3}};
  const Bytes palette(12, 9);
  struct Case
  {
    Bytes Trns;
    int Expected;
  };
  for (const Case &c : {Case{{255, 255, 255, 0}, 3}, Case{{255, 128, 0}, 2}, Case{{128, 255}, -1}, Case{{}, -1}}) {
    TMNGAnimation image = Decode(PngFile(rows, 8, palette, c.Trns));
    image.NextFrame();
    EXPECT_EQ(image.TransparentIndex, c.Expected);
    EXPECT_EQ(image.IsTransparentPixel(3, 0), c.Expected == 3);
    EXPECT_EQ(image.IsTransparentPixel(2, 0), c.Expected == 2);
  }
  // Only palette entries can be transparent: an alpha of 0 past entry 255 is ignored.
  Bytes longTrns(300, 255);
  longTrns[280] = 0;
  TMNGAnimation image = Decode(PngFile(rows, 8, palette, longTrns));
  image.NextFrame();
  EXPECT_EQ(image.TransparentIndex, -1);
}

TEST(PngDecoder, PlainPngIsOneFrameWhoseDataIsFreedAfterRendering)
{
  TMNGAnimation image = Decode(PngFile({{0, 3}, {3, 1}}, 8, Bytes(12, 1), {255, 255, 255, 0}));
  EXPECT_EQ(image.FrameCount, 1);
  EXPECT_TRUE(image.Animated);
  EXPECT_EQ(image.NextFrame(), 1000);
  EXPECT_FALSE(image.Animated);
  EXPECT_EQ(image.Frames[0]->Data, nullptr);
  EXPECT_TRUE(image.IsTransparentPixel(1, 0));
  EXPECT_FALSE(image.IsTransparentPixel(0, 0));
  EXPECT_TRUE(image.IsTransparentPixel(0, 1));
  // Outside the image counts as transparent.
  EXPECT_TRUE(image.IsTransparentPixel(-1, 0));
  EXPECT_TRUE(image.IsTransparentPixel(2, 0));
  // A further call finds no frame to render.
  EXPECT_EQ(image.NextFrame(), 1000);
}

TEST(PngDecoder, RejectsWhatItDoesNotDecode)
{
  const std::vector<Bytes> rows = {{0, 1}};
  auto withHeader = [&](int depth, int colorType) {
    return Concat({PngSignature(), Ihdr(2, 1, depth, colorType), Chunk("IDAT", FilteredIdatData(rows, 8, {0})),
                   Chunk("IEND", {})});
  };
  const std::vector<Bytes> bad = {
      {},
      Text("GIF89a and some more bytes"),
      withHeader(8, 2), // RGB
      withHeader(8, 0), // greyscale
      withHeader(1, 3),
      withHeader(2, 3),
      Concat({PngSignature(), Ihdr(16385, 1, 8)}),     // wider than the limit
      Concat({PngSignature(), Ihdr(16384, 16385, 8)}), // taller than the limit
      Concat({PngSignature(), Ihdr(0xFFFFFFFF, 0xFFFFFFFF, 8)}),
      Concat({MngSignature(), Chunk("MHDR", Concat({BigEndian32(20000), BigEndian32(4)}))}),
      PngSignature(), // no image: no size to make a bitmap of
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    try {
      TMNGAnimation image{Bytes(bad[i])};
      ADD_FAILURE() << "case " << i << " loaded";
    } catch (const TImageLoadError &error) {
      EXPECT_STREQ(error.what(), "MNG loading failed!") << i;
    }
  }
  TempDir dir;
  EXPECT_THROW(TMNGAnimation{dir.Write("empty.png", "")}, TImageLoadError);
  EXPECT_THROW(TMNGAnimation{dir.Path() + "/missing.png"}, TImageLoadError);
  EXPECT_THROW(TMNGAnimation{std::string()}, TImageLoadError);
  const Bytes good = PngFile(rows, 8, Bytes(6, 0));
  EXPECT_EQ(TMNGAnimation(dir.Write("good.png", std::string(good.begin(), good.end()))).Width, 2);
}

TEST(PngDecoder, DamagedDataLeavesAFrameWithoutPixels)
{
  const std::vector<Bytes> rows = {{5, 6, 7}, {7, 6, 5}};
  const Bytes palette(24, 2);
  const Bytes good = FilteredIdatData(rows, 8, {1});
  Bytes corrupt = good;
  corrupt[corrupt.size() / 2] ^= 0x5A;
  const Bytes tooShort = FilteredIdatData({rows[0]}, 8, {0});
  // Interlaced data is longer than the rows of the plain layout.
  const Bytes interlaced =
      Concat({PngSignature(), Ihdr(3, 2, 8, 3, 1), Chunk("PLTE", palette),
              Chunk("IDAT", FilteredIdatData({rows[0], rows[1], rows[0]}, 8, {0})), Chunk("IEND", {})});
  for (const Bytes &file :
       {Concat({PngSignature(), Ihdr(3, 2, 8), Chunk("PLTE", palette), Chunk("IDAT", corrupt), Chunk("IEND", {})}),
        Concat({PngSignature(), Ihdr(3, 2, 8), Chunk("PLTE", palette), Chunk("IDAT", tooShort), Chunk("IEND", {})}),
        Concat(
            {PngSignature(), Ihdr(3, 2, 8), Chunk("PLTE", palette), Chunk("IDAT", Bytes(40, 0x78)), Chunk("IEND", {})}),
        interlaced}) {
    TMNGAnimation image = Decode(file);
    EXPECT_EQ(image.FrameCount, 1);
    EXPECT_EQ(image.Frames[0]->Data, nullptr);
    EXPECT_EQ(image.Damage, "image 1 has no pixel data that inflates to its size");
    image.NextFrame();
    for (int y = 0; y < 2; ++y)
      EXPECT_EQ(Bytes(image.Bitmap.constScanLine(y), image.Bitmap.constScanLine(y) + 3), Bytes(3, 0));
  }
  // Truncation inside a chunk keeps what came before it; a lower-case chunk type is still known.
  Bytes file = Concat({PngSignature(), Ihdr(3, 2, 8), Chunk("PLTE", palette), Chunk("IDAT", good), Chunk("iend", {})});
  TMNGAnimation lowerCase = Decode(file);
  lowerCase.NextFrame();
  EXPECT_EQ(lowerCase.Bitmap.pixelIndex(2, 1), 5);
  EXPECT_EQ(lowerCase.Damage, "");
  // Cut inside IEND, after IDAT, and inside IDAT: the decoder says what it missed.
  for (const auto &[cut, damage] : {std::pair{4, "the file ends inside a chunk"},
                                    {12, "the file ends before the image's IEND chunk"},
                                    {14, "the file ends inside a chunk"}}) {
    TMNGAnimation truncated = Decode(Bytes(file.begin(), file.end() - cut));
    EXPECT_EQ(truncated.Width, 3);
    EXPECT_EQ(truncated.Frames[0]->Data, nullptr);
    EXPECT_EQ(truncated.Damage, damage) << cut;
  }
}

namespace {

Bytes Mhdr(uint32_t width, uint32_t height, uint32_t ticks)
{
  return Chunk("MHDR", Concat({BigEndian32(width), BigEndian32(height), BigEndian32(ticks), Bytes(16, 0)}));
}

// FRAM with a framing mode, no name, and an optional delay change (1: next frame, 2: default too).
Bytes Fram(int mode, int change = 0, uint32_t delay = 0)
{
  Bytes body{uint8_t(mode), 0};
  if (change)
    body = Concat({body, {uint8_t(change), 0, 0, 0}, BigEndian32(delay)});
  return Chunk("FRAM", body);
}

Bytes Term(uint32_t iterations)
{
  return Chunk("TERM", Concat({{3, 0}, BigEndian32(0), BigEndian32(iterations)}));
}

std::vector<Bytes> Solid(int width, int height, uint8_t index)
{
  return std::vector<Bytes>(size_t(height), Bytes(size_t(width), index));
}

} // namespace

TEST(MngDecoder, FramesDelaysPalettesAndLoops)
{
  Bytes red = {255, 0, 0, 0, 0, 255}, green = {0, 255, 0, 9, 9, 9, 1, 1, 1};
  const Bytes file =
      Concat({MngSignature(), Mhdr(4, 3, 1000), Term(3), Chunk("PLTE", red), Chunk("tRNS", {255, 0}), Fram(1, 2, 500),
              PngImage(Solid(4, 3, 1), 8, red), PngImage(Solid(2, 2, 0), 4, green, {0}, {4}), Fram(1, 1, 70),
              PngImage(Solid(4, 3, 1), 8, red, {}, {2}), Chunk("MEND", {})});
  TMNGAnimation image = Decode(file);
  EXPECT_EQ(image.FrameCount, 3);
  EXPECT_EQ(image.Iterations, 3);
  EXPECT_EQ(image.LoopsLeft, 2);
  EXPECT_EQ(image.TicksPerSecond, 1000);
  // Delays in MNG ticks become hundredths of a second. An image's delay is what the frames
  // before the next image add up to: the default 500, then 70; the last image gets the lead delay.
  std::vector<int> delays;
  for (int i = 0; i < 3; ++i)
    delays.push_back(image.NextFrame());
  EXPECT_EQ(delays, (std::vector<int>{50, 7, 50}));
  // The second image brought its own palette and transparency; the first and third use the file's.
  EXPECT_EQ(image.Frames[1]->ColorCount, 3);
  EXPECT_EQ(image.Frames[1]->TransparentIndex, 0);
  EXPECT_EQ(image.GlobalColorCount, 2);
  EXPECT_EQ(image.GlobalTransparentIndex, 1);
  EXPECT_EQ(image.TransparentIndex, 1);
  EXPECT_EQ(image.LoopsLeft, 1);
  EXPECT_TRUE(image.Animated);
  // Later loops render the same pixels (the data is unfiltered only once).
  EXPECT_EQ(image.NextFrame(), 50);
  EXPECT_EQ(image.NextFrame(), 7);
  EXPECT_EQ(image.Bitmap.pixelIndex(1, 1), 0);
  EXPECT_EQ(image.TransparentIndex, 0);
  EXPECT_EQ(image.ColorCount, 3);
  EXPECT_EQ(image.Bitmap.color(1), qRgb(9, 9, 9));
  image.NextFrame();
  EXPECT_EQ(image.Bitmap.pixelIndex(3, 2), 1);
  for (int i = 0; i < 3; ++i)
    image.NextFrame();
  EXPECT_FALSE(image.Animated);
}

TEST(MngDecoder, FramingModeTwoCountsDelaysAtTheNextFram)
{
  // Mode 2 or 4 adds a frame's delay when the next FRAM comes; the early FRAM's delay is spent
  // after the last image.
  const Bytes palette(6, 0);
  const Bytes file = Concat({MngSignature(), Mhdr(2, 2, 100), Fram(2, 2, 30), PngImage(Solid(2, 2, 0), 8, palette),
                             Fram(4, 1, 10), PngImage(Solid(2, 2, 1), 8, palette), Fram(4), Chunk("MEND", {})});
  TMNGAnimation image = Decode(file);
  ASSERT_EQ(image.FrameCount, 2);
  EXPECT_EQ(image.Frames[0]->Delay, 30);
  EXPECT_EQ(image.Frames[1]->Delay, 10 + 30);
  EXPECT_EQ(image.Iterations, 0);
  image.NextFrame();
  image.NextFrame();
  EXPECT_FALSE(image.Animated);
}

TEST(MngDecoder, OutOfRangeFieldsAreHeldInBounds)
{
  // A frame larger than the MHDR size is cut at the image's edge; a tick rate of 0 does not
  // divide by zero; a huge delay does not overflow.
  const Bytes palette(12, 0);
  const Bytes file = Concat(
      {MngSignature(), Mhdr(3, 2, 0), Fram(1, 1, 0x7FFFFFFF), PngImage(Solid(9, 5, 2), 8, palette), Chunk("MEND", {})});
  TMNGAnimation image = Decode(file);
  EXPECT_EQ(image.Width, 3);
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.NextFrame(), 0x7FFFFFFF);
  EXPECT_EQ(image.Bitmap.pixelIndex(2, 1), 2);
  // An MNG without MHDR size takes its first image's.
  TMNGAnimation sized = Decode(Concat({MngSignature(), Mhdr(0, 0, 100), PngImage(Solid(5, 4, 1), 4, palette)}));
  EXPECT_EQ(sized.Width, 5);
  EXPECT_EQ(sized.Height, 4);
}

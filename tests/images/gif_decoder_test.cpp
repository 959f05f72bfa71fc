// The GIF decoder against giflib, and the cases where its own rules matter.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "images/gif_animation.h"
#include "images/image_fixtures.h"

namespace {

struct FrameShape
{
  int Left, Top, Width, Height;
  int LocalBits = 0; // 0: the global table
  bool Interlaced = false;
  int Transparent = -1;
  int Disposal = 0;
  int Delay = 0;
  bool Control = true; // write a graphic control extension
};

struct GifShape
{
  int Width, Height, GlobalBits, Background;
  std::vector<FrameShape> Frames;
  int Loop = -1; // -1: no loop extension
};

ColorMapObject *RandomMap(std::mt19937 &random, int bits)
{
  std::vector<GifColorType> colors(size_t(1) << bits);
  for (GifColorType &c : colors)
    c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
  return GifMakeMapObject(1 << bits, colors.data());
}

std::vector<int> InterlacedOrder(int height)
{
  std::vector<int> order;
  for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int y = start; y < height; y += step)
      order.push_back(y);
  return order;
}

// Encodes random pixels with giflib's encoder; rasters[i] holds frame i's pixels row by row.
Bytes WriteWithGiflib(std::mt19937 &random, const GifShape &shape, std::vector<Bytes> &rasters)
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
  ColorMapObject *global = RandomMap(random, shape.GlobalBits);
  EGifPutScreenDesc(gif, shape.Width, shape.Height, 8, shape.Background, global);
  if (shape.Loop >= 0) {
    const uint8_t loop[3] = {1, uint8_t(shape.Loop), uint8_t(shape.Loop >> 8)};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
  }
  for (const FrameShape &f : shape.Frames) {
    if (f.Control) {
      const uint8_t control[4] = {uint8_t((f.Disposal << 2) | (f.Transparent >= 0 ? 1 : 0)), uint8_t(f.Delay),
                                  uint8_t(f.Delay >> 8), uint8_t(f.Transparent >= 0 ? f.Transparent : 0)};
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    ColorMapObject *local = f.LocalBits ? RandomMap(random, f.LocalBits) : nullptr;
    EXPECT_EQ(EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlaced, local), GIF_OK);
    const int colors = 1 << (f.LocalBits ? f.LocalBits : shape.GlobalBits);
    Bytes raster(size_t(f.Width) * f.Height);
    for (size_t i = 0; i < raster.size(); ++i)
      raster[i] = (i && random() % 3) ? raster[i - 1] : uint8_t(random() % colors);
    std::vector<int> order(size_t(f.Height));
    for (int y = 0; y < f.Height; ++y)
      order[y] = y;
    if (f.Interlaced)
      order = InterlacedOrder(f.Height);
    for (int y : order)
      EGifPutLine(gif, &raster[size_t(y) * f.Width], f.Width);
    rasters.push_back(raster);
    GifFreeMapObject(local);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(global);
  return file;
}

struct Reader
{
  const Bytes *File;
  size_t Pos = 0;
};

// What giflib's DGifSlurp reads: each frame's pixels, palette, delay and transparency.
GifFileType *SlurpWithGiflib(Reader &reader)
{
  int error = 0;
  GifFileType *gif = DGifOpen(
      &reader,
      [](GifFileType *g, GifByteType *data, int size) {
        auto *r = static_cast<Reader *>(g->UserData);
        const int n = int(std::min<size_t>(size_t(size), r->File->size() - r->Pos));
        std::memcpy(data, r->File->data() + r->Pos, size_t(n));
        r->Pos += size_t(n);
        return n;
      },
      &error);
  EXPECT_NE(gif, nullptr);
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  return gif;
}

void ExpectMatchesGiflib(const GifShape &shape, uint32_t seed)
{
  std::mt19937 random(seed);
  std::vector<Bytes> rasters;
  const Bytes file = WriteWithGiflib(random, shape, rasters);
  Reader reader{&file};
  GifFileType *gif = SlurpWithGiflib(reader);
  ASSERT_EQ(gif->ImageCount, int(shape.Frames.size()));

  TGifAnimation ours{Bytes(file)};
  ASSERT_EQ(ours.FrameCount, gif->ImageCount);
  EXPECT_EQ(ours.Width, gif->SWidth);
  EXPECT_EQ(ours.Height, gif->SHeight);
  EXPECT_EQ(ours.Iterations, shape.Loop < 0 ? 0 : (shape.Loop == 0 ? -1 : shape.Loop));

  // The screen as the frames are laid on it: giflib's pixels, our compositing rules.
  Bytes screen(size_t(shape.Width) * shape.Height);
  int previousTransparent = -1, previousDisposal = 2;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage &image = gif->SavedImages[i];
    ASSERT_EQ(Bytes(image.RasterBits, image.RasterBits + rasters[i].size()), rasters[i]) << "giflib, frame " << i;
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &control);
    if (i == 0 || previousDisposal == 2)
      std::fill(screen.begin(), screen.end(),
                uint8_t(previousTransparent >= 0 ? previousTransparent : gif->SBackGroundColor));
    const int skip = gif->ImageCount > 1 ? previousTransparent : -1;
    const GifImageDesc &d = image.ImageDesc;
    for (int y = 0; y < d.Height && d.Top + y < shape.Height; ++y)
      for (int x = 0; x < d.Width && d.Left + x < shape.Width; ++x) {
        const uint8_t pixel = image.RasterBits[size_t(y) * d.Width + x];
        if (pixel != skip)
          screen[size_t(d.Top + y) * shape.Width + d.Left + x] = pixel;
      }
    previousTransparent = control.TransparentColor;
    previousDisposal = control.DisposalMode;

    const std::string what = "seed " + std::to_string(seed) + ", frame " + std::to_string(i);
    EXPECT_EQ(ours.NextFrame(), control.DelayTime) << what;
    EXPECT_EQ(ours.TransparentIndex, control.TransparentColor) << what;
    const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    ASSERT_EQ(ours.ColorCount, map->ColorCount) << what;
    for (int c = 0; c < map->ColorCount; ++c)
      ASSERT_EQ(ours.Bitmap.color(c), qRgb(map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue)) << what;
    for (int y = 0; y < shape.Height; ++y)
      ASSERT_EQ(0, std::memcmp(ours.Bitmap.constScanLine(y), &screen[size_t(y) * shape.Width], size_t(shape.Width)))
          << what << ", row " << y;
  }
  EXPECT_EQ(ours.Animated, shape.Loop >= 0);
  DGifCloseFile(gif, nullptr);
}

} // namespace

// Frames are decoded whole, or row by row when they are huge; every decoding test runs both ways.
class GifDecodingWays : public ::testing::TestWithParam<bool>
{
protected:
  void SetUp() override { TGifAnimation::LinearDecodeLimit = GetParam() ? saved : 0; }
  void TearDown() override { TGifAnimation::LinearDecodeLimit = saved; }
  const size_t saved = TGifAnimation::LinearDecodeLimit;
};

INSTANTIATE_TEST_SUITE_P(GifDecoder, GifDecodingWays, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "Whole" : "ByRows"; });

TEST_P(GifDecodingWays, MatchesGiflib)
{
  const std::vector<GifShape> shapes = {
      {64, 48, 8, 0, {{0, 0, 64, 48}}},
      {1, 1, 1, 0, {{0, 0, 1, 1, 0, false, -1, 0, 0, false}}},
      {31, 19, 4, 3, {{0, 0, 31, 19, 0, true}}},
      {40, 33, 2, 1, {{0, 0, 40, 33, 0, true, 2, 0, 12}}},
      // Several frames: local tables of several sizes, transparency, disposals, smaller frames.
      {50,
       40,
       5,
       7,
       {{5, 3, 20, 30, 0, false, 4, 1, 10},
        {0, 0, 50, 40, 3, true, 2, 2, 20},
        {10, 10, 13, 7, 8, false, -1, 1, 5},
        {49, 39, 1, 1, 1, false, 0, 0, 0},
        {0, 0, 50, 9, 0, true, 6, 2, 30}},
       0},
      {17, 11, 8, 200, {{3, 2, 5, 5, 0, false, 200, 0, 7}, {0, 0, 17, 11, 0, false, 201, 1, 8}}, 3},
  };
  for (size_t i = 0; i < shapes.size(); ++i)
    for (uint32_t seed = 1; seed <= 4; ++seed)
      ExpectMatchesGiflib(shapes[i], uint32_t(i * 100 + seed));
}

TEST_P(GifDecodingWays, LongRunsFillTheWholeCodeTable)
{
  // Large smooth images make giflib's encoder fill the 4096-entry table and clear it again.
  const GifShape shape{300, 200, 8, 0, {{0, 0, 300, 200}, {20, 30, 250, 150, 0, true}}, 0};
  ExpectMatchesGiflib(shape, 7);
}

namespace {

Bytes Pixels(int count, int modulo)
{
  Bytes out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    out[size_t(i)] = uint8_t(i % modulo);
  return out;
}

} // namespace

TEST(GifDecoder, SingleImageWithTransparencyFreesItsStream)
{
  const Bytes file = Concat(
      {GifHeader(3, 2, 2), GifControl(1, 250, 0), GifDescriptor(0, 0, 3, 2), GifLiteralData(Pixels(6, 4), 2), {0x3B}});
  TGifAnimation image{Bytes(file)};
  EXPECT_EQ(image.FrameCount, 1);
  EXPECT_EQ(image.Frames[0]->Delay, 250);
  EXPECT_EQ(image.NextFrame(), 250);
  EXPECT_EQ(image.TransparentIndex, 0);
  EXPECT_FALSE(image.Animated);
  EXPECT_TRUE(image.Stream.empty());
  EXPECT_EQ(image.NextFrame(), 1000);
  EXPECT_TRUE(image.IsTransparentPixel(0, 0));
  EXPECT_FALSE(image.IsTransparentPixel(1, 0));
  EXPECT_TRUE(image.IsTransparentPixel(0, 1) == false);
}

TEST_P(GifDecodingWays, PartialAndOversizedFramesOnTheScreen)
{
  // A frame covering part of the screen leaves the background index elsewhere; a frame that
  // reaches past the screen's edges is cut there, and its data is still read through.
  const Bytes file = Concat({GifHeader(4, 3, 3, 5, "87a"),
                             GifDescriptor(1, 1, 2, 1),
                             GifLiteralData({1, 2}, 3),
                             GifDescriptor(2, 1, 6, 4),
                             GifLiteralData(Pixels(24, 8), 3),
                             {0x3B}});
  TGifAnimation image{Bytes(file)};
  ASSERT_EQ(image.FrameCount, 2);
  EXPECT_EQ(image.NextFrame(), 0);
  EXPECT_EQ(image.TransparentIndex, -1);
  const Bytes first = {5, 5, 5, 5, 5, 1, 2, 5, 5, 5, 5, 5};
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(Bytes(image.Bitmap.constScanLine(y), image.Bitmap.constScanLine(y) + 4),
              Bytes(first.begin() + y * 4, first.begin() + y * 4 + 4));
  image.NextFrame();
  EXPECT_EQ(image.Bitmap.pixelIndex(2, 1), 0);
  EXPECT_EQ(image.Bitmap.pixelIndex(3, 1), 1);
  EXPECT_EQ(image.Bitmap.pixelIndex(2, 2), 6);
  EXPECT_EQ(image.Bitmap.pixelIndex(1, 1), 1); // left from the first frame (disposal 0)
}

TEST_P(GifDecodingWays, InterlacedRowsLandInPassOrder)
{
  // Row n of the data holds the value n: ten rows are stored as 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  Bytes pixels;
  for (int n = 0; n < 10; ++n)
    pixels.insert(pixels.end(), 2, uint8_t(n));
  const Bytes file = Concat({GifHeader(2, 10, 4), GifDescriptor(0, 0, 2, 10, 0x40), GifLiteralData(pixels, 4)});
  TGifAnimation image{Bytes(file)};
  image.NextFrame();
  std::vector<int> stored;
  for (int y = 0; y < 10; ++y)
    stored.push_back(image.Bitmap.pixelIndex(1, y));
  EXPECT_EQ(stored, (std::vector<int>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
}

TEST(GifDecoder, LoopCountsAndVersions)
{
  for (auto [count, expected] : {std::pair{0, -1}, {3, 3}, {1, 1}}) {
    TGifAnimation image{Concat({GifHeader(1, 1, 1), GifLoop(count), GifDescriptor(0, 0, 1, 1), GifLiteralData({1}, 2),
                                GifDescriptor(0, 0, 1, 1), GifLiteralData({0}, 2)})};
    EXPECT_EQ(image.LoopsLeft, expected);
    EXPECT_EQ(image.Iterations, expected);
    for (int i = 0; i < 4; ++i)
      image.NextFrame();
    EXPECT_EQ(image.Animated, count != 1) << count;
  }
}

TEST(GifDecoder, RejectsFilesWithoutHeaderOrGlobalTable)
{
  Bytes cutTable = GifHeader(2, 2, 8);
  cutTable.pop_back();
  const std::vector<Bytes> bad = {
      {},
      Text("GIF89a"),
      Concat({PngSignature(), Bytes(20, 0)}),
      Concat({GifHeader(2, 2, 0), GifDescriptor(0, 0, 2, 2, 0x80), Bytes(6, 1), GifLiteralData({0, 1, 1, 0}, 2)}),
      GifHeader(0, 5, 2), // no pixels to make a bitmap of
      cutTable,
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    try {
      TGifAnimation image{Bytes(bad[i])};
      ADD_FAILURE() << "case " << i << " loaded";
    } catch (const TImageLoadError &error) {
      EXPECT_STREQ(error.what(), "Gif loading failed!") << i;
    }
  }
  EXPECT_THROW(TGifAnimation{std::string("/nonexistent/x.gif")}, TImageLoadError);
}

TEST_P(GifDecodingWays, DamagedDataDrawsWhatCameBefore)
{
  const int clear = 4, end = 5;
  struct Case
  {
    Bytes Data;
    Bytes Expected; // the 4 x 1 row
  };
  const Case cases[] = {
      // A code past the table stops the frame.
      {GifCodes({{clear, 3}, {1, 3}, {7, 3}, {3, 3}}, 2), {1, 9, 9, 9}},
      // The first code after a clear that is not a colour is read as 0.
      {GifCodes({{clear, 3}, {6, 3}, {3, 3}, {end, 3}}, 2), {0, 3, 9, 9}},
      // The code being defined repeats the previous string plus its first byte.
      {GifCodes({{clear, 3}, {2, 3}, {6, 3}, {1, 3}, {end, 3}}, 2), {2, 2, 2, 1}},
      // Data that ends without an end code keeps what was decoded.
      {Bytes{2, 1, uint8_t(clear | 3 << 3)}, {3, 9, 9, 9}},
      // An unsupported minimum code size draws nothing.
      {Concat({{12, 2, 0xFF, 0xFF, 0}}), {9, 9, 9, 9}},
      // A sub-block longer than the file.
      {Bytes{2, 200, uint8_t(clear | 1 << 3)}, {1, 9, 9, 9}},
  };
  for (const Case &c : cases) {
    TGifAnimation image{Concat({GifHeader(4, 1, 4, 9), GifDescriptor(0, 0, 4, 1), c.Data})};
    image.NextFrame();
    EXPECT_EQ(Bytes(image.Bitmap.constScanLine(0), image.Bitmap.constScanLine(0) + 4), c.Expected);
    EXPECT_FALSE(image.Damage.empty()) << "no trailer";
  }
}

// The decoder says where a file stopped short; a whole file has no damage.
TEST(GifDecoder, TellsWhereTheFileIsCutShort)
{
  const Bytes whole = Concat(
      {GifHeader(4, 1, 2), GifControl(0, 3, 0), GifDescriptor(0, 0, 4, 1), GifLiteralData({1, 2, 3, 0}, 2), {0x3B}});
  EXPECT_EQ(TGifAnimation(whole).Damage, "");
  const size_t header = GifHeader(4, 1, 2).size();
  for (const auto &[size, damage] : {std::pair{whole.size() - 1, "the file ends before its trailer"},
                                     {whole.size() - 3, "the file ends inside image 1's data"},
                                     {header + 4, "the file ends inside an extension"},
                                     {header + 8 + 4, "the file ends inside an image descriptor"}}) {
    EXPECT_EQ(TGifAnimation(Bytes(whole.begin(), whole.begin() + long(size))).Damage, damage) << size;
  }
  Bytes strange = whole;
  strange.back() = 0x99;
  EXPECT_EQ(TGifAnimation(strange).Damage, "a block that is neither an image nor the trailer");
}

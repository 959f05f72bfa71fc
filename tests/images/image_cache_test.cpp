#include "images/image_cache.h"

#include <QByteArray>
#include <algorithm>
#include <gtest/gtest.h>
#include <zlib.h>

#include "images/file_index.h"
#include "platform/display.h"
#include "support/temp_dir.h"

namespace {

// A decoded image made in memory: one row of the given indices.
class RowImage : public TImageAnimation
{
public:
  RowImage(const std::vector<uint8_t> &indices, const std::vector<QRgb> &palette, int transparent)
  {
    Width = static_cast<int>(indices.size());
    Height = 1;
    EXPECT_TRUE(CreateBitmap());
    std::copy(indices.begin(), indices.end(), Bits);
    for (size_t i = 0; i < palette.size(); ++i) {
      Palette[i * 3] = qRed(palette[i]);
      Palette[i * 3 + 1] = qGreen(palette[i]);
      Palette[i * 3 + 2] = qBlue(palette[i]);
    }
    ColorCount = static_cast<int>(palette.size());
    TransparentIndex = transparent;
    ApplyPalette();
  }
  int NextFrame() override { return 0; }

protected:
  bool Parse() override { return true; }
};

std::string Chunk(const char *type, const std::string &data)
{
  std::string body = std::string(type, 4) + data;
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  return be32(static_cast<uint32_t>(data.size())) + body +
         be32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(body.data()), body.size())));
}

// An 8-bit indexed PNG of 2 x 2 pixels whose entry 0 is transparent.
std::string SmallPng()
{
  const std::string raw("\0\0\1\0\2\1", 6);
  uLongf size = compressBound(raw.size());
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(raw.data()), raw.size());
  packed.resize(size);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", std::string("\0\0\0\2\0\0\0\2\x08\x03\0\0\0", 13)) +
         Chunk("PLTE", std::string("\xFF\0\xFF\x10\x20\x30\xC0\x00\x00", 9)) + Chunk("tRNS", std::string("\0", 1)) +
         Chunk("IDAT", packed) + Chunk("IEND", "");
}

// Copies the image's surface, keyed, onto a white row and returns the row.
std::vector<uint32_t> KeyedRow(const TImageAnimation &image)
{
  std::unique_ptr<TSurface> surface = CreateImageSurface(&image);
  EXPECT_TRUE(surface);
  TSurface target;
  target.SetSize(image.Width, 1);
  target.Fill(0xFFFFFF);
  target.Draw(0, 0, *surface, surface->Bounds());
  std::vector<uint32_t> row;
  for (int x = 0; x < image.Width; ++x)
    row.push_back(target.Pixel(x, 0));
  return row;
}

// Each test starts and ends with the display gone, as at program start.
class ImageCache : public ::testing::Test
{
protected:
  void SetUp() override { ReleaseImageSurfaces(); }
  void TearDown() override { ReleaseImageSurfaces(); }
};

} // namespace

TEST_F(ImageCache, ColourKeyIsTheTransparentEntrysColourOrBlack)
{
  const std::vector<QRgb> palette = {qRgb(10, 20, 30), qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 0, 0)};
  const std::vector<uint8_t> pixels = {0, 1, 2, 3};
  // Entry 1 has the transparent entry's colour, so it is transparent too.
  EXPECT_EQ(KeyedRow(RowImage(pixels, palette, 0)), (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0xC80000, 0}));
  // Without a transparent entry the key is black.
  EXPECT_EQ(KeyedRow(RowImage(pixels, palette, -1)), (std::vector<uint32_t>{0x0A141E, 0x0A141E, 0xC80000, 0xFFFFFF}));
  EXPECT_EQ(CreateImageSurface(nullptr), nullptr);
}

TEST_F(ImageCache, OwnersJoinAndLeaveTheListInCreationOrder)
{
  const size_t before = SurfaceOwners().size();
  auto a = std::make_unique<TSurfaceOwner>();
  auto b = std::make_unique<TSurfaceOwner>();
  auto c = std::make_unique<TSurfaceOwner>();
  b.reset();
  const auto &owners = SurfaceOwners();
  ASSERT_EQ(owners.size(), before + 2);
  EXPECT_EQ(owners[before], a.get());
  EXPECT_EQ(owners[before + 1], c.get());
  a.reset();
  c.reset();
  EXPECT_EQ(SurfaceOwners().size(), before);
}

TEST_F(ImageCache, ImagesDecodeOnFirstUseAndSurfacesFollowTheDisplay)
{
  TempDir dir;
  const std::string png = dir.Write("small.png", SmallPng());
  UseGameFolder(dir.Path());
  TSurfaceOwner loaded, empty, missing;
  loaded.Load("small.png");
  missing.Load("missing.png");
  EXPECT_EQ(loaded.FileName, png);
  // Loading only resolves: a file replaced before first use is decoded as it is then.
  dir.Write("small.png", SmallPng());
  ASSERT_TRUE(loaded.Image());
  EXPECT_FALSE(loaded.DrawingSurface()); // no display yet
  EXPECT_FALSE(missing.Image());
  EXPECT_EQ(missing.FileName, "");

  TDisplay display;
  display.OnInitialize = RebuildImageSurfaces;
  display.OnFinalizeSurface = ReleaseImageSurfaces;
  display.Initialize();
  ASSERT_TRUE(loaded.DrawingSurface());
  EXPECT_EQ(loaded.DrawingSurface()->Pixel(0, 1), 0xC00000u);
  EXPECT_EQ(loaded.DrawingSurface()->ColorKey(), 0xFF00FFu);

  // A restore drops every surface; each is made again from its image when next drawn.
  display.Restore();
  EXPECT_FALSE(loaded.ExistingSurface());
  ASSERT_TRUE(loaded.DrawingSurface());
  EXPECT_EQ(loaded.DrawingSurface()->Pixel(1, 0), 0x102030u);
  EXPECT_FALSE(empty.DrawingSurface());
  EXPECT_FALSE(missing.DrawingSurface());

  // Clearing frees both.
  TSurfaceOwner late;
  late.Load("Small.png");
  EXPECT_TRUE(late.DrawingSurface());
  late.Clear();
  EXPECT_FALSE(late.Image());
  EXPECT_FALSE(late.ExistingSurface());

  display.Finalize();
  EXPECT_FALSE(loaded.ExistingSurface());
  EXPECT_FALSE(loaded.DrawingSurface()) << "no surface without a display";
  EXPECT_TRUE(loaded.Image());
}

TEST_F(ImageCache, DecoderIsChosenByTheExtension)
{
  TempDir dir;
  const char *const pngNames[] = {"a.png", "a.MNG", "a.bmp", "noextension", "a.GIF"};
  for (const char *name : pngNames)
    dir.Write(name, SmallPng());
  dir.Write("broken.png", "not an image");
  UseGameFolder(dir.Path());
  TSurfaceOwner owner;
  // PNG bytes load under any name but ".gif", which goes to the GIF decoder and fails there.
  for (const char *name : pngNames) {
    owner.Load(name);
    EXPECT_EQ(bool(owner.Image()), std::string(name) != "a.GIF") << name;
  }
  owner.Load("broken.png");
  EXPECT_FALSE(owner.Image());
  EXPECT_NE(owner.FileName, "");
}

TEST_F(ImageCache, EnsureImageLoadedSkipsReplaceableNamesAndRetriesMissingFiles)
{
  TempDir dir;
  for (const char *name : {"body", "head", "sword", "shield", "horse", "sprites", "param1.png", "attr2.png"})
    dir.Write(name, SmallPng());
  UseGameFolder(dir.Path());
  TImageList cache;
  for (const char *name : {"BODY", "HEAD", "SWORD", "SHIELD", "HORSE", "SPRITES", "PARAM1.png", "ATTR2.png",
                           "folder\\Body", "missing.png"})
    cache.EnsureImageLoaded(name);
  EXPECT_EQ(cache.Count(), 0u);

  dir.Write("sub/Missing.PNG", SmallPng());
  UseGameFolder(dir.Path());
  cache.EnsureImageLoaded("missing.png");
  ASSERT_EQ(cache.Count(), 1u);
  EXPECT_TRUE(cache.At(0).Image());
  // The same image by another spelling is found by its key, not loaded twice.
  cache.EnsureImageLoaded("other/MISSING.png");
  EXPECT_EQ(cache.Count(), 1u);
  EXPECT_EQ(cache.Find("missing.png"), &cache.At(0));
  EXPECT_EQ(cache.Find("body"), nullptr);
}

TEST_F(ImageCache, BundledGameFolderImagesLoadWithTheirTransparentEntry)
{
  UseGameFolder(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
  TImageList cache;
  for (const char *name : {"body.png", "head19.png", "sword1.png", "shield1.png", "ride.png", "soundicon.png"})
    cache.EnsureImageLoaded(name);
  TSurfaceOwner sprites;
  sprites.Load("sprites.png");
  ASSERT_EQ(cache.Count(), 6u);
  ASSERT_TRUE(sprites.Image());
  // The shadow sits at (0, 0, 24, 16) of the sprite sheet: opaque in its middle, clear at the corner.
  EXPECT_TRUE(sprites.Image()->IsTransparentPixel(0, 0));
  EXPECT_FALSE(sprites.Image()->IsTransparentPixel(12, 8) && sprites.Image()->IsTransparentPixel(13, 8));
  for (size_t i = 0; i < cache.Count(); ++i)
    EXPECT_EQ(cache.At(i).Image()->TransparentIndex, 0) << cache.At(i).FileName;
  EXPECT_EQ(cache.Find("soundicon.png")->Image()->Width, 32);
}

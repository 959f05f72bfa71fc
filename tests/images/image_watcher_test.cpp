// Images in use follow their files while the watcher runs: overwritten, replaced by rename,
// broken, deleted and back; and files added to the game folder are found.
#include "images/image_watcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>

#include "core/qt_text.h"
#include "image_fixtures.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A 1 x 1 indexed PNG whose one pixel has the colour rgb.
std::string OnePixelPng(uint32_t rgb)
{
  const Bytes png = PngFile({{1}}, 8, {255, 0, 255, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)}, {0});
  return std::string(png.begin(), png.end());
}

// The colour of the image's one pixel, or 0 without an image.
uint32_t Colour(const TSurfaceOwner &owner)
{
  const TImageAnimation *image = owner.Image();
  if (!image)
    return 0;
  const size_t i = image->Bits[0] * 3u;
  return uint32_t(image->Palette[i]) << 16 | uint32_t(image->Palette[i + 1]) << 8 | image->Palette[i + 2];
}

// Runs the event loop until done() or the time is up; true when done.
bool RunUntil(const std::function<bool()> &done, int milliseconds = 3000)
{
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return done();
}

class ImageWatcherTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    watcher.OnImagesChanged = [this] { ++changes; };
    watcher.OnReloadFailed = [this](const std::string &path, const std::string &) { failures.push_back(path); };
  }
  void TearDown() override { UseGameFolder(""); }

  TempDir game;
  TImageList cache;
  TImageWatcher watcher{&cache};
  int changes = 0;
  std::vector<std::string> failures;
};

} // namespace

TEST_F(ImageWatcherTest, ImagesFollowTheirFile)
{
  const std::string path = game.Write("images/body.png", OnePixelPng(0xFF0000));
  UseGameFolder(game.Path());
  TSurfaceOwner owner;
  owner.Load("body.png");
  ASSERT_EQ(Colour(owner), 0xFF0000u);
  watcher.Sync();
  EXPECT_TRUE(watcher.WatchedFiles().contains(PathToQt(path)));

  const auto overwrite = [&](const std::string &bytes) { return [&, bytes] { game.Write("images/body.png", bytes); }; };
  const auto renameOver = [&](const std::string &bytes) {
    return [&, bytes] {
      game.Write("images/body.png.new", bytes);
      fs::rename(path + ".new", path);
    };
  };
  struct Step
  {
    const char *name;
    std::function<void()> change;
    bool reloads;         // the watcher reports new pixels
    uint32_t colour;      // shown afterwards
    size_t failuresAfter; // reports of files that do not decode so far
  };
  const Step steps[] = {
      {"overwritten in place", overwrite(OnePixelPng(0x00FF00)), true, 0x00FF00, 0},
      {"replaced by a rename over it", renameOver(OnePixelPng(0x0000FF)), true, 0x0000FF, 0},
      {"replaced once more: the new file is watched", renameOver(OnePixelPng(0x123456)), true, 0x123456, 0},
      {"a broken write keeps the pixels and is said", overwrite("\x89PNG broken"), false, 0x123456, 1},
      {"broken again is not said again", overwrite("still broken"), false, 0x123456, 1},
      {"repaired", overwrite(OnePixelPng(0xFFFF00)), true, 0xFFFF00, 1},
      {"deleted: the pixels stay", [&] { fs::remove(path); }, false, 0xFFFF00, 1},
      {"back again", overwrite(OnePixelPng(0x00FFFF)), true, 0x00FFFF, 1},
      {"broken after a good read is said again", renameOver("broken"), false, 0x00FFFF, 2},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    const int before = changes;
    step.change();
    if (step.reloads) {
      // The watcher finds it by itself.
      EXPECT_TRUE(RunUntil([&] { return changes > before; }));
    } else {
      RunUntil([] { return false; }, 3 * TImageWatcher::SettleTime);
      watcher.CheckNow();
      EXPECT_EQ(changes, before);
    }
    EXPECT_EQ(Colour(owner), step.colour);
    EXPECT_EQ(failures.size(), step.failuresAfter);
    if (!failures.empty())
      EXPECT_EQ(failures.back(), path);
  }
}

TEST_F(ImageWatcherTest, FilesAddedToTheGameFolderAreFound)
{
  game.Write("art/old.png", OnePixelPng(0x808080));
  UseGameFolder(game.Path());
  cache.EnsureImageLoaded("late.png");
  ASSERT_EQ(cache.Count(), 0u);
  TSurfaceOwner look; // an actor's look image, named before its file exists
  look.Load("head7.png");
  ASSERT_TRUE(look.FileName.empty());
  watcher.Sync();

  game.Write("art/late.png", OnePixelPng(0x112233));
  game.Write("art/heads/head7.png", OnePixelPng(0x445566)); // in a new folder
  ASSERT_TRUE(RunUntil([&] { return cache.Find("late.png") && !look.FileName.empty(); }));
  EXPECT_EQ(LookupFile("late.png"), game.Path() + "/art/late.png");
  EXPECT_EQ(Colour(*cache.Find("late.png")), 0x112233u);
  EXPECT_EQ(Colour(look), 0x445566u);
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(watcher.WatchedFiles().contains(PathToQt(look.FileName)));

  // The new folder is watched from then on.
  game.Write("art/heads/head8.png", OnePixelPng(0x778899));
  EXPECT_TRUE(RunUntil([] { return !LookupFile("head8.png").empty(); }));
}

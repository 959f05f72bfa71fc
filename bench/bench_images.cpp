// Finding sprites on a 1024 x 1024 sheet, and following a repainted image.
//   bounds   the bounds under a click on one sprite of 28 x 28 pixels, and on one sprite that
//            covers nearly the whole sheet, against one pass over the sheet's pixels
//   grid     guessing the grid of 31 x 31 sprites in cells of 33 x 33 (a 1-pixel gutter), against
//            the same pass
//   reload   a 1024 x 1024 sprites.png replaced by rename, until the watcher has redrawn the
//            canvas, against replacing it and then decoding it and drawing the canvas directly
//            (the absolute time, which must stay well below a second, is printed too)
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>

#include "images/image_animation.h"
#include "images/image_watcher.h"
#include "images/sheet_detection.h"
#include "quiet_session.h"
#include "ratio_report.h"
#include "session/edit_session.h"

namespace fs = std::filesystem;

namespace {

constexpr int Side = 1024, Cell = 33;

// A sheet in memory, index 0 transparent.
class TSheet : public TImageAnimation
{
public:
  TSheet()
  {
    Width = Height = Side;
    CreateBitmap();
    Palette[3] = 200;
    ColorCount = 2;
    TransparentIndex = 0;
    ApplyPalette();
  }
  void Set(int x, int y) { Bits[size_t(y) * size_t(Bitmap.bytesPerLine()) + size_t(x)] = 1; }
  int NextFrame() override { return 0; }

protected:
  bool Parse() override { return true; }
};

// 31 x 31 sprites, each a 28 x 28 square inset by 2 in its cell.
const TSheet &GridSheet()
{
  static const auto sheet = [] {
    auto made = std::make_unique<TSheet>();
    for (int y = 0; y < Side; ++y)
      for (int x = 0; x < Side; ++x)
        if (x % Cell >= 2 && x % Cell < 30 && y % Cell >= 2 && y % Cell < 30 && x < 31 * Cell && y < 31 * Cell)
          made->Set(x, y);
    return made;
  }();
  return *sheet;
}

// One sprite over the whole sheet but for a transparent pixel in every 7 x 7 block.
const TSheet &BlobSheet()
{
  static const auto sheet = [] {
    auto made = std::make_unique<TSheet>();
    for (int y = 0; y < Side; ++y)
      for (int x = 0; x < Side; ++x)
        if (x % 7 || y % 7)
          made->Set(x, y);
    return made;
  }();
  return *sheet;
}

void OnePass(benchmark::State &state)
{
  const TSheet &sheet = GridSheet();
  for (auto _ : state) {
    const std::array<bool, 256> transparent = TransparentEntries(sheet);
    size_t opaque = 0;
    for (int y = 0; y < Side; ++y) {
      const uint8_t *row = sheet.Bits + size_t(y) * size_t(sheet.Bitmap.bytesPerLine());
      for (int x = 0; x < Side; ++x)
        opaque += !transparent[row[x]];
    }
    benchmark::DoNotOptimize(opaque);
  }
}
BENCHMARK(OnePass)->Unit(benchmark::kMicrosecond);

void BoundsOfOneSprite(benchmark::State &state)
{
  for (auto _ : state)
    benchmark::DoNotOptimize(SpriteBounds(GridSheet(), 15 * Cell + 10, 15 * Cell + 10));
}
BENCHMARK(BoundsOfOneSprite)->Unit(benchmark::kMicrosecond);

void BoundsOfTheWholeSheet(benchmark::State &state)
{
  for (auto _ : state)
    benchmark::DoNotOptimize(SpriteBounds(BlobSheet(), 500, 500));
}
BENCHMARK(BoundsOfTheWholeSheet)->Unit(benchmark::kMicrosecond);

void GridDetection(benchmark::State &state)
{
  for (auto _ : state)
    benchmark::DoNotOptimize(DetectGrid(GridSheet()));
}
BENCHMARK(GridDetection)->Unit(benchmark::kMicrosecond);

// A copy of the bundled game folder whose sprites.png is a 1024 x 1024 sheet, and a session on
// a new document, whose frame shows the sheet's top left corner.
class TReloadSetup
{
public:
  TReloadSetup()
      : folder_(
            (fs::temp_directory_path() / ("zeltrix-bench-reload-" + std::to_string(QCoreApplication::applicationPid())))
                .string())
  {
    fs::remove_all(folder_);
    fs::copy(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game", folder_, fs::copy_options::recursive);
    for (int version = 0; version < 2; ++version) {
      QImage sheet(Side, Side, QImage::Format_Indexed8);
      sheet.setColorTable({qRgba(255, 0, 255, 0), qRgb(200, 40 + 100 * version, 40)});
      sheet.fill(0);
      for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
          if (x % Cell >= 2 && y % Cell >= 2)
            sheet.setPixel(x, y, 1);
      sheet.save(QString::fromStdString(Version(version)), "PNG");
    }
    Replace();
    Session = std::make_unique<TEditSession>(&dialogs_, nullptr, std::make_unique<TSilence>());
    TStartOptions options;
    options.GameFolder = folder_;
    options.ProgramFolder = folder_;
    Session->Start(options);
    Session->Setup.LayOut(1024, 768, 17);
    Session->NewAnimation();
    Session->DrawCanvas();
  }
  ~TReloadSetup()
  {
    Session.reset();
    fs::remove_all(folder_);
  }
  // Replaces sprites.png by the other version, as paint programs save: a new file renamed over.
  void Replace()
  {
    fs::copy_file(Version(next_), folder_ + "/sprites.png.new", fs::copy_options::overwrite_existing);
    fs::rename(folder_ + "/sprites.png.new", folder_ + "/sprites.png");
    next_ = 1 - next_;
  }

  std::unique_ptr<TEditSession> Session;

private:
  std::string Version(int version) const { return folder_ + "/version" + std::to_string(version) + ".png"; }

  std::string folder_;
  TNoDialogs dialogs_;
  int next_ = 0;
};

void ReplaceDecodeAndDraw(benchmark::State &state)
{
  TReloadSetup setup;
  for (auto _ : state) {
    setup.Replace();
    setup.Session->Setup.SpritesImage->Reload();
    setup.Session->DrawCanvas();
  }
}
BENCHMARK(ReplaceDecodeAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReplaceUntilRedrawn(benchmark::State &state)
{
  TReloadSetup setup;
  TImageWatcher watcher(&setup.Session->Setup.ImageCache);
  QEventLoop loop;
  watcher.OnImagesChanged = [&] {
    setup.Session->DrawCanvas();
    loop.quit();
  };
  // Nothing waits for ever: a change the watcher missed ends the wait after 5 seconds.
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
  int missed = 0;
  for (auto _ : state) {
    setup.Replace();
    limit.start(5000);
    missed += loop.exec();
    limit.stop();
  }
  state.counters["missed"] = missed;
}
BENCHMARK(ReplaceUntilRedrawn)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool declared =
    DeclareRatio("bounds of one sprite / one pass", "BoundsOfOneSprite", "OnePass", 2.0, true) &&
    DeclareRatio("bounds of a sheet-wide sprite / one pass", "BoundsOfTheWholeSheet", "OnePass", 10.0, true) &&
    DeclareRatio("grid detection / one pass", "GridDetection", "OnePass", 2.0, true) &&
    // The watcher waits SettleTime (100 ms) for the writer to finish: that wait is nearly all of it.
    DeclareRatio("replaced file redrawn / decode and draw", "ReplaceUntilRedrawn/real_time",
                 "ReplaceDecodeAndDraw/real_time", 60.0);

} // namespace

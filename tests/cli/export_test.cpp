// velk export: GIFs, PNG frames and sheets hold the frames the scene renderer draws, in their box.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>
#include <tuple>

#include "game_fixture.h"
#include "images/gif_animation.h"
#include "velk_run.h"

namespace {

// box.png: 4 x 3, red with a transparent top-left pixel and a blue bottom-right one.
int BoxPixel(int x, int y)
{
  return x == 0 && y == 0 ? 0 : (x == 3 && y == 2 ? 2 : 1);
}
const std::vector<QRgb> BoxPalette = {0, qRgb(255, 0, 0), qRgb(0, 0, 255)};

// Two frames: facing up and left the 2 x 2 corner of box.png at (-3, -1); facing down and right
// the whole box at (0, 0), then at (5, 2). Frame 0 lasts 2 ticks, frame 1 one.
const std::string Hop = "VELK0001\n"
                        "SPRITE 1 box.png 0 0 4 3 box\n"
                        "SPRITE 2 box.png 0 0 2 2 corner\n"
                        "LOOP\n"
                        "ANI\n"
                        "2 -3 -1\n2 -3 -1\n1 0 0\n1 0 0\nWAIT 1\n\n"
                        "2 -3 -1\n2 -3 -1\n1 5 2\n1 5 2\n"
                        "ANIEND\n";

// Everything drawn spans x -3..9 and y -1..5; with the margin of 2 the frames are 16 x 10 and the
// animation's point (0, 0) is at (5, 3).
constexpr int FrameWidth = 16, FrameHeight = 10, OriginX = 5, OriginY = 3;

struct TPlacedSprite
{
  int Width, Height, X, Y;
};

// What a frame must show: background (or transparency) with the sprites placed at the origin.
QImage ExpectedFrame(int dir, int frame, std::optional<QRgb> background)
{
  QImage image(FrameWidth, FrameHeight, QImage::Format_ARGB32);
  image.fill(background ? *background : qRgba(0, 0, 0, 0));
  const TPlacedSprite sprite = dir < 2 ? TPlacedSprite{2, 2, -3, -1} : TPlacedSprite{4, 3, frame * 5, frame * 2};
  for (int y = 0; y < sprite.Height; ++y)
    for (int x = 0; x < sprite.Width; ++x)
      if (const int index = BoxPixel(x, y))
        image.setPixel(OriginX + sprite.X + x, OriginY + sprite.Y + y, BoxPalette[size_t(index)]);
  return image;
}

class VelkExport : public ::testing::Test
{
protected:
  void SetUp() override
  {
    WriteIndexedPng(game, "images/box.png", 4, 3, BoxPalette, BoxPixel);
    hop = game.Write("anims/hop.velk", Hop);
  }
  VelkResult Export(QStringList args)
  {
    args.prepend("export");
    args << "--game-dir" << Q(game.Path());
    return RunVelk(args);
  }
  std::string Out(const std::string &name) const { return out.Path() + "/" + name; }

  TempDir game, out;
  std::string hop;
};

// Pixels of a decoded GIF frame against the expected image: transparent where it is transparent.
void ExpectGifFrame(const TGifAnimation &gif, const QImage &expected, const std::string &label)
{
  ASSERT_EQ(gif.Width, expected.width()) << label;
  ASSERT_EQ(gif.Height, expected.height()) << label;
  int wrong = 0;
  for (int y = 0; y < gif.Height; ++y)
    for (int x = 0; x < gif.Width; ++x) {
      const int index = gif.Bitmap.pixelIndex(x, y);
      const QRgb want = expected.pixel(x, y);
      const bool transparent = index == gif.TransparentIndex;
      const QRgb got =
          qRgb(gif.Palette[size_t(index) * 3], gif.Palette[size_t(index) * 3 + 1], gif.Palette[size_t(index) * 3 + 2]);
      if (qAlpha(want) == 0 ? !transparent : (transparent || got != (want | 0xFF000000u)))
        ++wrong;
    }
  EXPECT_EQ(wrong, 0) << label;
}

TEST_F(VelkExport, GifHoldsTheRenderedFramesWithTheirDelaysAndLoop)
{
  game.Write("anims/once.velk", std::string(Hop).replace(Hop.find("LOOP\n"), 5, ""));
  struct TCase
  {
    std::string File;
    QStringList Options;
    std::optional<QRgb> Background; // none: transparent
    int Iterations;                 // -1: loops forever
  };
  const TCase cases[] = {
      {hop, {}, qRgb(0, 0x80, 0), -1}, // the document's back colour
      {hop, {"--background", "#102030"}, qRgb(0x10, 0x20, 0x30), -1},
      {hop, {"--background", "transparent"}, std::nullopt, -1},
      {game.Path() + "/anims/once.velk", {}, qRgb(0, 0x80, 0), 0},
  };
  for (const TCase &c : cases) {
    const std::string label = c.File + " " + c.Options.join(' ').toStdString();
    const VelkResult result = Export(QStringList{Q(c.File), "-o", Q(Out("a.gif"))} + c.Options);
    ASSERT_EQ(result.Code, 0) << label << result.Err.toStdString();
    TGifAnimation gif(Out("a.gif"));
    ASSERT_EQ(gif.FrameCount, 2) << label;
    EXPECT_EQ(gif.Iterations, c.Iterations) << label;
    const int delays[] = {10, 5};
    for (int frame = 0; frame < 2; ++frame) {
      EXPECT_EQ(gif.NextFrame(), delays[frame]) << label;
      ExpectGifFrame(gif, ExpectedFrame(2, frame, c.Background), label + " frame " + std::to_string(frame));
    }
  }
}

TEST_F(VelkExport, PngFramesAreScaledAndTheSheetCutsBackIntoThem)
{
  const QStringList look = {"--background", "transparent", "--zoom", "2"};
  for (int dir = 0; dir < 4; ++dir)
    ASSERT_EQ(
        Export(QStringList{Q(hop), "-o", Q(Out("frames")), "--format", "png", "--dir", QString::number(dir)} + look)
            .Code,
        0);
  ASSERT_EQ(Export(QStringList{Q(hop), "-o", Q(Out("sheet/pack.png")), "--format", "sheet"} + look).Code, 0);

  // Zoom 2 doubles every pixel of the drawn frame.
  const QImage scaled = ExpectedFrame(3, 1, std::nullopt).scaled(FrameWidth * 2, FrameHeight * 2);
  EXPECT_EQ(QImage(Q(Out("frames/hop-d3-f1.png"))).convertToFormat(QImage::Format_ARGB32), scaled);

  const QImage sheet = QImage(Q(Out("sheet/pack.png"))).convertToFormat(QImage::Format_ARGB32);
  const QJsonObject index =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(Out("sheet/pack.json")))).object();
  const QJsonArray frames = index["frames"].toArray();
  ASSERT_EQ(frames.size(), 8);
  for (const QJsonValue &value : frames) {
    const QJsonObject entry = value.toObject(), rect = entry["frame"].toObject();
    const QString name = entry["filename"].toString();
    const QImage cut = sheet.copy(rect["x"].toInt(), rect["y"].toInt(), rect["w"].toInt(), rect["h"].toInt());
    EXPECT_EQ(cut, QImage(Q(Out("frames/")) + name).convertToFormat(QImage::Format_ARGB32)) << name.toStdString();
    EXPECT_EQ(entry["duration"].toInt(), name.endsWith("f0.png") ? 100 : 50) << name.toStdString();
    EXPECT_FALSE(entry["rotated"].toBool());
  }
  const QJsonObject meta = index["meta"].toObject();
  // The index names the image as written, the frames after the animation as the png format does.
  EXPECT_EQ(meta["image"].toString(), "pack.png");
  EXPECT_EQ(meta["size"].toObject()["w"].toInt(), sheet.width());
  EXPECT_EQ(meta["size"].toObject()["h"].toInt(), sheet.height());
  const QJsonArray tags = meta["frameTags"].toArray();
  ASSERT_EQ(tags.size(), 4);
  const char *names[] = {"up", "left", "down", "right"};
  for (int dir = 0; dir < 4; ++dir) {
    EXPECT_EQ(tags[dir]["name"].toString(), names[dir]);
    EXPECT_EQ(tags[dir]["from"].toInt(), dir * 2);
    EXPECT_EQ(tags[dir]["to"].toInt(), dir * 2 + 1);
    EXPECT_EQ(frames[dir * 2].toObject()["filename"].toString(), QString("hop-d%1-f0.png").arg(dir));
  }
}

// 60 frames over 300 pixels wide do not fit one row of a sheet: each direction takes two rows.
TEST_F(VelkExport, WideSheetsWrapAndStillCutBackIntoTheFrames)
{
  std::string text = "VELK0001\nSPRITE 1 box.png 0 0 4 3 box\nANI\n";
  for (int i = 0; i < 60; ++i)
    for (int d = 0; d < 4; ++d)
      text += "1 " + std::to_string(i * 5 + d) + " 0\n";
  text += "ANIEND\n";
  const std::string wide = game.Write("wide.velk", text);
  ASSERT_EQ(Export({Q(wide), "-o", Q(Out("frames")), "--format", "png"}).Code, 0);
  ASSERT_EQ(Export({Q(wide), "-o", Q(Out("wide.png")), "--format", "sheet"}).Code, 0);
  const QImage sheet(Q(Out("wide.png")));
  const QJsonArray frames =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(Out("wide.json")))).object()["frames"].toArray();
  ASSERT_EQ(frames.size(), 240);
  // The sprite spans x 0..301 over the frames: 302 pixels and the margins.
  const int w = frames[0]["frame"]["w"].toInt(), h = frames[0]["frame"]["h"].toInt(), columns = 16384 / w;
  EXPECT_EQ(w, 306);
  EXPECT_EQ(sheet.width(), columns * w);
  EXPECT_EQ(sheet.height(), 4 * 2 * h);
  for (int i = 120; i < 180; ++i) { // facing down: the frames written as PNG files
    const QJsonObject rect = frames[i]["frame"].toObject();
    EXPECT_EQ(rect["x"].toInt(), (i - 120) % columns * w);
    EXPECT_EQ(rect["y"].toInt(), (4 + (i - 120) / columns) * h);
    const QImage cut = sheet.copy(rect["x"].toInt(), rect["y"].toInt(), rect["w"].toInt(), rect["h"].toInt());
    EXPECT_EQ(cut, QImage(Q(Out("frames/")) + frames[i]["filename"].toString())) << i;
  }
}

TEST_F(VelkExport, ZoomRoundsTheFrameSize)
{
  for (const auto &[zoom, width, height] : {std::tuple{"1.5", 24, 15}, std::tuple{"3", 48, 30}}) {
    ASSERT_EQ(Export({Q(hop), "-o", Q(Out("z")), "--format", "png", "--zoom", zoom}).Code, 0);
    EXPECT_EQ(QImage(Q(Out("z/hop-d2-f0.png"))).size(), QSize(width, height)) << zoom;
  }
}

// Two images of 255 colours each side by side: the GIF's one palette cannot hold them all.
TEST_F(VelkExport, ColoursBeyondOnePaletteAreReduced)
{
  std::vector<QRgb> first(256), second(256);
  for (int i = 1; i < 256; ++i) {
    first[size_t(i)] = qRgb(i, 255 - i, 0);
    second[size_t(i)] = qRgb(0, i, 255 - i);
  }
  auto ramp = [](int x, int y) { return 1 + (y * 16 + x) % 255; };
  WriteIndexedPng(game, "first.png", 16, 16, first, ramp);
  WriteIndexedPng(game, "second.png", 16, 16, second, ramp);
  const std::string file = game.Write("many.velk", "VELK0001\nSPRITE 1 first.png 0 0 16 16 a\n"
                                                   "SPRITE 2 second.png 0 0 16 16 b\nANI\n"
                                                   "1 0 0\n1 0 0\n1 0 0, 2 16 0\n1 0 0\nANIEND\n");
  ASSERT_EQ(Export({Q(file), "-o", Q(Out("many.gif")), "--background", "#000000"}).Code, 0);
  TGifAnimation gif(Out("many.gif"));
  gif.NextFrame();
  EXPECT_LE(gif.ColorCount, 256);
  long long error = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      const QRgb want = (x < 16 ? first : second)[size_t(ramp(x % 16, y))];
      const size_t index = size_t(gif.Bitmap.pixelIndex(x + 2, y + 2)) * 3;
      error += std::abs(qRed(want) - gif.Palette[index]) + std::abs(qGreen(want) - gif.Palette[index + 1]) +
               std::abs(qBlue(want) - gif.Palette[index + 2]);
    }
  EXPECT_LT(error / (16 * 32), 12) << "mean error per pixel over the three channels";
}

// Every file below out, with its bytes.
std::map<QString, std::string> Tree(const std::string &root)
{
  std::map<QString, std::string> files;
  QDirIterator it(Q(root), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[QDir(Q(root)).relativeFilePath(path)] = ReadWholeFile(path.toStdString());
  }
  return files;
}

TEST_F(VelkExport, WorkerProcessesWriteWhatOneProcessWrites)
{
  for (int i = 0; i < 7; ++i)
    game.Write("anims/set" + std::to_string(i % 3) + "/hop" + std::to_string(i) + ".velk",
               std::string(Hop).replace(Hop.find("1 5 2\n1 5 2"), 11, "1 " + std::to_string(i) + " 2\n1 5 2"));
  game.Write("anims/film.velk", "VELK0002\nMOVIE\nMOVIEEND\n");
  const QString anims = Q(game.Path() + "/anims");
  for (const char *format : {"gif", "sheet", "png"}) {
    const VelkResult one =
        Export({anims, "-o", Q(Out(std::string("one-") + format)), "--format", format, "--jobs", "1"});
    const VelkResult four =
        Export({anims, "-o", Q(Out(std::string("four-") + format)), "--format", format, "--jobs", "4"});
    // The movie fails in both, after everything else was written.
    EXPECT_EQ(one.Code, 1) << format;
    EXPECT_EQ(four.Code, 1) << format;
    EXPECT_EQ(one.Err, four.Err) << format;
    EXPECT_TRUE(one.Err.contains("film.velk: a movie has no frames")) << one.Err.toStdString();
    const auto sequential = Tree(Out(std::string("one-") + format));
    // hop.velk and hop0..6 in their folders, one output each or two (two frames, or sheet and index).
    EXPECT_EQ(sequential.size(), std::string(format) == "gif" ? 8u : 16u) << format;
    EXPECT_TRUE(sequential == Tree(Out(std::string("four-") + format))) << format;
  }
  EXPECT_TRUE(QFileInfo::exists(Q(Out("one-gif/set1/hop4.gif"))));
  EXPECT_TRUE(QFileInfo::exists(Q(Out("one-sheet/set0/hop0.json"))));
}

TEST_F(VelkExport, RefusesBadOptionsAndUnreadableFiles)
{
  game.Write("a/hop.velk", Hop);
  struct TCase
  {
    QStringList Args;
    int Code;
    std::string Message;
  };
  const TCase cases[] = {
      {{Q(hop)}, 2, "velk: -o OUT is required\n"},
      {{Q(hop), "-o", "x", "--format", "bmp"}, 2, "velk: --format must be gif, png or sheet\n"},
      {{Q(hop), "-o", "x", "--zoom", "0.5"}, 2, "velk: --zoom must lie between 1 and 16\n"},
      {{Q(hop), "-o", "x", "--background", "reddish"},
       2,
       "velk: --background must be #RRGGBB, a colour name or transparent\n"},
      {{Q(hop), "-o", "x", "--dir", "4"}, 2, "velk: --dir must be 0, 1, 2 or 3\n"},
      {{Q(hop), "-o", "x", "--jobs", "0"}, 2, "velk: --jobs must be a whole number from 1 to 1024\n"},
      {{Q(hop), Q(game.Path() + "/a/hop.velk"), "-o", Q(Out("two"))},
       2,
       "velk: two animations would be written to " + Out("two") + "/hop.gif\n"},
      {{Q(game.Path() + "/none.velk"), "-o", Q(Out("none.gif"))},
       1,
       "velk: cannot export " + game.Path() + "/none.velk: No such file or directory\n"},
  };
  for (const TCase &c : cases) {
    const VelkResult result = Export(c.Args);
    EXPECT_EQ(result.Code, c.Code) << c.Args.join(' ').toStdString();
    EXPECT_EQ(result.Err.toStdString(), c.Message);
  }
}

} // namespace

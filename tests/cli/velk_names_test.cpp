// Names as an asset pipeline gives them: resolved from each animation's folder whatever the shell's
// current folder is, paths never swapped for game files, and file names as bytes.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <unistd.h>

#include "cli/byte_names.h"
#include "game_fixture.h"
#include "images/gif_animation.h"
#include "velk_run.h"

namespace {

// A one-colour 4 x 4 image.
std::string WriteSolidPng(const TempDir &dir, const std::string &relative, QRgb colour)
{
  return WriteIndexedPng(dir, relative, 4, 4, {0, colour}, [](int, int) { return 1; });
}

// Runs velk with the shell's current folder at folder.
VelkResult RunIn(const std::string &folder, const QStringList &args)
{
  return RunVelk(args, {}, 30000, [folder] {
    if (::chdir(folder.c_str()) != 0)
      ::_exit(99);
  });
}

// The colour of the GIF's first frame at (x, y).
QRgb GifPixel(const std::string &path, int x, int y)
{
  TGifAnimation gif(path);
  gif.NextFrame();
  const size_t index = size_t(gif.Bitmap.pixelIndex(x, y)) * 3;
  return qRgb(gif.Palette[index], gif.Palette[index + 1], gif.Palette[index + 2]);
}

// The animation's folder holds its own tile.png; the game folder holds another one, and the shells
// run from folders holding a third, broken one or none. Every shell gets the same answers: the
// animation's own image, as the editor opened on that file shows it.
TEST(VelkNames, ImagesResolveFromTheAnimationsFolderWhateverTheShellsFolder)
{
  TempDir game, work;
  WriteSolidPng(game, "tile.png", qRgb(255, 0, 0));
  WriteSolidPng(work, "anims/tile.png", qRgb(0, 0, 255));
  work.Write("elsewhere/tile.png", "not an image");
  work.Write("empty/.keep", "");
  const std::string anim = work.Write("anims/tiled.velk", OneFrameAnimation("SPRITE 1 tile.png 0 0 4 4 t\n"
                                                                            "ATTACHSPRITE 0 1 0 0\n"));
  const QString gameDir = Q(game.Path());
  std::vector<QByteArray> checks, gifs;
  for (const std::string &shell : {work.Path() + "/elsewhere", work.Path() + "/empty", work.Path() + "/anims"}) {
    const std::string relative = shell == work.Path() + "/anims" ? "tiled.velk" : "../anims/tiled.velk";
    const VelkResult check = RunIn(shell, {"check", Q(relative), "--game-dir", gameDir});
    EXPECT_EQ(check.Code, 0) << shell << ": " << check.Out.toStdString();
    checks.push_back(check.Out);
    const std::string gif = work.Path() + "/out.gif";
    const VelkResult exported = RunIn(shell, {"export", Q(relative), "-o", Q(gif), "--game-dir", gameDir});
    ASSERT_EQ(exported.Code, 0) << shell << ": " << exported.Err.toStdString();
    gifs.push_back(QByteArray::fromStdString(ReadWholeFile(gif)));
    // The shadow's box starts at (0, 0), the margin is 2 pixels.
    EXPECT_EQ(GifPixel(gif, 3, 3), qRgb(0, 0, 255)) << shell;
  }
  EXPECT_EQ(checks[0], checks[1]);
  EXPECT_EQ(gifs[0], gifs[1]);
  EXPECT_EQ(gifs[0], gifs[2]);

  // Without its own copy the animation's image comes from the game folder, found from any shell.
  std::filesystem::remove(work.Path() + "/anims/tile.png");
  const VelkResult fromGame =
      RunIn(work.Path() + "/elsewhere", {"export", Q(anim), "-o", Q(work.Path() + "/g.gif"), "--game-dir", gameDir});
  ASSERT_EQ(fromGame.Code, 0) << fromGame.Err.toStdString();
  EXPECT_EQ(GifPixel(work.Path() + "/g.gif", 3, 3), qRgb(255, 0, 0));
}

TEST(VelkNames, ANameWithAFolderIsAPathAndTheGameFolderMustExist)
{
  TempDir game;
  game.Write("walk.velk", OneFrameAnimation(""));
  const QString gameDir = Q(game.Path());
  const VelkResult bare = RunVelk({"dump", "walk", "--game-dir", gameDir});
  EXPECT_EQ(bare.Code, 0) << bare.Err.toStdString();
  for (const std::string &path : {std::string("/nonexistent/dir/walk"), game.Path() + "/sub/walk"}) {
    const VelkResult result = RunVelk({"dump", Q(path), "--game-dir", gameDir});
    EXPECT_EQ(result.Code, 1) << path;
    EXPECT_EQ(result.Err.toStdString(), "velk: cannot read " + path + ": No such file or directory\n");
  }
  const std::string missing = game.Path() + "/missing";
  for (const QStringList &args :
       {QStringList{"dump", "walk", "--game-dir", Q(missing)}, QStringList{"--game-dir", Q(missing), "check", "walk"},
        QStringList{"dump", "walk", "--game-dir", Q(game.Path() + "/walk.velk")}}) {
    const VelkResult result = RunVelk(args);
    EXPECT_EQ(result.Code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(result.Err.startsWith("velk: --game-dir ")) << result.Err.toStdString();
  }
}

// The velk of the build tree finds the bundled game folder through build/share/zeltrix/game, not
// by indexing the build tree with the packages it stages.
TEST(VelkNames, TheBuildTreesVelkFindsTheBundledGameFolder)
{
  TempDir shell;
  const VelkResult result = RunIn(shell.Path(), {"dump", "idle"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QString file = QJsonDocument::fromJson(result.Out).object()["FileName"].toString();
  EXPECT_TRUE(file.endsWith("/share/zeltrix/game/idle.velk")) << file.toStdString();
  EXPECT_EQ(ReadWholeFile(file.toStdString()),
            ReadWholeFile(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/idle.velk"));
}

// Names that are not UTF-8 are taken, shown and written as the bytes they are; JSON escapes each
// byte that is not UTF-8 as \udcXX, which gives the bytes back.
TEST(VelkNames, FileNamesAreBytes)
{
  TempDir dir;
  const std::string odd = "caf\xe9-\xff";
  const std::string folder = dir.Path() + "/" + odd;
  const std::string anim = dir.Write(odd + "/" + odd + ".velk", OneFrameAnimation("SPRITE 5 SPRITES 0 0 1 1 spare\n"));
  const QString arg = NameToQt(anim);
  ASSERT_NE(arg, QString::fromLocal8Bit(anim.c_str())) << "the name is no UTF-8";

  const VelkResult dump = RunVelk({"dump", arg});
  ASSERT_EQ(dump.Code, 0) << dump.Err.toStdString();
  EXPECT_EQ(NameFromQt(QJsonDocument::fromJson(dump.Out).object()["FileName"].toString()), anim);
  EXPECT_TRUE(dump.Out.contains("caf\\udce9-\\udcff")) << dump.Out.toStdString();

  const VelkResult check = RunVelk({"check", NameToQt(folder)});
  EXPECT_EQ(check.Out.toStdString(), anim + ":3: sprite 5 is not used\n");
  const VelkResult json = RunVelk({"check", NameToQt(folder), "--json"});
  EXPECT_EQ(NameFromQt(QJsonDocument::fromJson(json.Out).array()[0].toObject()["file"].toString()), anim);

  const VelkResult missing = RunVelk({"dump", NameToQt(folder + "/none.velk")});
  EXPECT_EQ(missing.Err.toStdString(), "velk: cannot read " + folder + "/none.velk: No such file or directory\n");

  // Workers get the same bytes: the outputs are named after the animation, as it is named.
  for (const char *jobs : {"1", "3"}) {
    const std::string out = dir.Path() + "/out" + jobs + "-\xfe";
    const VelkResult exported =
        RunVelk({"export", NameToQt(folder), arg, "-o", NameToQt(out), "--format", "sheet", "--jobs", jobs});
    EXPECT_EQ(exported.Code, 2) << "two animations would be written to one file";
    const VelkResult sheet =
        RunVelk({"export", NameToQt(folder), "-o", NameToQt(out), "--format", "sheet", "--jobs", jobs, "--dir", "1"});
    ASSERT_EQ(sheet.Code, 0) << sheet.Err.toStdString();
    const QJsonObject index =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(out + "/" + odd + ".json"))).object();
    EXPECT_EQ(NameFromQt(index["meta"].toObject()["image"].toString()), odd + ".png");
    EXPECT_EQ(NameFromQt(index["frames"].toArray()[0].toObject()["filename"].toString()), odd + "-d0-f0.png");
  }
}

} // namespace

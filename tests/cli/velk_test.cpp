// Runs the velk tool on files and checks its output, as an asset pipeline would.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

const std::string Walk = "VELK0001\r\n"
                         "SPRITE    0         SPRITES    0    0   24   16 shadow\r\n"
                         "SPRITE    3            BODY    0   32   32   32 body down\r\n"
                         "ATTACHSPRITE    3    0    0   -4\r\n"
                         "\r\n"
                         "LOOP\r\n"
                         "DEFAULTHEAD head19.png\r\n"
                         "DEFAULTBODY body.png\r\n"
                         "COLOREFFECT 3 0.5 1 1 1\r\n"
                         "\r\n"
                         "ANI\r\n"
                         "   3   0   0,    0  12  34\r\n"
                         "   3   0   0\r\n"
                         "   3   0   0\r\n"
                         "   3   0   0\r\n"
                         "WAIT 1\r\n"
                         "PLAYSOUND step.wav 1.5 2\r\n"
                         "WAIT 2\r\n"
                         "ANIEND\r\n";

TEST(Velk, DumpPrintsTheDocumentModel)
{
  TempDir game;
  game.Write("anims/walk.velk", Walk);
  VelkResult result = RunVelk({"dump", "--game-dir", QString::fromStdString(game.Path()), "walk"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QJsonObject doc = QJsonDocument::fromJson(result.Out).object();
  EXPECT_EQ(doc["Name"].toString(), "walk");
  EXPECT_EQ(doc["Length"].toInt(), 4);
  EXPECT_TRUE(doc["Loop"].toBool());
  EXPECT_EQ(doc["BackColor"].toInt(), 32768);
  EXPECT_EQ(doc["DefaultParams"].toArray().size(), 8);
  EXPECT_EQ(doc["DefaultAttrs"].toArray().size(), 9);
  const QJsonObject body = doc["Sprites"].toArray()[1].toObject();
  EXPECT_EQ(body["Description"].toString(), "body down");
  EXPECT_EQ(body["ColorEffect"].toArray()[0].toDouble(), 0.5);
  EXPECT_EQ(body["Attachments"].toArray()[0].toObject()["Sprite"].toInt(), 0);
  const QJsonObject step = doc["Steps"].toArray()[0].toObject();
  EXPECT_EQ(step["Duration"].toInt(), 4);
  const QJsonObject part = step["Directions"].toArray()[0].toArray()[1].toObject();
  EXPECT_EQ(part["Sprite"].toInt(), 0);
  EXPECT_EQ(part["ParamSlot"].toInt(), -1);
  EXPECT_EQ(part["Y"].toInt(), 34);
  const QJsonObject sound = step["Sounds"].toArray()[0].toObject();
  EXPECT_EQ(sound["Tick"].toInt(), 2);
  EXPECT_EQ(sound["X"].toInt(), 24);
}

TEST(Velk, FmtWritesWhatSaveWrites)
{
  TempDir dir;
  const std::string messy =
      dir.Write("messy.velk", "SPRITE 0 SPRITES 0 0 24 16   shadow\nSPRITE 3 BODY 0 32 32 32 body    down\n"
                              "ATTACHSPRITE 3 0 0 -4\nCOLOREFFECT 3 .5 1 1 1\nLOOP\nANI\n"
                              "3 0 0,0 12 34\n3 0 0\n3 0 0\n3 0 0\nWAIT 1\nPLAYSOUND step.wav 1.5 2\n"
                              "WAIT 2\nANIEND\n");
  VelkResult toStdout = RunVelk({"fmt", QString::fromStdString(messy)});
  ASSERT_EQ(toStdout.Code, 0);
  EXPECT_EQ(toStdout.Out.toStdString(), Walk);

  const std::string out = dir.Path() + "/out.velk";
  VelkResult toFile = RunVelk({"fmt", QString::fromStdString(messy), "-o", QString::fromStdString(out)});
  ASSERT_EQ(toFile.Code, 0);
  EXPECT_TRUE(toFile.Out.isEmpty());
  EXPECT_EQ(ReadWholeFile(out), Walk);
}

TEST(Velk, IndexListsKeysAndPathsInOrder)
{
  TempDir game;
  game.Write("b/Sword1.PNG", "x");
  game.Write("a.velk", "x");
  game.Write("profiles/skip.png", "x");
  VelkResult result = RunVelk({"index", QString::fromStdString(game.Path())});
  ASSERT_EQ(result.Code, 0);
  EXPECT_EQ(result.Out.toStdString(),
            "a.velk\t" + game.Path() + "/a.velk\nsword1.png\t" + game.Path() + "/b/Sword1.PNG\n");
}

TEST(Velk, FailuresHaveTheirExitCodes)
{
  TempDir dir;
  const std::string junk = dir.Write("junk.velk", "not an animation\n");
  VelkResult unreadable = RunVelk({"dump", QString::fromStdString(junk)});
  EXPECT_EQ(unreadable.Code, 1);
  EXPECT_TRUE(unreadable.Out.isEmpty());
  EXPECT_EQ(unreadable.Err.toStdString(), "velk: cannot read " + junk + ": holds neither a frame nor a movie\n");

  EXPECT_EQ(RunVelk({"fmt", QString::fromStdString(dir.Path() + "/missing.velk")}).Code, 1);
  EXPECT_EQ(RunVelk({"index", QString::fromStdString(dir.Path() + "/missing")}).Code, 1);
  EXPECT_EQ(RunVelk({"dump"}).Code, 2);
  EXPECT_EQ(RunVelk({"frobnicate"}).Code, 2);
  EXPECT_EQ(RunVelk({"dump", "--bogus", "x"}).Code, 2);
  EXPECT_EQ(RunVelk({"--help"}).Code, 0);
  EXPECT_EQ(RunVelk({"dump", "--help"}).Code, 0);
  EXPECT_EQ(RunVelk({"--version"}).Code, 0);
}

} // namespace

namespace {

TEST(Velk, StateEvaluatesAMovieAtATime)
{
  TempDir game;
  game.Write("anims/scene.velk", "VELK0002\r\nFRAMES 100\r\nLOOP\r\nMOVIE\r\n  ACTOR SPRITE star\r\n"
                                 "    FRAME 0 dx=0,dy=0,visible=true,sprite #=PARAM2\r\n    FRAME 10 dx=10,dy=4\r\n"
                                 "  ACTOREND\r\nMOVIEEND\r\n");
  const QString dir = QString::fromStdString(game.Path());
  VelkResult result = RunVelk({"state", "--game-dir", dir, "scene", "--time", "105", "--dir", "1"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QJsonObject state = QJsonDocument::fromJson(result.Out).object();
  EXPECT_EQ(state["CurrentTime"].toInt(), 5) << "the movie loops";
  EXPECT_EQ(state["Dir"].toInt(), 1);
  const QJsonArray actors = state["Actors"].toArray();
  ASSERT_EQ(actors.size(), 1);
  const QJsonObject star = actors[0].toObject();
  EXPECT_EQ(star["Name"].toString(), "star");
  EXPECT_EQ(star["DX"].toInt(), 5);
  EXPECT_EQ(star["DY"].toInt(), 2);
  EXPECT_TRUE(star["Visible"].toBool());
  EXPECT_TRUE(star["Sprite"].isNull());
  EXPECT_EQ(star["SpriteParam"].toInt(), 2);
  EXPECT_EQ(star["Colors"].toArray().size(), 8);

  EXPECT_EQ(RunVelk({"state", "--game-dir", dir, "scene"}).Code, 2) << "--time is required";
  EXPECT_EQ(RunVelk({"state", "--game-dir", dir, "scene", "--time", "1", "--dir", "7"}).Code, 2);
  EXPECT_EQ(RunVelk({"state", "--game-dir", dir, "missing", "--time", "1"}).Code, 1);
}

TEST(Velk, StateFindsTheFrameOfASpriteAnimation)
{
  TempDir game;
  game.Write("anims/walk.velk", Walk);
  VelkResult result = RunVelk({"state", "--game-dir", QString::fromStdString(game.Path()), "walk", "--time", "6"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QJsonObject state = QJsonDocument::fromJson(result.Out).object();
  EXPECT_EQ(state["CurrentTime"].toInt(), 2) << "one looping frame of four ticks";
  EXPECT_EQ(state["FrameIndex"].toInt(), 0);
  EXPECT_EQ(state["FrameTick"].toInt(), 2);
  EXPECT_EQ(state["Dir"].toInt(), 2);
  EXPECT_TRUE(state["Actors"].toArray().isEmpty());
}

TEST(Velk, RenderDrawsTheCanvasAsTheWindowLaysItOut)
{
  TempDir out;
  const QString game = QString::fromStdString(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
  const QString png = QString::fromStdString(out.Path() + "/walk.png");
  VelkResult result = RunVelk({"render", "--game-dir", game, "walk", "-o", png, "--time", "3", "--canvas", "400x300"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QImage image(png);
  ASSERT_EQ(image.size(), QSize(400, 300));
  EXPECT_EQ(image.pixel(30, 2) & 0xFFFFFF, 0x00C000u);    // the strip right of the scroll bar
  EXPECT_EQ(image.pixel(390, 5) & 0xFFFFFF, 0x008000u);   // the scene
  EXPECT_EQ(image.pixel(390, 255) & 0xFFFFFF, 0x00C000u); // the band
  // The origin's guide: the scene area 67..400 centred, less 24.
  const int originX = 67 + (400 - 67) / 2 - 24;
  const QRgb guide = image.pixel(originX, 3) & 0xFFFFFF;
  EXPECT_TRUE(guide == 0x00A000u || image.pixel(originX, 4) == 0xFF00A000u);

  // Zoomed: the same canvas size, the character larger.
  const QString zoomed = QString::fromStdString(out.Path() + "/zoomed.png");
  result = RunVelk({"render", "--game-dir", game, "walk", "-o", zoomed, "--zoom", "3", "--canvas", "400x300"});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  EXPECT_EQ(QImage(zoomed).size(), QSize(400, 300));

  for (const QStringList &bad :
       {QStringList{"render", "walk"}, QStringList{"render", "walk", "-o", png, "--zoom", "0.5"},
        QStringList{"render", "walk", "-o", png, "--canvas", "0x10"},
        QStringList{"render", "walk", "-o", png, "--dir", "4"}})
    EXPECT_EQ(RunVelk(bad).Code, 2) << bad.join(' ').toStdString();
  EXPECT_EQ(RunVelk({"render", "--game-dir", game, "nosuch", "-o", png}).Code, 1);
}

TEST(Velk, RenderDrawsTheImagesOfAMoviesCharacters)
{
  // A character of a movie plays an animation cut from an image file of the game folder: the
  // movie shows it just as the animation alone shows it.
  TempDir game;
  game.Write("crate.png", ReadWholeFile(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/body.png"));
  game.Write("box.velk", "VELK0001\r\nSPRITE    0       crate.png    0   64   32   32 crate\r\n\r\nANI\r\n"
                         "   0   0   0\r\n   0   0   0\r\n   0   0   0\r\n   0   0   0\r\nWAIT 4\r\nANIEND\r\n");
  game.Write("scene.velk", "VELK0002\r\nFRAMES 100\r\nMOVIE\r\n  ACTOR CHAR hero\r\n"
                           "    FRAME 0 dx=0,dy=0,visible=true,ani=box\r\n  ACTOREND\r\nMOVIEEND\r\n");
  const QString dir = QString::fromStdString(game.Path());
  const QString alone = QString::fromStdString(game.Path() + "/alone.png");
  const QString movie = QString::fromStdString(game.Path() + "/movie.png");
  VelkResult result = RunVelk({"render", "--game-dir", dir, "box", "-o", alone});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  result = RunVelk({"render", "--game-dir", dir, "scene", "-o", movie});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();

  const QImage a(alone), m(movie);
  // The origin of a 640 x 480 canvas: the scene area 67..640 centred, less 24; 215 less 16.
  const QRect character(67 + (640 - 67) / 2 - 24, 215 - 16, 32, 32);
  int drawn = 0, different = 0;
  for (int y = character.top(); y <= character.bottom(); ++y)
    for (int x = character.left(); x <= character.right(); ++x) {
      different += m.pixel(x, y) != a.pixel(x, y);
      drawn += (a.pixel(x, y) & 0xFFFFFF) != 0x008000u && (a.pixel(x, y) & 0xFFFFFF) != 0x00A000u;
    }
  EXPECT_GT(drawn, 50);
  EXPECT_EQ(different, 0);
}

} // namespace

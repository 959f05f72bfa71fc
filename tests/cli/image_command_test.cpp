// velk image: the first frame of an image as JSON, and the decoder's message on failure.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <tuple>

#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

std::string Bytes(std::initializer_list<int> values)
{
  std::string out;
  for (int v : values)
    out.push_back(char(v));
  return out;
}

} // namespace

TEST(VelkImage, PrintsTheFirstFrameOfAGif)
{
  TempDir dir;
  // 3 x 2 screen, 4-entry global table, a control extension (transparent 2, delay 7), one
  // frame coded as literals, a clear code before every two: rows 0 1 2 / 3 0 1, background 1.
  const std::string gif = std::string("GIF89a") + Bytes({3, 0, 2, 0, 0x81, 1, 0}) +
                          Bytes({0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0x10, 0x20, 0x30}) +
                          Bytes({0x21, 0xF9, 4, 1, 7, 0, 2, 0}) + Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0}) +
                          Bytes({2, 4, 0x44, 0xA8, 0x11, 0x29, 0, 0x3B});
  const std::string path = dir.Write("Walk.GIF", gif);
  const VelkResult result = RunVelk({"image", QString::fromStdString(path)});
  ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
  const QJsonObject json = QJsonDocument::fromJson(result.Out).object();
  EXPECT_EQ(json["Width"].toInt(), 3);
  EXPECT_EQ(json["Height"].toInt(), 2);
  EXPECT_EQ(json["FrameCount"].toInt(), 1);
  EXPECT_EQ(json["TransparentIndex"].toInt(), 2);
  EXPECT_EQ(json["ColorCount"].toInt(), 4);
  EXPECT_EQ(json["Delay"].toInt(), 7);
  EXPECT_FALSE(json["Animated"].toBool());
  EXPECT_EQ(json["Palette"].toArray(), (QJsonArray{"FF0000", "00FF00", "0000FF", "102030"}));
  EXPECT_EQ(json["Pixels"].toArray(), (QJsonArray{"000102", "030001"}));
}

TEST(VelkImage, ReportsTheDecoderMessage)
{
  TempDir dir;
  for (auto [name, message] : {std::pair{"bad.png", "velk: MNG loading failed!\n"},
                               {"bad.gif", "velk: Gif loading failed!\n"},
                               {"bad.mng", "velk: MNG loading failed!\n"}}) {
    const VelkResult result = RunVelk({"image", QString::fromStdString(dir.Write(name, "not an image"))});
    EXPECT_EQ(result.Code, 1) << name;
    EXPECT_EQ(result.Err.toStdString(), message);
    EXPECT_TRUE(result.Out.isEmpty());
  }
  EXPECT_EQ(RunVelk({"image"}).Code, 2);
}

// A file cut short decodes to what it holds, as the editor draws it; velk says it is damaged.
TEST(VelkImage, FailsOnADamagedFile)
{
  TempDir dir;
  const std::string body = ReadWholeFile(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/body.png");
  const std::string gif = std::string("GIF89a") + Bytes({1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 9, 9, 9});
  for (auto [name, bytes, message] :
       {std::tuple{"cut.png", body.substr(0, body.size() - 12), "the file ends before the image's IEND chunk"},
        {"short.png", body.substr(0, body.size() / 2), "the file ends inside a chunk"},
        {"empty.gif", gif + ";", "it holds no image"},
        {"open.gif", gif, "the file ends before its trailer"}}) {
    const std::string path = dir.Write(name, bytes);
    const VelkResult result = RunVelk({"image", QString::fromStdString(path)});
    EXPECT_EQ(result.Code, 1) << name;
    EXPECT_EQ(result.Err.toStdString(), "velk: " + path + " is damaged: " + message + "\n");
    EXPECT_TRUE(result.Out.isEmpty());
  }
}

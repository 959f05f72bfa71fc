// velk export and render as a pipeline relies on them: an input is never overwritten, an
// animation's outputs appear whole or not at all, and a picture of nothing is refused.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <sys/stat.h>

#include "game_fixture.h"
#include "velk_run.h"

namespace fs = std::filesystem;

namespace {

// Sprite 0 is the shadow a new frame starts with at (12, 34); sprite 1 the body.
const std::string Header = "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 shadow\nSPRITE 1 BODY 0 0 32 32 body\n";

// Two frames whose direction d has the given lines.
std::string TwoFrames(const std::vector<std::string> &lines)
{
  std::string text = Header + "ANI\n";
  for (int frame = 0; frame < 2; ++frame)
    for (const std::string &line : lines)
      text += line + "\n";
  return text + "ANIEND\n";
}

class VelkExportSafety : public ::testing::Test
{
protected:
  void SetUp() override { hop = dir.Write("anims/hop.velk", TwoFrames({"1 0 0", "1 0 0", "1 0 0", "1 0 0"})); }
  VelkResult Run(QStringList args)
  {
    args << "--game-dir" << Game;
    return RunVelk(args);
  }
  std::string Path(const std::string &relative) const { return dir.Path() + "/" + relative; }

  const QString Game = Q(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
  TempDir dir;
  std::string hop;
};

TEST_F(VelkExportSafety, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten)
{
  const std::string text = ReadWholeFile(hop);
  fs::create_symlink(hop, Path("link.png"));
  const std::string index = dir.Write("anims/sheet.json", text);
  const std::string framed = dir.Write("anims/hop-d2-f0.png", text);
  const std::string asFolder = dir.Write("anims/other.velk", text);
  struct Case
  {
    QStringList Args;
    std::string Message;
  };
  const Case cases[] = {
      {{"export", Q(hop), "-o", Q(hop)}, hop + " would overwrite the input " + hop},
      {{"render", Q(hop), "-o", Q(Path("anims/../anims/hop.velk"))},
       Path("anims/../anims/hop.velk") + " would overwrite the input " + hop},
      {{"export", Q(hop), "-o", Q(Path("link.png")), "--format", "sheet"},
       Path("link.png") + " would overwrite the input " + hop},
      {{"export", Q(index), "-o", Q(Path("anims/sheet.png")), "--format", "sheet"},
       Path("anims/sheet.json") + " would overwrite the input " + index},
      {{"export", Q(hop), Q(framed), "-o", Q(Path("anims")), "--format", "png"},
       Path("anims/hop") + "-dD-fN.png would overwrite the input " + framed},
      {{"export", Q(hop), Q(asFolder), "-o", Q(asFolder)}, asFolder + " would overwrite the input " + asFolder},
  };
  for (const Case &c : cases) {
    const VelkResult result = Run(c.Args);
    EXPECT_EQ(result.Code, 2) << c.Args.join(' ').toStdString();
    EXPECT_EQ(result.Err.toStdString(), "velk: " + c.Message + "\n");
  }
  for (const std::string &input : {hop, index, framed, asFolder})
    EXPECT_EQ(ReadWholeFile(input), text) << input;
  EXPECT_FALSE(fs::exists(Path("anims/sheet.png")));
  EXPECT_FALSE(fs::exists(Path("anims/hop-d2-f1.png")));

  // A bare name is its file in the game folder; fmt rewrites its own input as Save does.
  TempDir game;
  const std::string walk = game.Write("walk.velk", text);
  const VelkResult bare = RunVelk({"export", "walk", "-o", Q(walk), "--game-dir", Q(game.Path())});
  EXPECT_EQ(bare.Code, 2) << bare.Err.toStdString();
  EXPECT_EQ(RunVelk({"fmt", Q(walk), "-o", Q(walk)}).Code, 0);
}

TEST_F(VelkExportSafety, AnAnimationsOutputsAppearWholeOrNotAtAll)
{
  fs::create_directories(Path("sheet/s.json"));
  fs::create_directories(Path("frames/hop-d2-f1.png"));
  struct Case
  {
    QStringList Args;
    std::string Message;
    std::string Absent;
  };
  const Case cases[] = {
      {{"--format", "sheet", "-o", Q(Path("sheet/s.png"))},
       "cannot write " + Path("sheet/s.json") + ": Is a directory",
       "sheet/s.png"},
      {{"--format", "png", "-o", Q(Path("frames"))},
       "cannot write " + Path("frames/hop-d2-f1.png") + ": Is a directory",
       "frames/hop-d2-f0.png"},
  };
  for (const Case &c : cases) {
    const VelkResult result = Run(QStringList{"export", Q(hop)} + c.Args);
    EXPECT_EQ(result.Code, 1);
    EXPECT_EQ(result.Err.toStdString(), "velk: cannot export " + hop + ": " + c.Message + "\n");
    EXPECT_FALSE(fs::exists(Path(c.Absent))) << c.Absent;
  }
  for (const auto &entry : fs::recursive_directory_iterator(dir.Path()))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path() << " is left behind";
}

TEST_F(VelkExportSafety, FailuresNameTheirCause)
{
  dir.Write("file", "x");
  struct Case
  {
    QStringList Args;
    std::string Message;
  };
  const Case cases[] = {
      {{"export", Q(hop), "-o", Q(Path("file/sub/a.gif"))},
       "cannot export " + hop + ": cannot create folder " + Path("file/sub") + ": " + Path("file") +
           " is not a folder"},
      {{"export", Q(hop), Q(hop), "-o", Q(Path("file"))},
       "two animations would be written to " + Path("file") + "/hop.gif"},
      {{"render", Q(hop), "-o", Q(Path("missing/a.png"))},
       "cannot write " + Path("missing/a.png") + ": cannot create a file in " + Path("missing") +
           ": No such file or directory"},
  };
  for (const Case &c : cases) {
    const VelkResult result = Run(c.Args);
    EXPECT_EQ(result.Err.toStdString(), "velk: " + c.Message + "\n") << c.Args.join(' ').toStdString();
  }
  // A folder without animations fails, and the other arguments are still exported.
  fs::create_directories(Path("empty"));
  const VelkResult empty = Run({"export", Q(Path("empty")), Q(hop), "-o", Q(Path("out"))});
  EXPECT_EQ(empty.Code, 1);
  EXPECT_EQ(empty.Err.toStdString(), "velk: cannot export " + Path("empty") + ": holds no .velk files\n");
  EXPECT_TRUE(fs::exists(Path("out/hop.gif")));
  EXPECT_EQ(ReadWholeFile(Path("out/hop.gif")).substr(0, 6), "GIF89a");
}

// A picture of a direction that holds no parts, or only the shadow a new frame starts with, while
// another direction holds the animation, is refused; one of every direction alike is drawn.
TEST_F(VelkExportSafety, ADirectionThatDrawsNothingOfTheAnimationIsRefused)
{
  struct Case
  {
    std::vector<std::string> Lines;
    QStringList Options;
    std::string Message; // empty: exported
  };
  const Case cases[] = {
      {{"0 12 34", "1 0 0", "0 12 34", "0 12 34"},
       {},
       "direction 2 (down) draws only the shadow; its parts are in direction 1 (left)"},
      {{"1 0 0", "PARAM9 0 0", "PARAM9 0 0", "1 3 3, 0 12 34"},
       {"--dir", "1"},
       "direction 1 (left) has no parts; its parts are in directions 0 (up) and 3 (right)"},
      {{"1 0 0", "0 12 34", "1 0 0", "1 0 0"},
       {"--dir", "1", "--format", "png"},
       "direction 1 (left) draws only the shadow; its parts are in directions 0 (up), 2 (down) and 3 (right)"},
      // The shadow elsewhere, or everywhere, or parts in the direction asked for: drawn.
      {{"0 12 34", "0 12 34", "0 12 34", "0 12 34"}, {}, ""},
      {{"0 12 34", "1 0 0", "0 5 34", "0 12 34"}, {}, ""},
      {{"0 12 34", "1 0 0", "0 12 34", "0 12 34"}, {"--dir", "1"}, ""},
      {{"0 12 34", "1 0 0", "0 12 34", "0 12 34"}, {"--format", "sheet"}, ""},
  };
  int n = 0;
  for (const Case &c : cases) {
    const std::string file = dir.Write("case" + std::to_string(n++) + ".velk", TwoFrames(c.Lines));
    const std::string out = Path("out" + std::to_string(n));
    const VelkResult result = Run(QStringList{"export", Q(file), "-o", Q(out)} + c.Options);
    if (c.Message.empty()) {
      EXPECT_EQ(result.Code, 0) << file << result.Err.toStdString();
      EXPECT_TRUE(fs::exists(out)) << file;
    } else {
      EXPECT_EQ(result.Code, 1) << file;
      EXPECT_EQ(result.Err.toStdString(), "velk: cannot export " + file + ": " + c.Message + "\n");
      EXPECT_FALSE(fs::exists(out)) << file;
    }
  }
  // One direction for all: nothing to choose between.
  const std::string single = dir.Write("single.velk", Header + "SINGLEDIRECTION\nANI\n0 12 34\nANIEND\n");
  EXPECT_EQ(Run({"export", Q(single), "-o", Q(Path("single.gif"))}).Code, 0);
}

} // namespace

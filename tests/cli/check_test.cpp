// velk check: each kind of fault in a file of its own, found on its line and nothing else found.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <map>

#include "game_fixture.h"
#include "support/hostile_inputs.h"
#include "velk_run.h"

namespace {

const std::string Frame = "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\nANIEND\n";
const std::string Shadow = "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 shadow\n";

struct TFaultCase
{
  std::string File;
  std::string Text;
  std::vector<std::string> Findings; // ":LINE: message", or ": message" without a line
};

const std::vector<TFaultCase> &FaultCases()
{
  static const std::vector<TFaultCase> cases = {
      {"missing_image",
       OneFrameAnimation("SPRITE 1 nothere.png 0 0 4 4 x\nATTACHSPRITE 0 1 0 0\n"),
       {":3: image of sprite 1 \"nothere.png\" is not in the game folder"}},
      {"broken_image",
       OneFrameAnimation("SPRITE 1 broken.png 0 0 4 4 x\nATTACHSPRITE 0 1 0 0\n"),
       {":3: image of sprite 1 \"broken.png\" does not decode: MNG loading failed!"}},
      {"broken_head",
       OneFrameAnimation("DEFAULTHEAD broken.png\n"),
       {":3: DEFAULTHEAD \"broken.png\" does not decode: MNG loading failed!"}},
      {"missing_sound",
       OneFrameAnimation("", "PLAYSOUND nosound.wav\n"),
       {":8: sound \"nosound.wav\" is not in the game folder"}},
      {"late_sound",
       OneFrameAnimation("", "WAIT 10\nPLAYSOUND step.wav\nWAIT -8\n"),
       {":9: sound \"step.wav\" starts at tick 11, after the frame's 3 ticks"}},
      {"cycle",
       OneFrameAnimation("SPRITE 1 SPRITES 0 0 4 4 a\nSPRITE 2 SPRITES 0 0 4 4 b\nATTACHSPRITE 0 1 0 0\n"
                         "ATTACHSPRITE 1 2 0 0\nATTACHSPRITE 2 1 0 0\n"),
       {":7: attachment cycle: 1 -> 2 -> 1"}},
      {"self_attached", OneFrameAnimation("ATTACHSPRITE 0 0 1 1\n"), {":3: attachment cycle: 0 -> 0"}},
      {"duplicate",
       OneFrameAnimation("SPRITE 0 SPRITES 0 0 8 8 again\n"),
       {":3: sprite 0 is defined again (first on line 2); parts use the first"}},
      {"missing_definition",
       Shadow + "ANI\n0 0 0, 7 1 1\n0 0 0\n0 0 0\n0 0 0\nANIEND\n",
       {":4: part names sprite 7, which has no SPRITE line before it"}},
      {"defined_too_late",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0, 7 1 1\nANIEND\nSPRITE 7 SPRITES 0 0 1 1 x\n"
                "ATTACHSPRITE 0 7 0 0\n",
       {":7: part names sprite 7, which has no SPRITE line before it"}},
      {"attached_nothing",
       OneFrameAnimation("ATTACHSPRITE 0 9 0 0\n"),
       {":3: attachment names sprite 9, which has no SPRITE line before it"}},
      {"unused", OneFrameAnimation("SPRITE 5 SPRITES 0 0 4 4 spare\n"), {":3: sprite 5 is not used"}},
      {"empty_direction",
       Shadow + "ANI\n0 0 0\nPARAM9 0 0\n0 0 0\n0 0 0\nANIEND\n",
       {":5: frame 0 has no parts facing left"}},
      {"blank_setback",
       OneFrameAnimation("SETBACKTO idle walk\n"),
       {":3: SETBACKTO value \"idle walk\" has blanks: only \"idle\" is read back"}},
      {"blank_param",
       OneFrameAnimation("DEFAULTPARAM1 big hat\n"),
       {":3: DEFAULTPARAM1 value \"big hat\" has blanks: only \"big\" is read back"}},
      {"blank_description",
       "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 the  shadow\n" + Frame,
       {":2: description of sprite 0 \"the  shadow\" reads back as \"the shadow\""}},
      {"blank_actor",
       "VELK0002\nMOVIE\n  ACTOR CHAR my hero\n  ACTOREND\nMOVIEEND\n",
       {":3: actor name \"my hero\" has blanks: only \"my\" is read back"}},
      {"blank_key",
       "VELK0002\nMOVIE\n  ACTOR CHAR hero\n    FRAME 0 chat=hi ,dx=1\n  ACTOREND\nMOVIEEND\n",
       {":4: key value \"chat=hi\" ends in blanks that are not read back"}},
      {"not_an_animation", "hello\n", {": cannot read: holds neither a frame nor a movie"}},
      {"stops_reading",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n\n0 0 0\n0 x 0\nANIEND\n",
       {":10: part position x 0 is no pair of whole numbers: the reader stops here"}},
      // Stopped before a frame was complete: nothing is read, and the text says why.
      {"stops_at_once",
       Shadow + "ANI\n0 0 0\n0 x 0\nANIEND\n",
       {":5: cannot read: holds neither a frame nor a movie",
        ":5: part position x 0 is no pair of whole numbers: the reader stops here"}},
      // Frames the reader drops without a word: cut short by ANIEND, or never ended.
      {"incomplete_frame",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n\n0 0 0\n0 0 0\n0 0 0\nANIEND\n",
       {":9: frame has 3 of 4 direction lines before ANIEND (line 12): the reader drops it"}},
      {"no_aniend",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n",
       {":3: the frame block has no ANIEND", ":8: frame is not ended by ANIEND: the reader drops it"}},
      {"only_incomplete",
       Shadow + "ANI\n0 0 0\n0 0 0\nANIEND\n",
       {":4: cannot read: holds neither a frame nor a movie",
        ":4: frame has 2 of 4 direction lines before ANIEND (line 6): the reader drops it"}},
      {"truncated_image",
       OneFrameAnimation("SPRITE 1 truncated.png 0 0 4 4 x\nATTACHSPRITE 0 1 0 0\n"),
       {":3: image of sprite 1 \"truncated.png\" is damaged: the file ends before the image's IEND chunk"}},
      // What a movie's keys name must exist; actors of no known kind are not made.
      {"movie_names",
       "VELK0002\nMOVIE\n  ACTOR CHAR hero\n    FRAME 0 ani=nosuch,body=nobody.png,param1=2,attr2=broken.png\n"
       "    FRAME 9 ani=clean,head=good.png\n  ACTOREND\n  ACTOR SOUND ding\n    FRAME 5 file=nosound.wav\n"
       "  ACTOREND\nMOVIEEND\n",
       {":4: actor \"hero\"'s animation \"nosuch\" is not in the game folder",
        ":4: actor \"hero\"'s body \"nobody.png\" is not in the game folder",
        ":4: actor \"hero\"'s attr2 \"broken.png\" does not decode: MNG loading failed!",
        ":8: actor \"ding\"'s sound \"nosound.wav\" is not in the game folder"}},
      {"unknown_kind",
       "VELK0002\nMOVIE\n  ACTOR CHAR hero\n  ACTOR BOGUS thing\n    FRAME 0 dx=1\n  ACTOREND\n"
       "    FRAME 3 dx=2\nMOVIEEND\n",
       {":4: actor kind \"BOGUS\" is none of CHAR, SPRITE, SOUND and TEXT: the reader makes no actor; its keys go "
        "to the actor before it",
        ":7: FRAME line outside ACTOR and ACTOREND: the reader drops it"}},
      {"bad_wait",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n\n0 0 0\n0 0 0\n0 0 0\n0 0 0\nWAIT x\nANIEND\n",
       {":13: WAIT \"x\" is no whole number: the reader stops here"}},
      // A frame cut short by ANIEND is dropped: the next block's frame is frame 0.
      {"dropped_frame",
       Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\nANIEND\nANI\n0 0 0\nPARAM9 0 0\n0 0 0\n0 0 0\nANIEND\n",
       {":4: frame has 3 of 4 direction lines before ANIEND (line 7): the reader drops it",
        ":10: frame 0 has no parts facing left"}},
      {"single_direction", Shadow + "SINGLEDIRECTION\nANI\nPARAM9 0 0\nANIEND\n", {":5: frame 0 has no parts"}},
  };
  return cases;
}

class VelkCheck : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const std::string good = WriteIndexedPng(game, "good.png", 4, 4, {0, qRgb(1, 2, 3)}, [](int, int) { return 1; });
    const std::string png = ReadWholeFile(good);
    game.Write("truncated.png", png.substr(0, png.size() - 12)); // without its IEND chunk
    game.Write("broken.png", "not an image");
    game.Write("sounds/step.wav", "RIFF");
    // Each fault also in a file with CR LF line ends, as the editor writes them.
    for (const TFaultCase &c : FaultCases()) {
      game.Write("anims/" + c.File + ".velk", c.Text);
      game.Write("anims/crlf/" + c.File + ".velk", QString::fromStdString(c.Text).replace("\n", "\r\n").toStdString());
    }
    game.Write("anims/clean/clean.velk", OneFrameAnimation("SPRITE 1 good.png 0 0 4 4 x\nATTACHSPRITE 0 1 0 0\n",
                                                           "PLAYSOUND step.wav\nWAIT 2\n"));
  }
  VelkResult Check(QStringList args)
  {
    args.prepend("check");
    args << "--game-dir" << Q(game.Path());
    return RunVelk(args);
  }
  std::string Anims() const { return game.Path() + "/anims"; }

  TempDir game;
};

TEST_F(VelkCheck, FindsEachFaultOnItsLineAndNothingElse)
{
  const VelkResult result = Check({Q(Anims())});
  EXPECT_EQ(result.Code, 1);
  EXPECT_TRUE(result.Err.isEmpty()) << result.Err.toStdString();
  std::map<std::string, std::vector<std::string>> byFile;
  for (const QByteArray &line : result.Out.split('\n'))
    if (!line.isEmpty()) {
      const std::string text = line.toStdString();
      const size_t velk = text.find(".velk");
      ASSERT_NE(velk, std::string::npos) << text;
      byFile[text.substr(0, velk + 5)].push_back(text.substr(velk + 5));
    }
  for (const TFaultCase &c : FaultCases())
    for (const std::string folder : {"/", "/crlf/"})
      EXPECT_EQ(byFile[Anims() + folder + c.File + ".velk"], c.Findings) << folder << c.File;
  EXPECT_EQ(byFile.count(Anims() + "/clean/clean.velk"), 0u);
  EXPECT_EQ(byFile.size(), 2 * FaultCases().size());
}

TEST_F(VelkCheck, JsonAndWorkerProcessesReportWhatOneProcessReports)
{
  const VelkResult one = Check({Q(Anims()), "--jobs", "1"});
  const VelkResult three = Check({Q(Anims()), "--jobs", "3"});
  EXPECT_EQ(one.Out, three.Out);
  EXPECT_EQ(one.Code, three.Code);

  const VelkResult json = Check({Q(Anims()), "--json"});
  EXPECT_EQ(json.Code, 1);
  const QJsonArray findings = QJsonDocument::fromJson(json.Out).array();
  size_t expected = 0;
  for (const TFaultCase &c : FaultCases())
    expected += 2 * c.Findings.size();
  ASSERT_EQ(size_t(findings.size()), expected);
  for (const QJsonValue &value : findings) {
    const QString file = value["file"].toString();
    if (file == Q(Anims() + "/duplicate.velk")) {
      EXPECT_EQ(value["line"].toInt(), 3);
      EXPECT_EQ(value["message"].toString(), "sprite 0 is defined again (first on line 2); parts use the first");
    }
    if (file.endsWith("not_an_animation.velk"))
      EXPECT_TRUE(value["line"].isNull());
  }
}

TEST_F(VelkCheck, AFolderWithoutAnimationsFails)
{
  std::filesystem::create_directories(game.Path() + "/nothing/here");
  const std::string empty = game.Path() + "/nothing";
  const VelkResult text = Check({Q(empty), Q(Anims() + "/clean")});
  EXPECT_EQ(text.Code, 1);
  EXPECT_EQ(text.Out.toStdString(), empty + ": holds no .velk files\n");
  const QJsonArray json = QJsonDocument::fromJson(Check({Q(empty), "--json"}).Out).array();
  ASSERT_EQ(json.size(), 1);
  EXPECT_EQ(json[0]["file"].toString(), Q(empty));
  EXPECT_TRUE(json[0]["line"].isNull());
}

TEST_F(VelkCheck, CleanFilesAndTheBundledGameFolderPass)
{
  const std::string bundled = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";
  const QString gameDir = Q(game.Path());
  for (const QStringList &args : {QStringList{Q(Anims() + "/clean"), "--game-dir", gameDir},
                                  QStringList{Q(Anims() + "/clean/clean.velk"), "--game-dir", gameDir},
                                  QStringList{Q(bundled), "--game-dir", Q(bundled)},
                                  QStringList{Q(bundled), "--json", "--game-dir", Q(bundled)}}) {
    const VelkResult result = RunVelk(QStringList{"check"} + args);
    EXPECT_EQ(result.Code, 0) << args.join(' ').toStdString() << "\n" << result.Out.toStdString();
    EXPECT_EQ(result.Out.trimmed(), args.contains("--json") ? "[\n]" : "");
  }
}

} // namespace

namespace {

// Inputs that once cost far more than their size: both subcommands finish them in their time.
TEST(VelkCostlyInputs, CheckAndExportFinishInTime)
{
  TempDir game;
  for (const char *folder : {"/blocks", "/actors", "/attach", "/movies"})
    std::filesystem::create_directories(game.Path() + folder);
  const std::string files[] = {WriteManyFrameBlocks(game.Path() + "/blocks", 200000),
                               WriteManySpriteActors(game.Path() + "/actors", 40000),
                               WriteMultiplyingAttachments(game.Path() + "/attach", 16, 4),
                               WriteMultiplyingMovies(game.Path() + "/movies", 6, 8)};
  for (const std::string &file : files) {
    const QString gameDir = Q(game.Path());
    const VelkResult check = RunVelk({"check", Q(file), "--game-dir", gameDir}, {}, 60000);
    EXPECT_TRUE(check.Code == 0 || check.Code == 1) << file << ": " << check.Code;
    const VelkResult exported = RunVelk(
        {"export", Q(file), "-o", Q(game.Path() + "/out.png"), "--format", "sheet", "--game-dir", gameDir}, {}, 60000);
    EXPECT_TRUE(exported.Code == 0 || exported.Code == 1) << file << ": " << exported.Code;
  }
}

} // namespace

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <random>

#include "model/actor.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"
#include "support/temp_dir.h"

namespace {

std::unique_ptr<TZeltoAni> Parse(const std::string &text)
{
  auto ani = std::make_unique<TZeltoAni>();
  if (!ParseAnimation(*ani, nullptr, text))
    return nullptr;
  return ani;
}

// The document a New command makes: the shadow, and one frame holding it in every direction.
std::unique_ptr<TZeltoAni> NewDocument()
{
  auto ani = std::make_unique<TZeltoAni>();
  auto shadow = std::make_unique<TZeltoAniSprite>();
  shadow->Image = "SPRITES";
  shadow->Width = 24;
  shadow->Height = 16;
  shadow->Description = "shadow";
  auto step = std::make_unique<TZeltoAniStep>();
  for (int d = 0; d < DirectionCount; ++d) {
    TPartList parts;
    parts.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{shadow.get(), -1, -1, 12, 34}));
    step->Directions.push_back(std::move(parts));
  }
  ani->Sprites.push_back(std::move(shadow));
  ani->Steps.push_back(std::move(step));
  RecomputeStartTicks(ani.get());
  return ani;
}

TEST(Writer, NewDocumentIsWrittenByteForByte)
{
  auto ani = NewDocument();
  EXPECT_EQ(AnimationText(ani.get()), "VELK0001\r\n"
                                      "SPRITE    0         SPRITES    0    0   24   16 shadow\r\n"
                                      "\r\n"
                                      "DEFAULTHEAD head19.png\r\n"
                                      "DEFAULTBODY body.png\r\n"
                                      "\r\n"
                                      "ANI\r\n"
                                      "   0  12  34\r\n"
                                      "   0  12  34\r\n"
                                      "   0  12  34\r\n"
                                      "   0  12  34\r\n"
                                      "ANIEND\r\n");
}

TEST(Writer, OptionsAndEffectsLines)
{
  auto ani = NewDocument();
  ani->Loop = true;
  ani->BackColor = 0xFF0000;
  ani->SetBackTo = "idle";
  ani->DefaultParams[1] = "p2";
  ani->DefaultAttrs[8] = "a9";
  ani->DefaultBody = "";
  ani->Sprites[0]->Index = 7;
  ani->Sprites[0]->ColorEffect = {0.5, 1, 1, 1};
  ani->Sprites[0]->Zoom = 2;
  ani->Script = "say hi\n\n";
  std::string text = AnimationText(ani.get());
  EXPECT_NE(text.find("\r\nLOOP\r\nBACKCOLOR #FF0000\r\nSETBACKTO idle\r\nDEFAULTPARAM2 p2\r\nDEFAULTATTR9 a9\r\n"
                      "DEFAULTHEAD head19.png\r\nDEFAULTBODY \r\nCOLOREFFECT 7 0.5 1 1 1\r\nZOOMEFFECT 7 2\r\n\r\n"
                      "SCRIPT\r\nsay hi\r\nSCRIPTEND\r\n\r\nANI\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("SINGLEDIRECTION"), std::string::npos);
  EXPECT_EQ(text.find("FRAMES"), std::string::npos) << "only movies store their length";

  ani->IsMovie = true;
  ani->SingleDirection = true;
  text = AnimationText(ani.get());
  EXPECT_NE(text.find("\r\nFRAMES 1\r\nLOOP"), std::string::npos);
  EXPECT_EQ(text.find("SINGLEDIRECTION"), std::string::npos) << "movies have no directions";
}

TEST(Writer, WaitAndSoundLinesFollowDurationAndTicks)
{
  auto ani = NewDocument();
  TZeltoAniStep &step = *ani->Steps[0];
  step.Duration = 3;
  BuildExtraText(ani.get());
  EXPECT_EQ(step.ExtraText, "WAIT 2\n");

  auto sound = [](const char *file, int tick, int x, int y) {
    return std::make_unique<TZeltoAniSound>(TZeltoAniSound{file, x, y, tick});
  };
  step.Sounds.push_back(sound("step.wav", 2, 24, 32));
  BuildExtraText(ani.get());
  EXPECT_EQ(step.ExtraText, "WAIT 1\nPLAYSOUND step.wav 1.5 2\nWAIT 1\n");

  step.Sounds.clear();
  step.Sounds.push_back(sound("b.wav", 3, -8, 1));
  step.Sounds.push_back(sound("a.wav", 1, 0, 0));
  step.Sounds.push_back(sound("c.wav", 3, 16, 16));
  step.Sounds.push_back(sound("late.wav", 4, 0, 0));
  step.Sounds.push_back(sound("zero.wav", 0, 0, 0));
  step.Sounds.push_back(sound("", 2, 0, 0));
  BuildExtraText(ani.get());
  EXPECT_EQ(step.ExtraText, "PLAYSOUND a.wav 0 0\nWAIT 2\nPLAYSOUND b.wav -0.5 0.0625\nPLAYSOUND c.wav 1 1\n");
}

TEST(Writer, PartsAreRightAligned)
{
  auto ani = NewDocument();
  auto big = std::make_unique<TZeltoAniSprite>();
  big->Index = 1024;
  TPartList &up = ani->Steps[0]->Directions[0];
  up.clear();
  up.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{big.get(), -1, -1, -100, 5}));
  up.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{nullptr, 2, -1, 3, 4}));
  up.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{nullptr, -1, 3, 0, 0}));
  ani->Sprites.push_back(std::move(big));
  EXPECT_NE(AnimationText(ani.get()).find("\r\nANI\r\n1024 -100   5, PARAM2   3   4, ATTR3   0   0\r\n"),
            std::string::npos);

  // Numbers of every size, the ends of the int range among them, as printf pads them.
  std::mt19937 random(24);
  const int edges[] = {0, -1, 9, 10, -9, -10, 99, 100, -99, -100, 999, 1000, INT_MAX, INT_MIN, INT_MIN + 1};
  TZeltoAniSprite *sprite = ani->Sprites.back().get();
  for (int round = 0; round < 200; ++round) {
    auto number = [&] {
      const int digits = int(random() % 10);
      const int value = int(random() % 2000000000) % (digits ? int(std::pow(10, digits)) : 1);
      return random() % 4 == 0 ? edges[random() % std::size(edges)] : random() % 2 ? value : -value;
    };
    sprite->Index = number();
    up.clear();
    up.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{sprite, -1, -1, number(), number()}));
    char expected[64];
    std::snprintf(expected, sizeof expected, "\r\nANI\r\n%4d %3d %3d\r\n", sprite->Index, up[0]->X, up[0]->Y);
    ASSERT_NE(AnimationText(ani.get()).find(expected), std::string::npos) << expected;
  }
}

TEST(Writer, MovieKeysAreSortedIgnoringCase)
{
  auto ani = Parse("MOVIE\nACTOR CHAR hero\nFRAME 5 dy=2, dx=1,Chat=x\nFRAME 6 ,\nACTOREND\nACTOR TEXT t\nACTOREND\n");
  ASSERT_TRUE(ani);
  const std::string text = AnimationText(ani.get());
  EXPECT_NE(text.find("\r\nMOVIE\r\n  ACTOR CHAR hero\r\n    FRAME 5 Chat=x,dx=1,dy=2\r\n  ACTOREND\r\n\r\n"
                      "  ACTOR TEXT t\r\n  ACTOREND\r\nMOVIEEND\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(ani->Actors[0]->Keys[0]->Mods[0], "Chat=x") << "the document keeps the sorted order";
}

// Reading what the writer wrote gives the same text again.
void ExpectStableRoundTrip(const std::string &source)
{
  auto first = Parse(source);
  ASSERT_TRUE(first);
  const std::string written = AnimationText(first.get());
  auto second = Parse(written);
  ASSERT_TRUE(second) << written;
  EXPECT_EQ(AnimationText(second.get()), written);
}

TEST(Writer, RoundTripsAreStable)
{
  ExpectStableRoundTrip("SPRITE 3 BODY 0 0 32 32 big    red ball\nSPRITE 1 HEAD 1 2 3 4\nATTACHSPRITE 3 1 0 -4\n"
                        "COLOREFFECT 1 0.5 0.25 1 1\nZOOMEFFECT 3 1.5\nLOOP\nCONTINUOUS\nBACKCOLOR #123456\n"
                        "DEFAULTPARAM1 a\nDEFAULTATTR2 b\nSCRIPT\n line one\nline two\nSCRIPTEND\n"
                        "ANI\n3 1 2, 1 -3 4\n1 0 0\nPARAM2 5 5\nATTR1 6 6\nWAIT 2\nPLAYSOUND step.wav 1.5 2\nWAIT 3\n"
                        "3 0 0\n3 0 0\n3 0 0\n3 0 0\nPLAYSOUND a.wav\nANIEND\n");
  ExpectStableRoundTrip("SPRITE 0 SPRITES 0 0 1 1\nSINGLEDIRECTION\nANI\n0 1 1\nWAIT 4\n0 2 2\nANIEND\n");
  // Values the writer puts at a line's end lose control characters there on reading, so the reader
  // does not keep them anywhere; effects that write as the default are not written.
  ExpectStableRoundTrip(
      "SPRITE 0 SPRITES 0 0 1 1 a\x05 b\x01\nSETBACKTO idle\x05 x\nDEFAULTPARAM1 p\x01 q\n"
      "DEFAULTHEAD h\x02 x\nCOLOREFFECT 0 0.99999999999999999 1 1 1\nZOOMEFFECT 0 1.0000000000000001\n"
      "ANI\n0 1 1\n0 1 1\n0 1 1\n0 1 1\nANIEND\nMOVIE\nACTOR CHAR s\x01 x\n");
  // A script of blanks and line breaks only is no script.
  ExpectStableRoundTrip(
      "SPRITE 0 SPRITES 0 0 1 1\nSCRIPT\n \r\n  \nSCRIPTEND\nANI\n0 1 1\n0 1 1\n0 1 1\n0 1 1\nANIEND\n");
  // SINGLEDIRECTION after a frame block: the earlier frames' extra directions are never drawn
  // and are not written, so the text reads back into the same frames.
  ExpectStableRoundTrip("SPRITE 0 SPRITES 0 0 1 1\nANI\n0 1 1\n0 2 2\n0 3 3\n0 4 4\nWAIT 2\nANIEND\nSINGLEDIRECTION\n");
  ExpectStableRoundTrip("FRAMES 250\nMOVIE\nACTOR CHAR a\nFRAME 0 dx=1,dy=2\nFRAME 40 dx=5\nACTOREND\n"
                        "ACTOR SPRITE s\nFRAME 3 sprite=1\nACTOREND\nMOVIEEND\n");
}

TEST(Writer, EmptyDirectionsAndInvalidPartsReadBackIntoTheSameFrames)
{
  auto ani = NewDocument();
  ani->Steps.push_back(CopyStep(*ani->Steps[0]));
  ani->Steps[0]->Directions[1].clear();
  ani->Steps[0]->Directions[3][0]->Sprite = nullptr; // a part with neither sprite nor slot
  ani->Steps[1]->Directions[2][0]->X = 99;
  const std::string written = AnimationText(ani.get());

  auto back = Parse(written);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Steps.size(), 2u);
  for (const auto &step : back->Steps)
    EXPECT_EQ(step->Directions.size(), 4u);
  EXPECT_TRUE(back->Steps[0]->Directions[1].empty());
  EXPECT_TRUE(back->Steps[0]->Directions[3].empty());
  EXPECT_EQ(back->Steps[0]->Directions[2].size(), 1u);
  EXPECT_EQ(back->Steps[1]->Directions[2][0]->X, 99) << "the second frame's directions stay in place";
  EXPECT_EQ(AnimationText(back.get()), written);

  // A real part of parameter slot 9 away from the origin is not taken for the stand-in.
  ani->Steps[0]->Directions[1].push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{nullptr, 9, -1, 3, -100}));
  auto slotNine = Parse(AnimationText(ani.get()));
  ASSERT_TRUE(slotNine);
  ASSERT_EQ(slotNine->Steps[0]->Directions[1].size(), 1u);
  EXPECT_EQ(slotNine->Steps[0]->Directions[1][0]->ParamSlot, 9);
  EXPECT_EQ(slotNine->Steps[0]->Directions[1][0]->Y, -100);
}

// Whatever text a description or a file name starts as, what the editor stores reads back as it
// is: descriptions in their stored form, and names only when they are storable.
TEST(Writer, StorableDescriptionsAndNamesReadBackAsStored)
{
  std::mt19937 random(7);
  static const char alphabet[] = "ab Z9.,-=\t\r\n\x01\xe9";
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 10)(random); n > 0; --n)
      text += alphabet[std::uniform_int_distribution<size_t>(0, sizeof alphabet - 2)(random)];
    auto ani = NewDocument();
    ani->Sprites[0]->Description = StorableDescription(text);
    if (IsStorableFileName(text) && !text.empty())
      ani->Sprites[0]->Image = text;
    const std::string written = AnimationText(ani.get());
    auto again = Parse(written);
    ASSERT_NE(again, nullptr) << written;
    EXPECT_EQ(again->Sprites[0]->Description, ani->Sprites[0]->Description);
    EXPECT_EQ(again->Sprites[0]->Image, ani->Sprites[0]->Image);
  }
  EXPECT_EQ(StorableDescription(" \ta  b\r\n"), "a b");
  EXPECT_FALSE(IsStorableFileName("my sword.png"));
  EXPECT_FALSE(IsStorableFileName("sword\t.png"));
}

TEST(Writer, SavesReplaceTheFileAndClearModified)
{
  TempDir dir;
  auto ani = NewDocument();
  ani->FileName = dir.Write("walk.velk", "old contents");
  ani->Modified = true;
  std::string error;
  ASSERT_TRUE(WriteAnimation(ani.get(), &error)) << error;
  EXPECT_FALSE(ani->Modified);
  EXPECT_EQ(ReadWholeFile(ani->FileName), AnimationText(ani.get()));

  ani->Modified = true;
  ani->FileName = dir.Path() + "/no/such/folder/walk.velk";
  EXPECT_FALSE(WriteAnimation(ani.get(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(ani->Modified) << "a failed save leaves the document modified";

  // A file name that is a folder cannot be replaced; the folder and its contents survive.
  ani->FileName = dir.Path() + "/sub";
  dir.Write("sub/keep.txt", "keep");
  EXPECT_FALSE(WriteAnimation(ani.get(), &error));
  EXPECT_EQ(ReadWholeFile(dir.Path() + "/sub/keep.txt"), "keep");
}

// A document holding a value the writer cannot store as it is (here put there by hand: the
// editor's own commands refuse them) is not saved: the old file stays, the document stays
// modified, and the message names the first line that would not read back.
TEST(Writer, ASaveThatWouldNotReadBackIsRefused)
{
  struct Case
  {
    const char *what;
    std::function<void(TZeltoAni &)> plant;
    std::string line;
  };
  const Case cases[] = {
      {"a set-back-to name with a blank", [](TZeltoAni &a) { a.SetBackTo = "walk fast"; }, "line 4"},
      {"an empty image name", [](TZeltoAni &a) { a.Sprites[0]->Image = ""; }, "line 2"},
      {"a default head with a blank", [](TZeltoAni &a) { a.DefaultHead = "my head.png"; }, "line 4"},
      {"a description of two blanks", [](TZeltoAni &a) { a.Sprites[0]->Description = "a  b"; }, "line 2"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    auto ani = NewDocument();
    ani->FileName = dir.Write("walk.velk", "old contents");
    ani->Modified = true;
    c.plant(*ani);
    const std::string text = AnimationText(ani.get());
    EXPECT_NE(ReadBackProblem(text), "");
    std::string error;
    EXPECT_FALSE(WriteAnimation(ani.get(), &error));
    EXPECT_EQ(error.rfind(c.line + " does not read back as written: ", 0), 0u) << error;
    EXPECT_EQ(ReadWholeFile(ani->FileName), "old contents");
    EXPECT_TRUE(ani->Modified);
  }
  EXPECT_EQ(ReadBackProblem(AnimationText(NewDocument().get())), "");
  EXPECT_EQ(ReadBackProblem("VELK0001\r\n"), "the text would hold neither a frame nor a movie");
}

} // namespace

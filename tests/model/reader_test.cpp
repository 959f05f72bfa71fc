#include <gtest/gtest.h>

#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"
#include "model/reader.h"
#include "support/temp_dir.h"

namespace {

// Parses text as a file's bytes; none when the reader would return none.
std::unique_ptr<TZeltoAni> Parse(const std::string &text)
{
  auto ani = std::make_unique<TZeltoAni>();
  if (!ParseAnimation(*ani, nullptr, text))
    return nullptr;
  return ani;
}

const std::string FourDirections = "   0  12  34\n   0  12  34\n   0  12  34\n   0  12  34\n";
const std::string Shadow = "SPRITE 0 SPRITES 0 0 24 16 shadow\n";

TEST(Reader, HeaderLinesFillTheDocument)
{
  auto ani = Parse("SPRITE 3 sprites.png 0 0 32 32 big    red     ball\n"
                   "SPRITE 0 SPRITES 0 0 24 16\n"
                   "ATTACHSPRITE 3 0 -4 5\nATTACHSPRITE 3 9 1 1\n"
                   "COLOREFFECT 3 0.5 1 0.25 2\nZOOMEFFECT 3 2\n"
                   "LOOP\nCONTINUOUS\nBACKCOLOR #FF0000\nSETBACKTO idle extra\n"
                   "DEFAULTPARAM9 x\nDEFAULTPARAM8 eight\nDEFAULTATTR0 zero\nDEFAULTATTR9 nine\n"
                   "DEFAULTHEAD images/Head7.PNG\nDEFAULTBODY\n"
                   "ANI\n" +
                   FourDirections + "ANIEND\n");
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->Sprites.size(), 2u);
  EXPECT_EQ(ani->Sprites[0]->Index, 0) << "definitions are sorted by index";
  const TZeltoAniSprite &ball = *ani->Sprites[1];
  EXPECT_EQ(ball.Description, "big red ball");
  EXPECT_EQ(ball.Image, "sprites.png");
  ASSERT_EQ(ball.Attachments.size(), 1u) << "an attachment of an unknown index is dropped";
  EXPECT_EQ(ball.Attachments[0]->Sprite, ani->Sprites[0].get());
  EXPECT_EQ(ball.Attachments[0]->X, -4);
  EXPECT_EQ(ball.ColorEffect, (std::array<double, 4>{0.5, 1, 0.25, 2}));
  EXPECT_EQ(ball.Zoom, 2.0);
  EXPECT_TRUE(ani->Loop);
  EXPECT_TRUE(ani->Continuous);
  EXPECT_EQ(ani->BackColor, 0xFF0000);
  EXPECT_EQ(ani->SetBackTo, "idle");
  EXPECT_EQ(ani->DefaultParams[7], "eight");
  EXPECT_EQ(ani->DefaultAttrs[8], "nine");
  for (int slot = 0; slot < 8; ++slot)
    EXPECT_EQ(ani->DefaultAttrs[slot], "") << slot;
  EXPECT_EQ(ani->DefaultHead, "head7.png");
  EXPECT_EQ(ani->DefaultBody, "");
}

TEST(Reader, LinesThatDoNotConvertChangeNothing)
{
  auto ani = Parse(Shadow +
                   "BACKCOLOR FF0000\nFRAMES x\nCOLOREFFECT 0 0.5 oops 3 4\nZOOMEFFECT 0 big\n"
                   "DEFAULTPARAMx y\nANI\n" +
                   FourDirections + "ANIEND\n");
  ASSERT_TRUE(ani);
  EXPECT_EQ(ani->BackColor, 0x008000);
  EXPECT_EQ(ani->Sprites[0]->ColorEffect, (std::array<double, 4>{0.5, 1, 1, 1})) << "values before the error stay";
  EXPECT_EQ(ani->Sprites[0]->Zoom, 1.0);
}

TEST(Reader, DirectionLineKeepsOnlyPartsWithASprite)
{
  auto ani = Parse(Shadow + "ANI\n   0 10 20, PARAM1 5 5, 99 1 1, ATTR0 3 3, 0 1, PARAMx 1 1\n" +
                   "0 0 0\n0 0 0\n0 0 0\nANIEND\n");
  ASSERT_TRUE(ani);
  const TPartList &up = ani->Steps[0]->Directions[0];
  ASSERT_EQ(up.size(), 2u);
  EXPECT_EQ(up[0]->Sprite, ani->Sprites[0].get());
  EXPECT_EQ(up[0]->X, 10);
  EXPECT_EQ(up[0]->Y, 20);
  EXPECT_EQ(up[0]->ParamSlot, -1);
  EXPECT_EQ(up[1]->Sprite, nullptr);
  EXPECT_EQ(up[1]->ParamSlot, 1);
  EXPECT_EQ(up[1]->AttrSlot, -1);
  EXPECT_EQ(up[1]->X, 5);
}

TEST(Reader, WaitsAndSoundsMakeDurationAndTicks)
{
  auto ani =
      Parse(Shadow + "ANI\n" + FourDirections + "WAIT 2\n  PLAYSOUND step.wav 1.5 2\nWAIT 1\n" + FourDirections +
            "PLAYSOUND a.wav\nPLAYSOUND b.wav x 2\nPLAYSOUND c.wav -0.5 0.25\n" + FourDirections + "WAIT 2\nANIEND\n");
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->Steps.size(), 3u);
  const TZeltoAniStep &first = *ani->Steps[0];
  EXPECT_EQ(first.Duration, 4);
  ASSERT_EQ(first.Sounds.size(), 1u);
  EXPECT_EQ(first.Sounds[0]->FileName, "step.wav");
  EXPECT_EQ(first.Sounds[0]->Tick, 3);
  EXPECT_EQ(first.Sounds[0]->X, 24);
  EXPECT_EQ(first.Sounds[0]->Y, 32);
  const TZeltoAniStep &second = *ani->Steps[1];
  ASSERT_EQ(second.Sounds.size(), 3u);
  EXPECT_EQ(second.Sounds[0]->Tick, 1);
  EXPECT_EQ(second.Sounds[0]->X, 24) << "no position";
  EXPECT_EQ(second.Sounds[1]->X, 24) << "a position that does not convert";
  EXPECT_EQ(second.Sounds[2]->X, -8);
  EXPECT_EQ(second.Sounds[2]->Y, 4);
  EXPECT_EQ(ani->Steps[1]->StartTick, 4);
  EXPECT_EQ(ani->Steps[2]->StartTick, 5);
  EXPECT_EQ(ani->Length, 8);
}

TEST(Reader, WaitTotalsStayWithinOneTickAndADay)
{
  auto ani = Parse(Shadow + "ANI\n" + FourDirections + "WAIT -5\n" + FourDirections +
                   "WAIT 2000000000\nWAIT 2000000000\n" + FourDirections + "ANIEND\n");
  ASSERT_TRUE(ani);
  EXPECT_EQ(ani->Steps[0]->Duration, 1);
  EXPECT_EQ(ani->Steps[1]->Duration, MaxFrameDuration);
  EXPECT_EQ(ani->Length, 2 + MaxFrameDuration);
}

TEST(Reader, FramesAreDelimitedByTheDirectionCount)
{
  // Blank lines mean nothing; a direction line without kept parts does not count.
  auto ani = Parse(Shadow + "ANI\n0 1 1\n\n0 2 2\n99 0 0\n0 3 3\n0 4 4\n0 5 5\n0 6 6\n0 7 7\nANIEND\n");
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->Steps.size(), 1u) << "the incomplete second frame is dropped at ANIEND";
  EXPECT_EQ(ani->Steps[0]->Directions[1][0]->X, 2);
  EXPECT_EQ(ani->Steps[0]->Directions[3][0]->X, 4);

  auto single = Parse(Shadow + "SINGLEDIRECTION\nANI\n0 1 1\n0 2 2\nANIEND\n");
  ASSERT_TRUE(single);
  ASSERT_EQ(single->Steps.size(), 2u);
  EXPECT_EQ(single->Steps[1]->Directions.size(), 1u);

  auto late = Parse(Shadow + "ANI\n" + FourDirections + "ANIEND\nSINGLEDIRECTION\n");
  ASSERT_TRUE(late);
  EXPECT_EQ(late->Steps[0]->Directions.size(), 4u) << "frames read before SINGLEDIRECTION keep four directions";
}

TEST(Reader, BlockWithoutAniEndKeepsCompletedFramesAndTheirTiming)
{
  auto ani = Parse(Shadow + "ANI\n" + FourDirections + "WAIT 2\n" + FourDirections + FourDirections);
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->Steps.size(), 2u) << "the last frame is never completed";
  EXPECT_EQ(ani->Steps[1]->StartTick, 3);
  EXPECT_EQ(ani->Length, 4);
}

TEST(Reader, HeaderLinesAfterTheBlockAndASecondBlock)
{
  auto ani = Parse(Shadow + "ANI\n" + FourDirections + "ANIEND\nLOOP\nANI\n" + FourDirections + "WAIT 1\nANIEND\n");
  ASSERT_TRUE(ani);
  EXPECT_TRUE(ani->Loop);
  ASSERT_EQ(ani->Steps.size(), 2u);
  EXPECT_EQ(ani->Length, 3);
}

TEST(Reader, ConversionErrorsEndTheReading)
{
  auto ani = Parse(Shadow + "ANI\n" + FourDirections + FourDirections + "WAIT x\n" + FourDirections + "ANIEND\n");
  ASSERT_TRUE(ani);
  EXPECT_EQ(ani->Steps.size(), 1u) << "the frame with the bad WAIT and everything after it are dropped";

  auto badPosition =
      Parse(Shadow + "ANI\n" + FourDirections + FourDirections + "0 1 y\n0 0 0\n0 0 0\n0 0 0\nANIEND\nLOOP\n");
  ASSERT_TRUE(badPosition);
  EXPECT_EQ(badPosition->Steps.size(), 1u);
  EXPECT_FALSE(badPosition->Loop);

  EXPECT_FALSE(Parse("SPRITE x SPRITES 0 0 1 1\nANI\n" + FourDirections + "ANIEND\n"));
  auto badSprite = Parse(Shadow + "ANI\n" + FourDirections + "ANIEND\nSPRITE 1 SPRITES 0 0 1 y\nLOOP\n");
  ASSERT_TRUE(badSprite);
  EXPECT_EQ(badSprite->Sprites.size(), 1u);
  EXPECT_FALSE(badSprite->Loop);
}

TEST(Reader, ScriptKeepsLinesUntrimmedAndSkipsEmptyOnes)
{
  auto ani = Parse("SCRIPT\n  if x\r\n\n   \nendif\n SCRIPTEND \nSPRITE 0 SPRITES 0 0 1 1\nANI\n0 0 0\n0 0 0\n0 0 0\n0 "
                   "0 0\nANIEND\n");
  ASSERT_TRUE(ani);
  EXPECT_EQ(ani->Script, "  if x\n   \nendif\n");
}

TEST(Reader, MovieSectionMakesActorsAndKeys)
{
  const std::array<int, ActorKindCount> counters = Context().ActorNameCounters;
  auto ani = Parse("VELK0002\nFRAMES 80\nMOVIE\nFRAME 1 dx=5\n  ACTOR CHAR hero\n    FRAME 5 dx=1, dy=2,layer=3\n"
                   "    FRAME 5 ,, chat=hi ,\n    FRAME x dx=9\nSPRITE 1 SPRITES 0 0 1 1\n  ACTOREND\nFRAME 7 dx=1\n"
                   "ACTOR BLOB thing\nFRAME 8 dx=1\n  ACTOR TEXT\nACTOR SOUND boom\nMOVIEEND\n");
  ASSERT_TRUE(ani);
  EXPECT_TRUE(ani->IsMovie);
  EXPECT_EQ(ani->Length, 80);
  EXPECT_TRUE(ani->Sprites.empty()) << "header lines inside the movie section are ignored";
  ASSERT_EQ(ani->Actors.size(), 2u);
  const TZeltoActor &hero = *ani->Actors[0];
  EXPECT_EQ(hero.Name, "hero");
  EXPECT_EQ(hero.Kind, akCharacter);
  ASSERT_EQ(hero.Keys.size(), 3u) << "keys of one time are not merged; a bad time leaves an empty key";
  EXPECT_EQ(hero.Keys[0]->Time, 5);
  EXPECT_EQ(hero.Keys[0]->Mods, (std::vector<std::string>{"dx=1", "dy=2", "layer=3"}));
  EXPECT_EQ(hero.Keys[1]->Mods, (std::vector<std::string>{"chat=hi"}));
  EXPECT_TRUE(hero.Keys[2]->Mods.empty());
  EXPECT_EQ(ani->Actors[1]->Kind, akSound);
  EXPECT_TRUE(ani->Actors[1]->Keys.empty());
  EXPECT_EQ(Context().ActorNameCounters[akCharacter], counters[akCharacter] + 1) << "each actor takes a default number";
}

TEST(Reader, FilesWithoutFramesOrMovieAreUnreadable)
{
  EXPECT_FALSE(Parse(""));
  EXPECT_FALSE(Parse(Shadow + "LOOP\n"));
  EXPECT_FALSE(Parse(Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\nANIEND\n"));
  EXPECT_TRUE(Parse("MOVIE\n"));
  EXPECT_TRUE(Parse(Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\nANIEND")) << "no magic, no final line feed";
  EXPECT_FALSE(Parse(Shadow + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n")) << "a frame is completed only by what follows it";
}

TEST(Reader, ReadAnimationResolvesNamesAndPaths)
{
  TempDir dir;
  const std::string text = Shadow + "ANI\n" + FourDirections + "ANIEND\n";
  const std::string path = dir.Write("anims/Walk.velk", text);
  dir.Write("pms/hidden.velk", text);
  UseGameFolder(dir.Path());

  auto byName = ReadAnimation(nullptr, "  WALK ");
  ASSERT_TRUE(byName);
  EXPECT_EQ(byName->Name, "walk");
  EXPECT_EQ(byName->FileName, path);

  auto byPath = ReadAnimation(nullptr, path);
  ASSERT_TRUE(byPath);
  EXPECT_EQ(byPath->Name, LowerCase(path));

  EXPECT_FALSE(ReadAnimation(nullptr, "hidden"));
  EXPECT_FALSE(ReadAnimation(nullptr, dir.Path() + "/missing.velk"));

  Context().StartFilePath = path;
  auto start = ReadAnimation(nullptr, "Anything");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->Name, "Anything");
  EXPECT_EQ(Context().StartFilePath, "") << "the start file is used once";
  UseGameFolder("");
}

} // namespace

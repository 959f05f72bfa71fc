// The key model: lines, key insertion, undo records, resorting, merging, copying and orders.
#include "model/actor_keys.h"
#include "model/context.h"
#include "model/movie_fixture.h"
#include "model/writer.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(MovieTest, NewActorsTakeTheirKindsDefaults)
{
  const std::array<int, ActorKindCount> before = Context().ActorNameCounters;
  TZeltoActor *hero = Add(akCharacter);
  TZeltoActor *text = Add(akText);
  EXPECT_EQ(hero->Name, "Actor" + std::to_string(before[akCharacter]));
  EXPECT_EQ(text->Name, "Text" + std::to_string(before[akText]));
  EXPECT_EQ(Context().ActorNameCounters[akCharacter], before[akCharacter] + 1);
  EXPECT_EQ(hero->Layer, 1);
  EXPECT_EQ(text->Layer, 3);
  EXPECT_EQ(hero->InitialAni, "idle");
  EXPECT_TRUE(main->InitialAni.empty());
  ASSERT_TRUE(hero->Ani) << "a character starts with the idle animation";
  EXPECT_EQ(hero->Ani->Name, "idle");
  EXPECT_EQ(ExtractKey(hero->SwordImage->FileName), "sword1.png");
  EXPECT_EQ(ExtractKey(hero->BodyImage->FileName), "body.png");
  EXPECT_EQ(ExtractKey(hero->HeadImage->FileName), "head19.png");
  EXPECT_EQ(hero->ParamValues[7], -1);
  EXPECT_EQ(hero->AttrValues[8], -1);

  Context().Zelto2002Mode = true;
  EXPECT_EQ(Add(akCharacter)->InitialAni, "human_idle");
  EXPECT_FALSE(movie->Actors.back()->Ani) << "no human_idle file: head and body stay empty";
  EXPECT_TRUE(movie->Actors.back()->BodyImage->FileName.empty());
}

TEST_F(MovieTest, ModValuesMatchWholeNames)
{
  TZeltoActorMod key;
  key.Mods = {"dxx=1", "dx=5", "head="};
  std::string value;
  EXPECT_TRUE(GetModValue(key, "dx", &value));
  EXPECT_EQ(value, "5");
  EXPECT_TRUE(GetModValue(key, "head", &value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(GetModValue(key, "DX", &value)) << "names are case-sensitive";
  SetModValue(key, "dx", "7");
  SetModValue(key, "dy", "2");
  EXPECT_EQ(key.Mods, (Lines{"dxx=1", "dx=7", "head=", "dy=2"}));
  DeleteModValue(key, "dxx");
  EXPECT_EQ(key.Mods, (Lines{"dx=7", "head=", "dy=2"}));
  EXPECT_TRUE(movie->Modified);
}

TEST_F(MovieTest, SetModValueRecordsChangedLinesWhileRecording)
{
  TZeltoActorMod key;
  key.Time = 12;
  SetModValue(key, "dx", "1");
  EXPECT_TRUE(editor.changes.empty()) << "nothing is recorded outside a recorded edit";
  editor.recording = true;
  SetModValue(key, "dx", "4");
  SetModValue(key, "dx", "4");
  SetModValue(key, "dy", "3");
  ASSERT_EQ(editor.changes.size(), 2u) << "an unchanged line is not recorded";
  EXPECT_EQ(editor.changes[0].Time, 12);
  EXPECT_EQ(editor.changes[0].OldLine, "dx=1");
  EXPECT_EQ(editor.changes[0].NewLine, "dx=4");
  EXPECT_EQ(editor.changes[1].OldLine, "");
  EXPECT_EQ(editor.changes[1].NewLine, "dy=3");
}

TEST_F(MovieTest, SetKeyInsertsInTimeOrder)
{
  Context().AutoAniSetting = false;
  TZeltoActor *a = Add(akSprite);
  SetKey(a, 10, "dx", "1");
  SetKey(a, 30, "dx", "3");
  SetKey(a, 20, "dx", "2");
  SetKey(a, 20, "dy", "9");
  SetKey(a, 0, "dx", "0");
  EXPECT_EQ(Times(*a), (std::vector<int>{0, 10, 20, 30}));
  EXPECT_EQ(a->Keys[2]->Mods, (Lines{"dx=2", "dy=9"}));

  TKeysAround around = FindKeysAround(*a, 20, "dy");
  EXPECT_EQ(around.Previous, a->Keys[2].get());
  EXPECT_EQ(around.Next, nullptr);
  around = FindKeysAround(*a, 25, "dx");
  EXPECT_EQ(around.Previous, a->Keys[2].get());
  EXPECT_EQ(around.Next, a->Keys[3].get());
}

TEST_F(MovieTest, ApplyChangeLineUndoesAndRedoes)
{
  Context().AutoAniSetting = false;
  TZeltoActor *a = Add(akSprite);
  SetKey(a, 5, "dx", "1");
  SetKey(a, 8, "chat", "hi");
  ApplyChangeLine(a, 8, "", "chat=hi");
  EXPECT_EQ(Times(*a), (std::vector<int>{5})) << "a key left without lines goes";
  ApplyChangeLine(a, 8, "chat=hi", "");
  EXPECT_EQ(Times(*a), (std::vector<int>{5, 8}));
  ApplyChangeLine(a, 5, "dx=0", "dx=1");
  EXPECT_EQ(a->Keys[0]->Mods, (Lines{"dx=0"}));
  ApplyChangeLine(a, 5, "no equals", "dx=0");
  ApplyChangeLine(a, 99, "", "dx=0");
  EXPECT_EQ(Times(*a), (std::vector<int>{5, 8})) << "malformed lines and missing keys change nothing";
}

TEST_F(MovieTest, ResortAndMergeFoldKeysOfOneTime)
{
  TZeltoActor *a = Add(akSprite);
  Key(a, 0, {"dx=0", "dy=0"});
  Key(a, 10, {"dx=10", "chat=a"});
  Key(a, 20, {"dx=20", "chat="});
  TZeltoActorMod *moved = a->Keys[2].get();
  moved->Time = 10;
  ResortKey(a, moved);
  EXPECT_EQ(a->Keys[2].get(), moved) << "a moved key goes after keys of the same time";
  moved->Time = 5;
  ResortKey(a, moved);
  EXPECT_EQ(a->Keys[1].get(), moved);
  moved->Time = 10;
  ResortKey(a, moved);
  MergeKeysWithSameTime(a);
  EXPECT_EQ(Times(*a), (std::vector<int>{0, 10}));
  EXPECT_EQ(a->Keys[1]->Mods, (Lines{"dx=20", "chat=a"})) << "later values win, empty ones do not";
}

TEST_F(MovieTest, CopyActorKeepsTheLastValueOfEachAttributeAtTheCurrentTime)
{
  TZeltoActor *a = Add(akSound);
  a->SoundFile = "boom.wav";
  Key(a, 0, {"dx=0", "file=boom.wav"});
  Key(a, 50, {"dx=100"});
  editor.time = 20;
  std::unique_ptr<TZeltoActor> copy = CopyActor(*a);
  EXPECT_EQ(copy->Kind, akSound);
  EXPECT_EQ(copy->Parent, main.get());
  EXPECT_NE(copy->Name, a->Name);
  EXPECT_EQ(Times(*copy), (std::vector<int>{20}));
  EXPECT_EQ(copy->Keys[0]->Mods, (Lines{"dx=100", "file=boom.wav"}));
  EXPECT_EQ(copy->SoundFile, "boom.wav");
  EXPECT_EQ(a->Keys.size(), 2u) << "the source is untouched";
}

TEST_F(MovieTest, PaintAndListOrders)
{
  TZeltoActor *a = Add(akText);
  TZeltoActor *b = Add(akCharacter);
  a->Name = "alpha";
  b->Name = "Beta";
  a->Layer = b->Layer = 1;
  a->DY = 50;
  b->DY = 10;
  EXPECT_GT(ComparePaintOrder(*a, *b), 0) << "lower on screen paints later";
  a->DY = 10;
  EXPECT_LT(ComparePaintOrder(*a, *b), 0) << "names decide ignoring case";
  b->Layer = 0;
  b->DY = 9000;
  EXPECT_GT(ComparePaintOrder(*a, *b), 0) << "the layer outweighs the position";
  EXPECT_GT(CompareListOrder(*a, *b), 0) << "kind first";
}

TEST_F(MovieTest, MovieSectionRoundTrips)
{
  TZeltoActor *a = Add(akText);
  a->Name = "title";
  Key(a, 5, {"text=hi", "dx=1", "dy=2"});
  Key(a, 5, {"zoom=2"});
  Key(a, 9, {});
  const std::string text = AnimationText(movie.get());
  EXPECT_NE(text.find("  ACTOR TEXT title\r\n    FRAME 5 dx=1,dy=2,text=hi\r\n    FRAME 5 zoom=2\r\n  ACTOREND\r\n"),
            std::string::npos)
      << text;
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, main.get(), text));
  ASSERT_EQ(again.Actors.size(), 1u);
  EXPECT_EQ(again.Actors[0]->Name, "title");
  EXPECT_EQ(again.Actors[0]->Parent, main.get());
  EXPECT_EQ(Times(*again.Actors[0]), (std::vector<int>{5, 5}));
  EXPECT_EQ(AnimationText(&again), text);
}

TEST_F(MovieTest, ValuesCannotBreakTheFileLine)
{
  Context().AutoAniSetting = false;
  TZeltoActor *a = Add(akText);
  SetKey(a, 0, "text", "Hello, world\r\nbye");
  EXPECT_EQ(a->Keys[0]->Mods, (Lines{"text=Hello; world  bye"}));
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, main.get(), AnimationText(movie.get())));
  EXPECT_EQ(again.Actors[0]->Keys[0]->Mods, a->Keys[0]->Mods);
}

} // namespace

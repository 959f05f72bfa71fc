// Evaluation of movies and sprite animations at a time.
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/movie_fixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(MovieTest, PositionsInterpolateWithFloorRounding)
{
  TZeltoActor *a = Add(akSprite);
  Key(a, 0, {"dx=0", "dy=0"});
  Key(a, 10, {"dx=10", "dy=0"});
  TZeltoActor *b = Add(akSprite);
  Key(b, 0, {"dx=10", "dy=0"});
  Key(b, 3, {"dx=0", "dy=0"});
  const std::pair<int, int> expected[] = {{3, 3}, {5, 5}, {10, 10}, {60, 10}};
  for (auto [time, dx] : expected) {
    UpdateToTime(main.get(), time);
    EXPECT_EQ(a->DX, dx) << "time " << time;
  }
  UpdateToTime(main.get(), 1);
  EXPECT_EQ(b->DX, 6) << "10 + floor(-3.333)";
}

TEST_F(MovieTest, VisibilityNeedsAKey)
{
  TZeltoActor *never = Add(akText);
  Key(never, 0, {"dx=0", "dy=0"});
  TZeltoActor *later = Add(akCharacter);
  Key(later, 20, {"visible=true"});
  UpdateToTime(main.get(), 19);
  EXPECT_FALSE(never->Visible);
  EXPECT_FALSE(later->Visible);
  UpdateToTime(main.get(), 20);
  EXPECT_FALSE(never->Visible);
  EXPECT_TRUE(later->Visible);
}

TEST_F(MovieTest, SoundActorsShowAndPlayOnlyAtTheirFirstKey)
{
  TZeltoActor *s = Add(akSound);
  Key(s, 30, {"file=boom.wav", "dx=0", "dy=0"});
  UpdateToTime(main.get(), 29);
  EXPECT_FALSE(s->Visible);
  UpdateToTime(main.get(), 30);
  EXPECT_TRUE(s->Visible);
  EXPECT_EQ(s->SoundFile, "boom.wav");
  UpdateToTime(main.get(), 30);
  ASSERT_EQ(editor.played.size(), 1u) << "re-evaluating the same time plays nothing";
  EXPECT_EQ(ExtractKey(editor.played[0]), "boom.wav");
  UpdateToTime(main.get(), 31);
  EXPECT_FALSE(s->Visible);
}

TEST_F(MovieTest, TimeBeyondTheLengthLoopsOrClamps)
{
  Add(akSprite);
  UpdateToTime(main.get(), 130);
  EXPECT_EQ(main->CurrentTime, 100);
  movie->Loop = true;
  UpdateToTime(main.get(), 130);
  EXPECT_EQ(main->CurrentTime, 30);
  movie->Length = 0;
  UpdateToTime(main.get(), 7);
  EXPECT_EQ(main->CurrentTime, 0) << "a looping movie without length stays at its start";
}

TEST_F(MovieTest, BadIntegersEndOnlyThatActorsEvaluation)
{
  TZeltoActor *bad = Add(akCharacter);
  Key(bad, 0, {"dx=4", "dy=4", "layer=x", "visible=true", "chat=hi"});
  TZeltoActor *noDY = Add(akSprite);
  Key(noDY, 0, {"dx=7", "visible=true"});
  TZeltoActor *good = Add(akText);
  Key(good, 0, {"dx=1", "dy=2", "visible=true", "color=ff0000", "zoom=2", "bold=TRUE"});
  Key(good, 10, {"zoom=4", "color=nothex"});
  bad->Visible = false;
  bad->Chat = "old";
  UpdateToTime(main.get(), 5);
  EXPECT_EQ(bad->DX, 4);
  EXPECT_FALSE(bad->Visible) << "evaluation stopped at the layer";
  EXPECT_EQ(bad->Chat, "old");
  EXPECT_EQ(noDY->DX, 0);
  EXPECT_TRUE(good->Visible);
  EXPECT_EQ(good->TextColor, 0xFF0000);
  EXPECT_DOUBLE_EQ(good->Zoom, 3.0);
  EXPECT_TRUE(good->Bold);
  UpdateToTime(main.get(), 10);
  EXPECT_EQ(good->TextColor, 0xFF0000) << "a colour that does not parse keeps the old one";
}

TEST_F(MovieTest, CharactersLoadTheirLookAndPlayFromTheirAnimationKey)
{
  TZeltoActor *a = Add(akCharacter);
  Key(a, 0, {"dx=0", "dy=0", "visible=true", "head=head3.png", "attr1=hat.png", "param2=7", "color1=pink"});
  Key(a, 10, {"ani=walk", "dir=3"});
  UpdateToTime(main.get(), 12);
  EXPECT_EQ(ExtractKey(a->HeadImage->FileName), "head3.png");
  EXPECT_EQ(GetSlot(*a, true, 0), "hat.png");
  EXPECT_EQ(GetSlot(*a, false, 1), "7");
  EXPECT_EQ(a->Colors[1], 3);
  EXPECT_EQ(a->Dir, 3);
  ASSERT_TRUE(a->Ani);
  EXPECT_EQ(a->Ani->Name, "walk");
  EXPECT_EQ(a->CurrentTime, 2) << "the animation runs from its key's time";
  EXPECT_EQ(a->FrameTick, 2);
}

TEST_F(MovieTest, SpriteAnimationsFindTheirFrame)
{
  TZeltoAni frames;
  for (int duration : {2, 3}) {
    auto step = std::make_unique<TZeltoAniStep>();
    step->Duration = duration;
    step->Directions.resize(DirectionCount);
    frames.Steps.push_back(std::move(step));
  }
  RecomputeStartTicks(&frames);
  auto sound = std::make_unique<TZeltoAniSound>();
  sound->FileName = "boom.wav";
  sound->Tick = 2;
  frames.Steps[1]->Sounds.push_back(std::move(sound));
  main->Ani = &frames;
  UpdateToTime(main.get(), 3);
  EXPECT_EQ(main->FrameIndex, 1);
  EXPECT_EQ(main->FrameTick, 1);
  EXPECT_EQ(editor.played.size(), 1u) << "the sound of the second tick of the frame";
  UpdateToTime(main.get(), 9);
  EXPECT_EQ(main->FrameIndex, 1);
  EXPECT_EQ(main->FrameTick, 3);
  EXPECT_EQ(main->CurrentTime, 4) << "without LOOP the end clamps to the last tick";
  frames.Loop = true;
  UpdateToTime(main.get(), 6);
  EXPECT_EQ(main->FrameIndex, 0);
  EXPECT_EQ(main->FrameTick, 1);
}

TEST_F(MovieTest, NestedMoviesEvaluateTheirOwnActors)
{
  game.Write("anims/inner.velk", "VELK0002\r\nFRAMES 50\r\nMOVIE\r\n  ACTOR SPRITE star\r\n"
                                 "    FRAME 0 dx=0,dy=0,visible=true\r\n    FRAME 10 dx=20,dy=0\r\n"
                                 "  ACTOREND\r\n  ACTOR CHAR loop\r\n    FRAME 0 ani=scene,dx=0,dy=0\r\n"
                                 "  ACTOREND\r\nMOVIEEND\r\n");
  UseGameFolder(game.Path());
  TZeltoActor *a = Add(akCharacter);
  Key(a, 0, {"dx=0", "dy=0"});
  Key(a, 5, {"ani=inner"});
  UpdateToTime(main.get(), 10);
  ASSERT_TRUE(a->Ani);
  ASSERT_TRUE(a->Ani->IsMovie);
  ASSERT_EQ(a->Ani->Actors.size(), 2u);
  const TZeltoActor &star = *a->Ani->Actors[0];
  EXPECT_EQ(star.Parent, a);
  EXPECT_EQ(star.DX, 10) << "the inner movie is at time 5";
  const TZeltoActor &loop = *a->Ani->Actors[1];
  EXPECT_FALSE(loop.Ani) << "neither the movie above nor the idle animation its parent played when it was read";
}

} // namespace

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "core/helpers.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"

namespace {

// An editor that records what the model asks of it.
class FakeEditor : public TEditorLink
{
public:
  TZeltoAni *CurrentDocument() const override { return current; }
  void ClearHistory() override { ++historyClears; }
  void ModifiedChanged(TZeltoAni *) override { ++captionUpdates; }
  int GetCurrentFrame() const override { return frame; }
  int GetCurrentTime() const override { return time; }
  void SetCurrentTime(int t) override { time = t; }

  TZeltoAni *current = nullptr;
  int historyClears = 0;
  int captionUpdates = 0;
  int frame = 0;
  int time = -1;
};

class DocumentTest : public ::testing::Test
{
protected:
  void SetUp() override { Context().Link = &editor; }
  void TearDown() override { Context().Link = nullptr; }

  static void AddFrames(TZeltoAni &ani, std::initializer_list<int> durations)
  {
    for (int duration : durations) {
      auto step = std::make_unique<TZeltoAniStep>();
      step->Duration = duration;
      step->Directions.resize(DirectionCount);
      ani.Steps.push_back(std::move(step));
    }
    RecomputeStartTicks(&ani);
  }

  FakeEditor editor;
};

TEST_F(DocumentTest, NewDocumentHasItsInitialValues)
{
  TZeltoAni ani;
  EXPECT_EQ(ani.Length, 100);
  EXPECT_EQ(ani.BackColor, 0x008000);
  EXPECT_EQ(ani.DefaultHead, "head19.png");
  EXPECT_EQ(ani.DefaultBody, "body.png");
  EXPECT_TRUE(ani.Steps.empty());
  EXPECT_TRUE(ani.Sprites.empty());
}

TEST_F(DocumentTest, ClearKeepsNameFileAndLooks)
{
  TZeltoAni ani;
  ani.Name = "walk";
  ani.Loop = ani.SingleDirection = ani.IsMovie = true;
  ani.DefaultParams[3] = "x";
  ani.Script = "s\n";
  ani.BackColor = 1;
  AddFrames(ani, {2});
  ani.Clear();
  EXPECT_EQ(ani.Name, "walk");
  EXPECT_FALSE(ani.Loop);
  EXPECT_FALSE(ani.SingleDirection);
  EXPECT_TRUE(ani.IsMovie);
  EXPECT_EQ(ani.DefaultParams[3], "");
  EXPECT_EQ(ani.Script, "s\n");
  EXPECT_EQ(ani.BackColor, 1);
  EXPECT_TRUE(ani.Steps.empty());
}

TEST_F(DocumentTest, StartTicksFollowDurationsAndMoveTheCurrentTime)
{
  TZeltoAni ani;
  editor.current = &ani;
  editor.frame = 2;
  AddFrames(ani, {2, 3, 1});
  EXPECT_EQ(ani.Steps[1]->StartTick, 2);
  EXPECT_EQ(ani.Steps[2]->StartTick, 5);
  EXPECT_EQ(ani.Length, 6);
  EXPECT_EQ(editor.time, 5) << "the current frame's start";

  TZeltoAni other;
  editor.time = -1;
  AddFrames(other, {4});
  EXPECT_EQ(editor.time, -1) << "another document leaves the editor's time alone";
}

// The frame lookup by time against a walk over every frame, on random durations (saturated start
// ticks among them) at every time around each frame's span.
TEST_F(DocumentTest, FrameAtTimeFindsWhatAWalkOverTheFramesFinds)
{
  std::mt19937 random(24);
  for (int round = 0; round < 200; ++round) {
    TZeltoAni ani;
    const int frames = int(random() % 12);
    for (int i = 0; i < frames; ++i)
      AddFrames(ani, {round % 50 == 49 ? INT_MAX / 3 : 1 + int(random() % 4)});
    auto walk = [&ani](int t) {
      for (size_t i = 0; i < ani.Steps.size(); ++i)
        if (ani.Steps[i]->StartTick <= t && t < (long long)ani.Steps[i]->StartTick + ani.Steps[i]->Duration)
          return int(i);
      return -1;
    };
    std::vector<int> times = {-1, INT_MIN, INT_MAX, ani.Length};
    for (const auto &step : ani.Steps)
      for (int d : {-1, 0, 1})
        times.push_back(int(std::clamp<long long>((long long)step->StartTick + d, INT_MIN, INT_MAX)));
    for (int t : times)
      EXPECT_EQ(FrameAtTime(ani, t), walk(t)) << "time " << t << " of " << frames << " frames";
  }
}

TEST_F(DocumentTest, SetLengthKeepsTheLastFrameAndItsSounds)
{
  TZeltoAni ani;
  AddFrames(ani, {2, 3, 1});
  EXPECT_EQ(SetLength(&ani, 4), 6);
  EXPECT_EQ(ani.Steps[2]->Duration, 1);
  EXPECT_EQ(SetLength(&ani, 10), 10);
  EXPECT_EQ(ani.Steps[2]->Duration, 5);
  EXPECT_TRUE(ani.Modified);
  EXPECT_GT(editor.captionUpdates, 0);

  // A sound plays at its tick (1 to the duration): the frame lasts until it and no longer, so a
  // document whose last sound ends its last frame keeps its length however often it is retimed.
  ani.Steps[2]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"a.wav", 0, 0, 3}));
  EXPECT_EQ(SetLength(&ani, 4), 8);
  EXPECT_EQ(ani.Steps[2]->Duration, 3);
  EXPECT_EQ(SetLength(&ani, ani.Length), 8);
  EXPECT_EQ(SetLength(&ani, ani.Length - 1), 8);

  TZeltoAni movie;
  movie.IsMovie = true;
  EXPECT_EQ(SetLength(&movie, 3), 3);
  EXPECT_EQ(movie.Length, 3);
}

TEST_F(DocumentTest, CopyStepCopiesPartsButNotSounds)
{
  TZeltoAniSprite sprite;
  TZeltoAniStep step;
  step.Duration = 4;
  step.Directions.resize(DirectionCount);
  step.Directions[2].push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{&sprite, -1, -1, 5, 6}));
  step.Directions[2][0]->IsNew = true;
  step.Sounds.push_back(std::make_unique<TZeltoAniSound>());
  step.Sounds.push_back(std::make_unique<TZeltoAniSound>());

  auto copy = CopyStep(step);
  EXPECT_EQ(copy->Duration, 4);
  EXPECT_TRUE(copy->Sounds.empty());
  ASSERT_EQ(copy->Directions.size(), 4u);
  ASSERT_EQ(copy->Directions[2].size(), 1u);
  EXPECT_EQ(copy->Directions[2][0]->Sprite, &sprite);
  EXPECT_FALSE(copy->Directions[2][0]->IsNew);
  copy->Directions[2][0]->X = 50;
  EXPECT_EQ(step.Directions[2][0]->X, 5);
}

TEST_F(DocumentTest, PartTexts)
{
  TZeltoAniSprite sprite;
  sprite.Index = 12;
  sprite.Description = "sword";
  const TZeltoAniPart withSprite{&sprite, -1, -1};
  const TZeltoAniPart param{nullptr, 2, -1};
  const TZeltoAniPart attr{nullptr, -1, 0};
  const TZeltoAniPart unknown{nullptr, -1, -1};
  EXPECT_EQ(DescribePart(withSprite), "sword");
  EXPECT_EQ(DescribePart(param), "PARAM2");
  EXPECT_EQ(DescribePart(attr), "ATTR0");
  EXPECT_EQ(DescribePart(unknown), "(unknown)");
  EXPECT_EQ(PartSpriteText(withSprite), "12");
  EXPECT_EQ(PartSpriteText(unknown), "-");
}

TEST_F(DocumentTest, LookupsFindTheFirstMatch)
{
  TZeltoAni ani;
  for (int index : {4, 7, 4}) {
    ani.Sprites.push_back(std::make_unique<TZeltoAniSprite>());
    ani.Sprites.back()->Index = index;
  }
  EXPECT_EQ(FindSprite(&ani, 4), ani.Sprites[0].get());
  EXPECT_EQ(FindSprite(&ani, 5), nullptr);
  EXPECT_EQ(FindSprite(nullptr, 4), nullptr);
}

TEST_F(DocumentTest, DestroyingTheCurrentDocumentClearsTheHistoryFirst)
{
  auto ani = std::make_unique<TZeltoAni>();
  auto other = std::make_unique<TZeltoAni>();
  editor.current = ani.get();
  other.reset();
  EXPECT_EQ(editor.historyClears, 0);
  ani.reset();
  EXPECT_EQ(editor.historyClears, 1);
}

} // namespace

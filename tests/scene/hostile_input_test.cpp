// Files that once took minutes, or forever, to read, draw or open: each is handled at a size that
// used to take well over ten seconds, under the test's timeout, and what can be drawn is drawn.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/context.h"
#include "model/document.h"
#include "model/reader.h"
#include "scene/scene_setup.h"
#include "support/hostile_inputs.h"
#include "support/temp_dir.h"

namespace {

// Opens path for a main actor as velk render does, draws it, and returns the player.
std::unique_ptr<TZeltoActor> OpenAndDraw(TSceneSetup &setup, const std::string &path)
{
  auto player = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  SetAnimationByName(player.get(), path);
  ShowTime(player.get(), 0);
  setup.Scene.EditActor = player.get();
  setup.Draw();
  setup.Scene.EditActor = nullptr;
  return player;
}

class HostileInput : public ::testing::Test
{
protected:
  void SetUp() override
  {
    CopyBundledSprites(game.Path());
    UseGameFolder(game.Path());
    setup.InitializeDisplay();
    setup.LoadFixedImages();
    setup.LayOut(640, 480, 17);
  }
  void TearDown() override { UseGameFolder(""); }

  TempDir game;
  TSceneSetup setup;
  TImageCacheLink link{setup};
};

TEST_F(HostileInput, ManyFrameBlocksReadInTimeLinearInTheFile)
{
  auto ani = ReadAnimation(nullptr, WriteManyFrameBlocks(game.Path(), 200000));
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->Steps.size(), 200000u);
  EXPECT_EQ(ani->Steps.back()->StartTick, 2 * 199999) << "every block's frames are timed";
  EXPECT_EQ(ani->Length, 2 * 200000);
}

TEST_F(HostileInput, ManySpriteActorsAreReadAndFreed)
{
  TZeltoActor owner(nullptr, MainActorCode);
  auto ani = ReadAnimation(&owner, WriteManySpriteActors(game.Path(), 40000));
  ASSERT_TRUE(ani);
  EXPECT_EQ(ani->Actors.size(), 40000u) << "the edited document's own actors are never refused";
  ani.reset();
}

TEST_F(HostileInput, MultiplyingAttachmentsDrawWithinTheirBudget)
{
  auto player = OpenAndDraw(setup, WriteMultiplyingAttachments(game.Path(), 16, 4));
  ASSERT_TRUE(player->Ani);
  // The first levels of the tree are drawn: the shadow's opaque middle shows at the part.
  const TCanvasGeometry &g = setup.Scene.Geometry;
  const uint32_t background = setup.Display.Surface().Pixel(g.ViewRect.left() + 1, 1);
  EXPECT_NE(setup.Display.Surface().Pixel(setup.Scene.OriginX + 12 + 12, setup.Scene.OriginY + 34 + 8), background);
}

TEST_F(HostileInput, MultiplyingMoviesStopAtTheNestedActorCap)
{
  const std::string path = WriteMultiplyingMovies(game.Path(), 6, 8);
  UseGameFolder(game.Path()); // the movies are found by name
  auto player = OpenAndDraw(setup, path);
  ASSERT_TRUE(player->Ani);
  ASSERT_EQ(player->Ani->Actors.size(), 8u);
  EXPECT_LE(Context().NestedActors, MaxNestedActors + 8);
  // The first character plays the next movie, whose first character plays the one after.
  const TZeltoActor &first = *player->Ani->Actors[0];
  ASSERT_TRUE(first.Ani);
  EXPECT_EQ(first.Ani->Name, "m1");
  ASSERT_FALSE(first.Ani->Actors.empty());
  ASSERT_TRUE(first.Ani->Actors[0]->Ani);
  EXPECT_EQ(first.Ani->Actors[0]->Ani->Name, "m2");
  player.reset();
  EXPECT_EQ(Context().NestedActors, 0) << "every nested actor is counted out again";
}

TEST_F(HostileInput, FifosAreRefusedNotOpened)
{
  const std::string fifo = game.Path() + "/pipe.velk";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string error;
  EXPECT_FALSE(ReadAnimation(nullptr, fifo, &error));
  EXPECT_EQ(error, "not a regular file");
  const std::string image = game.Path() + "/pipe.png";
  ASSERT_EQ(mkfifo(image.c_str(), 0600), 0);
  TSurfaceOwner owner;
  owner.Load("pipe.png");
  EXPECT_FALSE(owner.Image());
}

} // namespace

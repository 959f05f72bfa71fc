// The commands that restructure frames and sprite definitions, and what they do to the history.
#include "model/actor_keys.h"
#include "model/default_frame.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace {

// A new document with frames of the given durations, frame i's down list holding i + 1 shadows.
TZeltoAni &ShadowFrames(TEditSession &s, const std::vector<int> &durations)
{
  TZeltoAni &ani = Frames(s, durations);
  for (size_t i = 0; i < ani.Steps.size(); ++i)
    for (size_t extra = 0; extra < i; ++extra)
      ani.Steps[i]->Directions[2].push_back(CopyPart(*ani.Steps[i]->Directions[2][0]));
  return ani;
}

std::vector<const TZeltoAniStep *> FrameObjects(const TZeltoAni &ani)
{
  std::vector<const TZeltoAniStep *> frames;
  for (const auto &step : ani.Steps)
    frames.push_back(step.get());
  return frames;
}

TEST_F(SessionTest, AddDeleteCopyInsertAndReverseFrames)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {1, 2, 3, 4, 5});
  s.SetCurrentFrame(2);
  s.AddFrame();
  ASSERT_EQ(ani.Steps.size(), 6u);
  EXPECT_EQ(s.GetCurrentFrame(), 3) << "after the current frame, made current";
  EXPECT_EQ(ani.Steps[3]->Directions[0].size(), 1u);
  EXPECT_EQ(ani.Steps[5]->StartTick, 1 + 2 + 3 + 1 + 4);

  s.SetCurrentFrame(1);
  s.CopyFrame();
  s.SetCurrentFrame(5);
  s.InsertFrameAfter();
  s.InsertFrameAfter();
  ASSERT_EQ(ani.Steps.size(), 8u);
  EXPECT_NE(ani.Steps[6].get(), ani.Steps[7].get());
  EXPECT_NE(ani.Steps[6]->Directions[2][0].get(), ani.Steps[7]->Directions[2][0].get()) << "independent copies";
  EXPECT_EQ(ani.Steps[7]->Duration, 2);
  s.SetCurrentFrame(0);
  s.InsertFrameBefore();
  EXPECT_EQ(ani.Steps[0]->Duration, 2);
  EXPECT_EQ(s.GetCurrentFrame(), 0);

  // Deleting the last frame while it is current makes the new last frame current.
  s.SetCurrentFrame(8);
  s.DeleteFrame(8);
  EXPECT_EQ(ani.Steps.size(), 8u);
  EXPECT_EQ(s.GetCurrentFrame(), 7);

  const auto before = FrameObjects(ani);
  s.SetCurrentFrame(1);
  s.ReverseFrames();
  const auto after = FrameObjects(ani);
  EXPECT_EQ(std::vector<const TZeltoAniStep *>(before.rbegin(), before.rend()), after);
  EXPECT_EQ(s.GetCurrentFrame(), 6) << "the same frame stays current";
  EXPECT_TRUE(ani.Modified);

  ShadowFrames(s, {3});
  s.DeleteFrame(0);
  EXPECT_EQ(s.GetCurrentAni()->Steps.size(), 1u) << "the only frame stays";
}

TEST_F(SessionTest, AddingAFrameWithoutDefinitionZeroGivesEmptyDirections)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {1});
  FindSprite(&ani, 0)->Index = 7;
  s.AddFrame();
  for (const TPartList &direction : ani.Steps[1]->Directions)
    EXPECT_TRUE(direction.empty());
}

// A deleted frame goes into the history with its entries: undo brings back the very frame, and
// the entries made in it before stay undoable.
TEST_F(SessionTest, DeletingAFrameIsUndoneWithTheFrameItself)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {1, 1, 1});
  const std::string start = AnimationText(&ani);
  TZeltoAniStep *third = ani.Steps[2].get();
  TZeltoAniPart *moved = third->Directions[2][0].get();
  s.Scene.Selection = {0};
  s.MoveSelection(1, 0); // frame 0
  s.SetCurrentFrame(2);
  s.Scene.Selection = {0};
  s.MoveSelection(0, 1); // frame 2
  s.DeleteFrame(2);
  ASSERT_EQ(s.History.Count(), 3);
  EXPECT_EQ(ani.Steps.size(), 2u);
  EXPECT_EQ(s.History.LiveProblem(&ani), "");
  s.Undo();
  ASSERT_EQ(ani.Steps.size(), 3u);
  EXPECT_EQ(ani.Steps[2].get(), third);
  EXPECT_EQ(s.GetCurrentFrame(), 2);
  s.Undo();
  EXPECT_EQ(moved->Y, 34);
  s.Undo();
  EXPECT_EQ(AnimationText(&ani), start);
  s.Redo();
  s.Redo();
  s.Redo();
  EXPECT_EQ(ani.Steps.size(), 2u);
  EXPECT_EQ(s.GetCurrentFrame(), 1);
}

TEST_F(SessionTest, SingleDirectionRoundTripKeepsFramesAndSounds)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {5, 1});
  ani.Steps[0]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"step.wav", 24, 32, 4}));
  ani.Steps[0]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"swing.wav", 0, 16, 1}));
  ani.Steps[1]->Directions[1].clear();
  const std::string original = AnimationText(&ani);
  s.SetCurrentFrame(1);
  s.SetDirection(3);

  s.SetSingleDirection(true);
  ASSERT_EQ(ani.Steps.size(), 8u);
  EXPECT_EQ(s.GetCurrentFrame(), 7) << "frame 1, right";
  EXPECT_EQ(ani.Steps[3]->Duration, 5);
  EXPECT_EQ(ani.Steps[3]->Sounds.size(), 2u) << "the last of a group keeps duration and sounds";
  EXPECT_EQ(ani.Steps[0]->Duration, 1);

  s.SetCurrentFrame(6);
  s.SetSingleDirection(false);
  ASSERT_EQ(ani.Steps.size(), 2u);
  EXPECT_EQ(s.GetCurrentFrame(), 1);
  EXPECT_EQ(s.EditActor->Dir, 2);
  EXPECT_EQ(AnimationText(&ani), original) << "the round trip gives the same animation";
  // The text reads back as the same frames.
  TZeltoAni reread;
  ASSERT_TRUE(ParseAnimation(reread, nullptr, original));
  EXPECT_EQ(AnimationText(&reread), original);
}

TEST_F(SessionTest, AFrameCopiedBeforeASwitchOfDirectionsIsInsertedWithTheDocumentsDirections)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  s.SetSingleDirection(true);
  s.CopyFrame(); // one direction list
  s.SetSingleDirection(false);
  s.InsertFrameAfter();
  ASSERT_EQ(ani.Steps.size(), 2u);
  ASSERT_EQ(ani.Steps[1]->Directions.size(), 4u);
  EXPECT_EQ(ani.Steps[1]->Directions[0].size(), 1u) << "the copied list";
  for (int dir = 1; dir < 4; ++dir) {
    s.SetDirection(dir);
    ASSERT_NE(s.CurrentPartList(), nullptr) << "every direction of the new frame can be edited";
    EXPECT_TRUE(s.CurrentPartList()->empty());
  }
  s.CopyFrame(); // four lists
  s.SetSingleDirection(true);
  s.InsertFrameBefore();
  for (const auto &step : ani.Steps)
    EXPECT_EQ(step->Directions.size(), 1u);
}

TEST_F(SessionTest, FiveSingleFramesBecomeTwoFramesWithNothingLost)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {1});
  s.SetSingleDirection(true);
  ani.Steps.clear();
  for (int i = 0; i < 5; ++i) {
    InsertDefaultFrame(&ani, i);
    ani.Steps[size_t(i)]->Duration = 2;
  }
  ani.Steps[4]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"chime.wav", 0, 0, 2}));
  s.SetCurrentFrame(-1);
  s.SetSingleDirection(false);
  ASSERT_EQ(ani.Steps.size(), 2u);
  EXPECT_EQ(s.GetCurrentFrame(), 0) << "without a current frame the first one is current";
  const TZeltoAniStep &last = *ani.Steps[1];
  ASSERT_EQ(last.Directions.size(), 4u);
  EXPECT_EQ(last.Directions[0].size(), 1u);
  EXPECT_TRUE(last.Directions[3].empty()) << "completed with empty directions";
  ASSERT_EQ(last.Sounds.size(), 1u);
  EXPECT_EQ(ani.Steps[0]->Duration, 2 + 2 + 2 + 2 - 3);
}

TEST_F(SessionTest, RemovingUnusedDefinitionsFollowsAttachmentsAndCopyBuffers)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  auto add = [&ani](int index) { return AddDefinition(ani, index); };
  TZeltoAniSprite *used = add(5), *deep = add(2), *middle = add(3), *copied = add(7);
  add(9);
  // 5 attaches 3, which attaches 2: 2 is visited before 3 is marked.
  used->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{middle, 0, 0}));
  middle->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{deep, 0, 0}));
  std::stable_sort(ani.Sprites.begin(), ani.Sprites.end(),
                   [](const auto &a, const auto &b) { return a->Index < b->Index; });
  for (TPartList &direction : ani.Steps[0]->Directions)
    direction[0]->Sprite = used;
  s.CopyFrame();
  s.FrameClipboard->Directions[0][0]->Sprite = copied;

  // A slot part makes the set of used definitions unknowable: nothing goes.
  AddShadow(0, 0)->ParamSlot = 1;
  s.RemoveUnusedSprites();
  EXPECT_EQ(ani.Sprites.size(), 6u);
  Parts().pop_back();
  s.RemoveUnusedSprites();
  std::vector<int> indices;
  for (const auto &sprite : ani.Sprites)
    indices.push_back(sprite->Index);
  EXPECT_EQ(indices, (std::vector<int>{0, 2, 3, 5, 7})) << "9 goes; 0 is unused but the first and stays";
}

TEST_F(SessionTest, DeletingADefinitionTakesItsPartsOutOfFramesHistoryAndBuffers)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = ShadowFrames(s, {1, 1});
  TZeltoAniSprite *doomed = AddDefinition(ani, 5);
  FindSprite(&ani, 0)->Attachments.push_back(
      std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{doomed, 1, 1}));
  TZeltoAniPart *shadow = Parts()[0].get();
  TZeltoAniPart *swordPart = AddShadow(40, 0);
  swordPart->Sprite = doomed;
  AddShadow(80, 0);
  ani.Steps[1]->Directions[2].push_back(CopyPart(*swordPart));
  s.CopyFrame();
  s.ActorClipboard = std::make_unique<TZeltoActor>(s.EditActor.get(), akSprite);
  s.ActorClipboard->Sprite = doomed;

  s.Scene.Selection = {1};
  s.MoveSelection(1, 0); // an entry of the sword part only
  s.Scene.Selection = {0, 1};
  s.MoveSelection(0, 1); // an entry of both
  s.Scene.Selection = {2, 1};
  s.DeleteSpriteDefinition(5);

  EXPECT_EQ(FindSprite(&ani, 5), nullptr);
  EXPECT_TRUE(FindSprite(&ani, 0)->Attachments.empty());
  ASSERT_EQ(Parts().size(), 2u);
  EXPECT_EQ(ani.Steps[1]->Directions[2].size(), 2u);
  EXPECT_EQ(s.FrameClipboard->Directions[2].size(), 2u);
  EXPECT_EQ(s.ActorClipboard->Sprite, nullptr);
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{1})) << "the selection follows the parts that stay";
  // Recorded: undo brings back the definition, its attachment and its parts in every frame, and
  // the entries before stay undoable.
  ASSERT_EQ(s.History.Count(), 3);
  EXPECT_EQ(s.History.LiveProblem(&ani), "");
  s.Undo();
  EXPECT_EQ(FindSprite(&ani, 5), doomed);
  ASSERT_EQ(FindSprite(&ani, 0)->Attachments.size(), 1u);
  EXPECT_EQ(Parts()[1].get(), swordPart);
  EXPECT_EQ(ani.Steps[1]->Directions[2].size(), 3u);
  s.Undo();
  EXPECT_EQ(shadow->Y, 34);
  s.Undo();
  EXPECT_EQ(swordPart->X, 40);
}

// A frame copied in sprite mode, its definition deleted in movie mode, inserted after the switch
// back: the copy holds no part of the deleted definition (it used to point at freed memory).
TEST_F(SessionTest, ADefinitionDeletedInMovieModeLeavesTheCopiedFrame)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  TZeltoAniSprite *doomed = AddDefinition(ani, 5, "SWORD");
  AddShadow(40, 0)->Sprite = doomed;
  s.CopyFrame();
  s.SwitchMovieMode(true);
  s.DeleteSpriteDefinition(5);
  s.SwitchMovieMode(false);
  s.InsertFrameAfter();
  for (const TPartList &direction : ani.Steps[1]->Directions)
    for (const auto &part : direction)
      EXPECT_EQ(part->Sprite, FindSprite(&ani, 0));
  EXPECT_EQ(ani.Steps[1]->Directions[2].size(), 1u);
  s.DrawCanvas();
}

TEST_F(SessionTest, ImportingBringsFreeIndicesAndEmptySlots)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  AddDefinition(ani, 1);
  ani.DefaultParams[1] = "kept";
  TempDir folder;
  const std::string other = folder.Write(
      "other.velk", "SPRITE 0 SPRITES 0 0 1 1 zero\nSPRITE 1 SPRITES 0 0 1 1 one\nSPRITE 2 SPRITES 0 0 1 1 two\n"
                    "SPRITE 3 SPRITES 0 0 1 1 three\nATTACHSPRITE 3 1 5 5\nATTACHSPRITE 3 2 6 6\n"
                    "DEFAULTPARAM1 7\nDEFAULTPARAM2 lost\nDEFAULTATTR3 4\nANI\n0 1 1\n0 1 1\n0 1 1\n0 1 1\nANIEND\n");
  dialogs.ChosenFiles.push_back(other);
  s.ImportSprites();
  std::vector<std::string> descriptions;
  for (const auto &sprite : ani.Sprites)
    descriptions.push_back(sprite->Description);
  EXPECT_EQ(descriptions, (std::vector<std::string>{"shadow", "", "two", "three"}));
  const TZeltoAniSprite &three = *ani.Sprites[3];
  ASSERT_EQ(three.Attachments.size(), 2u);
  EXPECT_EQ(three.Attachments[0]->Sprite, ani.Sprites[1].get()) << "this document's definition 1";
  EXPECT_EQ(three.Attachments[1]->Sprite, ani.Sprites[2].get());
  EXPECT_EQ(ani.DefaultParams[0], "7");
  EXPECT_EQ(ani.DefaultParams[1], "kept");
  EXPECT_EQ(ani.DefaultAttrs[2], "4");
  EXPECT_EQ(s.EditActor->ParamValues[0], 7);
  EXPECT_TRUE(ani.Modified);

  // The document's own file is not imported into itself.
  ani.FileName = folder.Path() + "/sub/OTHER.velk";
  ani.Modified = false;
  dialogs.ChosenFiles.push_back(other);
  s.ImportSprites();
  EXPECT_FALSE(ani.Modified);
}

} // namespace

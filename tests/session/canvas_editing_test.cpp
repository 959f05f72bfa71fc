// Editing the parts of a frame on the canvas, and the undo entries each gesture records.
#include <climits>

#include "images/image_cache.h"
#include "model/actor_keys.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace {

using PartObjectList = std::vector<TZeltoAniPart *>;

TEST_F(SessionTest, ClicksSelectShiftAddsCtrlRemoves)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  TZeltoAniPart *b = AddShadow(60, 0);
  TZeltoAniPart *c = AddShadow(120, 0);
  Click(On(*b));
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{1}));
  Click(On(*c), true);
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{2, 1})) << "Shift adds and makes primary";
  Click(On(*b), true);
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{1, 2})) << "Shift on a selected part makes it primary";
  Click(On(*c), false, true);
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{1})) << "Ctrl removes";
  Click(On(*a));
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{0}));
  // A press on nothing clears the selection and pans the scene.
  const int originX = s.Scene.OriginX;
  Drag(QPoint(300, 300), QPoint(310, 295));
  EXPECT_TRUE(s.Scene.Selection.empty());
  EXPECT_EQ(s.Scene.OriginX, originX + 10);
  EXPECT_EQ(s.History.Count(), 0) << "selecting and panning record nothing";
}

TEST_F(SessionTest, DragsRecordOneMoveAndPressesWithoutMovingNone)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  Click(On(*a));
  EXPECT_EQ(s.History.Count(), 0);
  Drag(On(*a), On(*a) + QPoint(7, -3));
  EXPECT_EQ(a->X, 19);
  EXPECT_EQ(a->Y, 31);
  ASSERT_EQ(s.History.Count(), 1);
  EXPECT_EQ(s.History.At(0).DX, 7);
  EXPECT_FALSE(s.History.At(0).Mergeable);
  // A nudge after the drag is an entry of its own; five nudges are one.
  for (int i = 0; i < 5; ++i)
    s.MoveSelection(1, 0);
  ASSERT_EQ(s.History.Count(), 2);
  EXPECT_EQ(s.History.At(1).DX, 5);
  s.Undo();
  EXPECT_EQ(a->X, 19);
  s.Undo();
  EXPECT_EQ(a->X, 12);
  EXPECT_EQ(a->Y, 34);
  s.Redo();
  s.Redo();
  EXPECT_EQ(a->X, 24);
  EXPECT_TRUE(s.GetCurrentAni()->Modified);
}

// Undo, redo, keys and the wheel that come in the middle of a drag end the drag first, where the
// pointer was last seen: the drag's selection indices and saved positions would otherwise move
// other parts, or parts of another frame, once the undo has changed the frame.
TEST_F(SessionTest, HistoryKeysAndWheelInTheMiddleOfADragEndItFirst)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = Frames(s, {2, 2});
  TZeltoAniPart *a = Parts()[0].get();
  TZeltoAniPart *b = AddShadow(60, 0);
  const std::string start = AnimationText(&ani);
  s.Scene.Selection = {1};
  s.MoveSelection(0, 1);
  const QPoint p = On(*a);
  s.MouseDown(false, p.x(), p.y());
  s.MouseMove(p.x() + 10, p.y());
  s.Undo(); // the drag is recorded as it stands, then undone
  EXPECT_FALSE(s.MouseIsDown);
  EXPECT_EQ(a->X, 12);
  s.MouseMove(p.x() + 30, p.y() + 5);
  s.MouseUp(p.x() + 30, p.y() + 5);
  EXPECT_EQ(a->X, 12) << "the rest of the drag moves nothing";
  EXPECT_EQ(b->Y, 1);
  EXPECT_EQ(s.History.Count(), 2);
  EXPECT_EQ(s.History.Position(), 1);
  s.Undo();
  EXPECT_EQ(AnimationText(&ani), start);

  // The wheel over the time line changes the frame: the drag is let go first, in its own frame.
  s.MouseDown(false, p.x(), p.y());
  s.MouseMove(p.x() + 4, p.y());
  const TCanvasGeometry g = s.Geometry();
  s.Wheel(true, g.TimelineLeft + 5, g.TimelineTop + 30);
  s.Wheel(true, g.TimelineLeft + 5, g.TimelineTop + 30);
  EXPECT_EQ(s.GetCurrentFrame(), 1);
  s.MouseMove(p.x() + 40, p.y());
  s.MouseUp(p.x() + 40, p.y());
  EXPECT_EQ(a->X, 16);
  for (const auto &part : ani.Steps[1]->Directions[2])
    EXPECT_EQ(part->X, 12) << "frame 1 is untouched";
  while (s.History.Position() > 0)
    s.Undo();
  EXPECT_EQ(AnimationText(&ani), start);
}

// Typed positions are bounded: their displacement, which undo negates, stays an integer even for
// parts at the edges of the integer range, so undo gives back the exact position.
TEST_F(SessionTest, TypedPositionsNearTheIntegerLimitsUndoExactly)
{
  const struct
  {
    int start;
    const char *typed;
    int stored;
  } cases[] = {{0, "2147483647", MaxCoordinate},
               {0, "-2147483648", -MaxCoordinate},
               {-2147483647 - 1, "1000000000", -1},
               {2147483647, "-1000000000", 0},
               {-2147483647 - 1, "-2147483648", -MaxCoordinate},
               {5, "99999999999", 5}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    TEditSession &s = StartNew();
    TZeltoAniPart &part = *Parts()[0];
    part.X = c.start;
    s.CommitCoordinate(true, c.typed);
    EXPECT_EQ(part.X, c.stored);
    s.MoveSelection(1, 0);
    s.MoveSelection(-1, 0);
    while (s.History.Position() > 0)
      s.Undo();
    EXPECT_EQ(part.X, c.start);
  }
}

// Moves are merged when the pointer is fast, so a release can come where no move reported the
// pointer: the parts go where they are let go, and undo brings them back to where they started.
TEST_F(SessionTest, PartsGoWhereTheyAreReleasedAndUndoReturnsThem)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  const QPoint start = On(*a);
  s.MouseDown(false, start.x(), start.y());
  s.MouseMove(start.x() + 5, start.y() + 5);
  s.MouseUp(start.x() + 20, start.y() - 10);
  EXPECT_EQ(a->X, 32);
  EXPECT_EQ(a->Y, 24);
  ASSERT_EQ(s.History.Count(), 1);
  EXPECT_EQ(s.History.At(0).DX, 20);
  s.Undo();
  EXPECT_EQ(a->X, 12);
  EXPECT_EQ(a->Y, 34);
  // A click that does not move changes nothing.
  s.GetCurrentAni()->Modified = false;
  Click(On(*a));
  EXPECT_FALSE(s.GetCurrentAni()->Modified);
}

TEST_F(SessionTest, PartsDraggedOutOfTheViewAreDeletedAtOnceAndComeBackWithOneUndo)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  const QPoint start = On(*a);
  s.MouseDown(false, start.x(), start.y());
  s.MouseMove(start.x() - 100, start.y());
  ASSERT_EQ(Parts().size(), 1u) << "still within the 50-pixel margin";
  s.MouseMove(start.x() - 400, start.y());
  EXPECT_TRUE(Parts().empty()) << "gone during the drag";
  s.MouseUp(start.x() - 400, start.y());
  EXPECT_TRUE(Parts().empty()) << "releasing restores nothing";
  ASSERT_EQ(s.History.Count(), 1);
  s.Undo();
  ASSERT_EQ(Parts().size(), 1u);
  EXPECT_EQ(Parts()[0].get(), a);
  EXPECT_EQ(a->X, 12) << "back where it was before the drag";
  EXPECT_EQ(a->Y, 34);
}

TEST_F(SessionTest, ReleasingAClickOnTheTimeLineLeavesSelectedPartsOutsideTheViewAlone)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  ani.Steps.push_back(CopyStep(*ani.Steps[0]));
  RecomputeStartTicks(&ani);
  for (const auto &step : ani.Steps)
    step->Directions[2][0]->X = 900; // beyond the view's right edge
  s.ChoosePart(0);
  const TCanvasGeometry g = s.Geometry();
  for (int frame : {1, 0}) { // a click on each frame's middle in the ruler
    const TZeltoAniStep &step = *ani.Steps[size_t(frame)];
    const int x = RulerX(g, step.StartTick + step.Duration / 2);
    Click(QPoint(x, g.TimelineTop + 25));
    ASSERT_EQ(s.GetCurrentFrame(), frame);
    ASSERT_EQ(Parts().size(), 1u) << "the selected part stays in frame " << frame;
    EXPECT_EQ(Parts()[0]->X, 900);
  }
  EXPECT_EQ(s.History.Count(), 0) << "nothing was edited";
}

TEST_F(SessionTest, SpritesTakenFromTheStripAreOneAddEntry)
{
  TEditSession &s = StartNew();
  const TZeltoAniSprite &shadow = *s.GetCurrentAni()->Sprites[0];
  const QPoint entry(s.Scene.SpriteListLeft + 25, shadow.ListTop + 10);
  // Released inside the strip: the frame is unchanged and nothing is recorded.
  Click(entry);
  EXPECT_EQ(Parts().size(), 1u);
  EXPECT_EQ(s.History.Count(), 0);
  // Dragged into the scene: one entry, the add.
  Drag(entry, QPoint(200, 150));
  ASSERT_EQ(Parts().size(), 2u);
  TZeltoAniPart *added = Parts()[1].get();
  EXPECT_FALSE(added->IsNew);
  const QPoint where(added->X, added->Y);
  ASSERT_EQ(s.History.Count(), 1);
  EXPECT_EQ(s.History.At(0).Kind, okAddParts);
  s.Undo();
  EXPECT_EQ(Parts().size(), 1u);
  s.Redo();
  ASSERT_EQ(Parts().size(), 2u);
  EXPECT_EQ(QPoint(Parts()[1]->X, Parts()[1]->Y), where);
}

TEST_F(SessionTest, DrawingOrderMovesBlocksOnePlace)
{
  TEditSession &s = StartNew();
  for (int i = 1; i < 5; ++i)
    AddShadow(i * 30, 0);
  const PartObjectList original = PartObjects();
  s.Scene.Selection = {0, 1};
  s.ChangeSelectionOrder(-1);
  EXPECT_EQ(PartObjects(), original) << "send to back on the first two changes nothing";
  EXPECT_EQ(s.History.Count(), 0);
  s.Scene.Selection = {3, 2};
  s.ChangeSelectionOrder(-1);
  EXPECT_EQ(PartObjects(), (PartObjectList{original[0], original[2], original[3], original[1], original[4]}));
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{1, 2}));
  s.ChangeSelectionOrder(+1);
  s.ChangeSelectionOrder(+1);
  EXPECT_EQ(PartObjects(), (PartObjectList{original[0], original[1], original[4], original[2], original[3]}));
  s.Undo();
  s.Undo();
  s.Undo();
  EXPECT_EQ(PartObjects(), original);
  EXPECT_EQ(s.Scene.Selection, (std::vector<int>{2, 3})) << "the selection follows its parts";
}

TEST_F(SessionTest, DeletingAnUnsortedSelectionRemovesThosePartsAndUndoRestoresTheOrder)
{
  TEditSession &s = StartNew();
  for (int i = 1; i < 5; ++i)
    AddShadow(i * 30, 0);
  const PartObjectList original = PartObjects();
  s.Scene.Selection = {3, 1, 4};
  s.DeleteSelectedParts();
  EXPECT_EQ(PartObjects(), (PartObjectList{original[0], original[2]}));
  EXPECT_TRUE(s.GetCurrentAni()->Modified);
  s.Undo();
  EXPECT_EQ(PartObjects(), original);
  // Stale indices (another frame's selection) are dropped, not used.
  s.Scene.Selection = {9, 2};
  s.DeleteSelectedParts();
  EXPECT_EQ(PartObjects(), (PartObjectList{original[0], original[1], original[3], original[4]}));
}

TEST_F(SessionTest, UndoOfARemovalAppendsWhenTheListGrewShorter)
{
  TEditSession &s = StartNew();
  for (int i = 1; i < 4; ++i)
    AddShadow(i * 30, 0);
  const PartObjectList original = PartObjects();
  s.Scene.Selection = {3};
  s.DeleteSelectedParts(); // original[3] was at index 3
  // The list shrinks further outside the history's knowledge (as another frame's list would).
  std::unique_ptr<TZeltoAniPart> taken = std::move(Parts()[0]);
  Parts().erase(Parts().begin());
  s.Undo();
  EXPECT_EQ(PartObjects(), (PartObjectList{original[1], original[2], original[3]})) << "appended";
}

TEST_F(SessionTest, TypedCoordinatesMoveThePrimaryPartOrShowItAgain)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  s.Scene.Selection = {0};
  s.CommitCoordinate(true, "12a");
  EXPECT_EQ(a->X, 12);
  EXPECT_EQ(s.History.Count(), 0);
  s.CommitCoordinate(true, "-5");
  s.CommitCoordinate(false, "40");
  EXPECT_EQ(a->X, -5);
  EXPECT_EQ(a->Y, 40);
  ASSERT_EQ(s.History.Count(), 2) << "typed positions do not merge";
  s.Undo();
  s.Undo();
  EXPECT_EQ(a->X, 12);
  EXPECT_EQ(a->Y, 34);
}

TEST_F(SessionTest, UndoReturnsToTheEntrysFrameAndDirection)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  for (int i = 0; i < 2; ++i)
    ani.Steps.push_back(CopyStep(*ani.Steps[0]));
  RecomputeStartTicks(&ani);
  s.SetCurrentFrame(2);
  s.SetDirection(1);
  s.Scene.Selection = {0};
  s.MoveSelection(0, 1);
  TZeltoAniPart *moved = ani.Steps[2]->Directions[1][0].get();
  s.SetCurrentFrame(0);
  s.SetDirection(3);
  s.Undo();
  EXPECT_EQ(s.GetCurrentFrame(), 2);
  EXPECT_EQ(s.EditActor->Dir, 1);
  EXPECT_EQ(moved->Y, 34);
}

TEST_F(SessionTest, RecordingAfterUndosDropsThemAndFreesWhatOnlyTheyKept)
{
  TEditSession &s = StartNew();
  TZeltoAniPart *a = Parts()[0].get();
  const std::string sword = BundledGame() + "/sword1.png";
  s.DropFiles({sword}, 200, 150);
  s.DropFiles({sword}, 250, 150);
  TZeltoAniPart *first = Parts()[1].get(), *second = Parts()[2].get();
  s.Undo();
  s.Undo();
  EXPECT_TRUE(s.History.Keeps(first));
  EXPECT_TRUE(s.History.Keeps(second));
  s.Scene.Selection = {0};
  s.MoveSelection(1, 0);
  EXPECT_EQ(s.History.Count(), 2) << "the two undone entries are gone; the new definition's stays";
  EXPECT_FALSE(s.History.Keeps(first)) << "freed: only the dropped entries named it";
  EXPECT_FALSE(s.History.Keeps(second));

  // Nudge a, undo, delete it: the new entry keeps a alive although the dropped nudge named it.
  s.Undo();
  s.DeleteSelectedParts();
  EXPECT_TRUE(s.History.Keeps(a));
  s.Undo();
  ASSERT_EQ(Parts().size(), 1u);
  EXPECT_EQ(Parts()[0].get(), a);
  EXPECT_EQ(a->X, 12);
}

TEST_F(SessionTest, HistoryOfADeletedFrameGoesWithIt)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  for (int i = 0; i < 3; ++i)
    ani.Steps.push_back(CopyStep(*ani.Steps[0]));
  RecomputeStartTicks(&ani);
  auto nudgeFrame = [&](int frame) {
    s.SetCurrentFrame(frame);
    s.Scene.Selection = {0};
    s.CommitCoordinate(true, std::to_string(Parts()[0]->X + 1));
  };
  nudgeFrame(1);
  nudgeFrame(3);
  nudgeFrame(1);
  s.TrimHistory(0, ani.Steps[3].get());
  EXPECT_EQ(s.History.Count(), 2);
  EXPECT_EQ(s.History.Position(), 2);
  nudgeFrame(3);
  s.Undo();
  s.Undo(); // the second nudge of frame 1 is undone too
  s.TrimHistory(0, ani.Steps[3].get());
  EXPECT_EQ(s.History.Count(), 2);
  EXPECT_EQ(s.History.Position(), 1);
}

// The file keeps image and sound names as single words: a name with a blank would break the line
// (an image name with one makes the whole file unreadable), so such files are refused.
TEST_F(SessionTest, FilesWhoseNamesHoldBlanksAreRefusedAndDefinitionsReadBack)
{
  TEditSession &s = StartNew();
  TempDir folder;
  const std::string bytes = ReadWholeFile(BundledGame() + "/sword1.png");
  const std::string image = folder.Write("my sword.png", bytes), sound = folder.Write("my chime.wav", "RIFF");
  s.DropFiles({image, sound}, 200, 150);
  TZeltoAni &ani = *s.GetCurrentAni();
  EXPECT_EQ(ani.Sprites.size(), 1u);
  EXPECT_EQ(Parts().size(), 1u);
  EXPECT_TRUE(ani.Steps[0]->Sounds.empty());
  ASSERT_EQ(dialogs.Errors.size(), 2u);
  EXPECT_EQ(dialogs.Errors[0], "Cannot use " + image + ": an animation cannot store a file name with blanks");

  TSpriteGrid grid;
  grid.Image = "my sword.png";
  std::string error;
  EXPECT_FALSE(s.AddSpriteDefinitions(grid, &error));
  EXPECT_EQ(error, "'my sword.png': an animation cannot store a file name with blanks");
  for (const char *blank : {"", " ", "\t"}) {
    grid.Image = blank;
    EXPECT_FALSE(s.AddSpriteDefinitions(grid, &error)) << "image '" << blank << "'";
    EXPECT_EQ(error, "A sprite needs the name of its image");
  }
  EXPECT_EQ(ani.Sprites.size(), 1u);
  // Descriptions are kept as the reader will read them: single spaces between words.
  grid.Image = "sword1.png";
  grid.Description = "  two\twords \r\n";
  grid.Columns = 2;
  ASSERT_TRUE(s.AddSpriteDefinitions(grid, &error));
  EXPECT_EQ(FindSprite(&ani, 21)->Description, "two words (1)");
  grid.Description = "";
  grid.Index = 30;
  ASSERT_TRUE(s.AddSpriteDefinitions(grid, &error));
  EXPECT_EQ(FindSprite(&ani, 30)->Description, "(0)");
  const std::string text = AnimationText(&ani);
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, nullptr, text));
  EXPECT_EQ(AnimationText(&again), text);
}

TEST_F(SessionTest, DroppedImagesShareOneDefinitionAndLandUnderThePointer)
{
  TEditSession &s = StartNew();
  TempDir folder;
  const std::string sword = BundledGame() + "/sword1.png";
  s.DropFiles({sword, sword, folder.Path() + "/missing.png"}, 200, 150);
  TZeltoAni &ani = *s.GetCurrentAni();
  ASSERT_EQ(ani.Sprites.size(), 2u);
  EXPECT_EQ(ani.Sprites[1]->Index, 1) << "the first free index from 1";
  EXPECT_EQ(ani.Sprites[1]->Description, "sword1");
  ASSERT_EQ(Parts().size(), 3u);
  EXPECT_EQ(Parts()[1]->Sprite, Parts()[2]->Sprite);
  const int width = ani.Sprites[1]->Width, height = ani.Sprites[1]->Height;
  EXPECT_EQ(Parts()[1]->X, 200 - s.Scene.OriginX - width / 2);
  EXPECT_EQ(s.History.Count(), 3) << "the definition, then each part";
  s.Undo();
  EXPECT_EQ(Parts().size(), 2u);
  s.Undo();
  s.Undo();
  EXPECT_EQ(ani.Sprites.size(), 1u) << "undo takes the new definition too";
  s.Redo();
  s.Redo();

  // Zoomed, the drop goes through the same conversion as a press: the centre lands under it.
  s.Setup.SetZoom(2.0);
  s.DrawCanvas();
  s.DropFiles({sword}, 200, 150);
  TZeltoAniPart &zoomed = *Parts().back();
  EXPECT_EQ(zoomed.X + width / 2, s.SceneX(200) - s.Scene.OriginX);
  EXPECT_EQ(zoomed.Y + height / 2, s.SceneY(150) - s.Scene.OriginY);
  // A wave file becomes a sound of the frame.
  s.Setup.SetZoom(1.0);
  s.DropFiles({BundledGame() + "/step.wav"}, 100, 100);
  ASSERT_EQ(ani.Steps[0]->Sounds.size(), 1u);
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->FileName, "step.wav");
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->X, 100 - s.Scene.OriginX);
}

TEST_F(SessionTest, SoundIconsDragAndLeaveWithTheView)
{
  TEditSession &s = StartNew();
  s.AddSound("", 40, 40);
  TZeltoAniSound &sound = *s.GetCurrentAni()->Steps[0]->Sounds[0];
  const QPoint icon(s.Scene.OriginX + 40 + 16, s.Scene.OriginY + 40 + 16);
  s.MouseDown(false, icon.x(), icon.y());
  EXPECT_EQ(s.Scene.DragMode, dmSound);
  s.MouseMove(icon.x() + 5, icon.y() + 6);
  EXPECT_EQ(sound.X, 45);
  EXPECT_EQ(sound.Y, 46);
  s.MouseMove(icon.x() - 1000, icon.y());
  EXPECT_TRUE(s.GetCurrentAni()->Steps[0]->Sounds.empty());
  s.MouseUp(icon.x() - 1000, icon.y());
  // Added, then dragged out of the view: two entries; undo brings the very sound back where the
  // drag began.
  ASSERT_EQ(s.History.Count(), 2);
  s.Undo();
  ASSERT_EQ(s.GetCurrentAni()->Steps[0]->Sounds.size(), 1u);
  EXPECT_EQ(s.GetCurrentAni()->Steps[0]->Sounds[0].get(), &sound);
  EXPECT_EQ(sound.X, 40);
  // A drag within the view is one move entry; key moves merge.
  s.MouseDown(false, icon.x(), icon.y());
  s.MouseMove(icon.x() + 3, icon.y());
  s.MouseMove(icon.x() + 7, icon.y() + 2);
  s.MouseUp(icon.x() + 7, icon.y() + 2);
  EXPECT_EQ(s.History.Count(), 2);
  for (int i = 0; i < 3; ++i)
    s.KeyDown(TKey::Up, false, false);
  EXPECT_EQ(s.History.Count(), 3);
  EXPECT_EQ(sound.Y, 39);
  s.Undo();
  EXPECT_EQ(sound.Y, 42);
  s.Undo();
  EXPECT_EQ(sound.X, 40);
  s.Undo();
  EXPECT_TRUE(s.GetCurrentAni()->Steps[0]->Sounds.empty());
  EXPECT_EQ(s.History.LiveProblem(s.GetCurrentAni()), "");
}

// --- Movie entries, tested on actors so that movie editing only has to record. ---

class ActorHistoryTest : public SessionTest
{
protected:
  TZeltoActor *AddActor(TEditSession &s)
  {
    TZeltoAni &ani = *s.GetCurrentAni();
    ani.IsMovie = true;
    ani.Actors.push_back(std::make_unique<TZeltoActor>(s.EditActor.get(), akSprite));
    return ani.Actors.back().get();
  }
  static std::string Value(TZeltoActor *actor, int time, const std::string &name)
  {
    for (const auto &key : actor->Keys)
      if (key->Time == time) {
        std::string value;
        GetModValue(*key, name, &value);
        return value;
      }
    return "";
  }
};

TEST_F(ActorHistoryTest, RepeatedEditsOfOneAttributeAndRunsOfMovesMerge)
{
  TEditSession &s = StartNew();
  TZeltoActor *actor = AddActor(s);
  for (const char *layer : {"2", "3"}) {
    s.BeginActorChange(actor, false);
    SetKey(actor, 10, "layer", layer);
    s.EndActorChange();
  }
  ASSERT_EQ(s.History.Count(), 1);
  s.Undo();
  EXPECT_TRUE(actor->Keys.empty()) << "the key made by the first edit is gone";
  s.Redo();
  EXPECT_EQ(Value(actor, 10, "layer"), "3");

  for (int step = 1; step <= 3; ++step) {
    s.BeginActorChange(actor, false);
    actor->DX = step * 10;
    SetKey(actor, 20, "dx", std::to_string(actor->DX));
    s.EndActorChange();
  }
  ASSERT_EQ(s.History.Count(), 2) << "a run of moves is one entry";
  EXPECT_TRUE(s.History.At(1).Mergeable);
  EXPECT_EQ(s.History.At(1).Changes[1].NewLine, "dy=0") << "a move records both coordinates";
  s.Undo();
  EXPECT_EQ(Value(actor, 20, "dx"), "");
}

TEST_F(ActorHistoryTest, DeletedActorsLiveInTheHistoryUntilItsEntriesGo)
{
  TEditSession &s = StartNew();
  TZeltoActor *actor = AddActor(s);
  TZeltoAni &ani = *s.GetCurrentAni();
  auto entry = std::make_unique<TEditOperation>(okDeleteActor);
  entry->Actor = actor;
  s.ApplyOperation(okDeleteActor, *entry);
  EXPECT_TRUE(ani.Actors.empty());
  EXPECT_TRUE(s.History.Keeps(actor));
  s.RecordOperation(std::move(entry));
  s.Undo();
  ASSERT_EQ(ani.Actors.size(), 1u);
  EXPECT_EQ(ani.Actors[0].get(), actor);
  s.Redo();
  EXPECT_TRUE(ani.Actors.empty());
  s.RemoveActorHistory(actor);
  EXPECT_EQ(s.History.Count(), 0);
  EXPECT_FALSE(s.History.Keeps(actor)) << "freed with its last entry";
}

} // namespace

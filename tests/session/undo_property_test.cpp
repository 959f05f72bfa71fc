// A property of the history: whatever sequence of recorded edits an animator makes (nudges, drags,
// typed positions, deletions, order changes, drops, parts taken from the strip, frame and
// direction switches), undoing everything gives back every frame's part lists exactly (the same
// objects, in the same order, at the same positions) and the same file text, and redoing
// everything gives back the state after the sequence.
#include <algorithm>
#include <optional>
#include <random>

#include "model/reader.h"
#include "model/writer.h"
#include "session/document_state.h"
#include "session/session_fixture.h"

namespace {

class UndoPropertyTest : public SessionTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  void MakeDocument() { MakePropertyDocument(StartNew()); }

  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  // A part whose middle shows in the scene, where a press reaches it (a press on the timeline
  // band would retime frames, which records nothing), or none.
  TZeltoAniPart *RandomPart()
  {
    if (Parts().empty())
      return nullptr;
    TZeltoAniPart *part = Parts()[size_t(Random(int(Parts().size())))].get();
    const TCanvasGeometry g = session->Geometry();
    return g.ViewRect.contains(On(*part)) ? part : nullptr;
  }

  void RandomEdit()
  {
    TEditSession &s = *session;
    switch (Random(11)) {
    case 0: // select with a click, Shift or Ctrl held
      if (TZeltoAniPart *part = RandomPart())
        Click(On(*part), Random(2) == 0, Random(4) == 0);
      break;
    case 1:
    case 2: { // nudge
      static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      const int *step = steps[Random(4)];
      s.MoveSelection(step[0], step[1]);
      break;
    }
    case 3: // drag, sometimes far out of the view
      if (TZeltoAniPart *part = RandomPart()) {
        const int reach = Random(5) == 0 ? 600 : 40;
        Drag(On(*part), On(*part) + QPoint(Random(2 * reach) - reach, Random(2 * reach) - reach));
      }
      break;
    case 4:
      s.CommitCoordinate(Random(2) == 0, std::to_string(Random(200) - 100));
      break;
    case 5:
      s.DeleteSelectedParts();
      break;
    case 6:
      s.ChangeSelectionOrder(Random(2) == 0 ? -1 : 1);
      break;
    case 7:
      s.DropFiles({BundledGame() + "/sword1.png"}, 100 + Random(250), 50 + Random(250));
      break;
    case 8: { // a sprite taken from the strip, dragged into the scene or let go in the strip
      const auto &sprites = s.GetCurrentAni()->Sprites;
      if (sprites.empty())
        break;
      const TZeltoAniSprite &sprite = *sprites[size_t(Random(int(sprites.size())))];
      const QPoint entry(s.Scene.SpriteListLeft + 25, sprite.ListTop + 8);
      Drag(entry, Random(3) == 0 ? entry : QPoint(120 + Random(200), 40 + Random(250)));
      break;
    }
    case 9:
      s.SetCurrentFrame(Random(int(s.GetCurrentAni()->Steps.size())));
      break;
    case 10:
      s.SetDirection(Random(4));
      break;
    }
  }

  // Frame and definition commands: none is recorded, each drops the history entries it makes
  // stale, and undo and redo are mixed in.
  void FrameCommandOrUndo()
  {
    TEditSession &s = *session;
    TZeltoAni &ani = *s.GetCurrentAni();
    switch (Random(12)) {
    case 11: // the definitions of another animation imported
      if (Random(3) == 0) {
        dialogs.ChosenFiles.push_back(BundledGame() + (Random(2) ? "/walk.velk" : "/idle.velk"));
        s.ImportSprites();
      }
      break;
    case 0:
      s.AddFrame();
      break;
    case 1:
      s.DeleteFrame(Random(int(ani.Steps.size())));
      break;
    case 2:
      s.CopyFrame();
      break;
    case 3:
      Random(2) ? s.InsertFrameBefore() : s.InsertFrameAfter();
      break;
    case 4:
      s.ReverseFrames();
      break;
    case 5:
      if (Random(4) == 0)
        s.SetSingleDirection(!ani.SingleDirection);
      break;
    case 6:
      if (Random(3) == 0)
        s.RemoveUnusedSprites();
      break;
    case 7:
      if (Random(4) == 0 && !ani.Sprites.empty())
        s.DeleteSpriteDefinition(ani.Sprites[size_t(Random(int(ani.Sprites.size())))]->Index);
      break;
    case 8:
    case 9:
      s.Undo();
      break;
    case 10:
      s.Redo();
      break;
    }
  }

  // Any other command that changes the document: frames, timing (drags, keys, typed lengths),
  // sounds, options and slots, definitions, typed sprites, Ctrl+N. Every one is recorded.
  void OtherCommand()
  {
    TEditSession &s = *session;
    TZeltoAni &ani = *s.GetCurrentAni();
    const TCanvasGeometry g = s.Geometry();
    switch (Random(16)) {
    case 0:
      s.AddFrame();
      break;
    case 1:
      if (ani.Steps.size() > 1)
        s.DeleteFrame(Random(int(ani.Steps.size())));
      break;
    case 2:
      s.CopyFrame();
      Random(2) ? s.InsertFrameBefore() : s.InsertFrameAfter();
      break;
    case 3:
      Random(2) ? s.ReverseFrames() : s.SetSingleDirection(!ani.SingleDirection);
      break;
    case 4: { // a frame start or the length dragged on the time line
      const bool length = Random(2);
      const int tick = length ? ani.Length : ani.Steps[size_t(Random(int(ani.Steps.size())))]->StartTick;
      const QPoint from(RulerX(g, tick), g.TimelineTop + (length ? 30 : 5));
      Drag(from, from + QPoint(Random(41) - 20, 0));
      break;
    }
    case 5: // Left and Right on what was dragged last
      for (int n = Random(4); n >= 0; --n)
        s.KeyDown(Random(2) ? TKey::Left : TKey::Right, false, false);
      break;
    case 6: { // a frame's length typed into the grid
      s.LastDragMode = dmFrameStart;
      s.Scene.LastFrameIndex = Random(int(ani.Steps.size()));
      std::string value = s.GridRow(0).Value;
      if (s.ClickGridRow(0, value)) {
        static const char *typed[] = {"0.25", "1", "0.05", "x", "2.5"};
        value = typed[Random(5)];
        s.TypeGridRow(0, value);
        s.EndGridEdit();
      }
      break;
    }
    case 7: // a sound added, moved by keys, renamed
      if (Random(2)) {
        s.AddSound(Random(2) ? "step.wav" : "", Random(60), Random(60));
      } else if (s.LastDragMode == dmSound) {
        s.KeyDown(Random(2) ? TKey::Up : TKey::Left, false, false);
        std::string value = Random(2) ? "chime.wav" : "swing.wav";
        s.SetGridRow(0, value);
      }
      break;
    case 8: { // options clicked or typed
      static const int clicked[] = {2, 3};
      std::string value;
      if (Random(2)) {
        s.ClickGridRow(clicked[Random(2)], value);
      } else {
        static const int rows[] = {6, 10, 13, 14};
        static const char *typed[] = {"walk", "2", "sword1.png", ""};
        value = typed[Random(4)];
        s.SetGridRow(rows[Random(4)], value);
      }
      break;
    }
    case 9: { // the sprite of the primary part typed
      s.LastDragMode = -1;
      static const char *typed[] = {"0", "1", "PARAM2", "ATTR1", "7"};
      std::string value = typed[Random(5)];
      s.SetGridRow(0, value);
      break;
    }
    case 10: { // the Add Sprite dialog's apply, new or replacing
      TSpriteGrid grid;
      grid.Image = Random(2) ? "sword1.png" : "SPRITES";
      grid.Index = Random(4);
      grid.Columns = 1 + Random(2);
      grid.Width = 8 + Random(20);
      s.AddSpriteDefinitions(grid);
      break;
    }
    case 11:
      if (!ani.Sprites.empty())
        s.DeleteSpriteDefinition(ani.Sprites[size_t(Random(int(ani.Sprites.size())))]->Index);
      break;
    case 12:
      s.RemoveUnusedSprites();
      break;
    case 13:
      dialogs.ChosenFiles.push_back(BundledGame() + (Random(2) ? "/walk.velk" : "/idle.velk"));
      s.ImportSprites();
      break;
    case 14:
      s.KeyDown(TKey::N, true, false);
      break;
    default:
      s.DropFiles({BundledGame() + (Random(2) ? "/shield1.png" : "/step.wav")}, 100 + Random(200), 60 + Random(200));
      break;
    }
  }

  std::mt19937 random_{GetParam()};
};

// Every command, at random: each undo gives back the text the document had at that place in the
// history, down to the start (with the very frames and parts), and each redo the text after it.
TEST_P(UndoPropertyTest, EveryCommandUndoesToItsPlaceInTheHistory)
{
  MakeDocument();
  TEditSession &s = *session;
  TZeltoAni &ani = *s.GetCurrentAni();
  const TDocumentState before = StateOf(ani);
  // The text at each length of the history; none where one edit recorded two entries (a dropped
  // image's new definition and its part), or merged into the entry before it first.
  std::vector<std::optional<std::string>> textAt{before.Text};
  for (int i = 0; i < 300; ++i) {
    const int count = s.History.Count();
    const TEditOperation *last = count > 0 ? &s.History.At(count - 1) : nullptr;
    Random(2) ? OtherCommand() : RandomEdit();
    ASSERT_EQ(s.History.Position(), s.History.Count());
    const int now = s.History.Count();
    const bool lastKept = count == 0 || (now >= count && &s.History.At(count - 1) == last);
    textAt.resize(size_t(now) + 1);
    for (int p = std::min(count, now) + (lastKept ? 1 : 0); p < now; ++p)
      textAt[size_t(p)].reset();
    textAt.back() = AnimationText(&ani);
    ASSERT_EQ(s.History.LiveProblem(&ani), "") << "after edit " << i;
  }
  const TDocumentState after = StateOf(ani);
  ASSERT_GT(s.History.Count(), 50);
  while (s.History.Position() > 0) {
    s.Undo();
    if (const auto &expected = textAt[size_t(s.History.Position())])
      ASSERT_EQ(AnimationText(&ani), *expected) << "undone to " << s.History.Position() << " of " << s.History.Count();
  }
  EXPECT_TRUE(StateOf(ani) == before) << "the very frames and parts, at their places";
  while (s.History.Position() < s.History.Count()) {
    s.Redo();
    if (const auto &expected = textAt[size_t(s.History.Position())])
      ASSERT_EQ(AnimationText(&ani), *expected) << "redone to " << s.History.Position();
  }
  EXPECT_TRUE(StateOf(ani) == after);
}

TEST_P(UndoPropertyTest, UndoingEverythingRestoresAndRedoingReachesTheEnd)
{
  MakeDocument();
  TEditSession &s = *session;
  TZeltoAni &ani = *s.GetCurrentAni();
  const TDocumentState before = StateOf(ani);
  for (int i = 0; i < 300; ++i)
    RandomEdit();
  const TDocumentState after = StateOf(ani);
  ASSERT_GT(s.History.Count(), 20) << "the sequence recorded edits";
  ASSERT_EQ(s.History.Position(), s.History.Count());

  while (s.History.Position() > 0)
    s.Undo();
  EXPECT_TRUE(StateOf(ani) == before) << "undo restores every frame and the text";
  EXPECT_EQ(StateOf(ani).Text, before.Text);
  while (s.History.Position() < s.History.Count())
    s.Redo();
  EXPECT_TRUE(StateOf(ani) == after) << "redo reaches the state after the sequence";
  EXPECT_EQ(StateOf(ani).Text, after.Text);
}

// Part edits, frame and definition commands, undo and redo in any order: every entry left in the
// history names a frame of the document, undoing and redoing all of it uses nothing freed (the
// sanitizer build runs this too), and the document writes a text that reads back the same.
TEST_P(UndoPropertyTest, FrameCommandsMixedWithEditsLeaveAHistoryOfLiveFrames)
{
  MakeDocument();
  TEditSession &s = *session;
  TZeltoAni &ani = *s.GetCurrentAni();
  for (int i = 0; i < 400; ++i) {
    if (Random(3) == 0)
      FrameCommandOrUndo();
    else
      RandomEdit();
  }
  EXPECT_EQ(s.History.LiveProblem(&ani), "");
  while (s.History.Position() > 0)
    s.Undo();
  while (s.History.Position() < s.History.Count())
    s.Redo();
  EXPECT_EQ(s.History.LiveProblem(&ani), "");
  const std::string text = AnimationText(&ani);
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, nullptr, text));
  EXPECT_EQ(AnimationText(&again), text);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoPropertyTest, ::testing::Values(1u, 2u, 3u, 17u, 2026u, 31337u));

} // namespace

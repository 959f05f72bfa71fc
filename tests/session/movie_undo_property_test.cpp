// Movie editing under random use. Every edit the editor makes (actors added by the buttons,
// copied and inserted, moved by drags and keys, their attributes and names typed in the grid,
// keys dragged along the time line and deleted or added by the key menus, actors deleted, the
// movie's length and options, definitions deleted), at random times and on random actors: each
// undo gives back the text the movie had at that place in the history, down to the empty movie,
// and each redo the text after that entry. With undo and redo mixed in, nothing is used after it
// was freed (the sanitizer build runs this too) and the movie still writes a text that reads
// back the same.
#include <algorithm>
#include <optional>
#include <random>

#include "model/context.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"

namespace {

class MovieUndoPropertyTest : public SessionTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  TEditSession &StartMovie()
  {
    TEditSession &s = StartNew();
    s.SwitchMovieMode(true);
    return s;
  }
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  TZeltoAni &Movie() { return *session->GetCurrentAni(); }
  TZeltoActor *RandomActor()
  {
    auto &actors = Movie().Actors;
    return actors.empty() ? nullptr : actors[size_t(Random(int(actors.size())))].get();
  }
  // A canvas point where the actor is hit near its position, or none.
  std::optional<QPoint> PointOn(const TZeltoActor &actor)
  {
    for (int y = -4; y < 40; y += 4)
      for (int x = -4; x < 40; x += 4)
        if (session->ActorAt(actor.DX + x, actor.DY + y) == &actor)
          return QPoint(session->Scene.OriginX + actor.DX + x, session->Scene.OriginY + actor.DY + y);
    return std::nullopt;
  }

  // An edit that is recorded for undo, or a change of time or selection.
  void RecordedEdit()
  {
    TEditSession &s = *session;
    switch (Random(18)) {
    case 0:
      if (Random(3) == 0)
        s.AddCharacterActor();
      else if (Random(2))
        s.AddTextActor(Random(200), Random(200));
      else
        s.AddSoundActor(Random(2) ? BundledGame() + "/chime.wav" : "", Random(200), Random(200));
      break;
    case 1:
    case 2:
      s.ShowTime(Random(Movie().Length + 1));
      break;
    case 3:
    case 4:
      if (TZeltoActor *actor = RandomActor())
        s.SelectActor(actor);
      break;
    case 5:
    case 6:
    case 7: { // a drag of an actor, or a pan when nothing is hit
      TZeltoActor *actor = RandomActor();
      if (!actor)
        break;
      s.DrawCanvas(); // text actors are hit where they were drawn
      if (auto p = PointOn(*actor))
        Drag(*p, *p + QPoint(Random(81) - 40, Random(81) - 40));
      break;
    }
    case 8:
    case 9: {
      static const TKey keys[] = {TKey::Left, TKey::Right, TKey::Up, TKey::Down, TKey::PadPlus, TKey::PadMinus};
      s.KeyDown(keys[Random(6)], false, false);
      break;
    }
    case 10:
      if (s.Scene.SelectedActor && Random(3) == 0)
        s.KeyDown(TKey::Delete, false, false);
      break;
    case 11:
    case 12: { // typed into an attribute row of the grid, the name among them
      if (!s.Scene.SelectedActor || s.GridMode != 1 || s.GridRowCount() < 2)
        break;
      static const char *values[] = {"0", "7", "-12", "3", "true", "false", "walk", "idle", "hello", "x", "", "Zed"};
      std::string value = values[Random(12)];
      s.SetGridRow(Random(s.GridRowCount()), value);
      break;
    }
    case 13:
      s.KeyDown(TKey::Tab, false, false);
      break;
    default:
      OtherRecordedEdit();
      break;
    }
  }

  // The edits of the time line, the key menus, copy and insert, the movie's own rows and the
  // sprite strip's delete.
  void OtherRecordedEdit()
  {
    TEditSession &s = *session;
    const TCanvasGeometry g = s.Geometry();
    const int strip = g.TimelineTop + 8;
    switch (Random(8)) {
    case 0:
      s.CopyActorCommand();
      s.InsertActor();
      break;
    case 1: { // a key dragged along the time line
      const int from = RulerX(g, Random(Movie().Length + 1)), to = RulerX(g, Random(Movie().Length + 1));
      s.MouseDown(false, from, strip);
      s.MouseMove(to, strip);
      s.MouseUp(to, strip);
      break;
    }
    case 2: { // the key strip's menu: "&Delete Key"
      const int x = RulerX(g, Random(Movie().Length + 1));
      s.MouseDown(true, x, strip);
      s.MouseUp(x, strip);
      s.DeleteKey1Click();
      break;
    }
    case 3: // a grid row's key menu: "&Add Key" or "&Delete Key"
      s.GridKeyMenu(Random(26), 0, 0);
      if (s.MenuKey)
        s.DeleteKey1Click();
      else
        s.AddKey1Click();
      break;
    case 4: { // the movie's length typed, or its loop flag clicked
      s.ChooseActorItem(0);
      std::string value = Random(2) ? "4.5" : "9";
      if (Random(2))
        s.SetGridRow(0, value);
      else
        s.ClickGridRow(1, value);
      break;
    }
    case 5: // the length stepped on the time line's end
      s.LastDragMode = dmLength;
      s.KeyDown(Random(2) ? TKey::Left : TKey::Right, false, false);
      break;
    case 6: // a sprite actor from the strip, or its definition deleted
      if (Movie().Sprites.empty()) {
        break;
      } else if (Random(2)) {
        const TZeltoAniSprite &shadow = *Movie().Sprites[0];
        const QPoint entry(s.Scene.SpriteListLeft + 25, shadow.ListTop + 8);
        Drag(entry, QPoint(150 + Random(100), 80 + Random(100)));
      } else if (Random(4) == 0) {
        s.DeleteSpriteDefinition(0);
      }
      break;
    default:
      s.SetZelto2002Mode(!Context().Zelto2002Mode);
      break;
    }
  }

  // Recorded edits with undo and redo mixed in.
  void OtherEdit()
  {
    switch (Random(4)) {
    case 0:
      session->Undo();
      break;
    case 1:
      session->Redo();
      break;
    default:
      OtherRecordedEdit();
      break;
    }
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(MovieUndoPropertyTest, EachUndoAndRedoGivesTheTextOfItsPlaceInTheHistory)
{
  TEditSession &s = StartMovie();
  // The text after the last edit that left the history at each length; none where one edit
  // recorded two entries (a drag records an entry per move that does not merge), or where its
  // first move merged into the entry before it.
  std::vector<std::optional<std::string>> textAt{AnimationText(&Movie())};
  for (int i = 0; i < 200; ++i) {
    const int before = s.History.Count();
    const TEditOperation *last = before > 0 ? &s.History.At(before - 1) : nullptr;
    RecordedEdit();
    ASSERT_EQ(s.History.Position(), s.History.Count());
    const int after = s.History.Count();
    const bool lastKept = before == 0 || (after >= before && &s.History.At(before - 1) == last);
    textAt.resize(size_t(after) + 1);
    for (int p = std::min(before, after) + (lastKept ? 1 : 0); p < after; ++p)
      textAt[size_t(p)].reset();
    textAt.back() = AnimationText(&Movie());
  }
  ASSERT_GT(s.History.Count(), 20) << "the sequence recorded edits";
  while (s.History.Position() > 0) {
    s.Undo();
    if (const auto &expected = textAt[size_t(s.History.Position())])
      ASSERT_EQ(AnimationText(&Movie()), *expected)
          << "after undoing to " << s.History.Position() << " of " << s.History.Count();
  }
  EXPECT_TRUE(Movie().Actors.empty());
  while (s.History.Position() < s.History.Count()) {
    s.Redo();
    if (const auto &expected = textAt[size_t(s.History.Position())])
      ASSERT_EQ(AnimationText(&Movie()), *expected) << "after redoing to " << s.History.Position();
  }
}

TEST_P(MovieUndoPropertyTest, EditsUndoAndRedoMixedLeaveAMovieThatReadsBack)
{
  TEditSession &s = StartMovie();
  for (int i = 0; i < 300; ++i) {
    if (Random(3) == 0)
      OtherEdit();
    else
      RecordedEdit();
    // Evaluation takes the last key at or before a time in list order: keys stay in time order.
    for (const auto &actor : Movie().Actors)
      ASSERT_TRUE(std::is_sorted(actor->Keys.begin(), actor->Keys.end(),
                                 [](const auto &a, const auto &b) { return a->Time < b->Time; }))
          << actor->Name << " after use " << i;
  }
  s.DrawCanvas();
  const std::string text = AnimationText(&Movie());
  TZeltoAni copy;
  ASSERT_TRUE(ParseAnimation(copy, s.EditActor.get(), text));
  EXPECT_EQ(AnimationText(&copy), text);
}

INSTANTIATE_TEST_SUITE_P(Seeds, MovieUndoPropertyTest, ::testing::Values(3u, 8u, 99u, 1234u, 4242u, 77777u));

} // namespace

// Movie mode: switching to it, adding and deleting actors, gestures on actors and keys, the key
// menus, playback and keys on actors, and a movie made from New, saved and evaluated by velk.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <set>

#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/context.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace {

class MovieEditingTest : public SessionTest
{
protected:
  TEditSession &StartMovie()
  {
    TEditSession &s = StartNew();
    s.SwitchMovieMode(true);
    return s;
  }
  // A canvas point where the actor is hit, searched around its position.
  QPoint On(const TZeltoActor &actor)
  {
    for (int y = -10; y < 60; ++y)
      for (int x = -10; x < 60; ++x)
        if (session->ActorAt(actor.DX + x, actor.DY + y) == &actor)
          return QPoint(session->Scene.OriginX + actor.DX + x, session->Scene.OriginY + actor.DY + y);
    ADD_FAILURE() << "no point of " << actor.Name << " is hit";
    return QPoint();
  }
  static std::string Value(const TZeltoActor &actor, int time, const std::string &name)
  {
    for (const auto &key : actor.Keys)
      if (key->Time == time) {
        std::string value;
        if (GetModValue(*key, name, &value))
          return value;
      }
    return "(none)";
  }
};

TEST_F(MovieEditingTest, SwitchingModesAsksAndRenamesTheDefaultAnimations)
{
  TEditSession &s = Start(); // idle, with frames
  s.SwitchMovieMode(true);
  TZeltoAni &ani = *s.GetCurrentAni();
  EXPECT_EQ(dialogs.Questions.back(), "Warning: Switching to movie mode will remove all sprites. Continue?");
  EXPECT_EQ(ani.Name, "new");
  EXPECT_EQ(ani.FileName, "");
  EXPECT_EQ(ani.Length, 100);
  EXPECT_TRUE(ani.Steps.empty());
  EXPECT_TRUE(ani.Modified);

  s.AddCharacterActor();
  s.SwitchMovieMode(false);
  EXPECT_EQ(dialogs.Questions.back(), "Warning: Switching to sprite mode will remove all actors. Continue?");
  EXPECT_EQ(ani.Steps.size(), 1u) << "one default frame";
  EXPECT_TRUE(ani.Actors.empty());
  EXPECT_EQ(s.Scene.SelectedActor, nullptr);
}

TEST_F(MovieEditingTest, ActorsAreAddedAtTheCurrentTimeAndUndoneAsOne)
{
  TEditSession &s = StartMovie();
  TZeltoAni &ani = *s.GetCurrentAni();
  s.ShowTime(40);
  TZeltoActor *hero = s.AddCharacterActor();
  ASSERT_TRUE(hero);
  ASSERT_EQ(hero->Keys.size(), 1u);
  EXPECT_EQ(hero->Keys[0]->Time, 40);
  EXPECT_EQ(Value(*hero, 40, "visible"), "true");
  EXPECT_EQ(Value(*hero, 40, "color4"), ColorNames[size_t(DefaultColors[4])]);
  EXPECT_EQ(Value(*hero, 40, "chat"), "(none)");
  EXPECT_EQ(s.Scene.SelectedActor, hero);
  EXPECT_EQ(s.GridMode, 1);
  s.ShowTime(20);
  EXPECT_FALSE(hero->Visible) << "invisible before its first key";

  TZeltoActor *text = s.AddTextActor(5, 6);
  EXPECT_EQ(Value(*text, 20, "text"), "text");
  EXPECT_EQ(Value(*text, 20, "dx"), "5");
  EXPECT_EQ(s.ActorListItems(), (std::vector<std::string>{"Velk", "Actor " + hero->Name, "Actor " + text->Name}));
  ASSERT_EQ(s.History.Count(), 2);
  EXPECT_EQ(s.History.At(1).Kind, okAddActor);
  s.Undo();
  EXPECT_EQ(ani.Actors.size(), 1u);
  s.Redo();
  ASSERT_EQ(ani.Actors.size(), 2u);

  // Delete, then undo of the earlier edit, then delete again: nothing points at a freed actor.
  s.SelectActor(text);
  s.DeleteActor();
  EXPECT_EQ(ani.Actors.size(), 1u);
  EXPECT_EQ(s.Scene.SelectedActor, nullptr);
  s.Undo();
  ASSERT_EQ(ani.Actors.size(), 2u);
  s.SelectActor(text);
  std::string value = "moved";
  s.SetGridRow(1, value);
  s.Undo();
  s.DeleteActor();
  EXPECT_TRUE(s.History.Keeps(text));
  s.Undo();
  EXPECT_EQ(ani.Actors.size(), 2u);
}

TEST_F(MovieEditingTest, CopyAndInsertGiveOneKeyAtTheInsertTimeAndTheCopysName)
{
  TEditSession &s = StartMovie();
  TZeltoActor *text = s.AddTextActor(0, 0);
  const int counter = Context().ActorNameCounters[akText];
  s.CopyActorCommand();
  EXPECT_EQ(Context().ActorNameCounters[akText], counter) << "the copy gives its name number back";
  s.ShowTime(30);
  s.InsertActor();
  TZeltoActor *inserted = s.Scene.SelectedActor;
  ASSERT_NE(inserted, text);
  EXPECT_EQ(inserted->Name, "Text" + std::to_string(counter));
  ASSERT_EQ(inserted->Keys.size(), 1u);
  EXPECT_EQ(inserted->Keys[0]->Time, 30);
}

TEST_F(MovieEditingTest, DraggingAnActorKeysItAndARunOfMovesUndoesAtOnce)
{
  TEditSession &s = StartMovie();
  TZeltoActor *text = s.AddTextActor(10, 10);
  s.ShowTime(0);
  s.DrawCanvas(); // text actors are hit where their lines were drawn
  const QPoint from = On(*text);
  s.MouseDown(false, from.x(), from.y());
  EXPECT_EQ(s.Scene.DragMode, dmActor);
  s.MouseMove(from.x() + 5, from.y());
  s.MouseMove(from.x() + 30, from.y() + 4);
  s.MouseUp(from.x() + 30, from.y() + 4);
  EXPECT_EQ(text->DX, 40);
  EXPECT_EQ(Value(*text, 0, "dx"), "40");
  EXPECT_EQ(Value(*text, 0, "dy"), "14");
  ASSERT_EQ(s.History.Count(), 2) << "the add and one entry for the moves";
  s.Undo();
  EXPECT_EQ(Value(*text, 0, "dx"), "10");
}

TEST_F(MovieEditingTest, KeysDragAlongTheTimeLineAndMergeOnRelease)
{
  TEditSession &s = StartMovie();
  TZeltoActor *text = s.AddTextActor(0, 0);
  SetKey(text, 20, "text", "later");
  SetKey(text, 20, "bold", "true");
  s.DrawCanvas();
  const TCanvasGeometry g = s.Geometry();
  const int strip = g.TimelineTop + 8;
  EXPECT_EQ(s.FindKeyNearX(RulerX(g, 20) + 3), 1);
  EXPECT_TRUE(s.OverKey(RulerX(g, 20), strip));
  s.MouseDown(false, RulerX(g, 20), strip);
  EXPECT_EQ(s.Scene.DragMode, dmKey);
  s.MouseMove(RulerX(g, 0), strip);
  s.MouseUp(RulerX(g, 0), strip);
  ASSERT_EQ(text->Keys.size(), 1u) << "merged with the key at 0";
  EXPECT_EQ(Value(*text, 0, "text"), "later") << "the dragged key's values win";
  EXPECT_EQ(s.DragKey, nullptr);
}

// An undo in the middle of a key drag ends the drag first, which records it, and undoes it; the
// rest of the drag writes nothing, and a further undo may take the key's actor out of the movie.
TEST_F(MovieEditingTest, UndoInTheMiddleOfAKeyDragEndsItFirst)
{
  TEditSession &s = StartMovie();
  TZeltoActor *text = s.AddTextActor(0, 0);
  SetKey(text, 20, "bold", "true");
  s.DrawCanvas();
  const TCanvasGeometry g = s.Geometry();
  const int strip = g.TimelineTop + 8;
  s.MouseDown(false, RulerX(g, 20), strip);
  s.MouseMove(RulerX(g, 10), strip);
  s.Undo();
  EXPECT_EQ(s.DragKey, nullptr);
  EXPECT_EQ(text->Keys.back()->Time, 20) << "the drag is undone";
  s.MouseMove(RulerX(g, 30), strip);
  s.MouseUp(RulerX(g, 30), strip);
  EXPECT_EQ(text->Keys.back()->Time, 20) << "the rest of the drag writes nothing";
  s.Undo(); // the text actor goes
  EXPECT_TRUE(s.GetCurrentAni()->Actors.empty());
  s.Redo();
  s.Redo();
  ASSERT_EQ(s.GetCurrentAni()->Actors.size(), 1u);
  EXPECT_EQ(text->Keys.back()->Time, 10) << "the key stays where the drag was let go";
}

// A movie has no frames: the frame commands change nothing in it (the window hides their buttons;
// a frame made here would keep parts of a definition deleted in movie mode).
TEST_F(MovieEditingTest, FrameCommandsDoNothingInAMovie)
{
  TEditSession &s = StartMovie();
  s.AddTextActor(0, 0);
  const std::string before = AnimationText(&*s.GetCurrentAni());
  const int entries = s.History.Count();
  s.AddFrame();
  s.InsertFrameAfter();
  s.ReverseFrames();
  s.SetSingleDirection(true);
  s.AddSound("step.wav", 0, 0);
  s.DeleteFrame(0);
  EXPECT_TRUE(s.GetCurrentAni()->Steps.empty());
  EXPECT_EQ(AnimationText(&*s.GetCurrentAni()), before);
  EXPECT_EQ(s.History.Count(), entries);
}

TEST_F(MovieEditingTest, KeyMenusNeverTakeLockedRowsFromTheFirstKey)
{
  TEditSession &s = StartMovie();
  TZeltoActor *hero = s.AddCharacterActor();
  s.GridKeyMenu(4, 0, 0); // dx at the first key's time
  EXPECT_EQ(s.MenuKey, nullptr);
  s.ShowTime(30);
  s.GridKeyMenu(4, 0, 0);
  EXPECT_EQ(s.MenuRow, 4) << "no key now: the add menu";
  EXPECT_EQ(s.MenuKey, nullptr);
  s.AddKey1Click();
  EXPECT_EQ(Value(*hero, 30, "dx"), "0");
  EXPECT_EQ(Value(*hero, 30, "dy"), "0");
  EXPECT_TRUE(s.RowHasKeyNow(4));
  s.GridKeyMenu(4, 0, 0);
  ASSERT_NE(s.MenuKey, nullptr);
  s.DeleteKey1Click();
  EXPECT_EQ(Value(*hero, 30, "dx"), "(none)");
  EXPECT_EQ(Value(*hero, 30, "dy"), "(none)") << "dx takes dy with it";

  // The strip's menu deletes a whole key, and the movie is modified.
  SetKey(hero, 40, "layer", "2");
  s.GetCurrentAni()->Modified = false;
  s.DrawCanvas();
  const TCanvasGeometry g = s.Geometry();
  s.MouseDown(true, RulerX(g, 40), g.TimelineTop + 8);
  s.MouseUp(RulerX(g, 40), g.TimelineTop + 8);
  EXPECT_EQ(s.MenuRow, -1);
  ASSERT_NE(s.MenuKey, nullptr);
  s.DeleteKey1Click();
  EXPECT_EQ(Value(*hero, 40, "layer"), "(none)");
  EXPECT_TRUE(s.GetCurrentAni()->Modified);
}

// With the walk rule on, moving a character writes its direction and animation into keys beside
// the coordinates; what is drawn follows those keys at once, not only after the time changes.
TEST_F(MovieEditingTest, MovedCharactersShowWhatTheWalkRuleKeyed)
{
  TEditSession &s = StartMovie();
  TZeltoActor *hero = s.AddCharacterActor();
  s.ShowTime(23);
  s.SelectActor(hero);
  s.KeyDown(TKey::Right, false, false);
  ASSERT_EQ(Value(*hero, 23, "dir"), "3");
  EXPECT_EQ(hero->Dir, 3) << "turned right as its key says";
  s.ShowTime(10);
  EXPECT_EQ(Value(*hero, 0, "ani"), "walk");
  ASSERT_NE(hero->Ani, nullptr);
  EXPECT_EQ(hero->Ani->Name, "walk") << "walking between the keys";
  s.ShowTime(23);
  const QPoint from = On(*hero);
  s.MouseDown(false, from.x(), from.y());
  s.MouseMove(from.x(), from.y() - 30);
  s.MouseUp(from.x(), from.y() - 30);
  EXPECT_EQ(Value(*hero, 23, "dir"), "0");
  EXPECT_EQ(hero->Dir, 0) << "turned up while dragged up";
}

TEST_F(MovieEditingTest, KeysMoveLayerAndCycleActors)
{
  TEditSession &s = StartMovie();
  TZeltoActor *a = s.AddTextActor(0, 0);
  TZeltoActor *b = s.AddTextActor(0, 0);
  TZeltoActor *c = s.AddSoundActor("", 0, 0);
  s.SelectActor(a);
  s.KeyDown(TKey::Right, false, false);
  s.KeyDown(TKey::Down, false, false);
  s.KeyDown(TKey::PadPlus, false, false);
  EXPECT_EQ(a->DX, 1);
  EXPECT_EQ(a->DY, 1);
  EXPECT_EQ(a->Layer, 3) << "at most 3";
  s.KeyDown(TKey::PadMinus, false, false);
  EXPECT_EQ(a->Layer, 2);
  s.SelectActor(c);
  s.KeyDown(TKey::PadPlus, false, false);
  EXPECT_EQ(s.Scene.Zoom, 1.0) << "sounds have no layer, and nothing zooms";
  std::vector<TZeltoActor *> order;
  for (int i = 0; i < 3; ++i) {
    s.KeyDown(TKey::Tab, false, false);
    order.push_back(s.Scene.SelectedActor);
  }
  EXPECT_EQ(order.size(), 3u);
  EXPECT_EQ(std::set<TZeltoActor *>(order.begin(), order.end()), (std::set<TZeltoActor *>{a, b, c}));
  s.KeyDown(TKey::Delete, false, false);
  EXPECT_EQ(s.GetCurrentAni()->Actors.size(), 2u);
}

TEST_F(MovieEditingTest, PlayStartsBeforeZeroSoSoundsKeyedAtZeroPlay)
{
  TEditSession &s = StartMovie();
  TZeltoAni &ani = *s.GetCurrentAni();
  s.AddSoundActor(BundledGame() + "/chime.wav", 0, 0);
  played.clear();
  s.ShowTime(0);
  EXPECT_TRUE(played.empty()) << "the time did not change";
  s.Play();
  EXPECT_EQ(played.size(), 1u);
  ani.Length = 3;
  for (int i = 0; i < 5; ++i)
    s.Tick();
  EXPECT_FALSE(s.Playing);
  EXPECT_EQ(s.GetCurrentTime(), 3);
}

// A movie built from New: a character that walks from (0, 0) to (100, 0) over two seconds, a
// text actor and a sound actor; saved, read back identical, and evaluated by velk.
TEST_F(MovieEditingTest, AScriptedMovieSavesReadsBackAndEvaluates)
{
  TEditSession &s = StartMovie();
  TZeltoActor *hero = s.AddCharacterActor();
  ASSERT_TRUE(hero);
  s.ShowTime(40);
  s.DrawCanvas();
  const QPoint on = On(*hero);
  s.MouseDown(false, on.x(), on.y());
  s.MouseMove(on.x() + 50, on.y());
  s.MouseMove(on.x() + 100, on.y());
  s.MouseUp(on.x() + 100, on.y());
  EXPECT_EQ(Value(*hero, 40, "dx"), "100");
  EXPECT_EQ(Value(*hero, 0, "ani"), "walk") << "the automatic setting keys the walk";
  s.ShowTime(0);
  TZeltoActor *text = s.AddTextActor(20, -30);
  std::string words = "hello";
  s.SelectActor(text);
  s.SetGridRow(1, words);
  s.AddSoundActor(BundledGame() + "/step.wav", 0, 0);

  TempDir folder;
  const std::string file = folder.Path() + "/walkby.velk";
  dialogs.ChosenFiles.push_back(file);
  ASSERT_TRUE(s.SaveAs());
  const std::string saved = ReadWholeFile(file);
  EXPECT_NE(saved.find("FRAME 40 "), std::string::npos);
  auto reread = ReadAnimation(s.EditActor.get(), file);
  ASSERT_TRUE(reread);
  EXPECT_EQ(AnimationText(reread.get()), saved) << "reads back identical";
  reread.reset();

  for (const auto &[time, dx] : std::vector<std::pair<int, int>>{{0, 0}, {20, 50}, {40, 100}}) {
    QProcess velk;
    velk.start(ZELTRIX_VELK_BINARY, {"--game-dir", QString::fromStdString(BundledGame()), "state",
                                     QString::fromStdString(file), "--time", QString::number(time)});
    ASSERT_TRUE(velk.waitForFinished(30000));
    const QJsonArray actors = QJsonDocument::fromJson(velk.readAllStandardOutput()).object()["Actors"].toArray();
    bool found = false;
    for (const QJsonValue &actor : actors)
      if (actor["Name"].toString().toStdString() == hero->Name) {
        found = true;
        EXPECT_EQ(actor["DX"].toInt(), dx) << "at " << time;
        EXPECT_EQ(actor["Ani"].toString(), time < 40 ? "walk" : "idle") << "at " << time;
      }
    EXPECT_TRUE(found) << "at " << time;
  }
}

} // namespace

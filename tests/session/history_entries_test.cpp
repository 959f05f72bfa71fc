// Each kind of history entry on a small document: the command changes the text and records one
// entry; undo gives back the text before it, the entry's frame and direction current; redo the
// text after it. Nothing the history names is freed.
#include <functional>

#include "model/actor.h"
#include "model/context.h"
#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace {

struct TCommandCase
{
  const char *what;
  bool movie;
  int shownFrame;                              // the frame undo makes current (-1: any)
  std::function<void(TEditSession &)> prepare; // not recorded: the history is cleared after it
  std::function<void(TEditSession &)> command;
};

std::string Typed(TEditSession &s, int row, const std::string &text)
{
  std::string value = text;
  s.SetGridRow(row, value);
  return value;
}

// A document of two four-direction frames, each with the shadow and a sword, and a sound.
void Prepare(TEditSession &s)
{
  TZeltoAni &ani = Frames(s, {3, 4});
  TZeltoAniSprite *swordSprite = AddDefinition(ani, 5, "sword1.png");
  swordSprite->Width = 8;
  swordSprite->Height = 24;
  swordSprite->Description = "sword";
  FindSprite(&ani, 0)->Attachments.push_back(
      std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{swordSprite, 2, 2}));
  for (auto &step : ani.Steps)
    for (TPartList &direction : step->Directions)
      direction.push_back(std::make_unique<TZeltoAniPart>(TZeltoAniPart{swordSprite, -1, -1, 30, 10}));
  ani.Steps[1]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"step.wav", 20, 20, 4}));
  s.SetCurrentFrame(1);
  s.SetDirection(1);
  s.UpdateSpriteListLayout();
}

TEST_F(SessionTest, EveryKindOfEntryUndoesAndRedoesItsCommand)
{
  const TCommandCase cases[] = {
      {"add a frame", false, 1, nullptr, [](TEditSession &s) { s.AddFrame(); }},
      {"delete a frame", false, 1, nullptr, [](TEditSession &s) { s.DeleteFrame(0); }},
      {"insert a copied frame", false, 1, [](TEditSession &s) { s.CopyFrame(); },
       [](TEditSession &s) { s.InsertFrameBefore(); }},
      {"reverse the frames", false, 1, nullptr, [](TEditSession &s) { s.ReverseFrames(); }},
      {"four directions to one", false, 1, nullptr, [](TEditSession &s) { s.SetSingleDirection(true); }},
      {"one direction to four", false, 5, [](TEditSession &s) { s.SetSingleDirection(true); },
       [](TEditSession &s) { s.SetSingleDirection(false); }},
      {"drag a frame start", false, 0, nullptr,
       [](TEditSession &s) {
         const TCanvasGeometry g = s.Geometry();
         const int x = RulerX(g, 3), y = g.TimelineTop + 5;
         s.MouseDown(false, x, y);
         for (int step = 1; step <= 30; ++step)
           s.MouseMove(x - step, y);
         s.MouseUp(x - 30, y);
       }},
      {"step the length", false, 1, [](TEditSession &s) { s.LastDragMode = dmLength; },
       [](TEditSession &s) {
         for (int i = 0; i < 3; ++i)
           s.KeyDown(TKey::Right, false, false);
       }},
      {"type a frame length", false, 1,
       [](TEditSession &s) {
         s.LastDragMode = dmFrameStart;
         s.Scene.LastFrameIndex = 1;
       },
       [](TEditSession &s) { Typed(s, 0, "1"); }},
      {"add a sound", false, 1, nullptr, [](TEditSession &s) { s.AddSound("chime.wav", 5, 5); }},
      {"move a sound by keys", false, 1,
       [](TEditSession &s) {
         s.LastDragMode = dmSound;
         s.LastSoundIndex = 0;
       },
       [](TEditSession &s) {
         for (int i = 0; i < 3; ++i)
           s.KeyDown(TKey::Right, false, false);
       }},
      {"type a sound's file", false, 1,
       [](TEditSession &s) {
         s.LastDragMode = dmSound;
         s.LastSoundIndex = 0;
       },
       [](TEditSession &s) { Typed(s, 0, "swing.wav"); }},
      {"click Loop", false, -1, nullptr,
       [](TEditSession &s) {
         std::string value;
         s.ClickGridRow(2, value);
       }},
      {"type a default slot", false, -1, nullptr, [](TEditSession &s) { Typed(s, 13, "3"); }},
      {"type a part's sprite", false, 1, nullptr, [](TEditSession &s) { Typed(s, 0, "5"); }},
      {"replace definitions", false, -1, nullptr,
       [](TEditSession &s) {
         TSpriteGrid grid;
         grid.Index = 4;
         grid.Columns = 3;
         s.AddSpriteDefinitions(grid);
       }},
      {"delete a definition", false, 0, nullptr, [](TEditSession &s) { s.DeleteSpriteDefinition(5); }},
      {"remove unused definitions", false, -1,
       [](TEditSession &s) {
         TSpriteGrid grid;
         grid.Index = 9;
         s.AddSpriteDefinitions(grid);
       },
       [](TEditSession &s) { s.RemoveUnusedSprites(); }},
      {"shift old offsets", false, -1, nullptr, [](TEditSession &s) { s.KeyDown(TKey::N, true, false); }},
      {"drop an image", false, 1, nullptr,
       [](TEditSession &s) { s.DropFiles({BundledGame() + "/sword1.png"}, 150, 100); }},
      {"rename an actor", true, -1, [](TEditSession &s) { s.AddTextActor(10, 10); },
       [](TEditSession &s) { Typed(s, 0, "Aardvark"); }},
      {"insert a copied actor", true, -1,
       [](TEditSession &s) {
         s.AddTextActor(10, 10);
         s.CopyActorCommand();
       },
       [](TEditSession &s) { s.InsertActor(); }},
      {"type the movie's length", true, -1, nullptr, [](TEditSession &s) { Typed(s, 0, "7.5"); }},
      {"the Zelto2002 body", true, -1, nullptr, [](TEditSession &s) { s.SetZelto2002Mode(true); }},
      {"add a key from the grid", true, -1,
       [](TEditSession &s) {
         s.AddTextActor(10, 10);
         s.ShowTime(30);
       },
       [](TEditSession &s) {
         s.GridKeyMenu(4, 0, 0);
         s.AddKey1Click();
       }},
  };
  for (const TCommandCase &c : cases) {
    SCOPED_TRACE(c.what);
    TEditSession &s = StartNew();
    if (c.movie)
      s.SwitchMovieMode(true);
    else
      Prepare(s);
    if (c.prepare)
      c.prepare(s);
    s.ClearHistory();
    TZeltoAni &ani = *s.GetCurrentAni();
    const std::string before = AnimationText(&ani);
    const int frame = s.GetCurrentFrame(), dir = s.EditActor->Dir;
    c.command(s);
    const std::string after = AnimationText(&ani);
    EXPECT_NE(after, before);
    EXPECT_EQ(s.History.Count(), 1);
    EXPECT_EQ(s.History.LiveProblem(&ani), "");
    s.SetCurrentFrame(0);
    s.Undo();
    EXPECT_EQ(AnimationText(&ani), before);
    if (c.shownFrame >= 0)
      EXPECT_EQ(s.GetCurrentFrame(), c.shownFrame) << "the frame of the change is current";
    if (c.shownFrame == frame)
      EXPECT_EQ(s.EditActor->Dir, dir);
    EXPECT_EQ(s.History.LiveProblem(&ani), "");
    s.Redo();
    EXPECT_EQ(AnimationText(&ani), after);
    s.Undo();
    s.Redo();
    EXPECT_EQ(AnimationText(&ani), after);
    Context().Zelto2002Mode = false;
  }
}

} // namespace

// Playback, frame sounds, the add-sound command and the timeline gestures.
#include <climits>

#include "core/helpers.h"
#include "editor_fixture.h"
#include "model/default_frame.h"
#include "model/document.h"
#include "support/temp_dir.h"

namespace {

// Makes the window's document a fresh one with frames of the given durations.
TZeltoAni &UseFrames(TEditFrame &f, const std::vector<int> &durations, bool loop = false)
{
  f.Session.NewAnimation();
  TZeltoAni &ani = *f.Session.GetCurrentAni();
  ani.Steps.clear();
  for (size_t i = 0; i < durations.size(); ++i) {
    InsertDefaultFrame(&ani, int(i));
    ani.Steps[i]->Duration = durations[i];
  }
  ani.Loop = loop;
  RecomputeStartTicks(&ani);
  f.Session.SetCurrentFrame(0);
  return ani;
}

// The frame drawn on each of count timer ticks.
std::vector<int> FramesShown(TEditFrame &f, int count)
{
  std::vector<int> shown;
  for (int i = 0; i < count; ++i) {
    shown.push_back(f.Session.GetCurrentFrame());
    f.Timer1Timer();
  }
  return shown;
}

} // namespace

TEST_F(EditorTest, PlaysFramesForTheirDurationsThenStopsOrLoops)
{
  TEditFrame &f = Start();
  UseFrames(f, {2, 2, 2});
  f.SpeedButton12Click();
  EXPECT_EQ(FramesShown(f, 6), (std::vector<int>{0, 0, 1, 1, 2, 2}));
  EXPECT_FALSE(f.Session.Playing);
  EXPECT_EQ(f.Session.GetCurrentFrame(), 2);
  EXPECT_EQ(f.Session.GetCurrentTime(), 4);
  // Ticks after the end change nothing.
  FramesShown(f, 3);
  EXPECT_EQ(f.Session.GetCurrentFrame(), 2);

  UseFrames(f, {2, 2, 2}, true);
  f.SpeedButton12Click();
  EXPECT_EQ(FramesShown(f, 9), (std::vector<int>{0, 0, 1, 1, 2, 2, 0, 0, 1}));
  EXPECT_TRUE(f.Session.Playing);
  EXPECT_EQ(f.Session.GetCurrentTime(), 3);

  // Stop keeps the frame where playback left it and asks for a redraw.
  f.Session.NeedsRedraw = false;
  f.Button4Click();
  EXPECT_FALSE(f.Session.Playing);
  EXPECT_TRUE(f.Session.NeedsRedraw);
  EXPECT_EQ(f.Session.GetCurrentFrame(), 1);
  // Play restarts from the first frame.
  f.SpeedButton12Click();
  EXPECT_EQ(f.Session.GetCurrentFrame(), 0);
  EXPECT_EQ(f.Session.GetFrameTick(), 0);
  EXPECT_EQ(f.Session.GetCurrentTime(), 0);
}

TEST_F(EditorTest, PlayOnAContinuousAnimationKeepsRunning)
{
  TEditFrame &f = Start();
  TZeltoAni &ani = UseFrames(f, {2, 2, 2}, true);
  ani.Continuous = true;
  f.SpeedButton12Click();
  FramesShown(f, 3);
  ASSERT_EQ(f.Session.GetCurrentFrame(), 1);
  f.SpeedButton12Click();
  EXPECT_EQ(f.Session.GetCurrentFrame(), 1);
  EXPECT_EQ(f.Session.GetFrameTick(), 1);
  // On the last frame a press restarts it.
  FramesShown(f, 1);
  ASSERT_EQ(f.Session.GetCurrentFrame(), 2);
  f.SpeedButton12Click();
  EXPECT_EQ(f.Session.GetCurrentFrame(), 0);
  // Stopped, a press restarts it too.
  FramesShown(f, 3);
  f.Button4Click();
  f.SpeedButton12Click();
  EXPECT_EQ(f.Session.GetCurrentFrame(), 0);
}

TEST_F(EditorTest, FrameSoundsPlayAtTheirTick)
{
  TEditFrame &f = Start();
  TZeltoAni &ani = UseFrames(f, {3, 2});
  auto sound = std::make_unique<TZeltoAniSound>();
  sound->FileName = "step.wav";
  sound->Tick = 2;
  ani.Steps[0]->Sounds.push_back(std::move(sound));
  auto missing = std::make_unique<TZeltoAniSound>();
  missing->FileName = "nothing.wav";
  missing->Tick = 1;
  ani.Steps[1]->Sounds.push_back(std::move(missing));

  f.SpeedButton12Click();
  f.Timer1Timer(); // tick 1 of frame 0
  EXPECT_TRUE(played.empty());
  f.Timer1Timer(); // tick 2 of frame 0
  ASSERT_EQ(played.size(), 1u);
  EXPECT_EQ(played[0], LowerCase(BundledGame() + "/step.wav"));
  FramesShown(f, 5);
  // The missing file is skipped; the sound at tick 2 played once.
  EXPECT_EQ(played.size(), 1u);
  EXPECT_FALSE(f.Session.Playing);
}

TEST_F(EditorTest, AddSoundAppendsToTheCurrentFrameAtTheFrameTick)
{
  TEditFrame &f = Start();
  TZeltoAni &ani = UseFrames(f, {4, 4});
  f.Session.SetCurrentFrame(1);
  f.Session.SetFrameTick(2);
  f.SpeedButton35Click();
  ASSERT_EQ(ani.Steps[1]->Sounds.size(), 1u);
  const TZeltoAniSound &added = *ani.Steps[1]->Sounds[0];
  EXPECT_EQ(added.FileName, "");
  EXPECT_EQ(added.Tick, 3);
  EXPECT_EQ(added.X, 24);
  EXPECT_EQ(added.Y, 32);
  EXPECT_TRUE(ani.Modified);
  EXPECT_TRUE(f.Session.Scene.Selection.empty());
  EXPECT_EQ(f.Session.LastDragMode, dmSound);
  EXPECT_EQ(f.Session.LastSoundIndex, 0);
  EXPECT_TRUE(played.empty());

  f.Session.AddSound(BundledGame() + "/swing.wav", -5, 7);
  ASSERT_EQ(ani.Steps[1]->Sounds.size(), 2u);
  EXPECT_EQ(ani.Steps[1]->Sounds[1]->FileName, "swing.wav");
  EXPECT_EQ(f.Session.LastSoundIndex, 1);
  EXPECT_EQ(played.size(), 1u);

  // Without a valid current frame nothing is added.
  f.Session.SetCurrentFrame(5);
  f.SpeedButton35Click();
  EXPECT_EQ(ani.Steps[1]->Sounds.size(), 2u);
}

class TimelineTest : public EditorTest
{
protected:
  TEditFrame &StartAt800()
  {
    TEditFrame &f = Start();
    f.resize(800, 600);
    f.UpdateLayout();
    return f;
  }
};

TEST_F(TimelineTest, FrameStartDragMovesOneTickPerMoveAndStopsAtOneTick)
{
  TEditFrame &f = StartAt800();
  TZeltoAni &ani = UseFrames(f, {4, 4, 4});
  auto sound = std::make_unique<TZeltoAniSound>();
  sound->Tick = 4;
  ani.Steps[0]->Sounds.push_back(std::move(sound));
  // The ruler's scale follows the length, so positions are taken afresh.
  auto x = [&](int tick) { return RulerX(f.Session.Geometry(), tick); };
  const TCanvasGeometry g = f.Session.Geometry();
  const int top = g.TimelineTop + 5;

  f.DXDraw1MouseDown(Qt::LeftButton, x(4) + 2, top, {});
  EXPECT_EQ(f.Session.Scene.DragFrameIndex, 1);
  EXPECT_EQ(f.Session.Scene.DragMode, dmFrameStart);
  for (int i = 0; i < 10; ++i)
    f.DXDraw1MouseMove(g.TimelineLeft, top, {});
  // Frame 0 keeps one tick; its sound moves into it; later frames follow.
  EXPECT_EQ(ani.Steps[0]->Duration, 1);
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->Tick, 1);
  EXPECT_EQ(ani.Steps[1]->StartTick, 1);
  EXPECT_EQ(ani.Steps[2]->StartTick, 5);
  EXPECT_EQ(ani.Length, 9);
  EXPECT_TRUE(ani.Modified);
  f.DXDraw1MouseUp(Qt::LeftButton, g.TimelineLeft, top);
  EXPECT_EQ(f.Session.Scene.LastFrameIndex, 1);
  EXPECT_EQ(f.Session.LastDragMode, dmFrameStart);
  EXPECT_EQ(f.Session.Scene.DragFrameIndex, -1);

  // One move to the far right lengthens frame 1 by a single tick.
  f.DXDraw1MouseDown(Qt::LeftButton, x(5), top, {});
  ASSERT_EQ(f.Session.Scene.DragFrameIndex, 2);
  f.DXDraw1MouseMove(g.TimelineRight - 1, top, {});
  EXPECT_EQ(ani.Steps[1]->Duration, 5);
  EXPECT_EQ(ani.Length, 10);
  f.DXDraw1MouseUp(Qt::LeftButton, g.TimelineRight - 1, top);

  // Frame 0 is chosen but never moves.
  f.DXDraw1MouseDown(Qt::LeftButton, x(0), top, {});
  EXPECT_EQ(f.Session.Scene.DragFrameIndex, 0);
  f.DXDraw1MouseMove(x(3), top, {});
  EXPECT_EQ(ani.Steps[0]->Duration, 1);
  f.DXDraw1MouseUp(Qt::LeftButton, x(3), top);

  // A press 5 or more pixels left of every start finds nothing.
  f.DXDraw1MouseDown(Qt::LeftButton, x(0) - 5, top, {});
  EXPECT_EQ(f.Session.Scene.DragFrameIndex, -1);
}

TEST_F(TimelineTest, RulerDragsTimeOrLength)
{
  TEditFrame &f = StartAt800();
  TZeltoAni &ani = UseFrames(f, {40, 40, 40});
  SetModified(&ani, false);
  auto x = [&](int tick) { return RulerX(f.Session.Geometry(), tick); };
  const TCanvasGeometry g = f.Session.Geometry();
  const int y = g.TimelineTop + 30;

  // Inside the animation: the time, and the frame that holds it.
  f.DXDraw1MouseDown(Qt::LeftButton, x(60), y, {});
  EXPECT_EQ(f.Session.Scene.DragMode, dmTime);
  EXPECT_EQ(f.Session.GetCurrentTime(), 60);
  EXPECT_EQ(f.Session.GetCurrentFrame(), 1);
  EXPECT_EQ(f.Session.GetFrameTick(), 20);
  // Beyond the end the time stops at the last tick.
  f.DXDraw1MouseMove(g.TimelineRight, y, {});
  EXPECT_EQ(f.Session.GetCurrentTime(), 119);
  EXPECT_EQ(f.Session.GetCurrentFrame(), 2);
  EXPECT_EQ(ani.Length, 120);
  EXPECT_FALSE(ani.Modified);
  f.DXDraw1MouseUp(Qt::LeftButton, g.TimelineRight, y);

  // At the end: the length, at most 5 ticks per move.
  f.Session.ShowTime(0);
  f.DXDraw1MouseDown(Qt::LeftButton, x(120), y, {});
  EXPECT_EQ(f.Session.Scene.DragMode, dmLength);
  EXPECT_EQ(ani.Length, 120);
  f.DXDraw1MouseMove(g.TimelineRight, y, {});
  EXPECT_EQ(ani.Length, 125);
  EXPECT_EQ(ani.Steps[2]->Duration, 45);
  EXPECT_TRUE(ani.Modified);
  f.DXDraw1MouseMove(g.TimelineRight, y, {});
  EXPECT_EQ(ani.Length, 130);
  // Shortening stops where the last frame keeps one tick.
  for (int i = 0; i < 12; ++i)
    f.DXDraw1MouseMove(g.TimelineLeft, y, {});
  EXPECT_EQ(ani.Length, 81);
  EXPECT_EQ(ani.Steps[2]->Duration, 1);
  f.DXDraw1MouseUp(Qt::LeftButton, g.TimelineLeft, y);

  // Right presses and presses above the band leave the timeline alone.
  f.DXDraw1MouseDown(Qt::RightButton, x(2), y, {});
  f.DXDraw1MouseDown(Qt::LeftButton, x(2), g.TimelineTop - 1, {});
  EXPECT_EQ(f.Session.GetCurrentTime(), 0);
}

TEST_F(TimelineTest, RulerOfTheLargestLengthStillDrags)
{
  TEditFrame &f = StartAt800();
  TZeltoAni &ani = UseFrames(f, {INT_MAX - 10, 20}); // the length saturates at INT_MAX
  ASSERT_EQ(ani.Length, INT_MAX);
  const TCanvasGeometry g = f.Session.Geometry();
  const int y = g.TimelineTop + 30;
  f.DXDraw1MouseDown(Qt::LeftButton, g.TimelineRight, y, {});
  EXPECT_EQ(f.Session.Scene.DragMode, dmLength);
  f.DXDraw1MouseMove(g.TimelineRight, y, {});
  EXPECT_EQ(ani.Length, INT_MAX);
  f.DXDraw1MouseMove(g.TimelineLeft, y, {});
  EXPECT_EQ(ani.Length, INT_MAX - 5);
  EXPECT_EQ(ani.Steps[1]->Duration, 5);
  f.DXDraw1MouseUp(Qt::LeftButton, g.TimelineLeft, y);
}

TEST_F(TimelineTest, CursorShowsOverDraggableFrameStarts)
{
  TEditFrame &f = StartAt800();
  UseFrames(f, {10, 10});
  const TCanvasGeometry g = f.Session.Geometry();
  const int top = g.TimelineTop + 3;
  EXPECT_TRUE(f.Session.OverFrameStart(RulerX(g, 10) + 20, top));
  EXPECT_FALSE(f.Session.OverFrameStart(RulerX(g, 10) + 20, top + 15));
  // Nearest to frame 0, which cannot be dragged.
  EXPECT_FALSE(f.Session.OverFrameStart(RulerX(g, 1), top));
  EXPECT_FALSE(f.Session.OverFrameStart(g.TimelineRight, top));
}

TEST_F(EditorTest, TimerRedrawsOnlyWhenAsked)
{
  TEditFrame &f = Start();
  f.Session.Scene.RedrawCountdown = 2;
  f.Session.NeedsRedraw = true;
  f.Timer1Timer();
  EXPECT_EQ(f.Session.Scene.RedrawCountdown, 1);
  EXPECT_FALSE(f.Session.NeedsRedraw);
  f.Timer1Timer();
  f.Timer1Timer();
  EXPECT_EQ(f.Session.Scene.RedrawCountdown, 0);
  // The draw reaches the back buffer: the timeline band's light colour shows at the bottom.
  f.resize(800, 600);
  f.UpdateLayout();
  f.Session.Setup.Display.Surface().Fill(0x123456);
  f.Session.NeedsRedraw = true;
  f.Timer1Timer();
  EXPECT_NE(f.Session.Setup.Display.Surface().Pixel(300, f.Session.Geometry().TimelineTop + 2), 0x123456u);
}

TEST_F(EditorTest, MoviePlaybackAdvancesTheTimeAndStopsOrWraps)
{
  TempDir dir;
  TEditFrame &f = Start();
  f.Session.OpenAnimation(dir.Write("scene.velk", "VELK0002\r\nFRAMES 2\r\nMOVIE\r\nMOVIEEND\r\n"));
  ASSERT_TRUE(f.Session.MovieMode);
  f.Session.Playing = true;
  std::vector<int> times;
  for (int i = 0; i < 4; ++i) {
    f.Timer1Timer();
    times.push_back(f.Session.GetCurrentTime());
  }
  EXPECT_EQ(times, (std::vector<int>{1, 2, 2, 2}));
  EXPECT_FALSE(f.Session.Playing);

  f.Session.GetCurrentAni()->Loop = true;
  f.Session.Playing = true;
  f.Timer1Timer();
  EXPECT_EQ(f.Session.GetCurrentTime(), 0);
  EXPECT_TRUE(f.Session.Playing);
}

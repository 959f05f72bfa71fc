// The frame timing under random use of the time line (frame starts and the length dragged on the
// frame strip and the ruler, the arrow keys after them, clicks on the ruler), of frame sounds
// (added, dragged, nudged, dragged out of the view) and of frame commands: the frames always start
// where the durations before them end, the length is their sum, every duration and every sound's
// tick lies within its frame, the time stays within the animation, and the text reads back the same.
#include <cstdlib>
#include <random>

#include "core/helpers.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"

namespace {

class TimelinePropertyTest : public SessionTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  TZeltoAni &Ani() { return *session->GetCurrentAni(); }

  void RandomTimelineUse()
  {
    TEditSession &s = *session;
    const TCanvasGeometry g = s.Geometry();
    const int length = Ani().Length;
    const int frameRow = g.TimelineTop + 8, ruler = g.TimelineTop + 25;
    switch (Random(12)) {
    case 0: { // a frame start dragged on the frame strip
      const TZeltoAniStep &step = *Ani().Steps[size_t(Random(int(Ani().Steps.size())))];
      const int x = RulerX(g, step.StartTick);
      Drag(QPoint(x, frameRow), QPoint(x + Random(61) - 30, frameRow));
      break;
    }
    case 1: { // the length dragged at the ruler's end
      const int x = RulerX(g, length);
      Drag(QPoint(x, ruler), QPoint(x + Random(61) - 30, ruler));
      break;
    }
    case 2: { // a click on the ruler
      const QPoint p(RulerX(g, Random(length + 1)), ruler);
      Drag(p, p);
      break;
    }
    case 3:
    case 4: { // the arrows act on what was last pressed
      static const TKey keys[] = {TKey::Left, TKey::Right, TKey::Up, TKey::Down};
      for (int i = Random(5); i >= 0; --i)
        s.KeyDown(keys[Random(4)], false, false);
      break;
    }
    case 5: // a sound added at a point of the scene, and so made the sound the keys move
      s.AddSound("", g.ViewRect.left() + Random(g.ViewRect.width()) - s.Scene.OriginX,
                 g.ViewRect.top() + Random(g.ViewRect.height()) - s.Scene.OriginY);
      break;
    case 6: { // a sound icon dragged, sometimes far out of the view
      const TZeltoAniStep *step = s.CurrentStep();
      if (!step || step->Sounds.empty())
        break;
      const TZeltoAniSound &sound = *step->Sounds[size_t(Random(int(step->Sounds.size())))];
      const QPoint from(s.Scene.OriginX + sound.X + 8, s.Scene.OriginY + sound.Y + 8);
      const int reach = Random(4) == 0 ? 700 : 30;
      Drag(from, from + QPoint(Random(2 * reach) - reach, Random(2 * reach) - reach));
      break;
    }
    case 7:
      s.AddFrame();
      break;
    case 8:
      if (Ani().Steps.size() > 1)
        s.DeleteFrame(Random(int(Ani().Steps.size())));
      break;
    case 9:
      s.ReverseFrames();
      break;
    case 10: { // a frame length typed in seconds in the grid
      s.LastDragMode = dmTime;
      static const char *typed[] = {"0.05", "0.5", "1", "2.25", "0", "-1", "x", "100000"};
      std::string value = typed[Random(8)];
      s.SetGridRow(0, value);
      break;
    }
    case 11:
      s.SetCurrentFrame(Random(int(Ani().Steps.size())));
      break;
    }
  }

  void ExpectConsistent(int step)
  {
    TZeltoAni &ani = Ani();
    long long start = 0;
    for (size_t i = 0; i < ani.Steps.size(); ++i) {
      const TZeltoAniStep &frame = *ani.Steps[i];
      ASSERT_EQ(frame.StartTick, start) << "frame " << i << " after use " << step;
      ASSERT_GE(frame.Duration, 1) << "frame " << i << " after use " << step;
      ASSERT_LE(frame.Duration, MaxFrameDuration) << "frame " << i << " after use " << step;
      for (const auto &sound : frame.Sounds)
        ASSERT_TRUE(sound->Tick >= 1 && sound->Tick <= frame.Duration)
            << "sound at " << sound->Tick << " in frame " << i << " of " << frame.Duration << " after use " << step;
      start += frame.Duration;
    }
    ASSERT_EQ(ani.Length, start) << "after use " << step;
    const int time = session->GetCurrentTime();
    ASSERT_TRUE(time >= 0 && time < ani.Length) << "time " << time << " after use " << step;
    const std::string text = AnimationText(&ani);
    TZeltoAni again;
    ASSERT_TRUE(ParseAnimation(again, nullptr, text));
    ASSERT_EQ(AnimationText(&again), text) << "after use " << step;
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(TimelinePropertyTest, FramesStayContiguousAndSoundsStayInTheirFrames)
{
  TEditSession &s = StartNew();
  for (int i = 0; i < 3; ++i)
    s.AddFrame();
  for (int i = 0; i < 500; ++i) {
    RandomTimelineUse();
    ExpectConsistent(i);
    if (HasFatalFailure())
      return;
  }
}

// Shortening the animation under the time line's marker moves the marker back inside, so a sound
// added there stays inside the last frame (a sound past the frame's end would lengthen it when
// the file is read again).
TEST_F(SessionTest, ShorteningTheLengthUnderTheMarkerKeepsNewSoundsInTheLastFrame)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  SetLength(&ani, 6);
  s.ShowTime(5);
  s.LastDragMode = dmLength;
  s.KeyDown(TKey::Left, false, false);
  ASSERT_EQ(ani.Length, 5);
  EXPECT_EQ(s.GetCurrentTime(), 4);
  s.AddSound("", 10, 10);
  const TZeltoAniStep &last = *ani.Steps.back();
  ASSERT_EQ(last.Sounds.size(), 1u);
  EXPECT_EQ(last.Sounds[0]->Tick, 5);
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, nullptr, AnimationText(&ani)));
  EXPECT_EQ(again.Length, 5) << "the saved waits do not lengthen the frame";
}

// Dragging the length or a frame start keeps the ruler's scale of the press until the release,
// so the end stays under the pointer instead of running away from it as the ruler grows.
TEST_F(SessionTest, LengthAndFrameStartDragsKeepTheScaleOfThePress)
{
  for (bool length : {true, false}) {
    SCOPED_TRACE(length ? "length" : "frame start");
    TEditSession &s = StartNew();
    TZeltoAni &ani = Frames(s, {2, 2});
    const TCanvasGeometry press = s.Geometry();
    const int y = press.TimelineTop + (length ? 30 : 5);
    const int from = RulerX(press, length ? ani.Length : ani.Steps[1]->StartTick);
    s.MouseDown(false, from, y);
    ASSERT_EQ(s.Scene.DragMode, length ? dmLength : dmFrameStart);
    for (int x = from; x <= from + 60; x += 3)
      s.MouseMove(x, y);
    EXPECT_EQ(s.Geometry().TimelineTicks, press.TimelineTicks) << "the ruler keeps its scale";
    const int width = press.TimelineRight - press.TimelineLeft;
    const int expected = RoundHalfUp(double(from + 60 - press.TimelineLeft) * press.TimelineTicks / width);
    EXPECT_EQ(length ? ani.Length : ani.Steps[1]->StartTick, expected);
    s.MouseUp(from + 60, y);
    EXPECT_EQ(s.Geometry().TimelineTicks, RulerTicks(ani.Length)) << "and takes the new one at the release";
  }
}

// The frame a press on the frame strip takes and the frames the split cursor shows over, against
// a walk over every frame, at every x of the band, for random durations (many frames to a pixel).
TEST_P(TimelinePropertyTest, FrameStartLookupsFindWhatAWalkOverEveryFrameFinds)
{
  TEditSession &s = StartNew();
  std::vector<int> durations;
  for (int i = 0, count = 1 + Random(400); i < count; ++i)
    durations.push_back(1 + Random(i % 50 == 0 ? 300 : 4));
  const TZeltoAni &ani = Frames(s, durations);
  const TCanvasGeometry g = s.Geometry();
  // The earliest of the nearest frame starts among those passing the test.
  auto walk = [&](int x, auto passes) {
    int found = -1, distance = 0;
    for (int i = 0; i < int(ani.Steps.size()); ++i) {
      const int d = std::abs(RulerX(g, ani.Steps[i]->StartTick) - x);
      if (passes(RulerX(g, ani.Steps[i]->StartTick) - x) && (found < 0 || d < distance)) {
        found = i;
        distance = d;
      }
    }
    return found;
  };
  for (int x = g.TimelineLeft - 40; x < g.TimelineRight + 40; ++x) {
    const int near = walk(x, [](int d) { return std::abs(d) < 30; });
    ASSERT_EQ(s.OverFrameStart(x, g.TimelineTop), x >= g.TimelineLeft && x < g.TimelineRight && near >= 1) << "x " << x;
    s.Scene.DragFrameIndex = -1;
    s.TimelineFrameDrag(x, true);
    ASSERT_EQ(s.Scene.DragFrameIndex, walk(x, [](int d) { return d < 5; })) << "x " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TimelinePropertyTest, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

} // namespace

#include "platform/display.h"
#include "platform/timer.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

TEST(Display, EventsCreateAndReleaseTheBackBufferInOrder)
{
  TDisplay display;
  std::string events;
  display.OnInitialize = [&] { events += "init(" + std::to_string(display.CanDraw()) + ") "; };
  display.OnFinalizeSurface = [&] { events += "final(" + std::to_string(display.CanDraw()) + ") "; };
  display.OnFlip = [&] { events += "flip "; };

  EXPECT_FALSE(display.CanDraw());
  display.Flip(); // nothing to present yet
  display.Initialize();
  ASSERT_TRUE(display.CanDraw());
  EXPECT_EQ(display.Surface().Width(), 1024);
  EXPECT_EQ(display.Surface().Height(), 1024);
  display.Flip();
  // A restore without its own handler is handled as a new initialisation.
  display.Restore();
  EXPECT_TRUE(display.CanDraw());
  display.Finalize();
  EXPECT_FALSE(display.CanDraw());
  display.Finalize();
  EXPECT_EQ(events, "init(1) flip final(1) init(1) final(1) ");

  events.clear();
  display.OnRestoreSurface = [&] { events += "restore "; };
  display.Initialize();
  display.Restore();
  EXPECT_EQ(events, "init(1) final(1) restore ");
}

// The back buffer follows the size asked for, within 1 and 1024 a side, without display events
// (the image surfaces stay); a restore keeps the size.
TEST(Display, BackBufferTakesTheSizeOfTheVisibleCanvas)
{
  TDisplay display;
  int events = 0;
  display.OnInitialize = display.OnFinalizeSurface = [&] { ++events; };
  display.SetBufferSize(400, 300);
  display.Initialize();
  EXPECT_EQ(display.Surface().Bounds(), QRect(0, 0, 400, 300));
  display.SetBufferSize(5000, -3);
  EXPECT_EQ(display.Surface().Bounds(), QRect(0, 0, 1024, 1));
  EXPECT_TRUE(display.CanDraw());
  EXPECT_EQ(events, 1);
  display.Restore();
  EXPECT_EQ(display.Surface().Bounds(), QRect(0, 0, 1024, 1));
}

TEST(TickTimer, RunsOnlyWhileEnabledAndTheApplicationIsActive)
{
  TTickTimer timer;
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  EXPECT_FALSE(timer.Running()); // starts disabled

  timer.SetApplicationActive(false);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Running());
  timer.SetApplicationActive(true);
  EXPECT_TRUE(timer.Running());

  QEventLoop loop;
  QTimer::singleShot(5 * TTickTimer::Interval + 20, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, 6);

  timer.SetApplicationActive(false);
  EXPECT_FALSE(timer.Running());
  timer.SetApplicationActive(true);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  const int before = ticks;
  QTimer::singleShot(3 * TTickTimer::Interval, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(ticks, before);
}

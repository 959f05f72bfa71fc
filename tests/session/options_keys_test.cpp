// The options grid's rows, and the keys and the wheel.
#include <climits>
#include <cmath>

#include "model/default_frame.h"
#include "model/reader.h"
#include "session/session_fixture.h"

namespace {

std::string Typed(TEditSession &s, int row, const std::string &text)
{
  std::string value = text;
  s.SetGridRow(row, value);
  return value;
}

TEST_F(SessionTest, FrameLengthsAreTypedInSeconds)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = Frames(s, {2, 2, 2});
  s.LastDragMode = dmFrameStart;
  s.Scene.LastFrameIndex = 1;
  EXPECT_EQ(s.GridRow(0).Label, "length");
  EXPECT_EQ(s.GridRow(0).Value, "0.1");
  const struct
  {
    std::string typed, shown;
    int ticks;
  } cases[] = {{"0.25", "0.25", 5}, {"0.01", "0.01", 5}, {"0.249", "0.2", 4}, {"0.27", "0.25", 5},
               {"", "", 5},         {"x", "x", 5},       {"1", "1", 20},      {"1e12", "86400", MaxFrameDuration}};
  for (const auto &c : cases) {
    EXPECT_EQ(Typed(s, 0, c.typed), c.shown) << c.typed;
    EXPECT_EQ(ani.Steps[1]->Duration, c.ticks) << c.typed;
    EXPECT_EQ(ani.Steps[2]->StartTick, 2 + c.ticks) << "later frames move along";
  }
  // The last frame's length is the document's.
  s.Scene.LastFrameIndex = 2;
  Typed(s, 0, "0.5");
  EXPECT_EQ(ani.Length, ani.Steps[2]->StartTick + 10);
}

// A length being typed is applied when the edit ends: the shorter lengths on the way would clamp
// the frame's sounds for good, and rewriting the text under the cursor would make some lengths
// impossible to type.
TEST_F(SessionTest, TypedLengthsApplyWhenTheEditEnds)
{
  struct Case
  {
    std::string typed;
    int ticks, soundTick;
    std::string shown;
  };
  const Case cases[] = {{"10", 200, 31, "10"}, {"0.249", 4, 4, "0.2"}, {"1.5", 30, 30, "1.5"}, {"x", 41, 31, "2.05"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.typed);
    TEditSession &s = StartNew();
    TZeltoAni &ani = Frames(s, {41, 2});
    ani.Steps[0]->Sounds.push_back(std::make_unique<TZeltoAniSound>());
    ani.Steps[0]->Sounds[0]->Tick = 31;
    s.LastDragMode = dmFrameStart;
    s.Scene.LastFrameIndex = 0;
    std::string value = s.GridRow(0).Value;
    ASSERT_TRUE(s.ClickGridRow(0, value));
    for (size_t n = 1; n <= c.typed.size(); ++n) {
      std::string typed = c.typed.substr(0, n);
      s.TypeGridRow(0, typed);
      EXPECT_EQ(typed, c.typed.substr(0, n)) << "the text being typed is left alone";
      EXPECT_EQ(ani.Steps[0]->Duration, 41);
      EXPECT_EQ(ani.Steps[0]->Sounds[0]->Tick, 31);
    }
    s.EndGridEdit();
    EXPECT_EQ(s.EditRow, -1);
    EXPECT_EQ(ani.Steps[0]->Duration, c.ticks);
    EXPECT_EQ(ani.Steps[1]->StartTick, c.ticks);
    EXPECT_EQ(ani.Steps[0]->Sounds[0]->Tick, c.soundTick);
    EXPECT_EQ(s.GridRow(0).Value, c.shown);
    EXPECT_EQ(ani.Modified, c.ticks != 41);
  }
  // A command between the keystrokes and the end (here a frame added before it) applies the
  // length to the frame it was typed for.
  TEditSession &s = StartNew();
  TZeltoAni &ani = Frames(s, {4, 4});
  s.LastDragMode = dmFrameStart;
  s.Scene.LastFrameIndex = 1;
  std::string value = "1";
  s.ClickGridRow(0, value);
  s.TypeGridRow(0, value);
  TZeltoAniStep *typedFor = ani.Steps[1].get();
  s.SetCurrentFrame(-1);
  s.AddFrame();
  s.MouseDown(false, 10, 10);
  EXPECT_EQ(typedFor->Duration, 20);
  EXPECT_EQ(ani.Steps[2].get(), typedFor);
}

TEST_F(SessionTest, OptionRowsShowToggleAndTakeTypedValues)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  EXPECT_EQ(s.GridRowCount(), 16);
  EXPECT_EQ(s.GridRow(0).Label, "Sprite #");
  EXPECT_EQ(s.GridRow(0).Value, "0");
  std::string value;
  EXPECT_FALSE(s.ClickGridRow(2, value));
  EXPECT_EQ(value, "true");
  EXPECT_TRUE(ani.Loop && ani.Modified);
  s.ClickGridRow(2, value);
  EXPECT_EQ(value, "false");

  ani.BackColor = 0xFF0000;
  EXPECT_EQ(s.GridRow(4).Value, "FF0000");
  dialogs.ChosenColor = 0xFF0000; // blue in the platform's order
  EXPECT_FALSE(s.ClickGridRow(4, value));
  EXPECT_EQ(dialogs.ShownColors.back(), 0x0000FFu);
  EXPECT_EQ(value, "0000FF");

  // Values the file keeps as one word are cut at their first blank; the row shows what was kept.
  EXPECT_TRUE(s.ClickGridRow(6, value));
  EXPECT_EQ(Typed(s, 6, "walk fast"), "walk fast") << "the text being typed stays";
  EXPECT_EQ(ani.SetBackTo, "walk");
  EXPECT_EQ(s.GridRow(6).Value, "walk");
  Typed(s, 13, " 7 8");
  EXPECT_EQ(s.GridRow(13).Value, "7");
  EXPECT_EQ(s.EditActor->ParamValues[0], 7);
  // A head the game folder does not know is not taken.
  Typed(s, 8, "nothere.png");
  EXPECT_EQ(ani.DefaultHead, "head19.png");
  Typed(s, 8, "images/SWORD1.png");
  EXPECT_EQ(ani.DefaultHead, "sword1.png");
  EXPECT_NE(s.EditActor->HeadImage->FileName.find("sword1.png"), std::string::npos);
}

TEST_F(SessionTest, PartSpritesTakeIndicesAndExistingSlotsOnly)
{
  TEditSession &s = StartNew();
  TZeltoAniPart &part = *Parts()[0];
  Typed(s, 0, "PARAM2");
  EXPECT_EQ(part.ParamSlot, 2);
  EXPECT_EQ(part.Sprite, nullptr);
  EXPECT_EQ(s.GridRow(0).Value, "PARAM2");
  for (const char *refused : {"PARAM9", "PARAM0", "ATTR10", "7", "x"}) {
    Typed(s, 0, refused);
    EXPECT_EQ(part.ParamSlot, 2) << refused;
  }
  Typed(s, 0, "ATTR9");
  EXPECT_EQ(part.AttrSlot, 9);
  EXPECT_EQ(part.ParamSlot, -1);
  Typed(s, 0, "0");
  EXPECT_EQ(part.Sprite, FindSprite(s.GetCurrentAni(), 0));
}

TEST_F(SessionTest, MovieLengthAndRowsFollowTheMovieLayout)
{
  TEditSession &s = StartNew();
  s.SwitchMovieMode(true);
  TZeltoAni &ani = *s.GetCurrentAni();
  EXPECT_EQ(s.GridRowCount(), 13);
  EXPECT_EQ(s.GridRow(0).Label, "Length");
  EXPECT_EQ(s.GridRow(4).Label, "Setbackto");
  Typed(s, 0, "2.5");
  EXPECT_EQ(ani.Length, 50);
  Typed(s, 0, "-");
  EXPECT_EQ(ani.Length, 1);
  Typed(s, 0, "1e300");
  EXPECT_EQ(ani.Length, INT_MAX) << "clamped to what a tick count holds";
  std::string value;
  s.ClickGridRow(1, value);
  EXPECT_TRUE(ani.Loop);
}

TEST_F(SessionTest, ZoomStaysWithinItsLimits)
{
  TEditSession &s = StartNew();
  int steps = 0;
  while (s.Scene.Zoom < MaxZoom && steps < 100) {
    s.ZoomBy(ZoomStep);
    ++steps;
  }
  EXPECT_EQ(steps, 24);
  EXPECT_EQ(s.Scene.Zoom, 16.0);
  EXPECT_NE(s.Scene.ZoomSurface, nullptr);
  s.ZoomBy(ZoomStep);
  EXPECT_EQ(s.Scene.Zoom, 16.0);
  while (s.Scene.Zoom > 1.125 + 1e-9)
    s.ZoomBy(1 / ZoomStep);
  s.ZoomBy(1 / ZoomStep);
  EXPECT_EQ(s.Scene.Zoom, 1.0) << "one step out from 1.125 is exactly 1";
  EXPECT_EQ(s.Scene.ZoomSurface, nullptr) << "released";
  s.ZoomBy(1 / ZoomStep);
  EXPECT_EQ(s.Scene.Zoom, 1.0);
}

TEST_F(SessionTest, KeysActOnWhatWasLastWorkedWith)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = Frames(s, {3, 3, 3});
  TZeltoAniPart &part = *Parts()[0];
  s.Scene.Selection = {0};
  // Arrows nudge the selection, unless a control has the focus.
  EXPECT_TRUE(s.KeyDown(TKey::Right, false, false));
  EXPECT_TRUE(s.KeyDown(TKey::Down, false, false));
  EXPECT_EQ(part.X, 13);
  EXPECT_EQ(part.Y, 35);
  EXPECT_FALSE(s.KeyDown(TKey::Right, false, true));
  EXPECT_EQ(part.X, 13);
  EXPECT_TRUE(s.KeyDown(TKey::Tab, false, false)) << "Tab is consumed";

  // After a sound was clicked the arrows move it; a stale index moves nothing.
  s.AddSound("", 40, 40);
  EXPECT_EQ(s.LastDragMode, dmSound);
  s.KeyDown(TKey::Left, false, false);
  s.KeyDown(TKey::Up, false, false);
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->X, 39);
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->Y, 39);
  s.SetCurrentFrame(1);
  s.KeyDown(TKey::Left, false, false);
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->X, 39) << "another frame's sound is not moved";

  // After clicking the third frame: Left shortens the second, Delete deletes the third.
  s.LastDragMode = dmFrameStart;
  s.Scene.LastFrameIndex = 2;
  s.KeyDown(TKey::Left, false, false);
  EXPECT_EQ(ani.Steps[1]->Duration, 2);
  s.KeyDown(TKey::Delete, false, false);
  EXPECT_EQ(ani.Steps.size(), 2u);

  // The time cursor and the length.
  s.LastDragMode = dmTime;
  s.ShowTime(0);
  s.KeyDown(TKey::Right, false, false);
  EXPECT_EQ(s.GetCurrentTime(), 1);
  s.KeyDown(TKey::Left, false, false);
  s.KeyDown(TKey::Left, false, false);
  EXPECT_EQ(s.GetCurrentTime(), 0);
  s.LastDragMode = dmLength;
  const int length = ani.Length;
  s.KeyDown(TKey::Right, false, false);
  EXPECT_EQ(ani.Length, length + 1);
  ani.Steps.back()->Duration = MaxFrameDuration;
  RecomputeStartTicks(&ani);
  s.KeyDown(TKey::Right, false, false);
  EXPECT_EQ(ani.Steps.back()->Duration, MaxFrameDuration) << "no frame longer than the reader accepts";

  // Numeric-pad keys reorder a selection, or zoom without one.
  s.LastDragMode = -1;
  s.Scene.Selection.clear();
  s.KeyDown(TKey::PadPlus, false, false);
  EXPECT_EQ(s.Scene.Zoom, ZoomStep);
  s.KeyDown(TKey::PadMinus, false, false);
  EXPECT_EQ(s.Scene.Zoom, 1.0);
}

TEST_F(SessionTest, ShiftOldOffsetsMovesPartsAndMarksTheDocument)
{
  TEditSession &s = StartNew();
  TZeltoAni &ani = *s.GetCurrentAni();
  TZeltoAniPart *bodyPart = AddShadow(10, 10);
  bodyPart->Sprite = AddDefinition(ani, 3, "BODY");
  TZeltoAniPart *otherPart = AddShadow(10, 10);
  otherPart->Sprite = AddDefinition(ani, 4);
  TZeltoAniPart *slotPart = AddShadow(10, 10);
  slotPart->Sprite = nullptr;
  slotPart->ParamSlot = 1;
  ani.Modified = false;
  EXPECT_TRUE(s.KeyDown(TKey::N, true, true)) << "Ctrl+N works with a control focused";
  EXPECT_EQ(QPoint(bodyPart->X, bodyPart->Y), QPoint(5, 6));
  EXPECT_EQ(QPoint(otherPart->X, otherPart->Y), QPoint(10, 2));
  EXPECT_EQ(QPoint(slotPart->X, slotPart->Y), QPoint(10, 10));
  EXPECT_EQ(QPoint(Parts()[0]->X, Parts()[0]->Y), QPoint(12, 34)) << "definition 0 stays";
  EXPECT_TRUE(ani.Modified);
}

TEST_F(SessionTest, TheWheelScrollsStepsOrZoomsByRegion)
{
  TEditSession &s = Start(); // idle: a strip taller than the canvas
  const TCanvasGeometry g = s.Geometry();
  const int last = s.SpriteListTotal - s.SpriteListPage();
  ASSERT_GT(last, 0);
  for (int i = 0; i < 100; ++i)
    s.Wheel(true, s.Scene.SpriteListLeft + 10, 10);
  EXPECT_EQ(s.Scene.SpriteListScroll, last);
  s.Wheel(false, s.Scene.SpriteListLeft + 10, 10);
  EXPECT_EQ(s.Scene.SpriteListScroll, last - 42);

  // A ten-tick animation's time stops at tick 9.
  s.NewAnimation();
  TZeltoAni &ani = Frames(s, {10});
  for (int i = 0; i < 15; ++i)
    s.Wheel(true, 200, g.TimelineTop + 30);
  EXPECT_EQ(s.GetCurrentTime(), 9);
  EXPECT_EQ(ani.Length, 10);
  // The strip of a list that fits stays at its top.
  for (int i = 0; i < 3; ++i)
    s.Wheel(true, s.Scene.SpriteListLeft + 10, 10);
  EXPECT_EQ(s.Scene.SpriteListScroll, 0);
  EXPECT_TRUE(s.Wheel(true, 200, 100));
  EXPECT_EQ(s.Scene.Zoom, ZoomStep);
  EXPECT_FALSE(s.Wheel(true, g.Width + 5, 100)) << "outside the canvas: not consumed";
}

} // namespace

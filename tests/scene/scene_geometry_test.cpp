// The canvas geometry the renderer and the input code share, and the window layout's origin.
#include <gtest/gtest.h>

#include <climits>

#include "model/actor.h"
#include "model/document.h"
#include "platform/surface.h"
#include "scene/renderer.h"
#include "scene/scene_state.h"

namespace {

TSceneState StateOf(int panelWidth, int panelHeight, int spriteListLeft)
{
  TSceneState state;
  state.PanelClientWidth = panelWidth;
  state.PanelHeight = panelHeight;
  state.SpriteListLeft = spriteListLeft;
  return state;
}

TEST(SceneGeometry, RegionsFollowThePanelAndTheCanvasLimit)
{
  TSceneState state = StateOf(600, 400, 17);
  TCanvasGeometry g = ComputeCanvasGeometry(state);
  EXPECT_EQ(g.Width, 600);
  EXPECT_EQ(g.TimelineTop, 350);
  EXPECT_EQ(g.SceneHeight, 350);
  EXPECT_EQ(g.ViewRect, QRect(67, 0, 533, 350));
  EXPECT_EQ(g.SceneViewRect, g.ViewRect);
  EXPECT_EQ(g.TimelineLeft, 80);
  EXPECT_EQ(g.TimelineRight, 585);
  EXPECT_EQ(g.TimelineTicks, 0); // no document

  // A panel larger than the canvas widget: the widget's 1024 pixels bound both sides.
  state = StateOf(2000, 1500, 17);
  state.CanvasLeft = 3;
  state.CanvasTop = 2;
  g = ComputeCanvasGeometry(state);
  EXPECT_EQ(g.Width, 1024);
  EXPECT_EQ(g.TimelineTop, 1500 - 2 - 50);
  EXPECT_EQ(g.SceneHeight, 1024);

  // A panel too small for the strip gives empty regions, not negative ones.
  g = ComputeCanvasGeometry(StateOf(30, 20, 17));
  EXPECT_EQ(g.ViewRect.width(), 0);
  EXPECT_EQ(g.SceneHeight, 0);
}

TEST(SceneGeometry, ZoomShowsACentredEvenSourceRectangle)
{
  TSceneState state = StateOf(351, 250, 0); // scene area 301 x 200 from x 50
  TSurface zoomSurface;
  state.ZoomSurface = &zoomSurface;
  state.Zoom = 2.0;
  TCanvasGeometry g = ComputeCanvasGeometry(state);
  ASSERT_EQ(g.ViewRect, QRect(50, 0, 301, 200));
  EXPECT_EQ(g.SceneViewRect, QRect(50 + 75, 50, 150, 100));

  state.Zoom = 16.0; // 301 / 16 = 18.8 rounds to 19, even 18; 200 / 16 = 12.5 rounds to 13, even 12
  g = ComputeCanvasGeometry(state);
  EXPECT_EQ(g.SceneViewRect, QRect(50 + 141, 94, 18, 12));

  state.Zoom = 1.0;
  EXPECT_EQ(ComputeCanvasGeometry(state).SceneViewRect, g.ViewRect);
  state.Zoom = 3.0;
  state.ZoomSurface = nullptr; // no zoom surface: nothing is magnified
  EXPECT_EQ(ComputeCanvasGeometry(state).SceneViewRect, g.ViewRect);
}

TEST(SceneGeometry, RulerCoversATenthMoreThanTheLength)
{
  EXPECT_EQ(RulerTicks(10), 12);
  EXPECT_EQ(RulerTicks(1), 2); // floor(1.2) equals the length
  EXPECT_EQ(RulerTicks(6), 7);
  EXPECT_EQ(RulerTicks(100), 120);
  EXPECT_EQ(RulerTicks(0), 1); // floor(0) equals the length too
  EXPECT_EQ(RulerTicks(-5), 0);
  EXPECT_GT(RulerTicks(2000000000), 0); // saturates instead of overflowing
  EXPECT_EQ(RulerTicks(INT_MAX), INT_MAX);

  TZeltoAni ani;
  ani.Length = 10;
  TZeltoActor actor(nullptr, MainActorCode);
  actor.Ani = &ani;
  TSceneState state = StateOf(600, 400, 17);
  state.EditActor = &actor;
  const TCanvasGeometry g = ComputeCanvasGeometry(state);
  EXPECT_EQ(g.TimelineTicks, 12);
  EXPECT_EQ(RulerX(g, 0), 80);
  EXPECT_EQ(RulerX(g, 1), 80 + 505 / 12);
  EXPECT_EQ(RulerX(g, 6), 80 + 252); // 252.5 floors
  EXPECT_EQ(RulerX(g, 12), 585);
}

TEST(SceneGeometry, LayoutOriginCentresTheGuideBox)
{
  // A client area of 800 x 600: Panel2 is 630 x 526 and the strip starts right of the scroll bar.
  TSceneState state = StateOf(630, 526, 17);
  EXPECT_EQ(LayoutOrigin(state), QPoint(67 + (630 - 67) / 2 - 24, (526 - 50) / 2 - 16));
  // Before the first layout the strip is still at 0.
  EXPECT_EQ(LayoutOrigin(0, 630, 476), QPoint(50 + 290 - 24, 238 - 16));
  // The canvas widget's size bounds the visible area.
  state = StateOf(3000, 3000, 17);
  EXPECT_EQ(LayoutOrigin(state), QPoint(67 + (1024 - 67) / 2 - 24, 1024 / 2 - 16));
}

TEST(SceneColours, DerivedFromTheBackColour)
{
  TSceneColours c = SceneColours(0x008000);
  EXPECT_EQ(c.Background, 0x008000);
  EXPECT_EQ(c.Light, 0x00C000);
  EXPECT_EQ(c.Guide, 0x00A000);
  EXPECT_EQ(c.Ink, 0x000000);

  c = SceneColours(0x000040); // 2g + r + b = 64: light ink
  EXPECT_EQ(c.Ink, 0xC0C0FF);
  EXPECT_EQ(c.Light, 0x004040);
  EXPECT_EQ(SceneColours(0x808080).Ink, 0);        // 512: black ink
  EXPECT_EQ(SceneColours(0x007F02).Ink, 0);        // 256 exactly: black
  EXPECT_EQ(SceneColours(0x007F01).Ink, 0xC0FFC1); // 255: light
  EXPECT_EQ(SceneColours(0x00F0F0).Light, 0x00FFF0);
  EXPECT_EQ(SceneColours(0x00F0F0).Guide, 0x00FFF0);
}

TEST(ColourNames, TableValues)
{
  EXPECT_EQ(ColorNameRgb(0), 0xFFFFFF);
  EXPECT_EQ(ColorNameRgb(2), 0xFFAD6B);
  EXPECT_EQ(ColorNameRgb(13), 0x00FFFF);
  EXPECT_EQ(ColorNameRgb(19), 0x008400);
  EXPECT_EQ(ColorNameRgb(20), 0);
  EXPECT_EQ(ColorNameRgb(-1), 0);
}

} // namespace

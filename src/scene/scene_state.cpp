#include "scene/scene_state.h"

#include <algorithm>
#include <climits>

#include "core/helpers.h"
#include "model/actor.h"
#include "model/document.h"

int RulerTicks(int length)
{
  if (length < 0)
    return 0;
  const int ticks = FloorEps(length * 1.2);
  // The largest length saturates: one more tick would overflow.
  return ticks == length && length < INT_MAX ? length + 1 : ticks;
}

int RulerX(const TCanvasGeometry &geometry, int tick)
{
  if (geometry.TimelineTicks <= 0)
    return geometry.TimelineLeft;
  const double width = geometry.TimelineRight - geometry.TimelineLeft;
  return geometry.TimelineLeft + FloorEps(double(tick) / geometry.TimelineTicks * width);
}

TCanvasGeometry ComputeCanvasGeometry(const TSceneState &state)
{
  TCanvasGeometry g;
  g.Width = std::max(0, std::min(state.PanelClientWidth - state.CanvasLeft, state.CanvasWidth));
  g.TimelineTop = state.PanelHeight - state.CanvasTop - state.TimelineHeight;
  g.SceneHeight = std::max(0, std::min(g.TimelineTop, state.CanvasHeight));
  const int sceneLeft = state.SpriteListLeft + SpriteListWidth;
  g.ViewRect = QRect(sceneLeft, 0, std::max(0, g.Width - sceneLeft), g.SceneHeight);
  g.TimelineLeft = RulerLeft;
  g.TimelineRight = g.Width - RulerRightMargin;
  const TZeltoAni *ani = state.EditActor ? state.EditActor->Ani : nullptr;
  g.TimelineTicks = !ani ? 0 : state.HeldRulerTicks > 0 ? state.HeldRulerTicks : RulerTicks(ani->Length);

  g.SceneViewRect = g.ViewRect;
  if (state.Zoom > 1.0 && state.ZoomSurface) {
    // Magnify about the centre of the scene area; even source sizes keep the centre on a pixel.
    const QRect &view = g.ViewRect;
    const int sw = RoundHalfUp(view.width() / state.Zoom) & ~1;
    const int sh = RoundHalfUp(view.height() / state.Zoom) & ~1;
    const int sx = std::clamp(view.left() + (view.width() - sw) / 2, view.left(), view.left() + view.width() - sw);
    const int sy = std::clamp((g.SceneHeight - sh) / 2, 0, g.SceneHeight - sh);
    g.SceneViewRect = QRect(sx, sy, sw, sh);
  }
  return g;
}

QPoint LayoutOrigin(int spriteListLeft, int visibleWidth, int visibleHeight)
{
  const int sceneLeft = spriteListLeft + SpriteListWidth;
  return QPoint(sceneLeft + (visibleWidth - sceneLeft) / 2 - 24, visibleHeight / 2 - 16);
}

QPoint LayoutOrigin(const TSceneState &state)
{
  const int width = std::min(state.CanvasWidth, state.PanelClientWidth - state.CanvasLeft);
  const int height = std::min(state.CanvasHeight, state.PanelHeight - state.TimelineHeight);
  return LayoutOrigin(state.SpriteListLeft, width, height);
}

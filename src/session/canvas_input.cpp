// Presses, moves and releases on the canvas: in sprite mode so far the timeline band's gestures.
#include "model/document.h"
#include "session/edit_session.h"

void TEditSession::MouseDown(bool rightButton, int x, int y)
{
  if (view_)
    view_->ClearFocus();
  LastDragMode = -1;
  Scene.LastFrameIndex = -1;
  LastSoundIndex = -1;
  Scene.DragFrameIndex = -1;
  DragSoundIndex = -1;
  // Unzoomed, scene and canvas positions coincide.
  MouseSceneX = x;
  MouseSceneY = y;
  if (rightButton || MovieMode || !GetCurrentAni())
    return;
  const TCanvasGeometry g = Geometry();
  if (y >= g.TimelineTop) {
    MouseIsDown = true;
    if (y < g.TimelineTop + 15)
      TimelineFrameDrag(x, true);
    else
      TimelineRulerDrag(x, y, true);
  }
}

void TEditSession::MouseMove(int x, int y)
{
  if (!GetCurrentAni())
    return;
  MouseSceneX = x;
  MouseSceneY = y;
  if (!MouseIsDown)
    return;
  if (Scene.DragMode == dmTime || Scene.DragMode == dmLength)
    TimelineRulerDrag(x, y, false);
  else if (Scene.DragMode == dmFrameStart)
    TimelineFrameDrag(x, false);
}

void TEditSession::MouseUp(int x, int y)
{
  MouseSceneX = x;
  MouseSceneY = y;
  LastDragMode = Scene.DragMode;
  Scene.LastFrameIndex = Scene.DragFrameIndex;
  LastSoundIndex = DragSoundIndex;
  Scene.DragMode = -1;
  Scene.DragFrameIndex = -1;
  DragSoundIndex = -1;
  MouseIsDown = false;
  NeedsRedraw = true;
}

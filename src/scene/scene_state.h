// The editor state the scene renderer reads, and the canvas geometry it computes from it. The
// main window owns one TSceneState and keeps these fields in it; the input code reads Geometry
// (or calls ComputeCanvasGeometry) to turn mouse positions into scene and ruler positions.
#pragma once

#include <QRect>
#include <vector>

#include "scene/timeline_band.h"

class TDisplay;
class TImageList;
class TSurface;
class TSurfaceOwner;
class TZeltoActor;

// Drag mode of a frame-length drag on the timeline: its frame bar is drawn red meanwhile.
inline constexpr int FrameLengthDragMode = 5;
// Width of the sprite-list strip and height of the timeline band.
inline constexpr int SpriteListWidth = 50;
inline constexpr int DefaultTimelineHeight = 50;
// The ruler starts at this x; it ends this far from the canvas's right edge.
inline constexpr int RulerLeft = 80;
inline constexpr int RulerRightMargin = 15;

// Canvas regions and the time ruler, recomputed at the start of every update.
struct TCanvasGeometry
{
  int Width = 0;       // canvas width W
  int SceneHeight = 0; // scene height H
  int TimelineTop = 0; // top of the timeline band
  int TimelineLeft = RulerLeft;
  int TimelineRight = 0;
  int TimelineTicks = 0; // ticks the ruler covers; 0 without a document or with length 0
  QRect ViewRect;        // the scene area on the canvas
  QRect SceneViewRect;   // what ViewRect shows, in draw-target coordinates (differs when zoomed)
};

// The window's five fixed images (not owned here).
struct TFixedImages
{
  TSurfaceOwner *Sprites = nullptr;   // "sprites.png", the SPRITES image
  TSurfaceOwner *Ride = nullptr;      // "ride.png"
  TSurfaceOwner *Shield = nullptr;    // "shield1.png"
  TSurfaceOwner *Sword = nullptr;     // "sword1.png"
  TSurfaceOwner *SoundIcon = nullptr; // "soundicon.png", the sound marker
};

struct TSceneState
{
  // Where the canvas sits: the panel that holds it and the canvas widget inside that panel.
  int PanelClientWidth = 0; // Panel2's client width
  int PanelHeight = 0;      // Panel2's height
  int CanvasLeft = 0;       // DXDraw1's left and top inside Panel2
  int CanvasTop = 0;
  int CanvasWidth = 1024; // DXDraw1's size (the back buffer's)
  int CanvasHeight = 1024;

  int SpriteListLeft = 0;
  int SpriteListScroll = 0;
  int TimelineHeight = DefaultTimelineHeight;
  int OriginX = 165;
  int OriginY = 120;
  double Zoom = 1.0;
  // The edit actor's previous and next frame drawn faintly under the current one (sprite mode).
  bool OnionSkin = false;

  TZeltoActor *EditActor = nullptr;     // not owned
  TZeltoActor *SelectedActor = nullptr; // movie mode
  std::vector<int> Selection;           // part indices; entry 0 is the primary selection
  int RedrawCountdown = 0;
  int DragMode = 0;
  int DragFrameIndex = -1;
  int LastFrameIndex = -1;
  // While a length or a frame start is dragged, the ruler keeps the scale it had at the press, so
  // that what is dragged stays under the pointer; 0 otherwise.
  int HeldRulerTicks = 0;

  TImageList *ImageCache = nullptr; // not owned
  TFixedImages Fixed;
  TDisplay *Display = nullptr;     // not owned; its back buffer is drawn on
  TSurface *ZoomSurface = nullptr; // not owned; exists while Zoom > 1.0

  // Filled by every DrawScene.
  TCanvasGeometry Geometry;
  // The time line band as the last update drew it, before the current time (kept by DrawScene).
  TTimelineBandCache TimelineBand;
};

// The canvas geometry for the state as it stands, without drawing.
TCanvasGeometry ComputeCanvasGeometry(const TSceneState &state);

// Ticks the ruler covers for a document length: floor(length x 1.2), one more when that equals
// the length (so a length of 0 gives 1, and the ruler can still be dragged longer); 0 for a
// negative length; the largest int length covers itself.
int RulerTicks(int length);
// The x of tick t on the ruler.
int RulerX(const TCanvasGeometry &geometry, int tick);

// The window layout's origin (canvas position of the animation's point (0, 0)): centred in the
// visible scene area less half a character, for the visible canvas size and the sprite strip's
// left edge as it stands.
QPoint LayoutOrigin(int spriteListLeft, int visibleWidth, int visibleHeight);
// The same for the state's panel and canvas sizes.
QPoint LayoutOrigin(const TSceneState &state);

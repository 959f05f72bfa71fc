// The scene renderer: draws the whole canvas (sprite-list strip, scene with guides, timeline
// band) and answers what lies under a point.
//
// Onion skin: with the state's OnionSkin on, the edit actor's frames before and after the current
// one (in its current direction) show at a third of their strength under it. A neighbour pixel
// in the background colour is left out: it could not be told from the background anyway.
//
// Attachment chains: a sprite definition that is already being drawn further up the same chain
// of attachments is not drawn again there, and chains stop at MaxAttachmentDepth; hit testing
// follows the same rule. So a definition attached to itself, directly or through others, draws
// once per chain instead of recursing forever. A sprite with all its attachments draws at most
// MaxAttachmentDraws definitions: definitions that each attach the next several times would
// otherwise ask for exponentially many draws.
#pragma once

#include <QRect>
#include <array>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "scene/scene_state.h"

class TSurface;
class TSurfaceOwner;
class TZeltoActor;
struct TZeltoAniPart;
struct TZeltoAniSprite;

inline constexpr int MaxAttachmentDepth = 16;
inline constexpr int MaxAttachmentDraws = 1024;

// The colour-name table: RGB (0xRRGGBB) of the colour an actor's Colors entry names; names are
// in ColorNames (movie/actor_attributes.h). Black for an index outside the table.
int ColorNameRgb(int index);
// Palette entries of a body image that take the actor's first five colours, in that order.
inline constexpr std::array<int, 5> BodyColorSlots = {5, 6, 4, 3, 1};

// The colours of the scene derived from a document's back colour (all 0xRRGGBB).
struct TSceneColours
{
  int Background = 0;
  int Light = 0; // sprite-list strip and timeline band
  int Guide = 0; // guide lines
  int Ink = 0;   // timeline text and marks
};
TSceneColours SceneColours(int backColor);

// The image a sprite definition is drawn from, looked up for the actor (through its parents
// while it plays with the player's look). For a recoloured body, *playerColours (when given)
// is set to the look actor's colours; otherwise it is left as it is.
TSurfaceOwner *ImageForSprite(const TSceneState &state, const TZeltoActor *actor, const TZeltoAniSprite *sprite,
                              const std::array<int, 8> **playerColours = nullptr);
TZeltoAniSprite *SpriteOfPart(const TZeltoActor *actor, const TZeltoAniPart *part);
TZeltoAniSprite *SpriteOfActor(const TZeltoActor *actor);

// Index of the topmost part of the actor's current frame and direction opaque at (x, y)
// (relative to the actor's point (0, 0)), or -1.
int PartAt(const TSceneState &state, const TZeltoActor *actor, int x, int y);
// True when nothing of the actor is opaque at (x, y), relative to its point (0, 0).
bool ActorMissesPoint(const TSceneState &state, const TZeltoActor *actor, int x, int y);

// One canvas update. Keeps the draw target, the geometry and the player colour state while it
// draws; DrawScene is the whole update, the others draw single items into a target.
class TSceneRenderer
{
public:
  explicit TSceneRenderer(TSceneState &state);

  // Draws the whole canvas and presents it; fills state.Geometry. Nothing while the display
  // cannot draw.
  void DrawScene();

  // An actor with its point (0, 0) at (x, y).
  void DrawActor(TZeltoActor *actor, TSurface *target, int x, int y);
  // A sprite definition and its attachments with the top-left corner at (x, y).
  void DrawSprite(const TZeltoActor *lookActor, TSurface *target, const TZeltoAniSprite *sprite, bool highlighted,
                  int x, int y);
  // Copies source of the owner's surface to (x, y), colour-keyed; clipped to the scene when
  // target is the draw target.
  void DrawImage(TSurface *target, TSurfaceOwner *owner, const QRect &source, int x, int y);

  // Geometry and draw target for drawing single items outside DrawScene (tests, thumbnails).
  void SetDrawTarget(TSurface *target, const TCanvasGeometry &geometry);

private:
  void DrawSpriteChain(const TZeltoActor *lookActor, TSurface *target, const TZeltoAniSprite *sprite, bool highlighted,
                       int x, int y);
  void DrawMovie(TZeltoActor *movie, TSurface *target, int x, int y);
  // The frames before and after the actor's current one, blended faintly into the draw target.
  void DrawOnionSkin(const TZeltoActor &actor, int background, int x, int y);
  // Fills the scene area with the background and draws the guide lines over it.
  void DrawBackgroundAndGuides(TSurface &target, const TSceneColours &colours);
  void DrawTimeline(TSurface &buffer, const TSceneColours &colours);
  void DrawBandBackground(TSurface &buffer, const TSceneColours &colours, const std::vector<TDrawnFrameBar> &bars);
  void DrawSpriteList(TSurface &buffer);
  void ApplyZoom(TSurface &buffer);

  TSceneState &state_;
  TCanvasGeometry geometry_;
  TSurface *drawTarget_ = nullptr;
  const std::array<int, 8> *playerColours_ = nullptr;
  std::vector<const TZeltoAniSprite *> chain_; // sprites being drawn, outermost first
  int drawsLeft_ = 0;                          // definitions the outermost sprite may still draw
  int movieDepth_ = 0;                         // movies being drawn inside each other
  TSurface ghost_;                             // the onion skin's frames before blending
};

// The convenience the window calls: one full update of the state's canvas.
void DrawScene(TSceneState &state);

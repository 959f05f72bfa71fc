// What the canvas is drawn with besides the document, set up the same way for the window and for
// velk render: the display's back buffer with the image surfaces following its events, the image
// cache, the five fixed images, the zoom surface, and the scene state that points at them.
#pragma once

#include <memory>
#include <string>

#include "images/image_cache.h"
#include "model/editor_link.h"
#include "platform/display.h"
#include "platform/surface.h"
#include "scene/scene_state.h"

class TSceneSetup
{
public:
  TSceneSetup();
  // Finalises the display, releasing the image surfaces.
  ~TSceneSetup();
  TSceneSetup(const TSceneSetup &) = delete;
  TSceneSetup &operator=(const TSceneSetup &) = delete;

  // Creates the back buffer; from then on every loaded image gets its surface at once.
  void InitializeDisplay();
  // Loads "sprites.png", "ride.png", "shield1.png", "sword1.png" and "soundicon.png" through the
  // game folder index.
  void LoadFixedImages();
  // The window's layout of a canvas inside a panel of the given client width and height: the origin
  // centred in the visible scene area (for the sprite strip's left edge as it stands), then the
  // strip moved right of the scroll bar; the back buffer sized to the visible canvas.
  void LayOut(int panelClientWidth, int panelHeight, int scrollBarWidth);
  // Sets the view zoom (1.0 and up); the zoom surface is used while it is above 1.
  void SetZoom(double zoom);
  // Registers a sprite definition's image with the cache (only image files: see TImageList).
  void EnsureImageLoaded(const std::string &name) { ImageCache.EnsureImageLoaded(name); }
  // Draws the whole canvas into the back buffer and presents it.
  void Draw();

  TDisplay Display;
  TImageList ImageCache;
  std::unique_ptr<TSurfaceOwner> SpritesImage, RideImage, ShieldImage, SwordImage, SoundIconImage;
  TSurface ZoomSurface;
  TSceneState Scene;
};

// The link of a program without an editor (velk): the sprite images of the documents that actors
// load while a file is read and evaluated join the scene's image cache; nothing else is edited.
class TImageCacheLink : public TEditorLink
{
public:
  // Installs itself as the model's link until destroyed.
  explicit TImageCacheLink(TSceneSetup &setup);
  ~TImageCacheLink() override;

  TZeltoAni *CurrentDocument() const override { return nullptr; }
  int GetCurrentFrame() const override { return 0; }
  int GetCurrentTime() const override { return 0; }
  void SetCurrentTime(int) override {}
  void ClearHistory() override {}
  void ModifiedChanged(TZeltoAni *) override {}
  void EnsureImageLoaded(const std::string &name) override { setup_.EnsureImageLoaded(name); }

private:
  TSceneSetup &setup_;
  TEditorLink *previous_;
};

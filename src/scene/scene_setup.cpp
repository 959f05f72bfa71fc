#include "scene/scene_setup.h"

#include <algorithm>

#include "model/context.h"
#include "scene/renderer.h"

TSceneSetup::TSceneSetup()
{
  Display.OnInitialize = [] { RebuildImageSurfaces(); };
  Display.OnFinalizeSurface = [] { ReleaseImageSurfaces(); };
  Scene.ImageCache = &ImageCache;
  Scene.Display = &Display;
}

TSceneSetup::~TSceneSetup()
{
  Display.Finalize();
}

void TSceneSetup::InitializeDisplay()
{
  Display.Initialize();
}

void TSceneSetup::LoadFixedImages()
{
  auto load = [](std::unique_ptr<TSurfaceOwner> &owner, const char *name) {
    owner = std::make_unique<TSurfaceOwner>();
    owner->Load(name);
  };
  load(SpritesImage, "sprites.png");
  load(RideImage, "ride.png");
  load(ShieldImage, "shield1.png");
  load(SwordImage, "sword1.png");
  load(SoundIconImage, "soundicon.png");
  Scene.Fixed = {SpritesImage.get(), RideImage.get(), ShieldImage.get(), SwordImage.get(), SoundIconImage.get()};
}

void TSceneSetup::LayOut(int panelClientWidth, int panelHeight, int scrollBarWidth)
{
  Scene.PanelClientWidth = panelClientWidth;
  Scene.PanelHeight = panelHeight;
  Scene.CanvasLeft = 0;
  Scene.CanvasTop = 0;
  const QPoint origin = LayoutOrigin(Scene);
  Scene.OriginX = origin.x();
  Scene.OriginY = origin.y();
  Scene.SpriteListLeft = scrollBarWidth;
  // The back buffer covers what the panel shows of the canvas, no more.
  Display.SetBufferSize(std::min(panelClientWidth, Scene.CanvasWidth), std::min(panelHeight, Scene.CanvasHeight));
}

void TSceneSetup::SetZoom(double zoom)
{
  Scene.Zoom = zoom;
  Scene.ZoomSurface = zoom > 1.0 ? &ZoomSurface : nullptr;
}

void TSceneSetup::Draw()
{
  DrawScene(Scene);
}

TImageCacheLink::TImageCacheLink(TSceneSetup &setup) : setup_(setup), previous_(Context().Link)
{
  Context().Link = this;
}

TImageCacheLink::~TImageCacheLink()
{
  Context().Link = previous_;
}

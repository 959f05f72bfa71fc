// The image cache: decoded images held together with a colour-keyed drawing surface made from
// them. Every TSurfaceOwner is on one global list, so that all surfaces can be rebuilt when the
// display is initialised again and released when it goes away.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "images/image_animation.h"
#include "platform/surface.h"

// Decodes an image file: ".gif" (in any case) by the GIF decoder, anything else by the PNG/MNG
// decoder. Throws TImageLoadError with the decoder's message.
std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path);

// One image in use.
class TSurfaceOwner
{
public:
  // An empty owner, appended to the owner list.
  TSurfaceOwner();
  // Frees the image and the surface and leaves the owner list.
  ~TSurfaceOwner();
  TSurfaceOwner(const TSurfaceOwner &) = delete;
  TSurfaceOwner &operator=(const TSurfaceOwner &) = delete;

  // Resolves name in the game folder and decodes it (".gif" by the GIF decoder, anything else
  // by the PNG/MNG decoder), rendering its first frame. Failures leave Animation empty.
  // The surface is made at once while the display is initialised.
  void Load(const std::string &name);
  // Frees Animation and Surface.
  void Clear();

  std::string FileName;                       // the resolved path, or empty
  std::unique_ptr<TImageAnimation> Animation; // none when loading failed
  std::unique_ptr<TSurface> Surface;          // none without display or Animation
};

// Every owner that exists, in creation order.
const std::vector<TSurfaceOwner *> &SurfaceOwners();

// A surface holding the animation's current frame, its colour key the colour of the
// transparent palette entry (black without one); none for no animation or no pixels.
std::unique_ptr<TSurface> CreateImageSurface(const TImageAnimation *animation);

// Display events. Rebuild (display initialised or restored) releases every surface, then
// makes one for every owner that has an image; Release (display finalised) frees them all.
// Between the two, loading an owner makes its surface at once.
void RebuildImageSurfaces();
void ReleaseImageSurfaces();
bool ImageSurfacesActive();

// The main window's image list: one owner per distinct image named by a sprite definition.
// It only grows.
class TImageList
{
public:
  // Makes sure an owner for the image name is in the list. Names of an actor's replaceable
  // images (BODY, HEAD, SWORD, SHIELD, HORSE, SPRITES, PARAMn, ATTRn) are not files and are
  // skipped; an image that does not load is not kept, so a later call tries again.
  void EnsureImageLoaded(const std::string &name);
  // The first owner whose file name without folders, in lower case, equals that of name.
  TSurfaceOwner *Find(const std::string &name) const;

  size_t Count() const { return owners_.size(); }
  TSurfaceOwner &At(size_t i) const { return *owners_[i]; }

private:
  std::vector<std::unique_ptr<TSurfaceOwner>> owners_;
};

// The image cache: decoded images held together with a colour-keyed drawing surface made from
// them. Every TSurfaceOwner is on one global list, so that all surfaces can be rebuilt when the
// display is initialised again and released when it goes away. The list is linked through the
// owners themselves, so joining and leaving it cost the same however many owners exist.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "images/image_animation.h"
#include "platform/surface.h"

// Decodes an image file: ".gif" (in any case) by the GIF decoder, anything else by the PNG/MNG
// decoder. Throws TImageLoadError with the decoder's message.
std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path);

// One image in use. Loading only resolves the name: the file is decoded when the image is first
// used, and its surface made when it is first drawn. So the images every actor starts with cost
// nothing until something shows them, however many actors a movie holds.
class TSurfaceOwner
{
public:
  // An empty owner, appended to the owner list.
  TSurfaceOwner();
  // Frees the image and the surface and leaves the owner list.
  ~TSurfaceOwner();
  TSurfaceOwner(const TSurfaceOwner &) = delete;
  TSurfaceOwner &operator=(const TSurfaceOwner &) = delete;

  // Resolves name in the game folder (ResolveFile); the image is decoded on first use.
  void Load(const std::string &name);
  // Frees the image and the surface.
  void Clear();
  // Holds an image decoded elsewhere (the file name is left as it is).
  void SetImage(std::unique_ptr<TImageAnimation> image);

  // The decoded image with its first frame rendered (".gif" by the GIF decoder, anything else by
  // the PNG/MNG decoder), decoded on the first call; none when there is no file or it does not
  // decode.
  TImageAnimation *Image() const;
  // The image's colour-keyed surface while the display is initialised, made on the first call;
  // none without display or image.
  TSurface *DrawingSurface();
  // The surface as it stands, without making one.
  TSurface *ExistingSurface() const { return surface_.get(); }

  std::string FileName; // the resolved path, or empty

private:
  // An image decoded on first use is a cache of the file: it is filled by const accessors.
  mutable bool decoded_ = true;
  mutable std::unique_ptr<TImageAnimation> animation_;
  std::unique_ptr<TSurface> surface_;

  friend class TSurfaceOwnerList;
  friend void ReleaseImageSurfaces();
  TSurfaceOwner *previous_ = nullptr;
  TSurfaceOwner *next_ = nullptr;
};

// Every owner that exists, in creation order.
std::vector<TSurfaceOwner *> SurfaceOwners();

// A surface holding the animation's current frame, its colour key the colour of the
// transparent palette entry (black without one); none for no animation or no pixels.
std::unique_ptr<TSurface> CreateImageSurface(const TImageAnimation *animation);

// Display events. Rebuild (display initialised or restored) releases every surface; from then on
// each owner makes its surface again when it is next drawn. Release (display finalised) frees
// them all, and none is made until the next Rebuild.
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

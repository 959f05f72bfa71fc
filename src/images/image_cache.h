// The image cache: decoded images held together with a colour-keyed drawing surface made from
// them. Every TSurfaceOwner is on one global list, so that all surfaces can be rebuilt when the
// display is initialised again and released when it goes away. The list is linked through the
// owners themselves, so joining and leaving it cost the same however many owners exist.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "images/image_animation.h"
#include "platform/surface.h"

// Decodes an image file: ".gif" (in any case) by the GIF decoder, anything else by the PNG/MNG
// decoder. Throws TImageLoadError with the decoder's message.
std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path);

// True for the names of an actor's replaceable images (BODY, HEAD, SWORD, SHIELD, HORSE, SPRITES,
// PARAMn, ATTRn, in any case), which stand for no file.
bool IsReplaceableImageName(const std::string &name);

// One image in use. Loading only resolves the name: the file is decoded when the image is first
// used, and its surface made when it is first drawn. So the images every actor starts with cost
// nothing until something shows them, however many actors a movie holds. A file decoded again
// after it changed replaces the image only when it decodes; otherwise the last pixels stay.
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
  // Resolves Name again when its file is not on disk (never found, or gone): true when the name
  // now leads to a file, which is decoded on the image's next use.
  bool ResolveAgain();
  // Frees the image and the surface and forgets the name.
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

  // True when the file was decoded (or tried) and is on disk now, but not as it was then.
  bool FileChanged() const;
  // Decodes the file now. True when it decoded and replaced the image; false, with the decoder's
  // message in error, when it did not: the image stays as it was, and the file counts as changed
  // again only once it changes once more.
  bool Reload(std::string *error = nullptr);
  // Decodes the file again on the image's next use, keeping the image if that fails.
  void ReloadLater();

  std::string Name;     // the name last loaded, as given
  std::string FileName; // the resolved path, or empty

private:
  // An image decoded on first use is a cache of the file: it is filled by const accessors.
  mutable bool decoded_ = true;
  mutable std::unique_ptr<TImageAnimation> animation_;
  // The file as it was when last decoded; and whether the surface shows an older image.
  mutable TFileStamp stamp_;
  mutable bool surfaceStale_ = false;
  std::unique_ptr<TSurface> surface_;
  // Decodes FileName; keeps the image when that fails. True when it decoded.
  bool Decode(std::string *error) const;

  friend class TSurfaceOwnerList;
  friend void ReleaseImageSurfaces();
  TSurfaceOwner *previous_ = nullptr;
  TSurfaceOwner *next_ = nullptr;
};

// Every owner that exists, in creation order.
std::vector<TSurfaceOwner *> SurfaceOwners();
// Counts the changes of the set of files the owners use (a file name set, an owner gone), so that
// whoever watches those files can tell cheaply that the set changed.
uint64_t SurfaceOwnerFilesGeneration();

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
  // Tries the names again that did not load (a file added or repaired since); true when one did.
  bool RetryMissing();

  size_t Count() const { return owners_.size(); }
  TSurfaceOwner &At(size_t i) const { return *owners_[i]; }

private:
  std::vector<std::unique_ptr<TSurfaceOwner>> owners_;
  std::set<std::string> missing_; // keys of the names asked for that did not load
};

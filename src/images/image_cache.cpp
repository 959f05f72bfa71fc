#include "images/image_cache.h"

#include <algorithm>

#include "core/helpers.h"
#include "images/file_index.h"
#include "images/gif_animation.h"
#include "images/mng_animation.h"
#include "platform/surface_canvas.h"

namespace {

std::vector<TSurfaceOwner *> &OwnerList()
{
  static std::vector<TSurfaceOwner *> owners;
  return owners;
}

bool surfacesActive = false;

// The extension of a path's last component, from its last ".", in lower case.
std::string LowerExtension(const std::string &path)
{
  const std::string file = ExtractKey(path);
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}

// Names that stand for an actor's replaceable images, not for files.
bool IsReplaceableImageName(const std::string &key)
{
  static const char *const kinds[] = {"body", "head", "sword", "shield", "horse", "sprites"};
  return StartsWith("param", key) || StartsWith("attr", key) ||
         std::any_of(std::begin(kinds), std::end(kinds), [&](const char *kind) { return key == kind; });
}

} // namespace

std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path)
{
  if (LowerExtension(path) == ".gif")
    return std::make_unique<TGifAnimation>(path);
  return std::make_unique<TMNGAnimation>(path);
}

const std::vector<TSurfaceOwner *> &SurfaceOwners()
{
  return OwnerList();
}

TSurfaceOwner::TSurfaceOwner()
{
  OwnerList().push_back(this);
}

TSurfaceOwner::~TSurfaceOwner()
{
  auto &owners = OwnerList();
  owners.erase(std::remove(owners.begin(), owners.end(), this), owners.end());
}

void TSurfaceOwner::Clear()
{
  Surface.reset();
  Animation.reset();
}

void TSurfaceOwner::Load(const std::string &name)
{
  Clear();
  FileName = ResolveFile(name);
  try {
    std::unique_ptr<TImageAnimation> image = DecodeImageFile(FileName);
    // Only the first frame is ever shown.
    image->NextFrame();
    Animation = std::move(image);
  } catch (...) {
    // An image that cannot be decoded draws as nothing; nobody is told.
    Animation.reset();
  }
  if (surfacesActive)
    Surface = CreateImageSurface(Animation.get());
}

std::unique_ptr<TSurface> CreateImageSurface(const TImageAnimation *animation)
{
  if (!animation)
    return nullptr;
  auto surface = std::make_unique<TSurface>();
  if (!surface->SetSize(animation->Width, animation->Height))
    return nullptr;
  // The whole palette in effect for the frame; the key below comes from the same table.
  QVector<QRgb> colors(256);
  for (int i = 0; i < 256; ++i)
    colors[i] = qRgb(animation->Palette[i * 3], animation->Palette[i * 3 + 1], animation->Palette[i * 3 + 2]);
  {
    TSurfaceCanvas canvas(*surface);
    canvas.CopyBitmap(0, 0, animation->Bitmap, colors, animation->Bitmap.rect());
  }
  const int transparent = animation->TransparentIndex;
  surface->SetColorKey(transparent >= 0 && transparent < 256 ? TSurface::ColorMatch(colors[transparent]) : 0);
  return surface;
}

void ReleaseImageSurfaces()
{
  surfacesActive = false;
  for (TSurfaceOwner *owner : OwnerList())
    owner->Surface.reset();
}

void RebuildImageSurfaces()
{
  ReleaseImageSurfaces();
  surfacesActive = true;
  for (TSurfaceOwner *owner : OwnerList())
    owner->Surface = CreateImageSurface(owner->Animation.get());
}

bool ImageSurfacesActive()
{
  return surfacesActive;
}

TSurfaceOwner *TImageList::Find(const std::string &name) const
{
  const std::string key = ExtractKey(name);
  for (const auto &owner : owners_)
    if (ExtractKey(owner->FileName) == key)
      return owner.get();
  return nullptr;
}

void TImageList::EnsureImageLoaded(const std::string &name)
{
  const std::string key = ExtractKey(name);
  if (IsReplaceableImageName(key) || Find(key))
    return;
  auto owner = std::make_unique<TSurfaceOwner>();
  owner->Load(name);
  if (owner->Animation)
    owners_.push_back(std::move(owner));
}

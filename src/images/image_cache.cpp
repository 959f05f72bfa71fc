#include "images/image_cache.h"

#include <algorithm>

#include "core/helpers.h"
#include "images/file_index.h"
#include "images/gif_animation.h"
#include "images/mng_animation.h"
#include "platform/surface_canvas.h"

namespace {

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

// The owners in creation order, linked through their own fields.
class TSurfaceOwnerList
{
public:
  static void Append(TSurfaceOwner *owner)
  {
    owner->previous_ = last_;
    (last_ ? last_->next_ : first_) = owner;
    last_ = owner;
  }
  static void Remove(TSurfaceOwner *owner)
  {
    (owner->previous_ ? owner->previous_->next_ : first_) = owner->next_;
    (owner->next_ ? owner->next_->previous_ : last_) = owner->previous_;
    owner->previous_ = owner->next_ = nullptr;
  }
  template <typename Visit> static void ForEach(Visit visit)
  {
    for (TSurfaceOwner *owner = first_; owner; owner = owner->next_)
      visit(owner);
  }

private:
  static inline TSurfaceOwner *first_ = nullptr;
  static inline TSurfaceOwner *last_ = nullptr;
};

std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path)
{
  if (LowerExtension(path) == ".gif")
    return std::make_unique<TGifAnimation>(path);
  return std::make_unique<TMNGAnimation>(path);
}

std::vector<TSurfaceOwner *> SurfaceOwners()
{
  std::vector<TSurfaceOwner *> owners;
  TSurfaceOwnerList::ForEach([&owners](TSurfaceOwner *owner) { owners.push_back(owner); });
  return owners;
}

TSurfaceOwner::TSurfaceOwner()
{
  TSurfaceOwnerList::Append(this);
}

TSurfaceOwner::~TSurfaceOwner()
{
  TSurfaceOwnerList::Remove(this);
}

void TSurfaceOwner::Clear()
{
  surface_.reset();
  animation_.reset();
  decoded_ = true;
}

void TSurfaceOwner::SetImage(std::unique_ptr<TImageAnimation> image)
{
  Clear();
  animation_ = std::move(image);
}

void TSurfaceOwner::Load(const std::string &name)
{
  Clear();
  FileName = ResolveFile(name);
  decoded_ = FileName.empty();
}

TImageAnimation *TSurfaceOwner::Image() const
{
  if (!decoded_) {
    decoded_ = true;
    try {
      std::unique_ptr<TImageAnimation> image = DecodeImageFile(FileName);
      // Only the first frame is ever shown.
      image->NextFrame();
      animation_ = std::move(image);
    } catch (...) {
      // An image that cannot be decoded draws as nothing; nobody is told.
      animation_.reset();
    }
  }
  return animation_.get();
}

TSurface *TSurfaceOwner::DrawingSurface()
{
  if (!surface_ && surfacesActive)
    surface_ = CreateImageSurface(Image());
  return surface_.get();
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
  TSurfaceOwnerList::ForEach([](TSurfaceOwner *owner) { owner->surface_.reset(); });
}

void RebuildImageSurfaces()
{
  ReleaseImageSurfaces();
  surfacesActive = true;
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
  if (owner->Image())
    owners_.push_back(std::move(owner));
}

#include "images/image_cache.h"

#include <algorithm>
#include <set>

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

uint64_t filesGeneration = 0;

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

bool IsReplaceableImageName(const std::string &name)
{
  static const char *const kinds[] = {"body", "head", "sword", "shield", "horse", "sprites"};
  const std::string key = ExtractKey(name);
  return StartsWith("param", key) || StartsWith("attr", key) ||
         std::any_of(std::begin(kinds), std::end(kinds), [&](const char *kind) { return key == kind; });
}

std::unique_ptr<TImageAnimation> DecodeImageFile(const std::string &path)
{
  if (LowerExtension(path) == ".gif")
    return std::make_unique<TGifAnimation>(path);
  return std::make_unique<TMNGAnimation>(path);
}

uint64_t SurfaceOwnerFilesGeneration()
{
  return filesGeneration;
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
  if (!FileName.empty())
    ++filesGeneration;
}

void TSurfaceOwner::Clear()
{
  surface_.reset();
  animation_.reset();
  decoded_ = true;
  stamp_ = {};
  surfaceStale_ = false;
  Name.clear();
}

void TSurfaceOwner::SetImage(std::unique_ptr<TImageAnimation> image)
{
  Clear();
  animation_ = std::move(image);
}

void TSurfaceOwner::Load(const std::string &name)
{
  const std::string previous = FileName;
  Clear();
  Name = name;
  FileName = ResolveFile(name);
  if (FileName != previous)
    ++filesGeneration;
  decoded_ = FileName.empty();
}

bool TSurfaceOwner::ResolveAgain()
{
  if (Name.empty() || (!FileName.empty() && FileStamp(FileName).Exists))
    return false;
  const std::string path = ResolveFile(Name);
  if (path.empty() || path == FileName)
    return false;
  // The pixels shown so far stay until the file found now decodes.
  FileName = path;
  ++filesGeneration;
  decoded_ = false;
  return true;
}

bool TSurfaceOwner::Decode(std::string *error) const
{
  // Stamped before reading: a write while the file is read shows as a change afterwards.
  stamp_ = FileStamp(FileName);
  try {
    std::unique_ptr<TImageAnimation> image = DecodeImageFile(FileName);
    // Only the first frame is ever shown.
    image->NextFrame();
    animation_ = std::move(image);
    surfaceStale_ = true;
    return true;
  } catch (const std::exception &e) {
    if (error)
      *error = e.what();
  } catch (...) {
    if (error)
      *error = "the image cannot be decoded";
  }
  return false;
}

TImageAnimation *TSurfaceOwner::Image() const
{
  if (!decoded_) {
    decoded_ = true;
    // An image that cannot be decoded draws as nothing, or as it was before; nobody is told.
    Decode(nullptr);
  }
  return animation_.get();
}

bool TSurfaceOwner::FileChanged() const
{
  if (!decoded_ || FileName.empty())
    return false;
  const TFileStamp now = FileStamp(FileName);
  return now.Exists && now != stamp_;
}

bool TSurfaceOwner::Reload(std::string *error)
{
  decoded_ = true;
  return Decode(error);
}

void TSurfaceOwner::ReloadLater()
{
  decoded_ = false;
}

TSurface *TSurfaceOwner::DrawingSurface()
{
  const TImageAnimation *image = Image();
  if (surfaceStale_) {
    surface_.reset();
    surfaceStale_ = false;
  }
  if (!surface_ && surfacesActive)
    surface_ = CreateImageSurface(image);
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
  if (owner->Image()) {
    owners_.push_back(std::move(owner));
    missing_.erase(key);
  } else {
    missing_.insert(key);
  }
}

bool TImageList::RetryMissing()
{
  const size_t before = owners_.size();
  const std::set<std::string> keys = missing_;
  for (const std::string &key : keys)
    EnsureImageLoaded(key);
  return owners_.size() != before;
}

#include "cli/export_frames.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "cli/open_animation.h"
#include "images/image_cache.h"
#include "model/actor_attributes.h"
#include "model/default_frame.h"
#include "model/document.h"
#include "platform/surface.h"
#include "scene/renderer.h"

namespace {

// A rectangle in 64 bits: part positions and sizes come from the file and may add up past int.
struct TBox
{
  long long Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty = true;

  void Add(long long left, long long top, long long right, long long bottom)
  {
    if (left >= right || top >= bottom)
      return;
    if (Empty) {
      *this = {left, top, right, bottom, false};
      return;
    }
    Left = std::min(Left, left);
    Top = std::min(Top, top);
    Right = std::max(Right, right);
    Bottom = std::max(Bottom, bottom);
  }
};

// Collects where a sprite and its attachments draw, by the renderer's rules: the definition's
// rectangle cut to its image, attachments followed except into a definition already on the chain,
// at most MaxAttachmentDepth deep and MaxAttachmentDraws definitions for the outermost sprite.
class TBoxWalker
{
public:
  TBoxWalker(const TSceneState &state, const TZeltoActor &actor) : state_(state), actor_(actor) {}

  void AddSprite(const TZeltoAniSprite *sprite, long long x, long long y)
  {
    chain_.clear();
    drawsLeft_ = MaxAttachmentDraws;
    AddChain(sprite, x, y);
  }
  TBox Box;

private:
  void AddChain(const TZeltoAniSprite *sprite, long long x, long long y)
  {
    if (!sprite || drawsLeft_ <= 0 || chain_.size() >= size_t(MaxAttachmentDepth) ||
        std::find(chain_.begin(), chain_.end(), sprite) != chain_.end())
      return;
    --drawsLeft_;
    chain_.push_back(sprite);
    if (TSurfaceOwner *owner = ImageForSprite(state_, &actor_, sprite))
      if (const TImageAnimation *image = owner->Image()) {
        // The source rectangle is cut to the image without moving what remains.
        const long long left = std::max(x, x - sprite->Left), top = std::max(y, y - sprite->Top);
        const long long right = std::min<long long>(x + sprite->Width, x - sprite->Left + image->Width);
        const long long bottom = std::min<long long>(y + sprite->Height, y - sprite->Top + image->Height);
        Box.Add(left, top, right, bottom);
      }
    for (const auto &attachment : sprite->Attachments)
      AddChain(attachment->Sprite, x + attachment->X, y + attachment->Y);
    chain_.pop_back();
  }

  const TSceneState &state_;
  const TZeltoActor &actor_;
  std::vector<const TZeltoAniSprite *> chain_;
  int drawsLeft_ = 0;
};

TBox DrawingBox(const TSceneState &state, const TZeltoActor &player, const TZeltoAni &ani)
{
  TBoxWalker walker(state, player);
  for (const auto &step : ani.Steps)
    for (const TPartList &parts : step->Directions)
      for (const auto &part : parts)
        walker.AddSprite(SpriteOfPart(&player, part.get()), part->X, part->Y);
  return walker.Box;
}

// The frames' size before and after zoom, and where the animation's point (0, 0) lies in them.
struct TFrameGeometry
{
  int Width = 0, Height = 0;
  int ZoomedWidth = 0, ZoomedHeight = 0;
  QPoint Origin;
};

// The box with its margin, if it and the frames stay within the bounds; else false with the reason.
bool FitFrames(TBox box, const TExportLook &look, size_t frames, TFrameGeometry &geometry, std::string &error)
{
  if (box.Empty)
    box = {0, 0, 1, 1, false};
  const long long width = box.Right - box.Left + 2 * ExportMargin;
  const long long height = box.Bottom - box.Top + 2 * ExportMargin;
  if (width > MaxExportSide || height > MaxExportSide) {
    error = "the drawing is larger than " + std::to_string(MaxExportSide) + " pixels";
    return false;
  }
  geometry.Width = int(width);
  geometry.Height = int(height);
  geometry.ZoomedWidth = std::max(1, int(std::lround(double(width) * look.Zoom)));
  geometry.ZoomedHeight = std::max(1, int(std::lround(double(height) * look.Zoom)));
  geometry.Origin = QPoint(int(ExportMargin - box.Left), int(ExportMargin - box.Top));
  if (static_cast<long long>(frames) * geometry.ZoomedWidth * geometry.ZoomedHeight > MaxExportPixels) {
    error = "the frames would hold more than " + std::to_string(MaxExportPixels) + " pixels";
    return false;
  }
  return true;
}

// One frame drawn on a surface filled with fill; the actor's point (0, 0) at origin.
void DrawOn(TSceneState &state, TZeltoActor &player, TSurface &surface, uint32_t fill, QPoint origin)
{
  surface.Fill(fill);
  TSceneRenderer renderer(state);
  TCanvasGeometry geometry;
  geometry.Width = surface.Width();
  geometry.SceneHeight = surface.Height();
  renderer.SetDrawTarget(&surface, geometry);
  renderer.DrawActor(&player, &surface, origin.x(), origin.y());
}

// What was drawn over either fill is the same both times; what differs is left transparent.
QImage Transparent(const QImage &overBlack, const QImage &overWhite)
{
  QImage image(overBlack.size(), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    const QRgb *black = reinterpret_cast<const QRgb *>(overBlack.constScanLine(y));
    const QRgb *white = reinterpret_cast<const QRgb *>(overWhite.constScanLine(y));
    QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb rgb = black[x] & 0xFFFFFF;
      out[x] = rgb == (white[x] & 0xFFFFFF) ? (0xFF000000u | rgb) : 0u;
    }
  }
  return image;
}

// The surface keeps no alpha in its pixels; the exported image says opaque in every pixel.
QImage Opaque(const QImage &drawn)
{
  QImage image = drawn.copy();
  for (int y = 0; y < image.height(); ++y) {
    QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      row[x] |= 0xFF000000u;
  }
  return image;
}

// A slot below 1 shows nothing, whether it is 0 (a new part) or -1 (a part read from a file).
bool SameParts(const TPartList &a, const TPartList &b)
{
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
    return x->Sprite == y->Sprite && std::max(x->ParamSlot, 0) == std::max(y->ParamSlot, 0) &&
           std::max(x->AttrSlot, 0) == std::max(y->AttrSlot, 0) && x->X == y->X && x->Y == y->Y;
  });
}

std::string DirectionName(int dir)
{
  return std::to_string(dir) + " (" + DirectionNames[size_t(dir)] + ")";
}

// Why a picture of direction dir would show nothing the animation is about: in every frame it holds
// no part, or only the parts a new frame starts with (its shadow), while another direction holds
// more. Empty when it is worth drawing.
std::string BareDirectionProblem(TZeltoAni &ani, int dir)
{
  if (ani.SingleDirection || ani.Steps.empty())
    return {};
  // The parts a new frame starts with, as the model makes them.
  InsertDefaultFrame(&ani, int(ani.Steps.size()));
  const std::unique_ptr<TZeltoAniStep> fresh = std::move(ani.Steps.back());
  ani.Steps.pop_back();
  std::array<bool, DirectionCount> bare{}, empty{};
  for (int d = 0; d < DirectionCount; ++d) {
    bare[size_t(d)] = empty[size_t(d)] = true;
    for (const auto &step : ani.Steps) {
      const TPartList *parts = size_t(d) < step->Directions.size() ? &step->Directions[size_t(d)] : nullptr;
      if (parts && !parts->empty())
        empty[size_t(d)] = false;
      if (parts && !parts->empty() && !SameParts(*parts, fresh->Directions[size_t(d)]))
        bare[size_t(d)] = false;
    }
  }
  std::vector<int> others;
  for (int d = 0; d < DirectionCount; ++d)
    if (d != dir && !bare[size_t(d)])
      others.push_back(d);
  if (!bare[size_t(dir)] || others.empty())
    return {};
  std::string where;
  for (size_t i = 0; i < others.size(); ++i)
    where += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + DirectionName(others[i]);
  const TZeltoAniSprite *shadow = fresh->Directions[size_t(dir)].empty() ? nullptr : FindSprite(&ani, 0);
  const std::string shown = shadow && !shadow->Description.empty() ? "the " + shadow->Description : "sprite 0";
  return "direction " + DirectionName(dir) + (empty[size_t(dir)] ? " has no parts" : " draws only " + shown) +
         "; its parts are in direction" + (others.size() > 1 ? "s " : " ") + where;
}

} // namespace

TExportRenderer::TExportRenderer() = default;

void TExportRenderer::SetUpFor(const std::string &folder)
{
  if (setup_ && folder == folder_)
    return;
  link_.reset();
  setup_.reset();
  setup_ = std::make_unique<TSceneSetup>();
  setup_->InitializeDisplay();
  setup_->LoadFixedImages();
  link_ = std::make_unique<TImageCacheLink>(*setup_);
  folder_ = folder;
}

TExportRenderer::~TExportRenderer() = default;

bool TExportRenderer::Draw(const std::string &name, const std::vector<int> &directions, const TExportLook &look,
                           TExportedAnimation &animation, std::string &error)
{
  LoadedAnimation loaded;
  loaded.Owner = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  loaded.Ani = ReadInItsFolder(loaded.Owner.get(), name, loaded.Folder, error);
  if (!loaded.Ani)
    return false;
  SetUpFor(loaded.Folder.Folder());
  if (!setup_->Display.CanDraw()) {
    error = "cannot create the drawing surface";
    return false;
  }
  const TZeltoAni &ani = *loaded.Ani;
  if (ani.IsMovie) {
    error = "a movie has no frames in directions to export";
    return false;
  }
  if (directions.size() == 1 && !(error = BareDirectionProblem(*loaded.Ani, directions.front())).empty())
    return false;
  RegisterSpriteImages(ani);
  // The main actor wears the document's default head, body and slots, as when the editor opens it.
  TZeltoActor &player = *loaded.Owner;
  player.Ani = loaded.Ani.get();
  player.HeadImage->Load(ani.DefaultHead);
  SetBody(&player, ani.DefaultBody);
  ApplyDefaultSlots(&player, ani);

  TFrameGeometry geometry;
  if (!FitFrames(DrawingBox(setup_->Scene, player, ani), look, ani.Steps.size() * directions.size(), geometry, error))
    return false;
  TSurface surface, second;
  if (!surface.SetSize(geometry.Width, geometry.Height) ||
      (look.Transparent && !second.SetSize(geometry.Width, geometry.Height))) {
    error = "out of memory";
    return false;
  }
  const int background = look.Background.value_or(ani.BackColor);
  animation = TExportedAnimation();
  animation.Loop = ani.Loop;
  animation.Background = background;
  animation.Width = geometry.ZoomedWidth;
  animation.Height = geometry.ZoomedHeight;
  for (int dir : directions)
    for (size_t i = 0; i < ani.Steps.size(); ++i) {
      player.FrameIndex = int(i);
      player.FrameTick = 0;
      player.Dir = dir; // with SingleDirection the renderer draws the one list for every direction
      QImage image;
      if (look.Transparent) {
        DrawOn(setup_->Scene, player, surface, 0x000000, geometry.Origin);
        DrawOn(setup_->Scene, player, second, 0xFFFFFF, geometry.Origin);
        image = Transparent(surface.Image(), second.Image());
      } else {
        const uint32_t fill =
            TSurface::ColorMatch(qRgb(background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF));
        DrawOn(setup_->Scene, player, surface, fill, geometry.Origin);
        image = Opaque(surface.Image());
      }
      if (geometry.ZoomedWidth != geometry.Width || geometry.ZoomedHeight != geometry.Height)
        image =
            image.scaled(geometry.ZoomedWidth, geometry.ZoomedHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      animation.Frames.push_back({dir, int(i), ani.Steps[i]->Duration, std::move(image)});
    }
  return true;
}

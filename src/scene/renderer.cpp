#include "scene/renderer.h"

#include <algorithm>
#include <cstdlib>

#include "images/image_cache.h"
#include "model/actor.h"
#include "model/document.h"
#include "platform/display.h"
#include "platform/surface_canvas.h"
#include "scene/styled_text.h"

namespace {

// Movies nest through character actors; deeper nesting than this is not drawn.
constexpr int MaxMovieDepth = 16;

QRgb Rgb(int colour)
{
  return 0xFF000000u | (uint32_t(colour) & 0xFFFFFF);
}

uint32_t Pixel(int colour)
{
  return TSurface::ColorMatch(Rgb(colour));
}

bool Loaded(const TSurfaceOwner *owner)
{
  return owner && owner->Image();
}

// The styled string of a text actor: font, flag letters, text.
std::string TextActorString(const TZeltoActor &a)
{
  std::string letters;
  const std::pair<bool, char> flags[] = {{a.Bold, 'b'},         {a.Italic, 'i'},    {a.Centered, 'c'},
                                         {a.RightAligned, 'r'}, {a.Underline, 'u'}, {a.Strikeout, 's'}};
  for (const auto &[set, letter] : flags)
    if (set)
      letters += letter;
  return a.FontName + "@" + letters + "@" + a.Text;
}

// A horizontal or vertical dotted line from `from` up to, not including, `to`: pixels alternate
// between dot and gap, phase carrying the alternation on into the next segment of a polyline.
// Written straight into the pixels: a dashed QPainter pen costs more than the rest of the scene.
void DottedLine(TSurface &target, QPoint from, QPoint to, uint32_t dot, uint32_t gap, int &phase)
{
  const int dx = (to.x() > from.x()) - (to.x() < from.x());
  const int dy = (to.y() > from.y()) - (to.y() < from.y());
  if (dx != 0 && dy != 0)
    return;
  const int length = std::abs(to.x() - from.x()) + std::abs(to.y() - from.y());
  if (target.IsEmpty())
    return;
  QImage &image = target.Image();
  uint32_t *pixels = reinterpret_cast<uint32_t *>(image.bits());
  const qsizetype stride = image.bytesPerLine() / 4;
  const int width = image.width(), height = image.height();
  const uint32_t values[2] = {0xFF000000u | dot, 0xFF000000u | gap};
  // The phase is counted in a local: kept in the caller's variable it would be read back from
  // memory after every pixel written.
  int x = from.x(), y = from.y(), step = phase;
  for (int i = 0; i < length; ++i, x += dx, y += dy, step ^= 1)
    if (x >= 0 && y >= 0 && x < width && y < height)
      pixels[y * stride + x] = values[step];
  phase = step;
}

// Body colours: the actor's colours go into the body slots of the image's palette, where they
// stay. The surface always shows the image in its current palette (it is also rebuilt from it),
// so it is copied again, whole, only when the palette changed.
void ApplyPlayerColours(TImageAnimation &image, TSurface &surface, const std::array<int, 8> &colours)
{
  bool changed = false;
  for (size_t slot = 0; slot < BodyColorSlots.size(); ++slot) {
    const int rgb = ColorNameRgb(colours[slot]);
    uint8_t *entry = &image.Palette[BodyColorSlots[slot] * 3];
    const uint8_t wanted[3] = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
    if (!std::equal(wanted, wanted + 3, entry)) {
      std::copy(wanted, wanted + 3, entry);
      changed = true;
    }
  }
  if (!changed)
    return;
  QVector<QRgb> table(256);
  for (int i = 0; i < 256; ++i)
    table[i] = qRgb(image.Palette[i * 3], image.Palette[i * 3 + 1], image.Palette[i * 3 + 2]);
  surface.CopyIndexed(0, 0, image.Bitmap, table, image.Bitmap.rect());
}

} // namespace

TSceneRenderer::TSceneRenderer(TSceneState &state) : state_(state), geometry_(ComputeCanvasGeometry(state)) {}

void TSceneRenderer::SetDrawTarget(TSurface *target, const TCanvasGeometry &geometry)
{
  drawTarget_ = target;
  geometry_ = geometry;
}

void TSceneRenderer::DrawScene()
{
  TDisplay *display = state_.Display;
  if (!display || !display->CanDraw())
    return;
  TSurface &buffer = display->Surface();
  drawTarget_ = &buffer;
  geometry_ = ComputeCanvasGeometry(state_);
  state_.Geometry = geometry_;
  const int W = geometry_.Width, H = geometry_.SceneHeight;

  TZeltoActor *editActor = state_.EditActor;
  const TZeltoAni *ani = editActor ? editActor->Ani : nullptr;
  const TSceneColours colours = SceneColours(ani ? ani->BackColor : DefaultBackColor);

  buffer.Fill(QRect(state_.SpriteListLeft, 0, SpriteListWidth, H), Pixel(colours.Light));

  TSurface *zoom = state_.Zoom > 1.0 ? state_.ZoomSurface : nullptr;
  if (zoom && W > 0 && H > 0) {
    if (zoom->Width() != W || zoom->Height() != H)
      zoom->SetSize(W, H);
    if (!zoom->IsEmpty())
      drawTarget_ = zoom;
  }
  if (drawTarget_ != zoom)
    zoom = nullptr;

  DrawBackgroundAndGuides(*drawTarget_, colours);
  if (editActor && state_.OnionSkin && ani && !ani->IsMovie)
    DrawOnionSkin(*editActor, colours.Background, editActor->DX + state_.OriginX, editActor->DY + state_.OriginY);
  if (editActor)
    DrawActor(editActor, drawTarget_, editActor->DX + state_.OriginX, editActor->DY + state_.OriginY);

  if (zoom) {
    drawTarget_ = &buffer;
    buffer.StretchDraw(geometry_.ViewRect, *zoom, geometry_.SceneViewRect);
  } else {
    // Zoom > 1 without a zoom surface draws unmagnified; the geometry must say so.
    geometry_.SceneViewRect = geometry_.ViewRect;
    state_.Geometry = geometry_;
  }

  if (ani && editActor) {
    DrawTimeline(buffer, colours);
    DrawSpriteList(buffer);
  }
  display->Flip();
}

void TSceneRenderer::DrawBackgroundAndGuides(TSurface &target, const TSceneColours &colours)
{
  const int W = geometry_.Width, H = geometry_.SceneHeight;
  const int ox = state_.OriginX, oy = state_.OriginY;
  const uint32_t background = Pixel(colours.Background);
  const uint32_t dot = Pixel(colours.Guide), gap = Pixel(0x008000);
  // The scene's background and the vertical guide a band of rows at a time, so that the guide's
  // dots land in rows still in the cache rather than in a second pass down the whole surface.
  constexpr int band = 16;
  const QRect &view = geometry_.ViewRect;
  int phase = 0;
  for (int top = 0; top < std::max(view.top() + view.height(), H); top += band) {
    target.Fill(QRect(view.left(), top, view.width(), band) & view, background);
    if (top < H)
      DottedLine(target, QPoint(ox, top), QPoint(ox, std::min(top + band, H)), dot, gap, phase);
  }
  phase = 0;
  DottedLine(target, QPoint(state_.SpriteListLeft + SpriteListWidth, oy), QPoint(W, oy), dot, gap, phase);
  phase = 0;
  DottedLine(target, QPoint(ox + 48, oy), QPoint(ox + 48, oy + 48), dot, gap, phase);
  DottedLine(target, QPoint(ox + 48, oy + 48), QPoint(ox, oy + 48), dot, gap, phase);
}

void TSceneRenderer::DrawSpriteList(TSurface &buffer)
{
  const TZeltoAni *ani = state_.EditActor->Ani;
  int y = -state_.SpriteListScroll;
  for (const auto &sprite : ani->Sprites) {
    if (y >= buffer.Height())
      break;
    if (y + 5 + sprite->Height > 0)
      DrawSprite(state_.EditActor, &buffer, sprite.get(), false, state_.SpriteListLeft + (50 - sprite->Width) / 2,
                 y + 5);
    y += sprite->Height + 10;
  }
}

void TSceneRenderer::DrawActor(TZeltoActor *actor, TSurface *target, int x, int y)
{
  if (!target || !actor || !actor->Ani)
    return;
  if (actor->Ani->IsMovie) {
    DrawMovie(actor, target, x, y);
    return;
  }
  const TZeltoAni &ani = *actor->Ani;
  if (actor->FrameIndex < 0 || actor->FrameIndex >= int(ani.Steps.size()))
    return;
  const TZeltoAniStep &step = *ani.Steps[actor->FrameIndex];
  const int dir = ani.SingleDirection ? 0 : actor->Dir;
  if (dir < 0 || dir >= int(step.Directions.size()))
    return;
  const bool isEditActor = actor == state_.EditActor;
  const bool outline = isEditActor && state_.RedrawCountdown > 0;
  const TPartList &parts = step.Directions[dir];
  // Which parts are selected, looked up once: a large selection costs no more per part.
  std::vector<char> selected(outline ? parts.size() : 0, 0);
  for (int index : state_.Selection)
    if (outline && index >= 0 && index < int(parts.size()))
      selected[size_t(index)] = 1;
  for (size_t i = 0; i < parts.size(); ++i) {
    const TZeltoAniPart &part = *parts[i];
    DrawSprite(actor, target, SpriteOfPart(actor, &part), outline && selected[i], x + part.X, y + part.Y);
  }
  TSurfaceOwner *icon = state_.Fixed.SoundIcon;
  if (isEditActor && Loaded(icon))
    for (const auto &sound : step.Sounds)
      if (sound->Tick == actor->FrameTick + 1)
        DrawImage(target, icon, QRect(0, 0, icon->Image()->Width, icon->Image()->Height), x + sound->X, y + sound->Y);
}

void TSceneRenderer::DrawOnionSkin(const TZeltoActor &actor, int background, int x, int y)
{
  const TZeltoAni &ani = *actor.Ani;
  const int dir = ani.SingleDirection ? 0 : actor.Dir;
  const QRect scene = QRect(0, 0, geometry_.Width, geometry_.SceneHeight) & drawTarget_->Bounds();
  if (scene.isEmpty() || dir < 0 || dir >= DirectionCount)
    return;
  const uint32_t backgroundPixel = Pixel(background);
  bool sized = false;
  for (int frame : {actor.FrameIndex - 1, actor.FrameIndex + 1}) {
    if (frame < 0 || frame >= int(ani.Steps.size()) || dir >= int(ani.Steps[frame]->Directions.size()))
      continue;
    const TPartList &parts = ani.Steps[frame]->Directions[dir];
    if (parts.empty())
      continue;
    if (!sized && (ghost_.Width() != drawTarget_->Width() || ghost_.Height() != drawTarget_->Height()) &&
        !ghost_.SetSize(drawTarget_->Width(), drawTarget_->Height()))
      return;
    sized = true;
    ghost_.Fill(scene, backgroundPixel);
    for (const auto &part : parts)
      DrawSprite(&actor, &ghost_, SpriteOfPart(&actor, part.get()), false, x + part->X, y + part->Y);
    // Two parts of what lies below, one part of the neighbouring frame.
    QImage &into = drawTarget_->Image();
    const QImage &from = ghost_.Image();
    for (int py = scene.top(); py <= scene.bottom(); ++py) {
      auto *target = reinterpret_cast<QRgb *>(into.scanLine(py));
      const auto *ghost = reinterpret_cast<const QRgb *>(from.constScanLine(py));
      for (int px = scene.left(); px <= scene.right(); ++px) {
        const uint32_t g = ghost[px] & 0xFFFFFF;
        if (g == backgroundPixel)
          continue;
        const QRgb t = target[px];
        target[px] = qRgb((2 * qRed(t) + qRed(g)) / 3, (2 * qGreen(t) + qGreen(g)) / 3, (2 * qBlue(t) + qBlue(g)) / 3);
      }
    }
  }
}

void TSceneRenderer::DrawMovie(TZeltoActor *movie, TSurface *target, int x, int y)
{
  if (movieDepth_ >= MaxMovieDepth)
    return;
  ++movieDepth_;
  std::vector<TZeltoActor *> actors;
  for (const auto &a : movie->Ani->Actors)
    actors.push_back(a.get());
  std::stable_sort(actors.begin(), actors.end(),
                   [](const TZeltoActor *a, const TZeltoActor *b) { return ComparePaintOrder(*a, *b) < 0; });

  const TTextArea area{target, geometry_.Width, geometry_.SceneHeight, state_.SpriteListLeft + SpriteListWidth};
  std::vector<TDrawText> deferred;
  TSurfaceOwner *icon = state_.Fixed.SoundIcon;
  for (TZeltoActor *a : actors) {
    if (!a->Visible)
      continue;
    const int ax = x + a->DX, ay = y + a->DY;
    switch (a->Kind) {
    case akCharacter:
      DrawActor(a, target, ax, ay);
      if (a->Ani && !a->Ani->IsMovie) {
        if (!a->Name.empty())
          DrawChatText(nullptr, a->Name, 0xFFFFFF, ay + 40, ax + 24, area);
        if (!a->Chat.empty())
          DrawChatText(&deferred, a->Chat, 0xFFFFFF, ay - 16, ax + 24, area);
      }
      break;
    case akSprite:
      DrawSprite(movie, target, SpriteOfActor(a), a == state_.SelectedActor && state_.RedrawCountdown > 0, ax, ay);
      break;
    case akSound:
      if (Loaded(icon))
        DrawImage(target, icon, QRect(0, 0, icon->Image()->Width, icon->Image()->Height), ax, ay);
      break;
    case akText:
      if (!a->Text.empty() && a->Zoom > 0) {
        a->TextRects.clear();
        const auto rects =
            DrawStyledText(TextActorString(*a), ax, ay, a->Shaded, a->WordWrap, a->Zoom, a->TextColor, area);
        if (rects)
          for (const QRect &r : *rects)
            a->TextRects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
      }
      break;
    }
  }
  for (const TDrawText &text : deferred)
    DrawChatText(nullptr, text.Text, text.Colour, text.Y, text.X, area);
  --movieDepth_;
}

void TSceneRenderer::DrawSprite(const TZeltoActor *lookActor, TSurface *target, const TZeltoAniSprite *sprite,
                                bool highlighted, int x, int y)
{
  if (!sprite || !target)
    return;
  // A definition already on the chain being drawn is not drawn again: attachment cycles end. The
  // outermost sprite sets the budget of draws for itself and all its attachments.
  if (chain_.empty())
    drawsLeft_ = MaxAttachmentDraws;
  if (drawsLeft_ <= 0 || chain_.size() >= size_t(MaxAttachmentDepth) ||
      std::find(chain_.begin(), chain_.end(), sprite) != chain_.end())
    return;
  --drawsLeft_;
  chain_.push_back(sprite);

  playerColours_ = nullptr;
  if (TSurfaceOwner *owner = ImageForSprite(state_, lookActor, sprite, &playerColours_))
    DrawImage(target, owner, QRect(sprite->Left, sprite->Top, sprite->Width, sprite->Height), x, y);
  playerColours_ = nullptr;

  for (const auto &attachment : sprite->Attachments)
    DrawSprite(lookActor, target, attachment->Sprite, highlighted, x + attachment->X, y + attachment->Y);

  if (highlighted) {
    TSurfaceCanvas canvas(*target);
    canvas.SetPen(0xFFFFFFFF, TPenStyle::Invert);
    canvas.Frame(x, y, x + sprite->Width, y + sprite->Height);
  }
  chain_.pop_back();
}

void TSceneRenderer::DrawImage(TSurface *target, TSurfaceOwner *owner, const QRect &source, int x, int y)
{
  if (!target || !owner)
    return;
  int sx = source.left(), sy = source.top(), w = source.width(), h = source.height();
  if (target == drawTarget_) {
    const int W = geometry_.Width, H = geometry_.SceneHeight;
    if (x + w < 1 || x >= W || y + h < 1 || y >= H)
      return;
    // Cut at the scene's edges; what is cut on the left or top moves the source along.
    if (x < 0) {
      sx -= x;
      w += x;
      x = 0;
    }
    if (y < 0) {
      sy -= y;
      h += y;
      y = 0;
    }
    w = std::min(w, W - x);
    h = std::min(h, H - y);
  }
  if (w <= 0 || h <= 0)
    return;
  const QRect rect(sx, sy, w, h);

  TSurface *surface = owner->DrawingSurface();
  if (!surface)
    return;
  if (playerColours_)
    ApplyPlayerColours(*owner->Image(), *surface, *playerColours_);
  target->Draw(x, y, *surface, rect,
               target == drawTarget_ ? QRect(0, 0, geometry_.Width, geometry_.SceneHeight) : QRect());
}

void DrawScene(TSceneState &state)
{
  TSceneRenderer(state).DrawScene();
}

// What lies under a point: parts of a frame and actors of a movie, tested against the decoded
// images' transparent pixels.
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/document.h"
#include "scene/renderer.h"

namespace {

// Movies nest through character actors; deeper nesting than this is not searched.
constexpr int MaxMovieDepth = 16;

bool Opaque(const TSurfaceOwner *owner, int x, int y)
{
  const TImageAnimation *image = owner ? owner->Image() : nullptr;
  return image && !image->IsTransparentPixel(x, y);
}

bool Inside(const TZeltoAniSprite &sprite, int dx, int dy)
{
  return dx >= 0 && dy >= 0 && dx < sprite.Width && dy < sprite.Height;
}

// The sprite itself or one of its first-level attachments is opaque at (dx, dy) from its corner.
// An attachment of the sprite to itself is not drawn (see renderer.h), so it is not hit either.
bool SpriteHit(const TSceneState &state, const TZeltoActor *look, const TZeltoAniSprite *sprite, int dx, int dy)
{
  if (!sprite)
    return false;
  if (Inside(*sprite, dx, dy) && Opaque(ImageForSprite(state, look, sprite), sprite->Left + dx, sprite->Top + dy))
    return true;
  for (const auto &attachment : sprite->Attachments) {
    const TZeltoAniSprite *attached = attachment->Sprite;
    if (!attached || attached == sprite)
      continue;
    const int ex = dx - attachment->X, ey = dy - attachment->Y;
    if (Inside(*attached, ex, ey) &&
        Opaque(ImageForSprite(state, look, attached), attached->Left + ex, attached->Top + ey))
      return true;
  }
  return false;
}

bool MissesPoint(const TSceneState &state, const TZeltoActor *actor, int x, int y, int depth)
{
  if (!actor)
    return true;
  switch (actor->Kind) {
  case akCharacter:
    if (!actor->Ani)
      return true;
    if (!actor->Ani->IsMovie)
      return PartAt(state, actor, x, y) < 0;
    if (depth >= MaxMovieDepth)
      return true;
    for (const auto &a : actor->Ani->Actors)
      if (!MissesPoint(state, a.get(), x - a->DX, y - a->DY, depth + 1))
        return false;
    return true;
  case akSprite: {
    if (!actor->Parent)
      return true;
    const TZeltoAniSprite *sprite = SpriteOfActor(actor);
    return !sprite || !Inside(*sprite, x, y) ||
           !Opaque(ImageForSprite(state, actor->Parent, sprite), sprite->Left + x, sprite->Top + y);
  }
  case akSound:
    return !Opaque(state.Fixed.SoundIcon, x, y);
  case akText:
    for (const TTextRect &r : actor->TextRects)
      if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
        return false;
    return true;
  }
  return true;
}

} // namespace

int PartAt(const TSceneState &state, const TZeltoActor *actor, int x, int y)
{
  if (!actor || !actor->Ani || actor->Ani->IsMovie)
    return -1;
  const TZeltoAni &ani = *actor->Ani;
  if (actor->FrameIndex < 0 || actor->FrameIndex >= int(ani.Steps.size()))
    return -1;
  const TZeltoAniStep &step = *ani.Steps[actor->FrameIndex];
  const int dir = ani.SingleDirection ? 0 : actor->Dir;
  if (dir < 0 || dir >= int(step.Directions.size()))
    return -1;
  const TPartList &parts = step.Directions[dir];
  for (int i = int(parts.size()) - 1; i >= 0; --i) {
    const TZeltoAniPart &part = *parts[i];
    if (SpriteHit(state, actor, SpriteOfPart(actor, &part), x - part.X, y - part.Y))
      return i;
  }
  return -1;
}

bool ActorMissesPoint(const TSceneState &state, const TZeltoActor *actor, int x, int y)
{
  return MissesPoint(state, actor, x, y, 0);
}

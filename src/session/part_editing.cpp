// Editing the parts of the current frame: the selection, nudges, drawing order, deletion, typed
// positions, parts and sounds that leave the view, and files dropped on the window.
#include <algorithm>
#include <climits>

#include "core/file_io.h"
#include "core/helpers.h"
#include "images/image_cache.h"
#include "model/writer.h"
#include "scene/renderer.h"
#include "session/definition_entries.h"
#include "session/dialogs.h"
#include "session/edit_session.h"
#include "session/sound_entries.h"

namespace {

std::string LowerExtension(const std::string &name)
{
  const std::string key = ExtractKey(name);
  const size_t dot = key.rfind('.');
  return dot == std::string::npos ? std::string() : key.substr(dot);
}

} // namespace

std::vector<TZeltoAniPart *> TEditSession::SelectedParts()
{
  // Indices go stale when the frame or direction changes under them: only those that still name
  // a part of the current list count, and the others are dropped.
  std::vector<TZeltoAniPart *> selected;
  TPartList *parts = CurrentPartList();
  std::vector<int> valid;
  std::vector<char> seen(parts ? parts->size() : 0, 0);
  for (int index : Scene.Selection)
    if (parts && index >= 0 && index < int(parts->size()) && !seen[size_t(index)]) {
      seen[size_t(index)] = 1;
      valid.push_back(index);
      selected.push_back((*parts)[size_t(index)].get());
    }
  Scene.Selection = valid;
  return selected;
}

int TEditSession::SceneX(int canvasX) const
{
  const TCanvasGeometry g = Geometry();
  return FloorEps((canvasX - g.ViewRect.left()) / Scene.Zoom) + g.SceneViewRect.left();
}

int TEditSession::SceneY(int canvasY) const
{
  const TCanvasGeometry g = Geometry();
  return FloorEps((canvasY - g.ViewRect.top()) / Scene.Zoom) + g.SceneViewRect.top();
}

void TEditSession::MoveSelection(int dx, int dy)
{
  std::vector<TZeltoAniPart *> parts = SelectedParts();
  if (parts.empty())
    return;
  for (TZeltoAniPart *part : parts) {
    part->X = SaturatedInt((long long)part->X + dx);
    part->Y = SaturatedInt((long long)part->Y + dy);
  }
  ::SetModified(GetCurrentAni(), true);
  auto entry = std::make_unique<TEditOperation>(okMoveParts, EditActor->Dir, CurrentStep());
  entry->Parts = parts;
  entry->DX = dx;
  entry->DY = dy;
  entry->Mergeable = true;
  RecordOperation(std::move(entry));
  Show(TViewPart::SelectionInfo);
  NeedsRedraw = true;
}

void TEditSession::ChangeSelectionOrder(int delta)
{
  TPartList *parts = CurrentPartList();
  std::vector<TZeltoAniPart *> selected = SelectedParts();
  if (!parts || selected.empty())
    return;
  const std::vector<TZeltoAniPart *> moved = SwapOnePlace(*parts, Scene.Selection, delta);
  Scene.Selection.clear();
  for (TZeltoAniPart *part : selected)
    Scene.Selection.push_back(IndexOfPart(*parts, part));
  std::sort(Scene.Selection.begin(), Scene.Selection.end());
  if (!moved.empty()) {
    auto entry = std::make_unique<TEditOperation>(okOrderParts, EditActor->Dir, CurrentStep());
    entry->Parts = moved;
    entry->OrderDelta = delta;
    RecordOperation(std::move(entry));
    ::SetModified(GetCurrentAni(), true);
  }
  Show(TViewPart::PartList);
  NeedsRedraw = true;
}

void TEditSession::DeleteSelectedParts()
{
  TPartList *parts = CurrentPartList();
  // The parts themselves are collected first: indices in selection order name other parts as
  // soon as one is removed.
  std::vector<TZeltoAniPart *> selected = SelectedParts();
  if (!parts || selected.empty())
    return;
  auto entry = std::make_unique<TEditOperation>(okRemoveParts, EditActor->Dir, CurrentStep());
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    const int index = IndexOfPart(*parts, *it);
    (*it)->SavedIndex = index;
    History.Keep(std::move((*parts)[size_t(index)]));
    parts->erase(parts->begin() + index);
    entry->Parts.push_back(*it);
  }
  Scene.Selection.clear();
  RecordOperation(std::move(entry));
  ::SetModified(GetCurrentAni(), true);
  Show(TViewPart::PartList);
  NeedsRedraw = true;
}

void TEditSession::CommitCoordinate(bool isX, const std::string &text)
{
  const int primary = PrimarySelection();
  if (primary < 0) {
    Show(TViewPart::SelectionInfo);
    return;
  }
  TZeltoAniPart *part = (*CurrentPartList())[size_t(primary)].get();
  std::optional<int> value = ParseInt(TrimControl(text));
  // Typed positions stay within MaxCoordinate, and so near the old one that the displacement
  // (which undo negates) is an integer even for a part at the very edge of the range.
  if (value) {
    const long long old = isX ? part->X : part->Y;
    value = int(std::clamp<long long>(*value, std::max<long long>(-MaxCoordinate, old - INT_MAX),
                                      std::min<long long>(MaxCoordinate, old + INT_MAX)));
  }
  if (value && *value != (isX ? part->X : part->Y)) {
    auto entry = std::make_unique<TEditOperation>(okMoveParts, part, EditActor->Dir, CurrentStep());
    (isX ? entry->DX : entry->DY) = int((long long)*value - (isX ? part->X : part->Y));
    RecordOperation(std::move(entry));
    (isX ? part->X : part->Y) = *value;
    ::SetModified(GetCurrentAni(), true);
    NeedsRedraw = true;
  }
  // A value that is not an integer shows the part's own again.
  Show(TViewPart::SelectionInfo);
}

bool TEditSession::MeetsView(int left, int top, int width, int height, int margin) const
{
  const QRect view = Geometry().SceneViewRect;
  const int x = Scene.OriginX + left, y = Scene.OriginY + top;
  return x < view.left() + view.width() && y < view.top() + view.height() &&
         x + width > view.left() - margin / Scene.Zoom && y + height > view.top();
}

void TEditSession::RemovePartsOutsideView(int margin)
{
  // Only parts being dragged leave with the view. A release of a click on the time line or of a
  // pan must not delete selected parts that merely lie outside the view (after a click on the
  // ruler the selection even names parts of another frame, whose saved positions are stale).
  TPartList *parts = CurrentPartList();
  if (!MouseIsDown || !parts || Scene.DragMode != dmParts)
    return;
  std::vector<TZeltoAniPart *> selected = SelectedParts();
  auto entry = std::make_unique<TEditOperation>(okRemoveParts, EditActor->Dir, CurrentStep());
  std::vector<int> remaining;
  for (TZeltoAniPart *part : selected) {
    // The definition the part shows, slots resolved as the renderer resolves them; a part whose
    // size cannot be known is never removed.
    const TZeltoAniSprite *sprite = SpriteOfPart(EditActor.get(), part);
    if (!sprite || MeetsView(part->X, part->Y, sprite->Width, sprite->Height, margin))
      continue;
    part->X = part->SavedX;
    part->Y = part->SavedY;
    const int index = IndexOfPart(*parts, part);
    part->SavedIndex = index;
    History.Keep(std::move((*parts)[size_t(index)]));
    parts->erase(parts->begin() + index);
    entry->Parts.push_back(part);
  }
  if (entry->Parts.empty())
    return;
  Scene.Selection.clear();
  for (TZeltoAniPart *part : selected)
    if (const int index = IndexOfPart(*parts, part); index >= 0)
      Scene.Selection.push_back(index);
  MouseIsDown = !Scene.Selection.empty();
  ::SetModified(GetCurrentAni(), true);
  Show(TViewPart::PartList);
  NeedsRedraw = true;
  RecordOperation(std::move(entry));
}

void TEditSession::RemoveSoundOutsideView(int margin)
{
  TZeltoAniStep *step = CurrentStep();
  if (!step || DragSoundIndex < 0 || DragSoundIndex >= int(step->Sounds.size()))
    return;
  TZeltoAniSound &sound = *step->Sounds[size_t(DragSoundIndex)];
  if (MeetsView(sound.X, sound.Y, 32, 32, margin))
    return;
  // The sound goes into the history, where it was before the drag, and undo brings it back.
  sound.X = sound.SavedX;
  sound.Y = sound.SavedY;
  std::unique_ptr<TZeltoAniSound> taken = std::move(step->Sounds[size_t(DragSoundIndex)]);
  step->Sounds.erase(step->Sounds.begin() + DragSoundIndex);
  const int index = DragSoundIndex;
  DragSoundIndex = -1;
  ::SetModified(GetCurrentAni(), true);
  NeedsRedraw = true;
  TZeltoAniSound *removed = taken.get();
  RecordOperation(std::make_unique<TSoundListEntry>(step, removed, index, std::move(taken)));
}

void TEditSession::DropFiles(const std::vector<std::string> &files, int canvasX, int canvasY)
{
  // The drop point goes through the zoom as a press does, so the file lands under the pointer.
  const int x = SceneX(canvasX) - Scene.OriginX, y = SceneY(canvasY) - Scene.OriginY;
  for (const std::string &file : files) {
    // Sprite mode needs a frame to put parts and sounds in; movie mode makes actors.
    if (!IsRegularFile(file) || (!MovieMode && !CurrentPartList()))
      continue;
    const bool image = IsImageFileName(file), sound = LowerExtension(file) == ".wav";
    // The file names a sprite definition or a frame sound in the file, where a blank would break
    // the line (an image name with one makes the whole file unreadable).
    if ((image || sound) && !IsStorableFileName(ExtractKey(file))) {
      Dialogs().ShowError("Cannot use " + file + ": an animation cannot store a file name with blanks");
      continue;
    }
    if (image)
      DropImage(ExtractKey(file), x, y);
    else if (sound && MovieMode)
      AddSoundActor(file, x, y);
    else if (sound)
      AddSound(file, x, y);
  }
  NeedsRedraw = true;
}

void TEditSession::DropImage(const std::string &name, int x, int y)
{
  TZeltoAni *ani = GetCurrentAni();
  TPartList *parts = CurrentPartList();
  EnsureImageLoaded(name);
  const TSurfaceOwner *owner = Setup.ImageCache.Find(name);
  const TImageAnimation *image = owner ? owner->Image() : nullptr;
  if (!ani || (!parts && !MovieMode) || !image || image->Width < 1 || image->Height < 1)
    return;

  // The definition of that image, or a new one with the first free index from 1 on.
  TZeltoAniSprite *sprite = nullptr;
  int candidate = 1;
  auto place = ani->Sprites.begin();
  for (; place != ani->Sprites.end(); ++place) {
    if (ExtractKey((*place)->Image) == name) {
      sprite = place->get();
      break;
    }
    if ((*place)->Index == candidate)
      ++candidate;
    else if ((*place)->Index > candidate)
      break;
  }
  if (!sprite) {
    // The new definition is an entry of its own, before the part's: undo takes both.
    auto entry = std::make_unique<TDefinitionEntry>(*ani);
    auto added = std::make_unique<TZeltoAniSprite>();
    added->Index = candidate;
    added->Image = name;
    added->Width = image->Width;
    added->Height = image->Height;
    added->Description = StorableDescription(name.substr(0, name.rfind('.')));
    sprite = added.get();
    ani->Sprites.insert(place, std::move(added));
    ::SetModified(ani, true);
    if (entry->Finish(*this, {}))
      RecordOperation(std::move(entry));
    UpdateSpriteListLayout();
    // Scroll so that the new entry is wholly visible.
    const int page = SpriteListPage();
    Scene.SpriteListScroll =
        std::min(sprite->ListTop, std::max(Scene.SpriteListScroll, sprite->ListTop + sprite->Height + 10 - page));
    Show(TViewPart::SpriteList);
  }

  if (MovieMode) {
    AddSpriteActor(sprite, x - image->Width / 2, y - image->Height / 2);
    return;
  }
  auto part = std::make_unique<TZeltoAniPart>();
  part->Sprite = sprite;
  part->ParamSlot = part->AttrSlot = -1;
  part->X = x - image->Width / 2;
  part->Y = y - image->Height / 2;
  TZeltoAniPart *added = part.get();
  parts->push_back(std::move(part));
  Show(TViewPart::PartList);
  RecordOperation(std::make_unique<TEditOperation>(okAddParts, added, EditActor->Dir, CurrentStep()));
  ::SetModified(ani, true);
}

// --- Sprite definitions. ---

bool TEditSession::AddSpriteDefinitions(const TSpriteGrid &grid, std::string *error)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return true;
  const long long columns = std::max(grid.Columns, 0), rows = std::max(grid.Rows, 0);
  auto fail = [error](const std::string &message) {
    if (error)
      *error = message;
    return false;
  };
  if (columns * rows > MaxGridSprites)
    return fail("A grid may hold at most " + std::to_string(MaxGridSprites) + " sprites");
  // The image name is a word of its line: without one, the numbers after it shift into its place
  // and the saved file no longer opens.
  if (TrimControl(grid.Image).empty())
    return fail("A sprite needs the name of its image");
  if (!IsStorableFileName(grid.Image))
    return fail("'" + grid.Image + "': an animation cannot store a file name with blanks");
  const auto fits = [](long long value) { return value >= INT_MIN && value <= INT_MAX; };
  if (columns * rows > 0 && (!fits(grid.Index + columns * rows - 1) || !fits(grid.Left + (columns - 1) * grid.Width) ||
                             !fits(grid.Top + (rows - 1) * grid.Height)))
    return fail("The grid's sprite indices or positions leave the range of whole numbers");

  // The definitions it replaces keep their old values in the entry, which gives them back on undo.
  auto entry = std::make_unique<TDefinitionEntry>(*ani);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const int index = int(grid.Index + c + columns * r);
      TZeltoAniSprite *sprite = FindSprite(ani, index);
      if (!sprite) {
        ani->Sprites.push_back(std::make_unique<TZeltoAniSprite>());
        sprite = ani->Sprites.back().get();
        sprite->Index = index;
      } else {
        entry->NoteFields(sprite);
      }
      sprite->Image = grid.Image;
      sprite->Left = grid.Left + c * grid.Width;
      sprite->Top = grid.Top + r * grid.Height;
      sprite->Width = grid.Width;
      sprite->Height = grid.Height;
      std::string description = grid.Description;
      if (columns > 1 && rows > 1)
        description += " (" + std::to_string(c) + ", " + std::to_string(r) + ")";
      else if (columns > 1)
        description += " (" + std::to_string(c) + ")";
      else if (rows > 1)
        description += " (" + std::to_string(r) + ")";
      sprite->Description = StorableDescription(description);
    }
  std::stable_sort(ani->Sprites.begin(), ani->Sprites.end(),
                   [](const auto &a, const auto &b) { return a->Index < b->Index; });
  if (entry->Finish(*this, {}))
    RecordOperation(std::move(entry));
  EnsureImageLoaded(grid.Image);
  // Added or changed definitions are changes of the document: without the mark a close would lose
  // them without asking.
  if (columns * rows > 0)
    ::SetModified(ani, true);
  UpdateSpriteListLayout();
  NeedsRedraw = true;
  return true;
}

// --- The sprite-list strip. ---

int TEditSession::SpriteListPage() const
{
  return std::max(0, Scene.PanelHeight - Scene.TimelineHeight);
}

void TEditSession::UpdateSpriteListLayout()
{
  TZeltoAni *ani = GetCurrentAni();
  long long y = 0;
  if (ani)
    for (const auto &sprite : ani->Sprites) {
      sprite->ListTop = ClampTicks(y);
      y += (long long)sprite->Height + 10;
    }
  SpriteListTotal = ClampTicks(y);
  const int page = SpriteListPage();
  if (!ani || SpriteListTotal <= page)
    Scene.SpriteListScroll = 0;
  else if (SpriteListTotal - page < Scene.SpriteListScroll)
    Scene.SpriteListScroll = SpriteListTotal - page;
  Show(TViewPart::SpriteList);
}

int TEditSession::SpriteListIndexAt(int x, int y) const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani || x >= Scene.SpriteListLeft + SpriteListWidth)
    return -1;
  const int timelineTop = Geometry().TimelineTop;
  long long top = -Scene.SpriteListScroll;
  for (size_t i = 0; i < ani->Sprites.size(); ++i) {
    const long long bottom = top + ani->Sprites[i]->Height + 10;
    if (top <= y && y < bottom)
      return int(i);
    if (bottom >= timelineTop)
      break;
    top = bottom;
  }
  return -1;
}

int TEditSession::TakeSpriteFromList(int entry)
{
  TZeltoAni *ani = GetCurrentAni();
  TPartList *parts = CurrentPartList();
  if (!ani || !parts || entry < 0 || entry >= int(ani->Sprites.size()))
    return -1;
  TZeltoAniSprite *sprite = ani->Sprites[size_t(entry)].get();
  // The entry's drawn corner, in the part coordinates of the zoomed scene.
  const TCanvasGeometry g = Geometry();
  const int entryX = Scene.SpriteListLeft + (SpriteListWidth - sprite->Width) / 2;
  const int entryY = sprite->ListTop - Scene.SpriteListScroll + 5;
  const int originX = g.ViewRect.left() + FloorEps((Scene.OriginX - g.SceneViewRect.left()) * Scene.Zoom);
  const int originY = g.ViewRect.top() + FloorEps((Scene.OriginY - g.SceneViewRect.top()) * Scene.Zoom);
  auto part = std::make_unique<TZeltoAniPart>();
  part->Sprite = sprite;
  part->ParamSlot = part->AttrSlot = -1;
  part->X = FloorEps((entryX - originX) / Scene.Zoom);
  part->Y = FloorEps((entryY - originY) / Scene.Zoom);
  part->IsNew = true;
  parts->push_back(std::move(part));
  ::SetModified(ani, true);
  Scene.Selection = {int(parts->size()) - 1};
  Show(TViewPart::PartList);
  return int(parts->size()) - 1;
}

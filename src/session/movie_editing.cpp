// Movie mode: the actor list and selection, adding, deleting, copying and inserting actors, the
// gestures on actors, keys and the time line, the key menus, movie playback and the keys on
// actors. Every change of an actor's keys that can be undone is bracketed by BeginActorChange
// and EndActorChange, which turn the key lines it wrote into one history entry.
#include <algorithm>

#include "core/file_io.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/context.h"
#include "scene/renderer.h"
#include "session/edit_session.h"

namespace {

// Rows whose attributes every character, sprite and text actor keeps in its first key.
bool FirstKeyRow(int row)
{
  return (row >= 3 && row <= 8) || row == 10 || row == 11 || (row >= 18 && row <= 25);
}

// The grid rows of dx, dy and layer for each kind (none: -1).
int PositionRow(int kind, const char *name)
{
  const bool sound = kind == akSound;
  if (std::string(name) == "dx")
    return sound ? 2 : 4;
  if (std::string(name) == "dy")
    return sound ? 3 : 5;
  return sound ? -1 : 6;
}

} // namespace

void TEditSession::RecordKeyEdit(TZeltoActor *actor, const TKeyLines &before)
{
  // The change as attribute changes: every line that went, came or changed, by time and name.
  auto entry = std::make_unique<TEditOperation>(okChangeActor);
  entry->Actor = actor;
  entry->Changes = KeyChanges(before, KeyLinesOf(*actor));
  if (!entry->Changes.empty())
    RecordOperation(std::move(entry));
}

// --- The actor list and the selection. ---

void TEditSession::RefreshActorList()
{
  if (TZeltoAni *ani = GetCurrentAni())
    std::stable_sort(ani->Actors.begin(), ani->Actors.end(),
                     [](const auto &a, const auto &b) { return CompareListOrder(*a, *b) < 0; });
  Show(TViewPart::ActorList);
}

std::vector<std::string> TEditSession::ActorListItems() const
{
  std::vector<std::string> items;
  if (const TZeltoAni *ani = GetCurrentAni()) {
    items.push_back("Velk");
    for (const auto &actor : ani->Actors)
      items.push_back("Actor " + actor->Name);
  }
  return items;
}

void TEditSession::ChooseActorItem(int item)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!MovieMode || !ani)
    return;
  if (item <= 0 || item > int(ani->Actors.size())) {
    Scene.SelectedActor = nullptr;
    GridMode = 0;
    Show(TViewPart::OptionsGrid);
    Show(TViewPart::Buttons);
  } else {
    SelectActor(ani->Actors[size_t(item - 1)].get());
  }
  NeedsRedraw = true;
}

void TEditSession::SelectActor(TZeltoActor *actor)
{
  Scene.SelectedActor = actor;
  GridMode = actor ? 1 : 0;
  if (view_)
    view_->SelectActor(actor);
  Show(TViewPart::OptionsGrid);
  Show(TViewPart::Buttons);
}

void TEditSession::ForgetActor(const TZeltoActor *actor)
{
  // Keys of an actor that goes are neither dragged nor offered in a menu any more.
  auto owns = [actor](const TZeltoActorMod *key) {
    return key && std::any_of(actor->Keys.begin(), actor->Keys.end(), [key](const auto &k) { return k.get() == key; });
  };
  if (owns(DragKey))
    DragKey = nullptr;
  if (owns(MenuKey))
    MenuKey = nullptr;
  if (Scene.SelectedActor == actor) {
    Scene.SelectedActor = nullptr;
    GridMode = 0;
  }
}

// --- Adding, deleting, copying and inserting actors. ---

TZeltoActor *TEditSession::AddActor(std::unique_ptr<TZeltoActor> actor, const std::vector<std::string> &keyed)
{
  TZeltoAni *ani = GetCurrentAni();
  TZeltoActor *added = actor.get();
  ani->Actors.push_back(std::move(actor));
  ::SetModified(ani, true);
  BeginActorChange(added, true);
  const int now = GetCurrentTime();
  for (const std::string &name : keyed)
    for (int row = 0; row < AttributeRowCount(*added); ++row) {
      const TAttributeRow attribute = GetAttributeRow(*added, row);
      if (attribute.Name == name) {
        SetKey(added, now, name, attribute.Value);
        break;
      }
    }
  EndActorChange();
  RefreshActorList();
  SelectActor(added);
  NeedsRedraw = true;
  return added;
}

TZeltoActor *TEditSession::AddCharacterActor()
{
  if (!MovieMode || !GetCurrentAni())
    return nullptr;
  return AddActor(std::make_unique<TZeltoActor>(EditActor.get(), akCharacter),
                  {"visible", "dx", "dy", "layer", "ani", "dir", "head", "body", "sword", "shield", "horse", "color0",
                   "color1", "color2", "color3", "color4"});
}

TZeltoActor *TEditSession::AddTextActor(int x, int y)
{
  if (!MovieMode || !GetCurrentAni())
    return nullptr;
  auto actor = std::make_unique<TZeltoActor>(EditActor.get(), akText);
  actor->Text = "text";
  actor->DX = x;
  actor->DY = y;
  return AddActor(std::move(actor),
                  {"text", "visible", "dx", "dy", "layer", "font", "color", "zoom", "fontsize", "bold", "italic",
                   "centered", "rightaligned", "underline", "strikeout", "wordwrap", "shaded"});
}

TZeltoActor *TEditSession::AddSoundActor(const std::string &file, int x, int y)
{
  if (!MovieMode || !GetCurrentAni())
    return nullptr;
  auto actor = std::make_unique<TZeltoActor>(EditActor.get(), akSound);
  actor->SoundFile = ExtractKey(file);
  actor->DX = x;
  actor->DY = y;
  TZeltoActor *added = AddActor(std::move(actor), {"file", "dx", "dy"});
  if (!file.empty())
    if (const std::string path = IsRegularFile(file) ? file : ResolveFile(file); !path.empty())
      PlaySoundFile(path);
  return added;
}

TZeltoActor *TEditSession::AddSpriteActor(TZeltoAniSprite *sprite, int x, int y)
{
  if (!MovieMode || !GetCurrentAni() || !sprite)
    return nullptr;
  auto actor = std::make_unique<TZeltoActor>(EditActor.get(), akSprite);
  actor->Sprite = sprite;
  actor->DX = x;
  actor->DY = y;
  actor->Visible = true;
  return AddActor(std::move(actor), {"visible", "sprite #", "dx", "dy"});
}

void TEditSession::DeleteActor()
{
  TZeltoAni *ani = GetCurrentAni();
  TZeltoActor *actor = Scene.SelectedActor;
  if (!ani || !actor)
    return;
  auto &actors = ani->Actors;
  auto found = std::find_if(actors.begin(), actors.end(), [actor](const auto &a) { return a.get() == actor; });
  if (found == actors.end())
    return;
  ForgetActor(actor);
  History.Keep(std::move(*found));
  actors.erase(found);
  ::SetModified(ani, true);
  auto entry = std::make_unique<TEditOperation>(okDeleteActor);
  entry->Actor = actor;
  RecordOperation(std::move(entry));
  Scene.SelectedActor = nullptr;
  GridMode = 0;
  RefreshActorList();
  Show(TViewPart::OptionsGrid);
  Show(TViewPart::Buttons);
  NeedsRedraw = true;
}

void TEditSession::CopyActorCommand()
{
  if (!Scene.SelectedActor)
    return;
  ActorClipboard = CopyActor(*Scene.SelectedActor);
  // The copy gives back the name number it took: the inserted actor takes it.
  --Context().ActorNameCounters[size_t(ActorClipboard->Kind)];
  Show(TViewPart::Buttons);
}

void TEditSession::InsertActor()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || !ActorClipboard)
    return;
  // The copied actor's definition may have left the document since.
  if (ActorClipboard->Sprite && std::none_of(ani->Sprites.begin(), ani->Sprites.end(), [this](const auto &sprite) {
        return sprite.get() == ActorClipboard->Sprite;
      }))
    ActorClipboard->Sprite = nullptr;
  ani->Actors.push_back(CopyActor(*ActorClipboard));
  TZeltoActor *inserted = ani->Actors.back().get();
  ::SetModified(ani, true);
  auto entry = std::make_unique<TEditOperation>(okAddActor);
  entry->Actor = inserted;
  RecordOperation(std::move(entry));
  RefreshActorList();
  SelectActor(inserted);
  ShowTime(GetCurrentTime());
  NeedsRedraw = true;
}

// --- The canvas in movie mode. ---

TZeltoActor *TEditSession::ActorAt(int x, int y) const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return nullptr;
  std::vector<TZeltoActor *> actors;
  for (const auto &actor : ani->Actors)
    actors.push_back(actor.get());
  std::stable_sort(actors.begin(), actors.end(),
                   [](const TZeltoActor *a, const TZeltoActor *b) { return ComparePaintOrder(*a, *b) < 0; });
  for (auto it = actors.rbegin(); it != actors.rend(); ++it)
    if ((*it)->Visible && !ActorMissesPoint(Scene, *it, x - (*it)->DX, y - (*it)->DY))
      return *it;
  return nullptr;
}

void TEditSession::MovieMouseDown(bool rightButton, int x, int y)
{
  const TCanvasGeometry g = Geometry();
  MouseIsDown = true;
  if (y >= g.TimelineTop) {
    if (y > g.TimelineTop + 15)
      TimelineRulerDrag(x, y, true);
    else
      PressKeyStrip(rightButton, x, y);
    return;
  }
  DragStartX = MouseSceneX;
  DragStartY = MouseSceneY;
  panOriginX_ = Scene.OriginX;
  panOriginY_ = Scene.OriginY;
  TZeltoActor *hit = ActorAt(MouseSceneX - Scene.OriginX, MouseSceneY - Scene.OriginY);
  if (!hit) {
    // A press on the sprite strip adds a sprite actor where the entry is drawn, dragged at once.
    const int entry = SpriteListIndexAt(x, y);
    if (entry >= 0) {
      TZeltoAniSprite *sprite = GetCurrentAni()->Sprites[size_t(entry)].get();
      const int entryX = Scene.SpriteListLeft + (SpriteListWidth - sprite->Width) / 2;
      const int entryY = sprite->ListTop - Scene.SpriteListScroll + 5;
      hit = AddSpriteActor(sprite, SceneX(entryX) - Scene.OriginX, SceneY(entryY) - Scene.OriginY);
    }
  }
  if (hit) {
    SelectActor(hit);
    hit->DragStartDX = hit->DX;
    hit->DragStartDY = hit->DY;
    Scene.DragMode = dmActor;
  } else {
    Scene.DragMode = dmPan;
  }
  NeedsRedraw = true;
}

void TEditSession::MovieMouseMove(int x, int y)
{
  if (!MouseIsDown)
    return;
  const int dx = MouseSceneX - DragStartX, dy = MouseSceneY - DragStartY;
  switch (Scene.DragMode) {
  case dmTime:
  case dmLength:
    TimelineRulerDrag(x, y, false);
    break;
  case dmPan:
    Scene.OriginX = panOriginX_ + dx;
    Scene.OriginY = panOriginY_ + dy;
    NeedsRedraw = true;
    break;
  case dmActor:
    if (TZeltoActor *actor = Scene.SelectedActor) {
      actor->DX = SaturatedInt((long long)actor->DragStartDX + dx);
      actor->DY = SaturatedInt((long long)actor->DragStartDY + dy);
      if (actor->DX != actor->DragStartDX || actor->DY != actor->DragStartDY) {
        BeginActorChange(actor, false);
        SetKey(actor, GetCurrentTime(), "dx", std::to_string(actor->DX));
        SetKey(actor, GetCurrentTime(), "dy", std::to_string(actor->DY));
        EndActorChange();
        Show(TViewPart::OptionsGrid);
        NeedsRedraw = true;
      }
    }
    break;
  case dmKey:
    DragKeyTo(x);
    break;
  }
}

void TEditSession::MovieMouseUp()
{
  if (Scene.DragMode == dmKey && Scene.SelectedActor) {
    MergeKeysWithSameTime(Scene.SelectedActor);
    DragKey = nullptr;
    // The whole drag is one entry.
    RecordKeyEdit(Scene.SelectedActor, keysBeforeDrag_);
  }
  if (Scene.DragMode == dmActor || (Scene.DragMode == dmKey && Scene.SelectedActor))
    ShowTime(GetCurrentTime());
}

// --- The key strip. ---

int TEditSession::FindKeyNearX(int x) const
{
  const TZeltoActor *actor = Scene.SelectedActor;
  const TZeltoAni *ani = GetCurrentAni();
  if (!actor || !ani || actor->Keys.empty() || ani->Length < 0)
    return -1;
  const TCanvasGeometry g = Geometry();
  int found = -1, distance = 0;
  for (size_t i = 0; i < actor->Keys.size(); ++i) {
    const int d = std::abs(RulerX(g, actor->Keys[i]->Time) - x);
    if (d < 30 && (found < 0 || d < distance)) {
      found = int(i);
      distance = d;
    }
  }
  return found;
}

bool TEditSession::OverKey(int x, int y) const
{
  const TCanvasGeometry g = Geometry();
  return x >= g.TimelineLeft && x < g.TimelineRight && y >= g.TimelineTop && y < g.TimelineTop + 15 &&
         FindKeyNearX(x) >= 0;
}

void TEditSession::PressKeyStrip(bool rightButton, int x, int y)
{
  const TZeltoAni *ani = GetCurrentAni();
  const int index = FindKeyNearX(x);
  if (!ani || ani->Length < 1 || index < 0)
    return;
  TZeltoActor *actor = Scene.SelectedActor;
  DragKey = actor->Keys[size_t(index)].get();
  if (!rightButton) {
    Scene.DragMode = dmKey;
    keysBeforeDrag_ = KeyLinesOf(*actor);
  } else if (index > 0) {
    // The first key cannot be deleted from the strip.
    MenuKey = DragKey;
    MenuRow = -1;
    if (view_)
      view_->ShowKeyMenu(true, x, y);
  }
}

void TEditSession::DragKeyTo(int x)
{
  TZeltoAni *ani = GetCurrentAni();
  TZeltoActor *actor = Scene.SelectedActor;
  if (!ani || ani->Length < 1 || !actor || !DragKey)
    return;
  const int tick = std::clamp(RulerTickAt(Geometry(), x), 0, ani->Length);
  if (tick == DragKey->Time)
    return;
  ::SetModified(ani, true);
  DragKey->Time = tick;
  ResortKey(actor, DragKey);
  NeedsRedraw = true;
  ShowTime(GetCurrentTime());
}

// --- The key menus of the grid and the strip. ---

void TEditSession::GridKeyMenu(int row, int x, int y)
{
  TZeltoActor *actor = Scene.SelectedActor;
  if (GridMode != 1 || !actor || row < 3 || actor->Kind == akSound)
    return;
  const std::string name = GetAttributeRow(*actor, row).Name;
  if (name.empty())
    return;
  const TKeysAround around = FindKeysAround(*actor, GetCurrentTime(), name);
  if (around.Previous && around.Previous->Time == GetCurrentTime()) {
    if (around.Previous == actor->Keys.front().get() && FirstKeyRow(row))
      return;
    MenuKey = around.Previous;
    MenuRow = row;
    if (view_)
      view_->ShowKeyMenu(true, x, y);
  } else {
    MenuRow = row;
    if (view_)
      view_->ShowKeyMenu(false, x, y);
  }
}

void TEditSession::AddKey1Click()
{
  TZeltoActor *actor = Scene.SelectedActor;
  if (!actor || MenuRow < 0)
    return;
  std::string value = GetAttributeRow(*actor, MenuRow).Value;
  BeginActorChange(actor, false);
  SetAttributeRow(actor, MenuRow, value);
  EndActorChange();
  Show(TViewPart::OptionsGridLabels);
}

void TEditSession::DeleteKey1Click()
{
  TZeltoActor *actor = Scene.SelectedActor;
  if (!actor || !MenuKey)
    return;
  auto &keys = actor->Keys;
  auto found = std::find_if(keys.begin(), keys.end(), [this](const auto &key) { return key.get() == MenuKey; });
  if (found == keys.end()) {
    MenuKey = nullptr;
    return;
  }
  const bool first = found == keys.begin();
  const TKeyLines before = KeyLinesOf(*actor);
  if (MenuRow < 0) {
    if (!first) {
      keys.erase(found);
      MenuKey = nullptr;
      // A whole key gone is a change of the movie: without the mark a close would lose it.
      ::SetModified(GetCurrentAni(), true);
    }
  } else if (!(first && FirstKeyRow(MenuRow))) {
    const std::string name = GetAttributeRow(*actor, MenuRow).Name;
    DeleteModValue(**found, name);
    // A position is one attribute in two lines: the other coordinate goes too.
    if (name == "dx")
      DeleteModValue(**found, "dy");
    else if (name == "dy")
      DeleteModValue(**found, "dx");
    if ((*found)->Mods.empty()) {
      keys.erase(found);
      MenuKey = nullptr;
    }
  }
  RecordKeyEdit(actor, before);
  ShowTime(GetCurrentTime());
  NeedsRedraw = true;
}

bool TEditSession::RowHasKeyNow(int row) const
{
  const TZeltoActor *actor = Scene.SelectedActor;
  if (GridMode != 1 || !actor)
    return false;
  const std::string name = GetAttributeRow(*actor, row).Name;
  const int now = GetCurrentTime();
  return !name.empty() && std::any_of(actor->Keys.begin(), actor->Keys.end(), [&](const auto &key) {
    return key->Time == now && GetModValue(*key, name, nullptr);
  });
}

// --- Keys on actors. ---

void TEditSession::ChangeActorNumber(TZeltoActor *actor, const char *name, int delta)
{
  const int row = PositionRow(actor->Kind, name);
  if (row < 0)
    return;
  const int current = std::string(name) == "dx" ? actor->DX : std::string(name) == "dy" ? actor->DY : actor->Layer;
  std::string value = std::to_string((long long)current + delta);
  BeginActorChange(actor, false);
  SetAttributeRow(actor, row, value);
  EndActorChange();
  Show(TViewPart::OptionsGrid);
}

void TEditSession::SelectNextActor()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || ani->Actors.size() < 2 || !Scene.SelectedActor)
    return;
  auto &actors = ani->Actors;
  auto found =
      std::find_if(actors.begin(), actors.end(), [this](const auto &a) { return a.get() == Scene.SelectedActor; });
  if (found == actors.end())
    return;
  ++found;
  SelectActor(found == actors.end() ? actors.front().get() : found->get());
  NeedsRedraw = true;
}

// The options grid beside the canvas: the document's header options (and in its first row the
// property of what was last clicked on the canvas), or the selected actor's attributes. Each row
// is shown, clicked and typed into here; the window only draws the cells and routes the events.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "core/file_io.h"
#include "core/helpers.h"
#include "core/real_format.h"
#include "images/file_index.h"
#include "model/actor_attributes.h"
#include "model/reader.h"
#include "session/actor_name_entries.h"
#include "session/dialogs.h"
#include "session/edit_session.h"
#include "session/option_entries.h"
#include "session/sound_entries.h"

namespace {

// Sprite-mode rows; movie-mode rows 1 to 12 are the same options in another order.
enum TOptionRow {
  orProperty = 0,
  orLoop = 2,
  orContinuous = 3,
  orBackColor = 4,
  orSingleDirection = 5,
  orSetBackTo = 6,
  orHead = 8,
  orBody = 9,
  orFirstAttr = 10,
  orFirstParam = 13,
  orLast = 15,
};

// The sprite-mode row a movie-mode row shows (0 stays the movie's length).
int SpriteRowOf(int movieRow)
{
  static const int rows[] = {orProperty, orLoop, orContinuous, orBackColor, orSetBackTo, orHead, orBody,
                             10,         11,     12,           13,          14,          15};
  return movieRow >= 0 && movieRow < int(std::size(rows)) ? rows[movieRow] : -1;
}

// The option a sprite-mode row shows, or -1.
int FieldOfRow(int row)
{
  switch (row) {
  case orLoop:
    return ofLoop;
  case orContinuous:
    return ofContinuous;
  case orBackColor:
    return ofBackColor;
  case orSetBackTo:
    return ofSetBackTo;
  case orHead:
    return ofHead;
  case orBody:
    return ofBody;
  default:
    if (row >= orFirstAttr && row < orFirstParam)
      return ofAttr + row - orFirstAttr;
    if (row >= orFirstParam && row <= orLast)
      return ofParam + row - orFirstParam;
    return -1;
  }
}

std::string HexColor(int color)
{
  char text[16];
  std::snprintf(text, sizeof text, "%06X", unsigned(color) & 0xFFFFFF);
  return text;
}

// What the file keeps of a value written as one word: the reader takes the first word of the
// line, so a value is cut at its first blank, and a pasted tab or line break (which would end
// the line in the file) ends it too. The text being typed is left alone; the cell shows what
// was kept when the edit ends.
std::string OneWord(const std::string &text)
{
  const std::string trimmed = TrimControl(text);
  const auto end = std::find_if(trimmed.begin(), trimmed.end(), IsControlOrSpace);
  return std::string(trimmed.begin(), end);
}

// A time typed in seconds, in ticks: none for text that is not a number.
std::optional<long long> TypedTicks(const std::string &text)
{
  std::optional<double> seconds = ParseReal(TrimControl(text));
  if (!seconds)
    return std::nullopt;
  const double ticks = *seconds * 20;
  // Far beyond any length: the caller clamps, but the conversion must not overflow first.
  if (ticks >= 1e15)
    return (long long)1e15;
  return ticks <= -1e15 ? (long long)-1e15 : (long long)FloorEps(std::clamp(ticks, -2e9, 2e9));
}

} // namespace

std::string SecondsText(int ticks)
{
  return FormatReal(ticks / 20.0);
}

int TEditSession::GridRowCount() const
{
  if (GridMode == 1)
    return Scene.SelectedActor ? AttributeRowCount(*Scene.SelectedActor) : 0;
  return GetCurrentAni() && MovieMode ? 13 : orLast + 1;
}

TGridRow TEditSession::GridRow(int row) const
{
  if (GridMode == 1) {
    if (!Scene.SelectedActor)
      return {};
    const TAttributeRow attribute = GetAttributeRow(*Scene.SelectedActor, row);
    return {attribute.Name, attribute.Value};
  }
  return ShowAniOption(row);
}

bool TEditSession::ClickGridRow(int row, std::string &value)
{
  EndGridEdit();
  bool typed = false;
  if (GridMode != 1) {
    typed = ClickAniOption(row, value);
  } else if (TZeltoActor *actor = Scene.SelectedActor) {
    BeginActorChange(actor, false);
    // Toggles and the font and colour dialogs do their work on the click; other rows are typed.
    typed = !ClickActorAttribute(actor, row, value);
    EndActorChange();
  }
  if (typed) {
    EditRow = row;
    BeginGridRecord(row);
  }
  return typed;
}

void TEditSession::TypeGridRow(int row, std::string &value)
{
  if (row != EditRow) {
    EndGridEdit();
    EditRow = row;
    BeginGridRecord(row);
  }
  const int frame = PropertyFrame();
  if (GridMode != 1 && !MovieMode && row == orProperty && LastDragMode == dmFrameStart && frame >= 0) {
    PendingLengthText = value;
    PendingLengthFrame = GetCurrentAni()->Steps[size_t(frame)].get();
    return;
  }
  SetGridRow(row, value);
}

void TEditSession::EndGridEdit()
{
  const int row = EditRow;
  if (row < 0)
    return;
  EditRow = -1;
  if (TZeltoAniStep *pending = std::exchange(PendingLengthFrame, nullptr)) {
    // The frame may have moved or gone since the text was typed: it is found by itself.
    const TZeltoAni *ani = GetCurrentAni();
    const auto found = ani ? std::find_if(ani->Steps.begin(), ani->Steps.end(),
                                          [pending](const auto &step) { return step.get() == pending; })
                           : std::vector<std::unique_ptr<TZeltoAniStep>>::const_iterator();
    std::string text = std::exchange(PendingLengthText, std::string());
    if (ani && found != ani->Steps.end())
      SetFrameLength(int(found - ani->Steps.begin()), text);
  }
  EndGridRecord();
  Show(TViewPart::OptionsGrid, row);
}

void TEditSession::SetGridRow(int row, std::string &value)
{
  // Outside an edit of the row (a value set at once), the change is an entry of its own.
  const bool inEdit = EditRow == row;
  if (!inEdit)
    BeginGridRecord(row);
  if (GridMode != 1) {
    SetAniOption(row, value);
    if (!inEdit)
      EndGridRecord();
    return;
  }
  if (TZeltoActor *actor = Scene.SelectedActor) {
    const std::string name = actor->Name;
    BeginActorChange(actor, false);
    SetAttributeRow(actor, row, value);
    EndActorChange();
    // The list, Tab and the file keep the actors in name order.
    if (actor->Name != name) {
      RefreshActorList();
      if (view_)
        view_->SelectActor(actor);
    }
  }
  if (!inEdit)
    EndGridRecord();
}

const TZeltoAniSound *TEditSession::PropertySound() const
{
  const TZeltoAniStep *step = CurrentStep();
  const int index = Scene.DragMode == dmSound ? DragSoundIndex : LastSoundIndex;
  return step && index >= 0 && index < int(step->Sounds.size()) ? step->Sounds[size_t(index)].get() : nullptr;
}

int TEditSession::PropertyFrame() const
{
  const TZeltoAni *ani = GetCurrentAni();
  const int index = Scene.DragMode == dmFrameStart ? Scene.DragFrameIndex : Scene.LastFrameIndex;
  return ani && index >= 0 && index < int(ani->Steps.size()) ? index : -1;
}

TGridRow TEditSession::ShowAniOption(int row) const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return {};
  if (MovieMode) {
    if (row == 0)
      return {"Length", SecondsText(ani->Length)};
    row = SpriteRowOf(row);
  }
  switch (row) {
  case orProperty:
    if (Scene.DragMode == dmSound || LastDragMode == dmSound) {
      const TZeltoAniSound *sound = PropertySound();
      return {"file", sound ? sound->FileName : ""};
    }
    if (Scene.DragMode == dmFrameStart || LastDragMode == dmFrameStart) {
      const int frame = PropertyFrame();
      return {"length", frame >= 0 ? SecondsText(ani->Steps[size_t(frame)]->Duration) : "0"};
    } else {
      const int primary = PrimarySelection();
      return {"Sprite #", primary >= 0 ? PartSpriteText(*(*CurrentPartList())[size_t(primary)]) : "-"};
    }
  case orLoop:
    return {"Loop", BoolToText(ani->Loop)};
  case orContinuous:
    return {"Continuous", BoolToText(ani->Continuous)};
  case orBackColor:
    return {"Back. color", HexColor(ani->BackColor)};
  case orSingleDirection:
    return {"Single dir", BoolToText(ani->SingleDirection)};
  case orSetBackTo:
    return {"Setbackto", ani->SetBackTo};
  case orHead:
    return {"Def. head", ani->DefaultHead};
  case orBody:
    return {"Def. body", ani->DefaultBody};
  default:
    if (row >= orFirstAttr && row < orFirstParam)
      return {"Def. attr" + std::to_string(row - orFirstAttr + 1), ani->DefaultAttrs[size_t(row - orFirstAttr)]};
    if (row >= orFirstParam && row <= orLast)
      return {"Def. param" + std::to_string(row - orFirstParam + 1), ani->DefaultParams[size_t(row - orFirstParam)]};
    return {};
  }
}

bool TEditSession::ClickAniOption(int row, std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return false;
  const int option = MovieMode ? (row == 0 ? -1 : SpriteRowOf(row)) : row;
  switch (option) {
  case orLoop:
  case orContinuous: {
    auto entry = std::make_unique<TOptionEntry>(*this, FieldOfRow(option));
    bool &flag = option == orLoop ? ani->Loop : ani->Continuous;
    flag = !flag;
    value = BoolToText(flag);
    ::SetModified(ani, true);
    entry->FinishChange(*this);
    RecordOperation(std::move(entry));
    return false;
  }
  case orSingleDirection:
    SetSingleDirection(!ani->SingleDirection);
    value = BoolToText(ani->SingleDirection);
    ::SetModified(ani, true);
    return false;
  case orBackColor: {
    // The dialog works in the platform's colour order.
    uint32_t color = SwapRedBlue(uint32_t(ani->BackColor));
    if (Dialogs().ChooseColor(color)) {
      auto entry = std::make_unique<TOptionEntry>(*this, ofBackColor);
      ani->BackColor = int(SwapRedBlue(color) & 0xFFFFFF);
      value = HexColor(ani->BackColor);
      ::SetModified(ani, true);
      if (entry->FinishChange(*this))
        RecordOperation(std::move(entry));
      DrawCanvas();
    }
    return false;
  }
  default:
    return !ShowAniOption(row).Label.empty();
  }
}

void TEditSession::SetAniOption(int row, std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  if (MovieMode) {
    if (row == 0) {
      SetMovieLength(value);
      return;
    }
    row = SpriteRowOf(row);
  }
  if (row == orProperty) {
    if (LastDragMode == dmSound)
      SetSoundFileOption(value);
    else if (LastDragMode == dmFrameStart)
      SetFrameLength(Scene.LastFrameIndex, value);
    else
      SetPartSpriteOption(value);
    return;
  }
  if (row == orHead || row == orBody) {
    SetLookOption(row == orHead, value);
  } else if (const int field = FieldOfRow(row); field == ofSetBackTo || field >= ofAttr) {
    const std::string word = OneWord(value);
    if (word != OptionValue(field))
      ApplyOption(field, word);
  }
}

std::string TEditSession::OptionValue(int field) const
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return {};
  switch (field) {
  case ofLoop:
    return BoolToText(ani->Loop);
  case ofContinuous:
    return BoolToText(ani->Continuous);
  case ofBackColor:
    return std::to_string(ani->BackColor);
  case ofSetBackTo:
    return ani->SetBackTo;
  case ofHead:
    return ani->DefaultHead;
  case ofBody:
    return ani->DefaultBody;
  default:
    if (field >= ofAttr && field < ofParam)
      return ani->DefaultAttrs[size_t(field - ofAttr)];
    if (field >= ofParam && field < ofFieldCount)
      return ani->DefaultParams[size_t(field - ofParam)];
    return {};
  }
}

void TEditSession::ApplyOption(int field, const std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  switch (field) {
  case ofLoop:
    ani->Loop = TextToBool(value);
    break;
  case ofContinuous:
    ani->Continuous = TextToBool(value);
    break;
  case ofBackColor:
    ani->BackColor = ParseInt(value).value_or(ani->BackColor);
    break;
  case ofSetBackTo:
    ani->SetBackTo = value;
    break;
  case ofHead:
    ani->DefaultHead = value;
    EditActor->HeadImage->Load(value);
    break;
  case ofBody:
    // SetBody stores the name as the document's body too.
    SetBody(EditActor.get(), value);
    break;
  default:
    if (field >= ofAttr && field < ofFieldCount) {
      const bool isAttr = field < ofParam;
      const int slot = isAttr ? field - ofAttr : field - ofParam;
      (isAttr ? ani->DefaultAttrs[size_t(slot)] : ani->DefaultParams[size_t(slot)]) = value;
      SetSlot(EditActor.get(), isAttr, slot, value);
      // Sprites that show a slot's image may change their size.
      UpdateSpriteListLayout();
    }
    break;
  }
  ::SetModified(ani, true);
  Show(TViewPart::OptionsGrid);
  NeedsRedraw = true;
}

void TEditSession::BeginGridRecord(int row)
{
  gridEntry_.reset();
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  if (GridMode == 1) {
    TZeltoActor *actor = Scene.SelectedActor;
    // Other attribute rows write key lines, which the actor change entries record.
    if (actor && GetAttributeRow(*actor, row).Name == "name")
      gridEntry_ = std::make_unique<TActorNameEntry>(actor);
    return;
  }
  if (MovieMode && row == 0) {
    auto timing = std::make_unique<TTimingEntry>();
    timing->NoteLength(*ani);
    gridEntry_ = std::move(timing);
    return;
  }
  if (MovieMode)
    row = SpriteRowOf(row);
  if (row != orProperty) {
    if (FieldOfRow(row) >= 0)
      gridEntry_ = std::make_unique<TOptionEntry>(*this, FieldOfRow(row));
    return;
  }
  // A frame's length typed is applied, and recorded, when the edit ends.
  if (LastDragMode == dmFrameStart)
    return;
  TZeltoAniStep *step = CurrentStep();
  if (LastDragMode == dmSound) {
    if (step && LastSoundIndex >= 0 && LastSoundIndex < int(step->Sounds.size())) {
      TZeltoAniSound *sound = step->Sounds[size_t(LastSoundIndex)].get();
      gridEntry_ = std::make_unique<TSoundFileEntry>(step, sound, sound->FileName);
    }
  } else if (const int primary = PrimarySelection(); primary >= 0) {
    gridEntry_ = std::make_unique<TPartSpriteEntry>(step, EditActor->Dir, (*CurrentPartList())[size_t(primary)].get());
  }
}

void TEditSession::EndGridRecord()
{
  std::unique_ptr<TEditOperation> entry = std::move(gridEntry_);
  if (entry && GetCurrentAni() && entry->FinishChange(*this))
    RecordOperation(std::move(entry));
}

void TEditSession::SetMovieLength(std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  const std::string text = TrimControl(value);
  long long ticks = 1;
  if (!text.empty() && text != "-") {
    std::optional<long long> typed = TypedTicks(text);
    if (!typed)
      return;
    ticks = *typed;
  }
  // At least a tick, and no more than a tick count holds.
  const int length = int(std::clamp<long long>(ticks, 1, INT_MAX));
  if (length != ani->Length) {
    ani->Length = length;
    ::SetModified(ani, true);
  }
  NeedsRedraw = true;
}

void TEditSession::SetSoundFileOption(std::string &value)
{
  TZeltoAniStep *step = CurrentStep();
  if (!step || LastSoundIndex < 0 || LastSoundIndex >= int(step->Sounds.size()))
    return;
  TZeltoAniSound &sound = *step->Sounds[size_t(LastSoundIndex)];
  const std::string word = OneWord(value);
  if (word == sound.FileName)
    return;
  sound.FileName = word;
  ::SetModified(GetCurrentAni(), true);
  if (!word.empty())
    if (const std::string path = ResolveFile(word); !path.empty())
      PlaySoundFile(path);
}

void TEditSession::SetFrameLength(int frame, std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  const std::string text = TrimControl(value);
  if (frame < 0 || frame >= int(ani->Steps.size()) || text.empty() || text == "-")
    return;
  std::optional<long long> typed = TypedTicks(text);
  if (!typed || *typed < 1)
    return;
  // No longer than the reader accepts a frame to be.
  const int ticks = int(std::min<long long>(*typed, MaxFrameDuration));
  TZeltoAniStep &step = *ani->Steps[size_t(frame)];
  BeginTiming();
  if (frame + 1 == int(ani->Steps.size()))
    SetDocumentLength(ClampTicks((long long)step.StartTick + ticks));
  else
    SetFrameStart(frame + 1, ClampTicks((long long)step.StartTick + ticks));
  EndTiming();
  NeedsRedraw = true;
  const std::optional<double> seconds = ParseReal(text);
  if (!seconds || step.Duration != *seconds * 20)
    value = SecondsText(step.Duration);
}

void TEditSession::SetPartSpriteOption(std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  const int primary = PrimarySelection();
  if (primary < 0)
    return;
  TZeltoAniPart &part = *(*CurrentPartList())[size_t(primary)];
  const std::string text = TrimControl(value);
  TZeltoAniSprite *sprite = nullptr;
  int param = -1, attr = -1;
  // Only the slots that exist: parameters 1 to 8, attributes 1 to 9.
  if (StartsWith("PARAM", text)) {
    param = ParseInt(text.substr(5)).value_or(-1);
    if (param < 1 || param > ParamSlotCount)
      return;
  } else if (StartsWith("ATTR", text)) {
    attr = ParseInt(text.substr(4)).value_or(-1);
    if (attr < 1 || attr > AttrSlotCount)
      return;
  } else if (std::optional<int> index = ParseInt(text)) {
    sprite = FindSprite(ani, *index);
    if (!sprite)
      return;
  } else {
    return;
  }
  if (sprite == part.Sprite && param == part.ParamSlot && attr == part.AttrSlot)
    return;
  part.Sprite = sprite;
  part.ParamSlot = param;
  part.AttrSlot = attr;
  ::SetModified(ani, true);
  Show(TViewPart::PartList);
  NeedsRedraw = true;
}

void TEditSession::SetLookOption(bool head, std::string &value)
{
  TZeltoAni *ani = GetCurrentAni();
  const std::string name = ExtractKey(OneWord(value));
  std::string &stored = head ? ani->DefaultHead : ani->DefaultBody;
  // A file the game folder does not know is not taken; the text stays until the edit ends.
  if (name != stored && (name.empty() || FileKnown(name)))
    ApplyOption(head ? ofHead : ofBody, name);
}

// The attribute grid of the selected actor: row names and value texts, typed values and clicks.
#include <algorithm>

#include "core/helpers.h"
#include "core/real_format.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"

namespace {

const std::vector<const char *> CharacterRows = {
    "name",  "playerlook", "",      "visible", "dx",     "dy",     "layer",  "ani",    "dir",
    "chat",  "head",       "body",  "attr1",   "attr2",  "attr3",  "param1", "param2", "param3",
    "sword", "shield",     "horse", "color0",  "color1", "color2", "color3", "color4"};
const std::vector<const char *> SpriteRows = {"name", "sprite #", "", "visible", "dx", "dy", "layer"};
const std::vector<const char *> SoundRows = {"name", "file", "dx", "dy"};
const std::vector<const char *> TextRows = {
    "name",     "text", "",       "visible",  "dx",           "dy",        "layer",     "font",     "color", "zoom",
    "fontsize", "bold", "italic", "centered", "rightaligned", "underline", "strikeout", "wordwrap", "shaded"};

const std::vector<const char *> &Rows(int kind)
{
  switch (kind) {
  case akSprite:
    return SpriteRows;
  case akSound:
    return SoundRows;
  case akText:
    return TextRows;
  default:
    return CharacterRows;
  }
}

std::string RowName(const TZeltoActor &actor, int row)
{
  const auto &rows = Rows(actor.Kind);
  return row >= 0 && row < int(rows.size()) ? rows[row] : "";
}

// Character rows that show the actor's own look; hidden while it wears its parent's look.
bool IsLookRow(int row)
{
  return row >= 10;
}

TEditorLink *Link()
{
  return EditorLink();
}

int Now()
{
  return Link() ? Link()->GetCurrentTime() : 0;
}

TZeltoAni *Document()
{
  return Link() ? Link()->CurrentDocument() : nullptr;
}

void MarkModified()
{
  SetModified(Document(), true);
}

void Repaint()
{
  if (Link())
    Link()->Refresh(TRefresh::Canvas);
}

TSurfaceOwner *LookImage(const TZeltoActor &actor, const std::string &name)
{
  if (name == "head")
    return actor.HeadImage.get();
  if (name == "body")
    return actor.BodyImage.get();
  if (name == "sword")
    return actor.SwordImage.get();
  if (name == "shield")
    return actor.ShieldImage.get();
  if (name == "horse")
    return actor.HorseImage.get();
  return nullptr;
}

bool *StyleFlag(TZeltoActor &actor, const std::string &name)
{
  if (name == "bold")
    return &actor.Bold;
  if (name == "italic")
    return &actor.Italic;
  if (name == "centered")
    return &actor.Centered;
  if (name == "rightaligned")
    return &actor.RightAligned;
  if (name == "underline")
    return &actor.Underline;
  if (name == "strikeout")
    return &actor.Strikeout;
  if (name == "wordwrap")
    return &actor.WordWrap;
  if (name == "shaded")
    return &actor.Shaded;
  return nullptr;
}

std::string HexColor(int color)
{
  char text[16];
  std::snprintf(text, sizeof text, "%06X", unsigned(color));
  return text;
}

// A number typed into an integer row: empty or "-" gives fallback.
std::optional<int> TypedInt(const std::string &value, int fallback)
{
  if (value.empty() || value == "-")
    return fallback;
  return ParseInt(value);
}

void SetName(TZeltoActor *actor, std::string &value)
{
  TZeltoAni *doc = Document();
  if (!doc)
    return;
  // The file keeps only the first word of a name, and an actor line without a name is dropped:
  // blanks inside become "_" and an empty name is refused.
  std::string name = TrimControl(value);
  for (char &c : name)
    if (static_cast<unsigned char>(c) <= ' ')
      c = '_';
  if (name.empty())
    return;
  for (const auto &other : doc->Actors)
    if (other.get() != actor && LowerCase(other->Name) == LowerCase(name))
      return;
  actor->Name = name;
  value = name;
  MarkModified();
  if (Link()) {
    Link()->Refresh(TRefresh::ActorList);
    Link()->SelectActor(actor);
  }
  Repaint();
}

void SetPosition(TZeltoActor *actor, bool isDX, std::string &value)
{
  int &field = isDX ? actor->DX : actor->DY;
  std::optional<int> number = TypedInt(value, 0);
  if (!number) {
    value = std::to_string(field);
    return;
  }
  field = *number;
  int time = Now();
  if (actor->Kind == akSound && !actor->Keys.empty())
    time = actor->Keys.front()->Time;
  if (isDX) {
    SetKey(actor, time, "dx", value);
    SetKey(actor, time, "dy", std::to_string(actor->DY));
  } else {
    SetKey(actor, time, "dy", value);
    SetKey(actor, time, "dx", std::to_string(actor->DX));
  }
  if (Link())
    Link()->Refresh(TRefresh::OptionsGridLabels);
  Repaint();
}

void SetLayer(TZeltoActor *actor, std::string &value)
{
  std::optional<int> number = value.empty() ? std::optional<int>(1) : ParseInt(value);
  if (!number) {
    value = std::to_string(actor->Layer);
    return;
  }
  actor->Layer = std::clamp(*number, 0, 3);
  SetKey(actor, Now(), "layer", std::to_string(actor->Layer));
  Repaint();
}

void SetCharacterAni(TZeltoActor *actor, std::string &value)
{
  if (actor->Ani && actor->Ani->Name == value)
    return;
  const TZeltoAni *before = actor->Ani;
  SetAnimationByName(actor, value);
  if (!actor->Ani || actor->Ani == before)
    return;
  value = actor->Ani->Name;
  SetKey(actor, Now(), "ani", value);
  const std::string body = actor->Ani->DefaultBody;
  if (ExtractKey(actor->BodyImage->FileName) != body) {
    SetBody(actor, body);
    SetKey(actor, Now(), "body", body);
  }
  Repaint();
}

void SetDir(TZeltoActor *actor, std::string &value)
{
  if (value.empty() || value == "-") {
    actor->Dir = 2;
  } else if (std::optional<int> dir = ParseInt(value)) {
    actor->Dir = std::clamp(*dir, 0, 3);
    if (actor->Dir != *dir)
      value = std::to_string(actor->Dir);
  } else {
    value = std::to_string(actor->Dir);
    return;
  }
  SetKey(actor, Now(), "dir", value);
  Repaint();
}

void SetLookImage(TZeltoActor *actor, const std::string &name, std::string &value)
{
  const std::string n = ExtractKey(value);
  if (!n.empty() && !FileKnown(n))
    return;
  TSurfaceOwner *image = LookImage(*actor, name);
  if (n != ExtractKey(image->FileName)) {
    if (name == "head")
      image->Load(value);
    else if (name == "body")
      SetBody(actor, n);
    else
      image->Load(n);
  }
  value = n;
  SetKey(actor, Now(), name, n);
  MarkModified();
  Repaint();
}

void SetColor(TZeltoActor *actor, int slot, std::string &value)
{
  int index;
  if (std::optional<int> number = ParseInt(value)) {
    if (*number < 0 || *number >= ColorNameCount) {
      value = ColorNames[actor->Colors[slot]];
      return;
    }
    index = *number;
  } else {
    index = ColorIndex(LowerCase(value));
    if (index < 0)
      return;
  }
  actor->Colors[slot] = index;
  value = ColorNames[index];
  SetKey(actor, Now(), "color" + std::to_string(slot), value);
  MarkModified();
  Repaint();
}

void SetCharacterRow(TZeltoActor *actor, int row, const std::string &name, std::string &value)
{
  if (row == 7)
    SetCharacterAni(actor, value);
  else if (row == 8)
    SetDir(actor, value);
  else if (row == 9) {
    actor->Chat = TrimControl(value);
    SetKey(actor, Now(), "chat", actor->Chat);
    Repaint();
  } else if (LookImage(*actor, name)) {
    SetLookImage(actor, name, value);
  } else if (row >= 12 && row <= 17) {
    const bool isAttr = row <= 14;
    const int slot = isAttr ? row - 12 : row - 15;
    SetSlot(actor, isAttr, slot, value);
    SetKey(actor, Now(), name, value);
    MarkModified();
    Repaint();
  } else if (row >= 21 && row <= 25) {
    SetColor(actor, row - 21, value);
  }
}

void SetSpriteRow(TZeltoActor *actor, std::string &value)
{
  TZeltoAni *doc = Document();
  if (!doc)
    return;
  const TZeltoAni *movie = actor->Parent && actor->Parent->Ani ? actor->Parent->Ani : doc;
  const std::string text = TrimControl(value);
  TZeltoAniSprite *sprite = nullptr;
  int param = -1, attr = -1;
  if (StartsWith("PARAM", text))
    param = ParseInt(text.substr(5)).value_or(-1);
  else if (StartsWith("ATTR", text))
    attr = ParseInt(text.substr(4)).value_or(-1);
  else if (std::optional<int> index = ParseInt(text))
    sprite = FindSprite(movie, *index);
  if (!sprite && param < 1 && attr < 1)
    return;
  if (sprite == actor->Sprite && param == actor->SpriteParam && attr == actor->SpriteAttr)
    return;
  actor->Sprite = sprite;
  actor->SpriteParam = param;
  actor->SpriteAttr = attr;
  MarkModified();
  SetKey(actor, Now(), "sprite #", value);
  Repaint();
}

void SetSoundFile(TZeltoActor *actor, std::string &value)
{
  if (value == actor->SoundFile)
    return;
  actor->SoundFile = value;
  if (!actor->Keys.empty())
    SetKey(actor, actor->Keys.front()->Time, "file", value);
  if (!value.empty() && Link()) {
    const std::string path = ResolveFile(value);
    if (!path.empty())
      Link()->PlaySoundFile(path);
  }
}

// A zoom typed as itself or as a font size (14 points per unit of zoom).
void SetTextZoom(TZeltoActor *actor, bool asFontSize, std::string &value)
{
  double zoom = 1.0;
  if (!value.empty() && value != ".") {
    std::optional<double> number = ParseReal(value);
    if (!number) {
      value = FormatReal(asFontSize ? 14 * actor->Zoom : actor->Zoom);
      return;
    }
    zoom = asFontSize ? *number / 14 : *number;
  }
  actor->Zoom = zoom > 0 ? zoom : 1.0;
  const int time = Now();
  if (asFontSize) {
    SetKey(actor, time, "zoom", FormatReal(actor->Zoom));
    SetKey(actor, time, "fontsize", value);
  } else {
    SetKey(actor, time, "zoom", value);
    SetKey(actor, time, "fontsize", FormatReal(14 * actor->Zoom));
  }
  if (Link()) {
    Link()->Refresh(TRefresh::OptionsGrid, asFontSize ? 9 : 10);
    Link()->Refresh(TRefresh::OptionsGridLabels);
  }
  Repaint();
}

} // namespace

int AttributeRowCount(const TZeltoActor &actor)
{
  // Up to the last row with a name: a character wearing the player's look has none after "chat".
  int count = int(Rows(actor.Kind).size());
  if (actor.Kind == akCharacter && actor.PlayerLook)
    while (count > 0 && IsLookRow(count - 1))
      --count;
  return count;
}

TAttributeRow GetAttributeRow(const TZeltoActor &actor, int row)
{
  const std::string name = RowName(actor, row);
  if (name.empty())
    return {};
  if (actor.Kind == akCharacter && actor.PlayerLook && IsLookRow(row))
    return {};
  auto result = [&name](const std::string &value) { return TAttributeRow{name, value}; };
  if (name == "name")
    return result(actor.Name);
  if (name == "dx")
    return result(std::to_string(actor.DX));
  if (name == "dy")
    return result(std::to_string(actor.DY));
  if (name == "layer")
    return result(std::to_string(actor.Layer));
  if (name == "visible")
    return result(BoolToText(actor.Visible));
  switch (actor.Kind) {
  case akCharacter:
    if (name == "playerlook")
      return result(BoolToText(actor.PlayerLook));
    if (name == "ani")
      return result(actor.Ani ? actor.Ani->Name : "");
    if (name == "dir")
      return result(std::to_string(actor.Dir));
    if (name == "chat")
      return result(actor.Chat);
    if (const TSurfaceOwner *image = LookImage(actor, name))
      return result(ExtractKey(image->FileName));
    if (row >= 12 && row <= 14)
      return result(GetSlot(actor, true, row - 12));
    if (row >= 15 && row <= 17)
      return result(GetSlot(actor, false, row - 15));
    if (row >= 21 && row <= 25) {
      const int index = actor.Colors[row - 21];
      return result(index >= 0 && index < ColorNameCount ? ColorNames[index] : "");
    }
    break;
  case akSprite:
    return result(actor.Sprite ? std::to_string(actor.Sprite->Index) : "-");
  case akSound:
    return result(actor.SoundFile);
  case akText:
    if (name == "text")
      return result(actor.Text);
    if (name == "font")
      return result(actor.FontName);
    if (name == "color")
      return result(HexColor(actor.TextColor));
    if (name == "zoom")
      return result(FormatReal(actor.Zoom));
    if (name == "fontsize")
      return result(FormatReal(14 * actor.Zoom));
    if (bool *flag = StyleFlag(const_cast<TZeltoActor &>(actor), name))
      return result(BoolToText(*flag));
    break;
  }
  return result("");
}

void SetAttributeRow(TZeltoActor *actor, int row, std::string &value)
{
  const std::string name = RowName(*actor, row);
  if (name.empty())
    return;
  // Values are stored in keys that the file keeps on one comma-separated line.
  value = StorableValue(value);
  if (name == "name")
    SetName(actor, value);
  else if (name == "dx" || name == "dy")
    SetPosition(actor, name == "dx", value);
  else if (name == "layer")
    SetLayer(actor, value);
  else if (actor->Kind == akCharacter) {
    if (!(actor->PlayerLook && IsLookRow(row)))
      SetCharacterRow(actor, row, name, value);
  } else if (actor->Kind == akSprite && name == "sprite #")
    SetSpriteRow(actor, value);
  else if (actor->Kind == akSound && name == "file")
    SetSoundFile(actor, value);
  else if (actor->Kind == akText) {
    if (name == "text") {
      actor->Text = TrimControl(value);
      SetKey(actor, Now(), "text", value);
      Repaint();
    } else if (name == "zoom" || name == "fontsize") {
      SetTextZoom(actor, name == "fontsize", value);
    }
  }
}

TRowClick ClickAttributeRow(TZeltoActor *actor, int row, std::string &value)
{
  const std::string name = RowName(*actor, row);
  if (name == "visible") {
    actor->Visible = !actor->Visible;
    value = BoolToText(actor->Visible);
    SetKey(actor, Now(), "visible", value);
    Repaint();
    return TRowClick::Toggled;
  }
  if (actor->Kind == akCharacter && name == "playerlook") {
    actor->PlayerLook = !actor->PlayerLook;
    value = BoolToText(actor->PlayerLook);
    SetKey(actor, 0, "playerlook", value);
    MarkModified();
    if (Link())
      Link()->Refresh(TRefresh::OptionsGrid);
    Repaint();
    return TRowClick::Toggled;
  }
  if (actor->Kind != akText)
    return TRowClick::Typed;
  if (bool *flag = StyleFlag(*actor, name)) {
    *flag = !*flag;
    value = BoolToText(*flag);
    // Word wrapping holds for the whole movie.
    SetKey(actor, name == "wordwrap" ? 0 : Now(), name, value);
    Repaint();
    return TRowClick::Toggled;
  }
  if (name == "font")
    return TRowClick::FontDialog;
  if (name == "color")
    return TRowClick::ColorDialog;
  return TRowClick::Typed;
}

void SetTextFont(TZeltoActor *actor, const std::string &font, std::string &value)
{
  actor->FontName = font;
  value = font;
  SetKey(actor, Now(), "font", font);
  Repaint();
}

void SetTextColor(TZeltoActor *actor, int rgb, std::string &value)
{
  actor->TextColor = rgb & 0xFFFFFF;
  value = HexColor(actor->TextColor);
  SetKey(actor, Now(), "color", value);
  Repaint();
}

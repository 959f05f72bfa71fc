#include "model/writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_io.h"
#include "core/helpers.h"
#include "core/real_format.h"
#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"
#include "model/reader.h"

namespace {

// Collects the file's lines; each line ends with CR LF.
class LineWriter
{
public:
  // Room for n more bytes; write them at the returned pointer, then Commit the end.
  char *Room(size_t n)
  {
    if (size_ + n > capacity_)
      Grow(size_ + n);
    return data_.get() + size_;
  }
  void Commit(const char *end) { size_ = static_cast<size_t>(end - data_.get()); }
  void Reserve(size_t n) { Room(n); }

  LineWriter &Add(std::string_view text)
  {
    char *p = Room(text.size());
    std::memcpy(p, text.data(), text.size());
    size_ += text.size();
    return *this;
  }
  LineWriter &Add(int value)
  {
    char *p = Room(16);
    Commit(std::to_chars(p, p + 16, value).ptr);
    return *this;
  }
  // text right-aligned in a field of at least width characters.
  LineWriter &Right(std::string_view text, size_t width)
  {
    if (text.size() < width) {
      char *p = Room(width - text.size());
      std::memset(p, ' ', width - text.size());
      size_ += width - text.size();
    }
    return Add(text);
  }
  LineWriter &Right(int value, size_t width)
  {
    char digits[16];
    const size_t length = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    return Right(std::string_view(digits, length), width);
  }
  void End() { Add("\r\n"); }
  void Line(std::string_view text) { Add(text).End(); }
  std::string Text() const { return std::string(data_.get(), size_); }
  const char *Data() const { return data_.get(); }
  size_t Size() const { return size_; }

private:
  void Grow(size_t needed)
  {
    size_t capacity = std::max(needed, capacity_ * 2 + 4096);
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_)
      std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

std::string ColorText(int color)
{
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(color));
  return buffer;
}

// Writes into p an integer right-aligned in a field of at least width (at most 4) characters;
// returns the end. Parts are most of a file: their numbers are written straight into place, with
// no call for the few bytes each (p has room for 12).
char *PutRight(char *p, int value, int width)
{
  unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
  int digits = 1;
  for (unsigned rest = magnitude; rest >= 10; rest /= 10)
    ++digits;
  const int length = digits + (value < 0);
  std::memcpy(p, "    ", 4);
  char *start = p + std::max(0, width - length);
  if (value < 0)
    *start = '-';
  char *const end = start + length;
  for (char *digit = end; digit != end - digits; magnitude /= 10)
    *--digit = char('0' + magnitude % 10);
  return end;
}

// One part as "reference x y" (widths 4, 3, 3) into out; false when the part has no reference
// (it shows nothing and could not be read back, so it is not written).
bool AddPart(LineWriter &out, const TZeltoAniPart &part, bool separator)
{
  char *const start = out.Room(96);
  char *p = start;
  if (separator) {
    *p++ = ',';
    *p++ = ' ';
  }
  if (part.Sprite) {
    p = PutRight(p, part.Sprite->Index, 4);
  } else {
    const bool param = part.ParamSlot >= 1;
    if (!param && part.AttrSlot < 1)
      return false;
    const char *prefix = param ? "PARAM" : "ATTR";
    char text[32];
    const size_t prefixLength = std::strlen(prefix);
    std::memcpy(text, prefix, prefixLength);
    auto result = std::to_chars(text + prefixLength, text + sizeof text, param ? part.ParamSlot : part.AttrSlot);
    const int length = static_cast<int>(result.ptr - text);
    for (int i = length; i < 4; ++i)
      *p++ = ' ';
    std::memcpy(p, text, static_cast<size_t>(length));
    p += length;
  }
  *p++ = ' ';
  p = PutRight(p, part.X, 3);
  *p++ = ' ';
  p = PutRight(p, part.Y, 3);
  out.Commit(p);
  return true;
}

void WriteHeader(TZeltoAni &ani, LineWriter &out)
{
  out.Line(ani.IsMovie ? "VELK0002" : "VELK0001");
  for (const auto &sprite : ani.Sprites) {
    out.Add("SPRITE ").Right(sprite->Index, 4).Add(" ").Right(sprite->Image, 15).Add(" ").Right(sprite->Left, 4);
    out.Add(" ").Right(sprite->Top, 4).Add(" ").Right(sprite->Width, 4).Add(" ").Right(sprite->Height, 4);
    out.Add(" ").Add(sprite->Description).End();
  }
  for (const auto &sprite : ani.Sprites)
    for (const auto &attachment : sprite->Attachments)
      if (attachment->Sprite) {
        out.Add("ATTACHSPRITE ").Right(sprite->Index, 4).Add(" ").Right(attachment->Sprite->Index, 4);
        out.Add(" ").Right(attachment->X, 4).Add(" ").Right(attachment->Y, 4).End();
      }
  out.Line("");

  if (ani.IsMovie)
    out.Line("FRAMES " + std::to_string(ani.Length));
  if (ani.Loop)
    out.Line("LOOP");
  if (ani.Continuous)
    out.Line("CONTINUOUS");
  if (ani.BackColor != DefaultBackColor)
    out.Line("BACKCOLOR " + ColorText(ani.BackColor));
  if (!ani.IsMovie && ani.SingleDirection)
    out.Line("SINGLEDIRECTION");
  if (!ani.SetBackTo.empty())
    out.Line("SETBACKTO " + ani.SetBackTo);
  for (size_t slot = 0; slot < ani.DefaultParams.size(); ++slot)
    if (!ani.DefaultParams[slot].empty())
      out.Line("DEFAULTPARAM" + std::to_string(slot + 1) + " " + ani.DefaultParams[slot]);
  for (size_t slot = 0; slot < ani.DefaultAttrs.size(); ++slot)
    if (!ani.DefaultAttrs[slot].empty())
      out.Line("DEFAULTATTR" + std::to_string(slot + 1) + " " + ani.DefaultAttrs[slot]);
  out.Line("DEFAULTHEAD " + ani.DefaultHead);
  out.Line("DEFAULTBODY " + ani.DefaultBody);

  // Effects are written when their text differs from the default's: a value so close to 1 that
  // it is written "1" reads back as the default either way.
  for (const auto &sprite : ani.Sprites) {
    const auto &effect = sprite->ColorEffect;
    std::array<std::string, 4> values;
    for (size_t i = 0; i < values.size(); ++i)
      values[i] = FormatReal(effect[i]);
    if (std::any_of(values.begin(), values.end(), [](const std::string &v) { return v != "1"; }))
      out.Line("COLOREFFECT " + std::to_string(sprite->Index) + " " + values[0] + " " + values[1] + " " + values[2] +
               " " + values[3]);
    if (const std::string zoom = FormatReal(sprite->Zoom); zoom != "1")
      out.Line("ZOOMEFFECT " + std::to_string(sprite->Index) + " " + zoom);
  }
  out.Line("");

  // A script of nothing but blanks and line breaks would write an empty block, which reads back as
  // no script: it is not written.
  if (const std::string script = TrimTrailingBreaks(ani.Script); !script.empty()) {
    out.Line("SCRIPT");
    out.Line(script);
    out.Line("SCRIPTEND");
    out.Line("");
  }
}

void WriteMovie(TZeltoAni &ani, LineWriter &out)
{
  out.Line("MOVIE");
  bool first = true;
  for (const auto &actor : ani.Actors) {
    if (!first)
      out.Line("");
    first = false;
    out.Line(std::string("  ACTOR ") + ActorKindWord(actor->Kind) + " " + actor->Name);
    for (const auto &key : actor->Keys) {
      if (key->Mods.empty())
        continue;
      std::stable_sort(key->Mods.begin(), key->Mods.end(),
                       [](const std::string &a, const std::string &b) { return LowerCase(a) < LowerCase(b); });
      std::string line = "    FRAME " + std::to_string(key->Time) + " ";
      for (size_t i = 0; i < key->Mods.size(); ++i)
        line += (i ? "," : "") + key->Mods[i];
      out.Line(line);
    }
    out.Line("  ACTOREND");
  }
  out.Line("MOVIEEND");
}

void WriteFrames(TZeltoAni &ani, LineWriter &out)
{
  out.Line("ANI");
  bool first = true;
  for (const auto &step : ani.Steps) {
    if (!first)
      out.End();
    first = false;
    // Exactly as many direction lines as the header promises, so the frames read back as
    // written: lists beyond them are never drawn, missing ones are written empty.
    for (int d = 0; d < ani.DirectionsPerFrame(); ++d) {
      bool any = false;
      if (d < int(step->Directions.size()))
        for (const auto &part : step->Directions[d])
          any = AddPart(out, *part, any) || any;
      // A direction without parts keeps its place through an invisible stand-in part.
      if (!any)
        out.Right(EmptyDirectionSlot, 4).Add(" ").Right(0, 3).Add(" ").Right(0, 3);
      out.End();
    }
    const std::string &extra = step->ExtraText;
    size_t start = 0;
    while (start < extra.size()) {
      size_t end = extra.find('\n', start);
      if (end == std::string::npos)
        end = extra.size();
      out.Add(std::string_view(extra).substr(start, end - start));
      out.End();
      start = end + 1;
    }
  }
  out.Line("ANIEND");
}

} // namespace

static void AddWait(std::string &text, int ticks)
{
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, ticks);
  text += "WAIT ";
  text.append(digits, result.ptr);
  text += '\n';
}

void BuildExtraText(TZeltoAni *ani)
{
  if (!ani)
    return;
  std::vector<const TZeltoAniSound *> sounds;
  for (const auto &step : ani->Steps) {
    // Sounds that start within the frame, by tick; sounds of one tick keep their list order.
    sounds.clear();
    for (const auto &sound : step->Sounds)
      if (!sound->FileName.empty() && sound->Tick >= 1 && sound->Tick <= step->Duration)
        sounds.push_back(sound.get());
    auto byTick = [](const TZeltoAniSound *a, const TZeltoAniSound *b) { return a->Tick < b->Tick; };
    if (!std::is_sorted(sounds.begin(), sounds.end(), byTick))
      std::stable_sort(sounds.begin(), sounds.end(), byTick);

    // Each group of sounds is preceded by a wait for the ticks since the previous group; what
    // is left of the duration after the last group becomes the closing wait.
    std::string &text = step->ExtraText;
    text.clear();
    int lastTick = 1;
    for (size_t i = 0; i < sounds.size();) {
      const int tick = sounds[i]->Tick;
      if (tick > lastTick)
        AddWait(text, tick - lastTick);
      for (; i < sounds.size() && sounds[i]->Tick == tick; ++i) {
        text += "PLAYSOUND ";
        text += sounds[i]->FileName;
        text += ' ';
        text += FormatSixteenths(sounds[i]->X);
        text += ' ';
        text += FormatSixteenths(sounds[i]->Y);
        text += '\n';
      }
      lastTick = tick;
    }
    if (step->Duration > lastTick)
      AddWait(text, step->Duration - lastTick);
  }
}

namespace {

// The whole file text of ani into out.
void WriteText(TZeltoAni *ani, LineWriter &out)
{
  BuildExtraText(ani);
  // One allocation for the whole text: a part takes about 16 bytes, a line break 2.
  size_t estimate = 1024 + ani->Sprites.size() * 96 + ani->Script.size() + ani->Actors.size() * 64;
  for (const auto &step : ani->Steps) {
    estimate += 4 + step->ExtraText.size() * 2;
    for (const TPartList &direction : step->Directions)
      estimate += 16 + direction.size() * 18;
  }
  for (const auto &actor : ani->Actors)
    for (const auto &key : actor->Keys)
      for (const std::string &mod : key->Mods)
        estimate += mod.size() + 1;
  out.Reserve(estimate);
  WriteHeader(*ani, out);
  if (ani->IsMovie)
    WriteMovie(*ani, out);
  else
    WriteFrames(*ani, out);
}

} // namespace

bool IsStorableFileName(const std::string &name)
{
  return std::none_of(name.begin(), name.end(), IsControlOrSpace);
}

std::string StorableDescription(const std::string &text)
{
  std::string result;
  bool blank = false;
  for (char c : text) {
    if (IsControlOrSpace(c)) {
      blank = !result.empty();
      continue;
    }
    if (blank)
      result += ' ';
    blank = false;
    result += c;
  }
  return result;
}

std::string AnimationText(TZeltoAni *ani)
{
  if (!ani)
    return {};
  LineWriter out;
  WriteText(ani, out);
  return out.Text();
}

namespace {

// Line number (from 1) and text of the first line where a and b differ.
std::pair<size_t, std::string_view> FirstDifference(std::string_view a, std::string_view b)
{
  size_t line = 1, start = 0;
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common && a[i] == b[i]; ++i)
    if (a[i] == '\n') {
      ++line;
      start = i + 1;
    }
  const size_t end = std::min(a.find('\n', start), a.size());
  return {line, TrimControlView(a.substr(start, end - start))};
}

} // namespace

std::string ReadBackProblem(std::string_view text)
{
  // The reader makes the document's actors, which take default-name numbers: they are given back,
  // so that checking a save does not change the names of actors made later.
  const auto counters = Context().ActorNameCounters;
  LineWriter again;
  bool readable;
  {
    TZeltoAni read;
    read.Clear();
    readable = ParseAnimation(read, nullptr, text);
    // What the reader made of an unreadable text is written too: where it differs shows the line
    // that stopped the reader.
    WriteText(&read, again);
  }
  Context().ActorNameCounters = counters;
  const std::string_view written(again.Data(), again.Size());
  if (readable && written == text)
    return {};
  const auto [line, differing] = FirstDifference(text, written);
  if (!readable && differing.empty())
    return "the text would hold neither a frame nor a movie";
  return "line " + std::to_string(line) + " does not read back as written: " + std::string(differing);
}

bool WriteAnimation(TZeltoAni *ani, std::string *error)
{
  if (!ani)
    return true;
  LineWriter text;
  WriteText(ani, text);
  const std::string_view written(text.Data(), text.Size());
  if (std::string problem = ReadBackProblem(written); !problem.empty()) {
    if (error)
      *error = std::move(problem);
    return false;
  }
  if (!WriteWholeFile(ani->FileName, written.data(), written.size(), error))
    return false;
  SetModified(ani, false);
  return true;
}

#include "document/writer.h"

#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "document/document.h"
#include "document/editor_link.h"
#include "document/helpers.h"
#include "document/reader.h"
#include "movie/actor.h"

std::string FormatReal(double value)
{
  if (value == 0 || !std::isfinite(value))
    return "0";
  char buffer[64];
  // d.dddddddddddddde±x: 15 significant digits, rounded.
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string text(buffer, result.ptr);
  std::string sign;
  if (text[0] == '-') {
    sign = "-";
    text.erase(0, 1);
  }
  size_t e = text.find('e');
  int exponent = std::stoi(text.substr(e + 1));
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  if (exponent < -5 || exponent >= 15) {
    std::string mantissa = digits.substr(0, 1);
    if (digits.size() > 1)
      mantissa += "." + digits.substr(1);
    return sign + mantissa + "E" + std::to_string(exponent);
  }
  std::string fixed;
  if (exponent < 0) {
    fixed = "0." + std::string(-exponent - 1, '0') + digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole)
      fixed = digits + std::string(whole - digits.size(), '0');
    else
      fixed = digits.substr(0, whole) + "." + digits.substr(whole);
  }
  return sign + fixed;
}

namespace {

// text right-aligned in a field of at least width characters.
std::string Right(const std::string &text, size_t width)
{
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string Right(int value, size_t width)
{
  return Right(std::to_string(value), width);
}

std::string ColorText(int color)
{
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(color));
  return buffer;
}

// The part's reference; empty when it has none (such parts are not written).
std::string PartReference(const TZeltoAniPart &part)
{
  if (part.Sprite)
    return std::to_string(part.Sprite->Index);
  if (part.ParamSlot >= 1)
    return "PARAM" + std::to_string(part.ParamSlot);
  if (part.AttrSlot >= 1)
    return "ATTR" + std::to_string(part.AttrSlot);
  return {};
}

class LineWriter
{
public:
  void Line(const std::string &text)
  {
    out_ += text;
    out_ += "\r\n";
  }
  std::string &Text() { return out_; }

private:
  std::string out_;
};

void WriteHeader(TZeltoAni &ani, LineWriter &out)
{
  out.Line(ani.IsMovie ? "VELK0002" : "VELK0001");
  for (const auto &sprite : ani.Sprites)
    out.Line("SPRITE " + Right(sprite->Index, 4) + " " + Right(sprite->Image, 15) + " " + Right(sprite->Left, 4) +
             " " + Right(sprite->Top, 4) + " " + Right(sprite->Width, 4) + " " + Right(sprite->Height, 4) + " " +
             sprite->Description);
  for (const auto &sprite : ani.Sprites)
    for (const auto &attachment : sprite->Attachments)
      if (attachment->Sprite)
        out.Line("ATTACHSPRITE " + Right(sprite->Index, 4) + " " + Right(attachment->Sprite->Index, 4) + " " +
                 Right(attachment->X, 4) + " " + Right(attachment->Y, 4));
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

  for (const auto &sprite : ani.Sprites) {
    const auto &effect = sprite->ColorEffect;
    if (std::any_of(effect.begin(), effect.end(), [](double v) { return v != 1.0; }))
      out.Line("COLOREFFECT " + std::to_string(sprite->Index) + " " + FormatReal(effect[0]) + " " +
               FormatReal(effect[1]) + " " + FormatReal(effect[2]) + " " + FormatReal(effect[3]));
    if (sprite->Zoom != 1.0)
      out.Line("ZOOMEFFECT " + std::to_string(sprite->Index) + " " + FormatReal(sprite->Zoom));
  }
  out.Line("");

  if (!ani.Script.empty()) {
    out.Line("SCRIPT");
    out.Line(TrimTrailingBreaks(ani.Script));
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
  std::string line;
  for (const auto &step : ani.Steps) {
    if (!first)
      out.Line("");
    first = false;
    for (const TPartList &direction : step->Directions) {
      line.clear();
      for (const auto &part : direction) {
        std::string reference = PartReference(*part);
        if (reference.empty())
          continue;  // a part without sprite or slot shows nothing and cannot be read back
        if (!line.empty())
          line += ", ";
        line += Right(reference, 4) + " " + Right(part->X, 3) + " " + Right(part->Y, 3);
      }
      // A direction without parts keeps its place through an invisible stand-in part.
      if (line.empty())
        line = Right(EmptyDirectionSlot, 4) + " " + Right(0, 3) + " " + Right(0, 3);
      out.Line(line);
    }
    size_t start = 0;
    const std::string &extra = step->ExtraText;
    while (start < extra.size()) {
      size_t end = extra.find('\n', start);
      if (end == std::string::npos)
        end = extra.size();
      out.Line(extra.substr(start, end - start));
      start = end + 1;
    }
  }
  out.Line("ANIEND");
}

}  // namespace

void BuildExtraText(TZeltoAni *ani)
{
  if (!ani)
    return;
  for (const auto &step : ani->Steps) {
    // Sounds that start within the frame, by tick; sounds of one tick keep their list order.
    std::vector<const TZeltoAniSound *> sounds;
    for (const auto &sound : step->Sounds)
      if (!sound->FileName.empty() && sound->Tick >= 1 && sound->Tick <= step->Duration)
        sounds.push_back(sound.get());
    std::stable_sort(sounds.begin(), sounds.end(),
                     [](const TZeltoAniSound *a, const TZeltoAniSound *b) { return a->Tick < b->Tick; });

    // Each group of sounds is preceded by a wait for the ticks since the previous group; what
    // is left of the duration after the last group becomes the closing wait.
    std::string text;
    int lastTick = 1;
    for (size_t i = 0; i < sounds.size();) {
      const int tick = sounds[i]->Tick;
      if (tick > lastTick)
        text += "WAIT " + std::to_string(tick - lastTick) + "\n";
      for (; i < sounds.size() && sounds[i]->Tick == tick; ++i)
        text += "PLAYSOUND " + sounds[i]->FileName + " " + FormatReal(sounds[i]->X / 16.0) + " " +
                FormatReal(sounds[i]->Y / 16.0) + "\n";
      lastTick = tick;
    }
    if (step->Duration > lastTick)
      text += "WAIT " + std::to_string(step->Duration - lastTick) + "\n";
    step->ExtraText = text;
  }
}

std::string AnimationText(TZeltoAni *ani)
{
  if (!ani)
    return {};
  BuildExtraText(ani);
  LineWriter out;
  WriteHeader(*ani, out);
  if (ani->IsMovie)
    WriteMovie(*ani, out);
  else
    WriteFrames(*ani, out);
  return std::move(out.Text());
}

bool WriteAnimation(TZeltoAni *ani, std::string *error)
{
  if (!ani)
    return true;
  const std::string text = AnimationText(ani);
  QSaveFile file(QString::fromLocal8Bit(ani->FileName.c_str()));
  bool ok = file.open(QIODevice::WriteOnly) &&
            file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
            file.commit();
  if (!ok) {
    if (error)
      *error = file.errorString().toStdString();
    file.cancelWriting();
    return false;
  }
  SetModified(ani, false);
  return true;
}

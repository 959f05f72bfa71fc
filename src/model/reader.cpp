#include "model/reader.h"

#include <algorithm>
#include <unordered_map>

#include "core/file_io.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"

namespace {

// A value that the writer puts at the end of its line, where control characters and blanks at
// its end would be trimmed away on reading: they are not kept, so what is read is what reads back.
std::string LineEndValue(const std::string &value)
{
  return TrimControl(value);
}

// The state of one parse: which block the lines belong to and what is under construction.
class Parser
{
public:
  Parser(TZeltoAni &ani, TZeltoActor *owner) : ani_(ani), owner_(owner) {}

  void Run(std::string_view bytes);

private:
  using Words = std::vector<std::string>;
  // A header keyword: the least number of arguments and what the line does.
  struct THeaderRule
  {
    size_t Arguments;
    bool (Parser::*Apply)(const Words &words);
  };
  static const std::unordered_map<std::string, THeaderRule> &HeaderRules();

  // Each returns false when a conversion error ends the reading.
  bool FrameBlockLine(std::string_view line);
  bool ScriptLine(std::string_view line);
  bool HeaderLine(const Words &words);
  void MovieLine(std::string_view line, const Words &words);
  bool SpriteLine(const Words &words);
  bool AttachLine(const Words &words);
  bool ColorEffectLine(const Words &words);
  bool ZoomEffectLine(const Words &words);
  bool LoopLine(const Words &words);
  bool ContinuousLine(const Words &words);
  bool BackColorLine(const Words &words);
  bool SingleDirectionLine(const Words &words);
  bool SetBackToLine(const Words &words);
  bool FramesLine(const Words &words);
  bool DefaultHeadLine(const Words &words);
  bool DefaultBodyLine(const Words &words);
  void DefaultSlotLine(const Words &words, size_t prefixLength, std::string *slots, size_t count);
  bool AniLine(const Words &words);
  bool ScriptStartLine(const Words &words);
  bool MovieStartLine(const Words &words);
  bool DirectionLine(std::string_view line);
  bool CompletePendingFrame();
  void EndFrameBlock();
  TZeltoAniSprite *Sprite(int index) const;

  TZeltoAni &ani_;
  TZeltoActor *owner_;
  bool inFrames_ = false;
  bool inScript_ = false;
  bool inMovie_ = false;
  bool insideActor_ = false;
  TZeltoActor *actor_ = nullptr;
  std::unique_ptr<TZeltoAniStep> frame_;
  bool blockAppended_ = false;
  // Frames whose start ticks are set, and the sum of their durations.
  size_t timedFrames_ = 0;
  long long tickTotal_ = 0;
  // First definition of each index in reading order: what FindSprite answers while reading.
  std::unordered_map<int, TZeltoAniSprite *> spritesByIndex_;
};

TZeltoAniSprite *Parser::Sprite(int index) const
{
  auto it = spritesByIndex_.find(index);
  return it == spritesByIndex_.end() ? nullptr : it->second;
}

void Parser::Run(std::string_view bytes)
{
  size_t pos = 0;
  const size_t size = bytes.size();
  bool stopped = false;
  std::string withoutReturns; // a line's text when it held carriage returns
  while (!stopped) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos)
      end = size;
    std::string_view line(bytes.data() + pos, end - pos);
    // Lines end in CR LF as the editor writes them: the last carriage return goes without a copy.
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) {
      withoutReturns.assign(line);
      withoutReturns.erase(std::remove(withoutReturns.begin(), withoutReturns.end(), '\r'), withoutReturns.end());
      line = withoutReturns;
    }
    pos = end < size ? end + 1 : size;
    if (line.empty()) {
      if (size - pos <= 1)
        break;
      continue;
    }
    if (inFrames_) {
      stopped = !FrameBlockLine(line);
    } else if (inScript_) {
      stopped = !ScriptLine(line);
    } else {
      std::vector<std::string> words = SplitWords(line);
      if (words.empty())
        continue;
      if (inMovie_)
        MovieLine(line, words);
      else
        stopped = !HeaderLine(words);
    }
  }

  frame_.reset();
  // A frame block cut short (no ANIEND, or a conversion error) still gets its start ticks and
  // length, so the frames that were read play as written.
  if (inFrames_)
    EndFrameBlock();
  std::stable_sort(ani_.Sprites.begin(), ani_.Sprites.end(),
                   [](const auto &a, const auto &b) { return a->Index < b->Index; });
}

bool Parser::ScriptLine(std::string_view line)
{
  if (TrimControlView(line) == "SCRIPTEND")
    inScript_ = false;
  else
    ani_.Script.append(line).push_back('\n');
  return true;
}

bool Parser::FrameBlockLine(std::string_view line)
{
  const std::string_view trimmed = TrimControlView(line);
  if (StartsWith("WAIT", trimmed) || StartsWith("PLAYSOUND", trimmed)) {
    if (frame_)
      frame_->ExtraText.append(line).push_back('\n');
    return true;
  }
  if (trimmed == "ANIEND") {
    bool ok = true;
    if (frame_ && static_cast<int>(frame_->Directions.size()) == ani_.DirectionsPerFrame())
      ok = CompletePendingFrame();
    frame_.reset();
    if (!ok)
      return false;
    EndFrameBlock();
    return true;
  }
  return DirectionLine(line);
}

void Parser::EndFrameBlock()
{
  inFrames_ = false;
  if (blockAppended_) {
    // What RecomputeStartTicks would give, computed only for the frames this block appended:
    // the earlier ones keep their start ticks, so many blocks cost no more than one.
    for (size_t i = timedFrames_; i < ani_.Steps.size(); ++i) {
      ani_.Steps[i]->StartTick = ClampTicks(tickTotal_);
      tickTotal_ += ani_.Steps[i]->Duration;
    }
    timedFrames_ = ani_.Steps.size();
    ani_.Length = ClampTicks(tickTotal_);
  }
  blockAppended_ = false;
}

bool Parser::CompletePendingFrame()
{
  if (!ParseExtraText(&ani_, frame_.get()))
    return false;
  ani_.Steps.push_back(std::move(frame_));
  blockAppended_ = true;
  return true;
}

bool Parser::DirectionLine(std::string_view line)
{
  TPartList parts;
  parts.reserve(size_t(std::count(line.begin(), line.end(), ',')) + 1);
  bool placeholder = false;
  size_t start = 0;
  while (start <= line.size()) {
    size_t comma = line.find(',', start);
    if (comma == std::string_view::npos)
      comma = line.size();
    std::string_view words[3];
    const size_t count = SplitWords(line.substr(start, comma - start), words, 3);
    start = comma + 1;
    if (count != 3)
      continue;
    auto part = std::make_unique<TZeltoAniPart>();
    part->ParamSlot = -1;
    part->AttrSlot = -1;
    const std::string_view reference = words[0];
    std::optional<int> number;
    if (StartsWith("PARAM", reference)) {
      number = ParseInt(reference.substr(5));
      if (number)
        part->ParamSlot = *number;
    } else if (StartsWith("ATTR", reference)) {
      number = ParseInt(reference.substr(4));
      if (number)
        part->AttrSlot = *number;
    } else {
      number = ParseInt(reference);
      if (number)
        part->Sprite = Sprite(*number);
    }
    if (!number || !part->IsValid())
      continue;
    std::optional<int> x = ParseInt(words[1]);
    std::optional<int> y = ParseInt(words[2]);
    if (!x || !y)
      return false;
    part->X = *x;
    part->Y = *y;
    // Only the exact stand-in counts; a slot-9 part anywhere else is an ordinary part.
    if (reference == EmptyDirectionSlot && part->X == 0 && part->Y == 0 && parts.empty() && comma == line.size())
      placeholder = true;
    parts.push_back(std::move(part));
  }
  if (parts.empty())
    return true;
  // The writer's stand-in for a direction without parts reads back as that empty direction.
  if (placeholder)
    parts.clear();

  if (frame_ && static_cast<int>(frame_->Directions.size()) >= ani_.DirectionsPerFrame()) {
    if (!CompletePendingFrame())
      return false;
  }
  if (!frame_) {
    frame_ = std::make_unique<TZeltoAniStep>();
    frame_->Directions.reserve(size_t(ani_.DirectionsPerFrame()));
  }
  frame_->Directions.push_back(std::move(parts));
  return true;
}

// The header keywords, one small function each. Each gets the line's words (the keyword first)
// and returns false when a conversion error ends the reading.
const std::unordered_map<std::string, Parser::THeaderRule> &Parser::HeaderRules()
{
  static const std::unordered_map<std::string, THeaderRule> rules = {
      {"SPRITE", {6, &Parser::SpriteLine}},
      {"ATTACHSPRITE", {4, &Parser::AttachLine}},
      {"COLOREFFECT", {5, &Parser::ColorEffectLine}},
      {"ZOOMEFFECT", {2, &Parser::ZoomEffectLine}},
      {"LOOP", {0, &Parser::LoopLine}},
      {"CONTINUOUS", {0, &Parser::ContinuousLine}},
      {"BACKCOLOR", {1, &Parser::BackColorLine}},
      {"SINGLEDIRECTION", {0, &Parser::SingleDirectionLine}},
      {"SETBACKTO", {1, &Parser::SetBackToLine}},
      {"FRAMES", {1, &Parser::FramesLine}},
      {"DEFAULTHEAD", {0, &Parser::DefaultHeadLine}},
      {"DEFAULTBODY", {0, &Parser::DefaultBodyLine}},
      {"ANI", {0, &Parser::AniLine}},
      {"SCRIPT", {0, &Parser::ScriptStartLine}},
      {"MOVIE", {0, &Parser::MovieStartLine}},
  };
  return rules;
}

bool Parser::HeaderLine(const Words &words)
{
  const std::string &keyword = words[0];
  const size_t arguments = words.size() - 1;
  const auto &rules = HeaderRules();
  if (auto rule = rules.find(keyword); rule != rules.end())
    return arguments < rule->second.Arguments || (this->*rule->second.Apply)(words);
  // The two prefix keywords carry their slot number: DEFAULTPARAM1..8, DEFAULTATTR1..9.
  if (StartsWith("DEFAULTPARAM", keyword))
    DefaultSlotLine(words, 12, ani_.DefaultParams.data(), ani_.DefaultParams.size());
  else if (StartsWith("DEFAULTATTR", keyword))
    DefaultSlotLine(words, 11, ani_.DefaultAttrs.data(), ani_.DefaultAttrs.size());
  return true;
}

bool Parser::SpriteLine(const Words &words)
{
  std::optional<int> index = ParseInt(words[1]);
  if (!index)
    return false;
  std::optional<int> left = ParseInt(words[3]), top = ParseInt(words[4]);
  std::optional<int> width = ParseInt(words[5]), height = ParseInt(words[6]);
  if (!left || !top || !width || !height)
    return false;
  auto sprite = std::make_unique<TZeltoAniSprite>();
  sprite->Index = *index;
  sprite->Image = words[2];
  sprite->Left = *left;
  sprite->Top = *top;
  sprite->Width = *width;
  sprite->Height = *height;
  for (size_t i = 7; i < words.size(); ++i)
    sprite->Description += (i > 7 ? " " : "") + words[i];
  sprite->Description = LineEndValue(sprite->Description);
  spritesByIndex_.emplace(*index, sprite.get());
  ani_.Sprites.push_back(std::move(sprite));
  return true;
}

bool Parser::AttachLine(const Words &words)
{
  std::optional<int> index = ParseInt(words[1]), attached = ParseInt(words[2]);
  std::optional<int> x = ParseInt(words[3]), y = ParseInt(words[4]);
  if (!index || !attached || !x || !y)
    return false;
  TZeltoAniSprite *owner = Sprite(*index);
  TZeltoAniSprite *other = Sprite(*attached);
  if (owner && other)
    owner->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{other, *x, *y}));
  return true;
}

bool Parser::ColorEffectLine(const Words &words)
{
  std::optional<int> index = ParseInt(words[1]);
  TZeltoAniSprite *sprite = index ? Sprite(*index) : nullptr;
  // Values are taken in order until one does not convert.
  for (int i = 0; sprite && i < 4; ++i) {
    std::optional<double> value = ParseReal(words[2 + i]);
    if (!value)
      break;
    sprite->ColorEffect[i] = *value;
  }
  return true;
}

bool Parser::ZoomEffectLine(const Words &words)
{
  std::optional<int> index = ParseInt(words[1]);
  TZeltoAniSprite *sprite = index ? Sprite(*index) : nullptr;
  std::optional<double> zoom = ParseReal(words[2]);
  if (sprite && zoom)
    sprite->Zoom = *zoom;
  return true;
}

bool Parser::LoopLine(const Words &)
{
  ani_.Loop = true;
  return true;
}

bool Parser::ContinuousLine(const Words &)
{
  ani_.Continuous = true;
  return true;
}

bool Parser::BackColorLine(const Words &words)
{
  if (StartsWith("#", words[1]))
    if (std::optional<int> color = ParseInt("$" + words[1].substr(1)))
      ani_.BackColor = *color;
  return true;
}

bool Parser::SingleDirectionLine(const Words &)
{
  ani_.SingleDirection = true;
  return true;
}

bool Parser::SetBackToLine(const Words &words)
{
  ani_.SetBackTo = LineEndValue(words[1]);
  return true;
}

bool Parser::FramesLine(const Words &words)
{
  if (std::optional<int> length = ParseInt(words[1]))
    ani_.Length = *length;
  return true;
}

bool Parser::DefaultHeadLine(const Words &words)
{
  ani_.DefaultHead = words.size() > 1 ? LineEndValue(ExtractKey(words[1])) : std::string();
  return true;
}

bool Parser::DefaultBodyLine(const Words &words)
{
  ani_.DefaultBody = words.size() > 1 ? LineEndValue(ExtractKey(words[1])) : std::string();
  return true;
}

void Parser::DefaultSlotLine(const Words &words, size_t prefixLength, std::string *slots, size_t count)
{
  std::optional<int> slot = ParseInt(words[0].substr(prefixLength));
  if (words.size() > 1 && slot && *slot >= 1 && size_t(*slot) <= count)
    slots[*slot - 1] = LineEndValue(words[1]);
}

bool Parser::AniLine(const Words &)
{
  ani_.IsMovie = false;
  inFrames_ = true;
  blockAppended_ = false;
  return true;
}

bool Parser::ScriptStartLine(const Words &)
{
  inScript_ = true;
  return true;
}

bool Parser::MovieStartLine(const Words &)
{
  ani_.IsMovie = true;
  inMovie_ = true;
  actor_ = nullptr;
  return true;
}

void Parser::MovieLine(std::string_view line, const std::vector<std::string> &words)
{
  const std::string &keyword = words[0];
  if (keyword == "ACTOR") {
    insideActor_ = true;
    if (words.size() < 3)
      return;
    int kind = ActorKindFromWord(words[1]);
    if (kind < 0)
      return;
    // A nested movie stops gaining actors at the cap; the refused actor's keys go nowhere.
    if (owner_ && owner_->Parent && Context().NestedActors >= MaxNestedActors) {
      actor_ = nullptr;
      return;
    }
    auto actor = std::make_unique<TZeltoActor>(owner_, kind);
    if (std::string name = LineEndValue(words[2]); !name.empty())
      actor->Name = name;
    actor_ = actor.get();
    ani_.Actors.push_back(std::move(actor));
  } else if (keyword == "ACTOREND") {
    insideActor_ = false;
    actor_ = nullptr;
  } else if (keyword == "FRAME") {
    if (!insideActor_ || !actor_ || words.size() < 3)
      return;
    actor_->Keys.push_back(std::make_unique<TZeltoActorMod>());
    TZeltoActorMod &key = *actor_->Keys.back();
    std::optional<int> time = ParseInt(words[1]);
    if (!time)
      return;
    key.Time = *time;
    const std::string_view text = TrimControlView(line.substr(line.find(words[1]) + words[1].size()));
    size_t start = 0;
    while (start <= text.size()) {
      size_t comma = text.find(',', start);
      if (comma == std::string_view::npos)
        comma = text.size();
      const std::string_view piece = TrimControlView(text.substr(start, comma - start));
      if (!piece.empty())
        key.Mods.emplace_back(piece);
      start = comma + 1;
    }
  }
}

} // namespace

bool ParseExtraText(TZeltoAni *, TZeltoAniStep *step)
{
  step->Duration = 1;
  step->Sounds.clear();
  size_t start = 0;
  const std::string_view text = step->ExtraText;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view words[4];
    const size_t count = SplitWords(text.substr(start, end - start), words, 4);
    start = end + 1;
    if (count == 0)
      continue;
    if (StartsWith("WAIT", words[0])) {
      if (count < 2)
        continue;
      std::optional<int> wait = ParseInt(words[1]);
      if (!wait)
        return false;
      // Durations stay within 1 and a day, whatever the waits add up to.
      long long duration = static_cast<long long>(step->Duration) + *wait;
      step->Duration = static_cast<int>(std::clamp<long long>(duration, 1, MaxFrameDuration));
    } else if (StartsWith("PLAYSOUND", words[0]) && count >= 2) {
      auto sound = std::make_unique<TZeltoAniSound>();
      sound->FileName = words[1];
      sound->Tick = step->Duration;
      sound->X = 24;
      sound->Y = 32;
      if (count >= 4) {
        std::optional<double> x = ParseReal(words[2]), y = ParseReal(words[3]);
        if (x && y) {
          sound->X = FloorEps(*x * 16);
          sound->Y = FloorEps(*y * 16);
        }
      }
      step->Sounds.push_back(std::move(sound));
    }
  }
  return true;
}

bool ParseAnimation(TZeltoAni &ani, TZeltoActor *owner, std::string_view bytes)
{
  Parser(ani, owner).Run(bytes);
  return ani.IsMovie || !ani.Steps.empty();
}

bool IsBareAnimationName(const std::string &name)
{
  return name.find_first_of("./\\") == std::string::npos;
}

std::unique_ptr<TZeltoAni> ReadAnimation(TZeltoActor *owner, const std::string &name, std::string *error)
{
  std::string file;
  std::string documentName;
  std::string &startFile = Context().StartFilePath;
  if (!startFile.empty()) {
    file = startFile;
    startFile.clear();
    documentName = name;
  } else {
    const std::string key = LowerCase(TrimControl(name));
    file = IsBareAnimationName(name) ? ResolveFile(key + ".velk") : name;
    documentName = key;
  }
  if (file.empty()) {
    if (error)
      *error = "not found in the game folder";
    return nullptr;
  }

  auto ani = std::make_unique<TZeltoAni>();
  ani->Name = documentName;
  ani->FileName = file;
  ani->Clear();
  std::string bytes;
  if (!ReadWholeFile(file, MaxAnimationFileSize, bytes, error))
    return nullptr;
  if (!ParseAnimation(*ani, owner, bytes)) {
    if (error)
      *error = "holds neither a frame nor a movie";
    return nullptr;
  }
  return ani;
}

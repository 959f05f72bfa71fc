#include "model/reader.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include "model/document.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor.h"

std::string StartFilePath;

namespace {

bool LoadFile(const std::string &path, std::string &bytes)
{
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in)
    return false;
  std::streamoff size = in.tellg();
  if (size < 0 || static_cast<unsigned long long>(size) > MaxAnimationFileSize)
    return false;
  bytes.resize(static_cast<size_t>(size));
  in.seekg(0);
  return static_cast<bool>(in.read(bytes.data(), size)) || size == 0;
}

// The state of one parse: which block the lines belong to and what is under construction.
class Parser
{
public:
  Parser(TZeltoAni &ani, TZeltoActor *owner) : ani_(ani), owner_(owner) {}

  void Run(const std::string &bytes);

private:
  // Each returns false when a conversion error ends the reading.
  bool FrameBlockLine(const std::string &line);
  bool ScriptLine(const std::string &line);
  bool HeaderLine(const std::vector<std::string> &words);
  void MovieLine(const std::string &line, const std::vector<std::string> &words);
  bool DirectionLine(const std::string &line);
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
  // First definition of each index in reading order: what FindSprite answers while reading.
  std::unordered_map<int, TZeltoAniSprite *> spritesByIndex_;
};

TZeltoAniSprite *Parser::Sprite(int index) const
{
  auto it = spritesByIndex_.find(index);
  return it == spritesByIndex_.end() ? nullptr : it->second;
}

void Parser::Run(const std::string &bytes)
{
  size_t pos = 0;
  const size_t size = bytes.size();
  bool stopped = false;
  std::string line;
  while (!stopped) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos)
      end = size;
    line.assign(bytes, pos, end - pos);
    if (line.find('\r') != std::string::npos)
      line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
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

bool Parser::ScriptLine(const std::string &line)
{
  if (TrimControlView(line) == "SCRIPTEND")
    inScript_ = false;
  else
    ani_.Script += line + "\n";
  return true;
}

bool Parser::FrameBlockLine(const std::string &line)
{
  const std::string_view trimmed = TrimControlView(line);
  if (StartsWith("WAIT", trimmed) || StartsWith("PLAYSOUND", trimmed)) {
    if (frame_)
      frame_->ExtraText += line + "\n";
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
  if (blockAppended_)
    RecomputeStartTicks(&ani_);
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

bool Parser::DirectionLine(const std::string &line)
{
  TPartList parts;
  bool placeholder = false;
  size_t start = 0;
  while (start <= line.size()) {
    size_t comma = line.find(',', start);
    if (comma == std::string::npos)
      comma = line.size();
    std::vector<std::string> words = SplitWords(std::string_view(line).substr(start, comma - start));
    start = comma + 1;
    if (words.size() != 3)
      continue;
    auto part = std::make_unique<TZeltoAniPart>();
    part->ParamSlot = -1;
    part->AttrSlot = -1;
    const std::string &reference = words[0];
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
  if (!frame_)
    frame_ = std::make_unique<TZeltoAniStep>();
  frame_->Directions.push_back(std::move(parts));
  return true;
}

bool Parser::HeaderLine(const std::vector<std::string> &words)
{
  const std::string &keyword = words[0];
  const size_t arguments = words.size() - 1;
  if (keyword == "SPRITE") {
    if (arguments < 6)
      return true;
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
    spritesByIndex_.emplace(*index, sprite.get());
    ani_.Sprites.push_back(std::move(sprite));
  } else if (keyword == "ATTACHSPRITE") {
    if (arguments < 4)
      return true;
    std::optional<int> index = ParseInt(words[1]), attached = ParseInt(words[2]);
    std::optional<int> x = ParseInt(words[3]), y = ParseInt(words[4]);
    if (!index || !attached || !x || !y)
      return false;
    TZeltoAniSprite *owner = Sprite(*index);
    TZeltoAniSprite *other = Sprite(*attached);
    if (owner && other)
      owner->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{other, *x, *y}));
  } else if (keyword == "COLOREFFECT") {
    if (arguments < 5)
      return true;
    std::optional<int> index = ParseInt(words[1]);
    TZeltoAniSprite *sprite = index ? Sprite(*index) : nullptr;
    // Values are taken in order until one does not convert.
    for (int i = 0; sprite && i < 4; ++i) {
      std::optional<double> value = ParseReal(words[2 + i]);
      if (!value)
        break;
      sprite->ColorEffect[i] = *value;
    }
  } else if (keyword == "ZOOMEFFECT") {
    if (arguments < 2)
      return true;
    std::optional<int> index = ParseInt(words[1]);
    TZeltoAniSprite *sprite = index ? Sprite(*index) : nullptr;
    std::optional<double> zoom = ParseReal(words[2]);
    if (sprite && zoom)
      sprite->Zoom = *zoom;
  } else if (keyword == "LOOP") {
    ani_.Loop = true;
  } else if (keyword == "CONTINUOUS") {
    ani_.Continuous = true;
  } else if (keyword == "BACKCOLOR") {
    if (arguments >= 1 && StartsWith("#", words[1])) {
      if (std::optional<int> color = ParseInt("$" + words[1].substr(1)))
        ani_.BackColor = *color;
    }
  } else if (keyword == "SINGLEDIRECTION") {
    ani_.SingleDirection = true;
  } else if (keyword == "SETBACKTO") {
    if (arguments >= 1)
      ani_.SetBackTo = words[1];
  } else if (keyword == "FRAMES") {
    if (arguments >= 1) {
      if (std::optional<int> length = ParseInt(words[1]))
        ani_.Length = *length;
    }
  } else if (keyword == "DEFAULTHEAD") {
    ani_.DefaultHead = arguments >= 1 ? ExtractKey(words[1]) : std::string();
  } else if (keyword == "DEFAULTBODY") {
    ani_.DefaultBody = arguments >= 1 ? ExtractKey(words[1]) : std::string();
  } else if (StartsWith("DEFAULTPARAM", keyword)) {
    std::optional<int> slot = ParseInt(keyword.substr(12));
    if (arguments >= 1 && slot && *slot >= 1 && *slot <= 8)
      ani_.DefaultParams[*slot - 1] = words[1];
  } else if (StartsWith("DEFAULTATTR", keyword)) {
    std::optional<int> slot = ParseInt(keyword.substr(11));
    if (arguments >= 1 && slot && *slot >= 1 && *slot <= 9)
      ani_.DefaultAttrs[*slot - 1] = words[1];
  } else if (keyword == "ANI") {
    ani_.IsMovie = false;
    inFrames_ = true;
    blockAppended_ = false;
  } else if (keyword == "SCRIPT") {
    inScript_ = true;
  } else if (keyword == "MOVIE") {
    ani_.IsMovie = true;
    inMovie_ = true;
    actor_ = nullptr;
  }
  return true;
}

void Parser::MovieLine(const std::string &line, const std::vector<std::string> &words)
{
  const std::string &keyword = words[0];
  if (keyword == "ACTOR") {
    insideActor_ = true;
    if (words.size() < 3)
      return;
    int kind = ActorKindFromWord(words[1]);
    if (kind < 0)
      return;
    auto actor = std::make_unique<TZeltoActor>(owner_, kind);
    actor->Name = words[2];
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
    std::string text = TrimControl(line.substr(line.find(words[1]) + words[1].size()));
    size_t start = 0;
    while (start <= text.size()) {
      size_t comma = text.find(',', start);
      if (comma == std::string::npos)
        comma = text.size();
      std::string piece = TrimControl(text.substr(start, comma - start));
      if (!piece.empty())
        key.Mods.push_back(piece);
      start = comma + 1;
    }
  }
}

}  // namespace

bool ParseExtraText(TZeltoAni *, TZeltoAniStep *step)
{
  step->Duration = 1;
  step->Sounds.clear();
  size_t start = 0;
  const std::string &text = step->ExtraText;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::vector<std::string> words = SplitWords(text.substr(start, end - start));
    start = end + 1;
    if (words.empty())
      continue;
    if (StartsWith("WAIT", words[0])) {
      if (words.size() < 2)
        continue;
      std::optional<int> wait = ParseInt(words[1]);
      if (!wait)
        return false;
      // Durations stay within 1 and a day, whatever the waits add up to.
      long long duration = static_cast<long long>(step->Duration) + *wait;
      step->Duration = static_cast<int>(std::clamp<long long>(duration, 1, MaxFrameDuration));
    } else if (StartsWith("PLAYSOUND", words[0]) && words.size() >= 2) {
      auto sound = std::make_unique<TZeltoAniSound>();
      sound->FileName = words[1];
      sound->Tick = step->Duration;
      sound->X = 24;
      sound->Y = 32;
      if (words.size() >= 4) {
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

bool ParseAnimation(TZeltoAni &ani, TZeltoActor *owner, const std::string &bytes)
{
  Parser(ani, owner).Run(bytes);
  return ani.IsMovie || !ani.Steps.empty();
}

std::unique_ptr<TZeltoAni> ReadAnimation(TZeltoActor *owner, const std::string &name)
{
  std::string file;
  std::string documentName;
  if (!StartFilePath.empty()) {
    file = StartFilePath;
    StartFilePath.clear();
    documentName = name;
  } else {
    const std::string key = LowerCase(TrimControl(name));
    file = name.find('.') == std::string::npos ? ResolveFile(key + ".velk") : name;
    documentName = key;
  }
  if (file.empty())
    return nullptr;

  auto ani = std::make_unique<TZeltoAni>();
  ani->Name = documentName;
  ani->FileName = file;
  ani->Clear();
  std::string bytes;
  if (!LoadFile(file, bytes))
    return nullptr;
  if (!ParseAnimation(*ani, owner, bytes))
    return nullptr;
  return ani;
}

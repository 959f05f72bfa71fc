#include "cli/source_scan.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "core/helpers.h"
#include "model/actor_kinds.h"
#include "model/document.h"
#include "model/reader.h"

namespace {

// The reader's word splitting (core's SplitWords) without copying: views of the first eight words
// of a line and how many words there are. Scanning a file must cost little beside reading it.
class TWordViews
{
public:
  explicit TWordViews(std::string_view s)
  {
    s = TrimControlView(s);
    while (!s.empty()) {
      const size_t space = std::min(s.find(' '), s.size());
      if (count_ < words_.size())
        words_[count_] = s.substr(0, space);
      ++count_;
      s = TrimControlView(s.substr(space));
    }
  }
  size_t size() const { return count_; }
  // Empty past the words kept.
  std::string_view operator[](size_t i) const { return i < words_.size() ? words_[i] : std::string_view(); }

private:
  std::array<std::string_view, 8> words_;
  size_t count_ = 0;
};

// A set of sprite indices: the usual small ones in bits, any other in a hash set.
class TIndexSet
{
public:
  void Insert(int index)
  {
    if (index >= 0 && index < SmallLimit) {
      if (small_.empty())
        small_.resize(SmallLimit);
      small_[size_t(index)] = true;
    } else {
      others_.insert(index);
    }
  }
  bool Contains(int index) const
  {
    if (index >= 0 && index < SmallLimit)
      return !small_.empty() && small_[size_t(index)];
    return others_.count(index) > 0;
  }

private:
  static constexpr int SmallLimit = 4096;
  std::vector<bool> small_;
  std::unordered_set<int> others_;
};

// The reader's integers. Up to nine decimal digits with an optional sign always fit, and most
// numbers of a file look like that: they are read here without the general rules.
std::optional<int> ParseInt(std::string_view text)
{
  const size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (text.size() > sign && text.size() - sign <= 9) {
    int value = 0;
    size_t i = sign;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      value = value * 10 + (text[i] - '0');
    if (i == text.size())
      return text[0] == '-' ? -value : value;
  }
  return ::ParseInt(std::string(text));
}

bool IsBlank(char c)
{
  return static_cast<unsigned char>(c) <= 32;
}

// The text after the first n words, as the reader's word splitting leaves it (cut at single
// spaces, the rest trimmed after each word).
std::string_view TailAfterWords(std::string_view line, size_t n)
{
  std::string_view rest = TrimControlView(line);
  for (size_t i = 0; i < n && !rest.empty(); ++i) {
    const size_t space = rest.find(' ');
    rest = space == std::string_view::npos ? std::string_view() : TrimControlView(rest.substr(space));
  }
  return rest;
}

std::string Quoted(std::string_view text)
{
  return "\"" + std::string(text) + "\"";
}

class TScanner
{
public:
  TSourceMap Run(const std::string &bytes);

private:
  void Note(const std::string &message) { map_.Findings.push_back({line_, message}); }
  // The reader stops at this line: what follows is not read.
  void Stop(int line, const std::string &message)
  {
    map_.Findings.push_back({line, message});
    map_.StopLine = line;
  }
  // The frame being collected, dropped by the reader.
  void DropFrame(const std::string &message)
  {
    const int line = map_.DirectionLines[frame_.FirstDirection];
    map_.Findings.push_back({line, message});
    if (map_.StopLine == 0)
      map_.StopLine = line;
    pending_ = false;
  }
  // A header value of which the reader keeps only the first word.
  void OneWordValue(std::string_view text, const TWordViews &words, const std::string &keyword);
  bool HeaderLine(std::string_view text, const TWordViews &words);
  bool SpriteLine(std::string_view text, const TWordViews &words);
  bool AttachLine(const TWordViews &words);
  bool FrameBlockLine(std::string_view text);
  bool DirectionLine(std::string_view text);
  bool CompleteFrame();
  void MovieLine(std::string_view text, const TWordViews &words);

  TSourceMap map_;
  int line_ = 0;
  bool inFrames_ = false, inScript_ = false, inMovie_ = false, insideActor_ = false;
  int aniLine_ = 0;       // the ANI line of the frame block being read
  int currentActor_ = -1; // the actor FRAME lines go to, as the reader keeps it
  bool singleDirection_ = false;
  TIndexSet defined_;    // indices with a SPRITE line read so far
  bool pending_ = false; // a frame is being collected
  TFrameSource frame_;
  std::string badWait_; // the first WAIT value of the frame that is no number, and its line
  int badWaitLine_ = 0;
};

TSourceMap TScanner::Run(const std::string &bytes)
{
  size_t pos = 0;
  const size_t size = bytes.size();
  bool stopped = false;
  std::string copy;
  while (!stopped) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos)
      end = size;
    // Lines are read without their carriage returns. Most end in one; only a line with one elsewhere
    // is copied to take them out.
    std::string_view text(bytes.data() + pos, end - pos);
    ++line_;
    if (!text.empty() && text.back() == '\r')
      text.remove_suffix(1);
    if (text.find('\r') != std::string_view::npos) {
      copy.assign(text);
      copy.erase(std::remove(copy.begin(), copy.end(), '\r'), copy.end());
      text = copy;
    }
    pos = end < size ? end + 1 : size;
    if (text.empty()) {
      if (size - pos <= 1)
        break;
      continue;
    }
    if (inFrames_) {
      stopped = !FrameBlockLine(text);
    } else if (inScript_) {
      if (TrimControlView(text) == "SCRIPTEND")
        inScript_ = false;
    } else {
      const TWordViews words(text);
      if (words.size() == 0)
        continue;
      if (inMovie_)
        MovieLine(text, words);
      else
        stopped = !HeaderLine(text, words);
    }
  }
  if (inFrames_ && !stopped) {
    map_.Findings.push_back({aniLine_, "the frame block has no ANIEND"});
    if (pending_)
      DropFrame("frame is not ended by ANIEND: the reader drops it");
  }
  return std::move(map_);
}

void TScanner::OneWordValue(std::string_view text, const TWordViews &words, const std::string &keyword)
{
  if (words.size() > 2)
    Note(keyword + " value " + Quoted(TailAfterWords(text, 1)) + " has blanks: only " + Quoted(words[1]) +
         " is read back");
}

bool TScanner::HeaderLine(std::string_view text, const TWordViews &words)
{
  const std::string keyword(words[0]);
  const size_t arguments = words.size() - 1;
  if (keyword == "SPRITE")
    return arguments < 6 || SpriteLine(text, words);
  if (keyword == "ATTACHSPRITE")
    return arguments < 4 || AttachLine(words);
  if (keyword == "SINGLEDIRECTION") {
    singleDirection_ = true;
  } else if (keyword == "ANI") {
    inFrames_ = true;
    aniLine_ = line_;
  } else if (keyword == "SCRIPT") {
    inScript_ = true;
  } else if (keyword == "MOVIE") {
    inMovie_ = true;
    currentActor_ = -1;
  } else if ((keyword == "SETBACKTO" || keyword == "DEFAULTHEAD" || keyword == "DEFAULTBODY" ||
              StartsWith("DEFAULTPARAM", keyword) || StartsWith("DEFAULTATTR", keyword)) &&
             arguments >= 1) {
    map_.HeaderLines[keyword] = line_;
    OneWordValue(text, words, keyword);
  }
  return true;
}

bool TScanner::SpriteLine(std::string_view text, const TWordViews &words)
{
  const std::optional<int> index = ParseInt(words[1]);
  const bool numbers = ParseInt(words[3]) && ParseInt(words[4]) && ParseInt(words[5]) && ParseInt(words[6]);
  if (!index || !numbers) {
    Stop(line_, "SPRITE line does not read (an image name with blanks?): the reader stops here");
    return false;
  }
  map_.Sprites.push_back({*index, line_});
  defined_.Insert(*index);
  // The reader cuts the description at each space and trims what follows, then joins the words with
  // single spaces: a space followed by another blank does not read back.
  const std::string_view written = TailAfterWords(text, 7);
  bool collapses = false;
  for (size_t i = 0; i + 1 < written.size() && !collapses; ++i)
    collapses = written[i] == ' ' && IsBlank(written[i + 1]);
  if (collapses) {
    std::string read;
    for (std::string_view rest = written; !rest.empty();) {
      const size_t space = std::min(rest.find(' '), rest.size());
      read += (read.empty() ? "" : " ") + std::string(rest.substr(0, space));
      rest = TrimControlView(rest.substr(space));
    }
    Note("description of sprite " + std::to_string(*index) + " " + Quoted(written) + " reads back as " + Quoted(read));
  }
  return true;
}

bool TScanner::AttachLine(const TWordViews &words)
{
  const std::optional<int> owner = ParseInt(words[1]), attached = ParseInt(words[2]);
  if (!owner || !attached || !ParseInt(words[3]) || !ParseInt(words[4])) {
    Stop(line_, "ATTACHSPRITE line does not read: the reader stops here");
    return false;
  }
  bool kept = true;
  for (int index : {*owner, *attached})
    if (!defined_.Contains(index)) {
      Note("attachment names sprite " + std::to_string(index) + ", which has no SPRITE line before it");
      kept = false;
    }
  if (kept)
    map_.Attachments.push_back({*owner, *attached, line_});
  return true;
}

bool TScanner::FrameBlockLine(std::string_view text)
{
  const std::string_view trimmed = TrimControlView(text);
  if (StartsWith("WAIT", trimmed) || StartsWith("PLAYSOUND", trimmed)) {
    if (pending_) {
      const TWordViews words(text);
      if (StartsWith("PLAYSOUND", words[0]) && words.size() >= 2) {
        map_.SoundLines.push_back(line_);
        ++frame_.Sounds;
      } else if (StartsWith("WAIT", words[0]) && words.size() >= 2 && badWait_.empty() && !ParseInt(words[1])) {
        badWait_ = words[1];
        badWaitLine_ = line_;
      }
    }
    return true;
  }
  const size_t perFrame = singleDirection_ ? 1 : DirectionCount;
  if (trimmed == "ANIEND") {
    bool ok = true;
    if (pending_ && frame_.Directions == perFrame)
      ok = CompleteFrame();
    else if (pending_)
      DropFrame("frame has " + std::to_string(frame_.Directions) + " of " + std::to_string(perFrame) +
                " direction lines before ANIEND (line " + std::to_string(line_) + "): the reader drops it");
    pending_ = false;
    inFrames_ = false;
    return ok;
  }
  return DirectionLine(text);
}

bool TScanner::CompleteFrame()
{
  // The reader turns a frame's waits into its duration only now.
  if (!badWait_.empty()) {
    Stop(badWaitLine_, "WAIT " + Quoted(badWait_) + " is no whole number: the reader stops here");
    return false;
  }
  map_.Frames.push_back(frame_);
  pending_ = false;
  return true;
}

bool TScanner::DirectionLine(std::string_view text)
{
  bool anyPart = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos)
      comma = text.size();
    const TWordViews words(std::string_view(text).substr(start, comma - start));
    start = comma + 1;
    if (words.size() != 3)
      continue;
    const std::string_view reference = words[0];
    bool valid = false;
    if (StartsWith("PARAM", reference) || StartsWith("ATTR", reference)) {
      const std::optional<int> slot = ParseInt(reference.substr(StartsWith("PARAM", reference) ? 5 : 4));
      valid = slot && *slot >= 1;
    } else if (const std::optional<int> index = ParseInt(reference)) {
      valid = defined_.Contains(*index);
      if (!valid)
        Note("part names sprite " + std::to_string(*index) + ", which has no SPRITE line before it");
    }
    if (!valid)
      continue;
    if (!ParseInt(words[1]) || !ParseInt(words[2])) {
      Stop(line_, "part position " + std::string(words[1]) + " " + std::string(words[2]) +
                      " is no pair of whole numbers: the reader stops here");
      return false;
    }
    anyPart = true;
  }
  if (!anyPart)
    return true;
  const size_t perFrame = singleDirection_ ? 1 : DirectionCount;
  if (pending_ && frame_.Directions >= perFrame && !CompleteFrame())
    return false;
  if (!pending_) {
    // A frame dropped unfinished leaves its lines behind; the ranges skip them.
    frame_ = {map_.DirectionLines.size(), 0, map_.SoundLines.size(), 0};
    badWait_.clear();
    pending_ = true;
  }
  map_.DirectionLines.push_back(line_);
  ++frame_.Directions;
  return true;
}

void TScanner::MovieLine(std::string_view text, const TWordViews &words)
{
  const std::string keyword(words[0]);
  if (keyword == "ACTOR") {
    insideActor_ = true;
    const std::string keys = currentActor_ >= 0 ? "its keys go to the actor before it" : "its keys are dropped";
    if (words.size() < 3) {
      Note("ACTOR line needs a kind and a name: the reader makes no actor; " + keys);
    } else if (ActorKindFromWord(std::string(words[1])) < 0) {
      Note("actor kind " + Quoted(words[1]) + " is none of CHAR, SPRITE, SOUND and TEXT: the reader makes no actor; " +
           keys);
    } else {
      currentActor_ = int(map_.KeyLines.size());
      map_.KeyLines.emplace_back();
      if (words.size() > 3)
        Note("actor name " + Quoted(TailAfterWords(text, 2)) + " has blanks: only " + Quoted(words[2]) +
             " is read back");
    }
  } else if (keyword == "ACTOREND") {
    insideActor_ = false;
    currentActor_ = -1;
  } else if (keyword == "FRAME" && !insideActor_) {
    Note("FRAME line outside ACTOR and ACTOREND: the reader drops it");
  } else if (keyword == "FRAME" && insideActor_ && words.size() >= 3) {
    if (currentActor_ >= 0)
      map_.KeyLines[size_t(currentActor_)].push_back(line_);
    // Key lines are cut at commas and each piece is trimmed: blanks that end a value are lost.
    const std::string_view keys = text.substr(text.find(words[1]) + words[1].size());
    size_t start = 0;
    while (start <= keys.size()) {
      size_t comma = keys.find(',', start);
      if (comma == std::string_view::npos)
        comma = keys.size();
      const std::string_view piece = keys.substr(start, comma - start);
      start = comma + 1;
      const std::string_view kept = TrimControlView(piece);
      const size_t keptEnd = size_t(kept.data() - piece.data()) + kept.size();
      if (kept.find('=') != std::string_view::npos && keptEnd < piece.size())
        Note("key value " + Quoted(kept) + " ends in blanks that are not read back");
    }
  }
}

} // namespace

TSourceMap ScanSource(const std::string &bytes)
{
  return TScanner().Run(bytes);
}

int DirectionLine(const TSourceMap &map, size_t frame, size_t direction)
{
  if (frame >= map.Frames.size() || direction >= map.Frames[frame].Directions)
    return 0;
  return map.DirectionLines[map.Frames[frame].FirstDirection + direction];
}

int SoundLine(const TSourceMap &map, size_t frame, size_t sound)
{
  if (frame >= map.Frames.size() || sound >= map.Frames[frame].Sounds)
    return 0;
  return map.SoundLines[map.Frames[frame].FirstSound + sound];
}

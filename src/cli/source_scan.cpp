#include "cli/source_scan.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "core/helpers.h"
#include "model/actor_kinds.h"
#include "model/document.h"
#include "model/reader.h"

namespace {

using Words = std::vector<std::string>;

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
  // A header value of which the reader keeps only the first word.
  void OneWordValue(const std::string &text, const Words &words, const std::string &keyword);
  bool HeaderLine(const std::string &text, const Words &words);
  bool SpriteLine(const std::string &text, const Words &words);
  bool AttachLine(const Words &words);
  bool FrameBlockLine(const std::string &text);
  bool DirectionLine(const std::string &text);
  bool CompleteFrame();
  void MovieLine(const std::string &text, const Words &words);

  TSourceMap map_;
  int line_ = 0;
  bool inFrames_ = false, inScript_ = false, inMovie_ = false, insideActor_ = false;
  bool singleDirection_ = false;
  std::unordered_set<int> defined_; // indices with a SPRITE line read so far
  bool pending_ = false;            // a frame is being collected
  TFrameSource frame_;
  std::vector<std::string> frameExtra_; // its WAIT and PLAYSOUND lines
};

TSourceMap TScanner::Run(const std::string &bytes)
{
  size_t pos = 0;
  const size_t size = bytes.size();
  bool stopped = false;
  std::string text;
  while (!stopped) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos)
      end = size;
    text.assign(bytes, pos, end - pos);
    ++line_;
    if (text.find('\r') != std::string::npos)
      text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
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
      const Words words = SplitWords(text);
      if (words.empty())
        continue;
      if (inMovie_)
        MovieLine(text, words);
      else
        stopped = !HeaderLine(text, words);
    }
  }
  return std::move(map_);
}

void TScanner::OneWordValue(const std::string &text, const Words &words, const std::string &keyword)
{
  if (words.size() > 2)
    Note(keyword + " value " + Quoted(TailAfterWords(text, 1)) + " has blanks: only " + Quoted(words[1]) +
         " is read back");
}

bool TScanner::HeaderLine(const std::string &text, const Words &words)
{
  const std::string &keyword = words[0];
  const size_t arguments = words.size() - 1;
  if (keyword == "SPRITE")
    return arguments < 6 || SpriteLine(text, words);
  if (keyword == "ATTACHSPRITE")
    return arguments < 4 || AttachLine(words);
  if (keyword == "SINGLEDIRECTION") {
    singleDirection_ = true;
  } else if (keyword == "ANI") {
    inFrames_ = true;
  } else if (keyword == "SCRIPT") {
    inScript_ = true;
  } else if (keyword == "MOVIE") {
    inMovie_ = true;
  } else if ((keyword == "SETBACKTO" || keyword == "DEFAULTHEAD" || keyword == "DEFAULTBODY" ||
              StartsWith("DEFAULTPARAM", keyword) || StartsWith("DEFAULTATTR", keyword)) &&
             arguments >= 1) {
    map_.HeaderLines[keyword] = line_;
    OneWordValue(text, words, keyword);
  }
  return true;
}

bool TScanner::SpriteLine(const std::string &text, const Words &words)
{
  const std::optional<int> index = ParseInt(words[1]);
  const bool numbers = ParseInt(words[3]) && ParseInt(words[4]) && ParseInt(words[5]) && ParseInt(words[6]);
  if (!index || !numbers) {
    Note("SPRITE line does not read (an image name with blanks?): the reader stops here");
    return false;
  }
  map_.SpriteLines[*index].push_back(line_);
  defined_.insert(*index);
  // The reader joins the description's words with single blanks.
  const std::string_view written = TailAfterWords(text, 7);
  std::string read;
  for (size_t i = 7; i < words.size(); ++i)
    read += (i > 7 ? " " : "") + words[i];
  read = TrimControl(read);
  if (written != read)
    Note("description of sprite " + std::to_string(*index) + " " + Quoted(written) + " reads back as " + Quoted(read));
  return true;
}

bool TScanner::AttachLine(const Words &words)
{
  const std::optional<int> owner = ParseInt(words[1]), attached = ParseInt(words[2]);
  if (!owner || !attached || !ParseInt(words[3]) || !ParseInt(words[4])) {
    Note("ATTACHSPRITE line does not read: the reader stops here");
    return false;
  }
  bool kept = true;
  for (int index : {*owner, *attached})
    if (!defined_.count(index)) {
      Note("attachment names sprite " + std::to_string(index) + ", which has no SPRITE line before it");
      kept = false;
    }
  if (kept)
    map_.Attachments.push_back({*owner, *attached, line_});
  return true;
}

bool TScanner::FrameBlockLine(const std::string &text)
{
  const std::string_view trimmed = TrimControlView(text);
  if (StartsWith("WAIT", trimmed) || StartsWith("PLAYSOUND", trimmed)) {
    if (pending_) {
      frameExtra_.push_back(text);
      const Words words = SplitWords(text);
      if (StartsWith("PLAYSOUND", words[0]) && words.size() >= 2)
        frame_.SoundLines.push_back(line_);
    }
    return true;
  }
  const size_t perFrame = singleDirection_ ? 1 : DirectionCount;
  if (trimmed == "ANIEND") {
    bool ok = true;
    if (pending_ && frame_.DirectionLines.size() == perFrame)
      ok = CompleteFrame();
    pending_ = false;
    inFrames_ = false;
    return ok;
  }
  return DirectionLine(text);
}

bool TScanner::CompleteFrame()
{
  for (const std::string &extra : frameExtra_) {
    const Words words = SplitWords(extra);
    if (StartsWith("WAIT", words[0]) && words.size() >= 2 && !ParseInt(words[1])) {
      Note("WAIT " + Quoted(words[1]) + " is no whole number: the reader stops here");
      return false;
    }
  }
  map_.Frames.push_back(std::move(frame_));
  frame_ = TFrameSource();
  frameExtra_.clear();
  pending_ = false;
  return true;
}

bool TScanner::DirectionLine(const std::string &text)
{
  bool anyPart = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos)
      comma = text.size();
    const Words words = SplitWords(std::string_view(text).substr(start, comma - start));
    start = comma + 1;
    if (words.size() != 3)
      continue;
    const std::string &reference = words[0];
    bool valid = false;
    if (StartsWith("PARAM", reference) || StartsWith("ATTR", reference)) {
      const std::optional<int> slot = ParseInt(reference.substr(StartsWith("PARAM", reference) ? 5 : 4));
      valid = slot && *slot >= 1;
    } else if (const std::optional<int> index = ParseInt(reference)) {
      valid = defined_.count(*index) > 0;
      if (!valid)
        Note("part names sprite " + std::to_string(*index) + ", which has no SPRITE line before it");
    }
    if (!valid)
      continue;
    if (!ParseInt(words[1]) || !ParseInt(words[2])) {
      Note("part position " + words[1] + " " + words[2] + " is no pair of whole numbers: the reader stops here");
      return false;
    }
    anyPart = true;
  }
  if (!anyPart)
    return true;
  const size_t perFrame = singleDirection_ ? 1 : DirectionCount;
  if (pending_ && frame_.DirectionLines.size() >= perFrame && !CompleteFrame())
    return false;
  pending_ = true;
  frame_.DirectionLines.push_back(line_);
  return true;
}

void TScanner::MovieLine(const std::string &text, const Words &words)
{
  const std::string &keyword = words[0];
  if (keyword == "ACTOR") {
    insideActor_ = true;
    if (words.size() > 3 && ActorKindFromWord(words[1]) >= 0)
      Note("actor name " + Quoted(TailAfterWords(text, 2)) + " has blanks: only " + Quoted(words[2]) + " is read back");
  } else if (keyword == "ACTOREND") {
    insideActor_ = false;
  } else if (keyword == "FRAME" && insideActor_ && words.size() >= 3) {
    // Key lines are cut at commas and each piece is trimmed: blanks that end a value are lost.
    const std::string_view keys(text.data() + text.find(words[1]) + words[1].size());
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

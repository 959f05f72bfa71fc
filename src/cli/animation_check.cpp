#include "cli/animation_check.h"

#include <algorithm>
#include <unordered_set>

#include "core/file_io.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_keys.h"
#include "model/document.h"
#include "model/reader.h"

namespace {

using TSpriteLines = std::unordered_map<const TZeltoAniSprite *, int>;

std::string Quoted(const std::string &text)
{
  return "\"" + text + "\"";
}

// The SPRITE line of each definition: the k-th definition of an index stands on its k-th line (the
// reader keeps file order among equal indices).
TSpriteLines LinesOfSprites(const TZeltoAni &ani, const TSourceMap &map)
{
  TSpriteLines lines;
  std::unordered_map<int, size_t> seen;
  for (const auto &sprite : ani.Sprites) {
    const size_t k = seen[sprite->Index]++;
    const auto found = map.SpriteLines.find(sprite->Index);
    if (found != map.SpriteLines.end() && k < found->second.size())
      lines[sprite.get()] = found->second[k];
  }
  return lines;
}

int LineOf(const TSpriteLines &lines, const TZeltoAniSprite *sprite)
{
  const auto found = lines.find(sprite);
  return found == lines.end() ? 0 : found->second;
}

void CheckDuplicates(const TSourceMap &map, std::vector<TFinding> &findings)
{
  for (const auto &[index, lines] : map.SpriteLines)
    for (size_t i = 1; i < lines.size(); ++i)
      findings.push_back({lines[i], "sprite " + std::to_string(index) + " is defined again (first on line " +
                                        std::to_string(lines[0]) + "); parts use the first"});
}

void CheckFrames(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings)
{
  // Lines are known only while the text's frames are the document's.
  const bool lined = map.Frames.size() == ani.Steps.size();
  for (size_t i = 0; i < ani.Steps.size(); ++i) {
    const TZeltoAniStep &step = *ani.Steps[i];
    const TFrameSource *source = lined ? &map.Frames[i] : nullptr;
    for (int d = 0; d < ani.DirectionsPerFrame(); ++d)
      if (size_t(d) >= step.Directions.size() || step.Directions[size_t(d)].empty()) {
        const int line = source && size_t(d) < source->DirectionLines.size() ? source->DirectionLines[size_t(d)] : 0;
        findings.push_back(
            {line, "frame " + std::to_string(i) + " has no parts" +
                       (ani.SingleDirection ? "" : std::string(" facing ") + DirectionNames[size_t(d)])});
      }
    for (size_t k = 0; k < step.Sounds.size(); ++k) {
      const TZeltoAniSound &sound = *step.Sounds[k];
      const int line = source && k < source->SoundLines.size() ? source->SoundLines[k] : 0;
      if (ResolveFile(sound.FileName).empty())
        findings.push_back({line, "sound " + Quoted(sound.FileName) + " is not in the game folder"});
      if (sound.Tick > step.Duration)
        findings.push_back({line, "sound " + Quoted(sound.FileName) + " starts at tick " + std::to_string(sound.Tick) +
                                      ", after the frame's " + std::to_string(step.Duration) + " ticks"});
    }
  }
}

int AttachmentLine(const TSourceMap &map, int owner, int attached)
{
  for (const TAttachSource &source : map.Attachments)
    if (source.Owner == owner && source.Attached == attached)
      return source.Line;
  return 0;
}

// Depth-first over the attachments, without recursion (chains may be long): every edge back into
// the path being followed closes a cycle.
void CheckCycles(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings)
{
  enum State : char { Unseen, OnPath, Done };
  std::unordered_map<const TZeltoAniSprite *, State> state;
  size_t reported = 0;
  struct TVisit
  {
    const TZeltoAniSprite *Sprite;
    size_t Next; // the next attachment to follow
  };
  for (const auto &root : ani.Sprites) {
    if (state[root.get()] != Unseen)
      continue;
    std::vector<TVisit> path{{root.get(), 0}};
    state[root.get()] = OnPath;
    while (!path.empty()) {
      TVisit &visit = path.back();
      if (visit.Next == visit.Sprite->Attachments.size()) {
        state[visit.Sprite] = Done;
        path.pop_back();
        continue;
      }
      const TZeltoAniSprite *next = visit.Sprite->Attachments[visit.Next++]->Sprite;
      if (!next)
        continue;
      State &seen = state[next];
      if (seen == Unseen) {
        seen = OnPath;
        path.push_back({next, 0});
      } else if (seen == OnPath && reported < MaxCycleReports) {
        ++reported;
        std::string cycle;
        auto from = std::find_if(path.begin(), path.end(), [next](const TVisit &v) { return v.Sprite == next; });
        for (auto it = from; it != path.end(); ++it)
          cycle += std::to_string(it->Sprite->Index) + " -> ";
        cycle += std::to_string(next->Index);
        findings.push_back({AttachmentLine(map, path.back().Sprite->Index, next->Index), "attachment cycle: " + cycle});
      }
    }
  }
}

// The editor's rule for unused definitions (Remove unused): the first definition is kept, parts and
// sprite actors' keys use definitions, and what a used definition attaches is used. A part or actor
// showing a parameter or attribute slot makes the set unknowable: then nothing is reported.
void CheckUnused(const TZeltoAni &ani, const TSourceMap &map, const TSpriteLines &lines,
                 std::vector<TFinding> &findings)
{
  if (ani.Sprites.empty())
    return;
  std::unordered_set<const TZeltoAniSprite *> used{ani.Sprites.front().get()};
  for (const auto &step : ani.Steps)
    for (const TPartList &parts : step->Directions)
      for (const auto &part : parts) {
        if (part->ParamSlot >= 1 || part->AttrSlot >= 1)
          return;
        used.insert(part->Sprite);
      }
  for (const auto &actor : ani.Actors)
    if (actor->Kind == akSprite)
      for (const auto &key : actor->Keys) {
        std::string value;
        GetModValue(*key, "sprite #", &value);
        value = LowerCase(TrimControl(value));
        if (StartsWith("param", value) || StartsWith("attr", value))
          return;
        if (const std::optional<int> index = ParseInt(value))
          used.insert(FindSprite(&ani, *index));
      }
  std::vector<const TZeltoAniSprite *> open(used.begin(), used.end());
  while (!open.empty()) {
    const TZeltoAniSprite *sprite = open.back();
    open.pop_back();
    if (sprite)
      for (const auto &attachment : sprite->Attachments)
        if (used.insert(attachment->Sprite).second)
          open.push_back(attachment->Sprite);
  }
  for (const auto &sprite : ani.Sprites) {
    const auto found = map.SpriteLines.find(sprite->Index);
    const bool duplicate = found != map.SpriteLines.end() && found->second.size() > 1 &&
                           LineOf(lines, sprite.get()) != found->second.front();
    if (!used.count(sprite.get()) && !duplicate)
      findings.push_back({LineOf(lines, sprite.get()), "sprite " + std::to_string(sprite->Index) + " is not used"});
  }
}

} // namespace

const std::string &TAnimationChecker::DecodeProblem(const std::string &path)
{
  auto found = decodeProblems_.find(path);
  if (found != decodeProblems_.end())
    return found->second;
  std::string problem;
  try {
    // As the image cache does: decode, then render the first frame.
    DecodeImageFile(path)->NextFrame();
  } catch (const std::exception &error) {
    problem = error.what();
  }
  return decodeProblems_.emplace(path, problem).first->second;
}

void TAnimationChecker::CheckImage(const std::string &image, int line, const std::string &what,
                                   std::vector<TFinding> &findings)
{
  const std::string path = ResolveFile(image);
  if (path.empty())
    findings.push_back({line, what + " " + Quoted(image) + " is not in the game folder"});
  else if (const std::string &problem = DecodeProblem(path); !problem.empty())
    findings.push_back({line, what + " " + Quoted(image) + " does not decode: " + problem});
}

std::vector<TFinding> TAnimationChecker::Check(const std::string &name)
{
  std::vector<TFinding> findings;
  TZeltoActor owner(nullptr, MainActorCode);
  std::string reason;
  const std::unique_ptr<TZeltoAni> ani = ReadAnimation(&owner, name, &reason);
  std::string bytes;
  if (!ani || !ReadWholeFile(ani->FileName, MaxAnimationFileSize, bytes, &reason))
    return {{0, "cannot read: " + reason}};

  TSourceMap map = ScanSource(bytes);
  findings = std::move(map.Findings);
  const TSpriteLines lines = LinesOfSprites(*ani, map);
  CheckDuplicates(map, findings);
  for (const auto &sprite : ani->Sprites)
    if (IsImageFileName(sprite->Image))
      CheckImage(sprite->Image, LineOf(lines, sprite.get()), "image of sprite " + std::to_string(sprite->Index),
                 findings);
  // Images the header names, where it names one.
  for (const auto &[keyword, line] : map.HeaderLines) {
    std::string value;
    if (keyword == "DEFAULTHEAD")
      value = ani->DefaultHead;
    else if (keyword == "DEFAULTBODY")
      value = ani->DefaultBody;
    else if (StartsWith("DEFAULTPARAM", keyword) || StartsWith("DEFAULTATTR", keyword)) {
      const bool param = StartsWith("DEFAULTPARAM", keyword);
      const std::optional<int> slot = ParseInt(keyword.substr(param ? 12 : 11));
      const size_t count = param ? ani->DefaultParams.size() : ani->DefaultAttrs.size();
      if (slot && *slot >= 1 && size_t(*slot) <= count)
        value = param ? ani->DefaultParams[size_t(*slot) - 1] : ani->DefaultAttrs[size_t(*slot) - 1];
    }
    if (IsImageFileName(value))
      CheckImage(value, line, keyword, findings);
  }
  CheckFrames(*ani, map, findings);
  CheckCycles(*ani, map, findings);
  CheckUnused(*ani, map, lines, findings);
  std::stable_sort(findings.begin(), findings.end(),
                   [](const TFinding &a, const TFinding &b) { return a.Line < b.Line; });
  return findings;
}

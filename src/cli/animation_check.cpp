#include "cli/animation_check.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "cli/animation_folder.h"
#include "core/file_io.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_keys.h"
#include "model/document.h"
#include "model/reader.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string &text)
{
  return "\"" + text + "\"";
}

// The document's definitions by their position in ani.Sprites, with their SPRITE lines. The reader
// keeps definitions sorted by index, equal indices in file order: the SPRITE lines sorted the same
// way stand beside them one for one.
class TSpriteTable
{
public:
  TSpriteTable(const TZeltoAni &ani, const TSourceMap &map) : ani_(ani), sources_(map.Sprites)
  {
    std::stable_sort(sources_.begin(), sources_.end(),
                     [](const TSpriteSource &a, const TSpriteSource &b) { return a.Index < b.Index; });
    if (sources_.size() != ani.Sprites.size())
      sources_.assign(ani.Sprites.size(), TSpriteSource());
    for (size_t i = 0; i < ani.Sprites.size(); ++i)
      byAddress_.push_back({ani.Sprites[i].get(), i});
    std::sort(byAddress_.begin(), byAddress_.end());
  }

  size_t Count() const { return ani_.Sprites.size(); }
  const TZeltoAniSprite &At(size_t position) const { return *ani_.Sprites[position]; }
  int Line(size_t position) const { return sources_[position].Line; }
  // True for a definition after the first of its index (the one parts use).
  bool IsRepeat(size_t position) const { return position > 0 && At(position - 1).Index == At(position).Index; }
  // The position of one of the document's definitions; Count() for anything else.
  size_t Position(const TZeltoAniSprite *sprite) const
  {
    const auto found = std::lower_bound(byAddress_.begin(), byAddress_.end(), std::make_pair(sprite, size_t(0)));
    return found != byAddress_.end() && found->first == sprite ? found->second : Count();
  }

private:
  const TZeltoAni &ani_;
  std::vector<TSpriteSource> sources_;
  std::vector<std::pair<const TZeltoAniSprite *, size_t>> byAddress_;
};

void CheckDuplicates(const TSpriteTable &sprites, std::vector<TFinding> &findings)
{
  size_t first = 0;
  for (size_t i = 0; i < sprites.Count(); ++i) {
    if (!sprites.IsRepeat(i)) {
      first = i;
      continue;
    }
    findings.push_back({sprites.Line(i), "sprite " + std::to_string(sprites.At(i).Index) +
                                             " is defined again (first on line " + std::to_string(sprites.Line(first)) +
                                             "); parts use the first"});
  }
}

void CheckFrames(const TZeltoAni &ani, const TSourceMap &map, const std::function<bool(const std::string &)> &known,
                 std::vector<TFinding> &findings)
{
  // Lines are known only while the text's frames are the document's.
  const bool lined = map.Frames.size() == ani.Steps.size();
  for (size_t i = 0; i < ani.Steps.size(); ++i) {
    const TZeltoAniStep &step = *ani.Steps[i];
    for (int d = 0; d < ani.DirectionsPerFrame(); ++d)
      if (size_t(d) >= step.Directions.size() || step.Directions[size_t(d)].empty())
        findings.push_back({lined ? DirectionLine(map, i, size_t(d)) : 0,
                            "frame " + std::to_string(i) + " has no parts" +
                                (ani.SingleDirection ? "" : std::string(" facing ") + DirectionNames[size_t(d)])});
    for (size_t k = 0; k < step.Sounds.size(); ++k) {
      const TZeltoAniSound &sound = *step.Sounds[k];
      const int line = lined ? SoundLine(map, i, k) : 0;
      if (!known(sound.FileName))
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
void CheckCycles(const TSpriteTable &sprites, const TSourceMap &map, std::vector<TFinding> &findings)
{
  enum State : char { Unseen, OnPath, Done };
  std::vector<State> state(sprites.Count(), Unseen);
  size_t reported = 0;
  struct TVisit
  {
    size_t Position;
    size_t Next; // the next attachment to follow
  };
  std::vector<TVisit> path;
  for (size_t root = 0; root < sprites.Count(); ++root) {
    if (state[root] != Unseen)
      continue;
    path.assign(1, {root, 0});
    state[root] = OnPath;
    while (!path.empty()) {
      TVisit &visit = path.back();
      const TZeltoAniSprite &sprite = sprites.At(visit.Position);
      if (visit.Next == sprite.Attachments.size()) {
        state[visit.Position] = Done;
        path.pop_back();
        continue;
      }
      const size_t next = sprites.Position(sprite.Attachments[visit.Next++]->Sprite);
      if (next == sprites.Count())
        continue;
      if (state[next] == Unseen) {
        state[next] = OnPath;
        path.push_back({next, 0});
      } else if (state[next] == OnPath && reported < MaxCycleReports) {
        ++reported;
        std::string cycle;
        auto from = std::find_if(path.begin(), path.end(), [next](const TVisit &v) { return v.Position == next; });
        for (auto it = from; it != path.end(); ++it)
          cycle += std::to_string(sprites.At(it->Position).Index) + " -> ";
        cycle += std::to_string(sprites.At(next).Index);
        findings.push_back({AttachmentLine(map, sprite.Index, sprites.At(next).Index), "attachment cycle: " + cycle});
      }
    }
  }
}

// The editor's rule for unused definitions (Remove unused): the first definition is kept, parts and
// sprite actors' keys use definitions, and what a used definition attaches is used. A part or actor
// showing a parameter or attribute slot makes the set unknowable: then nothing is reported.
void CheckUnused(const TZeltoAni &ani, const TSpriteTable &sprites, std::vector<TFinding> &findings)
{
  if (sprites.Count() == 0)
    return;
  std::vector<char> used(sprites.Count() + 1, 0); // the last entry stands for no definition
  std::vector<size_t> open;
  auto use = [&](const TZeltoAniSprite *sprite) {
    const size_t position = sprites.Position(sprite);
    if (!used[position]) {
      used[position] = 1;
      open.push_back(position);
    }
  };
  use(&sprites.At(0));
  for (const auto &step : ani.Steps)
    for (const TPartList &parts : step->Directions)
      for (const auto &part : parts) {
        if (part->ParamSlot >= 1 || part->AttrSlot >= 1)
          return;
        use(part->Sprite);
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
          use(FindSprite(&ani, *index));
      }
  while (!open.empty()) {
    const size_t position = open.back();
    open.pop_back();
    if (position < sprites.Count())
      for (const auto &attachment : sprites.At(position).Attachments)
        use(attachment->Sprite);
  }
  // A repeated index is reported as such; parts never reach it.
  for (size_t i = 0; i < sprites.Count(); ++i)
    if (!used[i] && !sprites.IsRepeat(i))
      findings.push_back({sprites.Line(i), "sprite " + std::to_string(sprites.At(i).Index) + " is not used"});
}

} // namespace

TAnimationChecker::TAnimationChecker() : owner_(std::make_unique<TZeltoActor>(nullptr, MainActorCode)) {}

TAnimationChecker::~TAnimationChecker() = default;

const std::string &TAnimationChecker::Resolve(const std::string &name)
{
  auto found = resolved_.find(name);
  if (found == resolved_.end())
    found = resolved_.emplace(name, ResolveFile(name)).first;
  return found->second;
}

const std::string &TAnimationChecker::DecodeProblem(const std::string &path)
{
  auto found = decodeProblems_.find(path);
  if (found != decodeProblems_.end())
    return found->second;
  std::string problem;
  try {
    // As the image cache does: decode, then render the first frame.
    std::unique_ptr<TImageAnimation> image = DecodeImageFile(path);
    image->NextFrame();
    if (const std::string defect = ImageDefect(*image); !defect.empty())
      problem = "is damaged: " + defect;
  } catch (const std::exception &error) {
    problem = std::string("does not decode: ") + error.what();
  }
  return decodeProblems_.emplace(path, problem).first->second;
}

void TAnimationChecker::CheckImage(const std::string &image, int line, const std::string &what,
                                   std::vector<TFinding> &findings)
{
  const std::string &path = Resolve(image);
  if (path.empty())
    findings.push_back({line, what + " " + Quoted(image) + " is not in the game folder"});
  else if (const std::string &problem = DecodeProblem(path); !problem.empty())
    findings.push_back({line, what + " " + Quoted(image) + " " + problem});
}

void TAnimationChecker::CheckMovieKeys(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings)
{
  // Lines are known only while the text's actors are the document's.
  const bool lined = map.KeyLines.size() == ani.Actors.size();
  for (size_t a = 0; a < ani.Actors.size(); ++a) {
    const TZeltoActor &actor = *ani.Actors[a];
    const std::string who = "actor " + Quoted(actor.Name) + "'s ";
    for (size_t k = 0; k < actor.Keys.size(); ++k) {
      const TZeltoActorMod &key = *actor.Keys[k];
      const int line = lined && k < map.KeyLines[a].size() ? map.KeyLines[a][k] : 0;
      std::string value;
      if (actor.Kind == akSound) {
        if (GetModValue(key, "file", &value) && !(value = TrimControl(value)).empty() && Resolve(value).empty())
          findings.push_back({line, who + "sound " + Quoted(value) + " is not in the game folder"});
        continue;
      }
      if (actor.Kind != akCharacter)
        continue;
      if (GetModValue(key, "ani", &value) && !(value = TrimControl(value)).empty()) {
        // Found as the reader finds an animation by name, from this file's folder.
        const std::string file = AnimationFile(value);
        if (file.empty())
          findings.push_back({line, who + "animation " + Quoted(value) + " is not in the game folder"});
        else if (const std::string problem = RegularFileProblem(file); !problem.empty())
          findings.push_back({line, who + "animation " + Quoted(value) + ": " + problem});
      }
      for (const char *look : {"head", "body", "sword", "shield", "horse"})
        if (GetModValue(key, look, &value) && !value.empty())
          CheckImage(value, line, who + look, findings);
      // A slot holds a number or an image.
      for (const auto &[prefix, count] : {std::pair{"param", ParamSlotCount}, {"attr", AttrSlotCount}})
        for (int slot = 1; slot <= count; ++slot) {
          const std::string name = prefix + std::to_string(slot);
          if (GetModValue(key, name, &value) && !value.empty() && !ParseInt(value))
            CheckImage(value, line, who + name, findings);
        }
    }
  }
}

std::string ImageDefect(const TImageAnimation &image)
{
  if (!image.Damage.empty())
    return image.Damage;
  if (image.FrameCount == 0)
    return "it holds no image";
  if (image.ColorCount == 0)
    return "it has no palette";
  return {};
}

void TAnimationChecker::CheckHeaderImages(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings)
{
  for (const auto &[keyword, line] : map.HeaderLines) {
    std::string value;
    if (keyword == "DEFAULTHEAD") {
      value = ani.DefaultHead;
    } else if (keyword == "DEFAULTBODY") {
      value = ani.DefaultBody;
    } else if (StartsWith("DEFAULTPARAM", keyword) || StartsWith("DEFAULTATTR", keyword)) {
      const bool param = StartsWith("DEFAULTPARAM", keyword);
      const std::optional<int> slot = ParseInt(keyword.substr(param ? 12 : 11));
      const size_t count = param ? ani.DefaultParams.size() : ani.DefaultAttrs.size();
      if (slot && *slot >= 1 && size_t(*slot) <= count)
        value = param ? ani.DefaultParams[size_t(*slot) - 1] : ani.DefaultAttrs[size_t(*slot) - 1];
    }
    // A slot may hold a number instead of an image.
    if (IsImageFileName(value))
      CheckImage(value, line, keyword, findings);
  }
}

std::vector<TFinding> TAnimationChecker::Check(const std::string &name)
{
  std::vector<TFinding> findings;
  TZeltoActor &owner = *owner_;
  std::string reason, bytes;
  // Read as the reader reads it, inside its folder (cli/animation_folder.h): the text once, handed
  // to the reader's parser.
  // Back in the shell's folder when the check ends, however it ends.
  struct TLeave
  {
    TAnimationFolder &Folder;
    ~TLeave() { Folder.Leave(); }
  } leave{folder_};
  TAnimationFolder &folder = folder_;
  std::error_code failure;
  const std::string file = AnimationFile(name);
  const fs::path absolute = file.empty() ? fs::path() : fs::absolute(file, failure);
  if (file.empty())
    reason = "not found in the game folder";
  else if (failure)
    reason = failure.message();
  else if (ReadWholeFile(absolute.string(), MaxAnimationFileSize, bytes, &reason) &&
           !folder.Enter(absolute.parent_path().string(), reason))
    bytes.clear();
  if (!reason.empty())
    return {{0, "cannot read: " + reason}};
  if (folder.Folder() != resolvedIn_) {
    // Names resolve from the animation's folder first: what was resolved for another folder is not kept.
    resolved_.clear();
    resolvedIn_ = folder.Folder();
  }
  auto ani = std::make_unique<TZeltoAni>();
  ani->Name = LowerCase(TrimControl(name));
  ani->FileName = file;
  ani->Clear();
  if (!ParseAnimation(*ani, &owner, bytes)) {
    // What in the text stopped the reader, if anything, says why.
    // What in the text stopped the reader, if anything, says why; the failure is reported there.
    TSourceMap map = ScanSource(bytes);
    findings = std::move(map.Findings);
    findings.insert(findings.begin(), {map.StopLine, "cannot read: holds neither a frame nor a movie"});
    std::stable_sort(findings.begin(), findings.end(),
                     [](const TFinding &a, const TFinding &b) { return a.Line < b.Line; });
    return findings;
  }

  TSourceMap map = ScanSource(bytes);
  findings = std::move(map.Findings);
  const TSpriteTable sprites(*ani, map);
  CheckDuplicates(sprites, findings);
  for (size_t i = 0; i < sprites.Count(); ++i)
    if (IsImageFileName(sprites.At(i).Image))
      CheckImage(sprites.At(i).Image, sprites.Line(i), "image of sprite " + std::to_string(sprites.At(i).Index),
                 findings);
  CheckHeaderImages(*ani, map, findings);
  CheckFrames(
      *ani, map, [this](const std::string &file) { return !Resolve(file).empty(); }, findings);
  CheckMovieKeys(*ani, map, findings);
  CheckCycles(sprites, map, findings);
  CheckUnused(*ani, sprites, findings);
  std::stable_sort(findings.begin(), findings.end(),
                   [](const TFinding &a, const TFinding &b) { return a.Line < b.Line; });
  return findings;
}

// velk check's look at one animation: what the game folder cannot resolve or decode (images that
// are damaged too, and what a movie's keys name), attachment
// cycles, duplicate and unused definitions, parts naming no definition, sounds outside their
// frame, empty directions, and values that do not read back as written.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/animation_folder.h"
#include "cli/source_scan.h"

// At most this many attachment cycles are reported per file.
inline constexpr size_t MaxCycleReports = 20;

class TImageAnimation;
class TZeltoActor;
class TZeltoAni;

// Why a decoded image, its first frame rendered, shows less than its file should: no image at all,
// damage the decoder found (a truncated file), or no palette. Empty when it is whole.
std::string ImageDefect(const TImageAnimation &image);

class TAnimationChecker
{
public:
  TAnimationChecker();
  ~TAnimationChecker();

  // Reads the animation name as the editor reads it (a bare name through the game folder), and
  // checks the document and its text. Findings are in line order, those without a line first.
  std::vector<TFinding> Check(const std::string &name);

private:
  // ResolveFile, asked once per name: files do not come and go while velk checks.
  const std::string &Resolve(const std::string &name);
  // Why the image file at path does not decode, or empty; each file is decoded once.
  const std::string &DecodeProblem(const std::string &path);
  void CheckImage(const std::string &image, int line, const std::string &what, std::vector<TFinding> &findings);
  // The images that DEFAULTHEAD, DEFAULTBODY and the default slots name.
  void CheckHeaderImages(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings);
  // The animations, images and sounds a movie's keys name.
  void CheckMovieKeys(const TZeltoAni &ani, const TSourceMap &map, std::vector<TFinding> &findings);

  // The player every file is read for (a movie's actors are its children while the file is
  // checked): one for all files, as making an actor resolves its default images.
  std::unique_ptr<TZeltoActor> owner_;
  // The folder each animation is checked in, entered for the check only.
  TAnimationFolder folder_;
  std::string resolvedIn_; // the folder where the names of resolved_ were resolved
  std::unordered_map<std::string, std::string> resolved_;
  std::unordered_map<std::string, std::string> decodeProblems_;
};

// velk check's look at one animation: what the game folder cannot resolve or decode, attachment
// cycles, duplicate and unused definitions, parts naming no definition, sounds outside their
// frame, empty directions, and values that do not read back as written.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "cli/source_scan.h"

// At most this many attachment cycles are reported per file.
inline constexpr size_t MaxCycleReports = 20;

class TAnimationChecker
{
public:
  // Reads the animation name as the editor reads it (a bare name through the game folder), and
  // checks the document and its text. Findings are in line order, those without a line first.
  std::vector<TFinding> Check(const std::string &name);

private:
  // Why the image file at path does not decode, or empty; each file is decoded once.
  const std::string &DecodeProblem(const std::string &path);
  void CheckImage(const std::string &image, int line, const std::string &what, std::vector<TFinding> &findings);

  std::unordered_map<std::string, std::string> decodeProblems_;
};

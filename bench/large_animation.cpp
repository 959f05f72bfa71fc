#include "large_animation.h"

#include <fstream>
#include <sstream>
#include <vector>

std::string LargeWalkText(const std::string &gameFolder, int frames)
{
  std::ifstream in(gameFolder + "/walk.velk", std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  const std::string text = whole.str();
  const size_t ani = text.find("\nANI");
  const size_t end = text.find("ANIEND");
  if (ani == std::string::npos || end == std::string::npos)
    return {};
  // The walk's frames, each a run of lines up to an empty line.
  std::vector<std::string> walk(1);
  std::istringstream body(text.substr(ani + 6, end - ani - 6));
  for (std::string line; std::getline(body, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty()) {
      walk.emplace_back();
      continue;
    }
    const bool direction = line.rfind("WAIT", 0) != 0 && line.rfind("PLAYSOUND", 0) != 0;
    walk.back() += line + (direction ? ",    0  12  40\r\n" : "\r\n");
  }
  std::string out = text.substr(0, ani + 1) + "ANI\r\n";
  for (int f = 0; f < frames; ++f)
    out += (f ? "\r\n" : "") + walk[size_t(f) % walk.size()];
  return out + "ANIEND\r\n";
}

bool WriteLargeWalk(const std::string &gameFolder, int frames, const std::string &path)
{
  const std::string text = LargeWalkText(gameFolder, frames);
  std::ofstream out(path, std::ios::binary);
  out << text;
  return !text.empty() && bool(out);
}

// Large animations for the playback benchmarks, made from the bundled walk: its sprites and
// header, its four frames repeated, each direction with one part more (six in all).
#pragma once

#include <string>

// The text of a looping walk of `frames` frames (the game folder's walk.velk as the model).
std::string LargeWalkText(const std::string &gameFolder, int frames);
// Writes it to path; false when it cannot be read or written.
bool WriteLargeWalk(const std::string &gameFolder, int frames, const std::string &path);

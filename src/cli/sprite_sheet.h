// A sprite sheet: the frames of all four directions on one image, with the JSON index in the common
// "array" form that game engines' sheet importers read.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "cli/export_frames.h"

// Sheets wider or taller than this are refused (the PNG and the engines' textures stay usable).
inline constexpr int MaxSheetSide = 16384;

struct TSpriteSheet
{
  QImage Image;
  QByteArray Json;
};

// The name each frame has in an index and as a file of its own: "STEM-dD-fN.png".
std::string FrameFileName(const std::string &stem, int dir, int index);

// Lays the frames out direction after direction (up, left, down, right; animation.Frames in that
// order), each direction starting a new row and wrapping to further rows where the sheet would grow
// wider than MaxSheetSide. Free pixels are transparent, or the background colour when the frames
// are opaque. The index names the image imageName, each frame FrameFileName(stem, ...), its
// duration in milliseconds (50 per tick), and tags each direction's frames with its name. False
// when the sheet would be too large.
bool BuildSpriteSheet(const TExportedAnimation &animation, const std::string &stem, const std::string &imageName,
                      QRgb background, TSpriteSheet &sheet, std::string &error);

// An animation drawn frame by frame for export. The scene renderer draws the document alone: no
// sprite strip, guides, time line or sound markers. Every frame of every direction shares one box,
// the bounding box of everything any frame in any direction draws, plus a margin, so that frames
// line up when played or cut from a sheet.
#pragma once

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scene/scene_setup.h"

inline constexpr int ExportMargin = 2;
// The box before zoom may not be wider or taller than this, and all frames after zoom together may
// not hold more pixels than MaxExportPixels: a corrupt position cannot ask for gigabytes.
inline constexpr int MaxExportSide = 4096;
inline constexpr long long MaxExportPixels = 64ll << 20;
inline constexpr double MaxExportZoom = 16.0;

struct TExportLook
{
  double Zoom = 1.0;             // nearest-neighbour scaling, 1 to MaxExportZoom
  bool Transparent = false;      // undrawn pixels transparent instead of a background colour
  std::optional<int> Background; // 0xRRGGBB; the document's back colour when unset
};

struct TExportFrame
{
  int Dir = 0;
  int Index = 0; // the frame's index in the document
  int Ticks = 1; // its duration
  QImage Image;  // Format_ARGB32 when transparent, else Format_RGB32
};

struct TExportedAnimation
{
  bool Loop = false;
  int Background = 0;        // 0xRRGGBB the opaque frames are drawn on
  int Width = 0, Height = 0; // of every frame image
  // The frames of the directions asked for, direction after direction, each in document order.
  std::vector<TExportFrame> Frames;
};

// The drawing state one process needs to export animations one after the other: the display whose
// surfaces the images get, the fixed images and the image cache that the documents' images join.
// Each animation is read and drawn inside its folder (cli/animation_folder.h); the state is made
// again for each new folder, since the images it holds were found from the folder before.
class TExportRenderer
{
public:
  TExportRenderer();
  ~TExportRenderer();
  TExportRenderer(const TExportRenderer &) = delete;
  TExportRenderer &operator=(const TExportRenderer &) = delete;

  // Reads the animation name as the editor reads it and draws its frames in the directions given
  // (0 up, 1 left, 2 down, 3 right). Movies are refused: they have no frames in directions. False
  // with the reason in error.
  bool Draw(const std::string &name, const std::vector<int> &directions, const TExportLook &look,
            TExportedAnimation &animation, std::string &error);

private:
  // The state for the current folder, made when the folder differs from the last animation's.
  void SetUpFor(const std::string &folder);

  std::string folder_;
  std::unique_ptr<TSceneSetup> setup_;
  std::unique_ptr<TImageCacheLink> link_;
};

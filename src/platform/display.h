// The canvas display: a back buffer of up to 1024 x 1024 that each scene is drawn into and that
// the canvas widget presents, and the display events through which the window rebuilds and
// releases its image surfaces.
#pragma once

#include <functional>

#include "platform/surface.h"

class TDisplay
{
public:
  // The canvas's full size, and the back buffer's until SetBufferSize.
  static constexpr int BufferSize = 1024;

  // Sizes the back buffer (each side from 1 to BufferSize): a canvas shown in part needs only
  // the part it shows. A buffer made anew is black; nothing else changes (no display event).
  void SetBufferSize(int width, int height);

  // True between Initialize and Finalize, while the back buffer exists.
  bool CanDraw() const { return initialized_ && !surface_.IsEmpty(); }
  bool Initialized() const { return initialized_; }

  // The back buffer; empty while the display is not initialised.
  TSurface &Surface() { return surface_; }
  const TSurface &Surface() const { return surface_; }
  // Presents the back buffer: asks the canvas widget to show it.
  void Flip();

  // Display events. Initialize creates the back buffer and calls OnInitialize; Finalize calls
  // OnFinalizeSurface and frees it; Restore stands for surfaces that were lost and made again:
  // OnFinalizeSurface, a fresh back buffer, then OnRestoreSurface (or OnInitialize when that is
  // not set). Calling Initialize twice finalises first.
  void Initialize();
  void Finalize();
  void Restore();

  std::function<void()> OnInitialize;
  std::function<void()> OnFinalizeSurface;
  std::function<void()> OnRestoreSurface;
  std::function<void()> OnFlip;

private:
  bool CreateBuffer();

  TSurface surface_;
  int width_ = BufferSize, height_ = BufferSize;
  bool initialized_ = false;
};

#include "platform/display.h"

#include <algorithm>

bool TDisplay::CreateBuffer()
{
  initialized_ = surface_.SetSize(width_, height_);
  return initialized_;
}

void TDisplay::SetBufferSize(int width, int height)
{
  width = std::clamp(width, 1, BufferSize);
  height = std::clamp(height, 1, BufferSize);
  if (width == width_ && height == height_)
    return;
  width_ = width;
  height_ = height;
  if (initialized_)
    CreateBuffer();
}

void TDisplay::Flip()
{
  if (CanDraw() && OnFlip)
    OnFlip();
}

void TDisplay::Initialize()
{
  if (initialized_)
    Finalize();
  if (CreateBuffer() && OnInitialize)
    OnInitialize();
}

void TDisplay::Finalize()
{
  if (!initialized_)
    return;
  if (OnFinalizeSurface)
    OnFinalizeSurface();
  surface_.SetSize(0, 0);
  initialized_ = false;
}

void TDisplay::Restore()
{
  Finalize();
  if (!CreateBuffer())
    return;
  if (OnRestoreSurface)
    OnRestoreSurface();
  else if (OnInitialize)
    OnInitialize();
}

#include "platform/display.h"

bool TDisplay::CreateBuffer()
{
  initialized_ = surface_.SetSize(BufferSize, BufferSize);
  return initialized_;
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

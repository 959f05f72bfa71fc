// What the time line band keeps between canvas updates. Its ruler, labels and frame bars change
// only with the geometry, the colours and the frames, while the current time changes on every
// tick: the band is drawn once without the time, kept, and each update copies it back and draws
// the time, the key marks, the end marker and the time triangle over it.
#pragma once

#include <QImage>
#include <vector>

// A frame bar that shows in the kept band, with the start and duration it was drawn from.
struct TDrawnFrameBar
{
  int Index = 0;
  int StartTick = 0;
  int Duration = 0;
};

// The band's rows as drawn, and everything they were drawn from.
struct TTimelineBandCache
{
  QImage Pixels; // empty: nothing kept
  int Width = 0, Top = 0, Left = 0, Right = 0, Ticks = 0;
  int BufferWidth = 0, BufferHeight = 0;
  int Light = 0, Ink = 0;
  bool Movie = false;
  // Sprite mode: the frames, the length, the frames drawn red, and the bars that show.
  size_t FrameCount = 0;
  int Length = 0;
  int DraggedFrame = -1, LastFrame = -1;
  std::vector<TDrawnFrameBar> Bars;
};

// The timeline band along the bottom of the canvas: the current time, the ruler with its tick
// marks and labels, the frame bars or key marks, the end marker and the time triangle.
//
// What an update costs follows the band's width, not the document: the ruler, its labels and
// the frame bars are drawn once and kept (TTimelineBandCache), at most one bar per pixel column;
// each update copies them back and draws what moves over them. The kept part and the rest lie
// in different pixels (the time text and its box left of the ruler, the marks below the bars or
// after everything), so drawing them in two goes gives the same picture as drawing in one.
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "core/helpers.h"
#include "model/actor.h"
#include "model/document.h"
#include "platform/surface_canvas.h"
#include "scene/renderer.h"

namespace {

QRgb Rgb(int colour)
{
  return 0xFF000000u | (uint32_t(colour) & 0xFFFFFF);
}

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

// The ruler label of tick t and the least pixels per second at which it is shown; the mark's
// top (from the band's top) and the least pixels per second at which it is drawn.
struct TTickStyle
{
  int MarkTop;
  int MarkMinimum;
  int LabelMinimum;
};

TTickStyle TickStyle(int t)
{
  if (t % 20 == 0)
    return {20, 0, 0};
  if (t % 10 == 0)
    return {23, 0, 80};
  if (t % 5 == 0)
    return {25, 20, 160};
  return {27, 80, 640};
}

QString TickLabel(int t)
{
  if (t % 20 == 0)
    return QString::number(t / 20);
  if (t % 10 == 0)
    return QString::number(t / 20) + ".5";
  // Hundredths of the second, written ".25" (the leading "0" dropped).
  return "." + QString::number((t % 20) * 5).rightJustified(2, '0');
}

// The ticks whose marks or labels can show. Ticks that are not multiples of 10 draw nothing
// below 20 pixels per second. When multiples of 20 lie closer than a pixel their marks cover
// the whole ruler, so one tick per pixel column is enough; this keeps huge lengths from
// costing a loop over every tick.
std::vector<int> VisibleTicks(const TCanvasGeometry &g, int pixelsPerSecond)
{
  std::vector<int> ticks;
  const int width = g.TimelineRight - g.TimelineLeft;
  if ((long long)g.TimelineTicks <= 20LL * std::max(width, 0)) {
    const int step = pixelsPerSecond >= 20 ? 1 : 10;
    for (int t = 0; t <= g.TimelineTicks; t += step)
      ticks.push_back(t);
    return ticks;
  }
  for (int column = 0; column <= width; ++column) {
    const double first = std::ceil(double(column) * g.TimelineTicks / width / 20 - 1e-9) * 20;
    if (first > g.TimelineTicks)
      break;
    const int t = int(first);
    if (ticks.empty() || RulerX(g, t) != RulerX(g, ticks.back()))
      ticks.push_back(t);
  }
  return ticks;
}

// The band's font in one of its two sizes. Kept for the run: building the font anew for every
// update costs more than the rest of the band.
const QFont &RulerFont(int size)
{
  static const QFont large = [] {
    QFont font("Courier New");
    font.setBold(true);
    font.setPointSize(12);
    return font;
  }();
  static const QFont small = [] {
    QFont font(large);
    font.setPointSize(8);
    return font;
  }();
  return size >= 12 ? large : small;
}

// The frame bars that show. Frames start in order, so a later frame starting at the same pixel
// ends no earlier, and its bar (same left end, same height, at least as long) covers the earlier
// bar whole, colour and outline: only the last bar of each start pixel is drawn. Bars starting
// right of the surface draw nothing.
std::vector<TDrawnFrameBar> ShowingBars(const TZeltoAni &ani, const TCanvasGeometry &g, int surfaceWidth)
{
  std::vector<TDrawnFrameBar> bars;
  const auto &steps = ani.Steps;
  auto startsRightOf = [&g](int x, const std::unique_ptr<TZeltoAniStep> &step) {
    return x < RulerX(g, step->StartTick);
  };
  for (size_t i = 0; i < steps.size();) {
    const int x = RulerX(g, steps[i]->StartTick);
    if (x >= surfaceWidth)
      break;
    const size_t last =
        size_t(std::upper_bound(steps.begin() + long(i), steps.end(), x, startsRightOf) - steps.begin()) - 1;
    bars.push_back({int(last), steps[last]->StartTick, steps[last]->Duration});
    i = last + 1;
  }
  return bars;
}

// The end of a frame on the ruler; a sum beyond the tick range ends at the last tick.
int FrameEnd(int start, int duration)
{
  return int(std::min<long long>((long long)start + duration, INT_MAX));
}

// True when the kept band still shows the frames: same count and length, and every bar that
// shows still starts and lasts as it did. Start ticks are the sums of the durations before them,
// so a frame that changed moves the start of every later one, the last frame's bar among them.
bool SameBars(const TTimelineBandCache &kept, const TZeltoAni &ani)
{
  if (kept.FrameCount != ani.Steps.size() || kept.Length != ani.Length)
    return false;
  for (const TDrawnFrameBar &bar : kept.Bars) {
    const TZeltoAniStep &step = *ani.Steps[size_t(bar.Index)];
    if (step.StartTick != bar.StartTick || step.Duration != bar.Duration)
      return false;
  }
  return true;
}

bool SameSettings(const TTimelineBandCache &a, const TTimelineBandCache &b)
{
  return a.Width == b.Width && a.Top == b.Top && a.Left == b.Left && a.Right == b.Right && a.Ticks == b.Ticks &&
         a.BufferWidth == b.BufferWidth && a.BufferHeight == b.BufferHeight && a.Light == b.Light && a.Ink == b.Ink &&
         a.Movie == b.Movie && a.DraggedFrame == b.DraggedFrame && a.LastFrame == b.LastFrame;
}

// Copies the kept rows back into the surface.
void RestoreRows(const QImage &kept, const QRect &rows, QImage &into)
{
  const size_t bytes = size_t(rows.width()) * 4;
  for (int y = 0; y < rows.height(); ++y)
    std::memcpy(into.scanLine(rows.top() + y) + size_t(rows.left()) * 4, kept.constScanLine(y), bytes);
}

// The key marks of the selected actor. Marks at one x are the same ellipse, and of overlapping
// ones the one drawn last shows on top: so each x is drawn once, in the order of the last key
// there, which leaves the picture of drawing every key.
void DrawKeyMarks(TSurfaceCanvas &canvas, const TZeltoActor &selected, const TCanvasGeometry &g, int surfaceWidth)
{
  const int T = g.TimelineTop;
  constexpr int reach = 10; // no mark draws this far from its x
  std::vector<int> lastKeyAt(size_t(std::max(surfaceWidth, 0) + 2 * reach), -1);
  for (size_t k = 0; k < selected.Keys.size(); ++k) {
    const int x = RulerX(g, selected.Keys[k]->Time);
    if (x >= -reach && x < surfaceWidth + reach)
      lastKeyAt[size_t(x + reach)] = int(k);
  }
  std::vector<std::pair<int, int>> marks; // (last key, x)
  for (size_t column = 0; column < lastKeyAt.size(); ++column)
    if (lastKeyAt[column] >= 0)
      marks.emplace_back(lastKeyAt[column], int(column) - reach);
  std::sort(marks.begin(), marks.end());
  canvas.SetBrush(Blue);
  for (const auto &[key, x] : marks)
    canvas.Ellipse(x - 5, T + 5, x + 5, T + 15);
}

} // namespace

// The band without what moves: its light fill, "Time", the ruler with its marks and labels, and
// in sprite mode the frame bars.
void TSceneRenderer::DrawBandBackground(TSurface &buffer, const TSceneColours &colours,
                                        const std::vector<TDrawnFrameBar> &bars)
{
  const TCanvasGeometry &g = geometry_;
  const int W = g.Width, T = g.TimelineTop;
  buffer.Fill(QRect(0, T, W, DefaultTimelineHeight), TSurface::ColorMatch(Rgb(colours.Light)));
  const QRgb ink = Rgb(colours.Ink);
  const int pixelsPerSecond = FloorEps(double(g.TimelineRight - g.TimelineLeft) * 20 / g.TimelineTicks);

  TSurfaceCanvas canvas(buffer);
  canvas.SetFont(RulerFont(12));
  canvas.SetTextColor(ink);
  canvas.TextOut(60 - canvas.TextExtent("Time").width(), T + 5, "Time", QRect(0, T, 75, DefaultTimelineHeight));

  const uint32_t inkPixel = TSurface::ColorMatch(ink);
  buffer.Fill(QRect(QPoint(g.TimelineLeft - 1, T + 29), QPoint(g.TimelineRight, T + 30)), inkPixel);

  canvas.SetFont(RulerFont(8));
  const QRect labelClip(75, T, W - 75, DefaultTimelineHeight);
  for (int t : VisibleTicks(g, pixelsPerSecond)) {
    const TTickStyle style = TickStyle(t);
    const int x = RulerX(g, t);
    if (pixelsPerSecond >= style.MarkMinimum)
      buffer.Fill(QRect(x - 1, T + style.MarkTop, 2, 29 - style.MarkTop), inkPixel);
    if (pixelsPerSecond >= style.LabelMinimum) {
      const QString label = TickLabel(t);
      canvas.TextOut(x - canvas.TextExtent(label).width() / 2, T + 31, label, labelClip);
    }
  }

  canvas.SetPen(ink);
  for (const TDrawnFrameBar &bar : bars) {
    const int x1 = RulerX(g, bar.StartTick);
    const int x2 = std::max(RulerX(g, FrameEnd(bar.StartTick, bar.Duration)), x1 + 10);
    const bool marked = (bar.Index == state_.DragFrameIndex && state_.DragMode == FrameLengthDragMode) ||
                        bar.Index == state_.LastFrameIndex;
    canvas.SetBrush(marked ? Red : Blue);
    canvas.RoundRect(x1, T + 5, x2 - 1, T + 15, 8, 8);
  }
}

void TSceneRenderer::DrawTimeline(TSurface &buffer, const TSceneColours &colours)
{
  const TZeltoActor &actor = *state_.EditActor;
  const TZeltoAni &ani = *actor.Ani;
  const TCanvasGeometry &g = geometry_;
  const int W = g.Width, T = g.TimelineTop;
  const int L = ani.Length;
  if (L <= 0 || g.TimelineTicks <= 0) {
    buffer.Fill(QRect(0, T, W, DefaultTimelineHeight), TSurface::ColorMatch(Rgb(colours.Light)));
    return;
  }

  TTimelineBandCache wanted;
  wanted.Width = W;
  wanted.Top = T;
  wanted.Left = g.TimelineLeft;
  wanted.Right = g.TimelineRight;
  wanted.Ticks = g.TimelineTicks;
  wanted.BufferWidth = buffer.Width();
  wanted.BufferHeight = buffer.Height();
  wanted.Light = colours.Light;
  wanted.Ink = colours.Ink;
  wanted.Movie = ani.IsMovie;
  if (!ani.IsMovie) {
    wanted.FrameCount = ani.Steps.size();
    wanted.Length = L;
    wanted.DraggedFrame = state_.DragMode == FrameLengthDragMode ? state_.DragFrameIndex : -1;
    wanted.LastFrame = state_.LastFrameIndex;
  }
  TTimelineBandCache &kept = state_.TimelineBand;
  const QRect rows = QRect(0, T, W, DefaultTimelineHeight) & buffer.Bounds();
  if (rows.isEmpty())
    return;
  if (kept.Pixels.isNull() || !SameSettings(kept, wanted) || (!ani.IsMovie && !SameBars(kept, ani))) {
    if (!ani.IsMovie)
      wanted.Bars = ShowingBars(ani, g, buffer.Width());
    DrawBandBackground(buffer, colours, wanted.Bars);
    wanted.Pixels = buffer.Image().copy(rows);
    kept = std::move(wanted);
  } else {
    RestoreRows(kept.Pixels, rows, buffer.Image());
  }

  const QRgb ink = Rgb(colours.Ink);
  TSurfaceCanvas canvas(buffer);
  canvas.SetFont(RulerFont(12));
  canvas.SetTextColor(ink);
  const QString timeText = QString::number(actor.CurrentTime / 20.0, 'f', 2);
  // Times of a thousand seconds and more are too wide for the frame: they take the small font.
  const bool wide = canvas.TextExtent(timeText).width() > 58;
  if (wide)
    canvas.SetFont(RulerFont(8));
  canvas.TextOut(60 - canvas.TextExtent(timeText).width(), T + (wide ? 27 : 25), timeText,
                 QRect(0, T, 75, DefaultTimelineHeight));
  canvas.SetPen(ink);
  canvas.Frame(5, T + 23, 65, T + 42);

  if (ani.IsMovie && state_.SelectedActor)
    DrawKeyMarks(canvas, *state_.SelectedActor, g, buffer.Width());

  canvas.SetBrush(Red);
  const int end = RulerX(g, L);
  canvas.Rectangle(end - 5, T + 16, end + 5, T + 26);
  const int c = RulerX(g, actor.CurrentTime);
  canvas.Polygon(QPolygon({QPoint(c - 5, T + 16), QPoint(c + 5, T + 21), QPoint(c - 5, T + 26)}));
}

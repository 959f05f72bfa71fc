// The timeline band along the bottom of the canvas: the current time, the ruler with its tick
// marks and labels, the frame bars or key marks, the end marker and the time triangle.
#include <QString>
#include <algorithm>
#include <cmath>
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

} // namespace

void TSceneRenderer::DrawTimeline(TSurface &buffer, const TSceneColours &colours)
{
  const TZeltoActor &actor = *state_.EditActor;
  const TZeltoAni &ani = *actor.Ani;
  const TCanvasGeometry &g = geometry_;
  const int W = g.Width, T = g.TimelineTop;
  buffer.Fill(QRect(0, T, W, DefaultTimelineHeight), TSurface::ColorMatch(Rgb(colours.Light)));
  const int L = ani.Length;
  if (L <= 0 || g.TimelineTicks <= 0)
    return;

  const QRgb ink = Rgb(colours.Ink);
  const int pixelsPerSecond = FloorEps(double(g.TimelineRight - g.TimelineLeft) * 20 / g.TimelineTicks);
  auto X = [&g](int t) { return RulerX(g, t); };

  TSurfaceCanvas canvas(buffer);
  canvas.SetFont(RulerFont(12));
  canvas.SetTextColor(ink);
  const QRect timeClip(0, T, 75, DefaultTimelineHeight);
  const QString timeText = QString::number(actor.CurrentTime / 20.0, 'f', 2);
  canvas.TextOut(60 - canvas.TextExtent("Time").width(), T + 5, "Time", timeClip);
  // Times of a thousand seconds and more are too wide for the frame: they take the small font.
  const bool wide = canvas.TextExtent(timeText).width() > 58;
  if (wide)
    canvas.SetFont(RulerFont(8));
  canvas.TextOut(60 - canvas.TextExtent(timeText).width(), T + (wide ? 27 : 25), timeText, timeClip);
  canvas.SetPen(ink);
  canvas.Frame(5, T + 23, 65, T + 42);

  const uint32_t inkPixel = TSurface::ColorMatch(ink);
  buffer.Fill(QRect(QPoint(g.TimelineLeft - 1, T + 29), QPoint(g.TimelineRight, T + 30)), inkPixel);

  canvas.SetFont(RulerFont(8));
  const QRect labelClip(75, T, W - 75, DefaultTimelineHeight);
  for (int t : VisibleTicks(g, pixelsPerSecond)) {
    const TTickStyle style = TickStyle(t);
    const int x = X(t);
    if (pixelsPerSecond >= style.MarkMinimum)
      buffer.Fill(QRect(x - 1, T + style.MarkTop, 2, 29 - style.MarkTop), inkPixel);
    if (pixelsPerSecond >= style.LabelMinimum) {
      const QString label = TickLabel(t);
      canvas.TextOut(x - canvas.TextExtent(label).width() / 2, T + 31, label, labelClip);
    }
  }

  if (ani.IsMovie) {
    if (const TZeltoActor *selected = state_.SelectedActor) {
      canvas.SetBrush(Blue);
      for (const auto &key : selected->Keys)
        canvas.Ellipse(X(key->Time) - 5, T + 5, X(key->Time) + 5, T + 15);
    }
  } else {
    for (int i = 0; i < int(ani.Steps.size()); ++i) {
      const TZeltoAniStep &step = *ani.Steps[i];
      const int x1 = X(step.StartTick);
      const int x2 = std::max(X(step.StartTick + step.Duration), x1 + 10);
      const bool marked =
          (i == state_.DragFrameIndex && state_.DragMode == FrameLengthDragMode) || i == state_.LastFrameIndex;
      canvas.SetBrush(marked ? Red : Blue);
      canvas.RoundRect(x1, T + 5, x2 - 1, T + 15, 8, 8);
    }
  }

  canvas.SetBrush(Red);
  canvas.Rectangle(X(L) - 5, T + 16, X(L) + 5, T + 26);
  const int c = X(actor.CurrentTime);
  canvas.Polygon(QPolygon({QPoint(c - 5, T + 16), QPoint(c + 5, T + 21), QPoint(c - 5, T + 26)}));
}

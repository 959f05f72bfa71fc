#include "platform/surface_canvas.h"

#include <QFontMetrics>

TSurfaceCanvas::TSurfaceCanvas(TSurface &surface) : surface_(surface)
{
  if (surface.IsEmpty())
    return;
  Begin();
  font_ = painter_.font();
}

void TSurfaceCanvas::Begin()
{
  painter_.begin(&surface_.Image());
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

void TSurfaceCanvas::Release()
{
  if (painter_.isActive())
    painter_.end();
}

void TSurfaceCanvas::SetPen(QRgb color, TPenStyle style, int width)
{
  penColor_ = color | 0xFF000000;
  penStyle_ = style;
  penWidth_ = std::max(width, 1);
}

void TSurfaceCanvas::SetBrush(QRgb color)
{
  brush_ = color | 0xFF000000;
}

void TSurfaceCanvas::ClearBrush()
{
  brush_.reset();
}

void TSurfaceCanvas::SetFont(const QFont &font)
{
  font_ = font;
}

void TSurfaceCanvas::ApplyPen()
{
  QPen pen(QColor::fromRgb(penColor_));
  pen.setWidth(penWidth_ == 1 ? 0 : penWidth_); // width 0: exactly one pixel
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setBackgroundMode(Qt::TransparentMode);
  if (penStyle_ == TPenStyle::Dot) {
    pen.setDashPattern({1, 1});
    // The gaps between the dots take the brush colour, as on the old opaque device context.
    painter_.setBackgroundMode(Qt::OpaqueMode);
    painter_.setBackground(QColor::fromRgb(brush_.value_or(0xFFFFFFFF)));
  } else if (penStyle_ == TPenStyle::Invert) {
    pen.setColor(Qt::white);
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
  }
  painter_.setPen(pen);
}

void TSurfaceCanvas::ApplyBrush(bool fill)
{
  if (fill && brush_)
    painter_.setBrush(QColor::fromRgb(*brush_));
  else
    painter_.setBrush(Qt::NoBrush);
}

void TSurfaceCanvas::TextOut(int x, int y, const QString &text, const QRect &clip)
{
  if (!Active())
    return;
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setFont(font_);
  painter_.setPen(QColor::fromRgb(textColor_));
  if (!clip.isEmpty())
    painter_.setClipRect(clip);
  const QFontMetrics metrics(font_);
  painter_.drawText(x, y + metrics.ascent(), text);
  painter_.restore();
}

QSize TSurfaceCanvas::TextExtent(const QString &text) const
{
  const QFontMetrics metrics(font_);
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void TSurfaceCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
  if (!Active() || x2 <= x1 || y2 <= y1)
    return;
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (brush_)
    painter_.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), QColor::fromRgb(*brush_));
  Frame(x1, y1, x2, y2);
}

void TSurfaceCanvas::Frame(int x1, int y1, int x2, int y2)
{
  if (!Active() || x2 <= x1 || y2 <= y1)
    return;
  ApplyPen();
  // Four strips that do not overlap, so an inverting pen inverts every outline pixel once.
  const QColor color = QColor::fromRgb(penColor_);
  painter_.fillRect(QRect(x1, y1, x2 - x1, 1), color);
  if (y2 - y1 > 1)
    painter_.fillRect(QRect(x1, y2 - 1, x2 - x1, 1), color);
  if (y2 - y1 > 2) {
    painter_.fillRect(QRect(x1, y1 + 1, 1, y2 - y1 - 2), color);
    if (x2 - x1 > 1)
      painter_.fillRect(QRect(x2 - 1, y1 + 1, 1, y2 - y1 - 2), color);
  }
}

void TSurfaceCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
  if (!Active() || x2 <= x1 || y2 <= y1)
    return;
  ApplyPen();
  ApplyBrush(true);
  painter_.drawEllipse(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).adjusted(0, 0, -1, -1));
}

void TSurfaceCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
  if (!Active() || x2 <= x1 || y2 <= y1)
    return;
  ApplyPen();
  ApplyBrush(true);
  painter_.drawRoundedRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).adjusted(0, 0, -1, -1), cornerWidth / 2.0,
                           cornerHeight / 2.0);
}

void TSurfaceCanvas::Polyline(const QPolygon &points)
{
  if (!Active() || points.size() < 2)
    return;
  ApplyPen();
  painter_.drawPolyline(points);
}

void TSurfaceCanvas::Polygon(const QPolygon &points)
{
  if (!Active() || points.size() < 2)
    return;
  ApplyPen();
  ApplyBrush(true);
  painter_.drawPolygon(points);
}

void TSurfaceCanvas::CopyBitmap(int x, int y, const QImage &indexed, const QVector<QRgb> &colors, const QRect &source)
{
  if (!Active())
    return;
  // Let the painter finish what it has queued, then copy the pixels themselves.
  painter_.end();
  surface_.CopyIndexed(x, y, indexed, colors, source);
  Begin();
}

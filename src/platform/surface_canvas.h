// A drawing context on a TSurface: pen, brush and font, text with a transparent background,
// rectangles, frames, ellipses, rounded rectangles, polylines, polygons and raw bitmap copies.
// Coordinates follow the old device-context rules: a shape given by (x1, y1)-(x2, y2) covers
// x1 to x2 - 1 and y1 to y2 - 1. Release (or destroy) the context before copying the surface.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <optional>

#include "platform/surface.h"

enum class TPenStyle {
  Solid,
  Dot,    // one pixel in the pen colour, one in the brush colour
  Invert, // every pixel drawn over has its colour inverted
};

class TSurfaceCanvas
{
public:
  explicit TSurfaceCanvas(TSurface &surface);
  ~TSurfaceCanvas() { Release(); }
  TSurfaceCanvas(const TSurfaceCanvas &) = delete;
  TSurfaceCanvas &operator=(const TSurfaceCanvas &) = delete;

  // Ends drawing; later calls do nothing.
  void Release();
  bool Active() const { return painter_.isActive(); }

  void SetPen(QRgb color, TPenStyle style = TPenStyle::Solid, int width = 1);
  // Shapes are filled with the brush colour; without a brush they are only outlined.
  void SetBrush(QRgb color);
  void ClearBrush();
  void SetFont(const QFont &font);
  const QFont &Font() const { return font_; }
  void SetTextColor(QRgb color) { textColor_ = color; }

  // Text with its top-left corner at (x, y), transparent background, optionally cut to clip.
  void TextOut(int x, int y, const QString &text, const QRect &clip = QRect());
  QSize TextExtent(const QString &text) const;

  void Rectangle(int x1, int y1, int x2, int y2);
  // A one-pixel outline of (x1, y1)-(x2, y2) in the pen colour (solid or inverting), not filled.
  void Frame(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  // Corners are quarter ellipses of cornerWidth x cornerHeight.
  void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
  void Line(int x1, int y1, int x2, int y2) { Polyline(QPolygon({QPoint(x1, y1), QPoint(x2, y2)})); }
  void Polyline(const QPolygon &points);
  void Polygon(const QPolygon &points);

  // Raw copy of the rectangle source of an 8-bit image, its indices looked up in colors.
  void CopyBitmap(int x, int y, const QImage &indexed, const QVector<QRgb> &colors, const QRect &source);

private:
  void Begin();
  void ApplyPen();
  // The brush for filling, or none.
  void ApplyBrush(bool fill);

  TSurface &surface_;
  QPainter painter_;
  QRgb penColor_ = 0xFF000000;
  TPenStyle penStyle_ = TPenStyle::Solid;
  int penWidth_ = 1;
  std::optional<QRgb> brush_ = QRgb(0xFFFFFFFF);
  QFont font_;
  QRgb textColor_ = 0xFF000000;
};

// An off-screen drawing surface: 32-bit RGB pixels on a QImage, with an optional source colour
// key. Keyed copies, stretched copies and fills work on the pixels directly, so the colour key
// is exact; everything else is drawn through a TSurfaceCanvas.
#pragma once

#include <QImage>
#include <QRect>
#include <QVector>
#include <cstdint>

class TSurface
{
public:
  TSurface() = default;

  // Allocates width x height pixels, all black, and drops the colour key. False (and no
  // pixels) when the size is not positive, exceeds MaxSide, or memory is lacking.
  bool SetSize(int width, int height);
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  bool IsEmpty() const { return image_.isNull(); }
  QRect Bounds() const { return image_.rect(); }

  // The surface's own value for an RGB colour: what Fill writes and the colour key compares.
  static uint32_t ColorMatch(QRgb rgb) { return rgb & 0xFFFFFF; }
  uint32_t Pixel(int x, int y) const;

  // Fills rect, cut to the surface, with a pixel value.
  void Fill(const QRect &rect, uint32_t pixel);
  void Fill(uint32_t pixel) { Fill(Bounds(), pixel); }

  // Copies of this surface skip the pixels whose value equals key.
  void SetColorKey(uint32_t key);
  void ClearColorKey() { hasColorKey_ = false; }
  bool HasColorKey() const { return hasColorKey_; }
  uint32_t ColorKey() const { return colorKey_; }

  // Copies source (a rectangle of from) with its top-left corner at (x, y), skipping from's
  // colour-key pixels when it has a key. The rectangle is cut to from's bounds and the copy to
  // clip (this surface's bounds when clip is empty) without shifting what remains.
  void Draw(int x, int y, const TSurface &from, const QRect &source, const QRect &clip = QRect());
  // Copies source of from stretched into target, without colour key (nearest pixel).
  void StretchDraw(const QRect &target, const TSurface &from, const QRect &source);

  // Raw copy of the rectangle source of an 8-bit image into this surface at (x, y): each index
  // becomes colors[index] (black beyond the table), opaque, no colour key.
  void CopyIndexed(int x, int y, const QImage &indexed, const QVector<QRgb> &colors, const QRect &source);

  // The pixels, for painting and presenting. Format_RGB32.
  QImage &Image() { return image_; }
  const QImage &Image() const { return image_; }

  // Larger sides are refused, so a corrupt size cannot ask for gigabytes.
  static constexpr int MaxSide = 16384;

private:
  QImage image_;
  uint32_t colorKey_ = 0;
  bool hasColorKey_ = false;
};

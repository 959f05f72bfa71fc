#include "platform/surface.h"

#include <QPainter>
#include <algorithm>

bool TSurface::SetSize(int width, int height)
{
  image_ = QImage();
  hasColorKey_ = false;
  if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide)
    return false;
  image_ = QImage(width, height, QImage::Format_RGB32);
  if (image_.isNull())
    return false;
  image_.fill(0xFF000000u);
  return true;
}

uint32_t TSurface::Pixel(int x, int y) const
{
  if (!image_.valid(x, y))
    return 0;
  return reinterpret_cast<const uint32_t *>(image_.constScanLine(y))[x] & 0xFFFFFF;
}

// The pixels of row y of an RGB32 image whose bits start at bits, stride bytes a row.
static uint32_t *Row(uchar *bits, qsizetype stride, int y)
{
  return reinterpret_cast<uint32_t *>(bits + stride * y);
}
static const uint32_t *Row(const uchar *bits, qsizetype stride, int y)
{
  return reinterpret_cast<const uint32_t *>(bits + stride * y);
}

void TSurface::Fill(const QRect &rect, uint32_t pixel)
{
  const QRect area = rect.intersected(Bounds());
  if (area.isEmpty())
    return;
  const uint32_t value = 0xFF000000u | (pixel & 0xFFFFFF);
  uchar *bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    uint32_t *row = Row(bits, stride, y);
    std::fill(row + area.left(), row + area.right() + 1, value);
  }
}

void TSurface::SetColorKey(uint32_t key)
{
  colorKey_ = key & 0xFFFFFF;
  hasColorKey_ = true;
}

void TSurface::Draw(int x, int y, const TSurface &from, const QRect &source, const QRect &clip)
{
  if (IsEmpty() || from.IsEmpty())
    return;
  // Cut the source to its surface, moving the destination along with its top-left corner.
  QRect src = source.intersected(from.Bounds());
  if (src.isEmpty())
    return;
  x += src.left() - source.left();
  y += src.top() - source.top();
  // Cut the destination to the clip rectangle, moving the source along.
  const QRect limit = clip.isEmpty() ? Bounds() : clip.intersected(Bounds());
  const QRect dst = QRect(x, y, src.width(), src.height()).intersected(limit);
  if (dst.isEmpty())
    return;
  const int sx = src.left() + dst.left() - x;
  const int sy = src.top() + dst.top() - y;

  const uchar *fromBits = from.image_.constBits();
  const qsizetype fromStride = from.image_.bytesPerLine();
  uchar *bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  const uint32_t key = from.colorKey_;
  const int width = dst.width();
  for (int row = 0; row < dst.height(); ++row) {
    const uint32_t *in = Row(fromBits, fromStride, sy + row) + sx;
    uint32_t *out = Row(bits, stride, dst.top() + row) + dst.left();
    if (!from.hasColorKey_) {
      std::copy(in, in + width, out);
      continue;
    }
    // A mask rather than a branch per pixel, so the loop runs several pixels a step.
    for (int col = 0; col < width; ++col) {
      const uint32_t keep = 0u - uint32_t((in[col] & 0xFFFFFF) == key);
      out[col] = (in[col] & ~keep) | (out[col] & keep);
    }
  }
}

void TSurface::StretchDraw(const QRect &target, const TSurface &from, const QRect &source)
{
  if (IsEmpty() || from.IsEmpty() || target.isEmpty() || source.isEmpty())
    return;
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(target, from.image_, source);
}

void TSurface::CopyIndexed(int x, int y, const QImage &indexed, const QVector<QRgb> &colors, const QRect &source)
{
  if (IsEmpty() || indexed.format() != QImage::Format_Indexed8)
    return;
  QRect src = source.intersected(indexed.rect());
  if (src.isEmpty())
    return;
  x += src.left() - source.left();
  y += src.top() - source.top();
  const QRect dst = QRect(x, y, src.width(), src.height()).intersected(Bounds());
  if (dst.isEmpty())
    return;
  const int sx = src.left() + dst.left() - x;
  const int sy = src.top() + dst.top() - y;
  uchar *bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  for (int row = 0; row < dst.height(); ++row) {
    const uchar *in = indexed.constScanLine(sy + row) + sx;
    uint32_t *out = Row(bits, stride, dst.top() + row) + dst.left();
    for (int col = 0; col < dst.width(); ++col)
      out[col] = 0xFF000000u | (in[col] < colors.size() ? colors[in[col]] & 0xFFFFFF : 0);
  }
}

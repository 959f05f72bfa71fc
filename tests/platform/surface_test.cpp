#include "platform/surface.h"
#include "platform/surface_canvas.h"

#include <gtest/gtest.h>

namespace {

// A surface whose every pixel has its own value: 0x100000 + 0x100 * y + x + 1.
TSurface Numbered(int width, int height)
{
  TSurface surface;
  EXPECT_TRUE(surface.SetSize(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      surface.Fill(QRect(x, y, 1, 1), 0x100000 + 0x100 * y + x + 1);
  return surface;
}

TSurface Filled(int width, int height, uint32_t pixel)
{
  TSurface surface;
  EXPECT_TRUE(surface.SetSize(width, height));
  surface.Fill(pixel);
  return surface;
}

} // namespace

TEST(Surface, SizeIsBoundedAndStartsBlack)
{
  TSurface surface;
  EXPECT_FALSE(surface.SetSize(0, 5));
  EXPECT_FALSE(surface.SetSize(5, -1));
  EXPECT_FALSE(surface.SetSize(TSurface::MaxSide + 1, 1));
  EXPECT_TRUE(surface.IsEmpty());
  ASSERT_TRUE(surface.SetSize(3, 2));
  EXPECT_EQ(surface.Width(), 3);
  EXPECT_EQ(surface.Height(), 2);
  EXPECT_EQ(surface.Pixel(2, 1), 0u);
  EXPECT_FALSE(surface.HasColorKey());
}

TEST(Surface, KeyedCopySkipsExactlyTheKeyColour)
{
  // Neighbours of the key by one step in each channel must be copied.
  const uint32_t key = 0x408020;
  const uint32_t row[] = {key, 0x418020, 0x408120, 0x408021, 0x000000, key};
  TSurface from;
  ASSERT_TRUE(from.SetSize(6, 1));
  for (int x = 0; x < 6; ++x)
    from.Fill(QRect(x, 0, 1, 1), row[x]);
  from.SetColorKey(from.ColorMatch(qRgb(0x40, 0x80, 0x20)));

  TSurface to = Filled(6, 1, 0xABCDEF);
  to.Draw(0, 0, from, from.Bounds());
  const uint32_t expected[] = {0xABCDEF, 0x418020, 0x408120, 0x408021, 0x000000, 0xABCDEF};
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(to.Pixel(x, 0), expected[x]) << "pixel " << x;

  // Without a key everything is copied.
  from.ClearColorKey();
  to.Draw(0, 0, from, from.Bounds());
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(to.Pixel(x, 0), row[x]) << "pixel " << x;
}

// Every edge of the target, of the clip rectangle and of the source surface, checked against a
// pixel-by-pixel statement of the rule.
TEST(Surface, CopiesAreClippedAtEveryEdgeWithoutShifting)
{
  struct Case
  {
    const char *name;
    int x, y;
    QRect source, clip;
  };
  const Case cases[] = {
      {"inside", 2, 2, QRect(0, 0, 4, 4), QRect()},
      {"left edge", -2, 1, QRect(0, 0, 4, 4), QRect()},
      {"right edge", 6, 1, QRect(0, 0, 4, 4), QRect()},
      {"top edge", 1, -3, QRect(0, 0, 4, 4), QRect()},
      {"bottom edge", 1, 7, QRect(0, 0, 4, 4), QRect()},
      {"all four edges", -1, -1, QRect(0, 0, 4, 4), QRect(0, 0, 2, 2)},
      {"wholly outside", 8, 0, QRect(0, 0, 4, 4), QRect()},
      {"source beyond its left and top", 3, 3, QRect(-2, -1, 4, 4), QRect()},
      {"source beyond its right and bottom", 0, 0, QRect(2, 3, 4, 4), QRect()},
      {"source wholly outside", 0, 0, QRect(4, 0, 2, 2), QRect()},
      {"clip left and top", 0, 0, QRect(0, 0, 4, 4), QRect(2, 1, 6, 7)},
      {"clip right and bottom", 3, 3, QRect(0, 0, 4, 4), QRect(0, 0, 5, 6)},
      {"clip beyond the target", 5, 5, QRect(0, 0, 4, 4), QRect(-5, -5, 20, 20)},
  };
  const TSurface from = Numbered(4, 4);
  for (const Case &c : cases) {
    TSurface to = Filled(8, 8, 0x777777);
    to.Draw(c.x, c.y, from, c.source, c.clip);
    const QRect limit = c.clip.isEmpty() ? to.Bounds() : c.clip & to.Bounds();
    for (int ty = 0; ty < 8; ++ty)
      for (int tx = 0; tx < 8; ++tx) {
        const int sx = c.source.left() + tx - c.x, sy = c.source.top() + ty - c.y;
        const bool copied = limit.contains(tx, ty) && c.source.contains(sx, sy) && from.Bounds().contains(sx, sy);
        const uint32_t expected = copied ? from.Pixel(sx, sy) : 0x777777;
        ASSERT_EQ(to.Pixel(tx, ty), expected) << c.name << " at " << tx << "," << ty;
      }
  }
}

TEST(Surface, StretchedCopyRepeatsPixelsAndIgnoresTheKey)
{
  TSurface from = Numbered(2, 2);
  from.SetColorKey(from.Pixel(0, 0));
  TSurface to = Filled(6, 6, 0x777777);
  to.StretchDraw(QRect(1, 1, 4, 4), from, QRect(0, 0, 2, 2));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
      const uint32_t expected = inside ? from.Pixel((x - 1) / 2, (y - 1) / 2) : 0x777777;
      EXPECT_EQ(to.Pixel(x, y), expected) << x << "," << y;
    }
}

TEST(Surface, RawIndexedCopyUsesTheColourTableUnchanged)
{
  QImage indexed(3, 2, QImage::Format_Indexed8);
  const uchar rows[2][3] = {{0, 1, 2}, {2, 1, 9}};
  for (int y = 0; y < 2; ++y)
    std::memcpy(indexed.scanLine(y), rows[y], 3);
  // Entry 0 is transparent in the file; a raw copy keeps its colour all the same.
  const QVector<QRgb> colors = {qRgba(255, 0, 255, 0), qRgb(1, 2, 3), qRgb(200, 100, 50)};
  TSurface to = Filled(4, 3, 0x777777);
  to.CopyIndexed(1, 1, indexed, colors, QRect(0, 0, 3, 2));
  EXPECT_EQ(to.Pixel(1, 1), 0xFF00FFu);
  EXPECT_EQ(to.Pixel(2, 1), 0x010203u);
  EXPECT_EQ(to.Pixel(3, 2), 0x000000u); // index beyond the table
  EXPECT_EQ(to.Pixel(0, 0), 0x777777u);

  // A source rectangle and an offset destination: only the part that fits is copied.
  TSurface small = Filled(2, 2, 0x777777);
  small.CopyIndexed(-1, 0, indexed, colors, QRect(1, 0, 2, 2));
  EXPECT_EQ(small.Pixel(0, 0), 0xC86432u);
  EXPECT_EQ(small.Pixel(0, 1), 0x000000u);
  EXPECT_EQ(small.Pixel(1, 0), 0x777777u);
}

TEST(SurfaceCanvas, ShapesCoverTheirRectangleWithoutRightAndBottomEdges)
{
  TSurface surface = Filled(8, 8, 0);
  {
    TSurfaceCanvas canvas(surface);
    canvas.SetPen(qRgb(255, 0, 0));
    canvas.SetBrush(qRgb(0, 0, 255));
    canvas.Rectangle(1, 1, 5, 4);
  }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      uint32_t expected = 0;
      if (x >= 1 && x <= 4 && y >= 1 && y <= 3)
        expected = (x == 1 || x == 4 || y == 1 || y == 3) ? 0xFF0000 : 0x0000FF;
      EXPECT_EQ(surface.Pixel(x, y), expected) << x << "," << y;
    }
}

TEST(SurfaceCanvas, InvertingFrameInvertsEachOutlinePixelOnce)
{
  TSurface surface = Filled(6, 6, 0x102030);
  {
    TSurfaceCanvas canvas(surface);
    canvas.SetPen(qRgb(0, 0, 0), TPenStyle::Invert);
    canvas.Frame(1, 1, 5, 5);
  }
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool outline = x >= 1 && x <= 4 && y >= 1 && y <= 4 && (x == 1 || x == 4 || y == 1 || y == 4);
      EXPECT_EQ(surface.Pixel(x, y), outline ? 0xEFDFCFu : 0x102030u) << x << "," << y;
    }
}

TEST(SurfaceCanvas, DottedLineAlternatesPenAndBrushColours)
{
  TSurface surface = Filled(10, 3, 0);
  {
    TSurfaceCanvas canvas(surface);
    canvas.SetBrush(qRgb(0, 128, 0));
    canvas.SetPen(qRgb(0, 160, 0), TPenStyle::Dot);
    canvas.Line(0, 1, 9, 1);
  }
  for (int x = 0; x < 9; ++x)
    EXPECT_EQ(surface.Pixel(x, 1), x % 2 == 0 ? 0x00A000u : 0x008000u) << x;
  EXPECT_EQ(surface.Pixel(4, 0), 0u);
}

TEST(SurfaceCanvas, RawCopyThroughTheContextKeepsDrawingAfterwards)
{
  TSurface surface = Filled(4, 1, 0);
  QImage indexed(1, 1, QImage::Format_Indexed8);
  indexed.scanLine(0)[0] = 0;
  {
    TSurfaceCanvas canvas(surface);
    canvas.CopyBitmap(0, 0, indexed, {qRgb(9, 8, 7)}, indexed.rect());
    canvas.SetPen(qRgb(1, 1, 1));
    canvas.ClearBrush();
    canvas.Line(2, 0, 3, 0);
  }
  EXPECT_EQ(surface.Pixel(0, 0), 0x090807u);
  EXPECT_EQ(surface.Pixel(1, 0), 0u);
  EXPECT_EQ(surface.Pixel(2, 0), 0x010101u);
}

TEST(SurfaceCanvas, TextIsDrawnInsideItsClipOnly)
{
  TSurface surface = Filled(80, 30, 0);
  {
    TSurfaceCanvas canvas(surface);
    canvas.SetTextColor(qRgb(255, 255, 255));
    QFont font("Courier New");
    font.setPixelSize(14);
    canvas.SetFont(font);
    EXPECT_GT(canvas.TextExtent("Time").width(), 0);
    canvas.TextOut(2, 2, "MMMMMMMM", QRect(0, 0, 20, 30));
  }
  int inside = 0, outside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x)
      (x < 20 ? inside : outside) += surface.Pixel(x, y) != 0;
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

// Finding sprites on sheets: the bounds under a click against a plain reference, and grids
// guessed on generated sheets (gutters of 0, 1 and several pixels, margins, a last row partly
// empty), checked for what any sound guess must hold.
#include "images/sheet_detection.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

#include "images/image_animation.h"

namespace {

// A sheet made in memory: index 0 (magenta) is the transparent entry; 1 to 3 are colours, and
// entry 4 has the transparent entry's colour.
class TSheet : public TImageAnimation
{
public:
  TSheet(int width, int height, int transparent = 0)
  {
    Width = width;
    Height = height;
    EXPECT_TRUE(CreateBitmap());
    const uint8_t colours[][3] = {{255, 0, 255}, {200, 40, 40}, {40, 200, 40}, {0, 0, 0}, {255, 0, 255}};
    for (int i = 0; i < 5; ++i)
      for (int c = 0; c < 3; ++c)
        Palette[size_t(i) * 3 + size_t(c)] = colours[i][c];
    ColorCount = 5;
    TransparentIndex = transparent;
    ApplyPalette();
  }
  void Set(int x, int y, uint8_t index) { Bits[size_t(y) * size_t(Bitmap.bytesPerLine()) + size_t(x)] = index; }
  void Fill(const QRect &r, uint8_t index = 1)
  {
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        Set(x, y, index);
  }
  // Rows of text: '.' transparent, '#' colour 1, 'k' black (3), 't' the transparent colour (4).
  static std::unique_ptr<TSheet> FromText(const std::vector<std::string> &rows, int transparent = 0)
  {
    auto sheet = std::make_unique<TSheet>(int(rows[0].size()), int(rows.size()), transparent);
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        sheet->Set(int(x), int(y), rows[y][x] == '#' ? 1 : rows[y][x] == 'k' ? 3 : rows[y][x] == 't' ? 4 : 0);
    return sheet;
  }
  int NextFrame() override { return 0; }

protected:
  bool Parse() override { return true; }
};

// The bounds by growing the set of reached pixels one step at a time until nothing joins.
std::optional<QRect> ReferenceBounds(const TImageAnimation &image, int x, int y)
{
  const std::array<bool, 256> transparent = TransparentEntries(image);
  auto opaque = [&](int px, int py) {
    return px >= 0 && py >= 0 && px < image.Width && py < image.Height &&
           !transparent[image.Bits[size_t(py) * size_t(image.Bitmap.bytesPerLine()) + size_t(px)]];
  };
  if (!opaque(x, y))
    return std::nullopt;
  std::vector<uint8_t> reached(size_t(image.Width * image.Height), 0);
  reached[size_t(y * image.Width + x)] = 1;
  for (bool grew = true; grew;) {
    grew = false;
    for (int py = 0; py < image.Height; ++py)
      for (int px = 0; px < image.Width; ++px)
        if (!reached[size_t(py * image.Width + px)] && opaque(px, py))
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
              if (px + dx >= 0 && py + dy >= 0 && px + dx < image.Width && py + dy < image.Height &&
                  reached[size_t((py + dy) * image.Width + px + dx)] && !reached[size_t(py * image.Width + px)]) {
                reached[size_t(py * image.Width + px)] = 1;
                grew = true;
              }
  }
  QRect bounds;
  for (int py = 0; py < image.Height; ++py)
    for (int px = 0; px < image.Width; ++px)
      if (reached[size_t(py * image.Width + px)])
        bounds |= QRect(px, py, 1, 1);
  return bounds;
}

} // namespace

TEST(SpriteBoundsTest, ClicksOnDrawnSprites)
{
  struct Case
  {
    const char *name;
    std::vector<std::string> rows;
    QPoint click;
    std::optional<QRect> bounds;
    int transparent = 0;
  };
  const Case cases[] = {
      {"a ring: its hole does not matter",
       {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"},
       {1, 2},
       QRect(1, 1, 4, 4)},
      {"the ring's hole is transparent",
       {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"},
       {2, 2},
       std::nullopt},
      {"touching sprites are one", {"##....", "######", "....##"}, {0, 0}, QRect(0, 0, 6, 3)},
      {"a corner joins", {"##...", "##...", "..###"}, {4, 2}, QRect(0, 0, 5, 3)},
      {"one transparent column parts them", {"##.##", "##.##"}, {4, 1}, QRect(3, 0, 2, 2)},
      {"a spiral reached the long way", {"#####", "....#", "###.#", "#...#", "#####"}, {0, 2}, QRect(0, 0, 5, 5)},
      {"outside the image", {"##", "##"}, {2, 0}, std::nullopt},
      {"an entry of the transparent colour is transparent", {"#t#", "###"}, {1, 0}, std::nullopt},
      {"without a transparent entry black is", {"kkkk", "k##k", "kkkk"}, {1, 1}, QRect(1, 1, 2, 1), -1},
      {"... and the transparent colour is not", {"kkkk", "k#tk", "kkkk"}, {1, 1}, QRect(1, 1, 2, 1), -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const auto sheet = TSheet::FromText(c.rows, c.transparent);
    EXPECT_EQ(SpriteBounds(*sheet, c.click.x(), c.click.y()), c.bounds);
  }
}

TEST(SpriteBoundsTest, AgreesWithGrowingStepByStepOnNoise)
{
  std::mt19937 random(23);
  for (int round = 0; round < 60; ++round) {
    TSheet sheet(1 + int(random() % 40), 1 + int(random() % 30));
    const unsigned density = 30 + random() % 40;
    for (int y = 0; y < sheet.Height; ++y)
      for (int x = 0; x < sheet.Width; ++x)
        sheet.Set(x, y, random() % 100 < density ? uint8_t(1 + random() % 2) : 0);
    for (int click = 0; click < 10; ++click) {
      const int x = int(random() % unsigned(sheet.Width)), y = int(random() % unsigned(sheet.Height));
      SCOPED_TRACE("round " + std::to_string(round) + " at " + std::to_string(x) + ", " + std::to_string(y));
      EXPECT_EQ(SpriteBounds(sheet, x, y), ReferenceBounds(sheet, x, y));
    }
  }
}

namespace {

// A sheet of cols x rows cells of cellW x cellH, gutter pixels apart, the first at (margin,
// margin); in each cell a sprite inset from the cell's edges. The last row holds lastRow sprites.
struct TLayout
{
  int CellW, CellH, Gutter, Margin, Columns, Rows, LastRow;
};

struct TDrawn
{
  std::unique_ptr<TSheet> Sheet;
  std::vector<QRect> Sprites; // row by row
};

TDrawn Draw(const TLayout &l, const std::function<QMargins(int c, int r)> &inset)
{
  const int width = 2 * l.Margin + l.Columns * l.CellW + (l.Columns - 1) * l.Gutter;
  const int height = 2 * l.Margin + l.Rows * l.CellH + (l.Rows - 1) * l.Gutter;
  TDrawn drawn{std::make_unique<TSheet>(width, height), {}};
  for (int r = 0; r < l.Rows; ++r)
    for (int c = 0; c < (r == l.Rows - 1 ? l.LastRow : l.Columns); ++c) {
      const QRect cell(l.Margin + c * (l.CellW + l.Gutter), l.Margin + r * (l.CellH + l.Gutter), l.CellW, l.CellH);
      const QRect sprite = cell.marginsRemoved(inset(c, r));
      drawn.Sheet->Fill(sprite, uint8_t(1 + (c + r) % 2));
      drawn.Sprites.push_back(sprite);
    }
  return drawn;
}

QRect Cell(const TGridGuess &g, int c, int r)
{
  return QRect(g.Left + c * g.Width, g.Top + r * g.Height, g.Width, g.Height);
}

} // namespace

TEST(DetectGridTest, GeneratedSheets)
{
  struct Case
  {
    const char *name;
    TLayout layout;
    QMargins inset;
    TGridGuess expected;
  };
  const Case cases[] = {
      {"no gutter, sprites inset evenly", {16, 16, 0, 0, 4, 3, 4}, {2, 2, 2, 2}, {0, 0, 16, 16, 4, 3}},
      {"a 1-pixel gutter, sprites filling their cells", {16, 12, 1, 0, 3, 2, 3}, {}, {0, 0, 17, 13, 3, 2}},
      // Each cell keeps 2 of the 4 gutter pixels on either side of its sprite.
      {"a 4-pixel gutter and a margin of 3", {16, 16, 4, 3, 3, 3, 3}, {}, {1, 1, 20, 20, 3, 3}},
      {"the last row partly empty", {10, 10, 2, 0, 5, 3, 2}, {1, 1, 1, 1}, {0, 0, 12, 12, 5, 3}},
      {"one sprite: its bounds", {24, 20, 0, 5, 1, 1, 1}, {3, 2, 1, 4}, {8, 7, 20, 14, 1, 1}},
      // Touching sprites cannot be told apart: the whole row is one cell wide.
      {"no gutter, sprites filling their cells", {8, 8, 0, 0, 4, 1, 4}, {}, {0, 0, 32, 8, 1, 1}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const TDrawn drawn = Draw(c.layout, [&c](int, int) { return c.inset; });
    const std::optional<TGridGuess> guess = DetectGrid(*drawn.Sheet);
    ASSERT_TRUE(guess);
    const std::vector<int> got = {guess->Left, guess->Top, guess->Width, guess->Height, guess->Columns, guess->Rows};
    const TGridGuess &e = c.expected;
    EXPECT_EQ(got, (std::vector<int>{e.Left, e.Top, e.Width, e.Height, e.Columns, e.Rows}));
  }

  std::string why;
  EXPECT_FALSE(DetectGrid(TSheet(20, 10), &why));
  EXPECT_EQ(why, "The image has no pixel that is not transparent");
  // Runs 10, 1 and 10 pixels wide, one pixel apart: no pitch keeps each in a cell of its own; and
  // a run of 2 before one of 17 would need a grid starting left of the image.
  for (const char *row : {"##########.#.##########", "##.#################"}) {
    SCOPED_TRACE(row);
    EXPECT_FALSE(DetectGrid(*TSheet::FromText({row}), &why));
    EXPECT_EQ(why, "The sprites do not stand in a regular grid");
  }
}

TEST(DetectGridTest, RandomSheetsGetOneCellPerSprite)
{
  std::mt19937 random(2023);
  auto between = [&random](int low, int high) { return low + int(random() % unsigned(high - low + 1)); };
  for (int round = 0; round < 300; ++round) {
    const TLayout l{between(8, 40), between(8, 40), between(0, 5), between(0, 6), between(1, 8), between(1, 6), 0};
    TLayout layout = l;
    layout.LastRow = between(1, l.Columns);
    // Sprites of touching cells need a transparent pixel between them; uniform sheets inset every
    // sprite alike.
    const bool uniform = round % 2 == 0;
    const int least = layout.Gutter == 0 ? 1 : 0;
    const QMargins same(between(least, 3), between(least, 3), between(least, 3), between(least, 3));
    const TDrawn drawn = Draw(layout, [&](int, int) {
      return uniform ? same : QMargins(between(least, 3), between(least, 3), between(least, 3), between(least, 3));
    });
    SCOPED_TRACE("round " + std::to_string(round));
    const std::optional<TGridGuess> guess = DetectGrid(*drawn.Sheet);
    ASSERT_TRUE(guess);
    // A single row that is partly full has only as many columns as it has sprites.
    EXPECT_EQ(guess->Columns, layout.Rows == 1 ? layout.LastRow : layout.Columns);
    EXPECT_EQ(guess->Rows, layout.Rows);
    EXPECT_GE(guess->Left, 0);
    EXPECT_GE(guess->Top, 0);
    for (size_t i = 0; i < drawn.Sprites.size(); ++i) {
      const int c = int(i) % layout.Columns, r = int(i) / layout.Columns;
      EXPECT_TRUE(Cell(*guess, c, r).contains(drawn.Sprites[i])) << "sprite " << i;
    }
    if (uniform && guess->Columns > 1)
      EXPECT_EQ(guess->Width, layout.CellW + layout.Gutter);
    if (uniform && guess->Rows > 1)
      EXPECT_EQ(guess->Height, layout.CellH + layout.Gutter);
  }
}

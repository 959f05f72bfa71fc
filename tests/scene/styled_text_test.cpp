#include <gtest/gtest.h>

#include <QFontMetrics>
#include <chrono>

#include "platform/surface.h"
#include "scene/styled_text.h"

namespace {

TEST(StyledText, PrefixSetsFontStyleAndAlignment)
{
  struct Case
  {
    std::string styled, font, text;
    int style, alignment;
  };
  const std::vector<Case> cases = {
      {"Arial@bc@Hi", "Arial", "Hi", fsBold, taCentered},
      {"Arial@Hi", "Arial", "Hi", 0, taLeft},
      {"Hi", "Tempus Sans ITC", "Hi", 0, taLeft},
      {"Arial@cr@Hi", "Arial", "Hi", 0, taCentered},
      {" Arial @ r iusB @a@b c", "Arial", "a@b c", fsItalic | fsUnderline | fsStrikeout, taRight},
      {"@b@x", "Tempus Sans ITC", "x", fsBold, taLeft},
  };
  for (const Case &c : cases) {
    std::string text = c.styled;
    TTextStyle style = ParseStyle(text);
    EXPECT_EQ(style.FontName, c.font) << c.styled;
    EXPECT_EQ(text, c.text) << c.styled;
    EXPECT_EQ(style.Style, c.style) << c.styled;
    EXPECT_EQ(style.Alignment, c.alignment) << c.styled;
  }
}

std::vector<std::string> Wrap(const std::string &text, int maxWidth, bool measure = false, int size = 14)
{
  std::vector<std::string> lines;
  WrapText(lines, text, BreakChars, size, measure, maxWidth);
  return lines;
}

TEST(StyledText, WrapBreaksAfterBreakCharacters)
{
  EXPECT_EQ(Wrap("Hello, world", 7), (std::vector<std::string>{"Hello,", "world"}));
  EXPECT_EQ(Wrap("Hi!  ", 40), (std::vector<std::string>{"Hi!"}));
  EXPECT_EQ(Wrap("one two three", 8), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(Wrap("a-b+c", 2), (std::vector<std::string>{"a-", "b+", "c"}));
  EXPECT_EQ(Wrap("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"})) << "a long word is cut";
  EXPECT_EQ(Wrap("abc", 0), (std::vector<std::string>{"a", "b", "c"})) << "each piece keeps one character";
  EXPECT_EQ(Wrap("  abc", 1), (std::vector<std::string>{"a", "b", "c"})) << "leading blanks cost no character";
  EXPECT_TRUE(Wrap("   ", 10).empty());
}

TEST(StyledText, MeasuredWrapUsesTheTextsFont)
{
  const QFontMetrics metrics(StyleFont(TTextStyle{"Arial", fsBold, taLeft}, 14));
  const int helloWidth = metrics.horizontalAdvance("Hello,");
  const std::vector<std::string> lines = Wrap("Arial@b@Hello, world", helloWidth + 2, true);
  EXPECT_EQ(lines, (std::vector<std::string>{"Hello,", "world"}));

  // A word wider than the line is cut into pieces that each fit, and nothing is lost.
  const std::string word(60, 'W');
  const int narrow = metrics.horizontalAdvance("WWWW");
  std::string joined;
  for (const std::string &piece : Wrap("Arial@b@" + word, narrow, true)) {
    EXPECT_GE(piece.size(), 1u);
    EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(piece)), narrow);
    joined += piece;
  }
  EXPECT_EQ(joined, word);

  // A long text with many words is wrapped without growing work per word.
  std::string longText;
  for (int i = 0; i < 20000; ++i)
    longText += "word ";
  EXPECT_GT(Wrap(longText, 300, true).size(), 100u);

  // So is one very long word (a text actor's text comes straight from its file): it is cut into
  // lines without measuring the rest of the word for every line.
  const std::string huge(200000, 'W');
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> pieces = Wrap("Arial@b@" + huge, 590, true);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  size_t total = 0;
  for (const std::string &piece : pieces)
    total += piece.size();
  EXPECT_EQ(total, huge.size());
  EXPECT_GT(pieces.size(), 1000u);
}

TEST(StyledText, ShadowKeepsBlue)
{
  EXPECT_EQ(ShadowColour(0xFFFFFF), 0x0000FF);
  EXPECT_EQ(ShadowColour(0xFFFF00), 0x000000);
  EXPECT_EQ(ShadowColour(0x404040), 0xFFFF40);
  EXPECT_EQ(ShadowColour(0x10E110), 0x000010);
}

TEST(StyledText, ChatLinesStackUpwardsAndStayOnTheCanvas)
{
  const std::vector<QPoint> tops = ChatLinePositions({40, 40, 40}, 20, 100, 100, 640);
  EXPECT_EQ(tops, (std::vector<QPoint>{{80, 60}, {80, 80}, {80, 100}}));
  EXPECT_EQ(ChatLinePositions({100}, 20, 10, 0, 640)[0].x(), 0);
  EXPECT_EQ(ChatLinePositions({100}, 20, 630, 0, 640)[0].x(), 540);

  std::vector<TDrawText> deferred;
  DrawChatText(&deferred, "hello", 0xFFFFFF, 5, 6, {});
  DrawChatText(&deferred, "   ", 0xFFFFFF, 5, 6, {});
  ASSERT_EQ(deferred.size(), 1u);
  EXPECT_EQ(deferred[0].X, 6);
}

TEST(StyledText, TextActorLinesAreAlignedAroundThePoint)
{
  TSurface target;
  ASSERT_TRUE(target.SetSize(640, 480));
  const TTextArea area{&target, 640, 480, 50};
  auto left = DrawStyledText("Arial@@one two three four", 200, 100, true, false, 1.0, 0xFFFFFF, area);
  ASSERT_TRUE(left);
  ASSERT_EQ(left->size(), 1u) << "without word wrap the line may be 100000 wide";
  EXPECT_EQ(left->front().topLeft(), QPoint(0, 0));

  auto centred = DrawStyledText("Arial@c@one two three four five six", 300, 200, false, true, 1.0, 0xFFFFFF,
                                TTextArea{&target, 200, 480, 50});
  ASSERT_TRUE(centred);
  const int n = static_cast<int>(centred->size());
  ASSERT_GT(n, 1);
  const int h = centred->front().height();
  for (int i = 0; i < n; ++i) {
    const QRect &r = (*centred)[i];
    EXPECT_EQ(r.top(), -(n - i) * h + (n * h) / 2);
    EXPECT_GE(r.left() + 300, 50) << "word-wrapped lines stay inside the scene";
    EXPECT_LE(r.left() + 300 + r.width(), 200);
  }

  auto right = DrawStyledText("Arial@r@x", 300, 10, false, false, 1.5, 0x000000, area);
  ASSERT_TRUE(right);
  EXPECT_EQ(right->front().right() + 1, 0) << "right-aligned text ends at x";
  EXPECT_FALSE(DrawStyledText("x", 0, 0, false, false, 1, 0, TTextArea{}));
  // Whatever font stands in for Arial, the first line's rectangle holds drawn pixels.
  const QRect line = left->front().translated(200, 100);
  int drawn = 0;
  for (int y = line.top(); y <= line.bottom(); ++y)
    for (int x = line.left(); x <= line.right(); ++x)
      drawn += target.Pixel(x, y) != 0;
  EXPECT_GT(drawn, 0) << "something was drawn";
}

} // namespace

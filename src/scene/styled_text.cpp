#include "scene/styled_text.h"

#include <QFontMetrics>
#include <QPoint>
#include <algorithm>

#include "core/helpers.h"
#include "core/qt_text.h"
#include "platform/surface.h"
#include "platform/surface_canvas.h"

namespace {

bool IsBlank(char c)
{
  return static_cast<unsigned char>(c) <= 32;
}

std::string TrimRight(const std::string &s)
{
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1]))
    --end;
  return s.substr(0, end);
}

bool OnlyBlanks(const std::string &s, size_t from)
{
  for (size_t i = from; i < s.size(); ++i)
    if (!IsBlank(s[i]))
      return false;
  return true;
}

QRgb Rgb(int colour)
{
  return 0xFF000000u | (static_cast<unsigned>(colour) & 0xFFFFFFu);
}

// The width of s without its trailing blanks: in pixels with metrics, else in characters.
int TextWidth(const std::optional<QFontMetrics> &metrics, const std::string &s)
{
  const std::string trimmed = TrimRight(s);
  return metrics ? metrics->horizontalAdvance(ToQt(trimmed)) : static_cast<int>(trimmed.size());
}

// Appends s without its trailing blanks, unless nothing is left.
void EmitLine(std::vector<std::string> &lines, const std::string &s)
{
  std::string trimmed = TrimRight(s);
  if (!trimmed.empty())
    lines.push_back(std::move(trimmed));
}

// Finds where the piece of text starting at a position ends: just after the first break
// character at or after it, or at the text's end.
class TBreakFinder
{
public:
  TBreakFinder(const std::string &text, const std::string &breakChars) : Text(text), Breaks(breakChars) {}

  // pos must never decrease between calls.
  size_t PieceEnd(size_t pos)
  {
    // pos only grows, so a break found earlier stays the first one until pos passes it.
    if (!BreakFound || (NextBreak != std::string::npos && NextBreak < pos)) {
      NextBreak = Text.find_first_of(Breaks, pos);
      BreakFound = true;
    }
    return NextBreak == std::string::npos ? Text.size() : NextBreak + 1;
  }

private:
  const std::string &Text;
  const std::string &Breaks;
  size_t NextBreak = std::string::npos; // the first break character at or after pos, once found
  bool BreakFound = false;
};

// The line so far followed by the next piece of the text (Text from Start to End), read
// without joining them.
struct TCandidate
{
  const std::string &Line;
  const std::string &Text;
  size_t Start;
  size_t End;

  size_t Size() const { return Line.size() + (End - Start); }
  // The first k characters of the line and the piece.
  std::string Prefix(size_t k) const
  {
    return k <= Line.size() ? Line.substr(0, k) : Line + Text.substr(Start, k - Line.size());
  }
};

// The length of a prefix of candidate wider than maxWidth, or 0 when it all fits. Widths grow
// with length: prefixes of doubling length find where the line stops fitting, so a long word is
// measured only as far as matters, not whole for every piece cut off it.
size_t FirstTooWide(const std::optional<QFontMetrics> &metrics, const TCandidate &candidate, int maxWidth)
{
  const size_t full = candidate.Size();
  for (size_t n = std::min<size_t>(full, 64);; n = std::min(full, n * 2)) {
    if (TextWidth(metrics, candidate.Prefix(n)) > maxWidth)
      return n;
    if (n == full)
      return 0;
  }
}

// The length of the longest prefix of candidate shorter than tooWide that fits maxWidth, found
// by bisection; 1 when none does, so that every line takes at least one character.
size_t FittingLength(const std::optional<QFontMetrics> &metrics, const TCandidate &candidate, size_t tooWide,
                     int maxWidth)
{
  size_t low = 2, high = tooWide - 1;
  size_t k = 1;
  while (low <= high && high >= 2) {
    const size_t mid = low + (high - low) / 2;
    if (TextWidth(metrics, candidate.Prefix(mid)) <= maxWidth) {
      k = mid;
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return k;
}

} // namespace

TTextStyle ParseStyle(std::string &text)
{
  TTextStyle style;
  const size_t first = text.find('@');
  if (first == std::string::npos)
    return style;
  const size_t second = text.find('@', first + 1);
  std::string font = TrimControl(text.substr(0, first));
  std::string letters;
  if (second == std::string::npos) {
    text.erase(0, first + 1);
  } else {
    letters = TrimControl(text.substr(first + 1, second - first - 1));
    text.erase(0, second + 1);
  }
  if (!font.empty())
    style.FontName = font;
  auto has = [&letters](char c) { return letters.find(c) != std::string::npos; };
  style.Style =
      (has('b') ? fsBold : 0) | (has('i') ? fsItalic : 0) | (has('u') ? fsUnderline : 0) | (has('s') ? fsStrikeout : 0);
  style.Alignment = has('c') ? taCentered : has('r') ? taRight : taLeft;
  return style;
}

QFont StyleFont(const TTextStyle &style, int size)
{
  QFont font(ToQt(style.FontName));
  if (size >= 1)
    font.setPointSize(size);
  font.setBold(style.Style & fsBold);
  font.setItalic(style.Style & fsItalic);
  font.setUnderline(style.Style & fsUnderline);
  font.setStrikeOut(style.Style & fsStrikeout);
  return font;
}

int ShadowColour(int colour)
{
  const int r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
  return (r > 224 || g > 224) ? b : (0xFFFF00 | b);
}

void WrapText(std::vector<std::string> &lines, std::string styledText, const std::string &breakChars, int fontSize,
              bool measure, int maxWidth)
{
  std::optional<QFontMetrics> metrics;
  if (measure) {
    const TTextStyle style = ParseStyle(styledText);
    metrics.emplace(StyleFont(style, fontSize));
  }

  // The text still to place starts at pos; it is never copied, so long texts stay linear.
  const std::string &text = styledText;
  TBreakFinder breaks(text, breakChars);
  size_t pos = 0;
  std::string line;
  while (!OnlyBlanks(text, pos)) {
    const TCandidate candidate{line, text, pos, breaks.PieceEnd(pos)};
    const size_t tooWide = FirstTooWide(metrics, candidate, maxWidth);
    if (tooWide == 0) {
      line += text.substr(pos, candidate.End - pos);
      pos = candidate.End;
      if (OnlyBlanks(text, pos))
        EmitLine(lines, line);
      continue;
    }
    if (TrimRight(line).empty()) {
      // One word wider than the line: cut it where it still fits.
      const size_t k =
          metrics ? FittingLength(metrics, candidate, tooWide, maxWidth) : static_cast<size_t>(std::max(maxWidth, 1));
      EmitLine(lines, candidate.Prefix(std::min(k, candidate.Size())));
      // Only the characters taken from the text leave it; blanks carried in the line do not.
      // When the piece was only those blanks, the next pass starts an empty line on the word.
      pos += k > line.size() ? k - line.size() : 0;
    } else {
      EmitLine(lines, line);
    }
    line.clear();
  }
}

std::vector<QPoint> ChatLinePositions(const std::vector<int> &widths, int lineHeight, int x, int y, int canvasWidth)
{
  std::vector<QPoint> positions;
  const int n = static_cast<int>(widths.size());
  for (int i = 0; i < n; ++i) {
    const int left = std::max(0, std::min(x - widths[i] / 2, canvasWidth - widths[i]));
    positions.emplace_back(left, y - (n - 1 - i) * lineHeight);
  }
  return positions;
}

void DrawChatText(std::vector<TDrawText> *defer, const std::string &text, int colour, int y, int x,
                  const TTextArea &area)
{
  if (TrimControl(text).empty())
    return;
  if (defer) {
    defer->push_back({text, x, y, colour});
    return;
  }
  if (!area.Target || area.Target->IsEmpty() || x < 0 || x > area.Width)
    return;
  std::vector<std::string> lines;
  WrapText(lines, std::string(DefaultTextFont) + "@b@" + text, BreakChars, ChatFontSize, true, area.Width);

  TSurfaceCanvas canvas(*area.Target);
  TTextStyle style;
  style.Style = fsBold;
  canvas.SetFont(StyleFont(style, ChatFontSize));
  const int lineHeight = canvas.TextExtent(" ").height();
  const QRect clip(0, 0, area.Width, area.Height);
  std::vector<int> widths;
  for (const std::string &line : lines)
    widths.push_back(canvas.TextExtent(ToQt(line)).width());
  const std::vector<QPoint> positions = ChatLinePositions(widths, lineHeight, x, y, area.Width);
  for (size_t i = 0; i < lines.size(); ++i) {
    const QString line = ToQt(lines[i]);
    canvas.SetTextColor(Rgb(ShadowColour(colour)));
    canvas.TextOut(positions[i].x() + 1, positions[i].y() + 1, line, clip);
    canvas.SetTextColor(Rgb(colour));
    canvas.TextOut(positions[i].x(), positions[i].y(), line, clip);
  }
}

std::optional<std::vector<QRect>> DrawStyledText(const std::string &styledText, int x, int y, bool shade, bool wordWrap,
                                                 double zoom, int colour, const TTextArea &area)
{
  if (!area.Target || area.Target->IsEmpty())
    return std::nullopt;
  const int size = FloorEps(14 * zoom);
  std::string text = styledText;
  const TTextStyle style = ParseStyle(text);
  const int maxWidth = wordWrap ? area.Width - area.SceneLeft : 100000;
  std::vector<std::string> lines;
  WrapText(lines, styledText, BreakChars, size, true, maxWidth);

  TSurfaceCanvas canvas(*area.Target);
  canvas.SetFont(StyleFont(style, size));
  const int h = canvas.TextExtent(" ").height();
  const QRect clip(0, 0, area.Width, area.Height);
  const int n = static_cast<int>(lines.size());
  std::vector<QRect> rects;
  rects.reserve(lines.size());
  for (int i = 0; i < n; ++i) {
    const QString line = ToQt(lines[i]);
    const int w = canvas.TextExtent(line).width();
    int left = x;
    int top = y + i * h;
    if (style.Alignment == taRight) {
      left = x - w;
    } else if (style.Alignment == taCentered) {
      left = x - w / 2;
      top = y - (n - i) * h + (n * h) / 2;
    }
    if (wordWrap)
      left = std::max(area.SceneLeft, std::min(left, area.Width - w));
    // Lines wholly outside the scene are measured but not drawn.
    if (top + h > 0 && top < area.Height) {
      if (shade) {
        canvas.SetTextColor(Rgb(ShadowColour(colour)));
        canvas.TextOut(left + 1, top + 1, line, clip);
      }
      canvas.SetTextColor(Rgb(colour));
      canvas.TextOut(left, top, line, clip);
    }
    rects.emplace_back(left - x, top - y, w, h);
  }
  return rects;
}

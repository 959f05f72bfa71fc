// Text in the scene: the styled-string prefix ("font@letters@text"), the line breaker, chat
// lines of characters (bold, shadowed, centred, stacked upwards) and text actors.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

class TSurface;

inline constexpr const char *DefaultTextFont = "Tempus Sans ITC";
inline constexpr const char *BreakChars = " .,;+-?!";
inline constexpr int ChatFontSize = 14;

enum TFontStyleBits { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeout = 8 };
enum TTextAlignment { taLeft = -1, taCentered = 0, taRight = 1 };

struct TTextStyle
{
  std::string FontName = DefaultTextFont;
  int Style = 0; // TFontStyleBits combined
  int Alignment = taLeft;
};

// A chat text drawn after all actors, so that it lies on top of them.
struct TDrawText
{
  std::string Text;
  int X = 0;
  int Y = 0;
  int Colour = 0xFFFFFF; // 0xRRGGBB
};

// Where text is drawn: the scene's draw target and the canvas geometry.
struct TTextArea
{
  TSurface *Target = nullptr;
  int Width = 0;     // canvas width W
  int Height = 0;    // scene height H
  int SceneLeft = 0; // left edge of the scene area (sprite strip's left + 50)
};

// Splits off the "font@letters@" prefix of text and returns what it sets.
TTextStyle ParseStyle(std::string &text);

// The font a style and size stand for; sizes below 1 keep the font's default size.
QFont StyleFont(const TTextStyle &style, int size);

// Appends the lines of styledText broken after break characters so that each fits maxWidth:
// pixel widths in the text's own font and size when measure is set (the prefix is then removed),
// else character counts of the text as it stands. A word wider than a line is cut where it fits.
void WrapText(std::vector<std::string> &lines, std::string styledText, const std::string &breakChars, int fontSize,
              bool measure, int maxWidth);

// The shadow colour of a text colour (both 0xRRGGBB).
int ShadowColour(int colour);

// Top-left corners of chat lines of the given widths: each centred on x and kept inside 0..W,
// the last line's top at y and earlier lines stacked above it.
std::vector<QPoint> ChatLinePositions(const std::vector<int> &widths, int lineHeight, int x, int y, int canvasWidth);

// A chat line: appended to defer when given, else drawn bold in the chat font, centred on x,
// with the top of its last line at y.
void DrawChatText(std::vector<TDrawText> *defer, const std::string &text, int colour, int y, int x,
                  const TTextArea &area);

// Draws a text actor's styled text at (x, y); returns the line rectangles relative to (x, y),
// or none when there is nothing to draw on.
std::optional<std::vector<QRect>> DrawStyledText(const std::string &styledText, int x, int y, bool shade, bool wordWrap,
                                                 double zoom, int colour, const TTextArea &area);

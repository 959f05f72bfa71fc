// Small text and number helpers shared by the file format, the model and the editor.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest integer not above x + 0.0001, saturated to the int range (NaN gives 0).
int FloorEps(double x);
// x within the integers: sums of positions and displacements saturate instead of overflowing.
inline int SaturatedInt(long long x)
{
  return int(x > 2147483647LL ? 2147483647LL : x < -2147483648LL ? -2147483648LL : x);
}
// FloorEps(x + 0.5).
int RoundHalfUp(double x);

std::string BoolToText(bool b);
// True exactly when s in lower case is "true".
bool TextToBool(const std::string &s);

// Exchanges the lowest and the third byte of a 24-bit colour (0xRRGGBB <-> 0xBBGGRR).
uint32_t SwapRedBlue(uint32_t color);

// Case-sensitive prefix test.
bool StartsWith(std::string_view prefix, std::string_view s);

// s without trailing spaces, line feeds and carriage returns.
std::string TrimTrailingBreaks(const std::string &s);
// A blank or a control character (codes 0 to 32): what the file's values are trimmed by.
inline bool IsControlOrSpace(char c)
{
  return static_cast<unsigned char>(c) <= 32;
}
// s without characters of codes 0 to 32 at both ends.
std::string TrimControl(const std::string &s);
std::string_view TrimControlView(std::string_view s);

std::string LowerCase(std::string s);

// Bytes up to the next line feed or the end, without the line feed and without carriage returns.
std::string ReadLine(std::istream &stream);

// Trims s, then cuts it at single spaces into words, trimming the rest after each word.
std::vector<std::string> SplitWords(std::string_view s);
// The same words as views into s, at most capacity of them stored; returns how many words s has,
// counting no further than capacity + 1 (so "more than capacity" shows without cutting them all).
size_t SplitWords(std::string_view s, std::string_view *words, size_t capacity);

// A file name's last path component ("/" or "\" separated), lower-cased.
std::string ExtractKey(const std::string &name);

// Integer text: optional sign and decimal digits, or "$" and hexadecimal digits; must fit 32 bits.
std::optional<int> ParseInt(std::string_view text);
// Real text: optional sign, digits with an optional "." and fraction, optional exponent.
std::optional<double> ParseReal(std::string_view text);

#include "core/helpers.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

int FloorEps(double x)
{
  if (std::isnan(x))
    return 0;
  double f = std::floor(x + 0.0001);
  if (f >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (f <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(f);
}

int RoundHalfUp(double x)
{
  return FloorEps(x + 0.5);
}

std::string BoolToText(bool b)
{
  return b ? "true" : "false";
}

bool TextToBool(const std::string &s)
{
  return LowerCase(s) == "true";
}

uint32_t SwapRedBlue(uint32_t color)
{
  return (color & 0xFF00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
}

bool StartsWith(std::string_view prefix, std::string_view s)
{
  return s.substr(0, prefix.size()) == prefix;
}

std::string TrimTrailingBreaks(const std::string &s)
{
  size_t end = s.size();
  while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\n' || s[end - 1] == '\r'))
    --end;
  return s.substr(0, end);
}

std::string_view TrimControlView(std::string_view s)
{
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && IsControlOrSpace(s[begin]))
    ++begin;
  while (end > begin && IsControlOrSpace(s[end - 1]))
    --end;
  return s.substr(begin, end - begin);
}

std::string TrimControl(const std::string &s)
{
  return std::string(TrimControlView(s));
}

std::string LowerCase(std::string s)
{
  for (char &c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string ReadLine(std::istream &stream)
{
  std::string line;
  char c;
  while (stream.get(c)) {
    if (c == '\n')
      break;
    if (c != '\r')
      line.push_back(c);
  }
  return line;
}

// Calls word(view) for each word of s, as SplitWords cuts them, while it returns true.
template <typename Visit> static void ForEachWord(std::string_view s, Visit word)
{
  size_t begin = 0;
  size_t end = s.size();
  while (end > 0 && IsControlOrSpace(s[end - 1]))
    --end;
  while (begin < end && IsControlOrSpace(s[begin]))
    ++begin;
  // Each word runs to the next space; the rest is trimmed again before the next word.
  while (begin < end) {
    // Words are short: a plain scan beats a library search here.
    size_t space = begin;
    while (space < end && s[space] != ' ')
      ++space;
    if (!word(s.substr(begin, space - begin)))
      return;
    begin = space;
    while (begin < end && IsControlOrSpace(s[begin]))
      ++begin;
  }
}

std::vector<std::string> SplitWords(std::string_view s)
{
  std::vector<std::string> words;
  words.reserve(4);
  ForEachWord(s, [&words](std::string_view word) {
    words.emplace_back(word);
    return true;
  });
  return words;
}

size_t SplitWords(std::string_view s, std::string_view *words, size_t capacity)
{
  size_t count = 0;
  ForEachWord(s, [&](std::string_view word) {
    if (count < capacity)
      words[count] = word;
    return ++count <= capacity;
  });
  return count;
}

std::string ExtractKey(const std::string &name)
{
  size_t cut = name.find_last_of("/\\");
  return LowerCase(cut == std::string::npos ? name : name.substr(cut + 1));
}

std::optional<int> ParseInt(std::string_view text)
{
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  }
  if (i >= text.size())
    return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && std::isxdigit(c))
      digit = std::tolower(c) - 'a' + 10;
    else
      return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
    // Hexadecimal text may spell the full 32-bit pattern ($FFFFFFFF is -1).
    if (value > (hex ? 0xFFFFFFFFLL : 2147483648LL))
      return std::nullopt;
  }
  if (hex && value > INT_MAX)
    value -= 0x100000000LL;
  if (negative)
    value = -value;
  if (value > INT_MAX || value < INT_MIN)
    return std::nullopt;
  return static_cast<int>(value);
}

std::optional<double> ParseReal(std::string_view text)
{
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-'))
    ++i;
  size_t digits = 0;
  while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
    ++i;
    ++digits;
  }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0)
    return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
      ++i;
    size_t exponentDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      ++exponentDigits;
    }
    if (exponentDigits == 0)
      return std::nullopt;
  }
  if (i != n)
    return std::nullopt;
  // from_chars ignores the C locale, so "." is always the decimal separator; it rejects a "+".
  const char *first = text.data();
  if (*first == '+')
    ++first;
  double value = 0;
  auto result = std::from_chars(first, text.data() + n, value);
  if (result.ec != std::errc() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

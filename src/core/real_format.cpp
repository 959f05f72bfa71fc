#include "core/real_format.h"

#include <charconv>
#include <cmath>

std::string FormatReal(double value)
{
  if (value == 0 || !std::isfinite(value))
    return "0";
  char buffer[64];
  // In the fixed range, the shortest text that reads back as the value is the answer whenever
  // it has at most 15 significant digits (rounding to 15 digits cannot change it then).
  const double magnitude = std::fabs(value);
  if (magnitude >= 0.00001 && magnitude < 1e15) {
    auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    int significant = 0;
    bool leading = true;
    for (const char *c = buffer; c < shortest.ptr; ++c) {
      if (*c < '0' || *c > '9')
        continue;
      if (*c != '0')
        leading = false;
      if (!leading)
        ++significant;
    }
    if (shortest.ec == std::errc() && significant <= 15)
      return std::string(buffer, shortest.ptr);
  }
  // d.dddddddddddddde±x: 15 significant digits, rounded.
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string text(buffer, result.ptr);
  std::string sign;
  if (text[0] == '-') {
    sign = "-";
    text.erase(0, 1);
  }
  size_t e = text.find('e');
  int exponent = std::stoi(text.substr(e + 1));
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  if (exponent < -5 || exponent >= 15) {
    std::string mantissa = digits.substr(0, 1);
    if (digits.size() > 1)
      mantissa += "." + digits.substr(1);
    return sign + mantissa + "E" + std::to_string(exponent);
  }
  std::string fixed;
  if (exponent < 0) {
    fixed = "0." + std::string(-exponent - 1, '0') + digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole)
      fixed = digits + std::string(whole - digits.size(), '0');
    else
      fixed = digits.substr(0, whole) + "." + digits.substr(whole);
  }
  return sign + fixed;
}

// value / 16 as FormatReal writes it: sixteenths have at most four decimals and, for any int,
// at most 14 significant digits, so the exact fixed form is always the one written.
std::string FormatSixteenths(int value)
{
  const long long v = value;
  const unsigned long long magnitude = static_cast<unsigned long long>(v < 0 ? -v : v);
  std::string text = v < 0 ? "-" : "";
  text += std::to_string(magnitude / 16);
  if (const unsigned fraction = static_cast<unsigned>(magnitude % 16) * 625) {
    char digits[5] = {char('0' + fraction / 1000), char('0' + fraction / 100 % 10), char('0' + fraction / 10 % 10),
                      char('0' + fraction % 10), 0};
    int length = 4;
    while (digits[length - 1] == '0')
      --length;
    text += '.';
    text.append(digits, static_cast<size_t>(length));
  }
  return text;
}

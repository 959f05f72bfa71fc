#include "cli/byte_names.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[i] and its code point; 0 when it is not one
// (overlong forms, encoded surrogates and code points past U+10FFFF are not).
size_t Utf8Sequence(const std::string &bytes, size_t i, char32_t &code)
{
  const unsigned char lead = static_cast<unsigned char>(bytes[i]);
  size_t length;
  char32_t least;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (bytes.size() - i < length)
    return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
    if ((next & 0xC0) != 0x80)
      return 0;
    code = code << 6 | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return length;
}

void AppendUtf8(std::string &out, char32_t code)
{
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | code >> 6);
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | code >> 12);
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | code >> 18);
    out += char(0x80 | (code >> 12 & 0x3F));
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

} // namespace

QString NameToQt(const std::string &bytes)
{
  QString text;
  text.reserve(qsizetype(bytes.size()));
  for (size_t i = 0; i < bytes.size();) {
    char32_t code;
    const size_t length = Utf8Sequence(bytes, i, code);
    if (length == 0) {
      text += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes[i])));
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      text += QChar(QChar::highSurrogate(code));
      text += QChar(QChar::lowSurrogate(code));
    } else {
      text += QChar(char16_t(code));
    }
    i += length;
  }
  return text;
}

std::string NameFromQt(const QString &text)
{
  std::string out;
  out.reserve(size_t(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
      AppendUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
      ++i;
    } else if (unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF) {
      out += char(unit - EscapeBase);
    } else {
      // Any other lone surrogate comes from no name; it is kept in the same three bytes.
      AppendUtf8(out, unit);
    }
  }
  return out;
}

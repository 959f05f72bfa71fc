// File names are bytes: any byte but NUL, UTF-8 or not. They travel through Qt (the argument
// parser, JSON) as QStrings that keep every byte: valid UTF-8 decodes as usual, and each byte that
// is not part of valid UTF-8 becomes the lone surrogate U+DC00 + byte, which no decoded text holds
// (the "surrogateescape" form, which Python's os.fsencode turns back into the bytes). JSON written
// by Qt shows such a byte as the escape \udcXX.
#pragma once

#include <QString>
#include <string>

QString NameToQt(const std::string &bytes);
std::string NameFromQt(const QString &text);

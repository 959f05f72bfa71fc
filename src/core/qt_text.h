// Where document text and file names meet Qt: documents hold single-byte (Latin-1) strings,
// file names are the file system's 8-bit paths.
#pragma once

#include <QString>
#include <string>

QString ToQt(const std::string &text);
std::string FromQt(const QString &text);
QString PathToQt(const std::string &path);
std::string PathFromQt(const QString &path);

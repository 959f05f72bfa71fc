#include "core/qt_text.h"

#include <QFile>

QString ToQt(const std::string &text)
{
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString &text)
{
  return text.toLatin1().toStdString();
}

QString PathToQt(const std::string &path)
{
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQt(const QString &path)
{
  return QFile::encodeName(path).toStdString();
}

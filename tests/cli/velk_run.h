// Runs the built velk program as a script or an asset pipeline would.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

struct VelkResult
{
  int Code = -1; // -1 when velk did not finish in time (it is then killed)
  QByteArray Out, Err;
};

// Runs velk with args, each passed as the bytes it stands for (cli/byte_names.h). Its standard
// output goes to standardOutputFile when one is given, else it is captured; childSetUp runs in the
// child before velk starts. A run still going after timeoutMs is killed.
VelkResult RunVelk(const QStringList &args, const QString &standardOutputFile = {}, int timeoutMs = 30000,
                   const std::function<void()> &childSetUp = {});

inline QString Q(const std::string &text)
{
  return QString::fromStdString(text);
}

#include "velk_run.h"

#include <QProcess>

VelkResult RunVelk(const QStringList &args, const QString &standardOutputFile, int timeoutMs,
                   const std::function<void()> &childSetUp)
{
  QProcess process;
  if (!standardOutputFile.isEmpty())
    process.setStandardOutputFile(standardOutputFile);
  if (childSetUp)
    process.setChildProcessModifier(childSetUp);
  process.start(ZELTRIX_VELK_BINARY, args);
  const bool finished = process.waitForFinished(timeoutMs);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

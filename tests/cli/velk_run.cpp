#include "velk_run.h"

#include <QProcess>
#include <unistd.h>
#include <vector>

#include "cli/byte_names.h"

VelkResult RunVelk(const QStringList &args, const QString &standardOutputFile, int timeoutMs,
                   const std::function<void()> &childSetUp)
{
  // QProcess passes arguments as UTF-8, which not every file name is: the child executes velk
  // itself, with each argument's bytes (cli/byte_names.h).
  std::vector<std::string> bytes{ZELTRIX_VELK_BINARY};
  for (const QString &arg : args)
    bytes.push_back(NameFromQt(arg));
  std::vector<char *> argv;
  for (std::string &arg : bytes)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  QProcess process;
  if (!standardOutputFile.isEmpty())
    process.setStandardOutputFile(standardOutputFile);
  process.setChildProcessModifier([&] {
    if (childSetUp)
      childSetUp();
    ::execv(argv[0], argv.data());
    ::_exit(127);
  });
  process.start(ZELTRIX_VELK_BINARY, args);
  const bool finished = process.waitForFinished(timeoutMs);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

// Where velk's output goes when it cannot be written, or goes to a device or a FIFO.
#include <gtest/gtest.h>

#include <QProcess>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

const QString Game = Q(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
const QString Walk = Game + "/walk.velk";

mode_t FileType(const std::string &path)
{
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

TEST(VelkOutput, AFullStandardOutputIsReported)
{
  for (const QStringList &args : {QStringList{"fmt", Walk}, QStringList{"dump", Walk}, QStringList{"index", Game},
                                  QStringList{"state", Walk, "--time", "3"}, QStringList{"image", Game + "/body.png"},
                                  QStringList{"dump", "--help"}}) {
    const VelkResult result = RunVelk(args, "/dev/full");
    EXPECT_EQ(result.Code, 1) << args.join(' ').toStdString();
    EXPECT_EQ(result.Err.toStdString(), "velk: cannot write standard output: No space left on device\n");
  }
}

TEST(VelkOutput, DevicesAndFifosAreWrittenIntoNotReplaced)
{
  const QByteArray text = RunVelk({"fmt", Walk}).Out;
  ASSERT_FALSE(text.isEmpty());
  EXPECT_EQ(RunVelk({"fmt", Walk, "-o", "/dev/null"}).Code, 0);
  EXPECT_EQ(FileType("/dev/null"), S_IFCHR);

  TempDir dir;
  const std::string fifo = dir.Path() + "/out.velk";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The reader waits for velk to open the FIFO; it is killed if velk never does.
  QProcess reader;
  reader.start("cat", {Q(fifo)});
  ASSERT_TRUE(reader.waitForStarted());
  EXPECT_EQ(RunVelk({"fmt", Walk, "-o", Q(fifo)}, {}, 10000).Code, 0);
  EXPECT_TRUE(reader.waitForFinished(10000));
  EXPECT_EQ(reader.readAllStandardOutput(), text);
  EXPECT_EQ(FileType(fifo), S_IFIFO);
}

TEST(VelkOutput, AFailedRenderSaysWhyAndKeepsTheOldFile)
{
  TempDir dir;
  const std::string old = dir.Write("old.png", "the old picture");
  // A file size limit below any PNG makes writing the new file fail, as a full disk would.
  const auto smallFiles = [] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  struct Case
  {
    std::string Out, Message;
    std::function<void()> ChildSetUp;
  };
  for (const Case &c :
       {Case{dir.Path() + "/missing/x.png",
             "cannot create a file in " + dir.Path() + "/missing: No such file or directory", nullptr},
        Case{"/dev/full", "No space left on device", nullptr}, Case{old, "File too large", smallFiles}}) {
    const VelkResult result = RunVelk({"render", Walk, "-o", Q(c.Out)}, {}, 30000, c.ChildSetUp);
    EXPECT_EQ(result.Code, 1) << c.Out;
    EXPECT_EQ(result.Err.toStdString(), "velk: cannot write " + c.Out + ": " + c.Message + "\n");
  }
  EXPECT_EQ(ReadWholeFile(old), "the old picture");
  EXPECT_EQ(FileType("/dev/full"), S_IFCHR);
}

} // namespace

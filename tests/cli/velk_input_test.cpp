// What velk says about a FILE it cannot read and a --time it cannot take.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

const QString Walk = Q(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/walk.velk");

// Every subcommand that reads a FILE, with the arguments it needs besides.
struct Command
{
  QString Name;
  QStringList Options;
  std::string Extension;
  std::string BareName; // not in the game folder
};

std::vector<Command> FileCommands(const TempDir &dir)
{
  return {{"dump", {}, ".velk", "nosuch"},
          {"fmt", {}, ".velk", "nosuch"},
          {"state", {"--time", "0"}, ".velk", "nosuch"},
          {"render", {"-o", Q(dir.Path() + "/out.png")}, ".velk", "nosuch"},
          {"image", {}, ".png", "nosuch.png"}};
}

TEST(VelkInput, AnUnreadableFileIsReportedWithItsReason)
{
  TempDir dir;
  for (const Command &command : FileCommands(dir)) {
    const std::string fifo = dir.Path() + "/" + command.Name.toStdString() + command.Extension;
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (auto [name, reason] : {std::pair{dir.Path() + "/missing" + command.Extension, "No such file or directory"},
                                {fifo, "not a regular file"},
                                {command.BareName, "not found in the game folder"}}) {
      // A FIFO is refused at once: a velk that waited for a writer is killed and fails here.
      const VelkResult result =
          RunVelk(QStringList{command.Name, "--game-dir", Q(dir.Path()), Q(name)} + command.Options, {}, 10000);
      EXPECT_EQ(result.Code, 1) << command.Name.toStdString() << " " << name;
      EXPECT_EQ(result.Err.toStdString(), "velk: cannot read " + name + ": " + reason + "\n");
      EXPECT_TRUE(result.Out.isEmpty());
    }
  }
}

TEST(VelkInput, TimeIsAWholeNumberOfTicksThatFits)
{
  TempDir dir;
  const QString png = Q(dir.Path() + "/out.png");
  for (const QStringList &command : {QStringList{"state", Walk}, QStringList{"render", Walk, "-o", png}}) {
    for (auto [time, message] : {std::pair{"-1", "--time needs a whole number of ticks, 0 or more"},
                                 {"soon", "--time needs a whole number of ticks, 0 or more"},
                                 {"99999999999", "--time must be at most 2147483647 ticks"},
                                 {"99999999999999999999999", "--time must be at most 2147483647 ticks"}}) {
      const VelkResult result = RunVelk(command + QStringList{"--time", time});
      EXPECT_EQ(result.Code, 2) << command.first().toStdString() << " --time " << time;
      EXPECT_EQ(result.Err.toStdString(), std::string("velk: ") + message + "\n");
    }
    const VelkResult largest = RunVelk(command + QStringList{"--time", "2147483647"});
    EXPECT_EQ(largest.Code, 0) << command.first().toStdString() << largest.Err.toStdString();
  }
}

} // namespace

namespace {

// Misused options and environments: each is refused, or ignored, with its own message.
TEST(VelkInput, UsageErrorsNameTheirCause)
{
  TempDir dir;
  const auto xcb = [] { ::setenv("QT_QPA_PLATFORM", "xcb", 1); };
  const auto noInput = [] {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, 0);
  };
  struct Case
  {
    QStringList Args;
    std::function<void()> ChildSetUp;
    int Code;
    std::string Err;
  };
  const Case cases[] = {
      {{"state", Walk}, nullptr, 2, "velk: --time T is required\n"},
      {{"--game-dir", Q(dir.Path()), "index", Q(dir.Path())},
       nullptr,
       2,
       "velk: index takes no --game-dir (its DIR is the game folder)\n"},
      {{"index", Q(dir.Path()), "--game-dir", Q(dir.Path())}, nullptr, 2, "velk: Unknown option 'game-dir'.\n"},
      {{"index", Q(dir.Path() + "/none")}, nullptr, 1, "velk: cannot read " + dir.Path() + "/none: no such folder\n"},
      {{"check", Walk, "--worker"}, nullptr, 2, "velk: Unknown option 'worker'.\n"},
      {{"--worker"}, noInput, 2, "velk: --worker is for the worker processes velk starts itself\n"},
      {{"dump", "--help-all"}, nullptr, 2, "velk: Unknown option 'help-all'.\n"},
      // velk needs no display: a platform asked for in the environment is not used.
      {{"dump", Walk}, xcb, 0, ""},
      {{"export", Walk, "-o", Q(dir.Path() + "/a.gif"), "--background", "Transparent"}, xcb, 0, ""},
      {{"export", Walk, "-o", Q(dir.Path() + "/b.gif"), "--background", "DarkBlue"}, nullptr, 0, ""},
  };
  for (const Case &c : cases) {
    const VelkResult result = RunVelk(c.Args, {}, 30000, c.ChildSetUp);
    EXPECT_EQ(result.Code, c.Code) << c.Args.join(' ').toStdString();
    EXPECT_EQ(result.Err.toStdString(), c.Err) << c.Args.join(' ').toStdString();
  }
}

} // namespace

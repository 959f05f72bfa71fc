// velk export interrupted at random moments, as Ctrl+C or a stopped CI job interrupts it: no
// temporary file is left, every animation's outputs are whole or absent, and velk dies of the
// signal (a shell shows 128 + the signal).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QJsonDocument>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "images/gif_animation.h"
#include "support/temp_dir.h"
#include "velk_run.h"

namespace fs = std::filesystem;

extern char **environ;

namespace {

constexpr int Animations = 120, Frames = 3;

// Starts velk with args, its output streams sent to /dev/null.
pid_t StartVelk(const std::vector<std::string> &args)
{
  std::vector<std::string> all{ZELTRIX_VELK_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &arg : all)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::map<std::string, std::vector<std::string>> OutputsByAnimation(const std::string &out, std::string &hidden)
{
  std::map<std::string, std::vector<std::string>> outputs;
  std::error_code error;
  for (fs::recursive_directory_iterator it(out, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name[0] == '.')
      hidden = it->path().string();
    else
      outputs[name.substr(0, name.find_first_of("-."))].push_back(it->path().string());
  }
  return outputs;
}

// Empty when every animation's outputs are whole or absent; else what is wrong.
std::string CheckOutputs(const std::string &format, const std::string &out)
{
  std::string hidden;
  const auto outputs = OutputsByAnimation(out, hidden);
  if (!hidden.empty())
    return "left behind: " + hidden;
  const size_t whole = format == "png" ? Frames : format == "sheet" ? 2 : 1;
  for (const auto &[animation, files] : outputs) {
    if (files.size() != whole)
      return animation + " has " + std::to_string(files.size()) + " of " + std::to_string(whole) + " outputs";
    for (const std::string &file : files) {
      const bool ok = file.size() > 5 && file.substr(file.size() - 5) == ".json"
                          ? !QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(file))).isNull()
                      : format == "gif" ? TGifAnimation(file).Damage.empty()
                                        : !QImage(Q(file)).isNull();
      if (!ok)
        return file + " is not whole";
    }
  }
  return {};
}

TEST(VelkInterrupted, LeavesNoTemporaryFileAndNoHalfOutputs)
{
  TempDir dir;
  std::string text = "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 shadow\nSPRITE 1 BODY 0 0 32 32 body\nANI\n";
  for (int frame = 0; frame < Frames; ++frame)
    for (int d = 0; d < 4; ++d)
      text += "1 " + std::to_string(frame) + " 0, 0 12 34\nWAIT 1\n";
  text += "ANIEND\n";
  for (int i = 0; i < Animations; ++i)
    dir.Write("anims/a" + std::to_string(i) + ".velk", text);
  const std::string game = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";

  std::random_device seeds;
  const unsigned seed = seeds();
  std::mt19937 random(seed);
  int interrupted = 0, tries = 0;
  for (const std::string format : {"png", "sheet", "gif"})
    for (const std::string jobs : {"1", "2"}) {
      const std::string out = dir.Path() + "/out";
      const std::vector<std::string> args = {"export", dir.Path() + "/anims", "-o", out, "--format", format, "--jobs",
                                             jobs,     "--game-dir",          game};
      // A whole run gives the span the signals fall in.
      QElapsedTimer timer;
      timer.start();
      int status = 0;
      waitpid(StartVelk(args), &status, 0);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << format;
      const int span = std::max<int>(int(timer.elapsed()), 20);
      for (int attempt = 0; attempt < 6; ++attempt, ++tries) {
        fs::remove_all(out);
        const int signal = attempt % 2 ? SIGTERM : SIGINT;
        const int delay = std::uniform_int_distribution<int>(0, span)(random);
        const pid_t pid = StartVelk(args);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        ::kill(pid, signal);
        waitpid(pid, &status, 0);
        const std::string label =
            format + " --jobs " + jobs + " after " + std::to_string(delay) + " ms, seed " + std::to_string(seed);
        if (WIFSIGNALED(status)) {
          EXPECT_EQ(WTERMSIG(status), signal) << label;
          ++interrupted;
        } else {
          EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << label << ": status " << status;
        }
        const std::string problem = CheckOutputs(format, out);
        EXPECT_EQ(problem, "") << label;
        // The workers are gone with velk: nothing more appears.
        std::string hidden;
        const auto before = OutputsByAnimation(out, hidden);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(OutputsByAnimation(out, hidden), before) << label;
      }
    }
  EXPECT_GT(interrupted, tries / 2) << "most signals came during the run";
}

} // namespace

// Whole-file writes, synced at once or later for a batch: either way a replaced file keeps its
// permissions and its symbolic link, and the batch sync reports folders it cannot reach.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/file_io.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(FileIo, DeferredAndImmediateWritesReplaceFilesAlike)
{
  TempDir dir;
  for (TSync sync : {TSync::Now, TSync::Later}) {
    const std::string file = dir.Write("a/file.txt", "old");
    ::chmod(file.c_str(), 0640);
    const std::string link = dir.Path() + "/link.txt";
    fs::remove(link);
    fs::create_symlink(file, link);
    std::string error;
    ASSERT_TRUE(WriteWholeFile(link, "new text", 8, &error, sync)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(file), "new text");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() + "/a"), fs::directory_iterator()), 1)
        << "no temporary file is left";
  }
  std::string error;
  EXPECT_TRUE(SyncFileSystems({dir.Path(), dir.Path() + "/a", "."}, &error)) << error;
  EXPECT_FALSE(SyncFileSystems({dir.Path(), dir.Path() + "/missing"}, &error));
  EXPECT_EQ(error, "No such file or directory");
}

// Uncommitted replacements leave the targets as they were; RemoveTemporaryFiles (what a signal
// handler calls) takes away exactly their temporary files, whatever order they were made in.
TEST(FileIo, ReplacementsCommitWholeOrLeaveNoTrace)
{
  TempDir dir;
  const std::string kept = dir.Write("kept.txt", "old");
  const auto files = [&] {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir.Path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  {
    TFileReplacement committed, discarded, interrupted[3];
    ASSERT_TRUE(committed.Write(dir.Path() + "/new.txt", "new", 3));
    ASSERT_TRUE(discarded.Write(kept, "lost", 4));
    for (int i = 0; i < 3; ++i)
      ASSERT_TRUE(interrupted[i].Write(dir.Path() + "/part" + std::to_string(i), "x", 1, nullptr, TSync::Later));
    EXPECT_EQ(files().size(), 6u) << "five temporary files beside kept.txt";
    discarded.Discard();
    ASSERT_TRUE(committed.Commit());
    RemoveTemporaryFiles();
    EXPECT_EQ(files(), (std::vector<std::string>{"kept.txt", "new.txt"}));
    EXPECT_EQ(ReadWholeFile(kept), "old");
    EXPECT_EQ(ReadWholeFile(dir.Path() + "/new.txt"), "new");
    // Destroying the removed ones is harmless; a later commit of one fails without a trace.
    std::string error;
    EXPECT_FALSE(interrupted[0].Commit(&error));
    EXPECT_EQ(error, "No such file or directory");
  }
  EXPECT_EQ(files(), (std::vector<std::string>{"kept.txt", "new.txt"}));

  // A failure names the folder that refused the file, not the file.
  std::string error;
  EXPECT_FALSE(WriteWholeFile(dir.Path() + "/missing/x.txt", "x", 1, &error));
  EXPECT_EQ(error, "cannot create a file in " + dir.Path() + "/missing: No such file or directory");
  EXPECT_FALSE(WriteWholeFile(dir.Path(), "x", 1, &error));
  EXPECT_EQ(error, "Is a directory");
}

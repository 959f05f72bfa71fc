// Whole-file writes, synced at once or later for a batch: either way a replaced file keeps its
// permissions and its symbolic link, and the batch sync reports folders it cannot reach.
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

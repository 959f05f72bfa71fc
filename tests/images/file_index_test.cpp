#include <gtest/gtest.h>

#include <filesystem>

#include "images/file_index.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class FileIndexTest : public ::testing::Test
{
protected:
  void TearDown() override
  {
    fs::current_path(startFolder);
    UseGameFolder("");
  }

  static void SetTime(const std::string &path, int secondsAgo)
  {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
  }

  TempDir game;
  fs::path startFolder = fs::current_path();
};

TEST_F(FileIndexTest, ScanSkipsFirstLevelFoldersAndCodeFiles)
{
  game.Write("Profiles/a.png", "x");
  game.Write("PMS/b.png", "x");
  game.Write("weblevels/c.png", "x");
  game.Write("levels/profiles/d.png", "x");
  game.Write("levels/pms/deep/e.png", "x");
  game.Write("script.code", "x");
  game.Write("sub/Other.CODE", "x");
  game.Write("top.velk", "x");
  UseGameFolder(game.Path());

  std::vector<std::string> names;
  for (const TFileListEntry &entry : FileIndex())
    names.push_back(entry.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"d.png", "e.png", "top.velk"}));
  EXPECT_EQ(LookupFile("D.PNG"), game.Path() + "/levels/profiles/d.png");
}

TEST_F(FileIndexTest, LinkedFoldersAreFollowedButNeverInCircles)
{
  game.Write("real/a.png", "x");
  fs::create_directory_symlink(game.Path() + "/real", game.Path() + "/linked");
  fs::create_directory_symlink(game.Path(), game.Path() + "/real/back-to-top");
  UseGameFolder(game.Path());
  ASSERT_EQ(FileIndex().size(), 1u);
  EXPECT_EQ(FileIndex()[0].Name, "a.png");
}

TEST_F(FileIndexTest, NewestOfSameNamedFilesWins)
{
  const std::string older = game.Write("a/Body.PNG", "old");
  const std::string newer = game.Write("b/c/body.png", "new");
  const std::string tieFirst = game.Write("t1/same.png", "1");
  const std::string tieSecond = game.Write("t2/same.png", "2");
  SetTime(older, 100);
  SetTime(newer, 10);
  fs::last_write_time(tieSecond, fs::last_write_time(tieFirst));
  UseGameFolder(game.Path());

  ASSERT_EQ(FileIndex().size(), 2u);
  EXPECT_EQ(LookupFile("body.png"), newer);
  SetTime(older, 1);
  UseGameFolder(game.Path());
  EXPECT_EQ(LookupFile("BODY.png"), older);
  // On equal times the first file found stays; both candidates are valid, but it is one of them.
  const std::string tie = LookupFile("same.png");
  EXPECT_TRUE(tie == tieFirst || tie == tieSecond);
}

TEST_F(FileIndexTest, ManyFilesAreSortedAndAllFound)
{
  for (int i = 0; i < 300; ++i)
    game.Write("d" + std::to_string(i % 7) + "/F" + std::to_string(i * 7919 % 1000) + ".png", "x");
  UseGameFolder(game.Path());
  const auto &entries = FileIndex();
  ASSERT_EQ(entries.size(), 300u);
  for (size_t i = 1; i < entries.size(); ++i)
    EXPECT_LT(entries[i - 1].Name, entries[i].Name);
  for (int i = 0; i < 300; ++i)
    EXPECT_FALSE(LookupFile("f" + std::to_string(i * 7919 % 1000) + ".png").empty()) << i;
}

TEST_F(FileIndexTest, ResolveDropsFoldersPrefersTheCurrentFolderAndChecksExistence)
{
  const std::string indexed = game.Write("images/Sword1.png", "x");
  UseGameFolder(game.Path());
  EXPECT_EQ(ResolveFile("other/place/SWORD1.PNG"), indexed);
  EXPECT_TRUE(FileKnown("sword1.png"));
  EXPECT_EQ(ResolveFile(""), "");
  EXPECT_EQ(ResolveFile("images/"), "");

  TempDir work;
  const std::string local = work.Write("sword1.png", "local");
  fs::current_path(work.Path());
  EXPECT_EQ(ResolveFile("sword1.png"), local);

  fs::current_path(startFolder);
  fs::remove(indexed);
  EXPECT_EQ(ResolveFile("sword1.png"), "") << "a file deleted after the scan is not returned";
  EXPECT_FALSE(FileKnown("sword1.png"));
}

TEST_F(FileIndexTest, GameFolderIsTheParentWhenItHoldsTheGame)
{
  game.Write("Editor/prog", "x");
  game.Write("Editor/in-editor.png", "x");
  FindGameFolder(game.Path() + "/Editor");
  EXPECT_EQ(GameFiles().Folder, game.Path() + "/Editor/");
  game.Write("Zelto.exe", "x");
  FindGameFolder(game.Path() + "/Editor/");
  EXPECT_EQ(GameFiles().Folder, game.Path() + "/");
  EXPECT_FALSE(LookupFile("in-editor.png").empty()) << "the parent's tree includes the editor's folder";
}

TEST_F(FileIndexTest, InstalledProgramFindsTheBundledGameFolderBesideItsBinFolder)
{
  const std::string prefix = game.Path() + "/usr";
  game.Write("usr/bin/zeltrix", "x");
  game.Write("usr/share/zeltrix/game/Idle.velk", "x");
  FindGameFolder(prefix + "/bin");
  EXPECT_EQ(GameFiles().Folder, prefix + "/share/zeltrix/game/");
  EXPECT_EQ(LookupFile("idle.velk"), prefix + "/share/zeltrix/game/Idle.velk");
  FindGameFolder(prefix + "/bin/");
  EXPECT_EQ(GameFiles().Folder, prefix + "/share/zeltrix/game/");

  // Only a folder named bin looks there, and only when the game folder is there.
  game.Write("usr/tools/zeltrix", "x");
  FindGameFolder(prefix + "/tools");
  EXPECT_EQ(GameFiles().Folder, prefix + "/tools/");
  game.Write("opt/bin/zeltrix", "x");
  game.Write("opt/share/zeltrix/game", "a file, not a folder");
  FindGameFolder(game.Path() + "/opt/bin");
  EXPECT_EQ(GameFiles().Folder, game.Path() + "/opt/bin/");

  // A build tree links share/zeltrix/game beside its programs to the bundled game: only that is
  // indexed, not the tree's other files nor the packages it stages.
  game.Write("src/assets/game/walk.velk", "x");
  game.Write("build/velk", "x");
  game.Write("build/_CPack_Packages/usr/share/zeltrix/game/walk.velk", "staged");
  fs::create_directories(game.Path() + "/build/share/zeltrix");
  fs::create_directory_symlink(game.Path() + "/src/assets/game", game.Path() + "/build/share/zeltrix/game");
  FindGameFolder(game.Path() + "/build");
  EXPECT_EQ(GameFiles().Folder, game.Path() + "/build/share/zeltrix/game/");
  EXPECT_EQ(LookupFile("walk.velk"), game.Path() + "/build/share/zeltrix/game/walk.velk");
  EXPECT_EQ(FileIndex().size(), 1u);

  // A game installation that holds the program's folder comes first.
  game.Write("usr/Zelto.exe", "x");
  FindGameFolder(prefix + "/bin");
  EXPECT_EQ(GameFiles().Folder, prefix + "/");
}

} // namespace

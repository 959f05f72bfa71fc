// The window's Load command opens the files that once hung the editor, and draws them, within
// the test's time limit; a FIFO is refused with a message instead of blocking.
#include <sys/stat.h>

#include "editor_fixture.h"
#include "model/document.h"
#include "support/hostile_inputs.h"
#include "support/temp_dir.h"

TEST_F(EditorTest, LoadOpensEveryHostileFileAndRefusesAFifo)
{
  TempDir game;
  CopyBundledSprites(game.Path());
  const std::vector<std::string> files = {
      WriteManyFrameBlocks(game.Path(), 200000), WriteManySpriteActors(game.Path(), 40000),
      WriteMultiplyingAttachments(game.Path(), 16, 4), WriteMultiplyingMovies(game.Path(), 6, 8)};
  TEditFrame &f = Start("", game.Path());
  for (const std::string &file : files) {
    dialogs.ChosenFiles.push_back(file);
    f.SpeedButton9Click();
    ASSERT_NE(f.Session.GetCurrentAni(), nullptr);
    EXPECT_EQ(f.Session.GetCurrentAni()->FileName, file);
    f.Session.DrawCanvas();
  }
  EXPECT_TRUE(dialogs.Errors.empty());

  const std::string fifo = game.Path() + "/pipe.velk";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  dialogs.ChosenFiles.push_back(fifo);
  f.SpeedButton9Click();
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0], "Cannot load " + fifo + ": not a regular file");
  EXPECT_EQ(f.Session.GetCurrentAni()->FileName, files.back()) << "the open document stays";
}

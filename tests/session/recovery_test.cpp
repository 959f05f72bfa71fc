// Recovery of unsaved work: what is written, when it goes, and what a later start finds and
// restores. A crash is played by renaming this process's files to those of a process that is gone.
#include <filesystem>
#include <unistd.h>

#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// No process has this id (ids stay below 2^22 on Linux).
constexpr long GonePid = 99999999;

class RecoveryTest : public SessionTest
{
protected:
  TEditSession &StartOn(const std::string &file)
  {
    Start(file);
    session->SetRecoveryFolder(RecoveryFolder());
    session->Scene.Selection = {0};
    return *session;
  }
  std::string RecoveryFolder() const { return scratch.Path() + "/recovery"; }
  // This process's recovery, as if it had crashed.
  void Crash()
  {
    const fs::path own(session->RecoveryFile());
    fs::rename(own, RecoveryFolder() + "/" + std::to_string(GonePid) + ".velk");
    fs::rename(fs::path(own).replace_extension(".info"), RecoveryFolder() + "/" + std::to_string(GonePid) + ".info");
  }
  int FirstPartX() { return Parts().at(0)->X; }

  TempDir scratch;
};

} // namespace

TEST_F(RecoveryTest, AutosaveWritesOnlyChangedUnsavedWorkAndSavingRemovesIt)
{
  const std::string file = scratch.Write("walk.velk", ReadWholeFile(BundledGame() + "/walk.velk"));
  TEditSession &s = StartOn(file);
  const std::string recovery = s.RecoveryFile();
  EXPECT_EQ(fs::path(recovery).parent_path(), fs::path(RecoveryFolder()));
  EXPECT_FALSE(s.Autosave()) << "nothing unsaved";
  EXPECT_FALSE(fs::exists(recovery));

  s.MoveSelection(5, 0);
  EXPECT_TRUE(s.Autosave());
  EXPECT_TRUE(fs::exists(recovery));
  EXPECT_EQ(ReadWholeFile(fs::path(recovery).replace_extension(".info").string()),
            file + "\n" + s.GetCurrentAni()->Name + "\n");
  EXPECT_FALSE(s.Autosave()) << "the same text again";
  s.MoveSelection(1, 0);
  EXPECT_TRUE(s.Autosave());

  s.SaveCommand();
  EXPECT_FALSE(fs::exists(recovery)) << "saved work needs no recovery";
  EXPECT_FALSE(fs::exists(fs::path(recovery).replace_extension(".info")));

  // Another document drops the recovery of the one before (its save prompt was answered).
  s.MoveSelection(1, 0);
  ASSERT_TRUE(s.Autosave());
  dialogs.Answers = {TAnswer::No};
  s.NewAnimation();
  EXPECT_FALSE(fs::exists(recovery));
  EXPECT_FALSE(s.Autosave()) << "nothing to recover before the first change";
}

TEST_F(RecoveryTest, OnlyTheFilesOfProcessesThatAreGoneAreFound)
{
  TEditSession &s = StartOn(scratch.Write("walk.velk", ReadWholeFile(BundledGame() + "/walk.velk")));
  s.MoveSelection(1, 0);
  ASSERT_TRUE(s.Autosave());
  const std::string text = ReadWholeFile(s.RecoveryFile());
  // A live process (the first one always runs), a gone one, one without its info, a stray file.
  scratch.Write("recovery/1.velk", text);
  scratch.Write("recovery/1.info", "/a/live.velk\nlive\n");
  scratch.Write("recovery/" + std::to_string(GonePid) + ".velk", text);
  scratch.Write("recovery/" + std::to_string(GonePid) + ".info", "/a/b/gone.velk\ngone\n");
  scratch.Write("recovery/99999998.velk", text);
  scratch.Write("recovery/notes.velk", text);

  const std::vector<TRecovery> found = s.FindRecoveries();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].FileName, "/a/b/gone.velk");
  EXPECT_EQ(found[0].Name, "gone");
  EXPECT_EQ(found[0].TextFile, RecoveryFolder() + "/" + std::to_string(GonePid) + ".velk");

  s.DiscardRecovery(found[0]);
  EXPECT_TRUE(s.FindRecoveries().empty());
  EXPECT_FALSE(fs::exists(RecoveryFolder() + "/" + std::to_string(GonePid) + ".info"));
  EXPECT_TRUE(fs::exists(s.RecoveryFile())) << "this process's own file is not touched";
}

TEST_F(RecoveryTest, ARestoredDocumentIsUnsavedUnderItsOwnFileAndSavesThere)
{
  const std::string file = scratch.Write("walk.velk", ReadWholeFile(BundledGame() + "/walk.velk"));
  const std::string original = ReadWholeFile(file);
  TEditSession &s = StartOn(file);
  s.MoveSelection(7, -2);
  const int editedX = FirstPartX();
  ASSERT_TRUE(s.Autosave());
  Crash();

  StartOn(BundledGame() + "/idle.velk");
  const std::vector<TRecovery> found = session->FindRecoveries();
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(session->RestoreRecovery(found[0]));
  TZeltoAni *ani = session->GetCurrentAni();
  EXPECT_TRUE(ani->Modified);
  EXPECT_EQ(ani->FileName, file);
  EXPECT_EQ(FirstPartX(), editedX);
  EXPECT_EQ(session->History.Count(), 0);
  EXPECT_TRUE(session->FindRecoveries().empty()) << "restored files are gone";
  EXPECT_EQ(ReadWholeFile(file), original) << "restoring does not write the document";

  const int fileDialogs = dialogs.FileDialogs;
  session->SaveCommand();
  EXPECT_EQ(dialogs.FileDialogs, fileDialogs) << "Save goes to the original file without asking";
  EXPECT_FALSE(session->GetCurrentAni()->Modified);
  StartOn(file);
  EXPECT_EQ(FirstPartX(), editedX);
}

TEST_F(RecoveryTest, AMovieIsRestoredInMovieModeWithItsActors)
{
  TEditSession &s = StartOn(BundledGame() + "/walk.velk");
  s.NewAnimation();
  s.SwitchMovieMode(true);
  s.AddCharacterActor();
  s.ShowTime(30);
  s.AddTextActor(40, 50);
  const std::string text = AnimationText(s.GetCurrentAni());
  ASSERT_TRUE(s.Autosave());
  Crash();

  StartOn(BundledGame() + "/walk.velk");
  const std::vector<TRecovery> found = session->FindRecoveries();
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(session->RestoreRecovery(found[0]));
  EXPECT_TRUE(session->MovieMode);
  ASSERT_EQ(session->GetCurrentAni()->Actors.size(), 2u);
  EXPECT_EQ(AnimationText(session->GetCurrentAni()), text);
  EXPECT_TRUE(session->GetCurrentAni()->Modified);
}

TEST_F(RecoveryTest, ADamagedRecoveryLeavesTheDocumentAlone)
{
  TEditSession &s = StartOn(BundledGame() + "/idle.velk");
  for (const std::string &text : {std::string("not an animation"), std::string(), std::string("VELK000\nSPRITE")}) {
    scratch.Write("recovery/" + std::to_string(GonePid) + ".velk", text);
    scratch.Write("recovery/" + std::to_string(GonePid) + ".info", "/x/y.velk\ny\n");
    const std::vector<TRecovery> found = s.FindRecoveries();
    ASSERT_EQ(found.size(), 1u);
    TZeltoAni *before = s.GetCurrentAni();
    EXPECT_FALSE(s.RestoreRecovery(found[0])) << text;
    EXPECT_EQ(s.GetCurrentAni(), before) << text;
    EXPECT_FALSE(before->Modified);
  }
}

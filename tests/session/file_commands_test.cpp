// Opening, making and saving documents: what is read, what is kept when a file cannot be read,
// and what marks a document modified.
#include "model/actor.h"
#include "model/context.h"
#include "model/writer.h"
#include "session/session_fixture.h"
#include "support/temp_dir.h"

namespace {

const char *const OwnWalk =
    "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 mine\nANI\n0 1 2\n0 1 2\n0 1 2\n0 1 2\nWAIT 3\nANIEND\n";
const char *const OwnMovie = "VELK0002\nFRAMES 40\nSPRITE 0 SPRITES 0 0 24 16 star\nMOVIE\nACTOR SPRITE Star\n"
                             "FRAME 0 visible=true,sprite #=0\nACTOREND\nMOVIEEND\n";

// A chosen file is always the file: a name without "." in a folder is not a game animation, and
// a movie called walk.velk keeps its name and file name.
TEST_F(SessionTest, AChosenFileOpensThatFileUnderItsOwnName)
{
  TempDir folder;
  struct Case
  {
    std::string file, text, name;
    bool movie;
  };
  const Case cases[] = {{"anims/walk", OwnWalk, "walk", false},
                        {"anims/walk.velk", OwnMovie, "walk", true},
                        {"idle.velk", OwnMovie, "idle", true},
                        {"Mixed.Case.velk", OwnWalk, "mixed", false}};
  for (const Case &c : cases) {
    const std::string path = folder.Write(c.file, c.text);
    // From the command line and from the Load command.
    for (bool started : {true, false}) {
      SCOPED_TRACE(c.file + (started ? " started with" : " loaded"));
      TEditSession &s = Start(started ? path : "");
      if (!started)
        s.OpenFileCommand(path);
      EXPECT_TRUE(dialogs.Errors.empty());
      const TZeltoAni &ani = *s.GetCurrentAni();
      EXPECT_EQ(ani.FileName, path);
      if (started)
        EXPECT_EQ(ani.Name, c.name);
      EXPECT_EQ(ani.IsMovie, c.movie);
      EXPECT_EQ(s.MovieMode, c.movie);
      EXPECT_FALSE(ani.Modified);
      EXPECT_EQ(ani.Sprites.front()->Description, c.movie ? "star" : "mine");
    }
  }
}

// Opening the file that is open, after answering "No", gives back what is on disk; a file that is
// not an animation is reported and leaves the document, its history and its mark as they were.
TEST_F(SessionTest, OpeningReadsTheDiskAndAFailedOpenChangesNothing)
{
  TempDir folder;
  const std::string path = folder.Write("mine.velk", OwnWalk);
  TEditSession &s = Start(path);
  const std::string saved = AnimationText(s.GetCurrentAni());
  s.MoveSelection(5, 0);
  EXPECT_EQ(Parts()[0]->X, 6);
  dialogs.Answers = {TAnswer::No};
  s.OpenFileCommand(path);
  EXPECT_EQ(Parts()[0]->X, 1) << "the edit is gone";
  EXPECT_EQ(AnimationText(s.GetCurrentAni()), saved);
  EXPECT_FALSE(s.GetCurrentAni()->Modified);
  EXPECT_EQ(s.History.Count(), 0);

  s.MoveSelection(0, 7);
  const std::string edited = AnimationText(s.GetCurrentAni());
  const struct
  {
    std::string file, reason;
  } refused[] = {{folder.Write("notes.txt", "just some notes\n"), "holds neither a frame nor a movie"},
                 {folder.Path() + "/gone.velk", "No such file or directory"},
                 {folder.Path(), "not a regular file"}};
  for (const auto &r : refused) {
    dialogs.Answers = {TAnswer::No};
    dialogs.Errors.clear();
    s.OpenFileCommand(r.file);
    EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"Cannot load " + r.file + ": " + r.reason});
    EXPECT_EQ(AnimationText(s.GetCurrentAni()), edited);
    EXPECT_EQ(s.GetCurrentAni()->FileName, path);
    EXPECT_TRUE(s.GetCurrentAni()->Modified);
    EXPECT_EQ(s.History.Count(), 1);
  }
  s.Undo();
  EXPECT_EQ(AnimationText(s.GetCurrentAni()), saved);

  // Started with such a file, the editor says so and opens the default animation.
  dialogs.Errors.clear();
  Start(refused[0].file);
  EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"Cannot load " + refused[0].file + ": " + refused[0].reason});
  EXPECT_EQ(session->GetCurrentAni()->Name, "idle");
}

// Save and autosave read back what they are about to write: a document that would not read back
// is not written over the file, and the message names the line.
TEST_F(SessionTest, ASaveThatWouldNotReadBackKeepsTheFile)
{
  TempDir folder;
  const std::string path = folder.Write("mine.velk", OwnWalk);
  TEditSession &s = Start(path);
  s.SetRecoveryFolder(folder.Path() + "/recovery");
  s.MoveSelection(1, 0);
  ASSERT_TRUE(s.Autosave());
  const std::string recovery = ReadWholeFile(s.RecoveryFile());
  s.GetCurrentAni()->Sprites[0]->Image = "";
  s.MoveSelection(1, 0);
  EXPECT_FALSE(s.Autosave());
  EXPECT_EQ(ReadWholeFile(s.RecoveryFile()), recovery) << "the last good recovery stays";
  s.SaveCommand();
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0].rfind("Cannot save " + path + ": line 2 does not read back as written: SPRITE", 0), 0u)
      << dialogs.Errors[0];
  EXPECT_EQ(ReadWholeFile(path), OwnWalk);
  EXPECT_TRUE(s.GetCurrentAni()->Modified);
}

TEST_F(SessionTest, DefaultBodyChangesAndNewMoviesAreShownAsTheyAre)
{
  TEditSession &s = StartNew();
  s.SwitchMovieMode(true);
  s.GetCurrentAni()->Modified = false;
  s.SetZelto2002Mode(true);
  EXPECT_EQ(s.GetCurrentAni()->DefaultBody, "body102.png");
  EXPECT_TRUE(s.GetCurrentAni()->Modified) << "the default body is the document's";
  s.SetZelto2002Mode(false);
  Context().Zelto2002Mode = false;

  // The main actor gives its name number back: the first character made is the next number.
  const int next = Context().ActorNameCounters[akCharacter];
  TZeltoActor main(nullptr, MainActorCode);
  EXPECT_EQ(Context().ActorNameCounters[akCharacter], next);
  EXPECT_EQ(s.AddCharacterActor()->Name, "Actor" + std::to_string(next));
  EXPECT_EQ(s.ActorListItems().size(), 2u);
  s.NewAnimation();
  EXPECT_TRUE(s.MovieMode);
  EXPECT_EQ(s.ActorListItems(), std::vector<std::string>{"Velk"});
}

} // namespace

// Start-up, caption, file commands with the save prompt, layout and the Zelto2002 option.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <filesystem>

#include "core/helpers.h"
#include "editor/options_grid.h"
#include "editor_fixture.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/document.h"
#include "model/editor_link.h"
#include "support/temp_dir.h"

namespace {

std::string Caption(const TEditFrame &frame)
{
  return frame.windowTitle().toStdString();
}

std::string BundledText(const std::string &name)
{
  return ReadWholeFile(BundledGame() + "/" + name);
}

} // namespace

TEST_F(EditorTest, StartsOnIdleWithControlsInTheirStartingState)
{
  TEditFrame &f = Start();
  ASSERT_NE(f.Session.GetCurrentAni(), nullptr);
  EXPECT_EQ(f.Session.GetCurrentAni()->Name, "idle");
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - idle.velk");
  EXPECT_EQ(GameFiles().Dir, BundledGame());

  ASSERT_EQ(f.ComboBox1->count(), 4);
  EXPECT_EQ(f.ComboBox1->currentIndex(), 2);
  EXPECT_EQ(f.ComboBox1->itemText(2), "down");
  // The first part of the first frame is selected and listed.
  EXPECT_EQ(f.Session.Scene.Selection, std::vector<int>{0});
  EXPECT_GT(f.ComboBox3->count(), 0);
  EXPECT_NE(f.Edit1->text(), "-");

  EXPECT_TRUE(f.SpeedButton10->isEnabled());
  EXPECT_TRUE(f.SpeedButton11->isEnabled());
  EXPECT_FALSE(f.SpeedButton24->isEnabled());
  EXPECT_FALSE(f.SpeedButton25->isEnabled());
  EXPECT_FALSE(f.SpeedButton17->isEnabled());
  EXPECT_FALSE(f.SpeedButton21->isEnabled());
  // The idle animation's strip is taller than the canvas, so its scroll bar works from the start.
  EXPECT_GT(f.Session.SpriteListTotal, f.Session.SpriteListPage());
  EXPECT_TRUE(f.ScrollBar2->isEnabled());
  EXPECT_EQ(f.ScrollBar2->maximum(), f.Session.SpriteListTotal - f.Session.SpriteListPage());
  EXPECT_FALSE(f.Panel6->isHidden());
  EXPECT_TRUE(f.Panel4->isHidden());
  EXPECT_TRUE(f.CheckBox1->isHidden());
  EXPECT_TRUE(f.CheckBox1->isChecked());
  EXPECT_TRUE(f.Button2->isHidden());
  EXPECT_EQ(f.SpeedButton12->toolTip(), "Play Animation");
  EXPECT_EQ(f.SpeedButton17->toolTip(), "Insert Anistep Before Current Frame");
  EXPECT_EQ(f.MovieButton->text(), "-> Movie Mode");
  EXPECT_EQ(f.GroupBox1->title(), " Selected Sprite(s) ");
  // The grid shows the sprite-mode options: one row past the last labelled one.
  EXPECT_EQ(f.StringGrid1->rowCount(), 16);
  EXPECT_EQ(f.StringGrid1->columnCount(), 2);
  EXPECT_EQ(f.StringGrid1->item(15, 0)->text(), "Def. param3");
  EXPECT_FALSE(f.Timer1.Enabled());
  // The fixed images come from the game folder.
  EXPECT_NE(f.Session.Setup.SoundIconImage->Image(), nullptr);
  EXPECT_NE(f.Session.Setup.SpritesImage->Image(), nullptr);
}

TEST_F(EditorTest, StartsWithAFileArgumentFromItsFolder)
{
  TempDir dir;
  const std::string path = dir.Write("anims/Walk.velk", BundledText("walk.velk"));
  TEditFrame &f = Start(path);
  ASSERT_NE(f.Session.GetCurrentAni(), nullptr);
  EXPECT_EQ(f.Session.GetCurrentAni()->Name, "walk");
  EXPECT_EQ(f.Session.GetCurrentAni()->FileName, path);
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - walk.velk");
  EXPECT_EQ(GameFiles().Dir, dir.Path() + "/anims");
  EXPECT_EQ(std::filesystem::current_path().string(), dir.Path() + "/anims");
}

TEST_F(EditorTest, StartFallsBackToIdleOrStaysEmpty)
{
  TempDir dir;
  const std::string bad = dir.Write("broken.velk", "not an animation");
  {
    TEditFrame &f = Start(bad);
    ASSERT_NE(f.Session.GetCurrentAni(), nullptr);
    EXPECT_EQ(f.Session.GetCurrentAni()->Name, "idle");
  }
  // A game folder without idle: no document, the plain caption, and commands do nothing.
  TEditFrame &f = Start("", dir.Path());
  EXPECT_EQ(f.Session.GetCurrentAni(), nullptr);
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor");
  EXPECT_FALSE(f.SpeedButton10->isEnabled());
  f.SpeedButton12Click();
  f.SpeedButton35Click();
  f.SpeedButton10Click();
  f.Session.TimelineRulerDrag(100, 400, true);
  f.Timer1Timer();
  EXPECT_FALSE(f.Session.Playing);
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_TRUE(dialogs.Questions.empty());
  EXPECT_EQ(dialogs.FileDialogs, 0);
}

TEST_F(EditorTest, CaptionFollowsNameFileAndModifiedFlag)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click(); // unmodified: no question
  EXPECT_TRUE(dialogs.Questions.empty());
  TZeltoAni *ani = f.Session.GetCurrentAni();
  ASSERT_NE(ani, nullptr);
  EXPECT_EQ(ani->Name, "new");
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - new");
  SetModified(ani, true);
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - new (modified)");

  // A new document: the shadow definition and one frame with the shadow in every direction.
  ASSERT_EQ(ani->Sprites.size(), 1u);
  EXPECT_EQ(ani->Sprites[0]->Image, "SPRITES");
  EXPECT_EQ(ani->Sprites[0]->Description, "shadow");
  ASSERT_EQ(ani->Steps.size(), 1u);
  ASSERT_EQ(ani->Steps[0]->Directions.size(), 4u);
  for (const TPartList &parts : ani->Steps[0]->Directions) {
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0]->Sprite, ani->Sprites[0].get());
    EXPECT_EQ(parts[0]->X, 12);
    EXPECT_EQ(parts[0]->Y, 34);
  }
  EXPECT_EQ(ani->Length, 1);

  // A file named in mixed case shows in lower case without its folder, in caption and prompt.
  TempDir dir;
  const std::string path = dir.Write("Idle.velk", BundledText("idle.velk"));
  dialogs.Answers = {TAnswer::No};
  dialogs.ChosenFiles = {path};
  f.SpeedButton9Click();
  EXPECT_EQ(dialogs.Questions.back(), "Save changes: Save changes to new before loading another animation?");
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - idle.velk");
  SetModified(f.Session.GetCurrentAni(), true);
  dialogs.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_EQ(dialogs.Questions.back(), "Save changes: Save changes to idle.velk before closing?");
}

TEST_F(EditorTest, SavePromptAnswers)
{
  TempDir dir;
  const std::string original = BundledText("idle.velk");
  const std::string path = dir.Write("idle.velk", original);
  TEditFrame &f = Start(path);
  TZeltoAni *ani = f.Session.GetCurrentAni();
  ASSERT_NE(ani, nullptr);
  ani->Steps[0]->Duration += 3;
  SetModified(ani, true);

  // Cancel: the window stays open and nothing is written.
  dialogs.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_EQ(ReadWholeFile(path), original);
  EXPECT_TRUE(ani->Modified);

  // No: closes without writing.
  dialogs.Answers = {TAnswer::No};
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_EQ(ReadWholeFile(path), original);

  // Yes: writes, clears the mark, closes.
  dialogs.Answers = {TAnswer::Yes};
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_NE(ReadWholeFile(path), original);
  EXPECT_FALSE(ani->Modified);
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - idle.velk");

  // Unmodified: closes without asking.
  const size_t asked = dialogs.Questions.size();
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_EQ(dialogs.Questions.size(), asked);

  // A failing write reports the error, keeps the mark and the window, and abandons New.
  ani->FileName = dir.Path() + "/missing/folder/idle.velk";
  SetModified(ani, true);
  dialogs.Answers = {TAnswer::Yes};
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_TRUE(ani->Modified);
  dialogs.Answers = {TAnswer::Yes};
  f.SpeedButton34Click();
  EXPECT_EQ(f.Session.GetCurrentAni(), ani);
  EXPECT_EQ(dialogs.Errors.size(), 2u);
}

// A close refused with Cancel leaves nothing pending: the next command's prompt is its own, and
// answering it "No" loads without closing the window. Each prompt names what it asks about.
TEST_F(EditorTest, ACancelledCloseLeavesNothingPending)
{
  TEditFrame &f = Start();
  f.show();
  f.MovieButtonClick();
  f.Session.AddCharacterActor();
  dialogs.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(f.close());
  QApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(dialogs.Questions.back(), "Save changes: Save changes to new before closing?");
  dialogs.Answers = {TAnswer::No};
  dialogs.ChosenFiles = {""};
  f.SpeedButton9Click();
  QApplication::processEvents();
  EXPECT_EQ(dialogs.Questions.back(), "Save changes: Save changes to new before loading another animation?");
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.Session.GetCurrentAni()->Actors.size(), 1u) << "the load was cancelled: the edit is there";
  dialogs.Answers = {TAnswer::Cancel};
  f.SpeedButton34Click();
  EXPECT_EQ(dialogs.Questions.back(), "Save changes: Save changes to new before making a new animation?");
  EXPECT_EQ(f.Session.GetCurrentAni()->Actors.size(), 1u);
  dialogs.Answers = {TAnswer::No};
  f.SpeedButton34Click();
  EXPECT_EQ(f.ComboBox1->count(), 1) << "a new movie lists no actors of the last one";
  f.Session.GetCurrentAni()->Modified = false;
}

// Back in sprite mode the part box and the x/y boxes show the selected part at once.
TEST_F(EditorTest, SpriteModeShowsTheSelectedPartAtOnce)
{
  TEditFrame &f = Start();
  f.MovieButtonClick();
  f.MovieButtonClick();
  ASSERT_FALSE(f.Session.MovieMode);
  const int primary = f.Session.PrimarySelection();
  ASSERT_GE(primary, 0);
  const TZeltoAniPart &part = *(*f.Session.CurrentPartList())[size_t(primary)];
  EXPECT_EQ(f.ComboBox3->count(), int(f.Session.CurrentPartList()->size()));
  EXPECT_EQ(f.ComboBox3->currentIndex(), primary);
  EXPECT_EQ(f.Edit1->text().toInt(), part.X);
  EXPECT_EQ(f.Edit2->text().toInt(), part.Y);
  f.Session.GetCurrentAni()->Modified = false;
}

// The strip's hint describes the entry under the pointer, in both modes.
TEST_F(EditorTest, TheStripHintShowsInBothModes)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  f.show();
  for (bool movie : {false, true}) {
    SCOPED_TRACE(movie ? "movie mode" : "sprite mode");
    if (movie)
      f.MovieButtonClick();
    f.HideHint();
    const TZeltoAniSprite &shadow = *f.Session.GetCurrentAni()->Sprites[0];
    const QPoint entry(f.Session.Scene.SpriteListLeft + 25, shadow.ListTop - f.Session.Scene.SpriteListScroll + 8);
    Mouse(QEvent::MouseMove, entry, Qt::NoButton);
    EXPECT_TRUE(f.HintWindow->isVisible());
    EXPECT_EQ(f.HintWindow->text().toStdString(), "# 0\nshadow");
  }
}

TEST_F(EditorTest, YesForANeverSavedDocumentAsksForAFileName)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  TZeltoAni *ani = f.Session.GetCurrentAni();
  SetModified(ani, true);

  // The save dialog is cancelled: the command is abandoned and nothing is written.
  dialogs.Answers = {TAnswer::Yes};
  dialogs.ChosenFiles = {""};
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_EQ(dialogs.FileDialogs, 1);
  EXPECT_TRUE(ani->Modified);
  EXPECT_TRUE(dialogs.Errors.empty());

  TempDir dir;
  const std::string path = dir.Path() + "/mine.velk";
  dialogs.Answers = {TAnswer::Yes};
  dialogs.ChosenFiles = {path};
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_EQ(ani->FileName, path);
  EXPECT_FALSE(ani->Modified);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - mine.velk");
}

TEST_F(EditorTest, SaveAndSaveAs)
{
  TempDir dir;
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  // Save without a file name runs Save as; a cancelled dialog changes nothing.
  dialogs.ChosenFiles = {""};
  f.SpeedButton10Click();
  EXPECT_EQ(f.Session.GetCurrentAni()->FileName, "");
  const std::string first = dir.Path() + "/first.velk";
  dialogs.ChosenFiles = {first};
  f.SpeedButton10Click();
  ASSERT_TRUE(std::filesystem::exists(first));
  // Then Save writes to that name without asking.
  SetModified(f.Session.GetCurrentAni(), true);
  f.SpeedButton10Click();
  EXPECT_EQ(dialogs.FileDialogs, 2);
  EXPECT_FALSE(f.Session.GetCurrentAni()->Modified);
  const std::string second = dir.Path() + "/second.velk";
  dialogs.ChosenFiles = {second};
  f.SpeedButton11Click();
  EXPECT_EQ(ReadWholeFile(second), ReadWholeFile(first));
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - second.velk");

  // Load reads the chosen file; a cancelled dialog keeps the document.
  TZeltoAni *before = f.Session.GetCurrentAni();
  dialogs.ChosenFiles = {""};
  f.SpeedButton9Click();
  EXPECT_EQ(f.Session.GetCurrentAni(), before);
  dialogs.ChosenFiles = {BundledGame() + "/walk.velk"};
  f.SpeedButton9Click();
  EXPECT_EQ(ExtractKey(f.Session.GetCurrentAni()->FileName), "walk.velk");
}

TEST_F(EditorTest, LayoutAt800By600)
{
  TEditFrame &f = Start();
  f.resize(800, 600);
  f.UpdateLayout();
  EXPECT_EQ(f.Panel7->x(), 630);
  EXPECT_EQ(f.Panel2->width(), 630);
  EXPECT_EQ(f.Panel2->height(), 526);
  EXPECT_EQ(f.Panel6->y(), 559);
  EXPECT_EQ(f.Panel4->y(), 559);
  EXPECT_EQ(f.ScrollBar2->height(), 476);
  EXPECT_EQ(f.ScrollBar2->pageStep(), 476);
  EXPECT_EQ(f.Session.Scene.SpriteListLeft, 17);
  // Visible canvas 628 x 476 inside the border: centred right of the sprite strip.
  EXPECT_EQ(f.Session.Scene.OriginX, 17 + 50 + (628 - 17 - 50) / 2 - 24);
  EXPECT_EQ(f.Session.Scene.OriginY, 476 / 2 - 16);
  EXPECT_EQ(f.StringGrid1->y(), 155);
  const TCanvasGeometry g = f.Session.Geometry();
  EXPECT_EQ(g.TimelineTop, 476);
  EXPECT_EQ(g.TimelineRight, 628 - 15);
}

TEST_F(EditorTest, MovieDocumentSwitchesThePanels)
{
  TempDir dir;
  const std::string movie = dir.Write("scene.velk", "VELK0002\r\nFRAMES 40\r\nMOVIE\r\nMOVIEEND\r\n");
  TEditFrame &f = Start();
  f.Session.OpenAnimation(movie);
  ASSERT_NE(f.Session.GetCurrentAni(), nullptr);
  EXPECT_TRUE(f.Session.MovieMode);
  EXPECT_TRUE(f.Panel6->isHidden());
  EXPECT_FALSE(f.Panel4->isHidden());
  EXPECT_FALSE(f.CheckBox2->isHidden());
  EXPECT_TRUE(f.GroupBox1->isHidden());
  EXPECT_EQ(f.Label5->text(), "Edit attributes:");
  EXPECT_EQ(f.Label5->y(), 46);
  EXPECT_EQ(f.ComboBox1->y(), 62);
  EXPECT_EQ(f.StringGrid1->y(), 87);
  EXPECT_FALSE(f.Session.GetCurrentAni()->Modified);
  EXPECT_EQ(Caption(f), "Zeltrix - The Zelto Animation Editor - scene.velk");
  // A new document in movie mode is a movie; loading a sprite animation switches back.
  f.SpeedButton34Click();
  EXPECT_TRUE(f.Session.GetCurrentAni()->IsMovie);
  EXPECT_TRUE(f.Session.GetCurrentAni()->Steps.empty());
  f.Session.OpenAnimation("walk");
  EXPECT_FALSE(f.Session.MovieMode);
  EXPECT_FALSE(f.Panel6->isHidden());
  EXPECT_EQ(f.Label5->text(), "Direction:");
  EXPECT_EQ(f.ComboBox1->count(), 4);
  EXPECT_EQ(f.StringGrid1->y(), 155);
}

TEST_F(EditorTest, Zelto2002OptionChangesDefaultsAndBody)
{
  TEditFrame &f = Start();
  ASSERT_TRUE(f.Session.EditActor->ClassicBody);
  f.CheckBox2->setChecked(true);
  f.CheckBox2Click();
  EXPECT_EQ(DefaultIdleAni(), "human_idle");
  EXPECT_EQ(DefaultWalkAni(), "human_walk");
  EXPECT_EQ(f.Session.GetCurrentAni()->DefaultBody, "body102.png");
  EXPECT_FALSE(f.Session.EditActor->ClassicBody);
  f.CheckBox2->setChecked(false);
  f.CheckBox2Click();
  EXPECT_EQ(DefaultIdleAni(), "idle");
  EXPECT_EQ(f.Session.GetCurrentAni()->DefaultBody, "body.png");
  EXPECT_TRUE(f.Session.EditActor->ClassicBody);

  f.CheckBox1->setChecked(false);
  f.CheckBox1Click();
  EXPECT_FALSE(Context().AutoAniSetting);
}

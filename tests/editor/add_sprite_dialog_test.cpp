// The Add Sprite dialog through its handlers: grids of definitions, fields that are not integers,
// grids the session refuses, updating a definition from the strip's menu, and a whole session
// from a new document through the dialog and the strip to the saved file.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "core/helpers.h"
#include "editor/add_sprite_dialog.h"
#include "editor_fixture.h"
#include "model/document.h"
#include "support/temp_dir.h"

namespace {

// The dialog's numeric fields as typed.
struct TFields
{
  std::string X = "0", Y = "0", Width = "32", Height = "32", Columns = "1", Rows = "1", Index = "20";
};

void Type(TAddSprite &dialog, const TFields &fields, const std::string &image = "SPRITES",
          const std::string &description = "sprite")
{
  dialog.ComboBox1->setCurrentText(QString::fromStdString(image));
  dialog.Edit2->setText(QString::fromStdString(description));
  dialog.Edit3->setText(QString::fromStdString(fields.X));
  dialog.Edit4->setText(QString::fromStdString(fields.Y));
  dialog.Edit5->setText(QString::fromStdString(fields.Width));
  dialog.Edit6->setText(QString::fromStdString(fields.Height));
  dialog.Edit11->setText(QString::fromStdString(fields.Columns));
  dialog.Edit12->setText(QString::fromStdString(fields.Rows));
  dialog.Edit13->setText(QString::fromStdString(fields.Index));
}

// Every definition as "index image left top width height description".
std::vector<std::string> Definitions(const TZeltoAni *ani)
{
  std::vector<std::string> lines;
  for (const auto &s : ani->Sprites) {
    std::ostringstream line;
    line << s->Index << " " << s->Image << " " << s->Left << " " << s->Top << " " << s->Width << " " << s->Height << " "
         << s->Description;
    lines.push_back(line.str());
  }
  return lines;
}

const std::string Shadow = "0 SPRITES 0 0 24 16 shadow";

} // namespace

class AddSpriteTest : public EditorTest
{
protected:
  // A window on a new document whose dialog shows without blocking: visible means still open.
  TEditFrame &StartNew()
  {
    TEditFrame &f = Start();
    f.SpeedButton34Click();
    f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
    return f;
  }
  TAddSprite &Dialog() { return *frame->AddSprite; }
  const TZeltoAni *Document() { return frame->Session.GetCurrentAni(); }
  // Opens the dialog for adding, types the fields and applies them.
  void Apply(const TFields &fields, const std::string &image = "SPRITES", const std::string &description = "sprite")
  {
    frame->Button9Click();
    Type(Dialog(), fields, image, description);
    Dialog().Button1Click();
  }
};

TEST_F(AddSpriteTest, MadeHiddenAndShowsEveryHelpTextWhole)
{
  TAddSprite &d = *Start().AddSprite;
  EXPECT_FALSE(d.isVisible());
  // At least the designed 577 x 361, and every help text as tall as its wrapped lines: the font
  // standing in for MS Sans Serif runs wider, and must not cut the texts off.
  d.show();
  EXPECT_EQ(d.width(), 577);
  EXPECT_GE(d.height(), 361);
  for (QLabel *help : {d.Label16, d.Label17, d.Label18, d.Label14, d.Label15})
    EXPECT_GE(help->height(), help->heightForWidth(help->width())) << help->text().toStdString();
}

TEST_F(AddSpriteTest, GridsBecomeDefinitionsRowByRow)
{
  struct Case
  {
    const char *name;
    TFields fields;
    std::string image;
    std::vector<std::string> added;
  };
  const Case cases[] = {
      {"the fields as the dialog starts: one definition", {}, "SPRITES", {"20 SPRITES 0 0 32 32 sprite"}},
      {"3 x 2",
       {"0", "0", "16", "16", "3", "2", "20"},
       "SPRITES",
       {"20 SPRITES 0 0 16 16 sprite (0, 0)", "21 SPRITES 16 0 16 16 sprite (1, 0)",
        "22 SPRITES 32 0 16 16 sprite (2, 0)", "23 SPRITES 0 16 16 16 sprite (0, 1)",
        "24 SPRITES 16 16 16 16 sprite (1, 1)", "25 SPRITES 32 16 16 16 sprite (2, 1)"}},
      {"4 x 1 from (8, 4)",
       {"8", "4", "10", "12", "4", "1", "30"},
       "sprites.png",
       {"30 sprites.png 8 4 10 12 sprite (0)", "31 sprites.png 18 4 10 12 sprite (1)",
        "32 sprites.png 28 4 10 12 sprite (2)", "33 sprites.png 38 4 10 12 sprite (3)"}},
      {"1 x 2, hexadecimal and signed numbers",
       {"$1F", "-2", "5", "9", "1", "2", "$A"},
       "BODY",
       {"10 BODY 31 -2 5 9 sprite (0)", "11 BODY 31 7 5 9 sprite (1)"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    StartNew();
    Apply(c.fields, c.image);
    EXPECT_FALSE(Dialog().isVisible()) << "applied: closed";
    EXPECT_TRUE(dialogs.Errors.empty());
    std::vector<std::string> expected = {Shadow};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(Definitions(Document()), expected);
    EXPECT_TRUE(Document()->Modified);
  }
}

TEST_F(AddSpriteTest, AFieldThatIsNoIntegerStopsTheApply)
{
  struct Case
  {
    QLineEdit *TAddSprite::*field;
    const char *text;
  };
  const Case cases[] = {
      {&TAddSprite::Edit3, "12a"},  {&TAddSprite::Edit4, "12a"},  {&TAddSprite::Edit5, "12a"},
      {&TAddSprite::Edit6, "12a"},  {&TAddSprite::Edit11, "12a"}, {&TAddSprite::Edit12, "12a"},
      {&TAddSprite::Edit13, "12a"}, {&TAddSprite::Edit3, ""},     {&TAddSprite::Edit13, "2147483648"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE("field " + std::to_string(&c - cases) + " '" + c.text + "'");
    StartNew();
    frame->Button9Click();
    Type(Dialog(), {});
    (Dialog().*c.field)->setText(c.text);
    Dialog().Button1Click();
    EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"'" + std::string(c.text) + "' is not a valid integer value"});
    EXPECT_EQ(Definitions(Document()), std::vector<std::string>{Shadow});
    EXPECT_FALSE(Document()->Modified);
    EXPECT_TRUE(Dialog().isVisible()) << "stays open for a correction";
    dialogs.Errors.clear();
  }

  // Fields are read in the order x, y, width, height, columns, rows, index: the first bad one is
  // named, once.
  StartNew();
  frame->Button9Click();
  Type(Dialog(), {"0", "0", "32", "h", "c", "1", "i"});
  Dialog().Button1Click();
  EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"'h' is not a valid integer value"});
}

TEST_F(AddSpriteTest, RefusedGridsKeepTheDialogOpenAndEmptyGridsClose)
{
  struct Case
  {
    TFields fields;
    bool refused;
    std::string image = "SPRITES";
  };
  const Case cases[] = {
      {{"0", "0", "32", "32", "100000", "100000", "20"}, true},
      {{"0", "0", "32", "32", "2", "1", "2147483647"}, true}, // the second index would overflow
      {{"0", "0", "32", "32", "0", "5", "20"}, false},
      {{"0", "0", "32", "32", "-1", "-1", "20"}, false},
      {{}, true, ""}, // a definition without an image name would make the saved file unreadable
      {{}, true, "my sword.png"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.fields.Columns + " x " + c.fields.Rows + " from " + c.fields.Index + " of '" + c.image + "'");
    StartNew();
    Apply(c.fields, c.image);
    EXPECT_EQ(dialogs.Errors.size(), c.refused ? 1u : 0u);
    EXPECT_EQ(Dialog().isVisible(), c.refused);
    EXPECT_EQ(Definitions(Document()), std::vector<std::string>{Shadow});
    EXPECT_FALSE(Document()->Modified);
    dialogs.Errors.clear();
  }

  // Without a document the dialog closes before reading a field.
  TempDir empty;
  TEditFrame &f = Start("", empty.Path());
  ASSERT_EQ(f.Session.GetCurrentAni(), nullptr);
  f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
  f.Button9Click();
  f.AddSprite->Edit3->setText("x");
  f.AddSprite->Button1Click();
  EXPECT_FALSE(f.AddSprite->isVisible());
  EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(AddSpriteTest, TheStripMenuUpdatesADefinitionAndFieldsAreKept)
{
  TEditFrame &f = StartNew();
  Apply({"0", "0", "16", "8", "2", "1", "20"}, "SPRITES", "leg");
  ASSERT_EQ(Document()->Sprites.size(), 3u);
  Dialog().Edit11->setText("3"); // left from the last use; an update makes a single definition

  // A right click on the strip entry of 21 opens its menu; "&Edit" opens the dialog on it.
  const TZeltoAniSprite *leg = FindSprite(Document(), 21);
  f.DXDraw1MouseDown(Qt::RightButton, f.Session.Scene.SpriteListLeft + 25,
                     leg->ListTop - f.Session.Scene.SpriteListScroll + 7, {});
  f.PopupMenu3->hide();
  EXPECT_EQ(f.Session.MenuSpriteIndex, 21);
  f.Edit3->trigger();
  ASSERT_TRUE(Dialog().isVisible());
  EXPECT_EQ(Dialog().windowTitle(), "Update Sprite");
  EXPECT_EQ(Dialog().Button1->text(), "&Update");
  EXPECT_EQ(Dialog().ComboBox1->currentText(), "SPRITES");
  EXPECT_EQ(Dialog().Edit2->text(), "leg (1)");
  const std::vector<QString> numbers = {Dialog().Edit13->text(), Dialog().Edit3->text(), Dialog().Edit4->text(),
                                        Dialog().Edit5->text(),  Dialog().Edit6->text(), Dialog().Edit11->text(),
                                        Dialog().Edit12->text()};
  EXPECT_EQ(numbers, (std::vector<QString>{"21", "16", "0", "16", "8", "1", "1"}));

  Dialog().ComboBox1->setCurrentText("head19.png");
  Dialog().Edit2->setText("foot");
  Dialog().Edit6->setText("12");
  Dialog().Button1Click();
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_EQ(Definitions(Document()),
            (std::vector<std::string>{Shadow, "20 SPRITES 0 0 16 8 leg (0)", "21 head19.png 16 0 16 12 foot"}));

  // Adding again: the add captions, and the fields as the update left them.
  f.SpeedButton18->click();
  ASSERT_TRUE(Dialog().isVisible());
  EXPECT_EQ(Dialog().windowTitle(), "Add Sprite");
  EXPECT_EQ(Dialog().Button1->text(), "&Add");
  EXPECT_EQ(Dialog().Edit2->text(), "foot");
  EXPECT_EQ(Dialog().Edit13->text(), "21");
  Dialog().Edit2->setText("changed");
  Dialog().Button3Click(); // Cancel
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_EQ(FindSprite(Document(), 21)->Description, "foot");

  // A menu index without a definition, and a mode that is neither, show nothing.
  f.Session.MenuSpriteIndex = 99;
  f.Edit3Click();
  f.ShowAddSpriteDialog(2);
  EXPECT_FALSE(Dialog().isVisible());
  EXPECT_EQ(Dialog().windowTitle(), "Add Sprite");
}

TEST_F(AddSpriteTest, NewDocumentThroughTheDialogAndTheStripToTheSavedFile)
{
  TEditFrame &f = StartNew();
  f.SpeedButton18->click();
  Type(Dialog(), {"0", "0", "32", "32", "1", "1", "20"}, "sprites.png", "left cell");
  Dialog().Button1Click();
  f.SpeedButton18->click();
  Type(Dialog(), {"32", "0", "32", "32", "1", "1", "21"}, "sprites.png", "right cell");
  Dialog().Button1Click();
  ASSERT_TRUE(dialogs.Errors.empty());
  ASSERT_FALSE(Dialog().isVisible());

  // Drag the right cell from its strip entry into the scene. The entry's image is drawn centred
  // in the strip 5 below the entry's top; the press is 16 right of and 2 below its corner, and
  // the new part keeps that offset from the pointer.
  const TZeltoAniSprite *cell = FindSprite(Document(), 21);
  const int pressX = f.Session.Scene.SpriteListLeft + 25;
  const int pressY = cell->ListTop - f.Session.Scene.SpriteListScroll + 5 + 2;
  f.DXDraw1MouseDown(Qt::LeftButton, pressX, pressY, {});
  f.DXDraw1MouseMove(150, 120, {});
  f.DXDraw1MouseMove(200, 150, {});
  f.DXDraw1MouseUp(Qt::LeftButton, 200, 150);
  const int x = 200 - 16 - f.Session.Scene.OriginX, y = 150 - 2 - f.Session.Scene.OriginY;

  TempDir dir;
  const std::string path = dir.Path() + "/cells.velk";
  dialogs.ChosenFiles = {path};
  f.SpeedButton11Click();
  std::istringstream saved(ReadWholeFile(path));
  std::vector<std::string> lines;
  while (!saved.eof())
    lines.push_back(ReadLine(saved));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "SPRITE    0         SPRITES    0    0   24   16 shadow");
  EXPECT_EQ(lines[2], "SPRITE   20     sprites.png    0    0   32   32 left cell");
  EXPECT_EQ(lines[3], "SPRITE   21     sprites.png   32    0   32   32 right cell");
  // The frame's lines follow ANI in the order up, left, down, right; the part went to "down".
  const size_t ani = size_t(std::find(lines.begin(), lines.end(), "ANI") - lines.begin());
  ASSERT_LT(ani + 4, lines.size());
  char part[32];
  std::snprintf(part, sizeof part, "%4d %3d %3d", 21, x, y);
  EXPECT_EQ(lines[ani + 3], std::string("   0  12  34, ") + part);
  EXPECT_EQ(lines[ani + 1], "   0  12  34");
  EXPECT_FALSE(Document()->Modified);
}

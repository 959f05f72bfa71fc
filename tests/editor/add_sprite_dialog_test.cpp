// The Add Sprite dialog through its handlers: grids of definitions, fields that are not integers,
// grids the session refuses, updating a definition from the strip's menu, and a whole session
// from a new document through the dialog and the strip to the saved file. Its image through real
// mouse and key events: the cells drawn for the fields, drags and clicks, grid detection and
// the Image box's completion; the question before shown definitions are replaced, and the index
// it starts at.
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
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
#include "editor/sprite_image_view.h"
#include "editor_fixture.h"
#include "images/file_index.h"
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
  // The fields keep the form's 577 x 361 (less its margins of 6), and every help text is as tall
  // as its wrapped lines: the font standing in for MS Sans Serif runs wider, and must not cut the
  // texts off. The image takes the room to their right.
  d.show();
  EXPECT_EQ(d.FieldsPanel->width(), 577 - 12);
  EXPECT_GE(d.FieldsPanel->height(), 361 - 12);
  for (QLabel *help : {d.Label16, d.Label17, d.Label18, d.Label14, d.Label15})
    EXPECT_GE(help->height(), help->heightForWidth(help->width())) << help->text().toStdString();
  EXPECT_GE(d.ImageView->x(), d.FieldsPanel->geometry().right());
  EXPECT_GE(d.ImageView->width(), 240);
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
    const char *label; // the field's label, which the message names
  };
  const Case cases[] = {
      {&TAddSprite::Edit3, "12a", "x:"},
      {&TAddSprite::Edit4, "12a", "y:"},
      {&TAddSprite::Edit5, "12a", "width:"},
      {&TAddSprite::Edit6, "12a", "height:"},
      {&TAddSprite::Edit11, "12a", "grid width:"},
      {&TAddSprite::Edit12, "12a", "grid height:"},
      {&TAddSprite::Edit13, "12a", "Sprite index:"},
      {&TAddSprite::Edit3, "", "x:"},
      {&TAddSprite::Edit13, "2147483648", "Sprite index:"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE("field " + std::to_string(&c - cases) + " '" + c.text + "'");
    StartNew();
    frame->Button9Click();
    Type(Dialog(), {});
    (Dialog().*c.field)->setText(c.text);
    Dialog().Button1Click();
    EXPECT_EQ(dialogs.Errors,
              std::vector<std::string>{std::string(c.label) + " '" + c.text + "' is not a valid integer value"});
    EXPECT_EQ(Definitions(Document()), std::vector<std::string>{Shadow});
    EXPECT_FALSE(Document()->Modified);
    EXPECT_TRUE(Dialog().isVisible()) << "stays open for a correction";
    EXPECT_EQ(Dialog().focusWidget(), Dialog().*c.field) << "the field is ready to be typed into";
    dialogs.Errors.clear();
  }

  // Fields are read in the order x, y, width, height, columns, rows, index: the first bad one is
  // named, once.
  StartNew();
  frame->Button9Click();
  Type(Dialog(), {"0", "0", "32", "h", "c", "1", "i"});
  Dialog().Button1Click();
  EXPECT_EQ(dialogs.Errors, std::vector<std::string>{"height: 'h' is not a valid integer value"});
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

  // Adding again: the add captions, and the fields as the update left them, but for the index,
  // which moves on past the definitions there are.
  f.SpeedButton18->click();
  ASSERT_TRUE(Dialog().isVisible());
  EXPECT_EQ(Dialog().windowTitle(), "Add Sprite");
  EXPECT_EQ(Dialog().Button1->text(), "&Add");
  EXPECT_EQ(Dialog().Edit2->text(), "foot");
  EXPECT_EQ(Dialog().Edit13->text(), "22");
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

namespace {

// A sheet written by Qt as an indexed PNG whose entry 0 is transparent: cols x rows cells of
// cellW x cellH from (0, 0), each holding a sprite inset by 2 (the last row lastRow of them).
void WriteSheet(const std::string &path, int cellW, int cellH, int cols, int rows, int lastRow)
{
  QImage sheet(cols * cellW, rows * cellH, QImage::Format_Indexed8);
  sheet.setColorTable({qRgba(255, 0, 255, 0), qRgb(200, 40, 40), qRgb(40, 200, 40)});
  sheet.fill(0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < (r == rows - 1 ? lastRow : cols); ++c)
      for (int y = r * cellH + 2; y < (r + 1) * cellH - 2; ++y)
        for (int x = c * cellW + 2; x < (c + 1) * cellW - 2; ++x)
          sheet.setPixel(x, y, 1 + (c + r) % 2);
  ASSERT_TRUE(sheet.save(QString::fromStdString(path + ".new"), "PNG"));
  std::filesystem::rename(path + ".new", path);
}

// A mouse event on a widget with the buttons held as given.
void SendMouse(QWidget *widget, QEvent::Type type, const QPoint &p, Qt::MouseButtons held = Qt::LeftButton)
{
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(p), widget->mapToGlobal(QPointF(p)), button,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Replaces a line edit's text key by key.
void TypeInto(QLineEdit *edit, const std::string &text)
{
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromStdString(text));
}

std::vector<std::string> RectangleFields(const TAddSprite &d)
{
  return {d.Edit3->text().toStdString(), d.Edit4->text().toStdString(), d.Edit5->text().toStdString(),
          d.Edit6->text().toStdString()};
}

} // namespace

// A window on a game folder of its own (the bundled one and sheet.png: 4 x 3 cells of 16 x 12,
// the last row with two sprites), a new document, and the dialog open on the sheet at zoom 3.
class SheetDialogTest : public AddSpriteTest
{
protected:
  TAddSprite &OpenOnSheet()
  {
    std::filesystem::copy(BundledGame(), game.Path(), std::filesystem::copy_options::recursive);
    WriteSheet(game.Path() + "/sheet.png", 16, 12, 4, 3, 2);
    TEditFrame &f = Start("", game.Path());
    f.SpeedButton34Click();
    f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
    f.SpeedButton18->click();
    TypeInto(Dialog().ComboBox1->lineEdit(), "sheet.png");
    // The completer's list of names closes, as a click elsewhere would close it.
    QTest::keyClick(Dialog().ComboBox1->completer()->popup(), Qt::Key_Escape);
    Dialog().ImageView->SetZoom(3);
    return Dialog();
  }
  // The canvas point of image pixel (x, y)'s top left corner.
  static QPoint At(int x, int y) { return QPoint(x * 3, y * 3); }

  TempDir game;
};

TEST_F(SheetDialogTest, TheCellsFollowTheFieldsAsTheyAreTyped)
{
  TAddSprite &d = OpenOnSheet();
  ASSERT_TRUE(d.ImageView->HasImage());
  EXPECT_EQ(d.ImageView->ImageSize(), QSize(64, 36));
  struct Case
  {
    const char *name;
    TFields fields;
    std::vector<QRect> cells; // in image pixels
  };
  const Case cases[] = {
      {"one rectangle", {"2", "1", "10", "8", "1", "1", "20"}, {QRect(2, 1, 10, 8)}},
      {"3 x 2 cells",
       {"0", "0", "16", "12", "3", "2", "20"},
       {QRect(0, 0, 16, 12), QRect(16, 0, 16, 12), QRect(32, 0, 16, 12), QRect(0, 12, 16, 12), QRect(16, 12, 16, 12),
        QRect(32, 12, 16, 12)}},
      {"2 x 1 from (5, 4)", {"5", "4", "8", "6", "2", "1", "20"}, {QRect(5, 4, 8, 6), QRect(13, 4, 8, 6)}},
      {"a width that is no number", {"0", "0", "1x6", "12", "3", "2", "20"}, {}},
      {"no columns", {"0", "0", "16", "12", "0", "2", "20"}, {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const TFields &t = c.fields;
    for (const auto &[edit, text] : std::vector<std::pair<QLineEdit *, std::string>>{{d.Edit3, t.X},
                                                                                     {d.Edit4, t.Y},
                                                                                     {d.Edit5, t.Width},
                                                                                     {d.Edit6, t.Height},
                                                                                     {d.Edit11, t.Columns},
                                                                                     {d.Edit12, t.Rows},
                                                                                     {d.Edit13, t.Index}})
      TypeInto(edit, text);
    const QImage shown = d.ImageView->Canvas()->grab().toImage();
    auto isCell = [&shown](const QPoint &p) { return shown.pixelColor(p) == TSpriteImageView::CellColour; };
    int cellPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        cellPixels += isCell({x, y});
    if (c.cells.empty())
      EXPECT_EQ(cellPixels, 0);
    for (const QRect &cell : c.cells) {
      // Every edge of the cell in the cell's colour, its middle not.
      const QRect box(At(cell.x(), cell.y()), At(cell.right() + 1, cell.bottom() + 1) - QPoint(1, 1));
      EXPECT_TRUE(isCell({box.left(), box.center().y()})) << "left edge of " << cell.x() << ", " << cell.y();
      EXPECT_TRUE(isCell({box.right(), box.center().y()})) << "right edge";
      EXPECT_TRUE(isCell({box.center().x(), box.top()})) << "top edge";
      EXPECT_TRUE(isCell({box.center().x(), box.bottom()})) << "bottom edge";
      EXPECT_FALSE(isCell(box.center()));
    }
    if (!c.cells.empty() && c.cells[0].x() > 0)
      EXPECT_FALSE(isCell({At(c.cells[0].x(), 0).x() - 1, At(0, c.cells[0].y()).y() + 4})) << "left of the grid";
  }
}

TEST_F(SheetDialogTest, ADragOrAClickOnTheImageSetsTheRectangle)
{
  TAddSprite &d = OpenOnSheet();
  QWidget *canvas = d.ImageView->Canvas();
  auto drag = [canvas](const QPoint &from, const QPoint &to) {
    SendMouse(canvas, QEvent::MouseButtonPress, from);
    SendMouse(canvas, QEvent::MouseMove, (from + to) / 2);
    SendMouse(canvas, QEvent::MouseMove, to);
    SendMouse(canvas, QEvent::MouseButtonRelease, to);
  };
  auto click = [canvas](const QPoint &at) {
    SendMouse(canvas, QEvent::MouseButtonPress, at);
    SendMouse(canvas, QEvent::MouseButtonRelease, at);
  };
  // From pixel to pixel, both included, either way round; cut to the image.
  drag(At(3, 2) + QPoint(1, 1), At(9, 6) + QPoint(1, 1));
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"3", "2", "7", "5"}));
  drag(At(40, 30) + QPoint(2, 2), At(20, 10));
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"20", "10", "21", "21"}));
  drag(At(60, 30), At(80, 50));
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"60", "30", "4", "6"}));

  // A click takes the bounds of the sprite it hits: cell (1, 1) holds (18, 14) to (29, 21).
  click(d.ImageView->CanvasPoint({20, 15}));
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"18", "14", "12", "8"}));
  // Between sprites nothing changes, and the status says so.
  click(d.ImageView->CanvasPoint({16, 13}));
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"18", "14", "12", "8"}));
  EXPECT_TRUE(d.StatusLabel->text().contains("No sprite at (16, 13)")) << d.StatusLabel->text().toStdString();

  // Ctrl+wheel zooms by whole steps; the buttons too.
  QWheelEvent wheel(QPointF(10, 10), canvas->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(canvas, &wheel);
  EXPECT_EQ(d.ImageView->Zoom(), 4);
  EXPECT_EQ(d.ZoomLabel->text(), "400%");
  QTest::mouseClick(d.ZoomOutButton, Qt::LeftButton);
  EXPECT_EQ(d.ImageView->Zoom(), 3);
  EXPECT_EQ(canvas->size(), QSize(64 * 3, 36 * 3));
}

TEST_F(SheetDialogTest, DetectGridFillsTheFields)
{
  TAddSprite &d = OpenOnSheet();
  QTest::mouseClick(d.DetectGridButton, Qt::LeftButton);
  EXPECT_EQ(RectangleFields(d), (std::vector<std::string>{"0", "0", "16", "12"}));
  EXPECT_EQ(d.Edit11->text(), "4");
  EXPECT_EQ(d.Edit12->text(), "3");
  EXPECT_TRUE(d.StatusLabel->text().contains("A grid of 4 x 3 cells of 16 x 12 pixels"));

  // Applied, the cells become definitions from the first free index.
  QTest::mouseClick(d.Button1, Qt::LeftButton);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Document()->Sprites.size(), 13u);
  EXPECT_EQ(Definitions(Document())[12], "31 sheet.png 48 24 16 12 sprite (3, 2)");

  // An image without a sprite: the fields stay, the status tells why.
  WriteSheet(game.Path() + "/empty.png", 8, 8, 1, 1, 0);
  ScanGameFolder();
  frame->SpeedButton18->click();
  TypeInto(d.ComboBox1->lineEdit(), "empty.png");
  QTest::mouseClick(d.DetectGridButton, Qt::LeftButton);
  EXPECT_EQ(d.Edit11->text(), "4");
  EXPECT_TRUE(d.StatusLabel->text().contains("The image has no pixel that is not transparent"));
}

TEST_F(SheetDialogTest, TheImageBoxOffersTheGameFoldersImages)
{
  TAddSprite &d = OpenOnSheet();
  QStringList items;
  for (int i = 0; i < d.ComboBox1->count(); ++i)
    items << d.ComboBox1->itemText(i);
  EXPECT_EQ(items.mid(0, 3), (QStringList{"SPRITES", "BODY", "HEAD"}));
  for (const char *image : {"body.png", "head19.png", "sheet.png", "sprites.png"})
    EXPECT_TRUE(items.contains(image)) << image;
  EXPECT_FALSE(items.contains("step.wav"));
  EXPECT_FALSE(items.contains("idle.velk"));

  // Typed, any part of a name offers it; chosen from the list, it shows.
  TypeInto(d.ComboBox1->lineEdit(), "ITE");
  QAbstractItemView *offered = d.ComboBox1->completer()->popup();
  ASSERT_TRUE(offered->isVisible());
  EXPECT_EQ(offered->model()->rowCount(), 2); // SPRITES and sprites.png
  TypeInto(d.ComboBox1->lineEdit(), "hea");
  ASSERT_TRUE(offered->isVisible());
  QTest::keyClick(offered, Qt::Key_Down);
  QTest::keyClick(offered, Qt::Key_Down);
  QTest::keyClick(offered, Qt::Key_Return);
  EXPECT_EQ(d.ComboBox1->currentText(), "head19.png");
  EXPECT_EQ(d.ImageView->ImageSize(), QSize(32, 128));
  EXPECT_EQ(d.ComboBox1->count(), items.size()) << "what is typed is not added to the list";
}

TEST_F(AddSpriteTest, AsksBeforeReplacingDefinitionsThatAreShown)
{
  // The idle animation's frames show 0, 10 to 13, 30 to 33, 40 to 43 and 50 to 53.
  struct Case
  {
    const char *name;
    std::string index, columns, rows;
    std::string question; // empty: none asked
  };
  const Case cases[] = {
      {"a grid over four shown ones", "10", "2", "2", "Sprites 10 to 13 are used by frames. Replace them?"},
      {"one shown", "30", "1", "1", "Sprite 30 is used by frames. Replace it?"},
      {"two of a row", "12", "3", "1", "Sprites 12 and 13 are used by frames. Replace them?"},
      {"free ones", "60", "4", "4", ""},
  };
  for (const Case &c : cases)
    for (int answer : {1, 0, -1}) { // Cancel, Replace, the box closed
      SCOPED_TRACE(std::string(c.name) + " answered " + std::to_string(answer));
      TEditFrame &f = Start();
      f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
      const std::vector<std::string> before = Definitions(Document());
      dialogs.Questions.clear();
      dialogs.Choices = {answer};
      Apply({"0", "0", "8", "8", c.columns, c.rows, c.index}, "SPRITES", "new");
      if (c.question.empty()) {
        EXPECT_TRUE(dialogs.Questions.empty());
        EXPECT_FALSE(Dialog().isVisible());
        break;
      }
      EXPECT_EQ(dialogs.Questions, std::vector<std::string>{"Add Sprite: " + c.question});
      EXPECT_EQ(Dialog().isVisible(), answer != 0) << "stays open unless replaced";
      EXPECT_EQ(Definitions(Document()) == before, answer != 0);
      EXPECT_EQ(Document()->Modified, answer == 0);
    }

  // Updating a shown definition asks nothing; moving it onto another shown one does.
  TEditFrame &f = Start();
  f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
  dialogs.Questions.clear();
  f.EditSpriteDefinition(FindSprite(Document(), 30));
  Dialog().Edit5->setText("20");
  Dialog().Button1Click();
  EXPECT_TRUE(dialogs.Questions.empty());
  EXPECT_EQ(FindSprite(Document(), 30)->Width, 20);
  f.EditSpriteDefinition(FindSprite(Document(), 30));
  Dialog().Edit13->setText("31");
  dialogs.Choices = {1};
  Dialog().Button1Click();
  EXPECT_EQ(dialogs.Questions, std::vector<std::string>{"Update Sprite: Sprite 31 is used by frames. Replace it?"});
  EXPECT_TRUE(Dialog().isVisible());
  Dialog().Button3Click();

  // In a movie, sprite actors show the definitions their keys name.
  TempDir dir;
  const std::string movie = dir.Write("scene.velk", "VELK0002\nFRAMES 40\nSPRITE 20 SPRITES 0 0 8 8 star\n"
                                                    "SPRITE 21 SPRITES 0 0 8 8 moon\nMOVIE\nACTOR SPRITE Star\n"
                                                    "FRAME 0 visible=true,sprite #=20\nFRAME 5 sprite #=21\n"
                                                    "ACTOREND\nMOVIEEND\n");
  ASSERT_TRUE(f.Session.OpenAnimation(movie));
  dialogs.Questions.clear();
  dialogs.Choices = {1};
  Apply({"0", "0", "8", "8", "2", "1", "20"});
  EXPECT_EQ(dialogs.Questions,
            std::vector<std::string>{"Add Sprite: Sprites 20 and 21 are used by actors. Replace them?"});
}

TEST_F(AddSpriteTest, TheIndexStartsAtTheFirstFreeOne)
{
  // The idle animation defines 0, 10 to 13, 30 to 33, 40 to 43 and 50 to 53.
  struct Case
  {
    std::string index, columns, rows, expected;
  };
  const Case cases[] = {{"20", "1", "1", "20"}, {"10", "1", "1", "14"}, {"12", "2", "2", "14"},
                        {"28", "2", "3", "34"}, {"$A", "1", "1", "14"}, {"$14", "1", "1", "$14"},
                        {"x", "1", "1", "x"},   {"10", "x", "1", "14"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.index + " for " + c.columns + " x " + c.rows);
    TEditFrame &f = Start();
    f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
    Dialog().Edit13->setText(QString::fromStdString(c.index));
    Dialog().Edit11->setText(QString::fromStdString(c.columns));
    Dialog().Edit12->setText(QString::fromStdString(c.rows));
    f.SpeedButton18->click();
    EXPECT_EQ(Dialog().Edit13->text().toStdString(), c.expected);
  }
}

// The window and the game's files: a repainted image shows on the canvas and in the Add Sprite
// dialog without a change to the document, a broken one keeps its pixels and says so once; the
// zoom keys and Ctrl+wheel; the sounds offered for a sound's file; Save As adds ".velk".
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <filesystem>

#include "core/helpers.h"
#include "editor/add_sprite_dialog.h"
#include "editor/qt_dialogs.h"
#include "editor/sprite_image_view.h"
#include "editor_fixture.h"
#include "images/file_index.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// sprites.png as Qt writes an indexed PNG: 64 x 32, transparent but for the shadow's rectangle
// (0, 0, 24, 16) in one colour.
void WriteSprites(const std::string &path, QRgb shadow)
{
  QImage image(64, 32, QImage::Format_Indexed8);
  image.setColorTable({qRgba(255, 0, 255, 0), shadow});
  image.fill(0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      image.setPixel(x, y, 1);
  // Saved beside and renamed over the file, as paint programs save.
  ASSERT_TRUE(image.save(QString::fromStdString(path + ".new"), "PNG"));
  fs::rename(path + ".new", path);
}

class ImagesWindowTest : public EditorTest
{
protected:
  // A window on a copy of the bundled game folder whose sprites.png is WriteSprites(red), on a new
  // document: one frame with the shadow at (12, 34) in every direction.
  TEditFrame &StartOnCopy()
  {
    fs::copy(BundledGame(), game.Path(), fs::copy_options::recursive);
    WriteSprites(Sprites(), qRgb(255, 0, 0));
    TEditFrame &f = Start("", game.Path());
    f.SpeedButton34Click();
    f.Session.DrawCanvas();
    return f;
  }
  std::string Sprites() const { return game.Path() + "/sprites.png"; }
  // The canvas's pixel in the middle of the shadow.
  QRgb ShadowPixel() const
  {
    const TSceneState &scene = frame->Session.Scene;
    return frame->Session.Setup.Display.Surface().Image().pixel(scene.OriginX + 24, scene.OriginY + 42) & 0xFFFFFF;
  }

  TempDir game;
};

} // namespace

TEST_F(ImagesWindowTest, ARepaintedImageShowsWithinASecondAndChangesNothingElse)
{
  TEditFrame &f = StartOnCopy();
  ASSERT_EQ(ShadowPixel(), 0xFF0000u);
  const std::string caption = f.windowTitle().toStdString();
  const int entries = f.Session.History.Count();
  // The dialog shows the same image meanwhile.
  f.AddSprite->RunModal = [&f] { f.AddSprite->show(); };
  f.Button9Click();
  f.AddSprite->ComboBox1->setCurrentText("SPRITES");
  f.AddSprite->ImageView->SetZoom(2);
  auto dialogPixel = [&f] { return f.AddSprite->ImageView->Canvas()->grab().toImage().pixel(24, 16) & 0xFFFFFF; };
  ASSERT_EQ(dialogPixel(), 0xFF0000u);

  struct Step
  {
    const char *name;
    std::function<void()> change;
    QRgb shown;
    bool notice;
  };
  const Step steps[] = {
      {"repainted", [&] { WriteSprites(Sprites(), qRgb(0, 0, 255)); }, 0x0000FF, false},
      {"broken", [&] { game.Write("sprites.png", "not an image"); }, 0x0000FF, true},
      {"repaired", [&] { WriteSprites(Sprites(), qRgb(0, 255, 0)); }, 0x00FF00, false},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    if (step.notice) {
      EXPECT_TRUE(QTest::qWaitFor([&f] { return f.NoticeLabel->isVisibleTo(&f); }, 1000));
      EXPECT_TRUE(f.NoticeLabel->text().contains("'sprites.png' could not be read again"));
    } else {
      EXPECT_TRUE(QTest::qWaitFor([&] { return ShadowPixel() == step.shown; }, 1000));
      EXPECT_FALSE(f.NoticeLabel->isVisibleTo(&f));
    }
    EXPECT_EQ(ShadowPixel(), step.shown);
    EXPECT_EQ(dialogPixel(), step.shown);
    EXPECT_FALSE(f.Session.GetCurrentAni()->Modified);
    EXPECT_EQ(f.Session.History.Count(), entries);
    EXPECT_EQ(f.windowTitle().toStdString(), caption);
  }

  // A file added to the game folder is found by the index, and the Image box offers it.
  f.AddSprite->hide();
  game.Write("more/new.png", ReadWholeFile(Sprites()));
  EXPECT_TRUE(QTest::qWaitFor([] { return !LookupFile("new.png").empty(); }, 1000));
  f.Button9Click();
  EXPECT_GE(f.AddSprite->ComboBox1->findText("new.png"), 0);
}

TEST_F(ImagesWindowTest, ZoomKeysAndCtrlWheel)
{
  TEditFrame &f = Start();
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f)) << "window shortcuts need an active window";
  struct Step
  {
    const char *name;
    std::function<void()> act;
    double zoom;
    const char *shown;
  };
  auto key = [&f](Qt::Key k) { return [&f, k] { QTest::keyClick(&f, k, Qt::ControlModifier); }; };
  // A wheel turn over the scene: away from the user when up.
  auto wheel = [&f](bool up, Qt::KeyboardModifiers modifiers) {
    return [&f, up, modifiers] {
      const QPointF at(f.Session.Scene.SpriteListLeft + 150, 100);
      QWheelEvent event(at, f.DXDraw1->mapToGlobal(at), {}, QPoint(0, up ? 120 : -120), Qt::NoButton, modifiers,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(f.DXDraw1, &event);
    };
  };
  const Step steps[] = {
      {"Ctrl++", key(Qt::Key_Plus), 1.125, "113%"},
      {"Ctrl+=", key(Qt::Key_Equal), 1.125 * 1.125, "127%"},
      {"Ctrl+-", key(Qt::Key_Minus), 1.125, "113%"},
      {"Ctrl+0", key(Qt::Key_0), 1.0, "100%"},
      {"Ctrl+- at 1", key(Qt::Key_Minus), 1.0, "100%"},
      {"Ctrl+wheel up", wheel(true, Qt::ControlModifier), 1.125, "113%"},
      {"Ctrl+wheel down", wheel(false, Qt::ControlModifier), 1.0, "100%"},
      {"the wheel alone, down", wheel(false, {}), 1.125, "113%"},
      {"the wheel alone, up", wheel(true, {}), 1.0, "100%"},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_DOUBLE_EQ(f.Session.Scene.Zoom, step.zoom);
    EXPECT_EQ(f.ZoomLabel->text(), step.shown);
  }
  for (int i = 0; i < 30; ++i)
    QTest::keyClick(&f, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(f.Session.Scene.Zoom, 16.0);
  EXPECT_EQ(f.ZoomLabel->text(), "1600%");
}

TEST_F(ImagesWindowTest, AddSoundOffersTheGameFoldersSounds)
{
  for (bool movie : {false, true}) {
    SCOPED_TRACE(movie ? "movie mode" : "sprite mode");
    TEditFrame &f = Start();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f)) << "the editor's completion follows its focus";
    f.SpeedButton34Click();
    if (movie)
      f.MovieButtonClick();
    ASSERT_EQ(f.Session.MovieMode, movie);
    QTest::mouseClick(movie ? f.SpeedButton33 : f.SpeedButton35, Qt::LeftButton);
    // The file row's editor is open, offering every sound; typing narrows them.
    ASSERT_GE(f.Session.EditRow, 0);
    EXPECT_EQ(f.Session.GridRow(f.Session.EditRow).Label, "file");
    QLineEdit *editor = f.StringGrid1->Editor();
    ASSERT_TRUE(editor->isVisible());
    QAbstractItemView *offered = f.StringGrid1->Completer()->popup();
    ASSERT_TRUE(offered->isVisible());
    EXPECT_EQ(offered->model()->rowCount(), 3); // chime, step and swing
    QTest::keyClicks(editor, "I");
    EXPECT_EQ(offered->model()->rowCount(), 2); // chime and swing
    QTest::keyClick(offered, Qt::Key_Down);
    QTest::keyClick(offered, Qt::Key_Down);
    QTest::keyClick(offered, Qt::Key_Return);
    EXPECT_EQ(editor->text(), "swing.wav");
    EXPECT_EQ(f.Session.GridRow(f.Session.EditRow).Value, "swing.wav") << "taken as typed";
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(ExtractKey(played.back()), "swing.wav");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(f.Session.EditRow, -1);
    played.clear();
  }
}

TEST_F(ImagesWindowTest, SaveAsAddsTheExtensionBeforeAskingToReplace)
{
  TempDir dir;
  const std::string filter = "Zelto animations (*.velk)|*.velk|All file types|*.*";
  TQtUiDialogs qtDialogs(nullptr);
  // The name typed into the file dialog; the replace question is answered No, and the dialog then
  // cancelled.
  QString typed;
  std::vector<QString> asked;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget *window : QApplication::topLevelWidgets())
      if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
        asked.push_back(box->text());
        box->button(QMessageBox::No)->click();
        return;
      }
    for (QWidget *window : QApplication::topLevelWidgets())
      if (auto *files = qobject_cast<QFileDialog *>(window); files && files->isVisible()) {
        QLineEdit *name = files->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_TRUE(name);
        name->setText(typed);
        // Saved as the dialog's Save button does (accept is QFileDialog's own, behind QDialog's),
        // later, since the question it may ask waits for this timer; after a No, cancelled.
        QDialog *dialog = files;
        QTimer::singleShot(0, files, [dialog, no = !asked.empty()] { no ? dialog->reject() : dialog->accept(); });
        return;
      }
  });
  answer.start();

  struct Case
  {
    QString typed;
    std::string chosen; // empty: cancelled after the question
  };
  const Case cases[] = {{"walk", "walk.velk"}, {"notes.txt", "notes.txt"}, {"walk", ""}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.typed.toStdString() + " to " + c.chosen);
    typed = c.typed;
    asked.clear();
    // The third time walk.velk exists: the question names it, though "walk" was typed.
    if (c.chosen.empty())
      dir.Write("walk.velk", "VELK0001\n");
    std::string chosen;
    EXPECT_EQ(qtDialogs.SaveFile("Save Zelto Animation", dir.Path() + "/", filter, chosen), !c.chosen.empty());
    if (!c.chosen.empty())
      EXPECT_EQ(chosen, dir.Path() + "/" + c.chosen);
    ASSERT_EQ(asked.size(), c.chosen.empty() ? 1u : 0u);
    if (c.chosen.empty())
      EXPECT_TRUE(asked[0].contains("walk.velk")) << asked[0].toStdString();
  }
}

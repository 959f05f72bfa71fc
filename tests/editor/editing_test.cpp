// The window's editing controls: the nudge and order buttons, the x and y boxes, undo and redo
// with their buttons and keys, files dropped on the window, and which buttons are enabled.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "editor/canvas_widget.h"
#include "editor/options_grid.h"
#include "editor_fixture.h"
#include "model/document.h"

namespace {

TPartList &CurrentParts(TEditFrame &f)
{
  return *f.Session.CurrentPartList();
}

} // namespace

TEST_F(EditorTest, ButtonsAndBoxesEditThePrimaryPartAndUndoFollows)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click(); // a new document: one shadow at (12, 34), selected
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f)) << "window shortcuts need an active window";
  TZeltoAniPart &part = *CurrentParts(f)[0];
  ASSERT_TRUE(f.SpeedButton4->isEnabled());
  EXPECT_FALSE(f.SpeedButton24->isEnabled());
  f.SpeedButton4->click();
  f.SpeedButton4->click();
  f.SpeedButton3->click();
  EXPECT_EQ(part.X, 14);
  EXPECT_EQ(part.Y, 35);
  EXPECT_EQ(f.Edit1->text(), "14");
  EXPECT_TRUE(f.SpeedButton24->isEnabled());
  EXPECT_FALSE(f.SpeedButton25->isEnabled());

  // Enter in a box commits; text that is not a number shows the part's value again.
  f.show();
  QTest::mouseClick(f.Edit1, Qt::LeftButton);
  QTest::keyClick(f.Edit1, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(f.Edit1, "100");
  QTest::keyClick(f.Edit1, Qt::Key_Return);
  EXPECT_EQ(part.X, 100);
  QTest::mouseClick(f.Edit2, Qt::LeftButton);
  QTest::keyClick(f.Edit2, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(f.Edit2, "4x");
  QTest::keyClick(f.Edit2, Qt::Key_Tab); // leaving the box commits
  EXPECT_EQ(part.Y, 35);
  EXPECT_EQ(f.Edit2->text(), "35");

  f.SpeedButton24->click(); // the typed x
  EXPECT_EQ(part.X, 14);
  f.ClearFocus();
  QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier); // the nudges, one merged entry... twice over
  EXPECT_EQ(part.X, 12);
  EXPECT_EQ(part.Y, 34);
  EXPECT_TRUE(f.SpeedButton25->isEnabled());
  QTest::keyClick(&f, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(part.X, 14);
  QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(part.X, 100);
  EXPECT_TRUE(f.Session.GetCurrentAni()->Modified);
  EXPECT_NE(f.windowTitle().toStdString().find("(modified)"), std::string::npos);
}

// The controls go after the window's members; a box or grid editor with the focus and a pending
// edit must not call back into the window then (the sanitizer build of these tests sees it).
TEST_F(EditorTest, ClosingWithAPendingEditCallsNothingBack)
{
  for (bool grid : {false, true}) {
    TEditFrame &f = Start();
    f.SpeedButton34Click();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    if (grid) {
      ClickCell(13, 1);
      ASSERT_TRUE(f.StringGrid1->EditorOpen());
      QTest::keyClicks(f.StringGrid1->Editor(), "7");
    } else {
      f.Edit2->setFocus();
      f.Edit2->setText("77");
    }
    frame.reset();
  }
}

TEST_F(EditorTest, ButtonsFollowTheDocumentSelectionAndHistory)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  for (QWidget *button : std::initializer_list<QWidget *>{f.SpeedButton10, f.SpeedButton11, f.SpeedButton18,
                                                          f.SpeedButton22, f.SpeedButton23, f.SpeedButton26,
                                                          f.MovieButton, f.SpeedButton19, f.SpeedButton1})
    EXPECT_TRUE(button->isEnabled()) << button->toolTip().toStdString();
  EXPECT_FALSE(f.SpeedButton15->isEnabled()) << "one frame cannot be deleted";
  EXPECT_FALSE(f.SpeedButton17->isEnabled()) << "no frame copied";
  EXPECT_FALSE(f.SpeedButton30->isEnabled()) << "no actor selected";
  EXPECT_FALSE(f.SpeedButton32->isEnabled()) << "no actor copied";
  f.Session.ChoosePart(-1);
  EXPECT_FALSE(f.SpeedButton19->isEnabled());
  EXPECT_FALSE(f.SpeedButton1->isEnabled());
  EXPECT_EQ(f.Edit1->text(), "-");
}

TEST_F(EditorTest, DroppedFilesBecomePartsAndSounds)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  f.show();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(BundledGame() + "/shield1.png")),
                QUrl::fromLocalFile(QString::fromStdString(BundledGame() + "/chime.wav"))});
  const QPoint canvasPoint(200, 120);
  const QPoint windowPoint = f.DXDraw1->mapTo(&f, canvasPoint);
  QDragEnterEvent enter(windowPoint, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &enter);
  EXPECT_TRUE(enter.isAccepted()) << "files are welcome";
  QDropEvent drop(QPointF(windowPoint), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &drop);
  ASSERT_EQ(CurrentParts(f).size(), 2u);
  const TZeltoAniPart &shield = *CurrentParts(f)[1];
  EXPECT_EQ(shield.Sprite->Image, "shield1.png");
  EXPECT_EQ(shield.X + shield.Sprite->Width / 2, canvasPoint.x() - f.Session.Scene.OriginX);
  const TZeltoAniStep &step = *f.Session.GetCurrentAni()->Steps[0];
  ASSERT_EQ(step.Sounds.size(), 1u);
  EXPECT_EQ(step.Sounds[0]->FileName, "chime.wav");
  EXPECT_EQ(played.size(), 1u) << "a dropped sound is played";
}

TEST_F(EditorTest, KeysArePreviewedForTheWholeWindowUnlessAControlHasTheFocus)
{
  TEditFrame &f = StartActive();
  TZeltoAniPart &part = *CurrentParts(f)[0];
  f.ClearFocus();
  QTest::keyClick(f.DXDraw1, Qt::Key_Right);
  EXPECT_EQ(part.X, 13);
  // With the focus in the x box the arrow moves its text cursor instead.
  f.Edit1->setFocus();
  QTest::keyClick(f.Edit1, Qt::Key_Right);
  EXPECT_EQ(part.X, 13);
  // Ctrl+N reaches the editor even so (the shadow's index is 0, so nothing moves).
  QTest::keyClick(f.Edit1, Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(f.Session.GetCurrentAni()->Modified);
  // Tab moves no focus when the window has none.
  f.ClearFocus();
  QTest::keyClick(&f, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(EditorTest, GridCellsToggleOrOpenAnEditorWhoseTextIsAppliedAtOnce)
{
  TEditFrame &f = Start();
  f.SpeedButton34Click();
  f.show();
  TZeltoAni &ani = *f.Session.GetCurrentAni();
  ClickCell(2, 1);
  EXPECT_TRUE(ani.Loop);
  EXPECT_EQ(f.StringGrid1->item(2, 1)->text(), "true");
  EXPECT_FALSE(f.StringGrid1->EditorOpen());

  ClickCell(13, 1);
  ASSERT_TRUE(f.StringGrid1->EditorOpen());
  QTest::keyClicks(f.StringGrid1->Editor(), "5 6");
  EXPECT_EQ(ani.DefaultParams[0], "5") << "applied at every keystroke, cut at the blank";
  EXPECT_EQ(f.StringGrid1->Editor()->text(), "5 6");
  QTest::keyClick(f.StringGrid1->Editor(), Qt::Key_Return);
  EXPECT_FALSE(f.StringGrid1->EditorOpen());
  EXPECT_EQ(f.StringGrid1->item(13, 1)->text(), "5") << "what was kept shows when the edit ends";

  // A head that is not known stays in the editor until the edit ends, then the stored one shows.
  ClickCell(8, 1);
  QTest::keyClick(f.StringGrid1->Editor(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(f.StringGrid1->Editor(), "nothere.png");
  EXPECT_EQ(ani.DefaultHead, "head19.png");
  QTest::keyClick(f.StringGrid1->Editor(), Qt::Key_Tab);
  EXPECT_EQ(f.StringGrid1->item(8, 1)->text(), "head19.png");
  // A label-less row opens nothing.
  ClickCell(1, 1);
  EXPECT_FALSE(f.StringGrid1->EditorOpen());

  // A frame's length typed with the keys is applied when the edit ends: the lengths on the way
  // neither move the frame's sound nor rewrite the text under the cursor.
  Frames(f.Session, {41, 2});
  ani.Steps[0]->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"step.wav", 0, 0, 31}));
  f.Session.DrawCanvas();
  const TCanvasGeometry g = f.Session.Geometry();
  Mouse(QEvent::MouseButtonPress, QPoint(RulerX(g, 0), g.TimelineTop + 5));
  Mouse(QEvent::MouseButtonRelease, QPoint(RulerX(g, 0), g.TimelineTop + 5));
  ASSERT_EQ(f.Session.GridRow(0).Label, "length");
  ClickCell(0, 1);
  ASSERT_TRUE(f.StringGrid1->EditorOpen());
  QTest::keyClick(f.StringGrid1->Editor(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(f.StringGrid1->Editor(), "0.249");
  EXPECT_EQ(f.StringGrid1->Editor()->text(), "0.249");
  EXPECT_EQ(ani.Steps[0]->Sounds[0]->Tick, 31);
  QTest::keyClick(f.StringGrid1->Editor(), Qt::Key_Return);
  EXPECT_EQ(ani.Steps[0]->Duration, 4);
  EXPECT_EQ(f.StringGrid1->item(0, 1)->text(), "0.2");
}

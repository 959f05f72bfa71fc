// The undo property through the window: edits made as an animator makes them (mouse events on
// the canvas, the nudge and order buttons, the x and y boxes, the arrow and Delete keys, files
// dropped on the window, sprites taken from the strip, the ruler, the direction and part boxes,
// the zoom, the frame buttons, Add Sound, frame starts dragged on the time line, clicks and typing
// in the options grid, Ctrl+N), then everything undone and redone with the toolbar's buttons.
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <random>
#include <set>

#include "editor_fixture.h"
#include "session/document_state.h"

namespace {

class WindowUndoPropertyTest : public EditorTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  TEditSession &Session() { return frame->Session; }
  TPartList &Parts() { return *Session().CurrentPartList(); }
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  // The middle of a part's shadow-sized box, when it shows in the scene.
  std::optional<QPoint> RandomPartPoint()
  {
    if (Parts().empty())
      return std::nullopt;
    const TZeltoAniPart &part = *Parts()[size_t(Random(int(Parts().size())))];
    // The scene point through the zoom to the canvas, checked by the way back.
    const TCanvasGeometry g = Session().Geometry();
    const double zoom = Session().Scene.Zoom;
    const int sceneX = Session().Scene.OriginX + part.X + 12, sceneY = Session().Scene.OriginY + part.Y + 8;
    const QPoint p(g.ViewRect.left() + int(std::ceil((sceneX - g.SceneViewRect.left()) * zoom)),
                   g.ViewRect.top() + int(std::ceil((sceneY - g.SceneViewRect.top()) * zoom)));
    if (!g.ViewRect.contains(p) || Session().SceneX(p.x()) != sceneX || Session().SceneY(p.y()) != sceneY)
      return std::nullopt;
    return p;
  }
  void Choose(QComboBox *box, int index)
  {
    if (index >= box->count())
      return;
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  void Drop(const std::string &file, const QPoint &canvasPoint)
  {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    QDropEvent drop(QPointF(frame->DXDraw1->mapTo(frame.get(), canvasPoint)), Qt::CopyAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
  }

  void RandomEdit()
  {
    TEditFrame &f = *frame;
    switch (Random(19)) {
    case 0: // select with a click, Shift or Ctrl held
      if (auto p = RandomPartPoint()) {
        const Qt::KeyboardModifiers modifiers((Random(2) ? Qt::ShiftModifier : Qt::NoModifier) |
                                              (Random(4) ? Qt::NoModifier : Qt::ControlModifier));
        Mouse(QEvent::MouseButtonPress, *p, Qt::LeftButton, modifiers);
        Mouse(QEvent::MouseButtonRelease, *p, Qt::LeftButton, modifiers);
      }
      break;
    case 1: { // a nudge button or an arrow key
      QToolButton *buttons[] = {f.SpeedButton1, f.SpeedButton2, f.SpeedButton3, f.SpeedButton4};
      static const Qt::Key arrows[] = {Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right};
      const int which = Random(4);
      if (Random(2))
        buttons[which]->click();
      else {
        f.ClearFocus();
        QTest::keyClick(f.DXDraw1, arrows[which]);
      }
      break;
    }
    case 2: // a drag, sometimes far out of the view
      if (auto p = RandomPartPoint()) {
        const int reach = Random(5) == 0 ? 600 : 40;
        Drag(*p, *p + QPoint(Random(2 * reach) - reach, Random(2 * reach) - reach));
      }
      break;
    case 3: { // a typed position, sometimes not a number
      QLineEdit *box = Random(2) ? f.Edit1 : f.Edit2;
      QTest::mouseClick(box, Qt::LeftButton);
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(box, Random(6) ? QString::number(Random(200) - 100) : "x");
      QTest::keyClick(box, Qt::Key_Return);
      break;
    }
    case 4:
      f.ClearFocus();
      QTest::keyClick(f.DXDraw1, Qt::Key_Delete);
      break;
    case 5:
      (Random(2) ? f.SpeedButton19 : f.SpeedButton20)->click();
      break;
    case 6:
      Drop(BundledGame() + "/sword1.png", QPoint(100 + Random(250), 50 + Random(250)));
      break;
    case 7: { // a sprite taken from the strip, dragged into the scene or let go in the strip
      const auto &sprites = Session().GetCurrentAni()->Sprites;
      const TZeltoAniSprite &sprite = *sprites[size_t(Random(int(sprites.size())))];
      const QPoint entry(Session().Scene.SpriteListLeft + 25, sprite.ListTop + 8);
      Drag(entry, Random(3) == 0 ? entry : QPoint(120 + Random(200), 40 + Random(250)));
      break;
    }
    case 8: { // another frame, by a click on the ruler in its middle
      const auto &steps = Session().GetCurrentAni()->Steps;
      const TZeltoAniStep &step = *steps[size_t(Random(int(steps.size())))];
      const TCanvasGeometry g = Session().Geometry();
      const QPoint p(RulerX(g, step.StartTick + step.Duration / 2), g.TimelineTop + 25);
      Mouse(QEvent::MouseButtonPress, p);
      Mouse(QEvent::MouseButtonRelease, p);
      break;
    }
    case 9:
      Choose(f.ComboBox1, Random(4));
      break;
    case 10:
      Choose(f.ComboBox3, Random(f.ComboBox3->count() + 1));
      break;
    case 12: // zoomed in or out: presses and drops go through the zoom
      Session().ZoomBy(Random(2) ? ZoomStep : 1 / ZoomStep);
      break;
    case 11: { // a press beside the parts pans the scene
      const QRect view = Session().Geometry().ViewRect;
      const QPoint p(view.right() - 5, view.bottom() - 5);
      Drag(p, p + QPoint(Random(21) - 10, Random(21) - 10));
      break;
    }
    case 13: { // the frame buttons
      QToolButton *buttons[] = {f.SpeedButton14, f.SpeedButton15, f.SpeedButton16,
                                f.SpeedButton17, f.SpeedButton21, f.SpeedButton23};
      buttons[Random(6)]->click();
      break;
    }
    case 14: // Add Sound, then moved by the keys
      f.SpeedButton35->click();
      f.ClearFocus();
      QTest::keyClick(f.DXDraw1, Random(2) ? Qt::Key_Up : Qt::Key_Right);
      break;
    case 15: { // a frame start dragged on the time line, then stepped by the keys
      const auto &steps = Session().GetCurrentAni()->Steps;
      const TCanvasGeometry g = Session().Geometry();
      const QPoint p(RulerX(g, steps[size_t(Random(int(steps.size())))]->StartTick), g.TimelineTop + 5);
      Drag(p, p + QPoint(Random(31) - 15, 0));
      f.ClearFocus();
      QTest::keyClick(f.DXDraw1, Random(2) ? Qt::Key_Left : Qt::Key_Right);
      break;
    }
    case 16: { // a click into the grid: toggles, or typing ended by Enter or Tab
      static const int rows[] = {0, 2, 3, 5, 6, 10, 13};
      ClickCell(rows[Random(7)], 1);
      if (f.StringGrid1->EditorOpen()) {
        static const char *values[] = {"1", "0", "0.25", "walk", "3", "x", "PARAM1"};
        TypeIntoGrid(values[Random(7)], Random(2) ? Qt::Key_Return : Qt::Key_Tab);
      }
      break;
    }
    case 17:
      f.ClearFocus();
      QTest::keyClick(f.DXDraw1, Qt::Key_N, Qt::ControlModifier);
      break;
    case 18: // Reverse Animation, from the toolbar
      f.SpeedButton23->click();
      break;
    }
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(WindowUndoPropertyTest, UndoButtonRestoresEverythingAndRedoButtonReachesTheEnd)
{
  TEditFrame &f = StartActive();
  MakePropertyDocument(f.Session);
  TZeltoAni &ani = *f.Session.GetCurrentAni();
  const TDocumentState before = StateOf(ani);
  std::set<std::pair<int, int>> seen; // frame and direction after each edit
  for (int i = 0; i < 300; ++i) {
    RandomEdit();
    seen.insert({f.Session.GetCurrentFrame(), f.Session.EditActor->Dir});
  }
  EXPECT_GE(seen.size(), 8u) << "the edits reached most frames and directions";
  const TDocumentState after = StateOf(ani);
  const int recorded = f.Session.History.Count();
  ASSERT_GT(recorded, 20) << "the sequence recorded edits";
  ASSERT_FALSE(after == before);

  int undone = 0;
  for (; f.SpeedButton24->isEnabled() && undone <= recorded; ++undone)
    f.SpeedButton24->click();
  EXPECT_EQ(undone, recorded) << "the Undo button stays enabled exactly while there is something to undo";
  EXPECT_TRUE(StateOf(ani) == before) << "undo restores every frame and the text";
  EXPECT_EQ(StateOf(ani).Text, before.Text);
  int redone = 0;
  for (; f.SpeedButton25->isEnabled() && redone <= recorded; ++redone)
    f.SpeedButton25->click();
  EXPECT_EQ(redone, recorded);
  EXPECT_TRUE(StateOf(ani) == after) << "redo reaches the state after the sequence";
  EXPECT_EQ(StateOf(ani).Text, after.Text);
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowUndoPropertyTest, ::testing::Values(5u, 11u, 23u, 404u, 2027u, 65537u));

} // namespace

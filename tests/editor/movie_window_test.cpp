// Movie mode used at random through the window: the actor buttons, drags of actors and keys on
// the canvas, clicks on the ruler and the key strip with its menus, the actor list, typing into
// the attribute grid, the keys, playback, undo and redo. Nothing may be used after it is freed
// (the sanitizer build runs this too), and the movie saved at the end reads back the same.
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <random>

#include "editor/options_grid.h"
#include "editor_fixture.h"
#include "model/reader.h"
#include "model/writer.h"

namespace {

class MovieWindowTest : public EditorTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  TEditSession &Session() { return frame->Session; }
  TZeltoAni &Movie() { return *Session().GetCurrentAni(); }
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  // A canvas point on a random actor, or on the scene when none is hit.
  QPoint ActorPoint()
  {
    const auto &actors = Movie().Actors;
    if (!actors.empty()) {
      const TZeltoActor &actor = *actors[size_t(Random(int(actors.size())))];
      for (int y = -4; y < 40; y += 4)
        for (int x = -4; x < 40; x += 4)
          if (Session().ActorAt(actor.DX + x, actor.DY + y) == &actor)
            return QPoint(Session().Scene.OriginX + actor.DX + x, Session().Scene.OriginY + actor.DY + y);
    }
    const QRect view = Session().Geometry().ViewRect;
    return QPoint(view.left() + Random(view.width()), view.top() + Random(view.height()));
  }
  // A menu the last press opened: its first action taken, or closed.
  void AnswerMenus()
  {
    for (QMenu *menu : {frame->PopupMenu1, frame->PopupMenu2})
      if (menu->isVisible()) {
        if (Random(2))
          menu->actions().at(0)->trigger();
        menu->hide();
      }
  }

  void RandomAction()
  {
    TEditFrame &f = *frame;
    const TCanvasGeometry g = Session().Geometry();
    const int length = Movie().Length;
    switch (Random(16)) {
    case 0: {
      QToolButton *adds[] = {f.SpeedButton29, f.SpeedButton33, f.SpeedButton36};
      adds[Random(3)]->click();
      break;
    }
    case 1:
      if (Random(3) == 0)
        f.SpeedButton30->click(); // Delete Actor
      break;
    case 2:
      (Random(2) ? f.SpeedButton31 : f.SpeedButton32)->click(); // Copy, Insert Actor
      break;
    case 3:
    case 4:
      Drag(ActorPoint(), ActorPoint());
      break;
    case 5: { // the ruler
      const QPoint p(RulerX(g, Random(length + 1)), g.TimelineTop + 25);
      Drag(p, p + QPoint(Random(9) - 4, 0));
      break;
    }
    case 6: { // a key dragged on the key strip, or its menu
      const int y = g.TimelineTop + 8;
      const QPoint from(RulerX(g, Random(length + 1)), y), to(RulerX(g, Random(length + 1)), y);
      if (Random(3) == 0) {
        Mouse(QEvent::MouseButtonPress, from, Qt::RightButton);
        Mouse(QEvent::MouseButtonRelease, from, Qt::RightButton);
        AnswerMenus();
      } else {
        Drag(from, to);
      }
      break;
    }
    case 7:
      if (f.ComboBox1->count() > 0) {
        const int item = Random(f.ComboBox1->count());
        f.ComboBox1->setCurrentIndex(item);
        emit f.ComboBox1->activated(item);
      }
      break;
    case 8:
    case 9: { // a click into the grid, sometimes typing a value
      const int rows = f.StringGrid1->rowCount();
      if (rows < 1)
        break;
      ClickCell(Random(rows), Random(2), Random(3) ? Qt::LeftButton : Qt::RightButton);
      AnswerMenus();
      if (f.StringGrid1->EditorOpen()) {
        static const char *values[] = {"5", "-3", "walk", "hello there", "true", "2.5", ""};
        TypeIntoGrid(values[Random(7)], Random(2) ? Qt::Key_Return : Qt::Key_Tab);
      }
      break;
    }
    case 10: {
      static const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
          {Qt::Key_Left, Qt::NoModifier}, {Qt::Key_Right, Qt::NoModifier},    {Qt::Key_Up, Qt::NoModifier},
          {Qt::Key_Down, Qt::NoModifier}, {Qt::Key_Plus, Qt::KeypadModifier}, {Qt::Key_Minus, Qt::KeypadModifier},
          {Qt::Key_Tab, Qt::NoModifier},  {Qt::Key_Delete, Qt::NoModifier}};
      const auto &[key, modifiers] = keys[Random(8)];
      f.ClearFocus();
      QTest::keyClick(f.DXDraw1, key, modifiers);
      break;
    }
    case 11: { // a click on the ruler within the movie
      const QPoint p(RulerX(g, Random(std::max(length, 1))), g.TimelineTop + 25);
      Mouse(QEvent::MouseButtonPress, p);
      Mouse(QEvent::MouseButtonRelease, p);
      break;
    }
    case 12:
      f.SpeedButton24->click(); // Undo
      break;
    case 13:
      f.SpeedButton25->click(); // Redo
      break;
    case 14: // a little playback
      f.SpeedButton27->click();
      for (int i = Random(8); i > 0; --i)
        f.Timer1Timer();
      f.Button4Click();
      break;
    case 15:
      Session().ZoomBy(Random(2) ? ZoomStep : 1 / ZoomStep);
      break;
    }
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(MovieWindowTest, RandomUseLeavesAMovieThatSavesAndReadsBack)
{
  TEditFrame &f = StartActive();
  f.MovieButton->click();
  ASSERT_TRUE(f.Session.MovieMode);
  for (int i = 0; i < 300; ++i) {
    RandomAction();
    f.Timer1Timer(); // redraws what the action changed
  }
  const std::string text = AnimationText(&Movie());
  TZeltoAni again;
  ASSERT_TRUE(ParseAnimation(again, f.Session.EditActor.get(), text));
  EXPECT_EQ(AnimationText(&again), text);
  // Back to sprite mode: every actor and every entry naming one goes.
  f.MovieButton->click();
  EXPECT_FALSE(f.Session.MovieMode);
  EXPECT_EQ(f.Session.History.Count(), 0);
}

// The attribute grid used with the mouse and the keyboard: typed rows open an editor that takes
// keys, toggled rows toggle at each click and open none, and a renamed actor is listed in order.
TEST_F(EditorTest, TheActorGridTakesClicksAndTypedKeys)
{
  TEditFrame &f = StartActive();
  f.MovieButton->click();
  TZeltoActor *text = f.Session.AddTextActor(0, 0);
  TZeltoActor *other = f.Session.AddTextActor(5, 5);
  f.Session.SelectActor(text);
  ASSERT_EQ(f.Session.GridMode, 1);
  QLineEdit *editor = f.StringGrid1->Editor();

  struct Typed
  {
    const char *row, *typed;
    std::function<std::string()> stored;
  };
  const Typed typedRows[] = {{"dx", "42", [&] { return std::to_string(text->DX); }},
                             {"dy", "-7", [&] { return std::to_string(text->DY); }},
                             {"text", "hello", [&] { return text->Text; }},
                             {"layer", "2", [&] { return std::to_string(text->Layer); }}};
  for (const Typed &t : typedRows) {
    SCOPED_TRACE(t.row);
    const int row = RowLabelled(t.row);
    ASSERT_GE(row, 0);
    ClickCell(row, 1);
    ASSERT_TRUE(f.StringGrid1->EditorOpen());
    EXPECT_TRUE(editor->hasFocus());
    TypeIntoGrid(t.typed);
    EXPECT_FALSE(f.StringGrid1->EditorOpen());
    EXPECT_EQ(t.stored(), t.typed);
    EXPECT_EQ(f.StringGrid1->item(row, 1)->text().toStdString(), t.typed);
  }
  for (const char *name : {"bold", "italic", "visible"}) {
    SCOPED_TRACE(name);
    const int row = RowLabelled(name);
    ASSERT_GE(row, 0);
    const std::string before = f.Session.GridRow(row).Value;
    ClickCell(row, 1);
    EXPECT_FALSE(f.StringGrid1->EditorOpen()) << "a toggle opens no editor";
    EXPECT_NE(f.Session.GridRow(row).Value, before);
    ClickCell(row, 1);
    EXPECT_EQ(f.Session.GridRow(row).Value, before) << "the next click toggles back";
    EXPECT_EQ(f.StringGrid1->item(row, 1)->text().toStdString(), before);
  }
  // Renamed, the actor moves to its place in the list (and in the file).
  ASSERT_EQ(f.Session.GetCurrentAni()->Actors.back().get(), other);
  f.Session.SelectActor(other);
  ClickCell(RowLabelled("name"), 1);
  TypeIntoGrid("Aardvark");
  EXPECT_EQ(other->Name, "Aardvark");
  EXPECT_EQ(f.Session.GetCurrentAni()->Actors.front().get(), other);
  EXPECT_EQ(f.ComboBox1->itemText(1).toStdString(), "Actor Aardvark");
  EXPECT_EQ(f.ComboBox1->currentText().toStdString(), "Actor Aardvark");
}

INSTANTIATE_TEST_SUITE_P(Seeds, MovieWindowTest, ::testing::Values(1u, 2u, 3u, 4u));

} // namespace

// The options grid's handlers, and the window's key and wheel preview.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/qt_text.h"
#include "editor/canvas_widget.h"
#include "editor/edit_frame.h"
#include "editor/options_grid.h"
#include "images/file_index.h"

namespace {

void SetCellText(QTableWidget *grid, int row, int column, const QString &text)
{
  QTableWidgetItem *item = grid->item(row, column);
  if (!item) {
    grid->setItem(row, column, new QTableWidgetItem(text));
    return;
  }
  // Written only when it differs, so that an open editor is not disturbed needlessly.
  if (item->text() != text)
    item->setText(text);
}

} // namespace

void TEditFrame::RefreshOptionsGrid(int row)
{
  // The session ended the edit (a command came between): the editor goes with it.
  if (Session.EditRow < 0 && StringGrid1->EditorOpen())
    StringGrid1->CloseEditor();
  if (row < 0) {
    // An actor's labels leave room for the key marks.
    StringGrid1->SetLabelIndent(Session.GridMode == 1 && Session.Scene.SelectedActor ? 13 : 3);
    StringGrid1->setRowCount(Session.GridRowCount());
    // The value column makes room for the scroll bar when not every row fits.
    const bool allFit = StringGrid1->rowCount() * 16 <= StringGrid1->contentsRect().height();
    StringGrid1->setVerticalScrollBarPolicy(allFit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    StringGrid1->setColumnWidth(0, 75);
    StringGrid1->setColumnWidth(1, allFit ? 75 : 59);
  }
  const int first = row < 0 ? 0 : row, last = row < 0 ? StringGrid1->rowCount() - 1 : row;
  for (int r = first; r <= last && r < StringGrid1->rowCount(); ++r) {
    const TGridRow shown = Session.GridRow(r);
    SetCellText(StringGrid1, r, 0, ToQt(shown.Label));
    if (r != Session.EditRow)
      SetCellText(StringGrid1, r, 1, ToQt(shown.Value));
  }
  // Key marks follow the time even where no text changed.
  if (Session.GridMode == 1)
    StringGrid1->viewport()->update();
}

void TEditFrame::RefreshOptionsGridLabels()
{
  for (int r = 0; r < StringGrid1->rowCount(); ++r)
    SetCellText(StringGrid1, r, 0, ToQt(Session.GridRow(r).Label));
}

void TEditFrame::StringGrid1MouseDown(Qt::MouseButton button, int row, int column)
{
  CommitGridEdit();
  if (row < 0 || column < 0)
    return;
  StringGrid1->setFocus();
  if (Session.GridRow(row).Label.empty() || button == Qt::RightButton) {
    StringGrid1->CloseEditor();
    if (button == Qt::RightButton)
      Session.GridKeyMenu(row, 0, 0);
    return;
  }
  std::string value = Session.GridRow(row).Value;
  if (Session.ClickGridRow(row, value)) {
    StringGrid1->OpenEditor(row, ToQt(value));
    // A sound's file: the game folder's sounds complete what is typed, and are all offered while
    // nothing is.
    QStringList sounds;
    if (Session.GridRow(row).Label == "file")
      for (const TFileListEntry &entry : FileIndex())
        if (entry.Name.size() > 4 && entry.Name.compare(entry.Name.size() - 4, 4, ".wav") == 0)
          sounds << ToQt(entry.Name);
    StringGrid1->SetCompletions(sounds);
  } else {
    StringGrid1->CloseEditor();
    RefreshOptionsGridLabels();
  }
  SetCellText(StringGrid1, row, 1, ToQt(value));
}

void TEditFrame::StringGrid1SetEditText(int row, const QString &text)
{
  if (row < 0)
    return;
  std::string value = FromQt(text);
  Session.TypeGridRow(row, value);
  // A normalised value replaces what was typed at once.
  if (ToQt(value) != text)
    StringGrid1->Editor()->setText(ToQt(value));
  SetCellText(StringGrid1, row, 1, ToQt(value));
  RefreshOptionsGridLabels();
}

void TEditFrame::StringGrid1KeyDown(int)
{
  // Enter ends the edit; Tab first closes the editor, and moves nowhere.
  CommitGridEdit();
}

void TEditFrame::StringGrid1Exit()
{
  CommitGridEdit();
}

void TEditFrame::CommitGridEdit()
{
  const int row = Session.EditRow;
  if (row < 0) {
    StringGrid1->CloseEditor();
    return;
  }
  Session.EndGridEdit();
  StringGrid1->CloseEditor();
  RefreshOptionsGrid(row);
}

void TEditFrame::StringGrid1MouseWheel(bool down)
{
  QScrollBar *bar = StringGrid1->verticalScrollBar();
  if (down && bar->value() < bar->maximum())
    bar->setValue(bar->value() + 1);
  else if (!down && bar->value() > 0)
    bar->setValue(bar->value() - 1);
}

bool TEditFrame::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
  TKey which = TKey::Other;
  const bool keypad = modifiers & Qt::KeypadModifier;
  switch (key) {
  case Qt::Key_Delete:
    which = TKey::Delete;
    break;
  case Qt::Key_Plus:
    which = keypad ? TKey::PadPlus : TKey::Other;
    break;
  case Qt::Key_Minus:
    which = keypad ? TKey::PadMinus : TKey::Other;
    break;
  case Qt::Key_Up:
    which = TKey::Up;
    break;
  case Qt::Key_Down:
    which = TKey::Down;
    break;
  case Qt::Key_Left:
    which = TKey::Left;
    break;
  case Qt::Key_Right:
    which = TKey::Right;
    break;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    which = TKey::Tab;
    break;
  case Qt::Key_N:
    which = TKey::N;
    break;
  default:
    return false;
  }
  // The canvas takes no focus: a focused widget is a control the keys belong to.
  QWidget *focused = focusWidget();
  const bool controlFocused = focused && focused != DXDraw1 && focused != this;
  const bool consumed = Session.KeyDown(which, modifiers & Qt::ControlModifier, controlFocused);
  UpdateZoomLabel();
  return consumed;
}

bool TEditFrame::FormMouseWheel(bool down, const QPoint &globalPosition, Qt::KeyboardModifiers modifiers)
{
  const QPoint p = DXDraw1->mapFromGlobal(globalPosition);
  const bool consumed = Session.Wheel(down, p.x(), p.y(), modifiers & Qt::ControlModifier);
  UpdateZoomLabel();
  return consumed;
}

bool TEditFrame::eventFilter(QObject *watched, QEvent *event)
{
  QWidget *widget = qobject_cast<QWidget *>(watched);
  if (!widget || (widget != this && !isAncestorOf(widget)))
    return QWidget::eventFilter(watched, event);
  // Every key press and wheel turn in the window is seen here first.
  if (event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    if (FormKeyDown(key->key(), key->modifiers()))
      return true;
  } else if (event->type() == QEvent::Wheel) {
    auto *wheel = static_cast<QWheelEvent *>(event);
    if (wheel->angleDelta().y() != 0 &&
        FormMouseWheel(wheel->angleDelta().y() < 0, wheel->globalPosition().toPoint(), wheel->modifiers()))
      return true;
  }
  return QWidget::eventFilter(watched, event);
}

// The options grid (StringGrid1): two columns, label and value, in rows 16 pixels high, each cell
// drawn by the grid itself. A value that takes typed text is edited in a line editor laid over its
// cell. Mouse presses, typing, Enter and Tab, leaving the grid and the wheel go to the window's
// handlers; the rows' content comes from the edit session.
#pragma once

#include <QLineEdit>
#include <QStringList>
#include <QTableWidget>
#include <functional>

class QCompleter;
class QStringListModel;
class TEditFrame;

class TOptionsGrid : public QTableWidget
{
  Q_OBJECT

public:
  TOptionsGrid(TEditFrame *frame, QWidget *parent);

  // The editor over the value cell of row, showing text; it gets the focus.
  void OpenEditor(int row, const QString &text);
  void CloseEditor();
  bool EditorOpen() const { return editor_->isVisible(); }
  QLineEdit *Editor() const { return editor_; }
  // Names that complete what is typed in the open editor (none: no completion); all of them are
  // offered at once while the editor is empty. A name chosen from them is typed, as if by keys.
  void SetCompletions(const QStringList &names);
  QCompleter *Completer() const { return completer_; }
  // The left offset of label texts (3 more pixels, or 13 while an actor's key marks are drawn).
  void SetLabelIndent(int indent);
  int LabelIndent() const { return labelIndent_; }
  // Whether a row's label gets a key mark (the selected actor has a key now that sets it).
  std::function<bool(int row)> KeyMark;

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  TEditFrame *frame_;
  QLineEdit *editor_;
  QCompleter *completer_;
  QStringListModel *completions_;
  int editRow_ = -1;
  int labelIndent_ = 3;
};

#include "editor/options_grid.h"

#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QStyledItemDelegate>

#include "editor/edit_frame.h"

namespace {

// Each cell in the button-face colour with its text 2 pixels in from the top and the left (label
// cells further in), a shadow line along its bottom and right edges, and for value cells a line
// in the window colour along the left edge.
class TCellPainter : public QStyledItemDelegate
{
public:
  explicit TCellPainter(TOptionsGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
  {
    const QRect r = option.rect;
    const QPalette &palette = grid_->palette();
    painter->fillRect(r, palette.color(QPalette::Button));
    painter->setPen(palette.color(QPalette::ButtonText));
    const int left = 2 + (index.column() == 0 ? grid_->LabelIndent() : 0);
    painter->drawText(r.adjusted(left, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, index.data().toString());
    if (index.column() == 0 && grid_->KeyMark && grid_->KeyMark(index.row())) {
      // A 10 x 10 square, blue with a black outline, left of the label.
      painter->setPen(Qt::black);
      painter->setBrush(Qt::blue);
      painter->drawRect(QRect(r.left() + 2, r.top() + 4, 9, 9));
      painter->setBrush(Qt::NoBrush);
    }
    painter->setPen(palette.color(QPalette::Shadow));
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
    if (index.column() == 1) {
      painter->setPen(palette.color(QPalette::Base));
      painter->drawLine(r.topLeft(), r.bottomLeft());
    }
  }

private:
  TOptionsGrid *grid_;
};

} // namespace

TOptionsGrid::TOptionsGrid(TEditFrame *frame, QWidget *parent) : QTableWidget(25, 2, parent), frame_(frame)
{
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(75);
  verticalHeader()->setMinimumSectionSize(16);
  verticalHeader()->setDefaultSectionSize(16);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setShowGrid(false);
  setItemDelegate(new TCellPainter(this));
  editor_ = new QLineEdit(viewport());
  editor_->setFrame(false);
  editor_->hide();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::textEdited, this,
          [this](const QString &text) { frame_->StringGrid1SetEditText(editRow_, text); });
  completions_ = new QStringListModel(this);
  completer_ = new QCompleter(completions_, this);
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setFilterMode(Qt::MatchContains);
  completer_->setCompletionMode(QCompleter::PopupCompletion);
  // The completer sets the editor's text without it counting as typed: passed on as typed.
  connect(completer_, QOverload<const QString &>::of(&QCompleter::activated), this, [this](const QString &text) {
    if (editRow_ >= 0)
      frame_->StringGrid1SetEditText(editRow_, text);
  });
}

void TOptionsGrid::SetCompletions(const QStringList &names)
{
  completions_->setStringList(names);
  editor_->setCompleter(names.isEmpty() ? nullptr : completer_);
  if (!names.isEmpty() && !editor_->isHidden() && editor_->text().isEmpty()) {
    completer_->setCompletionPrefix("");
    completer_->complete();
  }
}

void TOptionsGrid::SetLabelIndent(int indent)
{
  if (indent == labelIndent_)
    return;
  labelIndent_ = indent;
  viewport()->update();
}

void TOptionsGrid::OpenEditor(int row, const QString &text)
{
  editRow_ = row;
  setCurrentCell(row, 1);
  editor_->setGeometry(visualRect(model()->index(row, 1)).adjusted(1, 0, 0, -1));
  editor_->setText(text);
  editor_->show();
  editor_->setFocus();
}

void TOptionsGrid::CloseEditor()
{
  editRow_ = -1;
  if (completer_->popup()->isVisible())
    completer_->popup()->hide();
  editor_->setCompleter(nullptr);
  if (editor_->hasFocus())
    setFocus();
  editor_->hide();
}

void TOptionsGrid::mousePressEvent(QMouseEvent *event)
{
  const QModelIndex cell = indexAt(event->position().toPoint());
  frame_->StringGrid1MouseDown(event->button(), cell.isValid() ? cell.row() : -1, cell.isValid() ? cell.column() : -1);
}

void TOptionsGrid::wheelEvent(QWheelEvent *event)
{
  frame_->StringGrid1MouseWheel(event->angleDelta().y() < 0);
  event->accept();
}

void TOptionsGrid::focusOutEvent(QFocusEvent *event)
{
  QTableWidget::focusOutEvent(event);
  if (!editor_->hasFocus())
    frame_->StringGrid1Exit();
}

bool TOptionsGrid::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == editor_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        frame_->StringGrid1KeyDown(key);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && editor_->isVisible() &&
               static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
      // The completer's list takes the focus while it is open; the edit goes on.
      frame_->StringGrid1Exit();
    }
  }
  return QTableWidget::eventFilter(watched, event);
}

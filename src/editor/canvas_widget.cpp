#include "editor/canvas_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "editor/edit_frame.h"
#include "platform/display.h"

TCanvasWidget::TCanvasWidget(TEditFrame *frame, TDisplay *display, QWidget *parent)
    : QWidget(parent), frame_(frame), display_(display)
{
  // Moves without a pressed button set the cursor over the frame strip.
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCanvasWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  // At a device pixel ratio above 1 each scene pixel becomes a block of whole device pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // The back buffer covers what the panel shows of the canvas; what lies beyond shows black.
  const QImage &buffer = display_->Surface().Image();
  const QRect shown = display_->CanDraw() ? event->rect() & buffer.rect() : QRect();
  if (shown != event->rect())
    painter.fillRect(event->rect(), Qt::black);
  if (!shown.isEmpty())
    painter.drawImage(shown, buffer, shown);
}

void TCanvasWidget::mousePressEvent(QMouseEvent *event)
{
  const QPoint p = event->position().toPoint();
  frame_->DXDraw1MouseDown(event->button(), p.x(), p.y(), event->modifiers());
}

void TCanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
  const QPoint p = event->position().toPoint();
  frame_->DXDraw1MouseMove(p.x(), p.y(), event->modifiers());
}

void TCanvasWidget::mouseReleaseEvent(QMouseEvent *event)
{
  const QPoint p = event->position().toPoint();
  frame_->DXDraw1MouseUp(event->button(), p.x(), p.y());
}

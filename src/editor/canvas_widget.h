// The canvas: shows the display's back buffer and hands mouse events to the main window.
#pragma once

#include <QWidget>

class TDisplay;
class TEditFrame;

class TCanvasWidget : public QWidget
{
  Q_OBJECT

public:
  TCanvasWidget(TEditFrame *frame, TDisplay *display, QWidget *parent);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  TEditFrame *frame_;
  TDisplay *display_;
};

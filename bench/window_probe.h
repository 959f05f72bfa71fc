// What the whole-process benchmark's windows report about themselves on standard output, one
// line each: "visible NS" once the window's first picture has been painted (NS the monotonic
// clock in nanoseconds, comparable with the clock of the process that started this one).
#pragma once

#include <QObject>
#include <functional>

#include "monotonic_clock.h"

class QWidget;

// Watches a top-level window and prints "visible NS" after its first paint has been flushed;
// then calls onVisible (when set).
class TWindowProbe : public QObject
{
public:
  explicit TWindowProbe(QWidget *window, std::function<void()> onVisible = {});

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  QWidget *window_;
  std::function<void()> onVisible_;
  bool painted_ = false;
};

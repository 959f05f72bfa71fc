#include "window_probe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

TWindowProbe::TWindowProbe(QWidget *window, std::function<void()> onVisible)
    : window_(window), onVisible_(std::move(onVisible))
{
  window_->installEventFilter(this);
}

bool TWindowProbe::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == window_ && event->type() == QEvent::Paint && !painted_) {
    painted_ = true;
    // Queued: it runs once the painting that this event belongs to has reached the screen.
    QTimer::singleShot(0, this, [this] {
      std::printf("visible %lld\n", MonotonicNanoseconds());
      std::fflush(stdout);
      if (onVisible_)
        onVisible_();
    });
  }
  return QObject::eventFilter(watched, event);
}

#include "platform/timer.h"

#include <QGuiApplication>

TTickTimer::TTickTimer()
{
  // A late tick is delivered once, never as a burst of missed ones.
  timer_.setInterval(Interval);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (OnTimer)
      OnTimer();
  });
  if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
    active_ = QGuiApplication::applicationState() == Qt::ApplicationActive;
    QObject::connect(app, &QGuiApplication::applicationStateChanged, &timer_,
                     [this](Qt::ApplicationState state) { SetApplicationActive(state == Qt::ApplicationActive); });
  }
}

void TTickTimer::SetEnabled(bool enabled)
{
  enabled_ = enabled;
  Update();
}

void TTickTimer::SetApplicationActive(bool active)
{
  active_ = active;
  Update();
}

void TTickTimer::Update()
{
  if (enabled_ && active_) {
    if (!timer_.isActive())
      timer_.start();
  } else {
    timer_.stop();
  }
}

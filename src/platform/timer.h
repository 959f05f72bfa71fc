// The 50 ms tick. It runs only while it is enabled (the window enables it on activation and
// disables it on deactivation) and the application is active.
#pragma once

#include <QTimer>
#include <functional>

class TTickTimer
{
public:
  static constexpr int Interval = 50;

  // Starts disabled; follows the application's active state when a QGuiApplication exists.
  TTickTimer();
  TTickTimer(const TTickTimer &) = delete;
  TTickTimer &operator=(const TTickTimer &) = delete;

  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // Normally driven by the application's state changes.
  void SetApplicationActive(bool active);
  bool ApplicationActive() const { return active_; }
  // True while ticks are being delivered.
  bool Running() const { return timer_.isActive(); }

  // Called on each tick (the window's Timer1Timer).
  std::function<void()> OnTimer;

private:
  void Update();

  QTimer timer_;
  bool enabled_ = false;
  bool active_ = false;
};

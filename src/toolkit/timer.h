#pragma once
// TTimer: a repeating GUI-thread timer with an interval in milliseconds that
// calls OnTimer while enabled.

#include <QTimer>
#include <functional>

namespace dizad::toolkit {

class TTimer {
 public:
  TTimer();
  int Interval() const { return FTimer.interval(); }
  void SetInterval(int ms) { FTimer.setInterval(ms); }
  bool Enabled() const { return FTimer.isActive(); }
  void SetEnabled(bool enabled);
  std::function<void()> OnTimer;

 private:
  QTimer FTimer;
};

}  // namespace dizad::toolkit

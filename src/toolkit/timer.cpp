#include "toolkit/timer.h"

namespace dizad::toolkit {

TTimer::TTimer() {
  FTimer.setInterval(1000);
  QObject::connect(&FTimer, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FTimer.isActive()) return;
  if (enabled)
    FTimer.start();
  else
    FTimer.stop();
}

}  // namespace dizad::toolkit

#pragma once
// TPathBar: the bar along the bottom of the main window (back/forward, drive
// buttons and the breadcrumb move in with its own work); for now it paints its
// skin background at its fixed height of 39. GUI thread only.

#include "controls/smartctrl.h"

namespace dizad::chrome {

class TPathBar : public controls::TSmartCtrl {
 public:
  TPathBar();
  static constexpr float BarHeight = 39;

  void Paint(controls::TCanvas& canvas) override;
};

}  // namespace dizad::chrome

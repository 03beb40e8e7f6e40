#pragma once
// TSelectRect: the rubber-band rectangle of the folder view. It only paints
// its skin picture; the folder view sets its bounds, shows it while the user
// drags a selection and hides it afterwards. GUI thread only.

#include "controls/smartctrl.h"

namespace dizad::controls {

class TSelectRect : public TSmartCtrl {
 public:
  void Paint(TCanvas& canvas) override;
};

}  // namespace dizad::controls

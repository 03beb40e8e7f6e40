#pragma once
// TTabBar: the strip across the top of the main window. It also serves as the
// window's caption: a press and move on it drags the window, a double click
// toggles maximised and normal. Tabs and buttons move in with the tab bar's
// own work; for now it paints the bar's skin background and the word mark.
// GUI thread only.

#include "controls/smartctrl.h"

namespace dizad::chrome {

class TTabBar : public controls::TSmartCtrl {
 public:
  TTabBar();

  void Paint(controls::TCanvas& canvas) override;
  void MouseDown(controls::TMouseButton Button, controls::TShiftState Shift, float X,
                 float Y) override;
  void MouseMove(controls::TShiftState Shift, float X, float Y) override;
  void MouseUp(controls::TMouseButton Button, controls::TShiftState Shift, float X,
               float Y) override;
  void MouseLeave(controls::TControl* Sender) override;
  void MouseDouble(controls::TMouseButton Button, controls::TShiftState Shift, float X,
                   float Y) override;
};

}  // namespace dizad::chrome

#include "chrome/tabbar.h"

#include "app/globals.h"
#include "app/mainwindow.h"
#include "controls/skindraw.h"

namespace dizad::chrome {

TTabBar::TTabBar() = default;

void TTabBar::Paint(controls::TCanvas& canvas) {
  controls::drawSkin(canvas, QStringLiteral("TabBar"), QStringLiteral("TabBar.Back"), LocalRect());
  controls::drawSkin(canvas, QStringLiteral("TabBar"), QStringLiteral("Logo.Top"),
                     QRectF(QPointF(5, 5), QPointF(177, 33)));
}

void TTabBar::MouseDown(controls::TMouseButton Button, controls::TShiftState Shift, float X,
                        float Y) {
  controls::TSmartCtrl::MouseDown(Button, Shift, X, Y);
  if (ZR_Main) ZR_Main->zrFormDragging = true;
}

void TTabBar::MouseMove(controls::TShiftState Shift, float X, float Y) {
  controls::TSmartCtrl::MouseMove(Shift, X, Y);
  // Only while the button is still held: after a system drag the window
  // manager may swallow the release, and a plain move must not start
  // another drag.
  if (!ZR_Main || !ZR_Main->zrFormDragging) return;
  if (!(Shift & toolkit::ssLeft)) {
    ZR_Main->zrFormDragging = false;
    return;
  }
  if (ZR_Main->IsMaximized()) ZR_Main->SetMaximized(false);
  ZR_Main->StartSystemMove();
}

void TTabBar::MouseUp(controls::TMouseButton Button, controls::TShiftState Shift, float X,
                      float Y) {
  controls::TSmartCtrl::MouseUp(Button, Shift, X, Y);
  if (ZR_Main) ZR_Main->zrFormDragging = false;
}

void TTabBar::MouseLeave(controls::TControl* Sender) {
  controls::TSmartCtrl::MouseLeave(Sender);
  if (ZR_Main) ZR_Main->zrFormDragging = false;
}

void TTabBar::MouseDouble(controls::TMouseButton, controls::TShiftState, float, float) {
  if (!ZR_Main) return;
  ZR_Main->zrFormDragging = false;
  ZR_Main->SetMaximized(!ZR_Main->IsMaximized());
}

}  // namespace dizad::chrome

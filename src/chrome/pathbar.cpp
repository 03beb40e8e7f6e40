#include "chrome/pathbar.h"

#include "controls/skindraw.h"

namespace dizad::chrome {

TPathBar::TPathBar() {
  SetHeight(BarHeight);
}

void TPathBar::Paint(controls::TCanvas& canvas) {
  controls::drawSkin(canvas, QStringLiteral("PathBar"), QStringLiteral("PathBar.Back"),
                     LocalRect());
}

}  // namespace dizad::chrome

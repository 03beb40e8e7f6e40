#include "chrome/pathbar.h"

namespace dizad::chrome {

TPathBar::TPathBar() {
  SetHeight(BarHeight);
}

void TPathBar::Paint(controls::TCanvas& canvas) {
  canvas.FillRect(LocalRect(), BackColor);
}

}  // namespace dizad::chrome

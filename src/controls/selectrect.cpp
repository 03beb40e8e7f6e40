#include "controls/selectrect.h"

#include "controls/skindraw.h"

namespace dizad::controls {

void TSelectRect::Paint(TCanvas& canvas) {
  drawSkin(canvas, QStringLiteral("Holder"), QStringLiteral("Holder.SelectRect.Back"), LocalRect());
}

}  // namespace dizad::controls

#include "controls/skindraw.h"

#include "app/globals.h"
#include "skin/smartskin.h"

namespace dizad::controls {

void drawSkin(toolkit::TCanvas& canvas, const QString& skinId, const QRectF& rect) {
  if (SmartSkin) SmartSkin->Draw(skinId, canvas, rect);
}

void drawSkin(toolkit::TCanvas& canvas, const QString& group, const QString& element,
              const QRectF& rect) {
  if (SmartSkin) SmartSkin->Draw(group, element, canvas, rect);
}

}  // namespace dizad::controls

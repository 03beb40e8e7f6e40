#include "controls/skindraw.h"

#include "app/globals.h"

#if __has_include("skin/smartskin.h")
#include "skin/smartskin.h"
#define DIZAD_HAVE_SKIN 1
#endif

namespace dizad::controls {

void drawSkin(toolkit::TCanvas& canvas, const QString& skinId, const QRectF& rect) {
#ifdef DIZAD_HAVE_SKIN
  if (SmartSkin) SmartSkin->Draw(skinId, canvas, rect, false);
#else
  Q_UNUSED(canvas);
  Q_UNUSED(skinId);
  Q_UNUSED(rect);
#endif
}

void drawSkin(toolkit::TCanvas& canvas, const QString& group, const QString& element,
              const QRectF& rect) {
#ifdef DIZAD_HAVE_SKIN
  if (SmartSkin) SmartSkin->Draw(group, element, canvas, rect, false);
#else
  Q_UNUSED(canvas);
  Q_UNUSED(group);
  Q_UNUSED(element);
  Q_UNUSED(rect);
#endif
}

}  // namespace dizad::controls

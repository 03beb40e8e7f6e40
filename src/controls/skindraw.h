#pragma once
// Drawing through the process-wide skin from the controls of this folder.
// Every own control paints through these two calls, so a control painted
// while no skin exists (before the main window made it, after it freed it,
// or in a test without one) simply draws nothing. GUI thread only.

#include "toolkit/canvas.h"

#include <QRectF>
#include <QString>

namespace dizad::controls {

// Draws the element named "Group:Element" into rect.
void drawSkin(toolkit::TCanvas& canvas, const QString& skinId, const QRectF& rect);
// Draws element Element of group Group into rect.
void drawSkin(toolkit::TCanvas& canvas, const QString& group, const QString& element,
              const QRectF& rect);

}  // namespace dizad::controls

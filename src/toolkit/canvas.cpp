#include "toolkit/canvas.h"

#include "toolkit/bitmap.h"

#include <QFontMetricsF>
#include <QTextOption>

namespace dizad::toolkit {

Qt::Alignment qtAlignment(TTextAlign h, TTextAlign v) {
  Qt::Alignment a;
  switch (h) {
    case TTextAlign::Center:
      a |= Qt::AlignHCenter;
      break;
    case TTextAlign::Leading:
      a |= Qt::AlignLeft;
      break;
    case TTextAlign::Trailing:
      a |= Qt::AlignRight;
      break;
  }
  switch (v) {
    case TTextAlign::Center:
      a |= Qt::AlignVCenter;
      break;
    case TTextAlign::Leading:
      a |= Qt::AlignTop;
      break;
    case TTextAlign::Trailing:
      a |= Qt::AlignBottom;
      break;
  }
  return a;
}

TCanvas::TCanvas(QPainter* painter) : FPainter(painter) {
  if (FPainter) Font = FPainter->font();
}

TCanvas::TCanvas(QImage* target) : FTarget(target) {}

TCanvas::~TCanvas() {
  EndScene();
}

bool TCanvas::BeginScene() {
  if (!FTarget) return FPainter != nullptr;
  if (FOwnPainter) return true;
  if (FTarget->isNull()) return false;
  FOwnPainter = std::make_unique<QPainter>(FTarget);
  FOwnPainter->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                              QPainter::TextAntialiasing);
  FPainter = FOwnPainter.get();
  return true;
}

void TCanvas::EndScene() {
  if (!FOwnPainter) return;
  FOwnPainter->end();
  FOwnPainter.reset();
  FPainter = nullptr;
}

void TCanvas::DrawBitmap(const TBitmap& bitmap, const QRectF& src, const QRectF& dst, float opacity,
                         bool highSpeed) {
  if (!FPainter || bitmap.IsEmpty()) return;
  if (!(dst.width() > 0 && dst.height() > 0 && src.width() > 0 && src.height() > 0)) return;
  if (opacity <= 0) return;
  const bool smoothBefore = FPainter->testRenderHint(QPainter::SmoothPixmapTransform);
  const qreal opacityBefore = FPainter->opacity();
  FPainter->setRenderHint(QPainter::SmoothPixmapTransform, !highSpeed);
  FPainter->setOpacity(opacityBefore * opacity);
  FPainter->drawImage(dst, bitmap.Image(), src);
  FPainter->setOpacity(opacityBefore);
  FPainter->setRenderHint(QPainter::SmoothPixmapTransform, smoothBefore);
}

void TCanvas::FillRect(const QRectF& rect, quint32 argb, float opacity, float xRadius,
                       float yRadius) {
  if (!FPainter || rect.isEmpty()) return;
  const qreal opacityBefore = FPainter->opacity();
  FPainter->setOpacity(opacityBefore * opacity);
  const QColor color = QColor::fromRgba(argb);
  if (xRadius > 0 || yRadius > 0) {
    FPainter->setPen(Qt::NoPen);
    FPainter->setBrush(color);
    FPainter->drawRoundedRect(rect, xRadius, yRadius);
  } else {
    FPainter->fillRect(rect, color);
  }
  FPainter->setOpacity(opacityBefore);
}

void TCanvas::DrawRect(const QRectF& rect, quint32 argb, float thickness, float opacity) {
  if (!FPainter) return;
  const qreal opacityBefore = FPainter->opacity();
  FPainter->setOpacity(opacityBefore * opacity);
  FPainter->setPen(QPen(QColor::fromRgba(argb), thickness));
  FPainter->setBrush(Qt::NoBrush);
  const qreal h = thickness / 2;
  FPainter->drawRect(rect.adjusted(h, h, -h, -h));
  FPainter->setOpacity(opacityBefore);
}

void TCanvas::DrawLine(const QPointF& a, const QPointF& b, quint32 argb, float thickness) {
  if (!FPainter) return;
  FPainter->setPen(QPen(QColor::fromRgba(argb), thickness));
  FPainter->drawLine(a, b);
}

void TCanvas::FillText(const QRectF& rect, const QString& text, bool wordWrap, float opacity,
                       TTextAlign hAlign, TTextAlign vAlign) {
  if (!FPainter || text.isEmpty() || rect.width() <= 0 || rect.height() <= 0) return;
  const qreal opacityBefore = FPainter->opacity();
  FPainter->setOpacity(opacityBefore * opacity);
  FPainter->setFont(Font);
  FPainter->setPen(QColor::fromRgba(FillColor));
  const Qt::Alignment align = qtAlignment(hAlign, vAlign);
  if (wordWrap) {
    FPainter->drawText(rect, int(align) | Qt::TextWordWrap, text);
  } else {
    const QFontMetricsF fm(Font);
    const QString shown = fm.horizontalAdvance(text) > rect.width()
                              ? fm.elidedText(text, Qt::ElideRight, rect.width())
                              : text;
    FPainter->drawText(rect, int(align) | Qt::TextSingleLine, shown);
  }
  FPainter->setOpacity(opacityBefore);
}

float TCanvas::TextWidth(const QString& text) const {
  return float(QFontMetricsF(Font).horizontalAdvance(text));
}

float TCanvas::TextHeight(const QString& text) const {
  return float(QFontMetricsF(Font).boundingRect(text).height());
}

void TCanvas::Save() {
  if (FPainter) FPainter->save();
}

void TCanvas::Restore() {
  if (FPainter) FPainter->restore();
}

void TCanvas::IntersectClipRect(const QRectF& rect) {
  if (FPainter) FPainter->setClipRect(rect, Qt::IntersectClip);
}

}  // namespace dizad::toolkit

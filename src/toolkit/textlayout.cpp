#include "toolkit/textlayout.h"

#include <QFontMetricsF>

namespace dizad::toolkit {

QRectF TTextLayout::TextRect() const {
  const QFontMetricsF fm(Font);
  int flags = int(qtAlignment(HorizontalAlign, VerticalAlign));
  flags |= WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
  return fm.boundingRect(QRectF(TopLeft, MaxSize), flags, Text);
}

void TTextLayout::RenderLayout(TCanvas& canvas, float opacity) const {
  const QFont fontBefore = canvas.Font;
  const quint32 colorBefore = canvas.FillColor;
  canvas.Font = Font;
  canvas.FillColor = Color;
  canvas.FillText(QRectF(TopLeft, MaxSize), Text, WordWrap, opacity, HorizontalAlign,
                  VerticalAlign);
  canvas.Font = fontBefore;
  canvas.FillColor = colorBefore;
}

TTextControl::TTextControl() {
  SetHitTest(false);
}

void TTextControl::SetText(const QString& text) {
  if (text == FText) return;
  FText = text;
  Invalidate();
}

void TTextControl::SetFont(const QFont& font) {
  FFont = font;
  Invalidate();
}

void TTextControl::SetColor(quint32 argb) {
  FColor = argb;
  Invalidate();
}

void TTextControl::SetAlignment(TTextAlign horizontal, TTextAlign vertical) {
  FHAlign = horizontal;
  FVAlign = vertical;
  Invalidate();
}

void TTextControl::SetWordWrap(bool value) {
  FWordWrap = value;
  Invalidate();
}

void TTextControl::Paint(TCanvas& canvas) {
  if (FText.isEmpty()) return;
  const QFont fontBefore = canvas.Font;
  const quint32 colorBefore = canvas.FillColor;
  canvas.Font = FFont;
  canvas.FillColor = FColor;
  canvas.FillText(LocalRect(), FText, FWordWrap, Opacity, FHAlign, FVAlign);
  canvas.Font = fontBefore;
  canvas.FillColor = colorBefore;
}

}  // namespace dizad::toolkit

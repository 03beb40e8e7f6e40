#pragma once
// Text layouts (measure and render one text in a box) and text controls (tree
// controls that paint one text, such as the column texts of items).

#include "toolkit/control.h"

#include <QFont>
#include <QSizeF>

namespace dizad::toolkit {

class TTextLayout {
 public:
  QString Text;
  QFont Font;
  quint32 Color = 0xFF000000;
  QPointF TopLeft;
  QSizeF MaxSize{1e6, 1e6};
  TTextAlign HorizontalAlign = TTextAlign::Leading;
  TTextAlign VerticalAlign = TTextAlign::Leading;
  bool WordWrap = false;

  // The rectangle the laid-out text covers.
  QRectF TextRect() const;
  void RenderLayout(TCanvas& canvas, float opacity = 1.0f) const;
};

class TTextControl : public TControl {
 public:
  TTextControl();
  QString Text() const { return FText; }
  void SetText(const QString& text);
  QFont Font() const { return FFont; }
  void SetFont(const QFont& font);
  quint32 Color() const { return FColor; }
  void SetColor(quint32 argb);
  void SetAlignment(TTextAlign horizontal, TTextAlign vertical);
  void SetWordWrap(bool value);
  float Opacity = 1.0f;

  void Paint(TCanvas& canvas) override;

 private:
  QString FText;
  QFont FFont;
  quint32 FColor = 0xFF000000;
  TTextAlign FHAlign = TTextAlign::Leading;
  TTextAlign FVAlign = TTextAlign::Center;
  bool FWordWrap = false;
};

}  // namespace dizad::toolkit

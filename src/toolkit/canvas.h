#pragma once
// TCanvas: the drawing surface every control paints on. A thin wrapper over a
// QPainter that keeps the current text font and fill colour (the colour text
// and filled shapes use), as the skin assigns them. GUI thread, except a
// bitmap's own canvas which belongs to the thread that owns the bitmap.

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <memory>

namespace dizad::toolkit {

class TBitmap;

enum class TTextAlign { Center, Leading, Trailing };

class TCanvas {
 public:
  // A canvas on a painter owned by someone else (the host window's paint pass).
  explicit TCanvas(QPainter* painter);
  // A canvas on an image; drawing needs BeginScene ... EndScene.
  explicit TCanvas(QImage* target);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  bool BeginScene();
  void EndScene();
  bool InScene() const { return FPainter != nullptr && FPainter->isActive(); }
  QPainter* Painter() const { return FPainter; }

  QFont Font;
  quint32 FillColor = 0xFF000000;  // ARGB
  // The part of the current local frame that can show anything; controls
  // outside it are not painted. Kept by TControl::PaintChild.
  QRectF VisibleRect{-1e9, -1e9, 2e9, 2e9};

  // Draws the src part of the bitmap into dst. Degenerate rectangles (no
  // width or height, or negative extents) draw nothing.
  void DrawBitmap(const TBitmap& bitmap, const QRectF& src, const QRectF& dst, float opacity,
                  bool highSpeed = false);
  void FillRect(const QRectF& rect, quint32 argb, float opacity = 1.0f, float xRadius = 0,
                float yRadius = 0);
  void DrawRect(const QRectF& rect, quint32 argb, float thickness = 1.0f, float opacity = 1.0f);
  void DrawLine(const QPointF& a, const QPointF& b, quint32 argb, float thickness = 1.0f);
  // Text in Font and FillColor, aligned inside rect; elided with "…" when it
  // does not fit and wordWrap is off.
  void FillText(const QRectF& rect, const QString& text, bool wordWrap = false,
                float opacity = 1.0f, TTextAlign hAlign = TTextAlign::Leading,
                TTextAlign vAlign = TTextAlign::Center);
  float TextWidth(const QString& text) const;
  float TextHeight(const QString& text) const;

  void Save();
  void Restore();
  void IntersectClipRect(const QRectF& rect);

 private:
  QPainter* FPainter = nullptr;  // not owned for a painter canvas
  QImage* FTarget = nullptr;     // image of a bitmap canvas
  std::unique_ptr<QPainter> FOwnPainter;
};

// Qt alignment flags for a horizontal/vertical text alignment pair.
Qt::Alignment qtAlignment(TTextAlign h, TTextAlign v);

}  // namespace dizad::toolkit

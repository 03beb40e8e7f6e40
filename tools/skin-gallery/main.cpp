// Renders every element of the repository's skin into one PNG sheet, so a
// skin author can see all pictures and fonts at once.
//
//   skin-gallery [OUT.png]        (default docs/skin-gallery.png)
//
// Run it from the repository root so that the skin in Data/Theme is found.
// Broken skin entries are listed on stderr and make the exit code 2.
//
// The sheet is a column of sections. Each section is one painter that lays
// itself out below a given top within the sheet's width; to add a section
// (buttons in their states, say), append a painter in main().

#include "buttons.h"
#include "app/globals.h"
#include "skin/smartskin.h"
#include "toolkit/application.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"
#include "toolkit/memo.h"

#include <QColor>
#include <QDir>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using dizad::skin::TSkinData;
using dizad::skin::TSkinGroup;
using dizad::skin::TSmartSkin;
using dizad::toolkit::TBitmap;
using dizad::toolkit::TCanvas;
using dizad::toolkit::TTextAlign;

namespace {

constexpr int kSheetWidth = 1280;
constexpr float kPadding = 16;
constexpr float kGap = 12;
constexpr float kLabelHeight = 16;
constexpr float kMaxPicture = 128;  // larger pictures are shown scaled down
constexpr quint32 kField = 0xFFC5C5C3;
constexpr quint32 kDarkField = 0xFF2A2D31;
constexpr quint32 kLabelColour = 0xFF202124;

// One part of the sheet: draws itself from Top within Width and returns the
// height it took. With Canvas null it only measures.
using TSectionPainter = std::function<float(TCanvas* Canvas, float Top, float Width)>;

struct TSection {
  QString Title;
  TSectionPainter Paint;
};

QFont labelFont(int pixelSize, bool bold = false) {
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

void drawLabel(TCanvas& canvas, const QRectF& rect, const QString& text, quint32 colour,
               TTextAlign align = TTextAlign::Leading) {
  canvas.Font = labelFont(11);
  canvas.FillColor = colour;
  canvas.FillText(rect, text, false, 1.0f, align, TTextAlign::Center);
}

// Places cells left to right and wraps at the width; remembers the tallest
// cell of the current row.
class TFlow {
 public:
  TFlow(float left, float top, float width)
      : FLeft(left), FRight(left + width), FX(left), FY(top) {}
  QRectF Place(float w, float h) {
    if (FX > FLeft && FX + w > FRight) NewRow();
    const QRectF cell(FX, FY, w, h);
    FX += w + kGap;
    FRowHeight = std::max(FRowHeight, h);
    return cell;
  }
  void NewRow() {
    if (FX == FLeft) return;
    FY += FRowHeight + kGap;
    FX = FLeft;
    FRowHeight = 0;
  }
  float Bottom() const { return FX == FLeft ? FY : FY + FRowHeight + kGap; }

 private:
  float FLeft, FRight, FX, FY, FRowHeight = 0;
};

QString elementName(const TSkinGroup& group, const TSkinData& data) {
  return group.sgID + QLatin1Char(':') + data.sdID;
}

QSizeF shownSize(const TBitmap& image) {
  const float w = image.Width(), h = image.Height();
  const float scale = std::min(1.0f, kMaxPicture / std::max(w, h));
  return QSizeF(w * scale, h * scale);
}

// The two sizes a nine-slice element is shown at: a compact one just above
// its margins and a wide one.
std::pair<QSizeF, QSizeF> nineSliceSizes(const TSkinData& data) {
  const auto& m = data.sdMargins;
  const float minW = m.Left + m.Right, minH = m.Top + m.Bottom;
  const QSizeF compact(std::max(minW + 24, 48.0f), std::max(minH + 16, 32.0f));
  const QSizeF wide(std::max(minW + 160, 220.0f), std::max(minH + 32, 56.0f));
  return {compact, wide};
}

// Every picture of every group: stretched ones at their natural size,
// nine-slice ones at two sizes, each with its "Group:Id" label.
float paintImages(const TSmartSkin& skin, TCanvas* canvas, float top, float width) {
  TFlow flow(kPadding, top, width - 2 * kPadding);
  for (const auto& group : skin.ssDataList) {
    bool any = false;
    for (const auto& data : group->sgDataList) {
      if (data->sdImage.IsEmpty()) continue;
      if (!any) {
        flow.NewRow();
        const QRectF heading = flow.Place(width - 2 * kPadding, 20);
        if (canvas) {
          canvas->Font = labelFont(13, true);
          canvas->FillColor = kLabelColour;
          canvas->FillText(heading, QStringLiteral("[%1]").arg(group->sgID));
        }
        flow.NewRow();
        any = true;
      }
      const QString name = elementName(*group, *data);
      std::vector<QSizeF> shapes;
      if (data->sdMode == dizad::skin::rmFull) {
        const auto [compact, wide] = nineSliceSizes(*data);
        shapes = {compact, wide};
      } else {
        shapes = {shownSize(data->sdImage)};
      }
      float picturesWidth = -kGap, picturesHeight = 0;
      for (const QSizeF& s : shapes) {
        picturesWidth += float(s.width()) + kGap;
        picturesHeight = std::max(picturesHeight, float(s.height()));
      }
      const float labelWidth = float(QFontMetricsF(labelFont(11)).horizontalAdvance(name));
      const float cellWidth = std::max(picturesWidth, std::min(labelWidth + 8, 300.0f));
      const QRectF cell = flow.Place(cellWidth, picturesHeight + 4 + kLabelHeight);
      if (!canvas) continue;
      float x = float(cell.left());
      for (const QSizeF& s : shapes) {
        const QRectF r(x, cell.top(), s.width(), s.height());
        data->DrawTo(*canvas, r);
        x += float(s.width()) + kGap;
      }
      drawLabel(*canvas, QRectF(cell.left(), cell.bottom() - kLabelHeight, cellWidth, kLabelHeight),
                name, kLabelColour);
    }
  }
  return flow.Bottom() - top;
}

bool isLight(quint32 argb) {
  const QColor c = QColor::fromRgba(argb);
  return 0.299 * c.redF() + 0.587 * c.greenF() + 0.114 * c.blueF() > 0.6;
}

// Every font as a sample line in its own colour and size; light colours on a
// dark band so they can be read.
float paintFonts(const TSmartSkin& skin, TCanvas* canvas, float top, float width) {
  const QString sample = QStringLiteral("The quick brown fox 0123456789");
  float y = top;
  for (const auto& group : skin.ssDataList) {
    for (const auto& data : group->sgDataList) {
      // Only elements a Font() entry filled carry a pixel size.
      if (data->sdFont.pixelSize() <= 0) continue;
      const float h = std::max(24.0f, float(data->sdFont.pixelSize()) * 1.8f);
      if (canvas) {
        const QRectF band(kPadding, y, width - 2 * kPadding, h);
        if (isLight(data->sdFontColor)) canvas->FillRect(band, kDarkField, 1.0f, 4, 4);
        const QString name = elementName(*group, *data);
        const quint32 labelColour = isLight(data->sdFontColor) ? 0xFFB0B4B8 : kLabelColour;
        drawLabel(*canvas, QRectF(band.left() + 8, y, 300, h), name, labelColour);
        canvas->Font = data->sdFont;
        canvas->FillColor = data->sdFontColor;
        const QString details =
            QStringLiteral("  (%1 %2px%3%4, #%5)")
                .arg(data->sdFont.family())
                .arg(data->sdFont.pixelSize())
                .arg(data->sdFont.bold() ? QStringLiteral(" bold") : QString())
                .arg(data->sdFont.italic() ? QStringLiteral(" italic") : QString())
                .arg(data->sdFontColor, 8, 16, QLatin1Char('0'));
        canvas->FillText(QRectF(band.left() + 310, y, band.width() - 318, h), sample + details);
      }
      y += h + 4;
    }
  }
  return y - top;
}

// Lays the sections out one below the other, each under its title.
float layoutSheet(const std::vector<TSection>& sections, TCanvas* canvas, float width) {
  float y = kPadding;
  for (const TSection& section : sections) {
    if (canvas) {
      canvas->Font = labelFont(18, true);
      canvas->FillColor = kLabelColour;
      canvas->FillText(QRectF(kPadding, y, width - 2 * kPadding, 28), section.Title);
      canvas->DrawLine(QPointF(kPadding, y + 30), QPointF(width - kPadding, y + 30), 0xFF8A8C8E);
    }
    y += 38;
    y += section.Paint(canvas, y, width) + kPadding;
  }
  return y;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  dizad::toolkit::TApplication app(argc, argv);
  const QString out =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/skin-gallery.png");

  dizad::toolkit::LogMemo().Clear();
  TSmartSkin skin;
  dizad::SmartSkin = &skin;  // the buttons draw through the process-wide skin
  const QStringList broken = dizad::toolkit::LogMemo().Lines();
  if (skin.ssDataList.empty()) {
    std::fprintf(stderr, "no skin found under %s\n", qPrintable(QDir::currentPath()));
    return 1;
  }

  std::vector<TSection> sections;
  sections.push_back({QStringLiteral("Pictures"), [&skin](TCanvas* c, float top, float width) {
                        return paintImages(skin, c, top, width);
                      }});
  sections.push_back({QStringLiteral("Fonts"), [&skin](TCanvas* c, float top, float width) {
                        return paintFonts(skin, c, top, width);
                      }});
  // The button page is rendered once (it builds real buttons on the skin) and
  // placed as a picture.
  const TBitmap buttons(renderButtonGallery(kSheetWidth - 2 * int(kPadding)));
  sections.push_back({QStringLiteral("Buttons"), [&buttons](TCanvas* c, float top, float) {
                        const QRectF rect(0, 0, buttons.Width(), buttons.Height());
                        if (c) c->DrawBitmap(buttons, rect, rect.translated(kPadding, top), 1.0f);
                        return float(buttons.Height());
                      }});

  const float height = layoutSheet(sections, nullptr, kSheetWidth);
  TBitmap sheet(kSheetWidth, int(std::ceil(height)));
  sheet.Clear(kField);
  TCanvas& canvas = sheet.Canvas();
  canvas.BeginScene();
  layoutSheet(sections, &canvas, kSheetWidth);
  canvas.EndScene();
  if (!sheet.SaveToFile(out)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  for (const QString& line : broken) std::fprintf(stderr, "%s\n", qPrintable(line));
  std::printf("%s\n", qPrintable(out));
  return broken.isEmpty() ? 0 : 2;
}

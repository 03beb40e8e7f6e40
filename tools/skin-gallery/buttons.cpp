#include "buttons.h"

#include "app/globals.h"
#include "controls/buttonkinds.h"
#include "controls/smartbutton.h"
#include "skin/smartskin.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace dizad::controls;
using dizad::toolkit::TBitmap;
using dizad::toolkit::TCanvas;
using dizad::toolkit::TTextAlign;

namespace {

constexpr float kPad = 12;
constexpr float kLabelWidth = 220;
constexpr float kHeaderHeight = 24;
constexpr quint32 kPage = 0xFFF4F5F6;
constexpr quint32 kText = 0xFF202124;
constexpr quint32 kDarkBar = 0xFF2A2D31;     // tab bar and path bar
constexpr quint32 kFolderArea = 0xFFC5C5C3;  // group headers sit on it
constexpr quint32 kMenuPage = 0xFFE9ECEF;    // menu pages
constexpr quint32 kMenuHeader = 0xFF3A3F45;  // the menu's header band

enum TColumn { cNormal, cHot, cHeld };

class TGalleryGroup : public TCollapsibleGroup {
 public:
  explicit TGalleryGroup(bool collapsed) : FCollapsed(collapsed) {}
  bool Collapsed() const override { return FCollapsed; }
  void SetCollapsed(bool Value) override { FCollapsed = Value; }

 private:
  bool FCollapsed;
};

struct TRow {
  QString Label;
  quint32 Field;
  // Makes the button for one column (the row may hold state, such as a group).
  std::function<std::unique_ptr<TSmartButton>()> Make;
  bool IsKind;  // the kinds show no pressed look: held down they stay hot
};

void putState(TSmartButton& b, TColumn column, bool isKind) {
  if (column == cNormal) return;
  b.MouseEnter(&b);
  if (column == cHeld) b.sbState = isKind ? bsHot : bsPressed;
}

void label(TCanvas& canvas, const QRectF& r, const QString& text, bool bold = false,
           TTextAlign align = TTextAlign::Leading) {
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(12);
  font.setBold(bold);
  canvas.Font = font;
  canvas.FillColor = kText;
  canvas.FillText(r, text, true, 1.0f, align, TTextAlign::Center);
}

TBitmap fileIcon() {
  TBitmap icon;
  TSmartButton::ExtractFileIcon(QCoreApplication::applicationFilePath(), icon);
  return icon;
}

std::vector<TRow> galleryRows(const std::shared_ptr<TBitmap>& icon) {
  auto general = [icon](TButtonStyle style, const QString& caption, const QString& description,
                        int iconKind, float w, float h) {
    return [=]() {
      auto b = std::make_unique<TSmartButton>();
      b->sbStyle = style;
      b->SetSize(w, h);
      b->Caption.Text = caption;
      b->Description.Text = description;
      b->LoadTheme();
      if (iconKind == 1)
        dizad::core::SetListValue(b->sbSkinID, QStringLiteral("Icon"),
                                  QStringLiteral("Icons:Tiles"));
      if (iconKind == 2 && !icon->IsEmpty()) {
        b->sbIcon = *icon;
        b->sbIconLoaded = true;
      }
      return b;
    };
  };
  auto kind = [](auto make) {
    return [make]() -> std::unique_ptr<TSmartButton> { return make(); };
  };
  auto collapse = [](bool collapsed) {
    auto group = std::make_shared<TGalleryGroup>(collapsed);
    return [group]() -> std::unique_ptr<TSmartButton> {
      auto b = std::make_unique<TButtonGroupCollapse>();
      b->bGroupData = group.get();
      return b;
    };
  };
  const QString program = QStringLiteral("Text Editor");
  const QString path = QStringLiteral("/usr/bin/text-editor");
  return {
      {QStringLiteral("TSmartButton bsMenu\nfile icon, caption, description"), kMenuPage,
       general(bsMenu, program, path, 2, 300, 60), false},
      {QStringLiteral("TSmartButton bsMenu\nno icon, caption only"), kMenuPage,
       general(bsMenu, program, QString(), 0, 300, 60), false},
      {QStringLiteral("TSmartButton bsMenu\nno icon, no caption"), kMenuPage,
       general(bsMenu, QString(), QString(), 0, 300, 60), false},
      {QStringLiteral("TSmartButton bsTile\ncaption and description"), kMenuPage,
       general(bsTile, program, path, 0, 240, 60), false},
      {QStringLiteral("TSmartButton bsIcon\nskin icon Icons:Tiles"), kFolderArea,
       general(bsIcon, QString(), QString(), 1, 29, 29), false},
      {QStringLiteral("TSmartButton bsIcon\nno icon"), kFolderArea,
       general(bsIcon, QString(), QString(), 0, 29, 29), false},
      {QStringLiteral("TButtonBack"), kDarkBar,
       kind([] { return std::make_unique<TButtonBack>(); }), true},
      {QStringLiteral("TButtonBack with caption"), kDarkBar, kind([] {
         auto b = std::make_unique<TButtonBack>();
         b->Caption.Text = QStringLiteral("Documents");
         b->Arrange();
         return b;
       }),
       true},
      {QStringLiteral("TButtonForward"), kDarkBar,
       kind([] { return std::make_unique<TButtonForward>(); }), true},
      {QStringLiteral("TButtonGroupCollapse\nexpanded group"), kFolderArea, collapse(false), true},
      {QStringLiteral("TButtonGroupCollapse\ncollapsed group"), kFolderArea, collapse(true), true},
      {QStringLiteral("TButtonGroupCollapse\nno group"), kFolderArea,
       kind([] { return std::make_unique<TButtonGroupCollapse>(); }), true},
      {QStringLiteral("TButtonGoogleDrive"), kDarkBar,
       kind([] { return std::make_unique<TButtonGoogleDrive>(); }), true},
      {QStringLiteral("TButtonFavorites"), kDarkBar,
       kind([] { return std::make_unique<TButtonFavorites>(); }), true},
      {QStringLiteral("TButtonMenu"), kDarkBar,
       kind([] { return std::make_unique<TButtonMenu>(); }), true},
      {QStringLiteral("TButtonSearch"), kDarkBar,
       kind([] { return std::make_unique<TButtonSearch>(); }), true},
      {QStringLiteral("TButtonMenuBack"), kMenuHeader,
       kind([] { return std::make_unique<TButtonMenuBack>(); }), true},
  };
}

}  // namespace

QImage renderButtonGallery(int width) {
  std::unique_ptr<dizad::skin::TSmartSkin> ownSkin;
  if (dizad::SmartSkin == nullptr) {
    ownSkin = std::make_unique<dizad::skin::TSmartSkin>();
    dizad::SmartSkin = ownSkin.get();
  }
  const auto icon = std::make_shared<TBitmap>(fileIcon());
  const std::vector<TRow> rows = galleryRows(icon);

  // Row heights from the buttons themselves.
  std::vector<float> heights;
  float total = kPad + kHeaderHeight;
  for (const TRow& row : rows) {
    const float h = std::max(36.0f, row.Make()->Height() + 2 * kPad);
    heights.push_back(h);
    total += h;
  }
  total += kPad;

  TBitmap sheet(width, int(total));
  sheet.Clear(kPage);
  TCanvas& canvas = sheet.Canvas();
  canvas.BeginScene();
  const float columnWidth = (float(width) - kLabelWidth - 2 * kPad) / 3;
  const QString titles[] = {QStringLiteral("Normal"), QStringLiteral("Hot"),
                            QStringLiteral("Held down")};
  for (int c = 0; c < 3; ++c)
    label(canvas, QRectF(kPad + kLabelWidth + c * columnWidth, kPad, columnWidth, kHeaderHeight),
          titles[c], true);
  float top = kPad + kHeaderHeight;
  for (size_t i = 0; i < rows.size(); ++i) {
    const TRow& row = rows[i];
    label(canvas, QRectF(kPad, top, kLabelWidth - kPad, heights[i]), row.Label);
    for (int c = 0; c < 3; ++c) {
      const QRectF cell(kPad + kLabelWidth + c * columnWidth, top + 4, columnWidth - 8,
                        heights[i] - 8);
      canvas.FillRect(cell, row.Field);
      std::unique_ptr<TSmartButton> b = row.Make();
      putState(*b, TColumn(c), row.IsKind);
      const float x = float(cell.left()) + kPad;
      const float y = float(cell.center().y()) - b->Height() / 2;
      canvas.Save();
      canvas.IntersectClipRect(cell);
      canvas.Painter()->translate(x, y);
      b->Paint(canvas);
      canvas.Restore();
    }
    top += heights[i];
  }
  canvas.EndScene();

  if (ownSkin) dizad::SmartSkin = nullptr;
  return sheet.Image();
}

#include "controls/smartbutton.h"

#include "controls/skindraw.h"
#include "toolkit/application.h"
#include "toolkit/memo.h"
#include "toolkit/sync.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace dizad::controls {

namespace {

QFont segoeFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

bool fileExists(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isFile();
}

// Left and top edges inside, right and bottom edges outside.
bool pointInHalfOpen(const QRectF& r, float x, float y) {
  return x >= r.left() && x < r.right() && y >= r.top() && y < r.bottom();
}

TIconExtractor& iconExtractorSlot() {  // GUI thread only
  static TIconExtractor extractor = &TSmartButton::ExtractFileIcon;
  return extractor;
}

// Calls into parts of the window that are not built yet. Each says what it
// will call; until then it does nothing.
namespace deferred {
// Explorer->SmartMenu->PopUp(TMenuHolderCMD, "CMD(" + Path + ")", false).
void popUpCommandMenu(const QString&) {}
}  // namespace deferred

}  // namespace

TSmartButton::TSmartButton() {
  Caption.Font = segoeFont(13, true);
  Caption.Color = 0xFF000000;
  Caption.MaxSize = QSizeF(100, 29);
  Caption.VerticalAlign = toolkit::TTextAlign::Leading;
  Description.Font = segoeFont(12, false);
  Description.Color = 0xFF000000;
  Description.MaxSize = QSizeF(100, 29);
  Description.VerticalAlign = toolkit::TTextAlign::Leading;
  SetSize(29, 29);
}

TSmartButton::~TSmartButton() {
  sbAlive->store(false, std::memory_order_release);
}

void TSmartButton::Resize() {
  Arrange();
}

void TSmartButton::Arrange() {
  const float w = Width();
  const float h = Height();
  if (sbStyle == bsIcon) {
    sbIconRect = rectLTRB(2, 2, w - 2, h - 2);
  } else if (sbStyle == bsMenu) {
    sbMenuRect = rectLTRB(w - 40, 0, w, h);
    sbIconRect = rectLTRB(10, 10, 42, 42);
    sbArrowRect = rectLTRB(sbMenuRect.left() + 10, sbMenuRect.top() + 25, sbMenuRect.left() + 29,
                           sbMenuRect.top() + 44);
  }
  Caption.TopLeft = QPointF(55, 10);
  Caption.MaxSize = QSizeF(w - 60, 20);
  Description.TopLeft = QPointF(55, 30);
  Description.MaxSize = QSizeF(w - 60, 32);
}

void TSmartButton::InitButton() {
  LoadIcon();
  LoadTheme();
}

void TSmartButton::LoadTheme() {
  const bool exists = fileExists(ebPath);
  Caption.Font.setFamily(QStringLiteral("Segoe UI"));
  Caption.Color = 0xFF383838;
  Caption.VerticalAlign = toolkit::TTextAlign::Leading;
  if (Caption.Text.isEmpty() && exists) Caption.Text = QFileInfo(ebPath).fileName();
  Description.Font.setFamily(QStringLiteral("Segoe UI"));
  Description.Color = 0xFF190086;
  if (Description.Text.isEmpty() && exists) Description.Text = ebPath;
  Description.WordWrap = true;
}

void TSmartButton::SetIconExtractor(TIconExtractor extractor) {
  iconExtractorSlot() = extractor ? std::move(extractor) : &TSmartButton::ExtractFileIcon;
}

TIconExtractor TSmartButton::IconExtractor() {
  return iconExtractorSlot();
}

bool TSmartButton::ExtractFileIcon(const QString& Path, toolkit::TBitmap& Dest) {
  // The names are worked out here, on the worker; the icon theme is only
  // safe to use on the GUI thread, so the drawing happens there.
  const QMimeType type = QMimeDatabase().mimeTypeForFile(Path);
  QStringList names{type.iconName(), type.genericIconName()};
  if (QFileInfo(Path).isExecutable()) names.prepend(QStringLiteral("application-x-executable"));
  names.append(QStringLiteral("text-x-generic"));
  bool found = false;
  toolkit::Synchronize([&] {
    for (const QString& name : std::as_const(names)) {
      const QIcon icon = QIcon::fromTheme(name);
      if (name.isEmpty() || icon.isNull()) continue;
      const QPixmap pixmap = icon.pixmap(QSize(32, 32));
      if (pixmap.isNull()) continue;
      QImage image(32, 32, QImage::Format_ARGB32);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      const QSize size = pixmap.deviceIndependentSize().toSize().boundedTo(QSize(32, 32));
      painter.drawPixmap(QRect(QPoint((32 - size.width()) / 2, (32 - size.height()) / 2), size),
                         pixmap);
      painter.end();
      Dest.Assign(image);
      found = true;
      return;
    }
  });
  return found;
}

void TSmartButton::LoadIcon() {
  if (!fileExists(ebPath)) return;
  const quint64 request = ++sbIconRequest;
  toolkit::TControlRef<TSmartButton> self(this);
  toolkit::PoolRun([self, alive = sbAlive, extractor = IconExtractor(), path = ebPath, request]() {
    // A button freed before its turn came needs no icon at all.
    if (!alive->load(std::memory_order_acquire)) return;
    auto icon = std::make_shared<toolkit::TBitmap>();
    bool ok = false;
    try {
      ok = extractor(path, *icon);
    } catch (...) {
      toolkit::logLine(QStringLiteral("Icon of ") + path + QStringLiteral(": ") +
                       toolkit::exceptionMessage(std::current_exception()));
    }
    toolkit::Queue([self, icon, ok, request] {
      TSmartButton* button = self.get();
      if (button == nullptr || button->sbIconRequest != request) return;
      if (ok) button->sbIcon = *icon;
      button->sbIconLoaded = ok;
      button->Repaint();
    });
  });
  Invalidate();
}

void TSmartButton::MouseEnter(TControl*) {
  if (sbState == bsNormal) sbState = bsHot;
  Repaint();
}

void TSmartButton::MouseLeave(TControl*) {
  sbState = bsNormal;
  Repaint();
}

void TSmartButton::MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TControl::MouseDown(Button, Shift, X, Y);
  sbState = bsPressed;
  if (sbOnButonClick) {
    // The handler may free the button (a menu dropping the page it is on).
    toolkit::TControlRef<TSmartButton> self(this);
    sbOnButonClick(this, Button, Shift, X, Y);
    if (!self) return;
  }
  Repaint();
}

void TSmartButton::MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TControl::MouseUp(Button, Shift, X, Y);
  sbState = bsHot;
  if (pointInHalfOpen(sbMenuRect, X, Y)) {
    toolkit::TControlRef<TSmartButton> self(this);
    deferred::popUpCommandMenu(ebPath);
    if (!self) return;
  }
  Repaint();
}

QString TSmartButton::SkinID(const QString& Name, const QString& Default) const {
  return core::GetListValue(sbSkinID, Name, Default);
}

void TSmartButton::Paint(TCanvas& canvas) {
  if (sbState == bsHot)
    drawSkin(canvas,
             SkinID(QStringLiteral("Back.Hot"), QStringLiteral("SmartButton:SmartButton.Back.Hot")),
             LocalRect());
  Caption.RenderLayout(canvas);
  Description.RenderLayout(canvas);
  if (sbStyle == bsMenu && sbState == bsHot && !sbMenu.isEmpty()) {
    drawSkin(canvas,
             SkinID(QStringLiteral("Back.Sub"), QStringLiteral("SmartButton:SmartButton.Back.Sub")),
             sbMenuRect);
    drawSkin(canvas,
             SkinID(QStringLiteral("Back.Sub.Arrow"),
                    QStringLiteral("SmartButton:SmartButton.Back.Sub.Arrow")),
             sbArrowRect);
  }
  const QString icon = SkinID(QStringLiteral("Icon"), QString());
  if (!icon.isEmpty()) drawSkin(canvas, icon, sbIconRect);
  if (sbIconLoaded)
    canvas.DrawBitmap(sbIcon, QRectF(0, 0, sbIcon.Width(), sbIcon.Height()), sbIconRect, 1.0f);
}

}  // namespace dizad::controls

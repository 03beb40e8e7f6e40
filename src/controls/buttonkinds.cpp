#include "controls/buttonkinds.h"

#include "controls/skindraw.h"
#include "toolkit/application.h"

namespace dizad::controls {

namespace {

// Calls into parts of the window that are not built yet. Each says what it
// will call; until then it does nothing.
namespace deferred {
// Explorer->GoBack().
void explorerGoBack() {}
// Explorer->GoForward().
void explorerGoForward() {}
// Explorer->SmartScroll->ssExpanded = true; Explorer->SmartScroll->MouseEnter(Sender);
// Explorer->Resize().
void expandScrollBar(TControl*) {}
// Menu->GoBack() when Menu is set.
void smartMenuGoBack(menus::TSmartMenu*) {}
}  // namespace deferred

void drawButtonImage(TCanvas& canvas, const QString& element, const QRectF& rect) {
  drawSkin(canvas, QStringLiteral("Buttons"), element, rect);
}

}  // namespace

// --- TButtonBack --------------------------------------------------------------------

TButtonBack::TButtonBack() {
  core::SetListValue(sbSkinID, QStringLiteral("Icon"),
                     QStringLiteral("Buttons:Button.Navigate.Back"));
  // The base constructor's sizing ran the base arrangement, which sized the
  // caption box for a 29-wide button (a negative width). This kind never runs
  // that arrangement, so the caption gets back its box from creation.
  Caption.MaxSize = QSizeF(100, 29);
  SetSize(28, 28);
}

void TButtonBack::Arrange() {
  sbIconRect = rectLTRB(5, 5, 24, 24);
  Caption.TopLeft = QPointF(27, 0);
  Caption.Color = 0xFFFFFFFF;
  Caption.VerticalAlign = toolkit::TTextAlign::Center;
  // Changing the width arranges again; the second pass finds the same width.
  SetWidth(float(Caption.TextRect().right() + 2));
}

void TButtonBack::MouseDown(TMouseButton, TShiftState, float, float) {
  deferred::explorerGoBack();
}

QPoint TButtonBack::MeasureControl(int, int DesHeight) {
  return QPoint(roundHalfEven(Caption.TextRect().width() + 44), DesHeight);
}

// --- TButtonForward -----------------------------------------------------------------

TButtonForward::TButtonForward() {
  SetSize(28, 28);
}

void TButtonForward::Arrange() {
  TSmartButton::Arrange();
  sbIconRect = rectLTRB(5, 5, 24, 24);
}

void TButtonForward::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  drawButtonImage(canvas, QStringLiteral("Button.Navigate.Forward"), sbIconRect);
}

void TButtonForward::MouseDown(TMouseButton, TShiftState, float, float) {
  deferred::explorerGoForward();
}

// --- TButtonGroupCollapse -----------------------------------------------------------

TButtonGroupCollapse::TButtonGroupCollapse() {
  SetSize(28, 28);
}

void TButtonGroupCollapse::Arrange() {
  TSmartButton::Arrange();
  sbIconRect = rectLTRB(0, 0, 24, 24);
}

void TButtonGroupCollapse::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  if (bGroupData == nullptr) return;
  QString element = bGroupData->Collapsed() ? QStringLiteral("Button.Group.Collapse")
                                            : QStringLiteral("Button.Group.Expand");
  if (sbState == bsHot) element += QStringLiteral(".Hot");
  drawButtonImage(canvas, element, sbIconRect);
}

void TButtonGroupCollapse::MouseDown(TMouseButton, TShiftState, float, float) {
  if (bGroupData == nullptr) return;
  bGroupData->SetCollapsed(!bGroupData->Collapsed());
  Repaint();
}

// --- TButtonGoogleDrive ---------------------------------------------------------------

TButtonGoogleDrive::TButtonGoogleDrive() {
  SetSize(28, 28);
}

void TButtonGoogleDrive::Arrange() {
  TSmartButton::Arrange();
  sbIconRect = rectLTRB(2, 2, 26, 26);
}

void TButtonGoogleDrive::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  drawButtonImage(canvas, QStringLiteral("Button.Services.GoogleDrive.Small"), sbIconRect);
}

void TButtonGoogleDrive::MouseDown(TMouseButton, TShiftState, float, float) {
  toolkit::ShowMessage(QStringLiteral("Not yet Implemented :)"));
}

// --- TButtonFavorites -----------------------------------------------------------------

TButtonFavorites::TButtonFavorites() {
  SetSize(28, 28);
}

void TButtonFavorites::Arrange() {
  TSmartButton::Arrange();
  sbIconRect = rectLTRB(2, 2, 26, 26);
}

void TButtonFavorites::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  drawButtonImage(canvas, QStringLiteral("Button.Common.Favorites.Small"), sbIconRect);
}

void TButtonFavorites::MouseDown(TMouseButton, TShiftState, float, float) {
  deferred::expandScrollBar(this);
}

// --- TButtonMenu ------------------------------------------------------------------------

TButtonMenu::TButtonMenu() {
  SetSize(28, 28);
}

void TButtonMenu::Arrange() {
  TSmartButton::Arrange();
  sbIconRect = rectLTRB(2, 2, 26, 26);
}

void TButtonMenu::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  drawButtonImage(canvas, QStringLiteral("Button.Common.Menu.Small"), sbIconRect);
}

void TButtonMenu::MouseDown(TMouseButton, TShiftState, float, float) {}

// --- TButtonSearch ----------------------------------------------------------------------

TButtonSearch::TButtonSearch() {
  SetSize(40, 28);
}

void TButtonSearch::Arrange() {
  TSmartButton::Arrange();
  const float left = (Width() - 28) / 2;
  sbIconRect = rectLTRB(left, 2, left + 24, 26);
}

void TButtonSearch::Paint(TCanvas& canvas) {
  TSmartButton::Paint(canvas);
  drawSkin(canvas, QStringLiteral("TabBar"), QStringLiteral("Tab.Hot"), LocalRect());
  drawButtonImage(canvas, QStringLiteral("Button.Common.Search.Small"), sbIconRect);
}

void TButtonSearch::MouseDown(TMouseButton, TShiftState, float, float) {
  deferred::expandScrollBar(this);
}

// --- TButtonMenuBack --------------------------------------------------------------------

TButtonMenuBack::TButtonMenuBack() {
  sbStyle = bsIcon;
  SetSize(28, 28);
}

void TButtonMenuBack::Arrange() {
  TSmartButton::Arrange();
  const float left = (Width() - 23) / 2;
  sbIconRect = rectLTRB(left, 2, left + 19, 21);
}

void TButtonMenuBack::Paint(TCanvas& canvas) {
  if (sbState == bsHot)
    drawSkin(canvas, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Normal"),
             LocalRect());
  drawButtonImage(canvas, QStringLiteral("Button.Navigate.Back"), sbIconRect);
}

void TButtonMenuBack::MouseDown(TMouseButton, TShiftState, float, float) {
  deferred::smartMenuGoBack(bmMenu);
}

}  // namespace dizad::controls

#include "toolkit/host.h"

#include "toolkit/application.h"
#include "toolkit/editfield.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

namespace dizad::toolkit {

namespace {
// Errors from our handlers are reported here, before they could unwind
// through Qt's own event code (which is not written to be unwound).
template <typename F>
void guarded(F&& handler) {
  try {
    handler();
  } catch (...) {
    HandleException(std::current_exception());
  }
}
}  // namespace

TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TMouseButton mouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return TMouseButton::Right;
    case Qt::MiddleButton:
      return TMouseButton::Middle;
    default:
      return TMouseButton::Left;
  }
}

THostForm::THostForm(QWidget* parent) : QWidget(parent), FRoot(std::make_unique<TFormRoot>()) {
  FRoot->FHost = this;
  FRoot->SetHitTest(false);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

THostForm::~THostForm() {
  DestroyTree();
}

void THostForm::SetClientSize(int width, int height) {
  resize(width, height);
  if (FRoot) FRoot->SetSize(float(width), float(height));
}

void THostForm::DestroyTree() {
  FHover = nullptr;
  FCapture = nullptr;
  if (FRoot) {
    FRoot.reset();
  }
}

// --- window operations ---------------------------------------------------------

void THostForm::SetMaximized(bool maximized) {
  if (maximized)
    showMaximized();
  else
    showNormal();
}

bool THostForm::IsMaximized() const {
  return windowState() & Qt::WindowMaximized;
}

void THostForm::StartSystemMove() {
  QWindow* w = windowHandle();
  if (w && w->startSystemMove()) return;
  // The window manager refused: follow the pointer by hand until release.
  // Our own move handling then happens in the tab bar's pointer moves.
}

void THostForm::StartSystemResize(Qt::Edges edges) {
  QWindow* w = windowHandle();
  if (w) w->startSystemResize(edges);
}

void THostForm::ApplyRoundRegion(int ellipseWidth, int ellipseHeight) {
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, width(), height()), ellipseWidth / 2.0, ellipseHeight / 2.0);
  setMask(QRegion(path.toFillPolygon().toPolygon()));
}

// --- painting --------------------------------------------------------------------

void THostForm::InvalidateAbsolute(const QRectF& rect) {
  const QRect r = rect.toAlignedRect().adjusted(-1, -1, 1, 1);
  if (r.intersects(this->rect())) update(r);
}

void THostForm::PaintTree(QPainter& painter, const QRectF& dirty) {
  if (!FRoot) return;
  TCanvas canvas(&painter);
  canvas.VisibleRect = dirty;
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                         QPainter::TextAntialiasing);
  FRoot->Paint(canvas);
  FRoot->PaintChildren(canvas);
  FRoot->AfterPaint(canvas);
}

void THostForm::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  guarded([&] { PaintTree(painter, QRectF(event->rect())); });
  ScheduleEditSync();
}

QImage THostForm::RenderToImage(const QRect& dirty) {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  const QRect r = dirty.isNull() ? image.rect() : dirty;
  painter.setClipRect(r);
  PaintTree(painter, QRectF(r));
  painter.end();
  return image;
}

void THostForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  guarded([&] {
    if (FRoot) FRoot->SetSize(float(width()), float(height()));
  });
  ScheduleEditSync();
}

// --- input ---------------------------------------------------------------------------

void THostForm::UpdateHover(TControl* target) {
  if (target == FHover) return;
  TControl* old = FHover;
  FHover = target;
  if (old) {
    old->FIsMouseOver = false;
    old->DoMouseLeave();
  }
  // The leave handler may have freed or hidden the new target.
  if (target && FHover == target) {
    target->FIsMouseOver = true;
    target->DoMouseEnter();
  }
}

void THostForm::Press(QMouseEvent* event, bool isDouble) {
  if (!FRoot) return;
  const QPointF pos = event->position();
  TControl* target = FRoot->ObjectAtPoint(pos);
  UpdateHover(target);
  if (!target || FHover != target) return;
  TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
  if (isDouble) shift |= ssDouble;
  if (target->AutoCapture()) FCapture = target;
  const QPointF local = target->AbsoluteToLocal(pos);
  target->MouseDown(mouseButtonOf(event->button()), shift, float(local.x()), float(local.y()));
}

void THostForm::mousePressEvent(QMouseEvent* event) {
  guarded([&] { Press(event, false); });
}

void THostForm::mouseDoubleClickEvent(QMouseEvent* event) {
  guarded([&] { Press(event, true); });
}

void THostForm::mouseMoveEvent(QMouseEvent* event) {
  guarded([&] { MouseMoveImpl(event); });
}

void THostForm::MouseMoveImpl(QMouseEvent* event) {
  if (!FRoot) return;
  const QPointF pos = event->position();
  const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
  if (FCapture) {
    const QPointF local = FCapture->AbsoluteToLocal(pos);
    FCapture->MouseMove(shift, float(local.x()), float(local.y()));
    return;
  }
  TControl* target = FRoot->ObjectAtPoint(pos);
  UpdateHover(target);
  if (target && FHover == target) {
    const QPointF local = target->AbsoluteToLocal(pos);
    target->MouseMove(shift, float(local.x()), float(local.y()));
  }
}

void THostForm::mouseReleaseEvent(QMouseEvent* event) {
  guarded([&] { MouseReleaseImpl(event); });
}

void THostForm::MouseReleaseImpl(QMouseEvent* event) {
  if (!FRoot) return;
  const QPointF pos = event->position();
  TControl* target = FCapture ? FCapture : FRoot->ObjectAtPoint(pos);
  if (event->buttons() == Qt::NoButton) FCapture = nullptr;
  const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
  if (target) {
    const QPointF local = target->AbsoluteToLocal(pos);
    target->MouseUp(mouseButtonOf(event->button()), shift, float(local.x()), float(local.y()));
  }
  if (!FCapture && FRoot) UpdateHover(FRoot->ObjectAtPoint(pos));
}

void THostForm::wheelEvent(QWheelEvent* event) {
  event->accept();
  guarded([&] { WheelImpl(event); });
}

void THostForm::WheelImpl(QWheelEvent* event) {
  if (!FRoot) return;
  const TShiftState shift = shiftStateOf(event->modifiers(), event->buttons());
  const int delta =
      event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  bool handled = false;
  for (TControl* c = FRoot->ObjectAtPoint(event->position()); c && !handled; c = c->Parent())
    c->MouseWheel(shift, delta, handled);
}

void THostForm::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  guarded([&] {
    if (!FCapture) UpdateHover(nullptr);
  });
}

void THostForm::ReleaseCapture() {
  FCapture = nullptr;
}

void THostForm::ControlGone(TControl* control) {
  auto within = [control](TControl* c) { return c == control || control->IsAncestorOf(c); };
  if (FHover && within(FHover)) {
    FHover->FIsMouseOver = false;
    FHover = nullptr;
  }
  if (FCapture && within(FCapture)) FCapture = nullptr;
}

void THostForm::ControlHidden(TControl* control) {
  auto within = [control](TControl* c) { return c == control || control->IsAncestorOf(c); };
  if (FCapture && within(FCapture)) FCapture = nullptr;
  if (FHover && within(FHover)) UpdateHover(nullptr);
  ScheduleEditSync();
}

// --- edit fields -------------------------------------------------------------------------

void THostForm::RegisterEdit(TEditField* edit) {
  if (std::find(FEdits.begin(), FEdits.end(), edit) == FEdits.end()) FEdits.push_back(edit);
  ScheduleEditSync();
}

void THostForm::UnregisterEdit(TEditField* edit) {
  FEdits.erase(std::remove(FEdits.begin(), FEdits.end(), edit), FEdits.end());
}

void THostForm::ScheduleEditSync() {
  if (FEdits.empty() || FEditSyncQueued) return;
  FEditSyncQueued = true;
  QTimer::singleShot(0, this, [this] {
    FEditSyncQueued = false;
    SyncEdits();
  });
}

void THostForm::SyncEdits() {
  const std::vector<TEditField*> edits = FEdits;
  for (TEditField* e : edits) e->SyncWidget();
}

}  // namespace dizad::toolkit

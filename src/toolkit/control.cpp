#include "toolkit/control.h"

#include "toolkit/host.h"

#include <algorithm>
#include <atomic>

namespace dizad::toolkit {

namespace {
std::atomic<quint64> nextCreationIndex{1};
}

TControl::TControl() : FCreationIndex(nextCreationIndex++) {}

TControl::~TControl() {
  FDestroying = true;
  if (FWeakHandle) *FWeakHandle = nullptr;
  if (THostForm* host = Host()) host->ControlGone(this);
  // Free the children this control owns; children owned by a list elsewhere
  // are only detached so that the list can free them later.
  std::vector<TControl*> children;
  children.swap(FChildren);
  for (TControl* child : children) {
    child->FParent = nullptr;
    if (child->FOwnedByParent) delete child;
  }
  DetachFromParent();
}

std::shared_ptr<TControl*> TControl::WeakHandle() {
  if (!FWeakHandle) FWeakHandle = std::make_shared<TControl*>(this);
  return FWeakHandle;
}

int TControl::IndexOfChild(const TControl* child) const {
  auto it = std::find(FChildren.begin(), FChildren.end(), child);
  return it == FChildren.end() ? -1 : int(it - FChildren.begin());
}

bool TControl::IsAncestorOf(const TControl* other) const {
  for (const TControl* c = other ? other->FParent : nullptr; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

THostForm* TControl::Host() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return c->FHost;
}

void TControl::DetachFromParent() {
  TControl* parent = FParent;
  if (!parent) return;
  if (!FDestroying) {
    if (THostForm* host = Host()) host->ControlGone(this);
  }
  parent->InvalidateRect(
      BoundsRect().adjusted(-PaintOverhang, -PaintOverhang, PaintOverhang, PaintOverhang));
  auto& siblings = parent->FChildren;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  FParent = nullptr;
  if (!parent->FDestroying) {
    parent->ChildRemoved(this);
    if (FAlign != TAlign::None) parent->Realign();
  }
}

void TControl::SetParent(TControl* parent) {
  if (parent == FParent) return;
  DetachFromParent();
  if (!parent) return;
  FParent = parent;
  parent->FChildren.push_back(this);
  if (FAlign != TAlign::None) parent->Realign();
  Invalidate();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& siblings = FParent->FChildren;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  siblings.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& siblings = FParent->FChildren;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  siblings.insert(siblings.begin(), this);
  Invalidate();
}

// --- geometry ---------------------------------------------------------------

void TControl::GeometryChanged(const QRectF& oldBounds, bool sizeChanged) {
  if (FParent) {
    const float o = PaintOverhang;
    FParent->InvalidateRect(oldBounds.adjusted(-o, -o, o, o));
    FParent->InvalidateRect(BoundsRect().adjusted(-o, -o, o, o));
  } else if (FHost) {
    Invalidate();
  }
  if (sizeChanged) {
    Realign();
    Resize();
    NotifyParentAlign();
  }
}

void TControl::NotifyParentAlign() {
  if (FParent && FAlign != TAlign::None && !FParent->FRealigning) FParent->Realign();
}

void TControl::SetPosition(const QPointF& position) {
  if (position == FPosition) return;
  const QRectF old = BoundsRect();
  FPosition = position;
  GeometryChanged(old, false);
}

void TControl::SetWidth(float value) {
  SetSize(value, FHeight);
}

void TControl::SetHeight(float value) {
  SetSize(FWidth, value);
}

void TControl::SetSize(float width, float height) {
  width = std::max(0.0f, width);
  height = std::max(0.0f, height);
  if (width == FWidth && height == FHeight) return;
  const QRectF old = BoundsRect();
  FWidth = width;
  FHeight = height;
  GeometryChanged(old, true);
}

void TControl::SetBounds(float x, float y, float width, float height) {
  width = std::max(0.0f, width);
  height = std::max(0.0f, height);
  const bool sizeChanged = width != FWidth || height != FHeight;
  if (!sizeChanged && QPointF(x, y) == FPosition) return;
  const QRectF old = BoundsRect();
  FPosition = QPointF(x, y);
  FWidth = width;
  FHeight = height;
  GeometryChanged(old, sizeChanged);
}

QPointF TControl::LocalToAbsolute(const QPointF& point) const {
  QPointF p = point;
  for (const TControl* c = this; c; c = c->FParent) p += c->FPosition;
  return p;
}

QPointF TControl::AbsoluteToLocal(const QPointF& point) const {
  QPointF p = point;
  for (const TControl* c = this; c; c = c->FParent) p -= c->FPosition;
  return p;
}

QRectF TControl::LocalToAbsolute(const QRectF& rect) const {
  return rect.translated(LocalToAbsolute(QPointF(0, 0)));
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::Realign() {
  if (FRealigning) return;
  std::vector<TControl*> aligned;
  for (TControl* c : FChildren)
    if (c->FAlign != TAlign::None && c->FVisible) aligned.push_back(c);
  if (aligned.empty()) return;
  FRealigning = true;
  std::sort(aligned.begin(), aligned.end(),
            [](TControl* a, TControl* b) { return a->FCreationIndex < b->FCreationIndex; });
  float top = 0;
  float bottom = FHeight;
  for (TControl* c : aligned) {
    if (c->FAlign == TAlign::Top) {
      c->SetBounds(0, top, FWidth, c->FHeight);
      top += c->FHeight;
    } else if (c->FAlign == TAlign::Bottom) {
      c->SetBounds(0, bottom - c->FHeight, FWidth, c->FHeight);
      bottom -= c->FHeight;
    }
  }
  for (TControl* c : aligned)
    if (c->FAlign == TAlign::Client) c->SetBounds(0, top, FWidth, std::max(0.0f, bottom - top));
  FRealigning = false;
}

void TControl::Resize() {}

void TControl::ChildRemoved(TControl*) {}

// --- flags ------------------------------------------------------------------

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  if (FParent) {
    const float o = PaintOverhang;
    FParent->InvalidateRect(BoundsRect().adjusted(-o, -o, o, o));
    if (FAlign != TAlign::None) FParent->Realign();
  }
  if (!value) {
    if (THostForm* host = Host()) host->ControlHidden(this);
  }
}

bool TControl::IsShowing() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return Host() != nullptr;
}

void TControl::SetClipChildren(bool value) {
  if (value == FClipChildren) return;
  FClipChildren = value;
  Invalidate();
}

// --- painting ---------------------------------------------------------------

void TControl::InvalidateRect(const QRectF& localRect) {
  if (FDestroying) return;
  // Walk up to the host, dropping the request where an ancestor is hidden.
  QRectF r = localRect;
  const TControl* c = this;
  for (;;) {
    if (!c->FVisible) return;
    r.translate(c->FPosition);
    if (!c->FParent) break;
    c = c->FParent;
  }
  if (c->FHost) c->FHost->InvalidateAbsolute(r);
}

void TControl::Paint(TCanvas&) {}

void TControl::AfterPaint(TCanvas&) {}

void TControl::PaintChildren(TCanvas& canvas) {
  // Copy: a paint handler must not be able to invalidate the iteration.
  for (size_t i = 0; i < FChildren.size(); ++i) PaintChild(canvas, FChildren[i]);
}

void TControl::PaintChild(TCanvas& canvas, TControl* child) {
  if (!child->FVisible) return;
  const float o = PaintOverhang;
  const QRectF bounds = child->BoundsRect();
  if (!bounds.adjusted(-o, -o, o, o).intersects(canvas.VisibleRect)) return;
  QPainter* p = canvas.Painter();
  const QRectF visibleBefore = canvas.VisibleRect;
  p->save();
  p->translate(child->FPosition);
  QRectF visible = visibleBefore.translated(-child->FPosition);
  if (child->FClipChildren) {
    p->setClipRect(child->LocalRect(), Qt::IntersectClip);
    visible = visible.intersected(child->LocalRect());
  }
  canvas.VisibleRect = visible;
  try {
    child->Paint(canvas);
    child->PaintChildren(canvas);
    child->AfterPaint(canvas);
  } catch (...) {
    canvas.VisibleRect = visibleBefore;
    p->restore();
    throw;
  }
  canvas.VisibleRect = visibleBefore;
  p->restore();
}

// --- input ------------------------------------------------------------------

void TControl::MouseDown(TMouseButton, TShiftState, float, float) {}
void TControl::MouseMove(TShiftState, float, float) {}
void TControl::MouseUp(TMouseButton, TShiftState, float, float) {}
void TControl::MouseWheel(TShiftState, int, bool&) {}

void TControl::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::DoMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

TControl* TControl::ObjectAtPoint(const QPointF& local) {
  if (!FVisible) return nullptr;
  const bool inside = local.x() >= 0 && local.y() >= 0 && local.x() < FWidth && local.y() < FHeight;
  if (!inside) return nullptr;
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    TControl* child = *it;
    if (TControl* hit = child->ObjectAtPoint(local - child->FPosition)) return hit;
  }
  return FHitTest ? this : nullptr;
}

}  // namespace dizad::toolkit

#include "controls/smartctrl.h"

#include "toolkit/errors.h"

#include <algorithm>
#include <cmath>

namespace dizad::controls {

int roundHalfEven(double value) {
  // nearbyint rounds with the current mode, which is to-nearest-even unless
  // someone changed it; do not rely on that.
  const double floorValue = std::floor(value);
  const double diff = value - floorValue;
  double r;
  if (diff > 0.5)
    r = floorValue + 1;
  else if (diff < 0.5)
    r = floorValue;
  else
    r = std::fmod(floorValue, 2.0) == 0 ? floorValue : floorValue + 1;
  return int(r);
}

// --- TControlList ---------------------------------------------------------------

TControlList::TControlList() = default;

TControlList::~TControlList() {
  Clear();
}

void TControlList::AddControl(TSmartCtrl* control) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  control->SetOwnedByParent(false);
  FItems.push_back(control);
  FCount.store(int(FItems.size()), std::memory_order_release);
}

TSmartCtrl* TControlList::GetControl(int IDX) const {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (IDX < 0 || IDX >= int(FItems.size()))
    throw toolkit::EListError(QStringLiteral("List index out of bounds (%1)").arg(IDX));
  return FItems[size_t(IDX)];
}

void TControlList::Clear() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  std::vector<TSmartCtrl*> items;
  items.swap(FItems);
  FCount.store(0, std::memory_order_release);
  for (TSmartCtrl* c : items) delete c;
}

void TControlList::Delete(int Index) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (Index < 0 || Index >= int(FItems.size()))
    throw toolkit::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
  TSmartCtrl* c = FItems[size_t(Index)];
  FItems.erase(FItems.begin() + Index);
  FCount.store(int(FItems.size()), std::memory_order_release);
  delete c;
}

bool TControlList::FindControl(const QString& ControlID, TSmartCtrl*& Control) const {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  for (TSmartCtrl* c : FItems) {
    if (c->scID == ControlID) {
      Control = c;
      return true;
    }
  }
  return false;
}

int TControlList::IndexOf(const TSmartCtrl* control) const {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  auto it = std::find(FItems.begin(), FItems.end(), control);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

// --- TSmartCtrl --------------------------------------------------------------------

TSmartCtrl::TSmartCtrl() = default;

TSmartCtrl::~TSmartCtrl() {
  scLists.clear();
}

void TSmartCtrl::DoMouseEnter() {
  TControl::DoMouseEnter();
  MouseEnter(this);
}

void TSmartCtrl::DoMouseLeave() {
  TControl::DoMouseLeave();
  MouseLeave(this);
}

void TSmartCtrl::MouseEnter(TControl*) {
  scState = scHot;
  Repaint();
}

void TSmartCtrl::MouseLeave(TControl*) {
  scState = scNormal;
  Repaint();
}

void TSmartCtrl::MouseDouble(TMouseButton, TShiftState, float, float) {}

QPoint TSmartCtrl::MeasureControl(int, int) {
  return QPoint(roundHalfEven(Width()), roundHalfEven(Height()));
}

QPoint TSmartCtrl::MeasureControl(int DesWidth, int DesHeight, int MaxWidth, int MaxHeight) {
  const QPoint p = MeasureControl(DesWidth, DesHeight);
  return QPoint(std::min(p.x(), MaxWidth), std::min(p.y(), MaxHeight));
}

void TSmartCtrl::ThreadedProc() {}

void TSmartCtrl::Repaint() {
  if (scRepainting) return;
  scRepainting = true;
  try {
    InvalidateRect(QRectF(0, 0, Width(), Height()));
  } catch (...) {
    scRepainting = false;
    throw;
  }
  scRepainting = false;
}

void TSmartCtrl::MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TControl::MouseDown(Button, Shift, X, Y);
  if (Shift & toolkit::ssDouble) MouseDouble(Button, Shift, X, Y);
  Repaint();
}

void TSmartCtrl::MouseMove(TShiftState Shift, float X, float Y) {
  TControl::MouseMove(Shift, X, Y);
  TSmartCtrl* found = nullptr;
  ControlNotify(found, X, Y);
  scActiveTry = found;
  TSmartCtrl* active = scActive.get();
  if (found == active) return;
  if (active && active->HitTest()) Item_Leave(active, X, Y);
  if (found && found->HitTest()) Item_Enter(found, X, Y);
  scActive = found;
}

void TSmartCtrl::MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TControl::MouseUp(Button, Shift, X, Y);
  Repaint();
}

void TSmartCtrl::SetVisible(bool Value) {
  TControl::SetVisible(Value);
}

void TSmartCtrl::SetWidth(float Value) {
  if (Value != Width()) TControl::SetWidth(Value);
}

void TSmartCtrl::SetHeight(float Value) {
  if (Value != Height()) TControl::SetHeight(Value);
}

bool TSmartCtrl::PointInControl(const TControl* CTRL, float X, float Y) {
  const QPointF p = CTRL->Position();
  return p.x() <= X && X <= p.x() + CTRL->Width() && p.y() <= Y && Y <= p.y() + CTRL->Height();
}

bool TSmartCtrl::ControlNotify(TSmartCtrl*& SmartCtrl, float X, float Y) {
  SmartCtrl = nullptr;
  if (!scNotifyChildren) return false;
  for (TControl* child : Children()) {
    // Plain toolkit controls (column texts, edit fields) are never hovered.
    auto* smart = dynamic_cast<TSmartCtrl*>(child);
    if (!smart || !PointInControl(smart, X, Y)) continue;
    const QPointF pos = smart->Position();
    if (smart->ControlNotify(SmartCtrl, X - float(pos.x()), Y - float(pos.y()))) return true;
    SmartCtrl = smart;
    return true;
  }
  SmartCtrl = nullptr;
  return false;
}

void TSmartCtrl::Item_Enter(TSmartCtrl* SmartCtrl, float, float) {
  if (SmartCtrl) SmartCtrl->MouseEnter(this);
}

void TSmartCtrl::Item_Leave(TSmartCtrl* SmartCtrl, float, float) {
  if (SmartCtrl) SmartCtrl->MouseLeave(this);
}

void TSmartCtrl::On_Enter(TSmartCtrl*, float, float) {
  Repaint();
}

void TSmartCtrl::On_Leave(TSmartCtrl*, float, float) {
  Repaint();
}

void TSmartCtrl::ChildRemoved(TControl* child) {
  TControl::ChildRemoved(child);
  // Forget a hovered child that leaves us, without telling it.
  auto forgets = [child](TSmartCtrl* held) {
    return held && (held == child || child->IsAncestorOf(held));
  };
  if (forgets(scActive.get())) scActive = nullptr;
  if (forgets(scActiveTry.get())) scActiveTry = nullptr;
}

TControlList* TSmartCtrl::ListAdd(const QString& ListID) {
  for (auto& l : scLists)
    if (l->clID == ListID) return l.get();
  scLists.push_back(std::make_unique<TControlList>());
  scLists.back()->clID = ListID;
  return scLists.back().get();
}

bool TSmartCtrl::ListRemove(const QString& ListID) {
  for (auto it = scLists.begin(); it != scLists.end(); ++it) {
    if ((*it)->clID == ListID) {
      scLists.erase(it);
      return true;
    }
  }
  return false;
}

TSmartCtrl* TSmartCtrl::ControlAdd(TSmartCtrl* Control, const QString& ListID) {
  ListAdd(ListID)->AddControl(Control);
  return Control;
}

bool TSmartCtrl::ControlFind(TSmartCtrl* Control, TControlList*& List) const {
  for (const auto& l : scLists) {
    if (l->IndexOf(Control) >= 0) {
      List = l.get();
      return true;
    }
  }
  return false;
}

}  // namespace dizad::controls

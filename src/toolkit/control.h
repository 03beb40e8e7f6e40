#pragma once
// TControl: the light-weight control tree every visible part of Dizad is made
// of. Controls are plain objects, not native windows, so thousands of items
// with their column texts stay cheap. One THostForm (a QWidget) paints a tree
// and turns Qt input into the tree's pointer events.
//
// Tree rules: children are ordered, the last one on top. A parent frees the
// children it owns when it is destroyed; a child owned by a list elsewhere
// (OwnedByParent() false) is only detached. Destroying a control takes it out
// of its parent. GUI thread only.
//
// Field prefix: F (the toolkit's own private state).

#include "toolkit/canvas.h"

#include <QPointF>
#include <QRectF>
#include <functional>
#include <memory>
#include <vector>

namespace dizad::toolkit {

class THostForm;

enum class TMouseButton { Left, Right, Middle };

// Shift state of a pointer event: keyboard modifiers, held buttons and the
// double-click flag.
enum TShiftFlag : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum class TAlign { None, Top, Bottom, Client };

class TControl {
 public:
  TControl();
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // --- tree -------------------------------------------------------------
  TControl* Parent() const { return FParent; }
  // Appends the control as the parent's topmost child; nullptr detaches it.
  void SetParent(TControl* parent);
  const std::vector<TControl*>& Children() const { return FChildren; }
  int ChildCount() const { return int(FChildren.size()); }
  TControl* Child(int index) const { return FChildren.at(size_t(index)); }
  int IndexOfChild(const TControl* child) const;
  bool IsAncestorOf(const TControl* other) const;
  void BringToFront();
  void SendToBack();
  // False when a list elsewhere owns the control: the parent then only
  // detaches it instead of freeing it.
  bool OwnedByParent() const { return FOwnedByParent; }
  void SetOwnedByParent(bool value) { FOwnedByParent = value; }
  // The host window of the tree, or nullptr while the control is not attached.
  THostForm* Host() const;

  // --- geometry (floats, in the parent's frame) --------------------------
  QPointF Position() const { return FPosition; }
  void SetPosition(const QPointF& position);
  void SetPosition(float x, float y) { SetPosition(QPointF(x, y)); }
  float Width() const { return FWidth; }
  float Height() const { return FHeight; }
  virtual void SetWidth(float value);
  virtual void SetHeight(float value);
  void SetSize(float width, float height);
  void SetBounds(float x, float y, float width, float height);
  QRectF LocalRect() const { return QRectF(0, 0, FWidth, FHeight); }
  QRectF BoundsRect() const { return QRectF(FPosition, QSizeF(FWidth, FHeight)); }
  QPointF LocalToAbsolute(const QPointF& point) const;
  QPointF AbsoluteToLocal(const QPointF& point) const;
  QRectF LocalToAbsolute(const QRectF& rect) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);

  // --- flags -------------------------------------------------------------
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool value);
  // Visible itself and every ancestor visible.
  bool IsShowing() const;
  bool HitTest() const { return FHitTest; }
  void SetHitTest(bool value) { FHitTest = value; }
  bool ClipChildren() const { return FClipChildren; }
  void SetClipChildren(bool value);
  // A press captures the pointer until the release, so moves and the
  // release go to the pressed control wherever the pointer is.
  bool AutoCapture() const { return FAutoCapture; }
  void SetAutoCapture(bool value) { FAutoCapture = value; }
  // True between the toolkit's enter and leave of this control.
  bool IsMouseOver() const { return FIsMouseOver; }

  // --- painting ------------------------------------------------------------
  virtual void InvalidateRect(const QRectF& localRect);
  void Invalidate() { InvalidateRect(LocalRect()); }
  // Paint runs before the children, AfterPaint after them; both draw in the
  // control's local frame. PaintChildren paints every visible child through
  // PaintChild; a holder may override it (to cross-fade, for example).
  virtual void Paint(TCanvas& canvas);
  virtual void PaintChildren(TCanvas& canvas);
  virtual void AfterPaint(TCanvas& canvas);
  // Paints one child (translated, clipped, culled against the canvas's
  // visible rectangle). Children may draw up to PaintOverhang outside their
  // bounds and still be painted.
  void PaintChild(TCanvas& canvas, TControl* child);
  static constexpr float PaintOverhang = 32.0f;

  // --- input (coordinates in this control's frame) ---------------------------
  virtual void MouseDown(TMouseButton button, TShiftState shift, float x, float y);
  virtual void MouseMove(TShiftState shift, float x, float y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, float x, float y);
  // Wheel events bubble from the control under the pointer to its parents
  // until one sets handled.
  virtual void MouseWheel(TShiftState shift, int delta, bool& handled);
  // The toolkit's own pointer enter/leave of this control; by default they
  // call OnMouseEnter / OnMouseLeave.
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  std::function<void(TControl* sender)> OnMouseEnter;
  std::function<void(TControl* sender)> OnMouseLeave;

  // The topmost visible, hit-testable control at a point of this control's
  // frame: a descendant, this control itself, or nullptr.
  TControl* ObjectAtPoint(const QPointF& local);

  // Serial number in creation order (alignment is applied in this order).
  quint64 CreationIndex() const { return FCreationIndex; }

  // A handle that reads nullptr once the control is freed (see TControlRef).
  std::shared_ptr<TControl*> WeakHandle();

 protected:
  // Called after the size changed (children are realigned first).
  virtual void Resize();
  // A child left this control (removed, moved elsewhere or being freed).
  virtual void ChildRemoved(TControl* child);
  // Re-applies the alignment of the children.
  void Realign();

 private:
  friend class THostForm;
  void DetachFromParent();
  void GeometryChanged(const QRectF& oldBounds, bool sizeChanged);
  void NotifyParentAlign();

  TControl* FParent = nullptr;
  std::vector<TControl*> FChildren;
  QPointF FPosition;
  float FWidth = 0;
  float FHeight = 0;
  TAlign FAlign = TAlign::None;
  bool FVisible = true;
  bool FHitTest = true;
  bool FClipChildren = false;
  bool FAutoCapture = true;
  bool FIsMouseOver = false;
  bool FOwnedByParent = true;
  bool FRealigning = false;
  bool FDestroying = false;
  quint64 FCreationIndex;
  THostForm* FHost = nullptr;              // set on the root control of a host only
  std::shared_ptr<TControl*> FWeakHandle;  // cleared to nullptr by the destructor
};

// A reference to a control that does not keep it alive and reads nullptr once
// the control has been freed. GUI thread only.
template <typename T>
class TControlRef {
 public:
  TControlRef() = default;
  TControlRef(T* control) { Assign(control); }  // NOLINT: implicit on purpose
  TControlRef& operator=(T* control) {
    Assign(control);
    return *this;
  }
  T* get() const { return FHandle && *FHandle ? static_cast<T*>(*FHandle) : nullptr; }
  T* operator->() const { return get(); }
  operator T*() const { return get(); }  // NOLINT

 private:
  void Assign(T* control) {
    if (control)
      FHandle = static_cast<TControl*>(control)->WeakHandle();
    else
      FHandle.reset();
  }
  std::shared_ptr<TControl*> FHandle;
};

}  // namespace dizad::toolkit

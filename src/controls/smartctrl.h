#pragma once
// TSmartCtrl: the base of every control Dizad draws itself. It adds to the
// toolkit's control a two-state hover flag, a repaint request that cannot
// re-enter itself, a double-click hook, and hover tracking of children: a
// control that receives pointer moves finds the child under the pointer and
// tells it when the pointer enters and leaves it.
//
// TControlList: an owning list of controls, each operation serialised by the
// list's own lock, for item, holder and group lists that workers also read.
//
// Field prefixes: sc (smart control), cl (control list). GUI thread only,
// except TControlList which any thread may use one operation at a time.

#include "toolkit/control.h"

#include <QPoint>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace dizad::controls {

using toolkit::TAlign;
using toolkit::TCanvas;
using toolkit::TControl;
using toolkit::TMouseButton;
using toolkit::TShiftState;

enum TSmartControlState : unsigned char { scNormal = 0, scHot = 1 };

class TSmartCtrl;

class TControlList {
 public:
  TControlList();
  ~TControlList();
  TControlList(const TControlList&) = delete;
  TControlList& operator=(const TControlList&) = delete;

  // Appends the control; the list owns it from now on (its parent only
  // detaches it when the parent goes).
  void AddControl(TSmartCtrl* control);
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TSmartCtrl* GetControl(int IDX) const;
  void Clear();
  void Delete(int Index);
  // Read without the lock: a sequence of calls is not atomic as a whole.
  int Count() const { return FCount.load(std::memory_order_acquire); }
  // The first control whose scID equals ControlID.
  bool FindControl(const QString& ControlID, TSmartCtrl*& Control) const;
  int IndexOf(const TSmartCtrl* control) const;

  QString clID;

 private:
  mutable std::recursive_mutex FLock;
  std::vector<TSmartCtrl*> FItems;  // guarded by FLock
  std::atomic<int> FCount{0};       // written under FLock, read by anyone
};

class TSmartCtrl : public TControl {
 public:
  TSmartCtrl();
  ~TSmartCtrl() override;

  virtual void MouseEnter(TControl* Sender);
  virtual void MouseLeave(TControl* Sender);
  virtual void MouseDouble(TMouseButton Button, TShiftState Shift, float X, float Y);
  // The control's size rounded to whole units (halves to even); the desired
  // sizes are not used by the base.
  virtual QPoint MeasureControl(int DesWidth, int DesHeight);
  // The first form, capped at the maximum sizes.
  virtual QPoint MeasureControl(int DesWidth, int DesHeight, int MaxWidth, int MaxHeight);
  virtual void ThreadedProc();
  // Asks for the whole control to be drawn again; a request made while one
  // is being made is ignored.
  virtual void Repaint();

  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void MouseMove(TShiftState Shift, float X, float Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void SetVisible(bool Value) override;
  // Change the size only when the value differs, so equal values raise no resize.
  void SetWidth(float Value) override;
  void SetHeight(float Value) override;

  // Point in CTRL's parent's frame; both edges inclusive.
  static bool PointInControl(const TControl* CTRL, float X, float Y);
  bool PointInControl(float X, float Y) const { return PointInControl(this, X, Y); }
  // Finds the deepest smart child under (X, Y), given in this control's frame.
  bool ControlNotify(TSmartCtrl*& SmartCtrl, float X, float Y);
  void Item_Enter(TSmartCtrl* SmartCtrl, float X, float Y);
  void Item_Leave(TSmartCtrl* SmartCtrl, float X, float Y);
  virtual void On_Enter(TSmartCtrl* LeavingControl, float X, float Y);
  virtual void On_Leave(TSmartCtrl* EnteringControl, float X, float Y);

  // Named child lists kept in scLists.
  TControlList* ListAdd(const QString& ListID);
  bool ListRemove(const QString& ListID);
  TSmartCtrl* ControlAdd(TSmartCtrl* Control, const QString& ListID);
  bool ControlFind(TSmartCtrl* Control, TControlList*& List) const;

  TSmartCtrl* ActiveChild() const { return scActive.get(); }

  QString scID;
  std::vector<std::unique_ptr<TControlList>> scLists;
  TSmartControlState scState = scNormal;
  // Weak: read nullptr once the child is freed; cleared when it is removed.
  toolkit::TControlRef<TSmartCtrl> scActive;
  toolkit::TControlRef<TSmartCtrl> scActiveTry;
  bool scNotifyChildren = true;
  bool scRepainting = false;

 protected:
  void DoMouseEnter() override;
  void DoMouseLeave() override;
  void ChildRemoved(TControl* child) override;
};

// Round to the nearest integer, halves to the even neighbour.
int roundHalfEven(double value);

}  // namespace dizad::controls

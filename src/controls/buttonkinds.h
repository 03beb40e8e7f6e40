#pragma once
// The fixed button kinds of the chrome: back, forward, group collapse, cloud
// service, favourites, menu, search and menu-back. Each sets its own size,
// places its icon after the base arrangement, draws its own picture from the
// skin group "Buttons" after the base painting, and replaces the base press
// (so a press neither shows the button pressed nor calls sbOnButonClick).
// GUI thread only.
//
// Field prefixes: b (group collapse), bm (menu-back).

#include "controls/smartbutton.h"

namespace dizad::menus {
class TSmartMenu;
}  // namespace dizad::menus

namespace dizad::controls {

// What the collapse button needs of its group: the group's collapsed flag,
// written through its setter (which hides or shows the items and re-arranges
// the folder).
class TCollapsibleGroup {
 public:
  virtual bool Collapsed() const = 0;
  virtual void SetCollapsed(bool Value) = 0;

 protected:
  ~TCollapsibleGroup() = default;
};

class TButtonBack : public TSmartButton {
 public:
  TButtonBack();
  // Icon at (5, 5, 24, 24) and the caption to its right in white; the width
  // follows the caption.
  void Arrange() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  // The caption's laid-out width + 44; DesHeight.
  QPoint MeasureControl(int DesWidth, int DesHeight) override;
  using TSmartButton::MeasureControl;
};

class TButtonForward : public TSmartButton {
 public:
  TButtonForward();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
};

class TButtonGroupCollapse : public TSmartButton {
 public:
  TButtonGroupCollapse();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;

  // The group the button belongs to; not owned (the group owns the button).
  TCollapsibleGroup* bGroupData = nullptr;
};

class TButtonGoogleDrive : public TSmartButton {
 public:
  TButtonGoogleDrive();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
};

class TButtonFavorites : public TSmartButton {
 public:
  TButtonFavorites();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
};

class TButtonMenu : public TSmartButton {
 public:
  TButtonMenu();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
};

class TButtonSearch : public TSmartButton {
 public:
  TButtonSearch();
  void Arrange() override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
};

class TButtonMenuBack : public TSmartButton {
 public:
  TButtonMenuBack();
  void Arrange() override;
  // Does not run the base painting: a lighter background while hot, then
  // the back arrow.
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;

  // The menu the button belongs to; not owned (the menu owns the button).
  menus::TSmartMenu* bmMenu = nullptr;
};

}  // namespace dizad::controls

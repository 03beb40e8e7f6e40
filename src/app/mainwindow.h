#pragma once
// TZR_Main: Dizad's one top-level window. Borderless, 1185 x 654, centred, with
// a rounded 6 x 6 window region rebuilt on every show and resize. Its creation
// builds the visible system in a fixed order (skin, explorer, tab bar, path
// bar, first tab) and publishes the process-wide references; destroying it
// frees the controls first and the skin last. GUI thread only.
//
// Field prefix: zr.

#include "toolkit/host.h"
#include "toolkit/memo.h"

#include <QRegion>

namespace dizad::app {

class TZR_Main : public toolkit::THostForm {
 public:
  TZR_Main();
  ~TZR_Main() override;

  static constexpr int ClientWidth = 1185;
  static constexpr int ClientHeight = 654;
  static QString Caption();

  // True while the user drags the window by the tab bar.
  bool zrFormDragging = false;
  // The rounded region last given to the window.
  QRegion MyRgn;
  // The in-memory log other parts trace to.
  toolkit::TMemo* Memo1;
  // Diagnostic panel: bottom-aligned, never shown.
  toolkit::TControl* Panel1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  void ApplyShape();
};

}  // namespace dizad::app

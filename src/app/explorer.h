#pragma once
// TExplorer: the area between the tab bar and the path bar that shows the
// active tab's folder. For now it paints the folder-area background and keeps
// the list of tab paths it was asked to open; the holders, registries and
// overlays move in as they are built. GUI thread only.

#include "controls/smartctrl.h"

#include <QStringList>

namespace dizad::app {

class TExplorer : public controls::TSmartCtrl {
 public:
  TExplorer();
  ~TExplorer() override;

  // Background of the folder area.
  static constexpr quint32 Brush = 0xFFC5C5C3;

  // Opens a tab on Path (and shows it when Activate is set).
  void TabAdd(const QString& Path, bool Activate);
  QStringList TabPaths() const { return FTabPaths; }
  int ActiveTab() const { return FActiveTab; }

  void Paint(controls::TCanvas& canvas) override;

 private:
  QStringList FTabPaths;
  int FActiveTab = -1;
};

}  // namespace dizad::app

#include "app/explorer.h"

namespace dizad::app {

TExplorer::TExplorer() = default;

TExplorer::~TExplorer() = default;

void TExplorer::TabAdd(const QString& Path, bool Activate) {
  FTabPaths.append(Path);
  if (Activate) FActiveTab = int(FTabPaths.size()) - 1;
  Repaint();
}

void TExplorer::Paint(controls::TCanvas& canvas) {
  canvas.FillRect(canvas.VisibleRect.intersected(LocalRect()), Brush);
}

}  // namespace dizad::app

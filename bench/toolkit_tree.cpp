// Benchmark of the control tree at the size of a big folder: 100,000 item
// controls with 8 text children each, inside groups of 1,000, laid out as
// tiles in a 1185 x 654 viewport. Prints build time, memory per item, the
// time of one hit test and of one paint of the viewport.

#include "controls/smartctrl.h"
#include "toolkit/application.h"
#include "toolkit/host.h"
#include "toolkit/textlayout.h"

#include <malloc.h>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace dizad;

namespace {

constexpr int ItemCount = 100000;
constexpr int GroupSize = 1000;
constexpr int TextsPerItem = 8;
constexpr float ItemW = 270, ItemH = 64, Spacing = 15;
constexpr int Columns = 4;

class TBenchItem : public controls::TSmartCtrl {
 public:
  void Paint(toolkit::TCanvas& canvas) override {
    canvas.FillRect(LocalRect(), scState == controls::scHot ? 0xFFFFFFFF : 0xFFEDEDED);
  }
};

size_t heapInUse() {
  const struct mallinfo2 mi = mallinfo2();
  return mi.uordblks + mi.hblkhd;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  toolkit::TApplication app(argc, argv);
  toolkit::THostForm host;
  host.SetClientSize(1185, 654);

  const QFont font(QStringLiteral("Segoe UI"), 9);
  const size_t heapBefore = heapInUse();
  QElapsedTimer timer;
  timer.start();

  auto* folder = new controls::TSmartCtrl;
  folder->SetParent(host.Root());
  const int groups = ItemCount / GroupSize;
  const int rowsPerGroup = (GroupSize + Columns - 1) / Columns;
  const float groupH = 40 + rowsPerGroup * (ItemH + Spacing);
  folder->SetBounds(0, 0, 1185, groups * groupH);
  for (int g = 0; g < groups; ++g) {
    auto* group = new controls::TSmartCtrl;
    group->SetBounds(0, g * groupH, 1185, groupH);
    group->SetParent(folder);
    for (int i = 0; i < GroupSize; ++i) {
      auto* item = new TBenchItem;
      item->SetBounds(Spacing + (i % Columns) * (ItemW + Spacing),
                      40 + (i / Columns) * (ItemH + Spacing), ItemW, ItemH);
      for (int t = 0; t < TextsPerItem; ++t) {
        auto* text = new toolkit::TTextControl;
        text->SetBounds(70, 4 + t * 7, 190, 14);
        text->SetFont(font);
        text->SetText(QStringLiteral("file %1 column %2").arg(g * GroupSize + i).arg(t));
        text->SetParent(item);
      }
      item->SetParent(group);
    }
  }
  const double buildMs = timer.nsecsElapsed() / 1e6;
  const size_t heapAfter = heapInUse();

  // Scroll to the middle of the folder.
  folder->SetPosition(0, -(groups / 2) * groupH - 300);

  std::vector<double> hits;
  int found = 0;
  for (int i = 0; i < 2000; ++i) {
    const QPointF p(40 + (i * 37) % 1100, 10 + (i * 53) % 630);
    timer.restart();
    if (host.Root()->ObjectAtPoint(p)) ++found;
    hits.push_back(timer.nsecsElapsed() / 1e3);
  }

  std::vector<double> paints;
  for (int i = 0; i < 15; ++i) {
    timer.restart();
    const QImage image = host.RenderToImage();
    paints.push_back(timer.nsecsElapsed() / 1e6);
  }

  std::printf("items:            %d (x %d text children, %d groups)\n", ItemCount, TextsPerItem,
              groups);
  std::printf("build:            %.0f ms\n", buildMs);
  std::printf("memory per item:  %.0f bytes (item + %d texts)\n",
              double(heapAfter - heapBefore) / ItemCount, TextsPerItem);
  std::printf("hit test:         %.1f us median (%d of 2000 hit)\n", median(hits), found);
  std::printf("paint viewport:   %.1f ms median (1185 x 654)\n", median(paints));

  timer.restart();
  delete folder;
  std::printf("free:             %.0f ms\n", timer.nsecsElapsed() / 1e6);
  return 0;
}

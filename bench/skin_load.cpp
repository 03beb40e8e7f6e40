// Start-up cost of the skin: loading the repository's default skin (every
// picture decoded) as the main window does on creation.
//
//   bench_skin_load [ROUNDS]      (run from the repository root; default 20)

#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/application.h"
#include "toolkit/memo.h"

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  dizad::toolkit::TApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
  dizad::core::setAppDir(QDir::currentPath());
  if (!dizad::core::PathExists(QStringLiteral("ThemeData.dez:\\"), 2)) {
    std::fprintf(stderr, "no Data/Theme/ThemeData.dez under %s\n", qPrintable(QDir::currentPath()));
    return 1;
  }

  std::vector<double> ms;
  size_t elements = 0, pictures = 0;
  for (int i = 0; i < rounds + 1; ++i) {
    QElapsedTimer timer;
    timer.start();
    const dizad::skin::TSmartSkin skin;
    const double took = double(timer.nsecsElapsed()) / 1e6;
    if (i == 0) {
      // The first round pays for loading the image plugins; report it apart.
      std::printf("first load (cold plugins): %.2f ms\n", took);
      for (const auto& g : skin.ssDataList)
        for (const auto& d : g->sgDataList) {
          ++elements;
          if (!d->sdImage.IsEmpty()) ++pictures;
        }
      continue;
    }
    ms.push_back(took);
  }
  std::sort(ms.begin(), ms.end());
  std::printf(
      "skin load: %zu elements, %zu pictures; %d rounds: min %.2f ms, median %.2f ms, max %.2f "
      "ms\n",
      elements, pictures, rounds, ms.front(), ms[ms.size() / 2], ms.back());
  const QStringList broken = dizad::toolkit::LogMemo().Lines();
  if (!broken.isEmpty()) std::printf("broken entries logged: %lld\n", qlonglong(broken.size()));
  return 0;
}

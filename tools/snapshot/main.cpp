// Renders Dizad's main window offscreen into a PNG, rounded corners included.
//
//   snapshot [OUT.png]        (default docs/screenshot.png)
//
// Run it from the repository root so that the program finds Data/.

#include "app/mainwindow.h"
#include "toolkit/application.h"

#include <QPainter>
#include <cstdio>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  dizad::toolkit::TApplication app(argc, argv);
  const QString out =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshot.png");

  dizad::app::TZR_Main window;
  window.show();
  // Let queued start-up work (first folder, icons) arrive before the picture.
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

  QImage image = window.RenderToImage();
  // Cut the window's region out, as the desktop shows it.
  QImage shaped(image.size(), QImage::Format_ARGB32_Premultiplied);
  shaped.fill(Qt::transparent);
  QPainter p(&shaped);
  p.setClipRegion(window.MyRgn);
  p.drawImage(0, 0, image);
  p.end();
  if (!shaped.save(out)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s\n", qPrintable(out));
  return 0;
}

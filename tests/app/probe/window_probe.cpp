// Takes a screenshot of the X display the main window runs on and checks the
// window's shape: its size, and that the corner pixels outside the rounding
// show what is behind the window. Used by the window test under Xvfb.
//
//   window_probe OUT.png X Y WIDTH HEIGHT
//
// Exit code 0 when the window looks right, 1 otherwise (the reason on stderr).

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 6) {
    std::fprintf(stderr, "usage: window_probe OUT.png X Y WIDTH HEIGHT\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QRect window(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) {
    std::fprintf(stderr, "no screen\n");
    return 1;
  }

  // The window may be mapped before its first paint: grab until its inside
  // differs from the desktop behind it, at most for ten seconds.
  int attempts = 0;
  QImage shot;
  QRgb background = 0;
  auto grab = [&]() -> bool {
    shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    background = shot.pixel(0, 0);  // the window is centred, so this is the desktop
    const QPoint inside = window.topLeft() + QPoint(10, 10);
    return shot.rect().contains(inside) && shot.pixel(inside) != background;
  };
  int result = 1;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    ++attempts;
    if (!grab() && attempts < 100) return;
    timer.stop();
    shot.save(out);
    QStringList problems;
    if (window.width() != 1185 || window.height() != 654)
      problems << QStringLiteral("window is %1 x %2, not 1185 x 654")
                      .arg(window.width())
                      .arg(window.height());
    const QPoint corners[] = {window.topLeft(), window.topRight(), window.bottomLeft(),
                              window.bottomRight()};
    for (const QPoint& c : corners) {
      if (!shot.rect().contains(c) || shot.pixel(c) != background)
        problems << QStringLiteral("corner (%1, %2) belongs to the window").arg(c.x()).arg(c.y());
    }
    const QPoint insides[] = {window.topLeft() + QPoint(3, 3), window.center(),
                              window.bottomRight() - QPoint(3, 3)};
    for (const QPoint& p : insides) {
      if (shot.pixel(p) == background)
        problems
            << QStringLiteral("(%1, %2) inside the window shows the desktop").arg(p.x()).arg(p.y());
    }
    for (const QString& p : problems) std::fprintf(stderr, "%s\n", qPrintable(p));
    result = problems.isEmpty() ? 0 : 1;
    app.quit();
  });
  timer.start(100);
  app.exec();
  return result;
}

#include "testregistry.h"

#include "app/explorer.h"
#include "app/globals.h"
#include "app/mainwindow.h"
#include "chrome/pathbar.h"
#include "chrome/tabbar.h"
#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad;

// The main window built offscreen: its creation order, layout and shape.
class TestMainWindow : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void createsTheVisibleSystemInOrder() {
    app::TZR_Main window;
    QCOMPARE(ZR_Main, &window);
    QVERIFY(MainReady);
    QVERIFY(!window.zrFormDragging);
    QVERIFY(Explorer && TabBar && PathBar);
    QCOMPARE(window.size(), QSize(1185, 654));
    QCOMPARE(window.windowTitle().left(8), QStringLiteral("Dizad - "));
    QVERIFY(window.windowTitle().size() > 8);
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);

    // Tab bar takes the top 67, path bar the bottom 39, the explorer the rest,
    // although the explorer was created first.
    QCOMPARE(TabBar->BoundsRect(), QRectF(0, 0, 1185, 67));
    QCOMPARE(PathBar->BoundsRect(), QRectF(0, 654 - 39, 1185, 39));
    QCOMPARE(Explorer->BoundsRect(), QRectF(0, 67, 1185, 654 - 67 - 39));
    // The diagnostic panel lies on top and is never shown.
    QCOMPARE(window.Root()->Children().back(), window.Panel1);
    QVERIFY(!window.Panel1->Visible());

    // The first tab always shows the drive overview.
    QCOMPARE(Explorer->TabPaths(), QStringList({QStringLiteral("QDrive:\\")}));
    QCOMPARE(Explorer->ActiveTab(), 0);
  }

  void appPathFollowsWorkingDirectoryAtCreation() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
      app::TZR_Main window;
      QCOMPARE(core::ExpandVirtualPath(QStringLiteral("AppPath:\\a.log")),
               QDir(dir.path()).canonicalPath() + QStringLiteral("/a.log"));
    }
    QDir::setCurrent(before);
  }

  void referencesClearedWhenWindowGoes() {
    { app::TZR_Main window; }
    QVERIFY(ZR_Main == nullptr);
    QVERIFY(Explorer == nullptr && TabBar == nullptr && PathBar == nullptr);
    QVERIFY(!MainReady);
  }

  void roundedRegionRebuiltOnResize() {
    app::TZR_Main window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto check = [&](int w, int h) {
      const QRegion r = window.MyRgn;
      QVERIFY(!r.contains(QPoint(0, 0)));
      QVERIFY(!r.contains(QPoint(w - 1, 0)));
      QVERIFY(!r.contains(QPoint(0, h - 1)));
      QVERIFY(!r.contains(QPoint(w - 1, h - 1)));
      QVERIFY(r.contains(QPoint(3, 3)));
      QVERIFY(r.contains(QPoint(w / 2, 0)));
      QVERIFY(r.contains(QPoint(0, h / 2)));
      QVERIFY(r.contains(QPoint(w - 4, h - 4)));
      QCOMPARE(r.boundingRect(), QRect(0, 0, w, h));
    };
    check(1185, 654);
    window.resize(800, 500);
    check(800, 500);
    QCOMPARE(PathBar->BoundsRect(), QRectF(0, 500 - 39, 800, 39));
  }

  // The bars are drawn from the skin: the window shows there exactly what the
  // skin draws for the bar's background (and, on the tab bar, the word mark).
  void barsAreDrawnFromTheSkin() {
    app::TZR_Main window;
    QVERIFY(SmartSkin->FindData(QStringLiteral("TabBar"), QStringLiteral("Logo.Top")));
    const QImage shown = window.RenderToImage();
    const int width = shown.width();
    auto expected = [&](const QString& group, const QString& back, bool logo, int height) {
      toolkit::TBitmap bitmap(width, height);
      bitmap.Clear(0);
      toolkit::TCanvas& canvas = bitmap.Canvas();
      canvas.BeginScene();
      SmartSkin->Draw(group, back, canvas, QRectF(0, 0, width, height));
      if (logo)
        SmartSkin->Draw(group, QStringLiteral("Logo.Top"), canvas,
                        QRectF(QPointF(5, 5), QPointF(177, 33)));
      canvas.EndScene();
      return bitmap.Image();
    };
    // The rounded corners are cut by the window's region; compare the rest.
    auto differs = [&](const QImage& want, int top) {
      int bad = 0;
      for (int y = 0; y < want.height(); ++y)
        for (int x = 8; x < width - 8; ++x) {
          const QRgb a = shown.pixel(x, top + y), b = want.pixel(x, y);
          if (qAbs(qRed(a) - qRed(b)) > 2 || qAbs(qGreen(a) - qGreen(b)) > 2 ||
              qAbs(qBlue(a) - qBlue(b)) > 2)
            ++bad;
        }
      return bad;
    };
    const QImage tabBar = expected(QStringLiteral("TabBar"), QStringLiteral("TabBar.Back"), true, 67);
    QCOMPARE(differs(tabBar, 0), 0);
    // The word mark is really there: it is not the plain bar.
    QVERIFY(differs(expected(QStringLiteral("TabBar"), QStringLiteral("TabBar.Back"), false, 67),
                    0) > 100);
    const int pathTop = shown.height() - 39;
    QCOMPARE(differs(expected(QStringLiteral("PathBar"), QStringLiteral("PathBar.Back"), false, 39),
                     pathTop),
             0);
  }

  void doubleClickOnTabBarTogglesMaximised() {
    app::TZR_Main window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TabBar->MouseDown(toolkit::TMouseButton::Left, toolkit::ssLeft | toolkit::ssDouble, 300, 20);
    QTRY_VERIFY(window.IsMaximized());
    TabBar->MouseDown(toolkit::TMouseButton::Left, toolkit::ssLeft | toolkit::ssDouble, 300, 20);
    QTRY_VERIFY(!window.IsMaximized());
  }

  void dragFlagFollowsPressReleaseAndLeave() {
    app::TZR_Main window;
    TabBar->MouseDown(toolkit::TMouseButton::Left, toolkit::ssLeft, 300, 20);
    QVERIFY(window.zrFormDragging);
    TabBar->MouseUp(toolkit::TMouseButton::Left, 0, 300, 20);
    QVERIFY(!window.zrFormDragging);
    TabBar->MouseDown(toolkit::TMouseButton::Left, toolkit::ssLeft, 300, 20);
    TabBar->MouseLeave(TabBar);
    QVERIFY(!window.zrFormDragging);
    // A move without the button held (the release went to the window
    // manager during a system drag) does not start another drag.
    TabBar->MouseDown(toolkit::TMouseButton::Left, toolkit::ssLeft, 300, 20);
    TabBar->MouseMove(0, 310, 20);
    QVERIFY(!window.zrFormDragging);
  }
};

DIZAD_TEST(TestMainWindow)
#include "tst_mainwindow.moc"

#include "testregistry.h"

#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"
#include "toolkit/editfield.h"
#include "toolkit/host.h"

#include <QFontInfo>
#include <QIcon>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::toolkit;

// Bitmaps, canvases and the platform set-up the rest of the program relies on.
class TestBitmapCanvas : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

 private Q_SLOTS:
  void decodesEveryFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("png") << QStringLiteral("png");
    QTest::newRow("jpeg") << QStringLiteral("jpg");
    QTest::newRow("bmp") << QStringLiteral("bmp");
  }
  void decodesEveryFormat() {
    QFETCH(QString, format);
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 10));
    const QString file = FDir.filePath(QStringLiteral("pic.") + format);
    QVERIFY(image.save(file));
    TBitmap bitmap;
    QVERIFY(bitmap.LoadFromFile(file));
    QCOMPARE(bitmap.Width(), 7);
    QCOMPARE(bitmap.Height(), 5);
    const QColor c = QColor::fromRgba(bitmap.Map().GetPixel(3, 2));
    QVERIFY(qAbs(c.red() - 200) < 8 && qAbs(c.green() - 40) < 8 && c.alpha() == 255);
  }

  void decodesSvgAtItsNaturalSize() {
    const QString file = FDir.filePath(QStringLiteral("icon.svg"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='16'>"
        "<rect width='24' height='16' fill='#ff0000'/></svg>");
    f.close();
    TBitmap bitmap;
    QString error;
    QVERIFY2(bitmap.LoadFromFile(file, &error), qPrintable(error));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(24, 16));
    QCOMPARE(bitmap.Map().GetPixel(12, 8), 0xFFFF0000u);
  }

  void rejectedPictureLeavesBitmapUnchanged() {
    const QString file = FDir.filePath(QStringLiteral("broken.png"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x89PNG\r\n\x1a\n this is not a picture");
    f.close();
    TBitmap bitmap(3, 3);
    QString error;
    QVERIFY(!bitmap.LoadFromFile(file, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(bitmap.Width(), 3);
    QVERIFY(!bitmap.LoadFromFile(FDir.filePath(QStringLiteral("missing.png"))));
  }

  void mappedPixelsAreStraightArgb() {
    TBitmap bitmap(2, 1);
    TBitmapData data = bitmap.Map();
    data.SetPixel(0, 0, 0x80FF0000);  // half-transparent red, not premultiplied
    QCOMPARE(bitmap.Map().GetPixel(0, 0), 0x80FF0000u);
    QCOMPARE(bitmap.Image().pixel(0, 0), 0x80FF0000u);
  }

  void bitmapCanvasDrawsAndDropsDegenerateRects() {
    TBitmap source(4, 4);
    source.Clear(0xFF00FF00);
    TBitmap target(10, 10);
    TCanvas& canvas = target.Canvas();
    QVERIFY(canvas.BeginScene());
    canvas.DrawBitmap(source, QRectF(0, 0, 4, 4), QRectF(2, 2, 4, 4), 1.0f);
    canvas.DrawBitmap(source, QRectF(0, 0, 4, 4), QRectF(8, 8, -4, 2), 1.0f);  // negative: nothing
    canvas.FillRect(QRectF(0, 0, 1, 1), 0xFF0000FF);
    canvas.EndScene();
    QCOMPARE(target.Map().GetPixel(3, 3), 0xFF00FF00u);
    QCOMPARE(target.Map().GetPixel(6, 8), 0u);
    QCOMPARE(target.Map().GetPixel(0, 0), 0xFF0000FFu);
    // Resizing ends the scene and gives a clean bitmap.
    target.SetSize(5, 5);
    QCOMPARE(target.Map().GetPixel(3, 3), 0u);
  }

  void segoeUiIsSubstituted() {
    const QFontInfo info(QFont(QStringLiteral("Segoe UI"), 12));
    QVERIFY2(info.family().startsWith(QStringLiteral("Noto Sans")) ||
                 info.family().startsWith(QStringLiteral("DejaVu Sans")),
             qPrintable(info.family()));
  }

  void iconThemeResolvesCommonNames() {
    QVERIFY(!QIcon::themeName().isEmpty());
    for (const char* name : {"folder", "text-x-generic", "drive-harddisk"})
      QVERIFY2(!QIcon::fromTheme(QString::fromLatin1(name)).isNull(), name);
  }

  void editFieldFollowsItsControl() {
    THostForm host;
    host.SetClientSize(300, 200);
    host.show();
    auto* panel = new TControl;
    panel->SetBounds(10, 20, 200, 100);
    panel->SetParent(host.Root());
    auto* edit = new TEditField;
    edit->SetBounds(5, 6, 100, 22);
    edit->SetParent(panel);
    edit->SetText(QStringLiteral("abc"));
    edit->SyncWidget();
    QLineEdit* line = edit->LineEdit();
    QCOMPARE(line->parentWidget(), &host);
    QCOMPARE(line->geometry(), QRect(15, 26, 100, 22));
    QVERIFY(line->isVisible());
    panel->SetPosition(30, 40);
    edit->SyncWidget();
    QCOMPARE(line->geometry().topLeft(), QPoint(35, 46));
    panel->SetVisible(false);
    edit->SyncWidget();
    QVERIFY(!line->isVisible());
    QCOMPARE(edit->Text(), QStringLiteral("abc"));
  }
};

DIZAD_TEST(TestBitmapCanvas)
#include "tst_bitmap.moc"

#include "testregistry.h"

#include "shell/computerfolder.h"
#include "shell/filename.h"
#include "shell/thumbnail.h"
#include "shellenv.h"
#include "toolkit/sync.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace dizad::shell;
using dizad::test::shellEnv;
using dizad::toolkit::TBitmap;
using dizad::toolkit::TThread;

namespace {

// A picture whose left half is red and right half blue, so orientation and
// colour survive scaling in a checkable way.
QImage twoColour(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, x < w / 2 ? qRgb(220, 0, 0) : qRgb(0, 0, 220));
  return image;
}

QImage themeIcon(const QString& name, int size) {
  return QIcon::fromTheme(name)
      .pixmap(QSize(size, size), 1.0)
      .toImage()
      .convertToFormat(QImage::Format_ARGB32);
}

bool hasVisiblePixels(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

}  // namespace

// Thumbnails and icons delivered into toolkit bitmaps.
class TestThumbnail : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString path(const QString& name) const { return FDir.path() + QLatin1Char('/') + name; }
  QString writeJpeg(const QString& name, int w, int h) {
    const QString p = path(name);
    twoColour(w, h).save(p, "JPEG", 95);
    return p;
  }
  QString writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
  }

 private Q_SLOTS:
  void thumbnailFitsTheBox_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("landscape") << QSize(4000, 3000) << QSize(270, 201) << QSize(268, 201);
    QTest::newRow("portrait") << QSize(1200, 3600) << QSize(270, 201) << QSize(67, 201);
    QTest::newRow("wide") << QSize(3000, 300) << QSize(270, 201) << QSize(270, 27);
    QTest::newRow("small, never enlarged") << QSize(100, 50) << QSize(270, 201) << QSize(100, 50);
    QTest::newRow("exact") << QSize(270, 201) << QSize(270, 201) << QSize(270, 201);
  }
  void thumbnailFitsTheBox() {
    QFETCH(QSize, picture);
    QFETCH(QSize, box);
    QFETCH(QSize, expected);
    const QString file = writeJpeg(QStringLiteral("pic.jpg"), picture.width(), picture.height());
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(file, bitmap, false, box.width(), box.height()));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), expected);
    QCOMPARE(bitmap.Image().format(), QImage::Format_ARGB32);
    // Upright and in colour: red on the left, blue on the right, no reversed rows.
    const QRgb left = bitmap.Image().pixel(expected.width() / 8, expected.height() / 2);
    const QRgb right = bitmap.Image().pixel(expected.width() * 7 / 8, expected.height() / 2);
    QVERIFY(qRed(left) > 150 && qBlue(left) < 80);
    QVERIFY(qBlue(right) > 150 && qRed(right) < 80);
  }

  // A text file has no thumbnail; the target keeps what it had.
  void noThumbnailLeavesTargetUntouched_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << "notes.txt" << QByteArray("just some words\n");
    QTest::newRow("corrupt jpeg") << "broken.jpg" << QByteArray("\xff\xd8\xff\xe0 not a jpeg");
    QTest::newRow("empty") << "empty.png" << QByteArray();
  }
  void noThumbnailLeavesTargetUntouched() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString file = writeFile(name, bytes);
    TBitmap bitmap(7, 5);
    bitmap.Clear(0xFF123456);
    QVERIFY(!ExtractThumbnail(file, bitmap, false, 270, 201));
    QCOMPARE(bitmap.Width(), 7);
    QCOMPARE(bitmap.Height(), 5);
    QCOMPARE(bitmap.Image().pixel(3, 2), 0xFF123456u);
    QVERIFY(!ExtractThumbnail(path(QStringLiteral("missing.jpg")), bitmap, false, 270, 201));
    QVERIFY(!ExtractThumbnail(file, bitmap, false, 0, 201));
    QCOMPARE(bitmap.Image().pixel(3, 2), 0xFF123456u);
  }

  // "As icon", a file gives its type's themed icon at exactly the size asked.
  void textFileAsIconGivesTypeIcon_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 24, 32, 256}) QTest::addRow("%d", size) << size;
  }
  void textFileAsIconGivesTypeIcon() {
    QFETCH(int, size);
    const QString file = writeFile(QStringLiteral("notes.txt"), "words");
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(file, bitmap, true, size, size));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(size, size));
    QVERIFY(hasVisiblePixels(bitmap.Image()));
    // text/plain names "text-plain" first, which the theme lacks; "text-x-generic" resolves.
    QVERIFY(!QIcon::hasThemeIcon(QStringLiteral("text-plain")));
    const QImage expected = themeIcon(QStringLiteral("text-x-generic"), size);
    if (expected.size() == QSize(size, size)) QCOMPARE(bitmap.Image(), expected);
  }

  void iconsOfKinds_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("themeName");
    QTest::newRow("folder") << QStringLiteral("<dir>") << QStringLiteral("folder");
    QTest::newRow("root drive") << QStringLiteral("/") << QStringLiteral("drive-harddisk");
    QTest::newRow("picture") << QStringLiteral("<jpg>") << QStringLiteral("image-x-generic");
  }
  void iconsOfKinds() {
    QFETCH(QString, target);
    QFETCH(QString, themeName);
    if (target == QLatin1String("<dir>")) target = FDir.path();
    if (target == QLatin1String("<jpg>")) target = writeJpeg(QStringLiteral("icon.jpg"), 40, 30);
    listDrives();  // the drives' own icons come from the listing
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(target, bitmap, true, 32, 32));
    QCOMPARE(bitmap.Image(), themeIcon(themeName, 32));
  }

  // A program's icon is the icon of the desktop application that runs it.
  void programIconIsItsApplicationIcon() {
    const QString viewer = shellEnv().BinDir + QStringLiteral("/dizad-viewer");
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(viewer, bitmap, true, 48, 48));
    QCOMPARE(bitmap.Image(), QImage(shellEnv().ViewerIcon).convertToFormat(QImage::Format_ARGB32));
    QVERIFY(ExtractThumbnail(viewer, bitmap, true, 24, 24));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(24, 24));
    QCOMPARE(QColor(bitmap.Image().pixel(12, 12)), QColor(10, 200, 30));
  }

  void missingFileHasNoIcon() {
    TBitmap bitmap;
    QVERIFY(!ExtractThumbnail(path(QStringLiteral("gone.txt")), bitmap, true, 32, 32));
    QVERIFY(bitmap.IsEmpty());
  }

  // Decoding runs on the worker; the bitmap is filled on the GUI thread while the worker waits.
  void deliveredFromWorkerThread() {
    const QString file = writeJpeg(QStringLiteral("worker.jpg"), 800, 600);
    const QString text = writeFile(QStringLiteral("worker.txt"), "words");
    TBitmap thumb, icon;
    bool thumbOk = false, iconOk = false;
    TThread worker;
    worker.Start([&] {
      thumbOk = ExtractThumbnail(file, thumb, false, 80, 80);
      iconOk = ExtractThumbnail(text, icon, true, 32, 32);
    });
    worker.WaitFor();
    QVERIFY(thumbOk);
    QVERIFY(iconOk);
    QCOMPARE(QSize(thumb.Width(), thumb.Height()), QSize(80, 60));
    QCOMPARE(QSize(icon.Width(), icon.Height()), QSize(32, 32));
  }

  // Types that cannot be decoded use a thumbnail another program left in the shared cache.
  void sharedThumbnailCache() {
    const QString movie = writeFile(QStringLiteral("movie.mkv"), QByteArray(64, '\x1a'));
    const QString uri = QUrl::fromLocalFile(movie).toString(QUrl::FullyEncoded);
    const QString cached =
        shellEnv().CacheDir + QStringLiteral("/thumbnails/normal/") +
        QString::fromLatin1(
            QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex()) +
        QStringLiteral(".png");
    QDir().mkpath(QFileInfo(cached).absolutePath());
    auto writeThumb = [&](qint64 mtime) {
      QImage thumb = twoColour(128, 72);
      thumb.setText(QStringLiteral("Thumb::URI"), uri);
      thumb.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
      QVERIFY(thumb.save(cached, "PNG"));
    };
    const qint64 mtime = QFileInfo(movie).lastModified().toSecsSinceEpoch();
    writeThumb(mtime);
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(movie, bitmap, false, 64, 64));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(64, 36));
    // A thumbnail of an older version of the file is not used.
    writeThumb(mtime - 100);
    TBitmap stale;
    QVERIFY(!ExtractThumbnail(movie, stale, false, 64, 64));
    QVERIFY(stale.IsEmpty());
  }

  void pictureWithNameThatIsNotUtf8() {
    const QByteArray bytes = QFile::encodeName(FDir.path()) + "/f\xf6to.jpg";
    QVERIFY(twoColour(300, 200).save(path(QStringLiteral("plain.jpg")), "JPEG"));
    QVERIFY(::rename(QFile::encodeName(path(QStringLiteral("plain.jpg"))).constData(),
                     bytes.constData()) == 0);
    TBitmap bitmap;
    const bool ok = ExtractThumbnail(DecodeFileName(bytes), bitmap, false, 150, 150);
    ::unlink(bytes.constData());
    QVERIFY(ok);
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(150, 100));
  }

  void copySystemBitmap() {
    QImage source(2, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 2; ++x) source.setPixel(x, y, qRgba(x * 100, y * 100, 7, 200));
    TBitmap target;
    CopySystemBitmap(source, target, false);
    QCOMPARE(target.Image(), source);
    CopySystemBitmap(source, target, true);
    QCOMPARE(target.Image().pixel(1, 0), source.pixel(1, 2));
    QCOMPARE(target.Image().pixel(0, 2), source.pixel(0, 0));
  }

  void fitInside_data() {
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("thin line keeps a pixel") << QSize(10000, 1) << QSize(100, 100) << QSize(100, 1);
    QTest::newRow("empty image") << QSize(0, 0) << QSize(100, 100) << QSize();
    QTest::newRow("empty box") << QSize(10, 10) << QSize(0, 5) << QSize();
  }
  void fitInside() {
    QFETCH(QSize, image);
    QFETCH(QSize, box);
    QFETCH(QSize, expected);
    QCOMPARE(dizad::shell::fitInside(image, box), expected);
  }
};

DIZAD_TEST(TestThumbnail)
#include "tst_thumbnail.moc"

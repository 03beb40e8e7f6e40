#include "testregistry.h"

#include "core/virtualpath.h"
#include "toolkit/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace dizad::core;

namespace {

// Sets AppDir for one test and puts the old value back.
struct TAppDirScope {
  explicit TAppDirScope(const QString& dir) : FPrevious(setAppDir(dir)) {}
  ~TAppDirScope() { setAppDir(FPrevious); }
  QString FPrevious;
};

QByteArray bmpHeaders(qint32 width, qint32 height) {
  QByteArray b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  qToLittleEndian<quint32>(54, b.data() + 2);
  qToLittleEndian<quint32>(54, b.data() + 10);
  qToLittleEndian<quint32>(40, b.data() + 14);
  qToLittleEndian<qint32>(width, b.data() + 18);
  qToLittleEndian<qint32>(height, b.data() + 22);
  qToLittleEndian<quint16>(1, b.data() + 26);
  qToLittleEndian<quint16>(24, b.data() + 28);
  return b;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

// Virtual path prefixes and the plain path helpers.
class TestVirtualPath : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void expand_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* in, const char* out) {
      QTest::newRow(name) << QString::fromUtf8(in) << QString::fromUtf8(out);
    };
    row("app file", "AppPath:\\a.log", "/opt/tools/a.log");
    row("data dir", "DataPath:\\", "/opt/tools/Data/");
    row("theme dir any case", "themedir:\\x.png", "/opt/tools/Data/Theme/x.png");
    row("theme dir upper", "THEMEDIR:\\x.png", "/opt/tools/Data/Theme/x.png");
    row("skin file", "ThemeData.dez:\\", "/opt/tools/Data/Theme/ThemeData.dez");
    row("skin file keeps tail", "ThemeData.dez:\\.bak", "/opt/tools/Data/Theme/ThemeData.dez.bak");
    row("file types drops rest", "FileTypes.dez:\\whatever/else", "/opt/tools/Data/FileTypes.dez");
    row("file groups drops head", "x FileGroups.dez:\\y", "/opt/tools/Data/FileGroups.dez");
    row("every occurrence", "AppPath:\\a;apppath:\\b", "/opt/tools/a;/opt/tools/b");
    // Two prefixes: only the later rule's rewrite of the input survives.
    row("app then data", "AppPath:\\a DataPath:\\b", "AppPath:\\a /opt/tools/Data/b");
    row("data then theme", "DataPath:\\a ThemeDir:\\b", "DataPath:\\a /opt/tools/Data/Theme/b");
    row("theme then types", "ThemeDir:\\a FileTypes.dez:\\", "/opt/tools/Data/FileTypes.dez");
    row("qdrive", "QDrive:\\", "QDrive:\\");
    row("search", "*105*", "*105*");
    row("my documents", "MyDocuments:\\", "MyDocuments:\\");
    row("plain path", "/home/ann/Music", "/home/ann/Music");
    row("empty", "", "");
  }
  void expand() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    TAppDirScope scope(QStringLiteral("/opt/tools"));
    QCOMPARE(ExpandVirtualPath(input), expected);
  }

  void appDirAtRootAddsNoSecondSlash() {
    TAppDirScope scope(QStringLiteral("/"));
    QCOMPARE(ExpandVirtualPath(QStringLiteral("AppPath:\\x")), QStringLiteral("/x"));
    QCOMPARE(ExpandVirtualPath(QStringLiteral("DataPath:\\")), QStringLiteral("/Data/"));
  }

  void appDirTrailingSlashDropped() {
    TAppDirScope scope(QStringLiteral("/opt/tools/"));
    QCOMPARE(AppDir(), QStringLiteral("/opt/tools"));
    QCOMPARE(ExpandVirtualPath(QStringLiteral("AppPath:\\")), QStringLiteral("/opt/tools/"));
  }

  // A directory whose name holds a prefix's text must not make expansion recurse.
  void appDirContainingPrefixText() {
    TAppDirScope scope(QStringLiteral("/srv/ThemeDir:\\"));
    QCOMPARE(ExpandVirtualPath(QStringLiteral("AppPath:\\a")),
             QStringLiteral("/srv/ThemeDir:\\/a"));
  }

  void isDriveRoot_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("root");
    QTest::newRow("slash") << QStringLiteral("/") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("folder") << QStringLiteral("/x") << false;
    QTest::newRow("double slash") << QStringLiteral("//") << false;
    QTest::newRow("windows drive") << QStringLiteral("C:") << false;
    QTest::newRow("windows root") << QStringLiteral("C:\\") << false;
    QTest::newRow("qdrive") << QStringLiteral("QDrive:\\") << false;
  }
  void isDriveRoot() {
    QFETCH(QString, text);
    QFETCH(bool, root);
    QCOMPARE(IsDriveRoot(text), root);
  }

  void delimiters_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("removed");
    QTest::newRow("empty") << QString() << QStringLiteral("/") << QString();
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/") << QString();
    QTest::newRow("plain") << QStringLiteral("/a/b") << QStringLiteral("/a/b/")
                           << QStringLiteral("/a/b");
    QTest::newRow("trailing") << QStringLiteral("/a/b/") << QStringLiteral("/a/b/")
                              << QStringLiteral("/a/b");
    QTest::newRow("two trailing") << QStringLiteral("/a//") << QStringLiteral("/a//")
                                  << QStringLiteral("/a/");
  }
  void delimiters() {
    QFETCH(QString, path);
    QFETCH(QString, added);
    QFETCH(QString, removed);
    QCOMPARE(AddPathDelimiter(path), added);
    QCOMPARE(RemovePathDelimiter(path), removed);
  }

  void pathExists() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString dir = tmp.path() + QStringLiteral("/Photos");
    const QString file = tmp.path() + QStringLiteral("/a.txt");
    QVERIFY(QDir().mkdir(dir));
    writeFile(file, "x");
    QVERIFY(QFile::link(dir, tmp.path() + QStringLiteral("/dirlink")));
    QVERIFY(
        QFile::link(tmp.path() + QStringLiteral("/gone"), tmp.path() + QStringLiteral("/broken")));

    struct Row {
      QString path;
      bool mode0, mode1, mode2;
    } rows[] = {
        {dir, true, true, false},
        {dir + QLatin1Char('/'), true, true, false},
        {file, true, false, true},
        {tmp.path() + QStringLiteral("/dirlink"), true, true, false},
        {tmp.path() + QStringLiteral("/broken"), false, false, false},
        {tmp.path() + QStringLiteral("/missing"), false, false, false},
        {QStringLiteral("/"), true, true, false},
        {QStringLiteral("relative/a.txt"), false, false, false},
        {QStringLiteral("QDrive:\\"), false, false, false},
    };
    for (const Row& r : rows) {
      QCOMPARE(PathExists(r.path, 0), r.mode0);
      QCOMPARE(PathExists(r.path, 1), r.mode1);
      QCOMPARE(PathExists(r.path, 2), r.mode2);
      QVERIFY(!PathExists(r.path, 3));
      QVERIFY(!PathExists(r.path, -1));
    }
  }

  void pathExistsExpandsPrefix() {
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Data")));
    writeFile(tmp.path() + QStringLiteral("/Data/FileTypes.dez"), "[.jpg]\n");
    TAppDirScope scope(tmp.path());
    QVERIFY(PathExists(QStringLiteral("FileTypes.dez:\\"), 2));
    QVERIFY(PathExists(QStringLiteral("DataPath:\\"), 1));
    QVERIFY(!PathExists(QStringLiteral("FileGroups.dez:\\"), 0));
  }

  void isDriveReady() {
    QVERIFY(IsDriveReady(QStringLiteral("/")));
    QVERIFY(!IsDriveReady(QStringLiteral("/no/such/volume")));
    QVERIFY(!IsDriveReady(QString()));
  }

  void folderAndDisplayNames() {
    QTemporaryDir tmp;
    const QString photos = tmp.path() + QStringLiteral("/Photos");
    const QString colon = tmp.path() + QStringLiteral("/Backup 12:30");
    QVERIFY(QDir().mkdir(photos));
    QVERIFY(QDir().mkdir(colon));

    QCOMPARE(PathFolderName(photos + QLatin1Char('/')), QStringLiteral("Photos"));
    QCOMPARE(PathFolderName(photos), QStringLiteral("Photos"));
    // ":" is an ordinary character in a Linux file name.
    QCOMPARE(PathFolderName(colon), QStringLiteral("Backup 12:30"));
    QCOMPARE(PathFolderName(QStringLiteral("/")), QStringLiteral("/"));
    QCOMPARE(PathFolderName(QString()), QString());
    const QString missing = tmp.path() + QStringLiteral("/Nope/Thing");
    QCOMPARE(PathFolderName(missing), missing);
    QCOMPARE(PathFolderName(QStringLiteral("QDrive:\\")), QStringLiteral("QDrive:\\"));

    QCOMPARE(PathDisplayName(QStringLiteral("QDrive:\\")), QStringLiteral("Durov Udero"));
    QCOMPARE(PathDisplayName(QStringLiteral("qdrive:\\")), QStringLiteral("qdrive:\\"));
    QCOMPARE(PathDisplayName(QStringLiteral("*105*")), QStringLiteral("Search..."));
    QCOMPARE(PathDisplayName(QStringLiteral("/")), QStringLiteral("/"));
    QCOMPARE(PathDisplayName(QStringLiteral("Photos")), QStringLiteral("Photos"));
    QCOMPARE(PathDisplayName(QString()), QString());
    // How a tab caption is made.
    QCOMPARE(PathDisplayName(PathFolderName(QStringLiteral("QDrive:\\"))),
             QStringLiteral("Durov Udero"));
  }

  void readBitmapSize_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("bottom-up") << bmpHeaders(640, 480) << true << 640 << 480;
    QTest::newRow("top-down") << bmpHeaders(640, -480) << true << 640 << 480;
    QTest::newRow("wide keeps low 16 bits")
        << bmpHeaders(70000, 2) << true << (70000 & 0xFFFF) << 2;
    QTest::newRow("short info header") << bmpHeaders(640, 480).left(40) << false << 7 << 9;
    QTest::newRow("short file header") << QByteArray("BM12") << false << 7 << 9;
    QByteArray png = bmpHeaders(640, 480);
    png[0] = 'P';
    QTest::newRow("no signature") << png << false << 7 << 9;
    QTest::newRow("empty") << QByteArray() << false << 7 << 9;
  }
  void readBitmapSize() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(int, width);
    QFETCH(int, height);
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/a.bmp");
    writeFile(path, bytes);
    quint16 w = 7, h = 9;
    QCOMPARE(ReadBitmapSize(path, w, h), ok);
    QCOMPARE(int(w), width);
    QCOMPARE(int(h), height);
  }

  void readBitmapSizeMissingFileRaises() {
    quint16 w = 0, h = 0;
    QVERIFY_THROWS_EXCEPTION(dizad::toolkit::EFileError,
                             ReadBitmapSize(QStringLiteral("/no/such/file.bmp"), w, h));
  }
};

DIZAD_TEST(TestVirtualPath)
#include "tst_virtualpath.moc"

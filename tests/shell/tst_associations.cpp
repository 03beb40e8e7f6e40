#include "testregistry.h"

#include "shell/associations.h"
#include "shellenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace dizad::shell;
using dizad::test::shellEnv;

namespace {

QString launched(const QString& program) {
  QFile f(shellEnv().LaunchDir + QLatin1Char('/') + program);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll()).trimmed();
}

QStringList handlers(const QString& extension, quint32 filter, QStringList* paths = nullptr) {
  QStringList names;
  EnumOpenWithHandlers(extension, filter, [&](const TAssocHandler& h) {
    names << h.GetUIName();
    if (paths) *paths << h.GetName();
  });
  return names;
}

}  // namespace

// Default programs, open-with handlers and opening files, against the test's
// own applications (shellenv.h).
class TestAssociations : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString file(const QString& name, const QByteArray& bytes = "x") {
    const QString path = FDir.path() + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }

 private Q_SLOTS:
  void associatedExecutable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("program");
    QTest::newRow("jpeg") << "photo.jpg"
                          << "dizad-viewer";
    QTest::newRow("jpeg upper case") << "PHOTO.JPG"
                                     << "dizad-viewer";
    QTest::newRow("text") << "notes.txt"
                          << "dizad-notes";
    QTest::newRow("no program for the type") << "data.unknownext" << QString();
    QTest::newRow("no extension") << "blob" << QString();
  }
  void associatedExecutable() {
    QFETCH(QString, name);
    QFETCH(QString, program);
    const QString expected =
        program.isEmpty() ? QString() : shellEnv().BinDir + QLatin1Char('/') + program;
    QCOMPARE(AssociatedExecutable(file(name)), expected);
  }

  void openWithHandlers() {
    QStringList paths;
    const QStringList recommended =
        handlers(QStringLiteral(".jpg"), ASSOC_FILTER_RECOMMENDED, &paths);
    QVERIFY(recommended.contains(QStringLiteral("Dizad Viewer")));
    QVERIFY(recommended.contains(QStringLiteral("Dizad Paint")));
    // Its program is nowhere on PATH, so it could open nothing.
    QVERIFY(!recommended.contains(QStringLiteral("Dizad Ghost")));
    QVERIFY(paths.contains(shellEnv().BinDir + QStringLiteral("/dizad-paint")));
    for (const QString& p : paths) QVERIFY2(QFile::exists(p), qPrintable(p));
    QCOMPARE(handlers(QStringLiteral("jpg"), ASSOC_FILTER_RECOMMENDED), recommended);

    // C++ sources are text: the text program is among all handlers, not the recommended.
    QVERIFY(!handlers(QStringLiteral(".cpp"), ASSOC_FILTER_RECOMMENDED)
                 .contains(QStringLiteral("Dizad Notes")));
    QVERIFY(handlers(QStringLiteral(".cpp"), ASSOC_FILTER_NONE)
                .contains(QStringLiteral("Dizad Notes")));
    QVERIFY(handlers(QStringLiteral(".txt"), ASSOC_FILTER_RECOMMENDED)
                .contains(QStringLiteral("Dizad Notes")));
  }

  void noHandlers_data() {
    QTest::addColumn<QString>("extension");
    QTest::newRow("empty") << QString();
    QTest::newRow("dot only") << QStringLiteral(".");
    QTest::newRow("unknown") << QStringLiteral(".unknownext");
  }
  void noHandlers() {
    QFETCH(QString, extension);
    QVERIFY(handlers(extension, ASSOC_FILTER_RECOMMENDED).isEmpty());
    QVERIFY(handlers(extension, ASSOC_FILTER_NONE).isEmpty());
  }

  void openWithDefaultApplication() {
    const QString path = file(QStringLiteral("holiday photo.jpg"));
    QVERIFY(ShellOpenFile(path));
    QTRY_COMPARE(launched(QStringLiteral("dizad-viewer")), path);
  }

  void invokeHandler() {
    const QString path = file(QStringLiteral("drawing.jpg"));
    bool invoked = false;
    EnumOpenWithHandlers(QStringLiteral(".jpg"), ASSOC_FILTER_NONE, [&](const TAssocHandler& h) {
      if (h.GetUIName() == QLatin1String("Dizad Paint")) invoked = h.Invoke(path);
    });
    QVERIFY(invoked);
    // The paint program takes URIs; GIO hands local files over as paths all the same.
    QTRY_VERIFY(!launched(QStringLiteral("dizad-paint")).isEmpty());
    const QString got = launched(QStringLiteral("dizad-paint"));
    QVERIFY2(got == path || got == QUrl::fromLocalFile(path).toString(), qPrintable(got));
  }

  // A double click never runs a program file: a script opens in the program for its
  // type (shell scripts are text), a program file without one opens nowhere.
  void programFileIsNotRun() {
    const QString marker = FDir.path() + QStringLiteral("/ran");
    const QString script =
        file(QStringLiteral("run-me.sh"), "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    QVERIFY(ShellOpenFile(script));
    QTRY_COMPARE(launched(QStringLiteral("dizad-notes")), script);
    const QString program = FDir.path() + QStringLiteral("/tool");
    QVERIFY(QFile::copy(QStringLiteral("/bin/true"), program));
    QVERIFY(!ShellOpenFile(program));
    QVERIFY(!ShellOpenFile(FDir.path() + QStringLiteral("/missing.unknownext")));
    QVERIFY(!ShellOpenFile(QString()));
    QVERIFY(!QFile::exists(marker));
  }
};

DIZAD_TEST(TestAssociations)
#include "tst_associations.moc"

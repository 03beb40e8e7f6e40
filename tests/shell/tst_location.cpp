#include "testregistry.h"

#include "shell/shellaccess.h"
#include "shell/thumbnail.h"

#include <gio/gio.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::shell;
using dizad::toolkit::TBitmap;

// Locations of other GIO file systems (not file://) are listed through GIO.
// GIO's own resource:// file system stands in for a device or share: it is a
// real non-native location that needs no daemon.
class TestLocation : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  GResource* FResource = nullptr;
  const QString FRoot = QStringLiteral("resource:///dizad/test/");

 private Q_SLOTS:
  void initTestCase() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("glib-compile-resources"));
    if (tool.isEmpty()) QSKIP("glib-compile-resources is not installed");
    const QString src = FDir.path();
    QDir(src).mkdir(QStringLiteral("sub"));
    QImage picture(120, 60, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 200));
    QVERIFY(picture.save(src + QStringLiteral("/pic.png")));
    for (const char* name : {"notes.txt", "sub/inner.txt"}) {
      QFile f(src + QLatin1Char('/') + QLatin1String(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("twelve bytes");
    }
    QFile xml(src + QStringLiteral("/test.gresource.xml"));
    QVERIFY(xml.open(QIODevice::WriteOnly));
    xml.write(
        "<gresources><gresource prefix=\"/dizad/test\"><file>pic.png</file>"
        "<file>notes.txt</file><file>sub/inner.txt</file></gresource></gresources>");
    xml.close();
    const QString target = src + QStringLiteral("/test.gresource");
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("--sourcedir=") + src,
                                      QStringLiteral("--target=") + target, xml.fileName()}),
             0);
    FResource = g_resource_load(QFile::encodeName(target).constData(), nullptr);
    QVERIFY(FResource);
    g_resources_register(FResource);
  }

  void cleanupTestCase() {
    if (!FResource) return;
    g_resources_unregister(FResource);
    g_resource_unref(FResource);
  }

  void listsThroughGio() {
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(ShellFolderFromPath(nullptr, QStringLiteral("resource:///dizad/test"), self, folder));
    QCOMPARE(folder->Kind(), TShellFolder::TKind::Location);
    QCOMPARE(ShellDisplayName(folder, self, true, false), FRoot);

    const auto entries = folder->EnumAll(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    QSet<QString> names;
    for (const TItemIdList& e : entries) names << e->Name;
    QCOMPARE(names, (QSet<QString>{QStringLiteral("pic.png"), QStringLiteral("notes.txt"),
                                   QStringLiteral("sub")}));
    QCOMPARE(folder->EnumAll(SHCONTF_FOLDERS).size(), size_t(1));

    const TItemIdList notes = folder->ParseDisplayName(QStringLiteral("notes.txt"));
    QVERIFY(notes);
    QCOMPARE(ShellDisplayName(folder, notes, true, true), FRoot + QStringLiteral("notes.txt"));
    QCOMPARE(ShellItemType(folder, notes), QStringLiteral(".txt"));
    TFindData data;
    QVERIFY(ShellFindData(folder, notes, data));
    QCOMPARE(data.Size, qint64(12));
    QVERIFY(!ShellHasAttributes(SFGAO_FILESYSTEM, folder, notes));
    const TItemIdList sub = folder->ParseDisplayName(QStringLiteral("sub"));
    QVERIFY(sub);
    QCOMPARE(ShellItemType(folder, sub), QStringLiteral("*Folder"));

    // A sub-folder binds from its URI as the folder kinds do.
    TShellFolderPtr inner;
    QVERIFY(ShellFolderFromPath(nullptr, sub->Path(), self, inner));
    QCOMPARE(inner->EnumAll(SHCONTF_NONFOLDERS).size(), size_t(1));
  }

  void missingLocationDoesNotBind() {
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(!ShellFolderFromPath(nullptr, FRoot + QStringLiteral("nothing"), self, folder));
    QVERIFY(!ShellFolderFromPath(nullptr, FRoot + QStringLiteral("notes.txt"), self, folder));
    QVERIFY(!folder);
  }

  void thumbnailAndIconOfRemotePicture() {
    TBitmap bitmap;
    QVERIFY(ExtractThumbnail(FRoot + QStringLiteral("pic.png"), bitmap, false, 60, 60));
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(60, 30));
    QCOMPARE(QColor(bitmap.Image().pixel(30, 15)), QColor(0, 0, 200));
    TBitmap icon;
    QVERIFY(ExtractThumbnail(FRoot + QStringLiteral("notes.txt"), icon, true, 32, 32));
    QCOMPARE(QSize(icon.Width(), icon.Height()), QSize(32, 32));
    TBitmap none;
    QVERIFY(!ExtractThumbnail(FRoot + QStringLiteral("notes.txt"), none, false, 32, 32));
    QVERIFY(none.IsEmpty());
  }
};

DIZAD_TEST(TestLocation)
#include "tst_location.moc"

#include "testregistry.h"

#include "shell/shellaccess.h"
#include "shell/volume.h"
#include "toolkit/sync.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::shell;
using dizad::toolkit::TThread;

// The computer folder: the drives and devices of the machine.
class TestComputerFolder : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void rootComesFirstAsFixedDrive() {
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(ShellFolderFromPath(nullptr, QStringLiteral(">CSIDL_DRIVES"), self, folder));
    QCOMPARE(folder->Kind(), TShellFolder::TKind::Computer);
    QCOMPARE(SpecialFolderOf(QStringLiteral(">CSIDL_DRIVES")), CSIDL_DRIVES);
    QCOMPARE(SpecialFolderOf(QStringLiteral("/home")), -1);

    const auto drives = folder->EnumAll(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_STORAGE);
    QVERIFY(!drives.empty());
    const TItemIdList root = drives.front();
    QCOMPARE(ShellItemType(folder, root), QStringLiteral("*Fixed_Drive"));
    quint32 id = 0;
    QVERIFY(ShellDescriptionID(folder, root, id));
    QCOMPARE(id, SHDID_COMPUTER_FIXED);
    QCOMPARE(ShellDisplayName(folder, root, true, false), QStringLiteral("/"));
    QCOMPARE(ShellDisplayName(folder, root, true, true), QStringLiteral("/"));
    QVERIFY(ShellHasAttributes(SFGAO_FOLDER, folder, root));
    QVERIFY(!ShellHasAttributes(SFGAO_REMOVABLE, folder, root));
    TFindData data;
    QVERIFY(ShellFindData(folder, root, data));
    QVERIFY(data.Attributes & FILE_ATTRIBUTE_DIRECTORY);

    static const QStringList driveTokens{
        QStringLiteral("*Fixed_Drive"),   QStringLiteral("*Removable_Drive"),
        QStringLiteral("*Ram_Drive"),     QStringLiteral("*CDROM_Drive"),
        QStringLiteral("*Network_Drive"), QStringLiteral("*Mobile_Device")};
    QStringList paths;
    for (const TItemIdList& d : drives) {
      QVERIFY2(driveTokens.contains(ShellItemType(folder, d)), qPrintable(d->Path()));
      QVERIFY(!paths.contains(d->Path()));
      paths << d->Path();
    }
    // Drives are folders: a listing of non-folders alone is empty.
    QVERIFY(folder->EnumAll(SHCONTF_NONFOLDERS).empty());
  }

  // A volume mounted where the desktop shows mounts is listed with its drive kind
  // while it is mounted. Needs the right to mount (the test machine runs as root).
  void mountedVolumeIsListed() {
    QTemporaryDir work;
    const QString image = work.path() + QStringLiteral("/volume.ext2");
    {
      QFile f(image);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.resize(2 << 20));
    }
    if (QProcess::execute(QStringLiteral("mkfs.ext2"),
                          {QStringLiteral("-q"), QStringLiteral("-F"), image}) != 0)
      QSKIP("mkfs.ext2 is not available");
    const QString point =
        QStringLiteral("/media/dizad-test-%1").arg(QCoreApplication::applicationPid());
    if (!QDir().mkpath(point)) QSKIP("cannot create a mount point under /media");
    struct TMounted {
      QString Point;
      bool Mounted = false;
      ~TMounted() {
        if (Mounted) QProcess::execute(QStringLiteral("umount"), {Point});
        QDir().rmdir(Point);
      }
    } mounted{point};
    // The mount table is cached; asking before the mount warms the cache, and
    // the answers after mount and unmount must still follow at once.
    QCOMPARE(DrivePart(point), DrivePart(QDir::rootPath() + QStringLiteral("media")));
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-o"), QStringLiteral("loop"), image, point}) != 0)
      QSKIP("mounting is not allowed here");
    mounted.Mounted = true;
    QCOMPARE(DrivePart(point + QStringLiteral("/lost+found")), point);
    QCOMPARE(FileSystemName(point), QStringLiteral("ext2"));

    auto listed = [&]() -> TItemIdList {
      TItemIdList self;
      TShellFolderPtr folder;
      if (!ShellFolderFromPath(nullptr, QStringLiteral(">CSIDL_DRIVES"), self, folder))
        return nullptr;
      const auto drives = folder->EnumAll(SHCONTF_FOLDERS);
      for (size_t i = 1; i < drives.size(); ++i)
        if (drives[i]->Path() == point) return drives[i];
      return nullptr;
    };
    // GIO learns of the mount through the main loop, which QTRY runs.
    QTRY_VERIFY(listed());
    const TItemIdList drive = listed();
    // A loop device is no removable medium.
    QCOMPARE(ShellItemType(nullptr, drive), QStringLiteral("*Fixed_Drive"));
    quint32 id = 0;
    QVERIFY(ShellDescriptionID(nullptr, drive, id));
    QCOMPARE(id, SHDID_COMPUTER_FIXED);
    QCOMPARE(drive->Name, point.mid(point.lastIndexOf(QLatin1Char('/')) + 1));
    QCOMPARE(ShellDisplayName(nullptr, drive, true, false), point);

    QCOMPARE(QProcess::execute(QStringLiteral("umount"), {point}), 0);
    mounted.Mounted = false;
    QVERIFY(DrivePart(point) != point);
    QTRY_VERIFY(!listed());
  }

  // The volume monitor lives on the GUI thread; a worker's listing is handed over.
  void listedFromWorkerThread() {
    std::vector<TItemIdList> drives;
    TThread worker;
    worker.Start([&] {
      TItemIdList self;
      TShellFolderPtr folder;
      if (ShellFolderFromPath(nullptr, QStringLiteral(">CSIDL_DRIVES"), self, folder))
        drives = folder->EnumAll(SHCONTF_FOLDERS);
    });
    worker.WaitFor();
    QVERIFY(!drives.empty());
    QCOMPARE(drives.front()->Path(), QStringLiteral("/"));
  }
};

DIZAD_TEST(TestComputerFolder)
#include "tst_computerfolder.moc"

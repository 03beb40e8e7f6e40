#include "testregistry.h"

#include "shell/volume.h"

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::shell;

namespace {

dev_t deviceOf(const QString& path) {
  struct stat st {};
  ::stat(QFile::encodeName(path).constData(), &st);
  return st.st_dev;
}

}  // namespace

// Mounted volumes as drives: mount table, drive part, readiness, type, space.
class TestVolume : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void parseDecodesEscapes() {
    const QByteArray text =
        "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "90 26 8:17 / /media/ann/My\\040Stick rw,nosuid master:3 - vfat /dev/sdb1 rw\n"
        "91 26 0:50 /sub /mnt/back\\134slash\\011tab rw - fuse.sshfs ann@host:/x\\040y rw\n"
        "garbage line without separator\n"
        "\n";
    const std::vector<TMountEntry> t = parseMountInfo(text);
    QCOMPARE(t.size(), size_t(3));
    QCOMPARE(t[0].MountPoint, QStringLiteral("/"));
    QCOMPARE(t[0].FsType, QStringLiteral("ext4"));
    QCOMPARE(t[0].Device, QStringLiteral("/dev/vda"));
    QCOMPARE(t[0].Options, QStringLiteral("rw,relatime"));
    QCOMPARE(t[1].MountPoint, QStringLiteral("/media/ann/My Stick"));
    QCOMPARE(t[1].Major, 8u);
    QCOMPARE(t[1].Minor, 17u);
    QCOMPARE(t[2].MountPoint, QStringLiteral("/mnt/back\\slash\ttab"));
    QCOMPARE(t[2].Root, QStringLiteral("/sub"));
    QCOMPARE(t[2].Device, QStringLiteral("ann@host:/x y"));
    QCOMPARE(t[2].FsType, QStringLiteral("fuse.sshfs"));
  }

  void realTableHasRoot() {
    const std::vector<TMountEntry> t = *readMountTable();
    bool root = false;
    for (const TMountEntry& m : t) root = root || (m.MountPoint == QLatin1String("/"));
    QVERIFY(root);
  }

  void rootIsAReadyDrive() {
    QCOMPARE(DrivePart(QStringLiteral("/")), QStringLiteral("/"));
    QVERIFY(IsVolumeReady(QStringLiteral("/")));
    QVERIFY(!FileSystemName(QStringLiteral("/")).isEmpty());
    const TDriveType type = DriveType(QStringLiteral("/"));
    QVERIFY(type != TDriveType::Unknown && type != TDriveType::NoRootDir &&
            type != TDriveType::CDRom);
    quint64 total = 0, free = 0;
    QVERIFY(VolumeSpace(QStringLiteral("/"), total, free));
    QVERIFY(total > 0);
    QVERIFY(free <= total);
  }

  void drivePartOfTemporaryFile() {
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/sub/../file.txt");
    const QString drive = DrivePart(path);
    QVERIFY(!drive.isEmpty());
    QVERIFY(drive == QLatin1String("/") || tmp.path().startsWith(drive + QLatin1Char('/')));
    // The drive part is the volume the file lives on.
    QCOMPARE(deviceOf(drive), deviceOf(tmp.path()));
  }

  void drivePartPicksLongestMountPoint() {
    QString longest;
    for (const TMountEntry& m : *readMountTable())
      if (m.MountPoint.size() > longest.size()) longest = m.MountPoint;
    QVERIFY(!longest.isEmpty());
    QCOMPARE(DrivePart(longest + QStringLiteral("/x/y")), longest);
    QCOMPARE(DrivePart(longest), longest);
    // A sibling whose name merely starts with the mount point's is not inside it.
    QVERIFY(DrivePart(longest + QStringLiteral("zz/a")) != longest);
  }

  void drivePartOfOtherTexts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");
    QTest::newRow("relative") << QStringLiteral("a/b") << QString();
    QTest::newRow("qdrive") << QStringLiteral("QDrive:\\") << QString();
    QTest::newRow("search") << QStringLiteral("*105*") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("file uri") << QStringLiteral("file:///") << QStringLiteral("/");
    QTest::newRow("unmounted device") << QStringLiteral("mtp://Phone_X_123/Internal storage/DCIM")
                                      << QStringLiteral("mtp://Phone_X_123/");
    QTest::newRow("bare host") << QStringLiteral("sftp://host") << QStringLiteral("sftp://host/");
  }
  void drivePartOfOtherTexts() {
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QCOMPARE(DrivePart(path), drive);
  }

  void missingRootIsNotReady() {
    const QString none = QStringLiteral("/no/such/volume");
    QVERIFY(!IsVolumeReady(none));
    QVERIFY(!IsVolumeReady(QString()));
    QCOMPARE(DriveType(none), TDriveType::NoRootDir);
    quint64 total = 11, free = 12;
    QVERIFY(!VolumeSpace(none, total, free));
    QCOMPARE(total, quint64(11));
    QCOMPARE(free, quint64(12));
  }

  void mountTypes_data() {
    QTest::addColumn<QString>("fs");
    QTest::addColumn<int>("type");
    QTest::newRow("iso") << QStringLiteral("iso9660") << int(TDriveType::CDRom);
    QTest::newRow("udf") << QStringLiteral("udf") << int(TDriveType::CDRom);
    QTest::newRow("nfs4") << QStringLiteral("nfs4") << int(TDriveType::Remote);
    QTest::newRow("cifs") << QStringLiteral("cifs") << int(TDriveType::Remote);
    QTest::newRow("sshfs") << QStringLiteral("fuse.sshfs") << int(TDriveType::Remote);
    QTest::newRow("tmpfs") << QStringLiteral("tmpfs") << int(TDriveType::RamDisk);
    QTest::newRow("ramfs") << QStringLiteral("ramfs") << int(TDriveType::RamDisk);
    QTest::newRow("ext4 without device") << QStringLiteral("ext4") << int(TDriveType::Fixed);
  }
  void mountTypes() {
    QFETCH(QString, fs);
    QFETCH(int, type);
    TMountEntry m;
    m.MountPoint = QStringLiteral("/mnt/x");
    m.FsType = fs;
    QCOMPARE(int(driveTypeOfMount(m)), type);
  }

  void tmpfsMountIsRamDisk() {
    for (const TMountEntry& m : *readMountTable()) {
      if (m.FsType != QLatin1String("tmpfs") || !QFile::exists(m.MountPoint)) continue;
      if (DrivePart(m.MountPoint) != m.MountPoint) continue;  // mounted over
      QCOMPARE(DriveType(m.MountPoint), TDriveType::RamDisk);
      QCOMPARE(FileSystemName(m.MountPoint), QStringLiteral("tmpfs"));
      return;
    }
    QSKIP("no tmpfs mount on this machine");
  }
};

DIZAD_TEST(TestVolume)
#include "tst_volume.moc"

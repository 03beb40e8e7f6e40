#include "testregistry.h"

#include "tasks/medianotifier.h"
#include "toolkit/sync.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace dizad::tasks;

namespace {

class TRecordingDrives : public TMediaClient {
 public:
  void OnMonitorNotify(TEventType EventType, const QString& Pah) override {
    if (!dizad::toolkit::IsGuiThread()) OffGuiThread = true;
    switch (EventType) {
      case etMediaInserted:
        Lines.append(QStringLiteral("inserted ") + Pah);
        break;
      case etMediaRemoved:
        Lines.append(QStringLiteral("removed ") + Pah);
        break;
      default:
        Lines.append(QStringLiteral("changed ") + Pah);
        break;
    }
  }
  QStringList Lines;  // GUI thread only
  bool OffGuiThread = false;
};

// Runs a command; an empty result means success, else the reason it failed.
QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000))
    return program + QStringLiteral(" did not run: ") + process.errorString();
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return program + QStringLiteral(" ") + arguments.join(QLatin1Char(' ')) +
           QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
  return QString();
}

}  // namespace

// The media notifier on a real loop-mounted volume. GIO shows the mounts
// under the home folder, so the test mounts under a home of its own.
class TestMediaNotifier : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> FHome;
  QByteArray FOldHome;
  QString FMounted;                          // mount point to release in cleanup
  std::unique_ptr<QTemporaryDir> FMountDir;  // removed in cleanup, after unmounting

 private Q_SLOTS:
  void initTestCase() {
    // GIO delivers its signals through the GLib main context; the Qt event
    // loop must be the one that runs it.
    QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher();
    QVERIFY2(dispatcher && dispatcher->inherits("QEventDispatcherGlib"),
             "the Qt event loop does not run on GLib (is QT_NO_GLIB set?)");
    FHome = std::make_unique<QTemporaryDir>();
    QVERIFY(FHome->isValid());
    FOldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(FHome->path()));
  }

  void cleanupTestCase() {
    qputenv("HOME", FOldHome);
    FHome.reset();
  }

  void cleanup() {
    if (!FMounted.isEmpty() && !run(QStringLiteral("umount"), {FMounted}).isEmpty())
      run(QStringLiteral("umount"), {QStringLiteral("-l"), FMounted});
    FMounted.clear();
    FMountDir.reset();
  }

  void mountAndUnmountAreReported() {
    // Whatever home GLib settled on (it reads HOME once), mount below it.
    const QString glibHome = QString::fromUtf8(g_get_home_dir());
    FMountDir = std::make_unique<QTemporaryDir>(glibHome + QStringLiteral("/dizad-stick-XXXXXX"));
    QVERIFY2(FMountDir->isValid(),
             qPrintable(QStringLiteral("cannot make a mount point under ") + glibHome));
    const QString mountPoint = QDir(FMountDir->path()).canonicalPath();
    const QString image = FHome->filePath(QStringLiteral("stick.img"));
    {
      QFile file(image);
      QVERIFY(file.open(QIODevice::WriteOnly));
      QVERIFY(file.resize(4 * 1024 * 1024));
    }
    const QString mkfs =
        run(QStringLiteral("mkfs.ext2"), {QStringLiteral("-q"), QStringLiteral("-F"), image});
    if (!mkfs.isEmpty()) QFAIL(qPrintable(mkfs));

    TRecordingDrives drives;
    TMediaNotifier notifier(&drives);
    QVERIFY(!notifier.Active());
    notifier.Start();
    QVERIFY(notifier.Active());
    // A stopped notifier must hear nothing of the same events.
    TRecordingDrives deaf;
    TMediaNotifier stopped(&deaf);
    stopped.Start();
    stopped.Stop();
    QVERIFY(!stopped.Active());
    // Let GIO take its first look at the mounts before anything changes.
    QCoreApplication::processEvents();

    const QString mount = run(QStringLiteral("mount"),
                              {QStringLiteral("-o"), QStringLiteral("loop"), image, mountPoint});
    if (!mount.isEmpty()) QFAIL(qPrintable(QStringLiteral("mounting refused: ") + mount));
    FMounted = mountPoint;
    QTRY_VERIFY_WITH_TIMEOUT(drives.Lines.contains(QStringLiteral("inserted ") + mountPoint),
                             20000);

    const QString unmount = run(QStringLiteral("umount"), {mountPoint});
    if (!unmount.isEmpty()) QFAIL(qPrintable(unmount));
    FMounted.clear();
    QTRY_VERIFY_WITH_TIMEOUT(drives.Lines.contains(QStringLiteral("removed ") + mountPoint), 20000);
    QVERIFY(!drives.OffGuiThread);
    QCOMPARE(deaf.Lines, QStringList());

    notifier.Stop();
    QVERIFY(!notifier.Active());
  }
};

DIZAD_TEST(TestMediaNotifier)
#include "tst_medianotifier.moc"

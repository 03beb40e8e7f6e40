#include "testregistry.h"

#include "tasks/monitorthread.h"
#include "toolkit/sync.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <thread>

using namespace dizad::tasks;

namespace {

// A folder that writes down every report it gets, as "action name" or
// "renamed old -> new".
class TRecordingFolder : public TMonitorClient {
 public:
  void OnMonitorNotify(TMonitorThread* Sender, const TFolderItemInfo& AFolderItem) override {
    if (!dizad::toolkit::IsGuiThread()) OffGuiThread = true;
    LastSender = Sender;
    switch (AFolderItem.Action) {
      case faNew:
        Lines.append(QStringLiteral("new ") + AFolderItem.Name);
        break;
      case faRemoved:
        Lines.append(QStringLiteral("removed ") + AFolderItem.Name);
        break;
      case faModified:
        Lines.append(QStringLiteral("modified ") + AFolderItem.Name);
        break;
      case faRenamed:
        Lines.append(QStringLiteral("renamed ") + AFolderItem.OldName + QStringLiteral(" -> ") +
                     AFolderItem.Name);
        break;
    }
  }

  // GUI thread only.
  QStringList Lines;
  bool OffGuiThread = false;
  TMonitorThread* LastSender = nullptr;
};

void writeFile(const QString& path, const QByteArray& data = QByteArrayLiteral("data")) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(data), data.size());
}

}  // namespace

// The directory monitor on real inotify events.
class TestMonitorThread : public QObject {
  Q_OBJECT

  QTemporaryDir* FDir = nullptr;
  int FMarkers = 0;

  QString path(const QString& name) const { return FDir->filePath(name); }

  // Makes a marker directory and waits for its report: everything the monitor
  // saw before it has then been delivered. Returns the reports before the
  // marker and forgets them.
  QStringList settle(TRecordingFolder& folder) {
    const QString marker = QStringLiteral("marker-%1").arg(++FMarkers);
    if (!QDir(FDir->path()).mkdir(marker)) return {QStringLiteral("cannot make marker")};
    const QString line = QStringLiteral("new ") + marker;
    if (!QTest::qWaitFor([&] { return folder.Lines.contains(line); }, 20000))
      return {QStringLiteral("marker never reported")};
    QStringList before = folder.Lines.mid(0, folder.Lines.indexOf(line));
    folder.Lines.clear();
    return before;
  }

 private Q_SLOTS:
  void init() {
    FDir = new QTemporaryDir;
    QVERIFY(FDir->isValid());
  }
  void cleanup() {
    delete FDir;
    FDir = nullptr;
  }

  // Each kind of change arrives as one report, on the GUI thread.
  void reportsOneChange_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("delete") << QStringLiteral("delete")
                            << QStringList{QStringLiteral("removed a.txt")};
    QTest::newRow("rename") << QStringLiteral("rename")
                            << QStringList{QStringLiteral("renamed a.txt -> b.txt")};
    QTest::newRow("create folder")
        << QStringLiteral("mkdir") << QStringList{QStringLiteral("new sub2")};
    QTest::newRow("attributes") << QStringLiteral("chmod")
                                << QStringList{QStringLiteral("modified a.txt")};
    QTest::newRow("name with spaces and UTF-8")
        << QStringLiteral("rename-utf8")
        << QStringList{QStringLiteral("renamed a.txt -> Ünï cödé ✓.txt")};
  }
  void reportsOneChange() {
    QFETCH(QString, operation);
    QFETCH(QStringList, expected);
    writeFile(path(QStringLiteral("a.txt")));
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, FDir->path());
    QVERIFY(monitor.Watching());

    if (operation == QLatin1String("delete"))
      QVERIFY(QFile::remove(path(QStringLiteral("a.txt"))));
    else if (operation == QLatin1String("rename"))
      QVERIFY(QFile::rename(path(QStringLiteral("a.txt")), path(QStringLiteral("b.txt"))));
    else if (operation == QLatin1String("rename-utf8"))
      QVERIFY(QFile::rename(path(QStringLiteral("a.txt")), path(QStringLiteral("Ünï cödé ✓.txt"))));
    else if (operation == QLatin1String("mkdir"))
      QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("sub2")));
    else if (operation == QLatin1String("chmod"))
      QVERIFY(QFile::setPermissions(path(QStringLiteral("a.txt")),
                                    QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    QCOMPARE(settle(folder), expected);
    QVERIFY(!folder.OffGuiThread);
    QCOMPARE(folder.LastSender, &monitor);
  }

  // Changes made in one go are reported one by one, in the order made.
  void batchInOrder() {
    writeFile(path(QStringLiteral("x")));
    writeFile(path(QStringLiteral("z")));
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, FDir->path());
    QDir dir(FDir->path());
    QVERIFY(dir.mkdir(QStringLiteral("d1")));
    QVERIFY(QFile::rename(path(QStringLiteral("x")), path(QStringLiteral("y"))));
    QVERIFY(QFile::remove(path(QStringLiteral("z"))));
    QVERIFY(dir.mkdir(QStringLiteral("d2")));
    QVERIFY(QFile::rename(path(QStringLiteral("y")), path(QStringLiteral("w"))));
    QVERIFY(dir.rmdir(QStringLiteral("d1")));
    QCOMPARE(settle(folder),
             QStringList({QStringLiteral("new d1"), QStringLiteral("renamed x -> y"),
                          QStringLiteral("removed z"), QStringLiteral("new d2"),
                          QStringLiteral("renamed y -> w"), QStringLiteral("removed d1")}));
  }

  // Writing a file reports it modified, never anything else.
  void writeReportsModified() {
    writeFile(path(QStringLiteral("log.txt")));
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, FDir->path());
    QFile file(path(QStringLiteral("log.txt")));
    QVERIFY(file.open(QIODevice::Append));
    for (int i = 0; i < 20; ++i) {
      file.write("line\n");
      file.flush();
    }
    file.close();
    const QStringList reports = settle(folder);
    QVERIFY(!reports.isEmpty());
    QCOMPARE(reports.count(QStringLiteral("modified log.txt")), reports.size());
  }

  // Entries inside a sub-folder are not watched.
  void subFolderChangesNotReported() {
    QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("sub")));
    writeFile(path(QStringLiteral("sub/old.txt")));
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, FDir->path());
    writeFile(path(QStringLiteral("sub/inner.txt")));
    QVERIFY(QFile::remove(path(QStringLiteral("sub/old.txt"))));
    QVERIFY(
        QFile::rename(path(QStringLiteral("sub/inner.txt")), path(QStringLiteral("sub/b.txt"))));
    QCOMPARE(settle(folder), QStringList());
  }

  // An entry moved out of the folder is removed, one moved in is new. The
  // moved-out report comes on its own, without a later change to push it out.
  void moveAcrossFolderBoundary_data() {
    QTest::addColumn<bool>("outwards");
    QTest::addColumn<QString>("expected");
    QTest::newRow("move out") << true << QStringLiteral("removed m.txt");
    QTest::newRow("move in") << false << QStringLiteral("new m.txt");
  }
  void moveAcrossFolderBoundary() {
    QFETCH(bool, outwards);
    QFETCH(QString, expected);
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString inside = path(QStringLiteral("m.txt"));
    const QString outside = other.filePath(QStringLiteral("m.txt"));
    writeFile(outwards ? inside : outside);
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, FDir->path());
    QVERIFY(outwards ? QFile::rename(inside, outside) : QFile::rename(outside, inside));
    QTRY_VERIFY_WITH_TIMEOUT(folder.Lines.contains(expected), 20000);
    QCOMPARE(settle(folder), QStringList{expected});
  }

  // When the watched folder itself is deleted the monitor reports what went
  // before and ends by itself.
  void watchedFolderDeletedEndsMonitor() {
    QDir(FDir->path()).mkdir(QStringLiteral("watched"));
    writeFile(path(QStringLiteral("watched/f.txt")));
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, path(QStringLiteral("watched")));
    QVERIFY(!monitor.Finished());
    QVERIFY(QDir(path(QStringLiteral("watched"))).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(monitor.Finished(), 20000);
    QCOMPARE(folder.Lines, QStringList{QStringLiteral("removed f.txt")});
  }

  void unwatchableFolderEndsAtOnce() {
    TRecordingFolder folder;
    TMonitorThread monitor(&folder, path(QStringLiteral("does-not-exist")));
    QVERIFY(!monitor.Watching());
    QTRY_VERIFY(monitor.Finished());
  }

  // Destroying the monitor while it waits for the GUI thread to take a
  // report must not deadlock, and the report then reaches nobody.
  void destroyWhileReportWaits() {
    TRecordingFolder folder;
    auto monitor = std::make_unique<TMonitorThread>(&folder, FDir->path());
    for (int i = 0; i < 20; ++i) QDir(FDir->path()).mkdir(QStringLiteral("d%1").arg(i));
    // Hold the GUI thread without running events, so the report is pending.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    monitor.reset();
    QCOMPARE(folder.Lines, QStringList());
  }
};

DIZAD_TEST(TestMonitorThread)
#include "tst_monitorthread.moc"

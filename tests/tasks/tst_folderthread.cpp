#include "testregistry.h"

#include "recorder.h"
#include "tasks/folderthread.h"
#include "toolkit/memo.h"
#include "toolkit/sync.h"

#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

using namespace dizad::tasks;
using dizad::test::TGate;

namespace {

using TWorkerFactory = std::function<std::unique_ptr<TWorkerThread>(TWorkerClient*)>;

// A folder whose passes the test controls. Every pass of every kind goes
// through Pass, which records it and then runs the step the test installed.
class TTestFolder : public TWorkerClient {
 public:
  void Folder_Load(TFolderThread* FolderThread) override {
    Pass(QStringLiteral("folder"), FolderThread);
  }
  void Thumbnail_Load(TImageThread* ImageThread) override {
    Pass(QStringLiteral("thumbnail"), ImageThread);
  }
  void Icons_Load(TIconThread* IconThread) override { Pass(QStringLiteral("icons"), IconThread); }

  std::atomic<int> Started{0};  // passes begun
  std::atomic<int> Passes{0};   // passes that returned
  std::atomic<bool> OnGuiThread{false};
  QString Kind;                                   // written by the pass, read after it ended
  TWorkerThread* Worker = nullptr;                // the worker the pass got
  std::function<void(TWorkerThread*, int)> Step;  // set before the worker starts

 private:
  void Pass(const QString& kind, TWorkerThread* worker) {
    const int pass = ++Started;
    Kind = kind;
    Worker = worker;
    if (dizad::toolkit::IsGuiThread()) OnGuiThread = true;
    if (Step) Step(worker, pass);
    ++Passes;
  }
};

TWorkerFactory factoryFor(int kind) {
  switch (kind) {
    case 0:
      return [](TWorkerClient* f) { return std::make_unique<TFolderThread>(f); };
    case 1:
      return [](TWorkerClient* f) { return std::make_unique<TImageThread>(f); };
    default:
      return [](TWorkerClient* f) { return std::make_unique<TIconThread>(f); };
  }
}

}  // namespace

// The folder workers: one pass per burst of signals, shutdown and errors.
class TestFolderThread : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Each worker runs its own pass of the folder, on its own thread, once for
  // a burst of signals.
  void burstGivesOnePass_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("pass");
    QTest::newRow("TFolderThread") << 0 << QStringLiteral("folder");
    QTest::newRow("TImageThread") << 1 << QStringLiteral("thumbnail");
    QTest::newRow("TIconThread") << 2 << QStringLiteral("icons");
  }
  void burstGivesOnePass() {
    QFETCH(int, kind);
    QFETCH(QString, pass);
    TTestFolder folder;
    auto worker = factoryFor(kind)(&folder);
    for (int i = 0; i < 10; ++i) worker->Reset();
    QTRY_COMPARE(folder.Passes.load(), 1);
    QCOMPARE(folder.Kind, pass);
    QCOMPARE(folder.Worker, worker.get());
    QVERIFY(!folder.OnGuiThread);
    // No second pass follows: the burst was served by the first.
    QTest::qWait(3 * static_cast<int>(TWorkerThread::Delay.count()));
    QCOMPARE(folder.Passes.load(), 1);
  }

  // Signals during a pass cause exactly one further pass.
  void signalsDuringPassGiveOneMore() {
    TTestFolder folder;
    TGate inPass;
    TGate release;
    folder.Step = [&](TWorkerThread*, int pass) {
      if (pass != 1) return;
      inPass.Open();
      release.Wait();
    };
    TIconThread worker(&folder);
    worker.Reset();
    QVERIFY(inPass.Wait());
    for (int i = 0; i < 10; ++i) worker.Reset();
    release.Open();
    QTRY_COMPARE(folder.Passes.load(), 2);
    QTest::qWait(3 * static_cast<int>(TWorkerThread::Delay.count()));
    QCOMPARE(folder.Passes.load(), 2);
  }

  // A pass stops between items when paused; Reset clears the pause.
  void pauseStopsPassBetweenItems() {
    TTestFolder folder;
    TGate inPass;
    TGate paused;
    std::atomic<int> items{0};
    folder.Step = [&](TWorkerThread* worker, int pass) {
      for (int i = 0; i < 1000 && !worker->Paused() && !worker->Terminated(); ++i) {
        ++items;
        if (pass == 1 && i == 0) {
          inPass.Open();
          paused.Wait();
        }
      }
    };
    TImageThread worker(&folder);
    worker.Reset();
    QVERIFY(inPass.Wait());
    worker.Pause();
    paused.Open();
    QTRY_COMPARE(folder.Passes.load(), 1);
    QCOMPARE(items.load(), 1);
    worker.Reset();
    QVERIFY(!worker.Paused());
    QTRY_COMPARE(folder.Passes.load(), 2);
    QCOMPARE(items.load(), 1001);
  }

  // An error escaping a pass is logged and the worker keeps serving.
  void passErrorKeepsWorker() {
    TTestFolder folder;
    folder.Step = [](TWorkerThread*, int pass) {
      if (pass == 1) throw std::runtime_error("thumbnail decoder exploded");
    };
    TImageThread worker(&folder);
    worker.Reset();
    QTRY_VERIFY(dizad::toolkit::LogMemo().Contains(QStringLiteral("thumbnail decoder exploded")));
    QVERIFY(!worker.Finished());
    worker.Reset();
    QTRY_COMPARE(folder.Started.load(), 2);
    QTRY_COMPARE(folder.Passes.load(), 1);
  }

  // A signal that is still settling when the worker shuts down never
  // becomes a pass; a waiting worker ends at once.
  void shutdownPreventsPendingPass() {
    TTestFolder folder;
    auto worker = std::make_unique<TFolderThread>(&folder);
    worker->Reset();
    worker->Shutdown();
    QCOMPARE(worker->VirtualFolder(), nullptr);
    QTRY_VERIFY(worker->Finished());
    worker.reset();
    QCOMPARE(folder.Passes.load(), 0);
  }

  // Destroying a worker during a pass ends it after the item being loaded.
  void destroyDuringPassEndsAfterItem() {
    TTestFolder folder;
    TGate inPass;
    std::atomic<int> items{0};
    folder.Step = [&](TWorkerThread* worker, int) {
      for (int i = 0; i < 100000 && !worker->Paused() && !worker->Terminated(); ++i) {
        ++items;
        inPass.Open();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    };
    auto worker = std::make_unique<TIconThread>(&folder);
    worker->Reset();
    QVERIFY(inPass.Wait());
    worker.reset();
    QVERIFY(items < 100000);
    QCOMPARE(folder.Passes.load(), 1);
  }

  // Destroying a worker whose pass waits in a hand-over to the GUI thread
  // must not deadlock.
  void destroyWhilePassInSynchronize() {
    TTestFolder folder;
    TGate handingOver;
    std::atomic<int> served{0};
    folder.Step = [&](TWorkerThread* worker, int) {
      while (!worker->Terminated()) {
        handingOver.Open();
        dizad::toolkit::Synchronize([&] { ++served; });
      }
    };
    auto worker = std::make_unique<TFolderThread>(&folder);
    worker->Reset();
    // Wait without running events, so the pass is stuck in its hand-over.
    QVERIFY(handingOver.Wait());
    worker.reset();
    QVERIFY(served >= 1);
  }
};

DIZAD_TEST(TestFolderThread)
#include "tst_folderthread.moc"

#include "testregistry.h"

#include "toolkit/sync.h"

#include <QTest>
#include <atomic>

using namespace dizad::toolkit;

// Hand-over between worker threads and the GUI thread.
class TestSync : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // A worker blocked in Synchronize while the GUI thread waits for it to end
  // must not deadlock: the wait serves the hand-over.
  void workerInSynchronizeDuringShutdownWait() {
    std::atomic<int> ran{0};
    bool ranOnGui = false;
    TThread worker;
    worker.Start([&] {
      for (int i = 0; i < 50; ++i)
        Synchronize([&] {
          ranOnGui = IsGuiThread();
          ++ran;
        });
    });
    worker.WaitFor();
    QCOMPARE(ran.load(), 50);
    QVERIFY(ranOnGui);
  }

  void synchronizeRethrowsInWorker() {
    bool caught = false;
    TThread worker;
    worker.Start([&] {
      try {
        Synchronize([] { throw std::runtime_error("boom"); });
      } catch (const std::runtime_error& e) {
        caught = QByteArray(e.what()) == "boom";
      }
    });
    worker.WaitFor();
    QVERIFY(caught);
  }

  void errorAtThreadEdgeIsCaught() {
    TThread worker;
    worker.Start([] { throw std::runtime_error("escaped"); });
    worker.WaitFor();
    QVERIFY(worker.Finished());
  }

  void poolTaskInSynchronizeIsServedByWaitForPool() {
    std::atomic<int> ran{0};
    for (int i = 0; i < 4; ++i)
      PoolRun([&ran, i] {
        Synchronize([&] { ++ran; });
        if (i == 0) throw std::runtime_error("pool task failed");  // caught, logged
      });
    WaitForPool();
    QCOMPARE(ran.load(), 4);
    QCOMPARE(PoolTasksPending(), 0);
  }

  void queueRunsLaterOnGuiThread() {
    bool ran = false;
    Queue([&] { ran = IsGuiThread(); });
    QVERIFY(!ran);
    QTRY_VERIFY(ran);
  }
};

DIZAD_TEST(TestSync)
#include "tst_sync.moc"

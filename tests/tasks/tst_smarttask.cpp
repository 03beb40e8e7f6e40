#include "testregistry.h"

#include "recorder.h"
#include "tasks/smarttask.h"
#include "tasks/taskmanager.h"
#include "toolkit/memo.h"
#include "toolkit/sync.h"

#include <sys/resource.h>
#include <QTest>
#include <atomic>
#include <thread>

using namespace dizad::tasks;
using dizad::test::TGate;
using dizad::test::TRecorder;

namespace {

// One unit of a long-running handler's work, between two checks of its task.
void workUnit() {
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A task whose handlers write to a record; the first execute can be held
// inside a loop that polls the task, as real long work does.
struct TTaskProbe {
  TRecorder Log;
  std::atomic<int> Runs{0};
  std::atomic<bool> HoldFirstRun{false};
  TGate Entered;  // opened when a held run has started

  void Attach(TSmartTask* task) {
    task->OnTaskExecute([this](TSmartTask* t) {
          const int run = ++Runs;
          if (run == 1 && HoldFirstRun) {
            Entered.Open();
            while (t->KeepRunning()) workUnit();
            Log.Add(QStringLiteral("execute %1 cut").arg(run));
            return;
          }
          Log.Add(QStringLiteral("execute %1").arg(run));
        })
        ->OnTaskBeforeFinish([this](TSmartTask*) { Log.Add(QStringLiteral("before-finish")); })
        ->OnTaskFinish([this](TSmartTask*) { Log.Add(QStringLiteral("finish")); });
  }

  // Creates the task, starts it and returns once its first run is held in
  // the execute handler; none if the run never began.
  TSmartTask* StartHeld(TTaskManager& manager, const QString& id) {
    HoldFirstRun = true;
    TSmartTask* task = manager.CreateTask(id, false);
    Attach(task);
    task->Start();
    return Entered.Wait() ? task : nullptr;
  }
};

class TRecordingGroup : public TTaskGroup {
 public:
  // The tasks may be notifying this group: free them while Events still exists.
  ~TRecordingGroup() override { TaskList.clear(); }
  void NotifyEvent(const QString& EventID) override { Events.Add(EventID); }
  TRecorder Events;
};

}  // namespace

// The task engine: runs, restarts, stops, parking, pausing and parameters.
class TestSmartTask : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void createAndLookUpTasks() {
    TTaskManager manager;
    TSmartTask* a = manager.CreateTask(QStringLiteral("Load"), false);
    QCOMPARE(manager.CreateTask(QStringLiteral("Load"), true), a);
    TSmartTask* b = manager.CreateTask(QStringLiteral("LOAD"), false);
    QVERIFY(b != a);
    QCOMPARE(manager.Count(), 2);
    QCOMPARE(a->TaskManager, &manager);

    TSmartTask* found = nullptr;
    QVERIFY(manager.GetTask(QStringLiteral("LOAD"), found));
    QCOMPARE(found, b);
    QVERIFY(!manager.GetTask(QStringLiteral("load"), found));
    QCOMPARE(found, nullptr);
    QVERIFY(manager.GetTask(1, found));
    QCOMPARE(found, b);
    QVERIFY(!manager.GetTask(2, found));
    QVERIFY(!manager.GetTask(-1, found));

    // A new task: idle, no thread, nothing to lock, pausing does nothing.
    QVERIFY(!a->Active());
    QVERIFY(a->ReStart());
    QCOMPARE(a->Thread(), nullptr);
    QCOMPARE(a->Lock(), nullptr);
    QCOMPARE(a->UnLock(), nullptr);
    bool pausedCalled = false;
    a->OnTaskPaused([&](TSmartTask*) { pausedCalled = true; });
    a->Pause();
    QVERIFY(!a->Paused());
    QVERIFY(!pausedCalled);
    QCOMPARE(a->ID(QStringLiteral("Other")), QStringLiteral("Other"));
    QCOMPARE(a->ID(), QStringLiteral("Other"));
  }

  // A run calls execute, before-finish and finish in that order on the task's
  // own thread, then parks; a second start reuses the same thread.
  void runOrderAndReuse() {
    TTaskProbe probe;
    std::atomic<pid_t> firstThread{0};
    std::atomic<pid_t> secondThread{0};
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("T"), false);
    probe.Attach(task);
    task->OnTaskFinish([&](TSmartTask* t) {
      (firstThread == 0 ? firstThread : secondThread) = t->ThreadHandle();
      probe.Log.Add(QStringLiteral("finish"));
    });
    task->Start();
    QVERIFY(probe.Log.WaitFor(QStringLiteral("finish")));
    QTRY_VERIFY(!task->Active());
    QCOMPARE(probe.Log.Lines(),
             QStringList({QStringLiteral("execute 1"), QStringLiteral("before-finish"),
                          QStringLiteral("finish")}));
    QVERIFY(firstThread != 0);
    QVERIFY(firstThread != gettid());

    task->Start();
    QVERIFY(probe.Log.WaitFor(QStringLiteral("finish"), 2));
    QCOMPARE(probe.Log.Lines().mid(3),
             QStringList({QStringLiteral("execute 2"), QStringLiteral("before-finish"),
                          QStringLiteral("finish")}));
    QCOMPARE(secondThread.load(), firstThread.load());
    QTRY_VERIFY(!task->Active());
  }

  // How a run in progress ends for each request: a restart reruns execute
  // without finishing the abandoned run, a soft stop skips before-finish but
  // still finishes, a full stop ends the thread with no further handler.
  void requestDuringRun_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("threadEnds");
    QTest::newRow("restart") << QStringLiteral("start")
                             << QStringList{QStringLiteral("execute 1 cut"),
                                            QStringLiteral("execute 2"),
                                            QStringLiteral("before-finish"),
                                            QStringLiteral("finish")}
                             << false;
    QTest::newRow("soft stop") << QStringLiteral("soft")
                               << QStringList{QStringLiteral("execute 1 cut"),
                                              QStringLiteral("finish")}
                               << false;
    QTest::newRow("full stop") << QStringLiteral("full")
                               << QStringList{QStringLiteral("execute 1 cut"),
                                              QStringLiteral("stopped")}
                               << true;
  }
  void requestDuringRun() {
    QFETCH(QString, request);
    QFETCH(QStringList, expected);
    QFETCH(bool, threadEnds);
    TTaskProbe probe;
    TTaskManager manager;
    TSmartTask* task = probe.StartHeld(manager, QStringLiteral("T"));
    QVERIFY(task);
    task->OnTaskStopped([&](TSmartTask*) { probe.Log.Add(QStringLiteral("stopped")); });
    QVERIFY(task->Active());

    if (request == QLatin1String("start"))
      task->Start();
    else
      task->Stop(request == QLatin1String("full"));
    QVERIFY(probe.Log.WaitFor(expected.last()));
    QTRY_VERIFY(!task->Active());
    if (threadEnds) QTRY_VERIFY(task->Thread()->Finished());
    QCOMPARE(probe.Log.Lines(), expected);

    // Afterwards a start runs again, unless the thread has ended for good.
    task->Start();
    if (threadEnds) {
      QTest::qWait(100);
      QCOMPARE(probe.Runs.load(), 1);
      QVERIFY(!task->Active());
    } else {
      QVERIFY(probe.Log.WaitFor(QStringLiteral("finish"), 2));
    }
  }

  // A start that arrives while the thread is going to park is never lost:
  // every start after a finished run must lead to another run.
  void startWhileParkingIsNotLost() {
    std::mutex lock;
    std::condition_variable changed;
    int finished = 0;  // guarded by lock
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("T"), false);
    task->OnTaskFinish([&](TSmartTask*) {
      {
        std::lock_guard<std::mutex> guard(lock);
        ++finished;
      }
      changed.notify_all();
    });
    constexpr int rounds = 2000;
    bool complete = true;
    std::thread starter([&] {
      // Start again the moment a run has finished, which is when its thread
      // heads for parking.
      for (int i = 0; i < rounds && complete; ++i) {
        task->Start();
        std::unique_lock<std::mutex> guard(lock);
        complete = changed.wait_for(guard, std::chrono::seconds(20), [&] { return finished > i; });
      }
    });
    starter.join();
    QVERIFY2(complete, "a start was lost: the task did not run again");
    std::lock_guard<std::mutex> guard(lock);
    QCOMPARE(finished, rounds);
  }

  // A stop cancels a start whose run has not begun yet.
  void stopCancelsPendingStart() {
    TTaskProbe probe;
    TTaskManager manager;
    TSmartTask* task = probe.StartHeld(manager, QStringLiteral("T"));
    QVERIFY(task);
    task->Start();      // asks for a restart ...
    task->Stop(false);  // ... which the stop takes back
    QVERIFY(probe.Log.WaitFor(QStringLiteral("finish")));
    QTRY_VERIFY(!task->Active());
    QTest::qWait(100);
    QCOMPARE(probe.Runs.load(), 1);
  }

  // Pausing holds the run at its next safe point; handlers of pause and
  // resume run on the caller's thread.
  void pauseAndResume() {
    std::atomic<int> steps{0};
    TGate entered;
    TRecorder log;
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("T"), false);
    task->OnTaskExecute([&](TSmartTask* t) {
          entered.Open();
          while (t->KeepRunning()) {
            ++steps;
            workUnit();
          }
        })
        ->OnTaskFinish([&](TSmartTask*) { log.Add(QStringLiteral("finish")); })
        ->OnTaskPaused([&](TSmartTask* t) {
          log.Add(QStringLiteral("paused on GUI %1 flag %2")
                      .arg(dizad::toolkit::IsGuiThread())
                      .arg(t->Paused()));
        })
        ->OnTaskResumed([&](TSmartTask*) {
          log.Add(QStringLiteral("resumed on GUI %1").arg(dizad::toolkit::IsGuiThread()));
        });
    task->Start();
    QVERIFY(entered.Wait());
    manager.PauseTask(QStringLiteral("t"));
    QVERIFY(task->Paused());
    QCOMPARE(log.Lines(), QStringList{QStringLiteral("paused on GUI 1 flag 1")});
    QTest::qWait(50);
    const int held = steps;
    QTest::qWait(100);
    QCOMPARE(steps.load(), held);

    // A soft stop while paused finishes only once the task is resumed.
    task->Stop(false);
    QTest::qWait(50);
    QCOMPARE(log.Count(QStringLiteral("finish")), 0);
    manager.ResumeTasks();
    QVERIFY(!task->Paused());
    QVERIFY(log.WaitFor(QStringLiteral("finish")));
    QVERIFY(log.Lines().contains(QStringLiteral("resumed on GUI 1")));
  }

  // A full stop or the manager's destruction ends a paused task at once.
  void stopWhilePaused_data() {
    QTest::addColumn<bool>("destroy");
    QTest::newRow("full stop") << false;
    QTest::newRow("destroy manager") << true;
  }
  void stopWhilePaused() {
    QFETCH(bool, destroy);
    auto manager = std::make_unique<TTaskManager>();
    TSmartTask* task = manager->CreateTask(QStringLiteral("T"), false);
    TGate entered;
    std::atomic<bool> returned{false};
    task->OnTaskExecute([&](TSmartTask* t) {
      entered.Open();
      while (t->KeepRunning()) workUnit();
      returned = true;
    });
    task->Start();
    QVERIFY(entered.Wait());
    manager->PauseTasks();
    QVERIFY(task->Paused());
    if (destroy) {
      manager.reset();  // must not hang on the paused thread
    } else {
      task->Stop(true);
      QTRY_VERIFY(task->Thread()->Finished());
    }
    QVERIFY(returned);
  }

  // Destroying tasks while their handler waits for the GUI thread in a
  // hand-over must not deadlock: the destruction serves the hand-over.
  void destroyWhileHandlerInSynchronize() {
    auto manager = std::make_unique<TTaskManager>();
    TSmartTask* task = manager->CreateTask(QStringLiteral("T"), false);
    TGate handingOver;
    std::atomic<int> served{0};
    task->OnTaskExecute([&](TSmartTask* t) {
      while (t->Active()) {
        handingOver.Open();
        dizad::toolkit::Synchronize([&] { ++served; });
      }
    });
    task->Start();
    // Block the GUI thread without running events, so the worker is stuck in
    // its hand-over when the destruction begins.
    QVERIFY(handingOver.Wait());
    manager.reset();
    QVERIFY(served >= 1);
  }

  // An error in a handler is logged; the run still finishes and the task
  // can run again.
  void handlerErrorKeepsTaskUsable() {
    TRecorder log;
    std::atomic<int> runs{0};
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("Faulty"), false);
    task->OnTaskExecute([&](TSmartTask*) {
          if (++runs == 1) throw std::runtime_error("disk on fire");
          log.Add(QStringLiteral("execute"));
        })
        ->OnTaskBeforeFinish([&](TSmartTask*) { log.Add(QStringLiteral("before-finish")); })
        ->OnTaskFinish([&](TSmartTask*) { log.Add(QStringLiteral("finish")); });
    task->Start();
    QVERIFY(log.WaitFor(QStringLiteral("finish")));
    QCOMPARE(log.Lines(), QStringList{QStringLiteral("finish")});
    QVERIFY(dizad::toolkit::LogMemo().Contains(QStringLiteral("disk on fire")));
    QTRY_VERIFY(!task->Active());
    task->Start();
    QVERIFY(log.WaitFor(QStringLiteral("finish"), 2));
    QCOMPARE(log.Lines().mid(1),
             QStringList({QStringLiteral("execute"), QStringLiteral("before-finish"),
                          QStringLiteral("finish")}));
  }

  void parameters() {
    TSmartTask task;
    int object = 0;
    QCOMPARE(task.SetParam(QStringLiteral("x"), QStringLiteral("a"))
                 ->SetParam(QStringLiteral("x"), 5)
                 ->SetParam(QStringLiteral("y"), &object),
             &task);
    QString text;
    int number = -1;
    void* pointer = nullptr;
    task.GetParam(QStringLiteral("x"), text);
    task.GetParam(QStringLiteral("x"), number);
    task.GetParam(QStringLiteral("y"), pointer);
    QCOMPARE(text, QStringLiteral("a"));
    QCOMPARE(number, 5);
    QCOMPARE(pointer, static_cast<void*>(&object));
    TTaskParam* x = task.GetParam(QStringLiteral("x"));
    QVERIFY(x);
    QCOMPARE(x->tpID, QStringLiteral("x"));
    QCOMPARE(x->tpValueType, vtNone);
    QCOMPARE(x->tpObject, nullptr);

    // Names compare exactly; a missing parameter gives empty values.
    QCOMPARE(task.GetParam(QStringLiteral("X")), nullptr);
    task.GetParam(QStringLiteral("X"), text);
    task.GetParam(QStringLiteral("X"), number);
    task.GetParam(QStringLiteral("x2"), pointer);
    QCOMPARE(text, QString());
    QCOMPARE(number, 0);
    QCOMPARE(pointer, nullptr);
  }

  // Setting a parameter with StopTask stops a running task softly.
  void setParamStopsRunningTask() {
    TTaskProbe probe;
    TTaskManager manager;
    TSmartTask* task = probe.StartHeld(manager, QStringLiteral("T"));
    QVERIFY(task);
    task->SetParam(QStringLiteral("path"), QStringLiteral("/tmp"), true);
    QVERIFY(probe.Log.WaitFor(QStringLiteral("finish")));
    QCOMPARE(probe.Log.Lines(),
             QStringList({QStringLiteral("execute 1 cut"), QStringLiteral("finish")}));
  }

  void priorityAppliesToThread() {
    TGate done;
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("T"), false)
                           ->OnTaskFinish([&](TSmartTask*) { done.Open(); })
                           ->Priority(tpLower);
    task->Start();
    QVERIFY(done.Wait());
    errno = 0;
    QCOMPARE(getpriority(PRIO_PROCESS, static_cast<id_t>(task->ThreadHandle())), 5);
    QCOMPARE(task->Priority(tpIdle), task);
    QCOMPARE(getpriority(PRIO_PROCESS, static_cast<id_t>(task->ThreadHandle())), 19);
    QCOMPARE(task->Priority(), tpIdle);
  }

  // The task's lock excludes other threads; taking it twice on one thread
  // gives none instead of a deadlock.
  void lockSharesDataWithHandler() {
    TGate tryLock;
    std::atomic<bool> handlerHasLock{false};
    TGate finished;
    TTaskManager manager;
    TSmartTask* task = manager.CreateTask(QStringLiteral("T"), false);
    task->OnTaskExecute([&](TSmartTask* t) {
          tryLock.Wait();
          TSmartTask* locked = t->Lock();
          handlerHasLock = locked == t;
          t->UnLock();
        })
        ->OnTaskFinish([&](TSmartTask*) { finished.Open(); });
    task->Start();
    QTRY_VERIFY(task->Thread()->Handle() != 0);
    QCOMPARE(task->Lock(), task);
    QVERIFY(task->Locked());
    QCOMPARE(task->Lock(), nullptr);
    tryLock.Open();
    QTest::qWait(50);
    QVERIFY(!handlerHasLock);  // still waiting for us
    QCOMPARE(task->UnLock(), task);
    QVERIFY(finished.Wait());
    QVERIFY(handlerHasLock);
    QVERIFY(!task->Locked());
    QCOMPARE(task->UnLock(), nullptr);
  }

  void managerMatchesIdsIgnoringCase() {
    TTaskProbe a;
    TTaskProbe b;
    TTaskManager manager;
    QVERIFY(a.StartHeld(manager, QStringLiteral("Alpha")));
    QVERIFY(b.StartHeld(manager, QStringLiteral("Beta")));
    QVERIFY(manager.TaskActive(QStringLiteral("ALPHA")));
    QVERIFY(!manager.TaskActive(QStringLiteral("Gamma")));
    manager.StopTask(QStringList{QStringLiteral("alpha"), QStringLiteral("BETA")}, false);
    QVERIFY(a.Log.WaitFor(QStringLiteral("finish")));
    QVERIFY(b.Log.WaitFor(QStringLiteral("finish")));
    QTRY_VERIFY(!manager.TaskActive(QStringLiteral("alpha")));
  }

  void groupStartsAndStopsTogether() {
    TTaskProbe first;
    TTaskProbe second;
    TRecordingGroup group;
    auto t1 = std::make_unique<TSmartTask>();
    t1->ID(QStringLiteral("One"));
    first.Attach(t1.get());
    auto t2 = std::make_unique<TSmartTask>();
    t2->ID(QStringLiteral("Two"));
    second.Attach(t2.get());
    auto duplicate = std::make_unique<TSmartTask>();
    duplicate->ID(QStringLiteral("One"));
    TSmartTask* kept = t1.get();
    QCOMPARE(group.AddTask(std::move(t1))->AddTask(std::move(t2))->AddTask(std::move(duplicate)),
             &group);
    QCOMPARE(group.TaskList.size(), size_t(2));
    QCOMPARE(group.TaskList.front().get(), kept);
    QVERIFY(group.TaskExists(QStringLiteral("Two")));
    QVERIFY(!group.TaskExists(QStringLiteral("two")));

    group.Start();
    QVERIFY(first.Log.WaitFor(QStringLiteral("finish")));
    QVERIFY(second.Log.WaitFor(QStringLiteral("finish")));
    QVERIFY(group.Events.WaitFor(QStringLiteral("TaskEnded"), 2));

    // The group's stop is soft even when asked for a full stop: the tasks
    // still run afterwards.
    group.Stop(true);
    group.Start();
    QVERIFY(first.Log.WaitFor(QStringLiteral("finish"), 2));
    QVERIFY(second.Log.WaitFor(QStringLiteral("finish"), 2));
    QVERIFY(group.Events.WaitFor(QStringLiteral("TaskEnded"), 4));
  }
};

DIZAD_TEST(TestSmartTask)
#include "tst_smarttask.moc"

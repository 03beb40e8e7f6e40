#pragma once
// Named, restartable background tasks, each on a thread of its own.
//
// A TSmartTask runs its execute handler on its thread every time it is
// started; between runs the thread parks on a wake-up signal and is reused by
// the next Start. Starting a task whose run is still in progress makes the run
// start over. Handlers poll Active() (or KeepRunning(), which also honours
// Pause) during long work and return early once it turns false.
//
// Field prefixes: st = TSmartTask, tt = TTaskThread, tp = TTaskParam.
//
// Thread rules. Start, Stop, Pause, Resume and the setters are called by the
// task's owner (the GUI thread in this program; any single thread will do, and
// Start/Stop may also come from other threads). Execute, before-finish,
// finish and stopped handlers run on the task thread; paused and resumed
// handlers run on the caller's thread. A task must not be destroyed from
// inside one of its own handlers.

#include <sys/types.h>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "toolkit/sync.h"

namespace dizad::tasks {

class TSmartTask;
class TTaskGroup;
class TTaskManager;

using TOnTaskExecute = std::function<void(TSmartTask* SmartTask)>;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

enum TValueType { vtNone, vtInteger, vtString, vtObject };

// One named parameter of a task. Its string, integer and object slots are
// independent, so one parameter can carry one value of each type. Not locked
// itself: share parameters between threads through the task's SetParam and
// GetParam, which hold the task's lock.
class TTaskParam {
 public:
  void SetValue(const QString& ID, const QString& Value);
  void SetValue(const QString& ID, int Value);
  void SetValue(const QString& ID, void* Value);
  // ID is ignored: the value of this parameter is returned.
  void GetValue(const QString& ID, QString& Value) const;
  void GetValue(const QString& ID, int& Value) const;
  void GetValue(const QString& ID, void*& Value) const;

  QString tpID;
  TValueType tpValueType = vtNone;  // kept for the record; never changes
  QString tpString;
  qint32 tpInteger = 0;
  void* tpObject = nullptr;  // not owned
};

// The thread of one task. Created on the task's first Start and owned by the
// task; destroying it asks the loop to end and waits (serving hand-overs to
// the GUI thread meanwhile, so a handler blocked in Synchronize cannot
// deadlock the wait).
class TTaskThread {
 public:
  explicit TTaskThread(TSmartTask* Task);
  ~TTaskThread();
  TTaskThread(const TTaskThread&) = delete;
  TTaskThread& operator=(const TTaskThread&) = delete;

  // Asks the loop to end at its next check; a parked or paused thread wakes.
  void Terminate();
  bool Terminated() const { return ttTerminated.load(); }
  // True once the thread has left its loop for good.
  bool Finished() const { return ttThread.Finished(); }
  // Kernel thread id, 0 until the thread runs.
  pid_t Handle() const { return ttHandle.load(); }

  const QString ttID;               // "Thread:" and a number 0..99; informational
  TSmartTask* const SmartTask;      // not owned: the task owns this thread
  TTaskManager* const TaskManager;  // copied from the task; informational

 private:
  friend class TSmartTask;
  void Execute();
  void ApplyPriority(TThreadPriority Value);

  // The task's handler lock (TSmartTask::Lock/UnLock); the engine never takes it.
  std::mutex FLock;
  std::atomic<std::thread::id> ttLockOwner{};  // holder of FLock; written by the holder

  // Parking, pausing and waking share one lock and one condition, so a Start
  // that races with the loop going to sleep is seen either before the loop
  // decides to park or by the wait itself; it is never lost.
  std::mutex ttParkLock;
  std::condition_variable ttParkCond;
  bool ttWake = false;  // a Start is pending; guarded by ttParkLock

  std::atomic<bool> ttTerminated{false};  // written by any thread, read by the loop
  std::atomic<pid_t> ttHandle{0};         // written once by the thread itself
  toolkit::TThread ttThread;              // started by the constructor; joined by the destructor
};

class TSmartTask {
 public:
  TSmartTask();
  virtual ~TSmartTask();
  TSmartTask(const TSmartTask&) = delete;
  TSmartTask& operator=(const TSmartTask&) = delete;

  QString ID() const;
  QString ID(const QString& Value);
  TTaskThread* Thread() const;
  pid_t ThreadHandle() const;

  virtual void Start();
  virtual void Stop(bool FullStop);
  virtual void Pause();
  virtual void Resume();
  // The task's lock, for the execute handler and other threads to share data
  // of the task. Lock waits until the lock is free and returns the task, or
  // returns none when there is no thread yet or the caller already holds it.
  // UnLock returns the task, or none when the caller does not hold the lock.
  virtual TSmartTask* Lock();
  virtual TSmartTask* UnLock();
  virtual TSmartTask* Priority(TThreadPriority Value);
  virtual TSmartTask* OnTaskExecute(TOnTaskExecute ExecuteEvent);
  virtual TSmartTask* OnTaskStopped(TOnTaskExecute StoppedEvent);
  virtual TSmartTask* OnTaskBeforeFinish(TOnTaskExecute BeforeFinishEvent);
  virtual TSmartTask* OnTaskFinish(TOnTaskExecute FinishEvent);
  virtual TSmartTask* OnTaskPaused(TOnTaskExecute PausedEvent);
  virtual TSmartTask* OnTaskResumed(TOnTaskExecute ResumedEvent);

  TSmartTask* SetParam(const QString& ID, const QString& Value, bool StopTask = false);
  TSmartTask* SetParam(const QString& ID, int Value, bool StopTask = false);
  TSmartTask* SetParam(const QString& ID, void* Value, bool StopTask = false);
  void GetParam(const QString& ID, QString& Value) const;
  void GetParam(const QString& ID, int& Value) const;
  void GetParam(const QString& ID, void*& Value) const;
  // The parameter itself; it lives as long as the task.
  TTaskParam* GetParam(const QString& ID) const;

  // For handlers on the task thread: waits while the task is paused, then
  // tells whether the current run is still wanted.
  bool KeepRunning();

  bool Active() const { return stActive.load(); }
  bool Paused() const { return stPaused.load(); }
  bool UserStop() const { return stUserStop.load(); }
  bool Locked() const { return stLocked.load(); }
  bool ReStart() const { return stReStart.load(); }
  TThreadPriority Priority() const { return stPriority.load(); }

  TTaskManager* TaskManager = nullptr;  // the creating manager; not owned; set once
  // The group this task was added to, if any; not owned (the group owns the task).
  std::atomic<TTaskGroup*> TaskGroup{nullptr};

 private:
  friend class TTaskThread;
  friend class TTaskGroup;

  bool RunWanted(const TTaskThread& Thread) const;
  void WaitWhilePaused(TTaskThread& Thread);
  // Runs one handler on the current thread; an error it raises is logged and
  // reported as false.
  bool CallHandler(TOnTaskExecute TSmartTask::*Handler, const char* What);
  TSmartTask* SetHandler(TOnTaskExecute TSmartTask::*Handler, TOnTaskExecute Value);
  TTaskParam* FindParam(const QString& ID) const;  // caller holds stLock
  TTaskParam* ParamFor(const QString& ID);         // finds or appends; caller holds stLock
  template <typename T>
  TSmartTask* StoreParam(const QString& ID, const T& Value, bool StopTask);
  template <typename T>
  void FetchParam(const QString& ID, T& Value) const;
  TTaskThread* EnsureThread();

  // Handlers, id and parameters are set by the owner and read by the task
  // thread: all guarded by stLock.
  mutable std::mutex stLock;
  TOnTaskExecute fOnTaskFinish;
  TOnTaskExecute fOnTaskStopped;
  TOnTaskExecute fOnTaskExecute;
  TOnTaskExecute fOnTaskBeforeFinish;
  TOnTaskExecute fOnTaskPaused;
  TOnTaskExecute fOnTaskResumed;
  QString stID;
  std::vector<std::unique_ptr<TTaskParam>> stParams;  // insertion order

  std::atomic<TThreadPriority> stPriority{tpNormal};  // any thread
  // Run state, written by Start/Stop and by the loop. Single atomic flags so
  // handlers can poll them without a lock; every change that decides whether
  // the loop parks is also made under the thread's ttParkLock.
  std::atomic<bool> stActive{false};
  std::atomic<bool> stReStart{true};
  std::atomic<bool> stUserStop{false};
  std::atomic<bool> stPaused{false};  // written by Pause/Resume under ttParkLock
  std::atomic<bool> stLocked{false};  // written by the holder of the thread's FLock
  // Created by the first Start and kept until destruction; the pointer itself
  // is guarded by stLock.
  std::unique_ptr<TTaskThread> stThread;
};

// Tasks started and stopped together. The group owns its tasks. Its own
// thread is never used: Start and Stop go to the tasks. Task threads call
// NotifyEvent at any time, so a subclass that overrides it must free the
// tasks (TaskList.clear()) in its own destructor, before its fields go.
class TTaskGroup : public TSmartTask {
 public:
  TTaskGroup() = default;
  ~TTaskGroup() override;

  void Start() override;
  // Always a soft stop of every task, whatever FullStop says.
  void Stop(bool FullStop) override;
  bool TaskExists(const QString& TaskID) const;
  // Takes the task and links it to this group; a task whose id is already in
  // the list is freed instead, so the first of an id is kept.
  TTaskGroup* AddTask(std::unique_ptr<TSmartTask> SmartTask);
  // Receives "TaskStopped" and "TaskEnded" from a task's thread; the base
  // group takes no action.
  virtual void NotifyEvent(const QString& EventID);

  // GUI thread only.
  std::vector<std::unique_ptr<TSmartTask>> TaskList;
};

}  // namespace dizad::tasks

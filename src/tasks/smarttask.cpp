#include "tasks/smarttask.h"

#include "toolkit/application.h"
#include "toolkit/memo.h"

#include <sys/resource.h>
#include <unistd.h>
#include <QRandomGenerator>

namespace dizad::tasks {

namespace {

// Thread priorities as nice values of the thread. Raising a priority needs
// privileges; where the system refuses, the thread keeps what it has.
int niceFor(TThreadPriority Value) {
  switch (Value) {
    case tpIdle:
      return 19;
    case tpLowest:
      return 10;
    case tpLower:
      return 5;
    case tpNormal:
      return 0;
    case tpHigher:
      return -5;
    case tpHighest:
      return -10;
    case tpTimeCritical:
      return -15;
  }
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// TTaskParam

void TTaskParam::SetValue(const QString& ID, const QString& Value) {
  tpID = ID;
  tpString = Value;
}

void TTaskParam::SetValue(const QString& ID, int Value) {
  tpID = ID;
  tpInteger = Value;
}

void TTaskParam::SetValue(const QString& ID, void* Value) {
  tpID = ID;
  tpObject = Value;
}

void TTaskParam::GetValue(const QString&, QString& Value) const {
  Value = tpString;
}
void TTaskParam::GetValue(const QString&, int& Value) const {
  Value = tpInteger;
}
void TTaskParam::GetValue(const QString&, void*& Value) const {
  Value = tpObject;
}

// ---------------------------------------------------------------------------
// TTaskThread

TTaskThread::TTaskThread(TSmartTask* Task)
    : ttID(QStringLiteral("Thread:") + QString::number(QRandomGenerator::global()->bounded(100))),
      SmartTask(Task),
      TaskManager(Task->TaskManager) {
  ttThread.Start([this] { Execute(); }, "dizad-task");
}

TTaskThread::~TTaskThread() {
  Terminate();
  ttThread.WaitFor();
}

void TTaskThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(ttParkLock);
    ttTerminated = true;
  }
  ttParkCond.notify_all();
}

void TTaskThread::ApplyPriority(TThreadPriority Value) {
  const pid_t tid = ttHandle.load();
  if (tid == 0 || Finished()) return;
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceFor(Value));
}

void TTaskThread::Execute() {
  ttHandle = gettid();
  ApplyPriority(SmartTask->stPriority.load());
  TSmartTask* const task = SmartTask;

  std::unique_lock<std::mutex> lock(ttParkLock);
  ttParkCond.wait(lock, [this] { return ttWake || Terminated(); });
  while (!Terminated()) {
    // A run begins. A Start from now on finds Active and asks for a restart.
    ttWake = false;
    task->stReStart = false;
    task->stUserStop = false;
    task->stActive = true;
    lock.unlock();

    bool failed = false;
    task->WaitWhilePaused(*this);
    if (task->RunWanted(*this)) failed = !task->CallHandler(&TSmartTask::fOnTaskExecute, "execute");
    task->WaitWhilePaused(*this);
    if (!failed && task->RunWanted(*this))
      task->CallHandler(&TSmartTask::fOnTaskBeforeFinish, "before-finish");
    task->WaitWhilePaused(*this);
    // A failed run counts as cut short: it still finishes, so the owner can
    // tidy up, unless it was restarted or ended meanwhile.
    if (!task->stReStart && !task->stUserStop && !Terminated()) {
      task->CallHandler(&TSmartTask::fOnTaskFinish, "finish");
      if (TTaskGroup* group = task->TaskGroup.load())
        group->NotifyEvent(QStringLiteral("TaskEnded"));
    }

    lock.lock();
    if (Terminated()) break;
    if (!task->stReStart || task->stUserStop) {
      task->stActive = false;
      ttParkCond.wait(lock, [this] { return ttWake || Terminated(); });
    }
    // Otherwise the run was asked to start over: begin again at once, without
    // finishing the abandoned run.
  }
  lock.unlock();

  // The thread ends for good (full stop or destruction).
  task->stActive = false;
  if (task->stUserStop) {
    bool hasHandler;
    {
      std::lock_guard<std::mutex> guard(task->stLock);
      hasHandler = static_cast<bool>(task->fOnTaskStopped);
    }
    if (hasHandler) {
      task->CallHandler(&TSmartTask::fOnTaskStopped, "stopped");
      if (TTaskGroup* group = task->TaskGroup.load())
        group->NotifyEvent(QStringLiteral("TaskStopped"));
    }
  }
  task->stUserStop = false;
}

// ---------------------------------------------------------------------------
// TSmartTask

TSmartTask::TSmartTask() = default;

TSmartTask::~TSmartTask() {
  // The owner is going away: its handlers must not run any more.
  {
    std::lock_guard<std::mutex> lock(stLock);
    fOnTaskFinish = fOnTaskStopped = fOnTaskExecute = fOnTaskBeforeFinish = nullptr;
    fOnTaskPaused = fOnTaskResumed = nullptr;
  }
  TSmartTask::Stop(true);
  std::unique_ptr<TTaskThread> thread;
  {
    std::lock_guard<std::mutex> lock(stLock);
    thread = std::move(stThread);
  }
  thread.reset();  // waits for the loop to end
}

QString TSmartTask::ID() const {
  std::lock_guard<std::mutex> lock(stLock);
  return stID;
}

QString TSmartTask::ID(const QString& Value) {
  std::lock_guard<std::mutex> lock(stLock);
  stID = Value;
  return stID;
}

TTaskThread* TSmartTask::Thread() const {
  std::lock_guard<std::mutex> lock(stLock);
  return stThread.get();
}

pid_t TSmartTask::ThreadHandle() const {
  TTaskThread* thread = Thread();
  return thread ? thread->Handle() : 0;
}

TTaskThread* TSmartTask::EnsureThread() {
  std::lock_guard<std::mutex> lock(stLock);
  if (!stThread) stThread = std::make_unique<TTaskThread>(this);
  return stThread.get();
}

void TSmartTask::Start() {
  TTaskThread* thread = EnsureThread();
  {
    std::lock_guard<std::mutex> lock(thread->ttParkLock);
    if (stActive) {
      stReStart = true;
      stActive = false;
    }
    thread->ttWake = true;
  }
  thread->ttParkCond.notify_all();
}

void TSmartTask::Stop(bool FullStop) {
  TTaskThread* thread = Thread();
  if (!thread) {
    stActive = false;
    if (FullStop) stUserStop = true;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(thread->ttParkLock);
    stActive = false;
    // A stop also cancels a start that has not begun its run yet, so the
    // last word of Start-then-Stop is "stopped".
    stReStart = false;
    thread->ttWake = false;
    if (FullStop) {
      stUserStop = true;
      thread->ttTerminated = true;
    }
  }
  thread->ttParkCond.notify_all();
}

void TSmartTask::Pause() {
  TTaskThread* thread = Thread();
  if (!thread) return;
  {
    std::lock_guard<std::mutex> lock(thread->ttParkLock);
    stPaused = true;
  }
  CallHandler(&TSmartTask::fOnTaskPaused, "paused");
}

void TSmartTask::Resume() {
  TTaskThread* thread = Thread();
  if (!thread) return;
  {
    std::lock_guard<std::mutex> lock(thread->ttParkLock);
    stPaused = false;
  }
  thread->ttParkCond.notify_all();
  CallHandler(&TSmartTask::fOnTaskResumed, "resumed");
}

TSmartTask* TSmartTask::Lock() {
  TTaskThread* thread = Thread();
  if (!thread || thread->ttLockOwner.load() == std::this_thread::get_id()) return nullptr;
  thread->FLock.lock();
  thread->ttLockOwner = std::this_thread::get_id();
  stLocked = true;
  return this;
}

TSmartTask* TSmartTask::UnLock() {
  TTaskThread* thread = Thread();
  if (!thread || thread->ttLockOwner.load() != std::this_thread::get_id()) return nullptr;
  stLocked = false;
  thread->ttLockOwner = std::thread::id();
  thread->FLock.unlock();
  return this;
}

TSmartTask* TSmartTask::Priority(TThreadPriority Value) {
  stPriority = Value;
  if (TTaskThread* thread = Thread()) thread->ApplyPriority(Value);
  return this;
}

TSmartTask* TSmartTask::SetHandler(TOnTaskExecute TSmartTask::*Handler, TOnTaskExecute Value) {
  std::lock_guard<std::mutex> lock(stLock);
  this->*Handler = std::move(Value);
  return this;
}

TSmartTask* TSmartTask::OnTaskExecute(TOnTaskExecute ExecuteEvent) {
  return SetHandler(&TSmartTask::fOnTaskExecute, std::move(ExecuteEvent));
}
TSmartTask* TSmartTask::OnTaskStopped(TOnTaskExecute StoppedEvent) {
  return SetHandler(&TSmartTask::fOnTaskStopped, std::move(StoppedEvent));
}
TSmartTask* TSmartTask::OnTaskBeforeFinish(TOnTaskExecute BeforeFinishEvent) {
  return SetHandler(&TSmartTask::fOnTaskBeforeFinish, std::move(BeforeFinishEvent));
}
TSmartTask* TSmartTask::OnTaskFinish(TOnTaskExecute FinishEvent) {
  return SetHandler(&TSmartTask::fOnTaskFinish, std::move(FinishEvent));
}
TSmartTask* TSmartTask::OnTaskPaused(TOnTaskExecute PausedEvent) {
  return SetHandler(&TSmartTask::fOnTaskPaused, std::move(PausedEvent));
}
TSmartTask* TSmartTask::OnTaskResumed(TOnTaskExecute ResumedEvent) {
  return SetHandler(&TSmartTask::fOnTaskResumed, std::move(ResumedEvent));
}

bool TSmartTask::CallHandler(TOnTaskExecute TSmartTask::*Handler, const char* What) {
  TOnTaskExecute handler;
  {
    std::lock_guard<std::mutex> lock(stLock);
    handler = this->*Handler;
  }
  if (!handler) return true;
  try {
    handler(this);
    return true;
  } catch (...) {
    toolkit::logLine(QStringLiteral("Task \"") + ID() + QStringLiteral("\": error in ") +
                     QLatin1String(What) + QStringLiteral(" handler: ") +
                     toolkit::exceptionMessage(std::current_exception()));
    return false;
  }
}

bool TSmartTask::RunWanted(const TTaskThread& Thread) const {
  return !stReStart && !stUserStop && !Thread.Terminated() && stActive;
}

void TSmartTask::WaitWhilePaused(TTaskThread& Thread) {
  if (!stPaused) return;
  std::unique_lock<std::mutex> lock(Thread.ttParkLock);
  Thread.ttParkCond.wait(lock, [&] { return !stPaused || Thread.Terminated(); });
}

bool TSmartTask::KeepRunning() {
  TTaskThread* thread = Thread();
  if (!thread) return false;
  WaitWhilePaused(*thread);
  return RunWanted(*thread);
}

TTaskParam* TSmartTask::FindParam(const QString& ID) const {
  for (const auto& param : stParams)
    if (param->tpID == ID) return param.get();
  return nullptr;
}

TTaskParam* TSmartTask::ParamFor(const QString& ID) {
  TTaskParam* param = FindParam(ID);
  if (!param) {
    stParams.push_back(std::make_unique<TTaskParam>());
    param = stParams.back().get();
  }
  return param;
}

template <typename T>
TSmartTask* TSmartTask::StoreParam(const QString& ID, const T& Value, bool StopTask) {
  if (StopTask && Thread() && stActive) Stop(false);
  std::lock_guard<std::mutex> lock(stLock);
  ParamFor(ID)->SetValue(ID, Value);
  return this;
}

template <typename T>
void TSmartTask::FetchParam(const QString& ID, T& Value) const {
  std::lock_guard<std::mutex> lock(stLock);
  Value = T();
  if (TTaskParam* param = FindParam(ID)) param->GetValue(ID, Value);
}

TSmartTask* TSmartTask::SetParam(const QString& ID, const QString& Value, bool StopTask) {
  return StoreParam(ID, Value, StopTask);
}
TSmartTask* TSmartTask::SetParam(const QString& ID, int Value, bool StopTask) {
  return StoreParam(ID, Value, StopTask);
}
TSmartTask* TSmartTask::SetParam(const QString& ID, void* Value, bool StopTask) {
  return StoreParam(ID, Value, StopTask);
}

void TSmartTask::GetParam(const QString& ID, QString& Value) const {
  FetchParam(ID, Value);
}
void TSmartTask::GetParam(const QString& ID, int& Value) const {
  FetchParam(ID, Value);
}
void TSmartTask::GetParam(const QString& ID, void*& Value) const {
  FetchParam(ID, Value);
}

TTaskParam* TSmartTask::GetParam(const QString& ID) const {
  std::lock_guard<std::mutex> lock(stLock);
  return FindParam(ID);
}

// ---------------------------------------------------------------------------
// TTaskGroup

TTaskGroup::~TTaskGroup() {
  // Free the tasks while this group is still whole: their threads may be
  // notifying it right now.
  TaskList.clear();
}

void TTaskGroup::Start() {
  for (const auto& task : TaskList) task->Start();
}

void TTaskGroup::Stop(bool) {
  for (const auto& task : TaskList) task->Stop(false);
}

bool TTaskGroup::TaskExists(const QString& TaskID) const {
  for (const auto& task : TaskList)
    if (task->ID() == TaskID) return true;
  return false;
}

TTaskGroup* TTaskGroup::AddTask(std::unique_ptr<TSmartTask> SmartTask) {
  if (!SmartTask || TaskExists(SmartTask->ID())) return this;
  SmartTask->TaskGroup = this;
  TaskList.push_back(std::move(SmartTask));
  return this;
}

void TTaskGroup::NotifyEvent(const QString&) {}

}  // namespace dizad::tasks

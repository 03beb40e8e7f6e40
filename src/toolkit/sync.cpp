#include "toolkit/sync.h"

#include "toolkit/application.h"
#include "toolkit/memo.h"

#include <pthread.h>
#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace dizad::toolkit {

namespace {

struct THandOver {
  const std::function<void()>* Fn = nullptr;
  bool Done = false;  // guarded by handOverLock()
  std::exception_ptr Error;
};

// One lock and one condition for all hand-overs: it is signalled when a
// hand-over is queued or done and whenever WakeWaiters is called.
std::mutex& handOverLock() {
  static std::mutex m;
  return m;
}
std::condition_variable& handOverCond() {
  static std::condition_variable c;
  return c;
}
std::deque<THandOver*>& pending() {  // guarded by handOverLock()
  static std::deque<THandOver*> q;
  return q;
}
unsigned long wakeCount = 0;  // guarded by handOverLock()

}  // namespace

bool IsGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

void Synchronize(const std::function<void()>& fn) {
  if (IsGuiThread()) {
    fn();
    return;
  }
  THandOver h;
  h.Fn = &fn;
  {
    std::lock_guard<std::mutex> lock(handOverLock());
    pending().push_back(&h);
    ++wakeCount;
  }
  handOverCond().notify_all();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { ServeHandOvers(); }, Qt::QueuedConnection);
  {
    std::unique_lock<std::mutex> lock(handOverLock());
    handOverCond().wait(lock, [&] { return h.Done; });
  }
  if (h.Error) std::rethrow_exception(h.Error);
}

void Queue(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

void ServeHandOvers() {
  for (;;) {
    THandOver* h = nullptr;
    {
      std::lock_guard<std::mutex> lock(handOverLock());
      if (pending().empty()) return;
      h = pending().front();
      pending().pop_front();
    }
    try {
      (*h->Fn)();
    } catch (...) {
      h->Error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(handOverLock());
      h->Done = true;
      ++wakeCount;
    }
    handOverCond().notify_all();
  }
}

void WakeWaiters() {
  {
    std::lock_guard<std::mutex> lock(handOverLock());
    ++wakeCount;
  }
  handOverCond().notify_all();
}

void WaitFor(const std::function<bool()>& done) {
  const bool gui = IsGuiThread();
  for (;;) {
    if (gui) ServeHandOvers();
    unsigned long seen;
    {
      std::lock_guard<std::mutex> lock(handOverLock());
      seen = wakeCount;
    }
    if (done()) return;
    std::unique_lock<std::mutex> lock(handOverLock());
    handOverCond().wait(lock, [&] { return wakeCount != seen || (gui && !pending().empty()); });
  }
}

namespace {
std::atomic<int> poolPending{0};  // PoolRun tasks queued or running; any thread
}  // namespace

void PoolRun(std::function<void()> fn) {
  ++poolPending;
  QThreadPool::globalInstance()->start([fn = std::move(fn)] {
    try {
      fn();
    } catch (...) {
      logLine(QStringLiteral("Pool task error: ") + exceptionMessage(std::current_exception()));
    }
    --poolPending;
    WakeWaiters();
  });
}

int PoolTasksPending() {
  return poolPending.load();
}

void WaitForPool() {
  WaitFor([] { return poolPending.load() == 0; });
}

TThread::~TThread() {
  WaitFor();
}

void TThread::Start(std::function<void()> body, const char* name) {
  WaitFor();
  FFinished = false;
  FThread = std::thread([this, body = std::move(body), name] {
    if (name) pthread_setname_np(pthread_self(), name);
    try {
      body();
    } catch (...) {
      logLine(QStringLiteral("Thread error: ") + exceptionMessage(std::current_exception()));
    }
    FFinished = true;
    WakeWaiters();
  });
}

void TThread::WaitFor() {
  if (!FThread.joinable()) return;
  toolkit::WaitFor([this] { return FFinished.load(); });
  FThread.join();
}

}  // namespace dizad::toolkit

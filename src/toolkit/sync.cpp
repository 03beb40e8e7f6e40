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
#include <type_traits>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace dizad::toolkit {

namespace {

// Carries a callable through a hand-over that happens inside Qt (the thread
// pool's queue, the event queue), whose locks the thread sanitizer cannot see
// because Qt is not built with it. Every copy or move publishes what was
// written so far at the object's new address, and the receiving thread takes
// that over before it touches the callable. Without the sanitizer this is the
// callable alone.
template <class F>
class TCarried {
 public:
  explicit TCarried(F fn) : FFn(std::move(fn)) { publish(); }
  TCarried(TCarried&& other) noexcept(std::is_nothrow_move_constructible_v<F>)
      : FFn(std::move(other.FFn)) {
    publish();
  }
  TCarried(const TCarried& other) : FFn(other.FFn) { publish(); }
  TCarried& operator=(const TCarried&) = delete;
  TCarried& operator=(TCarried&&) = delete;
  void operator()() {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(this);
#endif
    FFn();
  }

 private:
  void publish() {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(this);
#endif
  }
  F FFn;
};

struct THandOver {
  const std::function<void()>* Fn = nullptr;
  bool Done = false;  // guarded by handOverLock()
  std::exception_ptr Error;
};

// One lock and one condition for all hand-overs: it is signalled when a
// hand-over is queued or done and whenever WakeWaiters is called. They live
// as long as the process: a pool task or thread may still be on its way out
// of WakeWaiters while the program ends.
std::mutex& handOverLock() {
  static std::mutex* const m = new std::mutex;
  return *m;
}
std::condition_variable& handOverCond() {
  static std::condition_variable* const c = new std::condition_variable;
  return *c;
}
std::deque<THandOver*>& pending() {  // guarded by handOverLock()
  static std::deque<THandOver*>* const q = new std::deque<THandOver*>;
  return *q;
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
  QMetaObject::invokeMethod(QCoreApplication::instance(), TCarried(std::move(fn)),
                            Qt::QueuedConnection);
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
  QThreadPool::globalInstance()->start(TCarried([fn = std::move(fn)] {
    try {
      fn();
    } catch (...) {
      logLine(QStringLiteral("Pool task error: ") + exceptionMessage(std::current_exception()));
    }
    --poolPending;
    WakeWaiters();
  }));
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

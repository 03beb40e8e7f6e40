#pragma once
// Hand-over of work between threads and the GUI thread.
//
// Synchronize(fn) runs fn on the GUI thread and blocks the calling worker until
// it has run (it runs at once when called on the GUI thread). Queue(fn) posts
// fn to the GUI thread and returns. WaitFor blocks the GUI thread until a
// condition holds while it keeps running pending Synchronize calls, so a worker
// blocked in a hand-over can never deadlock a shutdown that waits for it.
//
// TThread is a joinable worker thread whose end wakes such waits.

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace dizad::toolkit {

bool IsGuiThread();

// Runs fn on the GUI thread and waits for it. An error thrown by fn is
// rethrown in the calling thread.
void Synchronize(const std::function<void()>& fn);

// Posts fn to the GUI thread. Errors thrown by fn reach the top-level handler.
void Queue(std::function<void()> fn);

// Runs every pending Synchronize call now. GUI thread only.
void ServeHandOvers();

// Wakes every WaitFor so it re-tests its condition. Call after changing state
// that a WaitFor may be waiting on. Any thread.
void WakeWaiters();

// Blocks until done() is true, serving Synchronize calls meanwhile. done is
// re-tested after every WakeWaiters and every served hand-over. On a thread
// other than the GUI thread it simply waits for WakeWaiters.
void WaitFor(const std::function<bool()>& done);

// Runs fn on the shared thread pool (QThreadPool::globalInstance()). An error
// escaping fn is caught there and logged. Any thread.
void PoolRun(std::function<void()> fn);

// Number of PoolRun tasks queued or running.
int PoolTasksPending();

// Waits until every PoolRun task has ended, serving hand-overs meanwhile, so
// a pool task blocked in Synchronize can finish. The application calls it
// before it goes away.
void WaitForPool();

// A worker thread. Start runs body on a new thread; an error escaping body is
// caught at the thread's edge and written to the log. Its end wakes waiters.
class TThread {
 public:
  TThread() = default;
  ~TThread();  // waits for the thread (serving hand-overs) if still running
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start(std::function<void()> body, const char* name = nullptr);
  bool Started() const { return FThread.joinable(); }
  bool Finished() const { return FFinished.load(); }
  // Waits for the thread to end (serving hand-overs on the GUI thread) and joins it.
  void WaitFor();

 private:
  std::thread FThread;
  std::atomic<bool> FFinished{false};  // written by the worker, read by any thread
};

}  // namespace dizad::toolkit

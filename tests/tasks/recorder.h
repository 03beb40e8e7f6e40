#pragma once
// Test helpers shared by the background-work tests: a thread-safe event
// record and a gate that a handler can wait at.

#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace dizad::test {

// Lines appended by any thread, read by the test.
class TRecorder {
 public:
  void Add(const QString& line) {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FLines.append(line);
    }
    FCond.notify_all();
  }
  QStringList Lines() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FLines;
  }
  int Count(const QString& line) const {
    std::lock_guard<std::mutex> lock(FLock);
    return static_cast<int>(FLines.count(line));
  }
  // Blocks the calling thread (without running events) until line has been
  // added Times times; false after a generous timeout.
  bool WaitFor(const QString& line, int Times = 1) {
    std::unique_lock<std::mutex> lock(FLock);
    return FCond.wait_for(lock, std::chrono::seconds(20),
                          [&] { return FLines.count(line) >= Times; });
  }

 private:
  mutable std::mutex FLock;
  std::condition_variable FCond;
  QStringList FLines;  // guarded by FLock
};

// A one-shot barrier: Wait blocks until Open (or the timeout).
class TGate {
 public:
  void Open() {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FOpen = true;
    }
    FCond.notify_all();
  }
  bool Wait() {
    std::unique_lock<std::mutex> lock(FLock);
    return FCond.wait_for(lock, std::chrono::seconds(20), [&] { return FOpen; });
  }

 private:
  std::mutex FLock;
  std::condition_variable FCond;
  bool FOpen = false;  // guarded by FLock
};

}  // namespace dizad::test

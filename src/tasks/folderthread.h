#pragma once
// The three long-lived workers of a folder view: folder previews, thumbnails
// and icons.
//
// A worker sleeps until its folder signals work (Reset), lets 200 ms pass so
// that a burst of signals collapses, then runs one pass of the folder's load
// operation on its own thread. Signals that arrive before a pass begins are
// served by that pass; signals during a pass cause exactly one more pass.
// The pass belongs to the folder: it implements TWorkerClient. An error that
// escapes a pass is written to the log and the worker waits for the next signal.
//
// Field prefix: wt (the three workers share their fields through TWorkerThread).
//
// Threads: the owner (the folder, on the GUI thread) creates, signals, pauses
// and destroys a worker; the pass runs on the worker's thread. Destruction
// waits for the worker while serving hand-overs to the GUI thread, so a pass
// blocked in Synchronize cannot deadlock it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "toolkit/sync.h"

namespace dizad::tasks {

class TFolderThread;
class TImageThread;
class TIconThread;

// What a folder provides to its workers: one pass of each load operation,
// run on the worker's thread. A pass reads worker->Paused() and
// worker->Terminated() between items and returns early when either is set.
class TWorkerClient {
 public:
  virtual ~TWorkerClient() = default;
  virtual void Folder_Load(TFolderThread* FolderThread);
  virtual void Thumbnail_Load(TImageThread* ImageThread);
  virtual void Icons_Load(TIconThread* IconThread);
};

class TWorkerThread {
 public:
  // Settling time between a signal and the pass it causes.
  static constexpr std::chrono::milliseconds Delay{200};

  virtual ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  // Clears the pause flag and signals that there is work.
  void Reset();
  // Asks the current pass to stop after the item it is loading.
  void Pause() { wtPaused = true; }
  // Forgets the folder, so no new pass starts, and asks the thread to end.
  void Shutdown();

  bool Paused() const { return wtPaused.load(); }
  bool Terminated() const { return wtTerminated.load(); }
  // True once the thread has ended.
  bool Finished() const { return wtThread.Finished(); }
  TWorkerClient* VirtualFolder() const { return wtVirtualFolder.load(); }

 protected:
  TWorkerThread(TWorkerClient* VirtualFolder, const char* Name);
  // Shutdown, then wait for the thread. Every worker class calls it from its
  // own destructor, before the pass it overrides goes away.
  void ShutdownAndWait();
  virtual void RunPass(TWorkerClient& Folder) = 0;

 private:
  void Execute();

  // Cleared by Shutdown (owner's thread) and read by the worker before each pass.
  std::atomic<TWorkerClient*> wtVirtualFolder;
  // Both events reset themselves when the worker takes them; guarded by wtLock
  // and announced through wtSignal.
  std::mutex wtLock;
  std::condition_variable wtSignal;
  bool wtChangeHandle = false;
  bool wtShutdownHandle = false;
  std::atomic<bool> wtPaused{false};      // written by the owner, read by the pass
  std::atomic<bool> wtTerminated{false};  // written by the owner, read by the worker
  toolkit::TThread wtThread;
};

// Builds the preview backgrounds of folder items: runs Folder_Load.
class TFolderThread final : public TWorkerThread {
 public:
  explicit TFolderThread(TWorkerClient* VirtualFolder);
  ~TFolderThread() override;

 protected:
  void RunPass(TWorkerClient& Folder) override { Folder.Folder_Load(this); }
};

// Loads picture thumbnails: runs Thumbnail_Load.
class TImageThread final : public TWorkerThread {
 public:
  explicit TImageThread(TWorkerClient* VirtualFolder);
  ~TImageThread() override;

 protected:
  void RunPass(TWorkerClient& Folder) override { Folder.Thumbnail_Load(this); }
};

// Loads item icons: runs Icons_Load.
class TIconThread final : public TWorkerThread {
 public:
  explicit TIconThread(TWorkerClient* VirtualFolder);
  ~TIconThread() override;

 protected:
  void RunPass(TWorkerClient& Folder) override { Folder.Icons_Load(this); }
};

}  // namespace dizad::tasks

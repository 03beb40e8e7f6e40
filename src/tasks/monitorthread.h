#pragma once
// Watches one local directory and reports changes of its entries to the
// folder showing it.
//
// The thread waits on inotify for the directory (not its sub-directories) and
// on an eventfd that Shutdown signals; it never polls on a timer. Created or
// moved-in entries are reported as new, deleted or moved-out ones as removed,
// written, closed-after-writing or attribute changes as modified, and a rename
// inside the directory as one report carrying the old and the new name.
//
// A moved-from record is held until its moved-to partner arrives. The kernel
// queues the pair back to back, but a read can end between them, so an unpaired
// moved-from at the end of a read is kept for up to MoveGrace more: if the next
// record is its partner the pair becomes a rename, otherwise (the entry left
// the directory) it is reported as removed, before anything that follows it.
// Consecutive modified records for one name in a read collapse into one report.
//
// Reports of one read go to the folder together, on the GUI thread, in order,
// and the thread waits until the folder has handled them. When the directory
// itself is deleted, moved or unmounted the thread delivers what came before
// and ends quietly: no report for the directory, no retry.
//
// Field prefix: mt. Created, shut down and destroyed on the GUI thread.

#include <QString>
#include <atomic>
#include <chrono>
#include <vector>

#include "toolkit/sync.h"

namespace dizad::tasks {

class TMonitorThread;

enum TFolderAction { faNew, faRemoved, faModified, faRenamed };

// One change: the entry's name relative to the folder, the previous name for
// a rename.
struct TFolderItemInfo {
  QString Name;
  QString OldName;
  TFolderAction Action = faNew;
};

// The folder side of a monitor. Called on the GUI thread.
class TMonitorClient {
 public:
  virtual ~TMonitorClient() = default;
  virtual void OnMonitorNotify(TMonitorThread* Sender, const TFolderItemInfo& AFolderItem) = 0;
};

class TMonitorThread {
 public:
  static constexpr std::chrono::milliseconds MoveGrace{100};

  // Starts watching Path at once. A directory that cannot be watched gives a
  // thread that ends at once (Watching() false): the folder shows no live updates.
  TMonitorThread(TMonitorClient* VirtualFolder, const QString& Path);
  ~TMonitorThread();
  TMonitorThread(const TMonitorThread&) = delete;
  TMonitorThread& operator=(const TMonitorThread&) = delete;

  // Forgets the folder (a report already waiting for the GUI thread then does
  // nothing) and asks the thread to end. GUI thread.
  void Shutdown();

  bool Watching() const { return mtWatch >= 0; }
  // True once the thread has ended (after Shutdown, a failed open, or the
  // directory going away).
  bool Finished() const { return mtThread.Finished(); }

 private:
  void Execute();
  void Deliver(std::vector<TFolderItemInfo>& Reports);

  TMonitorClient* mtVirtualFolder;        // GUI thread only (read inside the hand-over)
  int mtFolderHandle = -1;                // inotify descriptor; closed after the thread ended
  int mtWatch = -1;                       // watch of the directory on mtFolderHandle
  int mtShutdownHandle = -1;              // eventfd; closed after the thread ended
  std::atomic<bool> mtTerminated{false};  // written by the GUI thread, read by the monitor
  toolkit::TThread mtThread;
};

}  // namespace dizad::tasks

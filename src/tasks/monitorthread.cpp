#include "tasks/monitorthread.h"

#include "toolkit/application.h"
#include "toolkit/memo.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

namespace dizad::tasks {

namespace {

constexpr uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                               IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                               IN_ONLYDIR | IN_EXCL_UNLINK;
constexpr uint32_t goneMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

// An entry that left under one name, waiting for the record of its new name.
struct TMovedFrom {
  uint32_t Cookie;
  QString Name;
};

// Turns inotify records into reports, pairing renames.
class TChangeBatch {
 public:
  std::vector<TFolderItemInfo> Reports;
  std::optional<TMovedFrom> Pending;

  void FlushPending() {
    if (!Pending) return;
    Add({Pending->Name, QString(), faRemoved});
    Pending.reset();
  }

  void Record(uint32_t Mask, uint32_t Cookie, const QString& Name) {
    if (Mask & IN_MOVED_TO) {
      if (Pending && Pending->Cookie == Cookie) {
        Add({Name, Pending->Name, faRenamed});
        Pending.reset();
      } else {
        FlushPending();
        Add({Name, QString(), faNew});
      }
      return;
    }
    FlushPending();
    if (Mask & IN_MOVED_FROM)
      Pending = TMovedFrom{Cookie, Name};
    else if (Mask & IN_CREATE)
      Add({Name, QString(), faNew});
    else if (Mask & IN_DELETE)
      Add({Name, QString(), faRemoved});
    else if (Mask & (IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE))
      Add({Name, QString(), faModified});
  }

 private:
  void Add(TFolderItemInfo Info) {
    // A file being written raises one record per write; one report is enough.
    if (Info.Action == faModified && !Reports.empty() && Reports.back().Action == faModified &&
        Reports.back().Name == Info.Name)
      return;
    Reports.push_back(std::move(Info));
  }
};

}  // namespace

TMonitorThread::TMonitorThread(TMonitorClient* VirtualFolder, const QString& Path)
    : mtVirtualFolder(VirtualFolder) {
  mtFolderHandle = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  mtShutdownHandle = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (mtFolderHandle >= 0 && mtShutdownHandle >= 0)
    mtWatch = inotify_add_watch(mtFolderHandle, QFile::encodeName(Path).constData(), watchMask);
  if (mtWatch < 0)
    toolkit::logLine(QStringLiteral("Cannot watch \"") + Path + QStringLiteral("\": ") +
                     QString::fromLocal8Bit(std::strerror(errno)));
  mtThread.Start([this] { Execute(); }, "dizad-monitor");
}

TMonitorThread::~TMonitorThread() {
  Shutdown();
  mtThread.WaitFor();
  if (mtFolderHandle >= 0) close(mtFolderHandle);
  if (mtShutdownHandle >= 0) close(mtShutdownHandle);
}

void TMonitorThread::Shutdown() {
  mtVirtualFolder = nullptr;
  mtTerminated = true;
  if (mtShutdownHandle >= 0) {
    const uint64_t one = 1;
    // A full counter still wakes the thread, so a failed write changes nothing.
    [[maybe_unused]] ssize_t written = write(mtShutdownHandle, &one, sizeof one);
  }
}

void TMonitorThread::Deliver(std::vector<TFolderItemInfo>& Reports) {
  if (Reports.empty()) return;
  toolkit::Synchronize([this, &Reports] {
    for (const TFolderItemInfo& info : Reports) {
      // Shutdown may come between two reports while the GUI thread serves us.
      TMonitorClient* folder = mtVirtualFolder;
      if (!folder) return;
      try {
        folder->OnMonitorNotify(this, info);
      } catch (...) {
        toolkit::logLine(QStringLiteral("Change report error: ") +
                         toolkit::exceptionMessage(std::current_exception()));
      }
    }
  });
  Reports.clear();
}

void TMonitorThread::Execute() {
  if (mtWatch < 0) return;
  alignas(inotify_event) char buffer[65536];
  TChangeBatch batch;
  while (!mtTerminated) {
    pollfd fds[2] = {{mtFolderHandle, POLLIN, 0}, {mtShutdownHandle, POLLIN, 0}};
    const int timeout = batch.Pending ? static_cast<int>(MoveGrace.count()) : -1;
    const int ready = poll(fds, 2, timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      toolkit::logLine(QStringLiteral("Directory monitor stopped: ") +
                       QString::fromLocal8Bit(std::strerror(errno)));
      return;
    }
    if (fds[1].revents != 0 || mtTerminated) return;
    if (ready == 0) {
      // The partner of a moved-from never came: the entry left the directory.
      batch.FlushPending();
      Deliver(batch.Reports);
      continue;
    }
    const ssize_t length = read(mtFolderHandle, buffer, sizeof buffer);
    if (length < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      toolkit::logLine(QStringLiteral("Directory monitor stopped: ") +
                       QString::fromLocal8Bit(std::strerror(errno)));
      return;
    }
    bool gone = false;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      // An overflow means lost records; nothing sound can be reported for them.
      if (event->mask & IN_Q_OVERFLOW) continue;
      if (event->mask & goneMask) {
        gone = true;
        continue;
      }
      if (event->len == 0) continue;  // the directory itself, not an entry
      batch.Record(event->mask, event->cookie, QFile::decodeName(event->name));
    }
    if (gone) {
      batch.FlushPending();
      Deliver(batch.Reports);
      return;
    }
    Deliver(batch.Reports);
  }
}

}  // namespace dizad::tasks

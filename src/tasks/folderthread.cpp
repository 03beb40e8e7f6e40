#include "tasks/folderthread.h"

#include "toolkit/application.h"
#include "toolkit/memo.h"

namespace dizad::tasks {

void TWorkerClient::Folder_Load(TFolderThread*) {}
void TWorkerClient::Thumbnail_Load(TImageThread*) {}
void TWorkerClient::Icons_Load(TIconThread*) {}

TWorkerThread::TWorkerThread(TWorkerClient* VirtualFolder, const char* Name)
    : wtVirtualFolder(VirtualFolder) {
  // The loop calls RunPass only after a Reset, which cannot come before the
  // derived worker is fully constructed.
  wtThread.Start([this] { Execute(); }, Name);
}

TWorkerThread::~TWorkerThread() {
  ShutdownAndWait();
}

void TWorkerThread::Reset() {
  wtPaused = false;
  {
    std::lock_guard<std::mutex> lock(wtLock);
    wtChangeHandle = true;
  }
  wtSignal.notify_all();
}

void TWorkerThread::Shutdown() {
  wtVirtualFolder = nullptr;
  wtTerminated = true;
  {
    std::lock_guard<std::mutex> lock(wtLock);
    wtShutdownHandle = true;
  }
  wtSignal.notify_all();
}

void TWorkerThread::ShutdownAndWait() {
  Shutdown();
  wtThread.WaitFor();
}

void TWorkerThread::Execute() {
  while (!Terminated()) {
    {
      std::unique_lock<std::mutex> lock(wtLock);
      wtSignal.wait(lock, [this] { return wtChangeHandle || wtShutdownHandle; });
      if (wtShutdownHandle) {
        wtShutdownHandle = false;
        continue;
      }
      // Let a burst of signals settle. Only shutdown cuts the delay short;
      // signals meanwhile stay pending and are taken below, because the pass
      // that follows serves them.
      const auto deadline = std::chrono::steady_clock::now() + Delay;
      if (wtSignal.wait_until(lock, deadline, [this] { return wtShutdownHandle; })) continue;
      wtChangeHandle = false;
    }
    TWorkerClient* folder = wtVirtualFolder.load();
    if (!folder || Terminated()) continue;
    try {
      RunPass(*folder);
    } catch (...) {
      toolkit::logLine(QStringLiteral("Worker pass error: ") +
                       toolkit::exceptionMessage(std::current_exception()));
    }
  }
}

TFolderThread::TFolderThread(TWorkerClient* VirtualFolder)
    : TWorkerThread(VirtualFolder, "dizad-folders") {}
TFolderThread::~TFolderThread() {
  ShutdownAndWait();
}

TImageThread::TImageThread(TWorkerClient* VirtualFolder)
    : TWorkerThread(VirtualFolder, "dizad-thumbs") {}
TImageThread::~TImageThread() {
  ShutdownAndWait();
}

TIconThread::TIconThread(TWorkerClient* VirtualFolder)
    : TWorkerThread(VirtualFolder, "dizad-icons") {}
TIconThread::~TIconThread() {
  ShutdownAndWait();
}

}  // namespace dizad::tasks

#pragma once
// Tells the drive overview when media come and go.
//
// Listens to GIO's volume monitor on the GUI thread: a mount added is
// reported as media inserted with the mount's root, a mount removed as media
// removed, and any other volume or drive change as changed ("unknown"). The
// signals arrive through the GLib main context, which Qt's event loop runs on
// the GUI thread.
//
// Field prefix: mn. GUI thread only.

#include <gio/gio.h>
#include <QString>
#include <vector>

#include "toolkit/gobjectptr.h"

namespace dizad::tasks {

enum TEventType { etChanged, etCreated, etDeleted, etRenamed, etMediaInserted, etMediaRemoved };

// The folder side of a media notifier. Called on the GUI thread. Pah is the
// mount root (a local path, or a URI for a mount without one); for etChanged
// it is "unknown".
class TMediaClient {
 public:
  virtual ~TMediaClient() = default;
  virtual void OnMonitorNotify(TEventType EventType, const QString& Pah) = 0;
};

class TMediaNotifier {
 public:
  explicit TMediaNotifier(TMediaClient* VirtualFolder);
  ~TMediaNotifier();
  TMediaNotifier(const TMediaNotifier&) = delete;
  TMediaNotifier& operator=(const TMediaNotifier&) = delete;

  void Start();
  void Stop();
  bool Active() const { return mnActive; }

  // The root a mount reports: its local path, or its URI when it has none.
  static QString MountRoot(GMount* Mount);

 private:
  static void OnMountAdded(GVolumeMonitor*, GMount* Mount, gpointer Self);
  static void OnMountRemoved(GVolumeMonitor*, GMount* Mount, gpointer Self);
  static void OnOtherChange(GVolumeMonitor*, gpointer, gpointer Self);
  void Notify(TEventType EventType, const QString& Pah);

  toolkit::TGObjectPtr<GVolumeMonitor> mnMessageHandle;  // while active
  std::vector<gulong> mnHandlers;                        // signal connections on mnMessageHandle
  bool mnActive = false;
  TMediaClient* mnFolder;  // not owned; the folder owns this notifier
};

}  // namespace dizad::tasks

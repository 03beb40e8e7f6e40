#include "tasks/medianotifier.h"

#include "toolkit/application.h"

#include <memory>

namespace dizad::tasks {

namespace {

struct TGFree {
  void operator()(char* text) const { g_free(text); }
};
using TGString = std::unique_ptr<char, TGFree>;

}  // namespace

TMediaNotifier::TMediaNotifier(TMediaClient* VirtualFolder) : mnFolder(VirtualFolder) {}

TMediaNotifier::~TMediaNotifier() {
  Stop();
}

void TMediaNotifier::Start() {
  if (mnActive) return;
  mnMessageHandle = toolkit::TGObjectPtr<GVolumeMonitor>::Adopt(g_volume_monitor_get());
  gpointer self = this;
  mnHandlers.push_back(
      g_signal_connect(mnMessageHandle.get(), "mount-added", G_CALLBACK(OnMountAdded), self));
  mnHandlers.push_back(
      g_signal_connect(mnMessageHandle.get(), "mount-removed", G_CALLBACK(OnMountRemoved), self));
  for (const char* signal : {"mount-changed", "volume-added", "volume-removed", "volume-changed",
                             "drive-connected", "drive-disconnected", "drive-changed"})
    mnHandlers.push_back(
        g_signal_connect(mnMessageHandle.get(), signal, G_CALLBACK(OnOtherChange), self));
  mnActive = true;
}

void TMediaNotifier::Stop() {
  if (!mnActive) return;
  for (gulong handler : mnHandlers) g_signal_handler_disconnect(mnMessageHandle.get(), handler);
  mnHandlers.clear();
  mnMessageHandle.Reset();
  mnActive = false;
}

QString TMediaNotifier::MountRoot(GMount* Mount) {
  auto root = toolkit::TGObjectPtr<GFile>::Adopt(g_mount_get_root(Mount));
  if (!root) return QString();
  TGString path(g_file_get_path(root));
  if (path) return QString::fromUtf8(path.get());
  TGString uri(g_file_get_uri(root));
  return uri ? QString::fromUtf8(uri.get()) : QString();
}

void TMediaNotifier::Notify(TEventType EventType, const QString& Pah) {
  if (!mnFolder) return;
  // We are inside a GLib signal emission: nothing may unwind through it.
  try {
    mnFolder->OnMonitorNotify(EventType, Pah);
  } catch (...) {
    toolkit::HandleException(std::current_exception());
  }
}

void TMediaNotifier::OnMountAdded(GVolumeMonitor*, GMount* Mount, gpointer Self) {
  static_cast<TMediaNotifier*>(Self)->Notify(etMediaInserted, MountRoot(Mount));
}

void TMediaNotifier::OnMountRemoved(GVolumeMonitor*, GMount* Mount, gpointer Self) {
  static_cast<TMediaNotifier*>(Self)->Notify(etMediaRemoved, MountRoot(Mount));
}

void TMediaNotifier::OnOtherChange(GVolumeMonitor*, gpointer, gpointer Self) {
  static_cast<TMediaNotifier*>(Self)->Notify(etChanged, QStringLiteral("unknown"));
}

}  // namespace dizad::tasks

#include "shell/computerfolder.h"

#include "shell/gioutil.h"
#include "shell/volume.h"
#include "toolkit/sync.h"

#include <QHash>
#include <mutex>

namespace dizad::shell {

namespace {

using toolkit::TGObjectPtr;

std::mutex& iconLock() {
  static std::mutex m;
  return m;
}
QHash<QString, QStringList>& iconsByRoot() {  // guarded by iconLock()
  static QHash<QString, QStringList> icons;
  return icons;
}

QStringList defaultIcons(TShellDriveKind kind) {
  switch (kind) {
    case TShellDriveKind::Removable:
      return {QStringLiteral("drive-removable-media"), QStringLiteral("drive-harddisk")};
    case TShellDriveKind::CDRom:
      return {QStringLiteral("media-optical"), QStringLiteral("drive-optical")};
    case TShellDriveKind::Remote:
      return {QStringLiteral("folder-remote"), QStringLiteral("network-server")};
    case TShellDriveKind::Mobile:
      return {QStringLiteral("phone"), QStringLiteral("multimedia-player")};
    case TShellDriveKind::Fixed:
    case TShellDriveKind::RamDisk:
      break;
  }
  return {QStringLiteral("drive-harddisk")};
}

// The drive kind of a local mount point; false when it has no root any more.
bool localDriveKind(const QString& root, TShellDriveKind& kind) {
  switch (DriveType(root)) {
    case TDriveType::NoRootDir:
      return false;
    case TDriveType::Removable:
      kind = TShellDriveKind::Removable;
      break;
    case TDriveType::Remote:
      kind = TShellDriveKind::Remote;
      break;
    case TDriveType::CDRom:
      kind = TShellDriveKind::CDRom;
      break;
    case TDriveType::RamDisk:
      kind = TShellDriveKind::RamDisk;
      break;
    case TDriveType::Unknown:
    case TDriveType::Fixed:
      kind = TShellDriveKind::Fixed;
      break;
  }
  return true;
}

bool onRemovableDrive(GMount* mount) {
  if (g_mount_can_eject(mount)) return true;
  auto drive = TGObjectPtr<GDrive>::Adopt(g_mount_get_drive(mount));
  return drive && (g_drive_is_removable(drive) || g_drive_is_media_removable(drive));
}

std::shared_ptr<TItemIdData> driveRecord(const QString& name, const QString& path,
                                         TShellDriveKind kind, bool native, QStringList icons) {
  auto rec = std::make_shared<TItemIdData>();
  rec->Name = rec->DisplayName = name;
  rec->FullPath = path;
  rec->Kind = TEntryKind::Drive;
  rec->DriveKind = kind;
  rec->Native = native;
  rec->HasFindData = true;
  rec->IconNames = icons.isEmpty() ? defaultIcons(kind) : std::move(icons);
  return rec;
}

std::vector<TItemIdList> listOnGuiThread() {
  std::vector<TItemIdList> drives;
  QStringList seen;
  const QString root = QStringLiteral("/");
  drives.push_back(driveRecord(root, root, TShellDriveKind::Fixed, true, {}));
  seen << root;

  auto monitor = TGObjectPtr<GVolumeMonitor>::Adopt(g_volume_monitor_get());
  GList* mounts = g_volume_monitor_get_mounts(monitor);
  for (GList* m = mounts; m; m = m->next) {
    GMount* mount = G_MOUNT(m->data);
    if (g_mount_is_shadowed(mount)) continue;
    auto rootFile = TGObjectPtr<GFile>::Adopt(g_mount_get_root(mount));
    const bool native = g_file_is_native(rootFile);
    const QString path = native ? takeString(g_file_get_path(rootFile)) : uriOf(rootFile);
    if (path.isEmpty() || seen.contains(path)) continue;
    TShellDriveKind kind = TShellDriveKind::Remote;
    if (!native) {
      if (isDeviceScheme(schemeOf(path))) kind = TShellDriveKind::Mobile;
    } else {
      if (!localDriveKind(path, kind)) continue;
      if (kind == TShellDriveKind::Fixed && onRemovableDrive(mount))
        kind = TShellDriveKind::Removable;
    }
    auto icon = TGObjectPtr<GIcon>::Adopt(g_mount_get_icon(mount));
    drives.push_back(
        driveRecord(takeString(g_mount_get_name(mount)), path, kind, native, iconNames(icon)));
    seen << path;
  }
  g_list_free_full(mounts, g_object_unref);

  GList* volumes = g_volume_monitor_get_volumes(monitor);
  for (GList* v = volumes; v; v = v->next) {
    GVolume* volume = G_VOLUME(v->data);
    auto activation = TGObjectPtr<GFile>::Adopt(g_volume_get_activation_root(volume));
    if (!activation) continue;
    const QString uri = uriOf(activation);
    if (!isDeviceScheme(schemeOf(uri)) || seen.contains(uri)) continue;
    auto mount = TGObjectPtr<GMount>::Adopt(g_volume_get_mount(volume));
    if (mount) {
      auto mountRoot = TGObjectPtr<GFile>::Adopt(g_mount_get_root(mount));
      if (seen.contains(uriOf(mountRoot))) continue;
    }
    auto icon = TGObjectPtr<GIcon>::Adopt(g_volume_get_icon(volume));
    drives.push_back(driveRecord(takeString(g_volume_get_name(volume)), uri,
                                 TShellDriveKind::Mobile, false, iconNames(icon)));
    seen << uri;
  }
  g_list_free_full(volumes, g_object_unref);

  QHash<QString, QStringList> icons;
  for (const TItemIdList& d : drives) icons.insert(d->FullPath, d->IconNames);
  std::lock_guard<std::mutex> lock(iconLock());
  iconsByRoot() = std::move(icons);
  return drives;
}

}  // namespace

std::vector<TItemIdList> listDrives() {
  std::vector<TItemIdList> drives;
  toolkit::Synchronize([&] { drives = listOnGuiThread(); });
  return drives;
}

QStringList driveIconNames(const QString& root) {
  {
    std::lock_guard<std::mutex> lock(iconLock());
    auto it = iconsByRoot().constFind(root);
    if (it != iconsByRoot().constEnd()) return *it;
  }
  if (root == QLatin1String("/")) return defaultIcons(TShellDriveKind::Fixed);
  return {};
}

bool isDeviceScheme(const QString& scheme) {
  return scheme == QLatin1String("mtp") || scheme == QLatin1String("gphoto2") ||
         scheme == QLatin1String("afc");
}

}  // namespace dizad::shell

#include "shell/volume.h"

#include "toolkit/gobjectptr.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QUrl>
#include <mutex>

namespace dizad::shell {

using toolkit::TGObjectPtr;

namespace {

// Frees a GError on scope exit; the callers only care whether a call failed.
struct TErrorHolder {
  GError* Error = nullptr;
  ~TErrorHolder() {
    if (Error) g_error_free(Error);
  }
};

// Owns a g_malloc'ed string.
struct TGString {
  char* Text = nullptr;
  ~TGString() { g_free(Text); }
};

// Local path of a file:// URI or an absolute path, cleaned; empty otherwise.
QString localPathOf(const QString& path) {
  QString p = path;
  if (p.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
    p = QUrl(p).toLocalFile();
  }
  if (!p.startsWith(QLatin1Char('/'))) return {};
  return QDir::cleanPath(p);
}

bool pathInside(const QString& path, const QString& mountPoint) {
  if (mountPoint == QLatin1String("/")) return true;
  return path == mountPoint ||
         (path.startsWith(mountPoint) && path.at(mountPoint.size()) == QLatin1Char('/'));
}

// The topmost mount table entry whose mount point is the longest one
// containing path; nullptr when there is none.
const TMountEntry* enclosingMount(const std::vector<TMountEntry>& table, const QString& path) {
  const TMountEntry* best = nullptr;
  for (const TMountEntry& m : table) {
    if (!pathInside(path, m.MountPoint)) continue;
    // ">=": a later entry on the same mount point is mounted over the earlier one.
    if (!best || m.MountPoint.size() >= best->MountPoint.size()) best = &m;
  }
  return best;
}

// "mtp://device/" for "mtp://device/Internal/DCIM": the URI's scheme and host.
QString uriHostPart(const QString& uri) {
  const qsizetype schemeEnd = uri.indexOf(QLatin1String("://"));
  const qsizetype slash = uri.indexOf(QLatin1Char('/'), schemeEnd + 3);
  if (slash < 0) return uri + QLatin1Char('/');
  return uri.left(slash + 1);
}

TGObjectPtr<GFile> gfileForUri(const QString& uri) {
  return TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(uri.toUtf8().constData()));
}

TGObjectPtr<GMount> enclosingGioMount(const QString& uri) {
  TGObjectPtr<GFile> file = gfileForUri(uri);
  TErrorHolder err;
  return TGObjectPtr<GMount>::Adopt(g_file_find_enclosing_mount(file, nullptr, &err.Error));
}

TGObjectPtr<GFileInfo> queryFilesystem(const QString& uri, const char* attributes) {
  TGObjectPtr<GFile> file = gfileForUri(uri);
  TErrorHolder err;
  return TGObjectPtr<GFileInfo>::Adopt(
      g_file_query_filesystem_info(file, attributes, nullptr, &err.Error));
}

QString uriScheme(const QString& uri) {
  return uri.left(uri.indexOf(QLatin1String("://"))).toLower();
}

TDriveType uriDriveType(const QString& uri) {
  const QString scheme = uriScheme(uri);
  // Cameras and phones hang on a cable: they come and go like a stick.
  static const QStringList kDeviceSchemes{QStringLiteral("mtp"), QStringLiteral("gphoto2"),
                                          QStringLiteral("afc")};
  if (kDeviceSchemes.contains(scheme)) return TDriveType::Removable;
  if (TGObjectPtr<GMount> mount = enclosingGioMount(uri)) {
    if (g_mount_can_eject(mount)) return TDriveType::Removable;
    TGObjectPtr<GDrive> drive = TGObjectPtr<GDrive>::Adopt(g_mount_get_drive(mount));
    if (drive && g_drive_is_removable(drive)) return TDriveType::Removable;
  }
  return TDriveType::Remote;
}

bool isRemoteFsType(const QString& fs) {
  static const QStringList kRemote{QStringLiteral("nfs"),
                                   QStringLiteral("nfs4"),
                                   QStringLiteral("cifs"),
                                   QStringLiteral("smb3"),
                                   QStringLiteral("smbfs"),
                                   QStringLiteral("sshfs"),
                                   QStringLiteral("ncpfs"),
                                   QStringLiteral("afs"),
                                   QStringLiteral("ceph"),
                                   QStringLiteral("glusterfs"),
                                   QStringLiteral("9p"),
                                   QStringLiteral("davfs"),
                                   QStringLiteral("lustre"),
                                   QStringLiteral("fuse.sshfs"),
                                   QStringLiteral("fuse.rclone"),
                                   QStringLiteral("fuse.s3fs"),
                                   QStringLiteral("fuse.gcsfuse"),
                                   QStringLiteral("fuse.gvfsd-fuse"),
                                   QStringLiteral("fuse.curlftpfs"),
                                   QStringLiteral("fuse.httpfs"),
                                   QStringLiteral("fuse.httpdirfs"),
                                   QStringLiteral("fuse.davfs2"),
                                   QStringLiteral("fuse.glusterfs"),
                                   QStringLiteral("fuse.ceph-fuse"),
                                   QStringLiteral("fuse.smbnetfs"),
                                   QStringLiteral("fuse.goofys"),
                                   QStringLiteral("fuse.blobfuse"),
                                   QStringLiteral("fuse.onedriver")};
  return kRemote.contains(fs);
}

QByteArray readSmallFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.read(64 * 1024);
}

// The sysfs "removable" flag of a block device; partitions carry none, so the
// walk goes up to the whole disk.
bool blockDeviceRemovable(quint32 major, quint32 minor) {
  const QString id = QStringLiteral("%1:%2").arg(major).arg(minor);
  QString dir = QFileInfo(QStringLiteral("/sys/dev/block/") + id).canonicalFilePath();
  while (dir.startsWith(QLatin1String("/sys/devices/"))) {
    const QString flag = dir + QLatin1String("/removable");
    if (QFileInfo::exists(flag)) {
      if (readSmallFile(flag).trimmed() == "1") return true;
      break;
    }
    dir = QFileInfo(dir).path();
  }
  // Disks on USB report removable 0 although they are unplugged like sticks;
  // udev knows the bus.
  const QByteArray udev = readSmallFile(QStringLiteral("/run/udev/data/b") + id);
  return udev.contains("\nE:ID_BUS=usb\n") || udev.startsWith("E:ID_BUS=usb\n");
}

}  // namespace

QString decodeMountField(const QByteArray& field) {
  QByteArray out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    const char c = field.at(i);
    if (c == '\\' && i + 3 < field.size()) {
      const char a = field.at(i + 1), b = field.at(i + 2), d = field.at(i + 3);
      auto octal = [](char x) { return x >= '0' && x <= '7'; };
      if (octal(a) && octal(b) && octal(d)) {
        out.append(char(((a - '0') << 6) | ((b - '0') << 3) | (d - '0')));
        i += 3;
        continue;
      }
    }
    out.append(c);
  }
  return QFile::decodeName(out);
}

std::vector<TMountEntry> parseMountInfo(const QByteArray& text) {
  std::vector<TMountEntry> table;
  for (const QByteArray& line : text.split('\n')) {
    const QList<QByteArray> f = line.split(' ');
    // id parent maj:min root mountpoint options [optional...] - fstype source superoptions
    qsizetype dash = -1;
    for (qsizetype i = 6; i < f.size(); ++i) {
      if (f.at(i) == "-") {
        dash = i;
        break;
      }
    }
    if (f.size() < 6 || dash < 0 || dash + 2 >= f.size()) continue;
    TMountEntry e;
    const QList<QByteArray> dev = f.at(2).split(':');
    if (dev.size() == 2) {
      e.Major = dev.at(0).toUInt();
      e.Minor = dev.at(1).toUInt();
    }
    e.Root = decodeMountField(f.at(3));
    e.MountPoint = decodeMountField(f.at(4));
    e.Options = QString::fromUtf8(f.at(5));
    e.FsType = decodeMountField(f.at(dash + 1));
    e.Device = decodeMountField(f.at(dash + 2));
    if (e.MountPoint.startsWith(QLatin1Char('/'))) table.push_back(std::move(e));
  }
  return table;
}

namespace {

std::vector<TMountEntry> readMountInfo() {
  QFile f(QStringLiteral("/proc/self/mountinfo"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  // Proc files report no size: readAll reads until the end.
  return parseMountInfo(f.readAll());
}

// The parsed mount table, read again only when the kernel says it changed:
// an open /proc/self/mountinfo polls with POLLPRI after every mount and
// unmount in this process's namespace, and the poll itself clears that flag.
// The descriptor is kept for that poll alone.
class TMountTableCache {
 public:
  ~TMountTableCache() {
    if (FFd >= 0) ::close(FFd);
  }
  TMountTable Get() {
    std::lock_guard<std::mutex> lock(FLock);
    if (FFd < 0) {
      FFd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
      // Without the file there is nothing to watch: answer empty, try again later.
      if (FFd < 0) return std::make_shared<const std::vector<TMountEntry>>();
    }
    pollfd p{FFd, POLLPRI, 0};
    const bool changed = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLPRI | POLLERR)) != 0;
    if (changed || !FTable)
      FTable = std::make_shared<const std::vector<TMountEntry>>(readMountInfo());
    return FTable;
  }

 private:
  std::mutex FLock;
  int FFd = -1;
  TMountTable FTable;
};

}  // namespace

TMountTable readMountTable() {
  static TMountTableCache cache;
  return cache.Get();
}

bool isUriLocation(const QString& path) {
  const qsizetype sep = path.indexOf(QLatin1String("://"));
  if (sep <= 0) return false;
  for (qsizetype i = 0; i < sep; ++i) {
    const QChar c = path.at(i);
    const bool ok =
        (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
        (i > 0 && ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
                   c == QLatin1Char('-') || c == QLatin1Char('.')));
    if (!ok) return false;
  }
  return path.left(sep).compare(QLatin1String("file"), Qt::CaseInsensitive) != 0;
}

QString DrivePart(const QString& path) {
  if (isUriLocation(path)) {
    if (TGObjectPtr<GMount> mount = enclosingGioMount(path)) {
      TGObjectPtr<GFile> root = TGObjectPtr<GFile>::Adopt(g_mount_get_root(mount));
      TGString uri{g_file_get_uri(root)};
      if (uri.Text) return QString::fromUtf8(uri.Text);
    }
    return uriHostPart(path);
  }
  const QString local = localPathOf(path);
  if (local.isEmpty()) return {};
  const TMountTable table = readMountTable();
  const TMountEntry* m = enclosingMount(*table, local);
  // Without a readable mount table the root file system still holds everything.
  return m ? m->MountPoint : QStringLiteral("/");
}

bool IsVolumeReady(const QString& root) {
  if (isUriLocation(root)) return bool(queryFilesystem(root, "filesystem::*"));
  const QString local = localPathOf(root);
  if (local.isEmpty()) return false;
  struct statvfs st;
  return ::statvfs(QFile::encodeName(local).constData(), &st) == 0;
}

TDriveType driveTypeOfMount(const TMountEntry& mount) {
  const QString fs = mount.FsType.toLower();
  if (fs == QLatin1String("iso9660") || fs == QLatin1String("udf")) return TDriveType::CDRom;
  if (isRemoteFsType(fs)) return TDriveType::Remote;
  if (fs == QLatin1String("tmpfs") || fs == QLatin1String("ramfs")) return TDriveType::RamDisk;
  // Major 0 is the kernel's number for file systems without a block device.
  if (mount.Major != 0 && blockDeviceRemovable(mount.Major, mount.Minor))
    return TDriveType::Removable;
  return TDriveType::Fixed;
}

TDriveType DriveType(const QString& root) {
  if (isUriLocation(root)) return uriDriveType(root);
  const QString local = localPathOf(root);
  if (local.isEmpty()) return TDriveType::NoRootDir;
  struct stat st;
  if (::stat(QFile::encodeName(local).constData(), &st) != 0) return TDriveType::NoRootDir;
  const TMountTable table = readMountTable();
  const TMountEntry* m = enclosingMount(*table, local);
  return m ? driveTypeOfMount(*m) : TDriveType::Unknown;
}

QString FileSystemName(const QString& root) {
  if (isUriLocation(root)) {
    TGObjectPtr<GFileInfo> info = queryFilesystem(root, G_FILE_ATTRIBUTE_FILESYSTEM_TYPE);
    if (!info) return {};
    const char* type = g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_FILESYSTEM_TYPE);
    return type ? QString::fromUtf8(type) : QString();
  }
  const QString local = localPathOf(root);
  if (local.isEmpty()) return {};
  const TMountTable table = readMountTable();
  const TMountEntry* m = enclosingMount(*table, local);
  return m ? m->FsType : QString();
}

bool VolumeSpace(const QString& root, quint64& total, quint64& freeToUser) {
  if (isUriLocation(root)) {
    TGObjectPtr<GFileInfo> info = queryFilesystem(root, "filesystem::size,filesystem::free");
    if (!info || !g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_FILESYSTEM_SIZE)) return false;
    total = g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_FILESYSTEM_SIZE);
    freeToUser = g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_FILESYSTEM_FREE);
    return true;
  }
  const QString local = localPathOf(root);
  if (local.isEmpty()) return false;
  struct statvfs st;
  if (::statvfs(QFile::encodeName(local).constData(), &st) != 0) return false;
  total = quint64(st.f_blocks) * st.f_frsize;
  freeToUser = quint64(st.f_bavail) * st.f_frsize;
  return true;
}

}  // namespace dizad::shell

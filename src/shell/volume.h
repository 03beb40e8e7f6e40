#pragma once
// Volume helpers: what the program knows about mounted volumes (the drives of
// the computer folder). A drive is a mounted volume and its root is the mount
// point; non-native GIO locations (mtp://, smb://, sftp://...) are volumes too,
// reached through their GIO mount.
//
// The only state is the parsed mount table, which is read again whenever the
// kernel reports a mount or unmount, so the answers follow them at once. All
// functions are safe on any thread.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace dizad::shell {

// One line of /proc/self/mountinfo, with its octal escapes (\040 ...) decoded.
struct TMountEntry {
  QString MountPoint;  // where the volume is mounted, as the kernel reports it
  QString FsType;      // "ext4", "vfat", "fuse.sshfs" ...
  QString Device;      // mount source: "/dev/sda1", "server:/export", "tmpfs" ...
  QString Options;     // per-mount options ("rw,relatime")
  QString Root;        // the part of the file system that is mounted ("/" mostly)
  quint32 Major = 0;   // device number of the mounted file system
  quint32 Minor = 0;
};

using TMountTable = std::shared_ptr<const std::vector<TMountEntry>>;

// The current mount table of this process (never null; empty when it cannot be
// read). It is parsed again only after the kernel reports a mount or unmount,
// so calling this often is cheap.
TMountTable readMountTable();
// Parses mountinfo text; malformed lines are skipped.
std::vector<TMountEntry> parseMountInfo(const QByteArray& text);
// Decodes the octal escapes the kernel writes for space, tab, newline and "\".
QString decodeMountField(const QByteArray& field);

// True for a location of a non-native GIO backend: a URI with a scheme other
// than file://.
bool isUriLocation(const QString& path);

// The drive part of a path: the longest mount point containing the absolute
// path (after removing "." and ".." and doubled slashes, without following
// links); for a non-native URI its GIO mount's root URI, else the URI's
// scheme://host/ part. Empty for relative and pseudo paths.
QString DrivePart(const QString& path);

// True when the volume at root answers a file-system query.
bool IsVolumeReady(const QString& root);

enum class TDriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CDRom, RamDisk };

// What kind of drive root is. A path inside a volume answers for its volume;
// a path that does not exist is NoRootDir.
TDriveType DriveType(const QString& root);
// The drive type of a mount table entry (file-system type first, then the
// block device's removable flag).
TDriveType driveTypeOfMount(const TMountEntry& mount);

// File-system type of the volume at root ("ext4", ...); empty when unknown.
QString FileSystemName(const QString& root);

// Size of the volume and the bytes its user may still write; false when the
// volume does not answer (the outputs are then unchanged).
bool VolumeSpace(const QString& root, quint64& total, quint64& freeToUser);

}  // namespace dizad::shell

#pragma once
// Item id lists: the records that name shell entries.
//
// An item id list is an immutable record shared by reference count. One record
// serves as both the relative and the absolute list of an entry: it carries the
// entry's name (relative) and its full location (absolute), and everything read
// while the folder was enumerated (kind, size, times, hidden and write flags),
// so find data, type token, description and attributes come from memory,
// without a second query per entry. The content type is guessed from the name
// on first request and kept.
//
// Records are created by shell folders (shellfolder.h) and never change, so
// any thread may read them. Private fields carry the prefix "il".

#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

namespace dizad::shell {

enum class TEntryKind : quint8 { File, Folder, Drive };

// The kind of a drive entry of the computer folder.
enum class TShellDriveKind : quint8 { Fixed, Removable, Remote, CDRom, RamDisk, Mobile };

class TItemIdData {
 public:
  // The file name: bytes that are not UTF-8 are escaped (filename.h); drives
  // carry their name ("/" for the root, else the mount's name).
  QString Name;
  // The name as the user sees it (g_filename_display_name, GIO's display name).
  QString DisplayName;
  // Full path, or the URI of a location of another GIO file system.
  QString Path() const { return FullPath.isNull() ? ParentPath + Name : FullPath; }
  // Entries of a local folder share their folder's path (with its trailing
  // "/") instead of each keeping a copy of the whole; other records set FullPath.
  QString ParentPath;
  QString FullPath;
  TEntryKind Kind = TEntryKind::File;
  TShellDriveKind DriveKind = TShellDriveKind::Fixed;  // drives only
  bool Native = true;                                  // Path is a local path
  bool HasFindData = false;                            // the entry's data could be read
  bool Hidden = false;    // dot file or listed in the folder's ".hidden"
  bool ReadOnly = false;  // the entry cannot be written
  bool Symlink = false;
  qint64 Size = 0;
  // Milliseconds since 1970-01-01 UTC; 0 when unknown.
  qint64 Created = 0;
  qint64 Modified = 0;
  qint64 Accessed = 0;
  // Drives only: themed icon names of the mount or volume, best first; or a
  // single absolute path of an icon file.
  QStringList IconNames;

  // The content type guessed from the name ("inode/directory" for folders and drives).
  QString ContentType() const;

  bool IsFolderLike() const { return Kind != TEntryKind::File; }

 private:
  mutable std::once_flag ilContentTypeOnce;
  mutable QString ilContentType;  // written once under ilContentTypeOnce
};

using TItemIdList = std::shared_ptr<const TItemIdData>;

// The absolute list of an entry from its parent's absolute list and its own
// relative list. Records carry their full location, so this is the entry's own
// record; none when Relative is none.
TItemIdList ILCombine(const TItemIdList& ParentAbsolute, const TItemIdList& Relative);

// The type token of a file name: its extension from the last dot, dot included,
// in the name's letter case; "*File" when there is none. A leading dot marks a
// hidden file on Linux, not an extension: ".bashrc" has none, ".config.old"
// has ".old".
QString extensionToken(const QString& name);

// The content type GIO guesses from a file name alone (no contents read).
QString guessContentType(const QString& fileName);

}  // namespace dizad::shell

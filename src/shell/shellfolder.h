#pragma once
// Shell folders: locations whose entries can be listed.
//
// A TShellFolder is one of
//  - a local directory (a plain path or a file:// URI), listed with readdir and
//    one statx per entry on the directory's descriptor;
//  - a location of another GIO file system ("mtp://", "smb://", …), listed with
//    g_file_enumerate_children;
//  - the computer folder (the drives and portable devices, computerfolder.h).
// Folders are shared by reference count (TShellFolderPtr); the item id lists
// they hand out are independent records.
//
// Threads: any thread may enumerate a local or GIO folder; the computer folder
// lists the drives on the GUI thread (it hands the call over when needed).
// The scan reuse below is guarded by sfLock. Field prefixes: "sf" shell
// folder, "el" enumerator.

#include "shell/itemidlist.h"

#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace dizad::shell {

// Enumeration flags (the shell's SHCONTF values).
constexpr quint32 SHCONTF_FOLDERS = 0x20;
constexpr quint32 SHCONTF_NONFOLDERS = 0x40;
constexpr quint32 SHCONTF_INCLUDEHIDDEN = 0x80;
constexpr quint32 SHCONTF_STORAGE = 0x800;               // adds nothing here
constexpr quint32 SHCONTF_INCLUDESUPERHIDDEN = 0x10000;  // adds nothing here

// Hands out the entries of one enumeration, one at a time.
class TEnumIdList {
 public:
  TEnumIdList(std::shared_ptr<const std::vector<TItemIdList>> entries, quint32 flags)
      : elEntries(std::move(entries)), elFlags(flags) {}
  // The next entry that the flags admit; false when there are no more.
  bool Next(TItemIdList& entry);

 private:
  std::shared_ptr<const std::vector<TItemIdList>> elEntries;
  size_t elIndex = 0;
  quint32 elFlags;
};

class TShellFolder {
 public:
  enum class TKind { Local, Location, Computer };

  // Use ShellFolderFromPath (shellaccess.h) to bind a path.
  TShellFolder(TKind kind, QString path);
  TShellFolder(const TShellFolder&) = delete;
  TShellFolder& operator=(const TShellFolder&) = delete;

  TKind Kind() const { return sfKind; }
  // The folder's full path, URI, or ">CSIDL_DRIVES" for the computer folder.
  const QString& Path() const { return sfPath; }

  // Lists the folder's entries that the SHCONTF flags admit: folders,
  // non-folders (with neither flag, nothing), hidden entries only with
  // SHCONTF_INCLUDEHIDDEN. Returns none when the folder cannot be read.
  std::unique_ptr<TEnumIdList> EnumObjects(quint32 flags) const;
  // The same, collected.
  std::vector<TItemIdList> EnumAll(quint32 flags) const;

  // The record of one entry of this folder by its name; none when it does not exist.
  TItemIdList ParseDisplayName(const QString& name) const;

 private:
  std::shared_ptr<const std::vector<TItemIdList>> scan() const;

  const TKind sfKind;
  const QString sfPath;  // with a trailing "/" for local folders

  // A folder view lists folders and then files in two enumerations; the second
  // reuses the first's scan when the directory has not changed meanwhile. File
  // system times are coarse, so a directory changed shortly before its scan
  // may change again without a new time stamp: such a scan is not reused.
  struct TScanStamp {
    quint64 Dev = 0, Ino = 0;
    qint64 MtimeNs = 0, CtimeNs = 0;
    qint64 TakenNs = 0;  // wall clock, comparable with the time stamps
    std::chrono::steady_clock::time_point Taken;
    bool Reusable = false;
  };
  mutable std::mutex sfLock;
  mutable std::shared_ptr<const std::vector<TItemIdList>> sfLastScan;  // guarded by sfLock
  mutable TScanStamp sfLastStamp;                                      // guarded by sfLock
};

using TShellFolderPtr = std::shared_ptr<TShellFolder>;

// The binding of an item or folder to the shell.
struct TShellRec {
  TShellFolderPtr srFolder;  // the parent folder of the entry
  TItemIdList srListR;       // the entry relative to srFolder
  TItemIdList srListA;       // the entry from the top of the namespace
};

// Reads one local directory: every entry with its data, hidden ones included.
// dirPath is the directory's path with a trailing "/". Returns false when the
// directory cannot be opened. Exposed for the benchmark and the tests.
bool scanLocalDirectory(const QString& dirPath, std::vector<TItemIdList>& entries);

// The record of one local path (stat following links, lstat for a broken
// link); none when it does not exist.
TItemIdList localEntry(const QString& path);

}  // namespace dizad::shell

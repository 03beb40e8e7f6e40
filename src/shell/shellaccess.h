#pragma once
// Shell access: binding paths to shell folders and naming and classifying
// their entries.
//
// Everything here answers from the item id list records (itemidlist.h), so no
// call touches the disk except ShellFolderFromPath. Failures give neutral
// results: false, empty text, "*File". Any thread, except that binding or
// listing the computer folder runs on the GUI thread (handed over).

#include "shell/itemidlist.h"
#include "shell/shellfolder.h"

#include <QString>

class QWidget;

namespace dizad::shell {

constexpr int CSIDL_DRIVES = 17;

// Attribute bits (the shell's SFGAO values).
constexpr quint32 SFGAO_LINK = 0x00010000;
constexpr quint32 SFGAO_READONLY = 0x00040000;
constexpr quint32 SFGAO_HIDDEN = 0x00080000;
constexpr quint32 SFGAO_STREAM = 0x00400000;
constexpr quint32 SFGAO_REMOVABLE = 0x02000000;
constexpr quint32 SFGAO_FOLDER = 0x20000000;
constexpr quint32 SFGAO_FILESYSTEM = 0x40000000;

// Description ids (the shell's SHDESCRIPTIONID values).
constexpr quint32 SHDID_FS_FILE = 2;
constexpr quint32 SHDID_FS_DIRECTORY = 3;
constexpr quint32 SHDID_COMPUTER_REMOVABLE = 7;
constexpr quint32 SHDID_COMPUTER_FIXED = 8;
constexpr quint32 SHDID_COMPUTER_NETDRIVE = 9;
constexpr quint32 SHDID_COMPUTER_CDROM = 10;
constexpr quint32 SHDID_COMPUTER_RAMDISK = 11;
constexpr quint32 SHDID_MOBILE_DEVICE = 21;

// Attribute flags of find data.
constexpr quint32 FILE_ATTRIBUTE_READONLY = 0x1;
constexpr quint32 FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr quint32 FILE_ATTRIBUTE_SYSTEM = 0x4;
constexpr quint32 FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr quint32 FILE_ATTRIBUTE_ARCHIVE = 0x20;

// The find data of an entry.
struct TFindData {
  QString FileName;
  qint64 Size = 0;
  // Milliseconds since 1970-01-01 UTC; 0 when unknown.
  qint64 CreationTime = 0;
  qint64 LastAccessTime = 0;
  qint64 LastWriteTime = 0;
  // FILE_ATTRIBUTE_*: read-only when the entry cannot be written, hidden for dot
  // files and names in the folder's ".hidden", directory for folders and
  // drives; system and archive are never set.
  quint32 Attributes = 0;
};

// CSIDL_DRIVES when Path contains "CSIDL_DRIVES" (letter case counts), else -1.
int SpecialFolderOf(const QString& Path);

// Binds Path to a shell folder: an absolute local path or file:// URI of a
// directory, a URI of another GIO location (mounted first when it needs to
// be), or any text containing "CSIDL_DRIVES" for the computer folder. Pidl
// receives the folder's own record. Owner is unused: binding shows no UI.
// Blocks while GIO answers for a non-native location.
bool ShellFolderFromPath(QWidget* Owner, const QString& Path, TItemIdList& Pidl,
                         TShellFolderPtr& Folder);

// The entry's name: its display name; with ForParsing or ForAddressBar its full
// path (the URI for non-native locations). Empty without an entry.
QString ShellDisplayName(const TShellFolderPtr& Folder, const TItemIdList& Pidl, bool ForParsing,
                         bool ForAddressBar);

// True when every bit of Mask is set for the entry; false without folder or entry.
bool ShellHasAttributes(quint32 Mask, const TShellFolderPtr& Folder, const TItemIdList& Pidl);

// "*Folder", the drive tokens, the extension of a file with its dot, or "*File".
QString ShellItemType(const TShellFolderPtr& Folder, const TItemIdList& Pidl);

bool ShellFindData(const TShellFolderPtr& Folder, const TItemIdList& Pidl, TFindData& Data);

// 3 for a directory, 2 for any other entry, the drive kinds 7, 8, 9, 10, 11, 21.
bool ShellDescriptionID(const TShellFolderPtr& Folder, const TItemIdList& Pidl, quint32& Id);

// All attribute bits of an entry (SFGAO_*).
quint32 shellAttributes(const TItemIdList& Pidl);

}  // namespace dizad::shell

#include "shell/shellaccess.h"

#include "shell/filename.h"
#include "shell/gioutil.h"
#include "shell/volume.h"

#include <gio/gio.h>

namespace dizad::shell {

namespace {

using toolkit::TGObjectPtr;

// Mounts the volume that holds file (a device or share that GIO knows but has
// not mounted yet), waiting for GIO on a private main context.
bool mountEnclosingVolume(GFile* file) {
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  struct TState {
    bool Done = false;
    bool Ok = false;
  } state;
  auto operation = TGObjectPtr<GMountOperation>::Adopt(g_mount_operation_new());
  g_file_mount_enclosing_volume(
      file, G_MOUNT_MOUNT_NONE, operation, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* s = static_cast<TState*>(data);
        GError* error = nullptr;
        s->Ok = g_file_mount_enclosing_volume_finish(G_FILE(source), result, &error) ||
                g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED);
        g_clear_error(&error);
        s->Done = true;
      },
      &state);
  while (!state.Done) g_main_context_iteration(context, TRUE);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  return state.Ok;
}

TItemIdList locationFolderRecord(GFile* file, GFileInfo* info, const QString& uri) {
  auto rec = std::make_shared<TItemIdData>();
  rec->Native = false;
  rec->HasFindData = true;
  rec->Kind = TEntryKind::Folder;
  rec->FullPath = uri;
  rec->Name = takeString(g_file_get_basename(file));
  const char* display = g_file_info_get_display_name(info);
  rec->DisplayName = display ? QString::fromUtf8(display) : rec->Name;
  rec->Modified =
      qint64(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED)) * 1000;
  rec->Created = rec->Modified;
  return rec;
}

bool bindLocation(const QString& path, TItemIdList& pidl, TShellFolderPtr& folder) {
  auto file = TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(path.toUtf8().constData()));
  if (g_file_is_native(file)) return false;
  const char* attributes = "standard::type,standard::display-name,time::modified";
  GError* error = nullptr;
  auto info = TGObjectPtr<GFileInfo>::Adopt(
      g_file_query_info(file, attributes, G_FILE_QUERY_INFO_NONE, nullptr, &error));
  if (!info && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_MOUNTED) &&
      mountEnclosingVolume(file)) {
    info = TGObjectPtr<GFileInfo>::Adopt(
        g_file_query_info(file, attributes, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  }
  g_clear_error(&error);
  if (!info) return false;
  const GFileType type = g_file_info_get_file_type(info);
  if (type != G_FILE_TYPE_DIRECTORY && type != G_FILE_TYPE_MOUNTABLE) return false;
  QString uri = uriOf(file);
  if (!uri.endsWith(QLatin1Char('/'))) uri += QLatin1Char('/');
  pidl = locationFolderRecord(file, info, uri);
  folder = std::make_shared<TShellFolder>(TShellFolder::TKind::Location, uri);
  return true;
}

quint32 descriptionOf(const TItemIdData& e) {
  switch (e.Kind) {
    case TEntryKind::File:
      return SHDID_FS_FILE;
    case TEntryKind::Folder:
      return SHDID_FS_DIRECTORY;
    case TEntryKind::Drive:
      break;
  }
  switch (e.DriveKind) {
    case TShellDriveKind::Removable:
      return SHDID_COMPUTER_REMOVABLE;
    case TShellDriveKind::Remote:
      return SHDID_COMPUTER_NETDRIVE;
    case TShellDriveKind::CDRom:
      return SHDID_COMPUTER_CDROM;
    case TShellDriveKind::RamDisk:
      return SHDID_COMPUTER_RAMDISK;
    case TShellDriveKind::Mobile:
      return SHDID_MOBILE_DEVICE;
    case TShellDriveKind::Fixed:
      break;
  }
  return SHDID_COMPUTER_FIXED;
}

}  // namespace

int SpecialFolderOf(const QString& Path) {
  return Path.contains(QLatin1String("CSIDL_DRIVES")) ? CSIDL_DRIVES : -1;
}

bool ShellFolderFromPath(QWidget* /*Owner*/, const QString& Path, TItemIdList& Pidl,
                         TShellFolderPtr& Folder) {
  Pidl = nullptr;
  Folder = nullptr;
  if (SpecialFolderOf(Path) == CSIDL_DRIVES) {
    auto rec = std::make_shared<TItemIdData>();
    rec->Name = rec->DisplayName = QStringLiteral("Computer");
    rec->FullPath = QStringLiteral(">CSIDL_DRIVES");
    rec->Kind = TEntryKind::Folder;
    rec->Native = false;
    Pidl = rec;
    Folder = std::make_shared<TShellFolder>(TShellFolder::TKind::Computer, rec->FullPath);
    return true;
  }
  if (isUriLocation(Path)) return bindLocation(Path, Pidl, Folder);
  const QByteArray local = LocalPathBytes(Path);
  if (local.isEmpty()) return false;
  QString dir = DecodeFileName(local);
  TItemIdList self = localEntry(dir);
  if (!self || self->Kind != TEntryKind::Folder) return false;
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  Pidl = self;
  Folder = std::make_shared<TShellFolder>(TShellFolder::TKind::Local, dir);
  return true;
}

QString ShellDisplayName(const TShellFolderPtr& /*Folder*/, const TItemIdList& Pidl,
                         bool ForParsing, bool ForAddressBar) {
  if (!Pidl) return {};
  return (ForParsing || ForAddressBar) ? Pidl->Path() : Pidl->DisplayName;
}

quint32 shellAttributes(const TItemIdList& Pidl) {
  if (!Pidl) return 0;
  quint32 a = 0;
  if (Pidl->IsFolderLike())
    a |= SFGAO_FOLDER;
  else
    a |= SFGAO_STREAM;
  if (Pidl->Kind == TEntryKind::Drive &&
      (Pidl->DriveKind == TShellDriveKind::Removable || Pidl->DriveKind == TShellDriveKind::CDRom ||
       Pidl->DriveKind == TShellDriveKind::Mobile))
    a |= SFGAO_REMOVABLE;
  if (Pidl->Native) a |= SFGAO_FILESYSTEM;
  if (Pidl->Hidden) a |= SFGAO_HIDDEN;
  if (Pidl->ReadOnly) a |= SFGAO_READONLY;
  if (Pidl->Symlink) a |= SFGAO_LINK;
  return a;
}

bool ShellHasAttributes(quint32 Mask, const TShellFolderPtr& Folder, const TItemIdList& Pidl) {
  if (!Folder || !Pidl) return false;
  return (shellAttributes(Pidl) & Mask) == Mask;
}

bool ShellDescriptionID(const TShellFolderPtr& /*Folder*/, const TItemIdList& Pidl, quint32& Id) {
  if (!Pidl) return false;
  Id = descriptionOf(*Pidl);
  return true;
}

bool ShellFindData(const TShellFolderPtr& /*Folder*/, const TItemIdList& Pidl, TFindData& Data) {
  if (!Pidl || !Pidl->HasFindData) return false;
  Data.FileName = Pidl->Name;
  Data.Size = Pidl->Size;
  Data.CreationTime = Pidl->Created;
  Data.LastAccessTime = Pidl->Accessed;
  Data.LastWriteTime = Pidl->Modified;
  Data.Attributes = 0;
  if (Pidl->ReadOnly) Data.Attributes |= FILE_ATTRIBUTE_READONLY;
  if (Pidl->Hidden) Data.Attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (Pidl->IsFolderLike()) Data.Attributes |= FILE_ATTRIBUTE_DIRECTORY;
  return true;
}

QString ShellItemType(const TShellFolderPtr& Folder, const TItemIdList& Pidl) {
  quint32 kind = 0;
  if (!ShellDescriptionID(Folder, Pidl, kind)) {
    if (ShellHasAttributes(SFGAO_REMOVABLE, Folder, Pidl))
      kind = SHDID_COMPUTER_REMOVABLE;
    else if (ShellHasAttributes(SFGAO_STREAM, Folder, Pidl))
      kind = SHDID_FS_FILE;
    else if (ShellHasAttributes(SFGAO_FOLDER, Folder, Pidl))
      kind = SHDID_FS_DIRECTORY;
  }
  switch (kind) {
    case SHDID_FS_DIRECTORY:
      return QStringLiteral("*Folder");
    case SHDID_FS_FILE:
      return extensionToken(Pidl->Name);
    case SHDID_COMPUTER_FIXED:
      return QStringLiteral("*Fixed_Drive");
    case SHDID_COMPUTER_REMOVABLE:
      return QStringLiteral("*Removable_Drive");
    case SHDID_COMPUTER_RAMDISK:
      return QStringLiteral("*Ram_Drive");
    case SHDID_COMPUTER_CDROM:
      return QStringLiteral("*CDROM_Drive");
    case SHDID_COMPUTER_NETDRIVE:
      return QStringLiteral("*Network_Drive");
    case SHDID_MOBILE_DEVICE:
      return QStringLiteral("*Mobile_Device");
    default:
      return QStringLiteral("*File");
  }
}

}  // namespace dizad::shell

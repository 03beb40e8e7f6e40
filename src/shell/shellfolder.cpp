#include "shell/shellfolder.h"

#include "shell/computerfolder.h"
#include "shell/filename.h"
#include "shell/gioutil.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <unordered_set>

namespace dizad::shell {

namespace {

using namespace std::chrono_literals;

// How long a scan may serve a second enumeration of an unchanged directory.
constexpr auto ScanReuseWindow = 2s;
// A scan may serve again only when the directory was last changed at least
// this long before it: well above the granularity of file system time stamps.
constexpr qint64 QuietBeforeScanNs = 100'000'000;
// Below this many entries a second thread costs more than it saves.
constexpr size_t ParallelStatThreshold = 2048;

constexpr unsigned StatxMask = STATX_TYPE | STATX_MODE | STATX_UID | STATX_GID | STATX_SIZE |
                               STATX_MTIME | STATX_ATIME | STATX_BTIME;

// Whether this process may write an entry with the given owner and mode; the
// same answer access(W_OK) gives, without a system call per entry.
class TWriteAccess {
 public:
  TWriteAccess() : waUid(geteuid()), waGid(getegid()) {
    const int count = getgroups(0, nullptr);
    if (count > 0) {
      waGroups.resize(count);
      waGroups.resize(std::max(0, getgroups(count, waGroups.data())));
    }
  }
  bool CanWrite(uid_t owner, gid_t group, unsigned mode) const {
    if (waUid == 0) return true;
    if (owner == waUid) return mode & S_IWUSR;
    if (group == waGid || std::find(waGroups.begin(), waGroups.end(), group) != waGroups.end())
      return mode & S_IWGRP;
    return mode & S_IWOTH;
  }

 private:
  uid_t waUid;
  gid_t waGid;
  std::vector<gid_t> waGroups;
};

const TWriteAccess& writeAccess() {
  static const TWriteAccess access;
  return access;
}

qint64 msecs(const struct statx_timestamp& t) {
  return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The names listed in a folder's ".hidden" file, one per line.
std::unordered_set<std::string> readHiddenList(int dfd) {
  std::unordered_set<std::string> names;
  const int fd = openat(dfd, ".hidden", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return names;
  std::string text;
  char buf[4096];
  ssize_t got;
  while ((got = read(fd, buf, sizeof buf)) > 0 && text.size() < (1u << 20)) text.append(buf, got);
  close(fd);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) names.emplace(text, start, end - start);
    start = end + 1;
  }
  return names;
}

struct TRawName {
  size_t Offset;  // into the name buffer, NUL-terminated there
  unsigned char Type;
};

struct TScanContext {
  int Dfd;
  QString DirPath;
  bool ReadOnlyVolume;
  const std::vector<char>* Buffer;
  const std::unordered_set<std::string>* HiddenNames;
};

std::shared_ptr<TItemIdData> makeRecord(const TScanContext& ctx, const char* name,
                                        unsigned char type) {
  struct statx sx;
  bool found = statx(ctx.Dfd, name, AT_NO_AUTOMOUNT, StatxMask, &sx) == 0;
  if (!found && (errno == ENOENT || errno == ELOOP)) {
    // A broken link is still listed, as a file with the link's own data.
    found = statx(ctx.Dfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatxMask, &sx) == 0;
    if (!found) return nullptr;  // gone since readdir
    sx.stx_mode = (sx.stx_mode & ~S_IFMT) | S_IFREG;
  }
  auto rec = std::make_shared<TItemIdData>();
  const size_t length = strlen(name);
  bool valid = true;
  rec->Name = DecodeFileName(name, length, &valid);
  rec->DisplayName = valid ? rec->Name : takeString(g_filename_display_name(name));
  rec->ParentPath = ctx.DirPath;
  rec->Hidden = name[0] == '.' || (ctx.HiddenNames->size() && ctx.HiddenNames->count(name));
  rec->Symlink = type == DT_LNK;
  if (found) {
    rec->HasFindData = true;
    rec->Kind = S_ISDIR(sx.stx_mode) ? TEntryKind::Folder : TEntryKind::File;
    rec->Size = rec->Kind == TEntryKind::File ? qint64(sx.stx_size) : 0;
    rec->Modified = msecs(sx.stx_mtime);
    rec->Accessed = msecs(sx.stx_atime);
    rec->Created = (sx.stx_mask & STATX_BTIME) ? msecs(sx.stx_btime) : rec->Modified;
    rec->ReadOnly =
        ctx.ReadOnlyVolume || !writeAccess().CanWrite(sx.stx_uid, sx.stx_gid, sx.stx_mode);
  } else {
    // Listed but not readable (no search right on the folder): keep what readdir told.
    rec->Kind = type == DT_DIR ? TEntryKind::Folder : TEntryKind::File;
  }
  return rec;
}

void statRange(const TScanContext& ctx, const std::vector<TRawName>& names, size_t begin,
               size_t end, std::vector<TItemIdList>& out) {
  out.reserve(out.size() + (end - begin));
  for (size_t i = begin; i < end; ++i) {
    const char* name = ctx.Buffer->data() + names[i].Offset;
    if (auto rec = makeRecord(ctx, name, names[i].Type)) out.push_back(std::move(rec));
  }
}

// Lists the directory open on dfd (which stays open).
bool scanLocalFd(int dfd, const QString& dirPath, std::vector<TItemIdList>& entries) {
  const int listFd = dup(dfd);
  if (listFd < 0) return false;
  DIR* dir = fdopendir(listFd);
  if (!dir) {
    close(listFd);
    return false;
  }
  std::vector<char> buffer;
  std::vector<TRawName> names;
  buffer.reserve(1 << 16);
  while (const dirent* d = readdir(dir)) {
    const char* n = d->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    names.push_back({buffer.size(), d->d_type});
    buffer.insert(buffer.end(), n, n + strlen(n) + 1);
  }
  closedir(dir);

  struct statvfs vfs;
  const bool readOnlyVolume = fstatvfs(dfd, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
  const auto hidden = readHiddenList(dfd);
  const TScanContext ctx{dfd, dirPath, readOnlyVolume, &buffer, &hidden};

  entries.clear();
  if (names.size() < ParallelStatThreshold || std::thread::hardware_concurrency() < 2) {
    statRange(ctx, names, 0, names.size(), entries);
    return true;
  }
  // The stat calls dominate; the second core takes the second half.
  const size_t half = names.size() / 2;
  std::vector<TItemIdList> tail;
  std::thread helper([&] { statRange(ctx, names, half, names.size(), tail); });
  statRange(ctx, names, 0, half, entries);
  helper.join();
  entries.insert(entries.end(), std::make_move_iterator(tail.begin()),
                 std::make_move_iterator(tail.end()));
  return true;
}

constexpr const char* LocationAttributes =
    "standard::name,standard::display-name,standard::type,standard::size,standard::is-hidden,"
    "standard::is-symlink,time::modified,time::modified-usec,time::access,time::created,"
    "access::can-write";

std::shared_ptr<TItemIdData> locationRecord(GFile* file, GFileInfo* info) {
  auto rec = std::make_shared<TItemIdData>();
  rec->Native = false;
  rec->HasFindData = true;
  const char* name = g_file_info_get_name(info);
  rec->Name = name ? DecodeFileName(name, strlen(name)) : QString();
  const char* display = g_file_info_get_display_name(info);
  rec->DisplayName = display ? QString::fromUtf8(display) : rec->Name;
  rec->FullPath = uriOf(file);
  const GFileType type = g_file_info_get_file_type(info);
  rec->Kind = (type == G_FILE_TYPE_DIRECTORY || type == G_FILE_TYPE_MOUNTABLE) ? TEntryKind::Folder
                                                                               : TEntryKind::File;
  rec->Size = rec->Kind == TEntryKind::File ? g_file_info_get_size(info) : 0;
  rec->Hidden = g_file_info_get_is_hidden(info);
  rec->Symlink = g_file_info_get_is_symlink(info);
  rec->Modified =
      qint64(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED)) * 1000 +
      g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_TIME_MODIFIED_USEC) / 1000;
  rec->Accessed =
      qint64(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_ACCESS)) * 1000;
  rec->Created =
      qint64(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_CREATED)) * 1000;
  if (rec->Created == 0) rec->Created = rec->Modified;
  if (g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_ACCESS_CAN_WRITE))
    rec->ReadOnly = !g_file_info_get_attribute_boolean(info, G_FILE_ATTRIBUTE_ACCESS_CAN_WRITE);
  return rec;
}

bool scanLocation(const QString& uri, std::vector<TItemIdList>& entries) {
  auto dir = toolkit::TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(uri.toUtf8().constData()));
  auto enumerator = toolkit::TGObjectPtr<GFileEnumerator>::Adopt(
      g_file_enumerate_children(dir, LocationAttributes, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  if (!enumerator) return false;
  entries.clear();
  for (;;) {
    GFileInfo* raw = nullptr;
    GFile* child = nullptr;
    // An error in the middle ends the listing; what was read so far stays.
    if (!g_file_enumerator_iterate(enumerator, &raw, &child, nullptr, nullptr) || !raw) break;
    entries.push_back(locationRecord(child, raw));
  }
  return true;
}

}  // namespace

bool TEnumIdList::Next(TItemIdList& entry) {
  const bool folders = elFlags & SHCONTF_FOLDERS;
  const bool files = elFlags & SHCONTF_NONFOLDERS;
  const bool hidden = elFlags & SHCONTF_INCLUDEHIDDEN;
  while (elIndex < elEntries->size()) {
    const TItemIdList& e = (*elEntries)[elIndex++];
    if (e->IsFolderLike() ? !folders : !files) continue;
    if (e->Hidden && !hidden) continue;
    entry = e;
    return true;
  }
  return false;
}

TShellFolder::TShellFolder(TKind kind, QString path) : sfKind(kind), sfPath(std::move(path)) {}

std::shared_ptr<const std::vector<TItemIdList>> TShellFolder::scan() const {
  auto entries = std::make_shared<std::vector<TItemIdList>>();
  switch (sfKind) {
    case TKind::Computer:
      *entries = listDrives();
      return entries;
    case TKind::Location:
      if (!scanLocation(sfPath, *entries)) return nullptr;
      return entries;
    case TKind::Local:
      break;
  }
  const int dfd = open(EncodeFileName(sfPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return nullptr;
  struct stat st;
  TScanStamp stamp;
  if (fstat(dfd, &st) == 0) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    stamp.Dev = st.st_dev;
    stamp.Ino = st.st_ino;
    stamp.MtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.CtimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.TakenNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    stamp.Taken = std::chrono::steady_clock::now();
    stamp.Reusable = stamp.TakenNs - std::max(stamp.MtimeNs, stamp.CtimeNs) > QuietBeforeScanNs;
    std::lock_guard<std::mutex> lock(sfLock);
    if (sfLastScan && sfLastStamp.Reusable && sfLastStamp.Dev == stamp.Dev &&
        sfLastStamp.Ino == stamp.Ino && sfLastStamp.MtimeNs == stamp.MtimeNs &&
        sfLastStamp.CtimeNs == stamp.CtimeNs && stamp.Taken - sfLastStamp.Taken < ScanReuseWindow) {
      close(dfd);
      return sfLastScan;
    }
  }
  const bool ok = scanLocalFd(dfd, sfPath, *entries);
  close(dfd);
  if (!ok) return nullptr;
  std::lock_guard<std::mutex> lock(sfLock);
  sfLastScan = entries;
  sfLastStamp = stamp;
  return entries;
}

std::unique_ptr<TEnumIdList> TShellFolder::EnumObjects(quint32 flags) const {
  auto entries = scan();
  if (!entries) return nullptr;
  return std::make_unique<TEnumIdList>(std::move(entries), flags);
}

std::vector<TItemIdList> TShellFolder::EnumAll(quint32 flags) const {
  std::vector<TItemIdList> out;
  auto list = EnumObjects(flags);
  if (!list) return out;
  TItemIdList e;
  while (list->Next(e)) out.push_back(std::move(e));
  return out;
}

TItemIdList TShellFolder::ParseDisplayName(const QString& name) const {
  if (name.isEmpty() || name.contains(QLatin1Char('/'))) return nullptr;
  switch (sfKind) {
    case TKind::Local:
      return localEntry(sfPath + name);
    case TKind::Location: {
      auto dir =
          toolkit::TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(sfPath.toUtf8().constData()));
      const QByteArray bytes = EncodeFileName(name);
      auto child = toolkit::TGObjectPtr<GFile>::Adopt(g_file_get_child(dir, bytes.constData()));
      auto info = toolkit::TGObjectPtr<GFileInfo>::Adopt(
          g_file_query_info(child, LocationAttributes, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
      if (!info) return nullptr;
      return locationRecord(child, info);
    }
    case TKind::Computer:
      for (const TItemIdList& d : listDrives())
        if (d->Name == name || d->FullPath == name) return d;
      return nullptr;
  }
  return nullptr;
}

bool scanLocalDirectory(const QString& dirPath, std::vector<TItemIdList>& entries) {
  const int dfd = open(EncodeFileName(dirPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return false;
  const bool ok = scanLocalFd(dfd, dirPath, entries);
  close(dfd);
  return ok;
}

TItemIdList localEntry(const QString& path) {
  QString dir = path;
  while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
  if (dir == QLatin1String("/")) {
    // The root has no parent to list it from.
    auto rec = std::make_shared<TItemIdData>();
    rec->Name = rec->DisplayName = rec->FullPath = dir;
    rec->Kind = TEntryKind::Folder;
    struct statx sx;
    if (statx(AT_FDCWD, "/", 0, StatxMask, &sx) == 0) {
      rec->HasFindData = true;
      rec->Modified = msecs(sx.stx_mtime);
      rec->Accessed = msecs(sx.stx_atime);
      rec->Created = (sx.stx_mask & STATX_BTIME) ? msecs(sx.stx_btime) : rec->Modified;
      rec->ReadOnly = !writeAccess().CanWrite(sx.stx_uid, sx.stx_gid, sx.stx_mode);
    }
    return rec;
  }
  const qsizetype slash = dir.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return nullptr;
  const QString parent = dir.left(slash + 1);
  const QByteArray name = EncodeFileName(dir.mid(slash + 1));
  const int dfd = open(EncodeFileName(parent).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return nullptr;
  struct statvfs vfs;
  const bool readOnlyVolume = fstatvfs(dfd, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
  const auto hidden = readHiddenList(dfd);
  std::vector<char> buffer(name.constData(), name.constData() + name.size() + 1);
  const TScanContext ctx{dfd, parent, readOnlyVolume, &buffer, &hidden};
  struct stat lst;
  const bool isLink =
      fstatat(dfd, name.constData(), &lst, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(lst.st_mode);
  auto rec = makeRecord(ctx, buffer.data(), isLink ? DT_LNK : DT_UNKNOWN);
  close(dfd);
  return rec;
}

}  // namespace dizad::shell

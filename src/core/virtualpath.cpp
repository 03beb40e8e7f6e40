#include "core/virtualpath.h"

#include "core/paramstring.h"
#include "shell/volume.h"
#include "toolkit/errors.h"
#include "toolkit/gobjectptr.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QtEndian>

namespace dizad::core {

namespace {

// Written by setAppDir on the GUI thread before any reader runs (see header).
QString gAppDir;

enum class TPresence { AsciiLowerInput, FullLowerResult };

struct TPrefixRule {
  QLatin1String Prefix;
  QLatin1String Tail;  // appended to AppDir + "/" to form the expansion
  TPresence Presence;
  bool WholeResult;  // the rule names a file and drops the rest of the input
};

// Order matters: a later rule that fires replaces what the earlier ones wrote.
const TPrefixRule kRules[] = {
    {QLatin1String("AppPath:\\"), QLatin1String(""), TPresence::AsciiLowerInput, false},
    {QLatin1String("DataPath:\\"), QLatin1String("Data/"), TPresence::AsciiLowerInput, false},
    {QLatin1String("ThemeDir:\\"), QLatin1String("Data/Theme/"), TPresence::FullLowerResult, false},
    {QLatin1String("ThemeData.dez:\\"), QLatin1String("Data/Theme/ThemeData.dez"),
     TPresence::FullLowerResult, false},
    {QLatin1String("FileTypes.dez:\\"), QLatin1String("Data/FileTypes.dez"),
     TPresence::FullLowerResult, true},
    {QLatin1String("FileGroups.dez:\\"), QLatin1String("Data/FileGroups.dez"),
     TPresence::FullLowerResult, true},
};

// Local file test that follows links; 0 = anything, 1 = folder, 2 = not a folder.
bool localExists(const QString& path, int mode) {
  struct stat st;
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
  const bool dir = S_ISDIR(st.st_mode);
  return mode == 0 || (mode == 1 && dir) || (mode == 2 && !dir);
}

bool uriExists(const QString& uri, int mode) {
  auto file = toolkit::TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(uri.toUtf8().constData()));
  const GFileType type = g_file_query_file_type(file, G_FILE_QUERY_INFO_NONE, nullptr);
  if (type == G_FILE_TYPE_UNKNOWN) return false;
  const bool dir = type == G_FILE_TYPE_DIRECTORY || type == G_FILE_TYPE_MOUNTABLE;
  return mode == 0 || (mode == 1 && dir) || (mode == 2 && !dir);
}

}  // namespace

QString AppDir() {
  // Until the main window sets it (tools, tests) the working directory stands in.
  return gAppDir.isEmpty() ? QDir::currentPath() : gAppDir;
}

QString setAppDir(const QString& dir) {
  QString previous = gAppDir;
  gAppDir = dir.size() > 1 ? RemovePathDelimiter(dir) : dir;
  return previous;
}

QString ExpandVirtualPath(const QString& Path) {
  QString result = Path;
  for (const TPrefixRule& rule : kRules) {
    const QString prefix = rule.Prefix;
    const bool present = rule.Presence == TPresence::AsciiLowerInput
                             ? lowerAscii(Path).contains(lowerAscii(prefix))
                             : result.toLower().contains(prefix.toLower());
    // The text so far may hold a prefix's text only because AppDir does; such a
    // text is no prefix the caller wrote and must not throw the expansion away.
    if (!present || !Path.contains(prefix, Qt::CaseInsensitive)) continue;
    // Each prefix stands for a fixed place below AppDir; building it directly
    // (rather than by expanding the prefix it extends) keeps an AppDir that
    // happens to contain a prefix's text from expanding itself for ever.
    const QString expansion = AddPathDelimiter(AppDir()) + rule.Tail;
    if (rule.WholeResult) {
      result = expansion;
    } else {
      result = Path;
      result.replace(prefix, expansion, Qt::CaseInsensitive);
    }
  }
  return result;
}

bool IsDriveReady(const QString& Drive) {
  return !Drive.isEmpty() && shell::IsVolumeReady(Drive);
}

bool PathExists(const QString& Path, int Mode) {
  if (Mode < 0 || Mode > 2) return false;
  const QString drive = shell::DrivePart(ExpandVirtualPath(Path));
  // Relative and pseudo paths have no drive and name no file.
  if (drive.isEmpty() || !IsDriveReady(drive)) return false;
  const QString expanded = ExpandVirtualPath(Path);
  if (shell::isUriLocation(expanded)) return uriExists(expanded, Mode);
  if (expanded.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
    return localExists(QUrl(expanded).toLocalFile(), Mode);
  return localExists(expanded, Mode);
}

bool IsDriveRoot(const QString& S) {
  return S.isEmpty() || S == QLatin1String("/");
}

QString PathFolderName(const QString& Path) {
  QString result = Path;
  if (PathExists(Path, 0)) {
    const QString bare = RemovePathDelimiter(Path);
    result = bare.mid(bare.lastIndexOf(QLatin1Char('/')) + 1);
  }
  // An empty path is no root: it stays empty rather than turning into "/".
  if (!Path.isEmpty() && IsDriveRoot(RemovePathDelimiter(Path))) result = AddPathDelimiter(Path);
  return result;
}

QString PathDisplayName(const QString& Path) {
  QString result = Path;
  if (Path == kQDrivePath) result = QStringLiteral("Durov Udero");
  if (Path == kSearchPath) result = QStringLiteral("Search...");
  if (!Path.isEmpty() && IsDriveRoot(RemovePathDelimiter(Path))) result = AddPathDelimiter(Path);
  return result;
}

QString AddPathDelimiter(const QString& Path) {
  return Path.endsWith(QLatin1Char('/')) ? Path : Path + QLatin1Char('/');
}

QString RemovePathDelimiter(const QString& Path) {
  return Path.endsWith(QLatin1Char('/')) ? Path.chopped(1) : Path;
}

bool ReadBitmapSize(const QString& FileName, quint16& Width, quint16& Height) {
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly)) {
    throw toolkit::EFileError(
        QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, file.errorString()));
  }
  char fileHeader[14];
  if (file.read(fileHeader, sizeof fileHeader) != qint64(sizeof fileHeader) ||
      fileHeader[0] != 'B' || fileHeader[1] != 'M')
    return false;
  uchar info[40];
  if (file.read(reinterpret_cast<char*>(info), sizeof info) != qint64(sizeof info)) return false;
  const qint32 width = qFromLittleEndian<qint32>(info + 4);
  const qint32 height = qFromLittleEndian<qint32>(info + 8);
  // Top-down bitmaps store a negative height; both orientations report the same size.
  const quint32 absHeight = height < 0 ? 0u - quint32(height) : quint32(height);
  Width = quint16(quint32(width) & 0xFFFF);
  Height = quint16(absHeight & 0xFFFF);
  return true;
}

}  // namespace dizad::core

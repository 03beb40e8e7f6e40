#include "shell/associations.h"

#include "shell/filename.h"
#include "shell/gioutil.h"
#include "shell/itemidlist.h"
#include "shell/volume.h"

#include <sys/stat.h>

namespace dizad::shell {

namespace {

using toolkit::TGObjectPtr;

// The URI GIO needs for a path or URI.
QByteArray uriBytes(const QString& path) {
  if (isUriLocation(path) || path.startsWith(QLatin1String("file://"))) return path.toUtf8();
  auto file = TGObjectPtr<GFile>::Adopt(g_file_new_for_path(EncodeFileName(path).constData()));
  return uriOf(file).toUtf8();
}

}  // namespace

QStringList TAssocHandler::IconNames() const {
  return iconNames(g_app_info_get_icon(ahApp));
}

bool TAssocHandler::Invoke(const QString& path) const {
  GList uris{};
  QByteArray uri = uriBytes(path);
  uris.data = uri.data();
  GError* error = nullptr;
  const bool ok = g_app_info_launch_uris(ahApp, &uris, nullptr, &error);
  g_clear_error(&error);
  return ok;
}

QString contentTypeOfPath(const QString& path) {
  const QByteArray local = LocalPathBytes(path);
  struct stat st;
  if (!local.isEmpty() && stat(local.constData(), &st) == 0 && S_ISDIR(st.st_mode))
    return QStringLiteral("inode/directory");
  QString name = path;
  while (name.endsWith(QLatin1Char('/'))) name.chop(1);
  return guessContentType(name.mid(name.lastIndexOf(QLatin1Char('/')) + 1));
}

QString executablePath(GAppInfo* app) {
  if (!app) return {};
  const char* exe = g_app_info_get_executable(app);
  if (!exe || !*exe) return {};
  gchar* found = g_find_program_in_path(exe);
  if (!found) return {};
  QString path = DecodeFileName(found, qsizetype(strlen(found)));
  g_free(found);
  return path;
}

TGObjectPtr<GAppInfo> applicationOfExecutable(const QString& path) {
  const QByteArray wanted = EncodeFileName(path);
  char* real = realpath(wanted.constData(), nullptr);
  const QByteArray wantedReal = real ? QByteArray(real) : wanted;
  free(real);
  TGObjectPtr<GAppInfo> found;
  GList* apps = g_app_info_get_all();
  for (GList* a = apps; a && !found; a = a->next) {
    GAppInfo* app = G_APP_INFO(a->data);
    const QByteArray exe = EncodeFileName(executablePath(app));
    if (exe.isEmpty()) continue;
    char* exeReal = realpath(exe.constData(), nullptr);
    if (exe == wanted || (exeReal && wantedReal == exeReal))
      found = TGObjectPtr<GAppInfo>::Ref(app);
    free(exeReal);
  }
  g_list_free_full(apps, g_object_unref);
  return found;
}

QString AssociatedExecutable(const QString& File) {
  const QByteArray type = contentTypeOfPath(File).toUtf8();
  auto app = TGObjectPtr<GAppInfo>::Adopt(g_app_info_get_default_for_type(type.constData(), FALSE));
  return executablePath(app);
}

void EnumOpenWithHandlers(const QString& Extension, quint32 Filter,
                          const std::function<void(const TAssocHandler&)>& Callback) {
  QString ext = Extension;
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  if (ext.isEmpty() || !Callback) return;
  const QByteArray type = guessContentType(QStringLiteral("file.") + ext).toUtf8();
  GList* apps = Filter == ASSOC_FILTER_RECOMMENDED
                    ? g_app_info_get_recommended_for_type(type.constData())
                    : g_app_info_get_all_for_type(type.constData());
  for (GList* a = apps; a; a = a->next) {
    GAppInfo* app = G_APP_INFO(a->data);
    const QString name = executablePath(app);
    if (name.isEmpty()) continue;  // a program that cannot be found cannot open anything
    Callback(TAssocHandler(TGObjectPtr<GAppInfo>::Ref(app), name,
                           QString::fromUtf8(g_app_info_get_display_name(app))));
  }
  g_list_free_full(apps, g_object_unref);
}

bool ShellOpenFile(const QString& Path) {
  if (Path.isEmpty()) return false;
  GError* error = nullptr;
  const bool ok = g_app_info_launch_default_for_uri(uriBytes(Path).constData(), nullptr, &error);
  g_clear_error(&error);
  return ok;
}

}  // namespace dizad::shell

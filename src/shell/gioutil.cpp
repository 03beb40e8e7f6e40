#include "shell/gioutil.h"

namespace dizad::shell {

QString takeString(gchar* text) {
  QString result = QString::fromUtf8(text);
  g_free(text);
  return result;
}

QString uriOf(GFile* file) {
  return file ? takeString(g_file_get_uri(file)) : QString();
}

QString schemeOf(const QString& uri) {
  const qsizetype at = uri.indexOf(QLatin1String("://"));
  return at > 0 ? uri.left(at).toLower() : QString();
}

QStringList iconNames(GIcon* icon) {
  QStringList names;
  if (!icon) return names;
  if (G_IS_EMBLEMED_ICON(icon)) return iconNames(g_emblemed_icon_get_icon(G_EMBLEMED_ICON(icon)));
  if (G_IS_THEMED_ICON(icon)) {
    for (const gchar* const* n = g_themed_icon_get_names(G_THEMED_ICON(icon)); n && *n; ++n)
      names << QString::fromUtf8(*n);
  } else if (G_IS_FILE_ICON(icon)) {
    const QString path = takeString(g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))));
    if (!path.isEmpty()) names << path;
  }
  return names;
}

}  // namespace dizad::shell

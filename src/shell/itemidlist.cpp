#include "shell/itemidlist.h"

#include "shell/filename.h"

#include <gio/gio.h>

namespace dizad::shell {

QString TItemIdData::ContentType() const {
  std::call_once(ilContentTypeOnce, [this] {
    ilContentType = IsFolderLike() ? QStringLiteral("inode/directory") : guessContentType(Name);
  });
  return ilContentType;
}

TItemIdList ILCombine(const TItemIdList& /*ParentAbsolute*/, const TItemIdList& Relative) {
  return Relative;
}

QString extensionToken(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0 || dot == name.size() - 1) return QStringLiteral("*File");
  return name.mid(dot);
}

QString guessContentType(const QString& fileName) {
  const QByteArray bytes = EncodeFileName(fileName);
  gchar* type = g_content_type_guess(bytes.constData(), nullptr, 0, nullptr);
  QString result = QString::fromUtf8(type);
  g_free(type);
  return result;
}

}  // namespace dizad::shell

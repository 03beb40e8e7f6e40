#include "shell/filename.h"

#include <glib.h>

namespace dizad::shell {

namespace {

constexpr char16_t EscapeBase = 0xDC00;  // U+DC80..U+DCFF carry the bytes 0x80..0xFF

bool isAscii(const char* bytes, qsizetype length) {
  for (qsizetype i = 0; i < length; ++i)
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  return true;
}

bool hasEscapes(const QString& name) {
  for (QChar c : name)
    if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF) return true;
  return false;
}

}  // namespace

QString DecodeFileName(const char* bytes, qsizetype length, bool* valid) {
  if (valid) *valid = true;
  if (isAscii(bytes, length)) return QString::fromLatin1(bytes, length);
  if (g_utf8_validate_len(bytes, length, nullptr)) return QString::fromUtf8(bytes, length);
  if (valid) *valid = false;
  // Decode valid runs as UTF-8, escape each byte that g_utf8_validate rejects.
  QString out;
  out.reserve(length);
  const char* p = bytes;
  const char* end = bytes + length;
  while (p < end) {
    const char* validEnd = nullptr;
    g_utf8_validate_len(p, end - p, &validEnd);
    out += QString::fromUtf8(p, validEnd - p);
    p = validEnd;
    if (p < end) {
      out += QChar(char16_t(EscapeBase + static_cast<unsigned char>(*p)));
      ++p;
    }
  }
  return out;
}

QByteArray EncodeFileName(const QString& name) {
  if (!hasEscapes(name)) return name.toUtf8();
  QByteArray out;
  out.reserve(name.size() * 3);
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name.at(i).unicode();
    if (c < 0xDC80 || c > 0xDCFF) continue;
    // A low surrogate that follows a high one is a real character, not an escape.
    if (i > 0 && name.at(i - 1).isHighSurrogate()) continue;
    out += QStringView(name).mid(runStart, i - runStart).toUtf8();
    out += static_cast<char>(c - EscapeBase);
    runStart = i + 1;
  }
  out += QStringView(name).mid(runStart).toUtf8();
  return out;
}

QByteArray LocalPathBytes(const QString& path) {
  if (path.startsWith(QLatin1Char('/'))) return EncodeFileName(path);
  if (!path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) return {};
  gchar* local = g_filename_from_uri(path.toUtf8().constData(), nullptr, nullptr);
  if (!local) return {};
  QByteArray bytes(local);
  g_free(local);
  return bytes;
}

}  // namespace dizad::shell

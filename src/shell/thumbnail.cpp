#include "shell/thumbnail.h"

#include "shell/associations.h"
#include "shell/computerfolder.h"
#include "shell/filename.h"
#include "shell/gioutil.h"
#include "shell/itemidlist.h"
#include "shell/volume.h"
#include "toolkit/sync.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace dizad::shell {

namespace {

using toolkit::TGObjectPtr;

// Pictures of other file systems are read whole before decoding; larger ones are skipped.
constexpr qint64 RemotePictureLimit = 64 << 20;

QImage decodePicture(QIODevice* device, QSize box) {
  QImageReader reader(device);
  reader.setAutoTransform(true);
  if (!reader.canRead()) return {};
  const QSize size = reader.size();
  if (size.isValid()) {
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? size.transposed() : size;
    const QSize fit = fitInside(upright, box);
    if (fit != upright) reader.setScaledSize(turned ? fit.transposed() : fit);
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  const QSize fit = fitInside(image.size(), box);
  if (fit != image.size())
    image = image.scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return image.convertToFormat(QImage::Format_ARGB32);
}

QImage decodeLocalPicture(const QByteArray& path, QSize box) {
  const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {};
  }
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    close(fd);
    return {};
  }
  return decodePicture(&file, box);
}

QImage decodeRemotePicture(GFile* file, QSize box) {
  auto stream = TGObjectPtr<GFileInputStream>::Adopt(g_file_read(file, nullptr, nullptr));
  if (!stream) return {};
  QByteArray bytes;
  char chunk[65536];
  gssize got;
  while ((got = g_input_stream_read(G_INPUT_STREAM(stream.get()), chunk, sizeof chunk, nullptr,
                                    nullptr)) > 0) {
    bytes.append(chunk, got);
    if (bytes.size() > RemotePictureLimit) return {};
  }
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return decodePicture(&buffer, box);
}

constexpr qint64 ThumbnailFileLimit = 16 << 20;

// The tEXt chunks of a PNG file before its image data. (QImageReader::text
// cannot be used: it splits keys at the first colon, and the cache's keys are
// "Thumb::URI" and "Thumb::MTime".)
QHash<QByteArray, QByteArray> pngTextChunks(const QByteArray& png) {
  QHash<QByteArray, QByteArray> text;
  if (!png.startsWith("\x89PNG\r\n\x1a\n")) return text;
  qsizetype at = 8;
  while (at + 8 <= png.size()) {
    const auto* p = reinterpret_cast<const uchar*>(png.constData() + at);
    const quint32 length = (quint32(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    const QByteArray type = png.mid(at + 4, 4);
    if (type == "IDAT" || type == "IEND" || length > quint32(png.size() - at - 12)) break;
    if (type == "tEXt") {
      const QByteArray data = png.mid(at + 8, length);
      const qsizetype zero = data.indexOf('\0');
      if (zero > 0) text.insert(data.left(zero), data.mid(zero + 1));
    }
    at += 12 + qsizetype(length);
  }
  return text;
}

QString thumbnailCacheDir() {
  const QByteArray cache = qgetenv("XDG_CACHE_HOME");
  const QString base = cache.startsWith('/') ? QString::fromLocal8Bit(cache)
                                             : QDir::homePath() + QStringLiteral("/.cache");
  return base + QStringLiteral("/thumbnails/");
}

// An up-to-date thumbnail of the shared cache (written by other programs).
QImage cachedThumbnail(const QString& uri, qint64 mtime, QSize box) {
  struct TSize {
    const char* Dir;
    int Pixels;
  };
  static const TSize sizes[] = {
      {"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};
  const QString name = QString::fromLatin1(
      QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex() + ".png");
  const int wanted = qMax(box.width(), box.height());
  // Smallest sufficient size first, then larger, then the smaller ones.
  QList<const TSize*> order;
  for (const TSize& s : sizes)
    if (s.Pixels >= wanted) order << &s;
  for (auto it = std::rbegin(sizes); it != std::rend(sizes); ++it)
    if (it->Pixels < wanted) order << &*it;
  const QString dir = thumbnailCacheDir();
  for (const TSize* s : order) {
    QFile file(dir + QLatin1String(s->Dir) + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly) || file.size() > ThumbnailFileLimit) continue;
    QByteArray bytes = file.readAll();
    const auto text = pngTextChunks(bytes);
    const QByteArray thumbUri = text.value("Thumb::URI");
    const QByteArray thumbMtime = text.value("Thumb::MTime");
    if ((!thumbUri.isEmpty() && thumbUri != uri.toUtf8()) ||
        (!thumbMtime.isEmpty() && thumbMtime.toLongLong() != mtime))
      continue;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImage image = decodePicture(&buffer, box);
    if (!image.isNull()) return image;
  }
  return {};
}

bool isExecutableFile(const struct stat& st) {
  return S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
}

QStringList contentTypeIcons(const QString& contentType) {
  auto icon = TGObjectPtr<GIcon>::Adopt(g_content_type_get_icon(contentType.toUtf8().constData()));
  QStringList names = iconNames(icon);
  // Full-colour names first: the symbolic ones are monochrome outlines.
  QStringList symbolic;
  for (auto it = names.begin(); it != names.end();) {
    if (it->endsWith(QLatin1String("-symbolic"))) {
      symbolic << *it;
      it = names.erase(it);
    } else {
      ++it;
    }
  }
  return names + symbolic;
}

}  // namespace

QSize fitInside(QSize image, QSize box) {
  if (image.isEmpty() || box.isEmpty()) return {};
  if (image.width() <= box.width() && image.height() <= box.height()) return image;
  const double scale =
      qMin(double(box.width()) / image.width(), double(box.height()) / image.height());
  return QSize(qBound(1, qRound(image.width() * scale), box.width()),
               qBound(1, qRound(image.height() * scale), box.height()));
}

QImage thumbnailImage(const QString& fileName, QSize box) {
  if (box.isEmpty() || fileName.isEmpty()) return {};
  if (isUriLocation(fileName)) {
    auto file = TGObjectPtr<GFile>::Adopt(g_file_new_for_uri(fileName.toUtf8().constData()));
    if (guessContentType(takeString(g_file_get_basename(file)))
            .startsWith(QLatin1String("image/"))) {
      QImage image = decodeRemotePicture(file, box);
      if (!image.isNull()) return image;
    }
    auto info = TGObjectPtr<GFileInfo>::Adopt(g_file_query_info(
        file, G_FILE_ATTRIBUTE_TIME_MODIFIED, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (!info) return {};
    return cachedThumbnail(
        uriOf(file), qint64(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED)),
        box);
  }
  const QByteArray path = LocalPathBytes(fileName);
  if (path.isEmpty()) return {};
  QImage image = decodeLocalPicture(path, box);
  if (!image.isNull()) return image;
  struct stat st;
  if (stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  auto file = TGObjectPtr<GFile>::Adopt(g_file_new_for_path(path.constData()));
  return cachedThumbnail(uriOf(file), qint64(st.st_mtim.tv_sec), box);
}

QStringList iconNamesForPath(const QString& fileName) {
  QString root = fileName;
  while (root.size() > 1 && root.endsWith(QLatin1Char('/')) && !root.endsWith(QLatin1String("://")))
    root.chop(1);
  QStringList names = driveIconNames(root);
  if (names.isEmpty() && !root.endsWith(QLatin1Char('/')))
    names = driveIconNames(root + QLatin1Char('/'));
  if (!names.isEmpty()) return names;
  if (isUriLocation(fileName)) return contentTypeIcons(contentTypeOfPath(fileName));
  const QByteArray path = LocalPathBytes(fileName);
  struct stat st;
  if (path.isEmpty() || stat(path.constData(), &st) != 0) return {};
  if (S_ISDIR(st.st_mode)) return contentTypeIcons(QStringLiteral("inode/directory"));
  if (isExecutableFile(st)) {
    if (auto app = applicationOfExecutable(DecodeFileName(path)))
      names = iconNames(g_app_info_get_icon(app));
  }
  return names + contentTypeIcons(contentTypeOfPath(DecodeFileName(path)));
}

QImage renderIcon(const QStringList& names, QSize size) {
  for (const QString& name : names) {
    QIcon icon;
    if (name.startsWith(QLatin1Char('/'))) {
      if (QFile::exists(name)) icon = QIcon(name);
    } else if (QIcon::hasThemeIcon(name)) {
      icon = QIcon::fromTheme(name);
    }
    if (icon.isNull()) continue;
    const QPixmap pixmap = icon.pixmap(size, 1.0);
    if (pixmap.isNull()) continue;
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.size() == size) return image;
    // Themes without a scalable version offer fixed sizes: fit and centre.
    const QImage scaled = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage canvas(size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawImage((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2,
                      scaled);
    painter.end();
    return canvas;
  }
  return {};
}

void CopySystemBitmap(const QImage& Source, toolkit::TBitmap& Target, bool FlipRows) {
  QImage image = Source.convertToFormat(QImage::Format_ARGB32);
  if (FlipRows) image = image.mirrored(false, true);
  Target.Assign(std::move(image));
}

bool ExtractThumbnail(const QString& FileName, toolkit::TBitmap& DestBitmap, bool AsIcon, int Width,
                      int Height) {
  if (Width <= 0 || Height <= 0 || FileName.isEmpty()) return false;
  const QSize box(Width, Height);
  if (AsIcon) {
    const QStringList names = iconNamesForPath(FileName);
    if (names.isEmpty()) return false;
    bool delivered = false;
    toolkit::Synchronize([&] {
      const QImage image = renderIcon(names, box);
      if (image.isNull()) return;
      CopySystemBitmap(image, DestBitmap, false);
      delivered = true;
    });
    return delivered;
  }
  const QImage image = thumbnailImage(FileName, box);
  if (image.isNull()) return false;
  toolkit::Synchronize([&] { CopySystemBitmap(image, DestBitmap, false); });
  return true;
}

}  // namespace dizad::shell

// Listing speed of the shell layer against a plain readdir + fstatat loop over
// a 100,000-entry folder, and thumbnail speed on large JPEG photos.
//
//   bench_shell_enum [folder-with-100k-entries] [folder-with-jpegs]
// Missing folders are created under /tmp and kept for the next run.

#include "shell/shellaccess.h"
#include "shell/thumbnail.h"
#include "toolkit/bitmap.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace dizad::shell;

namespace {

constexpr int EntryCount = 100000;
constexpr int Runs = 7;

void makeEntries(const QString& dir) {
  QDir().mkpath(dir);
  if (QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() >=
      EntryCount)
    return;
  std::printf("creating %d entries in %s ...\n", EntryCount, qPrintable(dir));
  static const char* const exts[] = {".jpg", ".txt", ".pdf", ".mp3", "", ".cpp", ".PNG", ".tar.gz"};
  const QByteArray base = QFile::encodeName(dir) + '/';
  for (int i = 0; i < EntryCount; ++i) {
    const QByteArray name = base + (i % 50 == 0 ? "folder" : (i % 97 == 0 ? ".hidden" : "file")) +
                            QByteArray::number(i) + exts[i % 8];
    if (i % 50 == 0) {
      mkdir(name.constData(), 0755);
    } else {
      const int fd = open(name.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) {
        if (i % 3 == 0) (void)!write(fd, "some bytes", 10);
        close(fd);
      }
    }
  }
}

void makeJpegs(const QString& dir, int count) {
  QDir().mkpath(dir);
  if (QDir(dir).entryList({QStringLiteral("*.jpg")}).size() >= count) return;
  std::printf("creating %d 4000 x 3000 JPEGs in %s ...\n", count, qPrintable(dir));
  QRandomGenerator random(42);
  for (int i = 0; i < count; ++i) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 4000, 3000);
    g.setColorAt(0, QColor::fromHsv((i * 37) % 360, 200, 220));
    g.setColorAt(1, QColor::fromHsv((i * 91) % 360, 180, 90));
    p.fillRect(image.rect(), g);
    for (int k = 0; k < 400; ++k) {
      p.setBrush(QColor::fromRgb(random.generate()));
      p.drawEllipse(QPointF(random.bounded(4000), random.bounded(3000)), random.bounded(300),
                    random.bounded(300));
    }
    p.end();
    image.save(QStringLiteral("%1/photo%2.jpg").arg(dir).arg(i, 2, 10, QLatin1Char('0')), "JPEG",
               90);
  }
}

// What a plain program does: readdir and one fstatat per entry.
long plainLoop(const QByteArray& dir) {
  DIR* d = opendir(dir.constData());
  if (!d) return 0;
  const int fd = dirfd(d);
  long count = 0;
  long long bytes = 0;
  while (const dirent* e = readdir(d)) {
    if (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2]))) continue;
    struct stat st;
    if (fstatat(fd, e->d_name, &st, 0) != 0) fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW);
    bytes += st.st_size;
    ++count;
  }
  closedir(d);
  return count + (bytes < 0);
}

// What a folder view does: bind, enumerate, find data and type token per entry.
long shellLoop(const QString& dir) {
  TItemIdList self;
  TShellFolderPtr folder;
  if (!ShellFolderFromPath(nullptr, dir, self, folder)) return 0;
  auto list = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN |
                                  SHCONTF_INCLUDESUPERHIDDEN);
  if (!list) return 0;
  long count = 0;
  long long bytes = 0;
  TItemIdList entry;
  TFindData data;
  while (list->Next(entry)) {
    ShellFindData(folder, entry, data);
    const QString token = ShellItemType(folder, entry);
    bytes += data.Size + token.size();
    ++count;
  }
  return count + (bytes < 0);
}

struct TFigures {
  double Best, Median;
};

TFigures figures(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms.front(), ms[ms.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  const QString listDir =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/dizad-bench-100k");
  const QString jpegDir =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp/dizad-bench-jpeg");
  makeEntries(listDir);
  makeJpegs(jpegDir, 20);

  const QByteArray listBytes = QFile::encodeName(listDir);
  plainLoop(listBytes);  // warm the caches
  shellLoop(listDir);
  std::vector<double> plain, shell;
  long plainCount = 0, shellCount = 0;
  for (int r = 0; r < Runs; ++r) {
    QElapsedTimer t;
    t.start();
    plainCount = plainLoop(listBytes);
    plain.push_back(t.nsecsElapsed() / 1e6);
    t.restart();
    shellCount = shellLoop(listDir);
    shell.push_back(t.nsecsElapsed() / 1e6);
  }
  const TFigures p = figures(plain), s = figures(shell);
  std::printf("entries: plain %ld, shell %ld\n", plainCount, shellCount);
  std::printf("plain readdir + fstatat: best %.1f ms, median %.1f ms\n", p.Best, p.Median);
  std::printf("shell bind + enumerate + find data + type token: best %.1f ms, median %.1f ms\n",
              s.Best, s.Median);
  std::printf("ratio shell / plain: best %.2f, median %.2f\n", s.Best / p.Best,
              s.Median / p.Median);

  const QStringList jpegs = QDir(jpegDir).entryList({QStringLiteral("*.jpg")}, QDir::Files);
  QElapsedTimer t;
  t.start();
  int delivered = 0;
  for (const QString& name : jpegs) {
    dizad::toolkit::TBitmap bitmap;
    if (ExtractThumbnail(jpegDir + QLatin1Char('/') + name, bitmap, false, 270, 201)) ++delivered;
  }
  const double seconds = t.nsecsElapsed() / 1e9;
  std::printf("thumbnails 270 x 201 of %d 4000 x 3000 JPEGs: %d in %.2f s, %.1f per second\n",
              int(jpegs.size()), delivered, seconds, delivered / seconds);
  return 0;
}

#pragma once
// A throw-away program folder with Data/Theme/ for skin tests: AppDir points
// at it while the fixture lives, so "ThemeData.dez:\" and "ThemeDir:\" find
// the files the test writes.

#include "core/virtualpath.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>

namespace dizad::test {

class TSkinFixture {
 public:
  TSkinFixture() {
    QDir(FDir.path()).mkpath(QStringLiteral("Data/Theme"));
    FPrevious = core::setAppDir(FDir.path());
  }
  ~TSkinFixture() { core::setAppDir(FPrevious); }
  TSkinFixture(const TSkinFixture&) = delete;
  TSkinFixture& operator=(const TSkinFixture&) = delete;

  bool isValid() const { return FDir.isValid(); }
  QString themeFile(const QString& name) const {
    return FDir.path() + QStringLiteral("/Data/Theme/") + name;
  }
  bool writeImage(const QString& name, const QImage& image) const {
    return image.save(themeFile(name), "PNG");
  }
  bool writeSolid(const QString& name, int w, int h, QRgb argb) const {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(argb);
    return writeImage(name, image);
  }
  bool writeFile(const QString& name, const QByteArray& bytes) const {
    QFile f(themeFile(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
  }
  bool writeSkin(const QByteArray& text) const {
    return writeFile(QStringLiteral("ThemeData.dez"), text);
  }

 private:
  QTemporaryDir FDir;
  QString FPrevious;
};

// Paints into a fresh transparent w x h bitmap and returns it.
inline toolkit::TBitmap renderInto(int w, int h,
                                   const std::function<void(toolkit::TCanvas&)>& paint) {
  toolkit::TBitmap target(w, h);
  toolkit::TCanvas& canvas = target.Canvas();
  canvas.BeginScene();
  paint(canvas);
  canvas.EndScene();
  return target;
}

inline QRgb pixelAt(const toolkit::TBitmap& bitmap, int x, int y) {
  return bitmap.Image().pixel(x, y);
}

}  // namespace dizad::test

#include "toolkit/bitmap.h"

#include "toolkit/canvas.h"

#include <QBuffer>
#include <QImageReader>

namespace dizad::toolkit {

namespace {
QImage normalised(QImage image) {
  if (image.isNull()) return image;
  if (image.format() != QImage::Format_ARGB32) image.convertTo(QImage::Format_ARGB32);
  return image;
}

bool decode(QImageReader& reader, QImage& out, QString* errorText) {
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    if (errorText) *errorText = reader.errorString();
    return false;
  }
  out = normalised(std::move(image));
  return true;
}
}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
  SetSize(width, height);
}

TBitmap::TBitmap(QImage image) : FImage(normalised(std::move(image))) {}

TBitmap::TBitmap(const TBitmap& other) : FImage(other.FImage) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) Assign(other.FImage);
  return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
  if (FCanvas) FCanvas->EndScene();
  if (width <= 0 || height <= 0) {
    FImage = QImage();
    return;
  }
  FImage = QImage(width, height, QImage::Format_ARGB32);
  FImage.fill(Qt::transparent);
}

void TBitmap::Clear(quint32 argb) {
  if (!FImage.isNull()) FImage.fill(argb);
}

void TBitmap::Assign(QImage image) {
  if (FCanvas) FCanvas->EndScene();
  FImage = normalised(std::move(image));
}

bool TBitmap::LoadFromFile(const QString& fileName, QString* errorText) {
  QImageReader reader(fileName);
  reader.setAutoTransform(true);
  QImage image;
  if (!decode(reader, image, errorText)) return false;
  Assign(std::move(image));
  return true;
}

bool TBitmap::LoadFromBytes(const QByteArray& bytes, QString* errorText) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  QImage image;
  if (!decode(reader, image, errorText)) return false;
  Assign(std::move(image));
  return true;
}

bool TBitmap::SaveToFile(const QString& fileName) const {
  return FImage.save(fileName);
}

TBitmapData TBitmap::Map() {
  TBitmapData data;
  data.FImage = &FImage;
  return data;
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(&FImage);
  return *FCanvas;
}

}  // namespace dizad::toolkit

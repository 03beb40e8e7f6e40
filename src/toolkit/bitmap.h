#pragma once
// TBitmap: a 32-bit ARGB picture with decoders for PNG, JPEG, BMP and SVG,
// mapped pixel access and a canvas of its own. Plain value-like object; may be
// created and filled on any thread, drawn on the GUI thread.

#include <QImage>
#include <QString>
#include <memory>

namespace dizad::toolkit {

class TCanvas;

// Pixel access in the 32-bit colour form: 0xAARRGGBB, not premultiplied.
class TBitmapData {
 public:
  int Width() const { return FImage ? FImage->width() : 0; }
  int Height() const { return FImage ? FImage->height() : 0; }
  quint32 GetPixel(int x, int y) const {
    return reinterpret_cast<const quint32*>(FImage->constScanLine(y))[x];
  }
  void SetPixel(int x, int y, quint32 argb) {
    reinterpret_cast<quint32*>(FImage->scanLine(y))[x] = argb;
  }
  quint32* ScanLine(int y) { return reinterpret_cast<quint32*>(FImage->scanLine(y)); }
  const quint32* ScanLine(int y) const {
    return reinterpret_cast<const quint32*>(FImage->constScanLine(y));
  }

 private:
  friend class TBitmap;
  QImage* FImage = nullptr;
};

class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height);  // transparent
  explicit TBitmap(QImage image);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  ~TBitmap();

  int Width() const { return FImage.width(); }
  int Height() const { return FImage.height(); }
  bool IsEmpty() const { return FImage.isNull() || FImage.width() == 0 || FImage.height() == 0; }

  // Resizes to width x height, transparent; 0 x 0 empties the bitmap.
  void SetSize(int width, int height);
  void Clear(quint32 argb = 0);

  // Decode a file or bytes (PNG, JPEG, BMP, SVG and whatever else Qt reads).
  // Returns false and leaves the bitmap unchanged when the decoder refuses;
  // errorText() then says why.
  bool LoadFromFile(const QString& fileName, QString* errorText = nullptr);
  bool LoadFromBytes(const QByteArray& bytes, QString* errorText = nullptr);
  bool SaveToFile(const QString& fileName) const;

  // Mapped pixel access; writes through the returned object go straight into
  // the bitmap. Valid until the bitmap is resized or reassigned.
  TBitmapData Map();

  // The pixels as Qt sees them (for drawing).
  const QImage& Image() const { return FImage; }
  void Assign(QImage image);

  // A canvas drawing onto this bitmap between its BeginScene and EndScene.
  // Resizing or reassigning the bitmap ends an open scene first.
  TCanvas& Canvas();

 private:
  QImage FImage;  // always Format_ARGB32 (or null)
  std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace dizad::toolkit

#pragma once
// The icon cache: one entry per type token (".jpg", "*Folder") holding the
// icon in several square sizes, shared by every item of that type so each
// icon is extracted from the platform once per run.
//
// TIconCache owns its entries and never drops one. Find and AddData take the
// cache's lock for the whole walk or append; entries are appended and found
// in insertion order, so when two workers miss the same id at once and both
// add an entry, every later Find returns the first one.
//
// An entry is visible in the cache before its bitmaps are filled: the filler
// writes the bitmaps, then sets idResult; readers check idResult (Draw does)
// and, seeing irLoaded, see complete bitmaps.
//
// Field prefix: id.

#include "toolkit/bitmap.h"

#include <QRectF>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace dizad::toolkit {
class TCanvas;
}

namespace dizad::skin {

enum TIconResult : quint8 { irLoaded = 0, irUnableToLoad = 1, irNotLoaded = 2 };

class TIconData {
 public:
  TIconData() = default;
  explicit TIconData(QString ID) : idID(std::move(ID)) {}
  TIconData(const TIconData&) = delete;
  TIconData& operator=(const TIconData&) = delete;

  // Set before the entry is added to a cache; read-only afterwards.
  QString idID;
  // Written by the filler before idResult leaves irNotLoaded, read after.
  toolkit::TBitmap idIcon16;
  toolkit::TBitmap idIcon24;
  toolkit::TBitmap idIcon32;
  toolkit::TBitmap idIcon48;   // nothing fills it yet
  toolkit::TBitmap idIcon64;   // nothing fills it yet
  toolkit::TBitmap idIconPNG;  // 256 x 256
  // atomic: written once by the filler (any thread) after the bitmaps, read
  // by painting on the GUI thread. Moves only from irNotLoaded.
  std::atomic<TIconResult> idResult{irNotLoaded};
  // True for an entry that belongs to one item and is not in the cache.
  bool idEmbedded = false;

  // The bitmap for DestSize (16, 24, 32, 48, 64 or 256), or nullptr.
  const toolkit::TBitmap* IconForSize(int DestSize) const;
  // Draws the whole bitmap for DestSize into RestRect (scaled smoothly when
  // the sizes differ). Nothing when the entry is not loaded or the size is
  // not one of the six.
  void Draw(toolkit::TCanvas& DestCanvas, const QRectF& RestRect, int DestSize) const;
};

class TIconCache {
 public:
  TIconCache() = default;
  TIconCache(const TIconCache&) = delete;
  TIconCache& operator=(const TIconCache&) = delete;

  // First entry whose idID equals IconID ignoring letter case; IconData is it
  // or nullptr. Any thread.
  bool Find(const QString& IconID, TIconData*& IconData) const;
  // Appends the entry (the cache owns it from now on) and returns it. No check
  // for an entry with the same id. Any thread.
  TIconData* AddData(std::unique_ptr<TIconData> IconData);
  int Count() const;
  // The entry at Index in insertion order (nullptr outside the range).
  TIconData* Items(int Index) const;

 private:
  mutable std::mutex FLock;
  std::vector<std::unique_ptr<TIconData>> FList;  // guarded by FLock
};

}  // namespace dizad::skin

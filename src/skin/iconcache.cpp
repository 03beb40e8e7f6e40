#include "skin/iconcache.h"

#include "toolkit/canvas.h"

namespace dizad::skin {

const toolkit::TBitmap* TIconData::IconForSize(int DestSize) const {
  switch (DestSize) {
    case 16:
      return &idIcon16;
    case 24:
      return &idIcon24;
    case 32:
      return &idIcon32;
    case 48:
      return &idIcon48;
    case 64:
      return &idIcon64;
    case 256:
      return &idIconPNG;
    default:
      return nullptr;
  }
}

void TIconData::Draw(toolkit::TCanvas& DestCanvas, const QRectF& RestRect, int DestSize) const {
  if (idResult.load(std::memory_order_acquire) != irLoaded) return;
  const toolkit::TBitmap* icon = IconForSize(DestSize);
  if (!icon) return;
  DestCanvas.DrawBitmap(*icon, QRectF(0, 0, icon->Width(), icon->Height()), RestRect, 1.0f, false);
}

bool TIconCache::Find(const QString& IconID, TIconData*& IconData) const {
  std::lock_guard lock(FLock);
  for (const auto& entry : FList) {
    if (entry->idID.compare(IconID, Qt::CaseInsensitive) == 0) {
      IconData = entry.get();
      return true;
    }
  }
  IconData = nullptr;
  return false;
}

TIconData* TIconCache::AddData(std::unique_ptr<TIconData> IconData) {
  if (!IconData) return nullptr;
  std::lock_guard lock(FLock);
  FList.push_back(std::move(IconData));
  return FList.back().get();
}

int TIconCache::Count() const {
  std::lock_guard lock(FLock);
  return int(FList.size());
}

TIconData* TIconCache::Items(int Index) const {
  std::lock_guard lock(FLock);
  return Index >= 0 && Index < int(FList.size()) ? FList[size_t(Index)].get() : nullptr;
}

}  // namespace dizad::skin

#include "skin/smartskin.h"

#include "core/inifile.h"
#include "core/virtualpath.h"
#include "shell/resample.h"
#include "toolkit/canvas.h"
#include "toolkit/errors.h"
#include "toolkit/memo.h"

#include <sys/stat.h>
#include <QFile>
#include <cmath>

namespace dizad::skin {

using toolkit::TBitmap;
using toolkit::TCanvas;

namespace {

const QString kImageKey = QStringLiteral("Image(");
const QString kFontKey = QStringLiteral("Font(");

// A cache larger than this per side is refused rather than allocated: no
// control is that big, and a runaway rectangle must not exhaust memory.
constexpr int kMaxCacheSide = 16384;

bool sameIdIgnoringCase(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The text between the "(" that ends Marker at Key's first exact-case
// occurrence of Marker and its matching ")"; nested parentheses stay part of
// the id. Without a closing one the id ends one character early, as every
// parameter read does.
QString elementId(const QString& Key, const QString& Marker) {
  const qsizetype start = Key.indexOf(Marker) + Marker.size();
  if (start >= Key.size()) return QString();
  const qsizetype end = core::FindMatchingClose(Key, start, core::pdRound);
  const QString id = Key.mid(start, end - start);
  return id.trimmed().isEmpty() ? QString() : id;
}

// The four square-bracketed integers inside Param's value, each 0 when missing.
TSkinBounds readBounds(const core::TParamString& Params, const QString& Param) {
  TSkinBounds b;
  b.Left = Params.GetSubParam(Param, QStringLiteral("Left"), qint32(0));
  b.Top = Params.GetSubParam(Param, QStringLiteral("Top"), qint32(0));
  b.Right = Params.GetSubParam(Param, QStringLiteral("Right"), qint32(0));
  b.Bottom = Params.GetSubParam(Param, QStringLiteral("Bottom"), qint32(0));
  return b;
}

// What PathExists(file, 2) answers for a picture, made stricter for local
// files: a file that stat() finds lies on a volume that answers, and only
// regular files count, since a FIFO or device named by a skin would block the
// start or never end the read.
bool isPictureFile(const QString& file) {
  if (file.contains(QLatin1String("://"))) return core::PathExists(file, 2);
  struct stat st;
  return ::stat(QFile::encodeName(file).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// Nearest integer, halves to even (the program's rounding for layout).
int roundEven(double v) {
  return static_cast<int>(std::nearbyint(v));
}

}  // namespace

// --- TSkinData -------------------------------------------------------------

void TSkinData::DrawTo(TCanvas& Canvas, const QRectF& ARect, bool /*UpdateScene*/) const {
  const QRectF D(QPointF(ARect.left() - sdOffset.Left, ARect.top() - sdOffset.Top),
                 QPointF(ARect.right() + sdOffset.Right, ARect.bottom() + sdOffset.Bottom));
  const float W = sdImage.Width();
  const float H = sdImage.Height();
  switch (sdMode) {
    case rmStretch:
      Canvas.DrawBitmap(sdImage, QRectF(0, 0, W, H), D, 1.0f, false);
      return;
    case rmFull: {
      const TSkinBounds& M = sdMargins;
      const qreal x[4] = {D.left(), D.left() + M.Left, D.right() - M.Right, D.right()};
      const qreal y[4] = {D.top(), D.top() + M.Top, D.bottom() - M.Bottom, D.bottom()};
      const qreal px[4] = {0, M.Left, W - M.Right, W};
      const qreal py[4] = {0, M.Top, H - M.Bottom, H};
      // Corners first, then edges, then the centre: where pieces overlap in a
      // rectangle smaller than the margins, this order decides what shows.
      static constexpr int kPieces[9][2] = {{2, 2}, {0, 0}, {2, 0}, {0, 2}, {1, 0},
                                            {0, 1}, {2, 1}, {1, 2}, {1, 1}};
      for (const auto& piece : kPieces) {
        const int i = piece[0], j = piece[1];
        const QRectF src(QPointF(px[i], py[j]), QPointF(px[i + 1], py[j + 1]));
        const QRectF dst(QPointF(x[i], y[j]), QPointF(x[i + 1], y[j + 1]));
        Canvas.DrawBitmap(sdImage, src, dst, 1.0f, false);
      }
      return;
    }
  }
}

void TSkinData::DrawTo(TCanvas& Canvas, const QRectF& ARect, TBitmap& CachedImage) const {
  if (sdImage.IsEmpty()) return;
  const double w = ARect.width(), h = ARect.height();
  if (!(w > 0 && h > 0 && w <= kMaxCacheSide && h <= kMaxCacheSide)) return;
  const int cacheW = roundEven(w), cacheH = roundEven(h);
  if (cacheW <= 0 || cacheH <= 0) return;
  // Only the width is compared: a cache is made for one control whose width
  // changes with the window; comparing the rounded width keeps a fractional
  // rectangle from resampling on every paint.
  if (CachedImage.Width() != cacheW) {
    CachedImage.SetSize(cacheW, cacheH);
    if (CachedImage.IsEmpty()) return;
    shell::Stretch(sdImage, CachedImage, shell::Lanczos3Filter, 3.0f);
  }
  // The cache is drawn on the call that filled it too: the control would
  // otherwise show nothing until its next paint.
  Canvas.DrawBitmap(CachedImage, QRectF(0, 0, CachedImage.Width(), CachedImage.Height()), ARect,
                    1.0f, true);
}

// --- TSkinGroup ------------------------------------------------------------

TSkinGroup::TSkinGroup(QString ID) : sgID(std::move(ID)) {}

bool TSkinGroup::DataFind(const QString& DataID, TSkinData*& SkinData) const {
  for (const auto& data : sgDataList) {
    if (data->sdID == DataID) {
      SkinData = data.get();
      return true;
    }
  }
  SkinData = nullptr;
  return false;
}

// --- TSmartSkin ------------------------------------------------------------

TSmartSkin::TSmartSkin() {
  Load(QStringLiteral("ThemeData.dez:\\"));
}

TSmartSkin::~TSmartSkin() = default;

void TSmartSkin::Load(const QString& Path) {
  const QString file = core::ExpandVirtualPath(Path);
  if (!core::PathExists(file, 2)) return;
  const core::TIniFile ini(file);
  for (const QString& section : ini.ReadSections()) {
    for (const QString& line : ini.ReadSectionValues(section)) {
      // Key names hold no "=": the reader split each line at its first one.
      const qsizetype eq = line.indexOf(QLatin1Char('='));
      const QString key = line.left(eq);
      const core::TParamString value{line.mid(eq + 1)};
      try {
        if (key.contains(kImageKey)) {
          LoadImage(section, elementId(key, kImageKey), value);
        } else if (key.contains(kFontKey)) {
          LoadFont(section, elementId(key, kFontKey), value);
        }
      } catch (const toolkit::TError& e) {
        // One bad entry must not cost the rest of the skin: the program would
        // otherwise not start at all.
        toolkit::logLine(QStringLiteral("Skin %1 [%2] %3: %4 (entry skipped)")
                             .arg(file, section, key, e.Message()));
      }
    }
  }
}

bool TSmartSkin::GroupFind(const QString& GroupID, TSkinGroup*& SkinGroup) const {
  for (const auto& group : ssDataList) {
    if (group->sgID == GroupID) {
      SkinGroup = group.get();
      return true;
    }
  }
  SkinGroup = nullptr;
  return false;
}

TSkinData* TSmartSkin::findOrAdd(const QString& GroupID, const QString& DataID) {
  TSkinGroup* group = nullptr;
  if (!GroupFind(GroupID, group)) {
    ssDataList.push_back(std::make_unique<TSkinGroup>(GroupID));
    group = ssDataList.back().get();
  }
  TSkinData* data = nullptr;
  if (!group->DataFind(DataID, data)) {
    group->sgDataList.push_back(std::make_unique<TSkinData>());
    data = group->sgDataList.back().get();
    data->sdID = DataID;
  }
  return data;
}

TSkinData* TSmartSkin::AddImage(const QString& GroupID, const QString& DataID,
                                const QString& Path) {
  const QString file = core::ExpandVirtualPath(QStringLiteral("ThemeDir:\\") + Path);
  if (!isPictureFile(file)) return nullptr;
  TBitmap image;
  QString error;
  if (!image.LoadFromFile(file, &error))
    throw toolkit::EFileError(QStringLiteral("Cannot read image %1: %2").arg(file, error));
  TSkinData* data = findOrAdd(GroupID, DataID);
  data->sdImage = image;
  return data;
}

TSkinData* TSmartSkin::AddFont(const QString& GroupID, const QString& DataID) {
  return findOrAdd(GroupID, DataID);
}

void TSmartSkin::LoadImage(const QString& GroupID, const QString& SkinID,
                           const core::TParamString& Params) {
  // Everything is read before anything changes, so a bad entry leaves no
  // half-made element behind.
  const bool hasMargins = Params.PS_STRING.contains(QStringLiteral("Margins("));
  const bool hasOffset = Params.PS_STRING.contains(QStringLiteral("Offset("));
  TSkinBounds margins, offset;
  if (hasMargins) margins = readBounds(Params, QStringLiteral("Margins"));
  if (hasOffset) offset = readBounds(Params, QStringLiteral("Offset"));
  const QString path = Params.GetParam(QStringLiteral("Path"), QString());

  TSkinData* data = AddImage(GroupID, SkinID, path);
  if (!data) return;
  if (hasMargins) {
    data->sdMode = rmFull;
    data->sdMargins = margins;
  }
  if (hasOffset) data->sdOffset = offset;
}

void TSmartSkin::LoadFont(const QString& GroupID, const QString& FontID,
                          const core::TParamString& Params) {
  const qint32 size = Params.GetParam(QStringLiteral("Size"), qint32(12));
  const QString family = Params.GetParam(QStringLiteral("Name"), QStringLiteral("Segoe UI"));
  const qint32 color = Params.GetParam(QStringLiteral("Color"), qint32(-921103));
  const bool bold =
      Params.GetParam(QStringLiteral("Bold"), QStringLiteral("0")) == QLatin1String("1");
  const bool italic =
      Params.GetParam(QStringLiteral("Italic"), QStringLiteral("0")) == QLatin1String("1");

  // "Segoe UI" resolves through the substitutions the application installs.
  QFont font(family);
  // Sizes are logical pixels like all geometry; Qt rejects sizes below 1.
  font.setPixelSize(size > 0 ? size : 12);
  font.setBold(bold);
  font.setItalic(italic);

  TSkinData* data = AddFont(GroupID, FontID);
  data->sdFont = font;
  data->sdFontColor = quint32(color);
}

const TSkinData* TSmartSkin::FindData(const QString& GroupID, const QString& SkinID) const {
  for (const auto& group : ssDataList) {
    if (!sameIdIgnoringCase(group->sgID, GroupID)) continue;
    for (const auto& data : group->sgDataList)
      if (sameIdIgnoringCase(data->sdID, SkinID)) return data.get();
  }
  return nullptr;
}

const TSkinData* TSmartSkin::FindFont(const QString& GroupID, const QString& FontID) const {
  for (const auto& group : ssDataList) {
    if (group->sgID != GroupID) continue;
    for (const auto& data : group->sgDataList)
      if (data->sdID == FontID) return data.get();
  }
  return nullptr;
}

void TSmartSkin::Draw(const QString& SkinID, TCanvas& Canvas, const QRectF& ARect,
                      bool UpdateScene) const {
  const qsizetype colon = SkinID.indexOf(QLatin1Char(':'));
  if (colon < 0) {
    Draw(QString(), SkinID, Canvas, ARect, UpdateScene);
  } else {
    Draw(SkinID.left(colon), SkinID.mid(colon + 1), Canvas, ARect, UpdateScene);
  }
}

void TSmartSkin::Draw(const QString& GroupID, const QString& SkinID, TCanvas& Canvas,
                      const QRectF& ARect, bool UpdateScene) const {
  if (const TSkinData* data = FindData(GroupID, SkinID)) data->DrawTo(Canvas, ARect, UpdateScene);
}

void TSmartSkin::Draw(const QString& GroupID, const QString& SkinID, TCanvas& Canvas,
                      const QRectF& ARect, TBitmap& CachedImage) const {
  if (const TSkinData* data = FindData(GroupID, SkinID)) data->DrawTo(Canvas, ARect, CachedImage);
}

void TSmartSkin::AssignFont(const QString& GroupID, const QString& FontID, TCanvas& Dest) const {
  if (const TSkinData* data = FindFont(GroupID, FontID)) {
    Dest.Font = data->sdFont;
    Dest.FillColor = data->sdFontColor;
  }
}

}  // namespace dizad::skin

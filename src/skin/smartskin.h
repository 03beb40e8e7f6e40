#pragma once
// The skin: every bitmap and text font the program draws comes from here.
//
// TSmartSkin reads "ThemeData.dez" once, when it is created. Each INI section
// is a skin group (TSkinGroup); each "Image(id)" or "Font(id)" key of a
// section declares one element (TSkinData) of that group, an image with
// nine-slice margins and an outset, a font with its colour, or both when the
// two keys share the id. Controls then draw an element into a rectangle by
// naming it ("Items:Item.Group.Back", or group and element apart) and set a
// canvas's text font and colour by naming a font element.
//
// Lookups for drawing ignore letter case and walk on through every group of
// that name; the find/add operations and AssignFont compare exactly. All walks
// are linear: a skin has about a hundred elements.
//
// A broken entry (a value that is no integer, a picture the decoders refuse)
// is skipped and named in the log; the rest of the skin still loads, so a
// damaged skin file never keeps the program from starting.
//
// Ownership: the skin owns its groups, a group its elements, an element its
// bitmap and font. GUI thread only; nothing is locked.
//
// Field prefixes: ss skin, sg group, sd element.

#include "core/paramstring.h"
#include "toolkit/bitmap.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace dizad::toolkit {
class TCanvas;
}

namespace dizad::skin {

// How an element's image fills a rectangle. Any other value draws nothing.
enum TResizeMode : quint8 {
  rmFull = 0,     // nine-slice: corners at natural size, edges and centre stretched
  rmStretch = 1,  // the whole image stretched to the rectangle
};

// Left, top, right and bottom extents: the nine-slice margins (image pixels)
// and the outset (logical pixels) of an element.
struct TSkinBounds {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  bool operator==(const TSkinBounds&) const = default;
};

// One skin element: an image, a font, or both.
class TSkinData {
 public:
  QString sdID;
  toolkit::TBitmap sdImage;  // empty until an Image() entry loads it
  QFont sdFont;              // the toolkit's default until a Font() entry
  quint32 sdFontColor = 0xFFFFFFFF;
  TSkinBounds sdMargins{10, 10, 10, 10};  // used in rmFull mode only
  TSkinBounds sdOffset;                   // outset of every destination rectangle
  TResizeMode sdMode = rmStretch;

  // Draws the image into ARect grown by the outset: stretched, or as nine
  // pieces (bottom-right, top-left, top-right, bottom-left corners, then the
  // top, left, right and bottom edges, then the centre), at full opacity with
  // smooth interpolation. Nothing is clamped: pieces that come out empty or
  // inverted when ARect is smaller than the margins are dropped by the canvas.
  // UpdateScene changes nothing.
  void DrawTo(toolkit::TCanvas& Canvas, const QRectF& ARect, bool UpdateScene = false) const;
  // Draws through a pre-scaled copy: when the rounded width of ARect differs
  // from CachedImage's width, CachedImage becomes the rounded size of ARect,
  // filled by Lanczos-resampling the whole image (slow, high quality); then
  // CachedImage is drawn into ARect with high-speed interpolation. Ignores
  // mode, margins and outset.
  void DrawTo(toolkit::TCanvas& Canvas, const QRectF& ARect, toolkit::TBitmap& CachedImage) const;
};

// One skin group: the elements of one section, in the order first met.
class TSkinGroup {
 public:
  explicit TSkinGroup(QString ID = QString());

  QString sgID;  // the section name as written in the file
  std::vector<std::unique_ptr<TSkinData>> sgDataList;

  // First element whose id equals DataID exactly.
  bool DataFind(const QString& DataID, TSkinData*& SkinData) const;
};

class TSmartSkin {
 public:
  // Loads "ThemeData.dez:\" (the default skin under AppDir); a missing file
  // leaves the skin empty: every draw then draws nothing.
  TSmartSkin();
  ~TSmartSkin();
  TSmartSkin(const TSmartSkin&) = delete;
  TSmartSkin& operator=(const TSmartSkin&) = delete;

  std::vector<std::unique_ptr<TSkinGroup>> ssDataList;
  core::TParamString ParamString;  // kept for skins that may use it; unused

  // Reads a skin file (a virtual or real path) into this skin. Entries add to
  // or refill what is there. Broken entries are logged and skipped.
  void Load(const QString& Path);

  // First group whose id equals GroupID exactly.
  bool GroupFind(const QString& GroupID, TSkinGroup*& SkinGroup) const;
  // Loads "ThemeDir:\" + Path into the element, creating group and element
  // (exact-case matching) when missing. A file that does not exist gives
  // nullptr and creates nothing; a file the decoders refuse raises EFileError
  // and creates nothing.
  TSkinData* AddImage(const QString& GroupID, const QString& DataID, const QString& Path);
  // Finds or creates the element (exact-case matching), loading nothing.
  TSkinData* AddFont(const QString& GroupID, const QString& DataID);
  // Applies one Image(...) entry: Path(file) Margins(Left[n] Top[n] Right[n]
  // Bottom[n]) Offset(...). A margin or offset that is no integer raises
  // EConvertError before anything changes.
  void LoadImage(const QString& GroupID, const QString& SkinID, const core::TParamString& Params);
  // Applies one Font(...) entry: Size(n) Name(family) Color(n) Bold(1)
  // Italic(1). A size or colour that is no integer raises EConvertError
  // before anything changes.
  void LoadFont(const QString& GroupID, const QString& FontID, const core::TParamString& Params);

  // The element drawing uses: group and element ids compared ignoring case,
  // the walk going on to later groups of the same name. nullptr when none.
  const TSkinData* FindData(const QString& GroupID, const QString& SkinID) const;
  // The element AssignFont uses (exact ids). nullptr when none.
  const TSkinData* FindFont(const QString& GroupID, const QString& FontID) const;

  // "Group:Element" (split at the first ":"; without one the group id is
  // empty and nothing is found), drawn into ARect. Unknown names draw nothing.
  void Draw(const QString& SkinID, toolkit::TCanvas& Canvas, const QRectF& ARect,
            bool UpdateScene = false) const;
  void Draw(const QString& GroupID, const QString& SkinID, toolkit::TCanvas& Canvas,
            const QRectF& ARect, bool UpdateScene = false) const;
  // The cached form (see TSkinData::DrawTo with CachedImage). The caller owns
  // the cache and keeps it for the next call.
  void Draw(const QString& GroupID, const QString& SkinID, toolkit::TCanvas& Canvas,
            const QRectF& ARect, toolkit::TBitmap& CachedImage) const;

  // Copies the font element's font into Dest.Font and its colour into
  // Dest.FillColor. Unknown names leave the canvas unchanged.
  void AssignFont(const QString& GroupID, const QString& FontID, toolkit::TCanvas& Dest) const;

 private:
  TSkinData* findOrAdd(const QString& GroupID, const QString& DataID);
};

}  // namespace dizad::skin

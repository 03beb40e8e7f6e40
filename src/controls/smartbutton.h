#pragma once
// TSmartButton: the skinned push button. It shows an optional skin icon or
// the icon of the file it stands for (loaded in the background), a bold
// caption with a description below it, a hot background while the pointer is
// over it and, in the menu style, a sub-menu area at its right end that opens
// the command page for its file. Groups use it for their view-style buttons,
// the menus for their entries; the chrome uses the fixed kinds of
// buttonkinds.h.
//
// Owns its icon bitmap, both text layouts and its skin id list. Lives on the
// GUI thread; only the icon extraction runs on a worker of the shared thread
// pool, and its result comes back to the GUI thread, where a button that was
// freed meanwhile (or asked for another icon since) never receives it.
//
// Field prefixes: sb (smart button), eb (the entry a button stands for).

#include "controls/smartctrl.h"
#include "core/paramstring.h"
#include "toolkit/bitmap.h"
#include "toolkit/textlayout.h"

#include <QRectF>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

namespace dizad::controls {

enum TButtonSate : unsigned char { bsNormal = 0, bsHot = 1, bsPressed = 2 };
enum TButtonStyle : unsigned char { bsTile = 0, bsIcon = 1, bsMenu = 2 };

class TSmartButton;
using TOnButonClick = std::function<void(TSmartButton* Sender, TMouseButton Button,
                                         TShiftState Shift, float X, float Y)>;

// Runs on a pool worker: delivers the 32 x 32 icon of the file Path into Dest
// (a bitmap the loading task owns) and tells whether there was one.
using TIconExtractor = std::function<bool(const QString& Path, toolkit::TBitmap& Dest)>;

// A rectangle from its four edges, the way the button's geometry is written.
inline QRectF rectLTRB(double left, double top, double right, double bottom) {
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

class TSmartButton : public TSmartCtrl {
 public:
  TSmartButton();
  ~TSmartButton() override;

  // Geometry by style: icon, sub-menu and arrow rectangles, text boxes.
  virtual void Arrange();
  // LoadIcon, then LoadTheme; menus call it after setting ebPath and the caption.
  virtual void InitButton();
  // Starts extracting the icon of ebPath in the background when that file exists.
  virtual void LoadIcon();
  // Fonts and colours of the texts; an empty caption or description takes
  // the file's name or path when the file exists.
  virtual void LoadTheme();

  void MouseEnter(TControl* Sender) override;
  void MouseLeave(TControl* Sender) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void Paint(TCanvas& canvas) override;

  // The skin id stored under Name in sbSkinID, or Default.
  QString SkinID(const QString& Name, const QString& Default) const;

  // The extraction every later LoadIcon uses (the shell's icon of the file
  // by default). GUI thread; a load already running keeps the one it took.
  static void SetIconExtractor(TIconExtractor extractor);
  static TIconExtractor IconExtractor();
  // The shell's icon of a file at 32 x 32; any thread.
  static bool ExtractFileIcon(const QString& Path, toolkit::TBitmap& Dest);

  toolkit::TBitmap sbIcon;  // GUI thread only; replaced when a load delivers
  bool sbIconLoaded = false;
  toolkit::TTextLayout Caption;
  toolkit::TTextLayout Description;
  QRectF sbIconRect = rectLTRB(0, 10, 0, 10);
  QRectF sbMenuRect = rectLTRB(0, 10, 0, 10);
  QRectF sbArrowRect;
  TButtonSate sbState = bsNormal;
  TButtonStyle sbStyle = bsIcon;
  QString sbMenu = QStringLiteral("2");
  // name=value lines ("back.hot", "back.sub", "back.sub.arrow", "icon"),
  // written with SetListValue.
  QStringList sbSkinID;
  QString ebPath;
  QString ebParam1;
  QString ebParam2;
  TOnButonClick sbOnButonClick;
  core::TParamString sbParams;

 protected:
  void Resize() override;

 private:
  // Serial number of the latest LoadIcon; a result of an older one is
  // dropped. GUI thread only.
  quint64 sbIconRequest = 0;
  // Cleared by the destructor so that queued loads of a freed button skip
  // the extraction. Atomic: written on the GUI thread, read by workers.
  std::shared_ptr<std::atomic<bool>> sbAlive = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace dizad::controls

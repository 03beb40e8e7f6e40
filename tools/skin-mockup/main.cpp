// skin-mockup: the default skin assembled into a folder view and the drive
// overview, for the person drawing it.
//
//   skin-mockup [folder.png [drives.png]]
//
// Reads the skin the program reads (Data/Theme/ThemeData.dez under the working
// directory, or under DIZAD_SOURCE_DIR) through the skin engine, and lays its
// pictures and fonts out with the geometry the controls use, so the whole look
// can be judged in context. Every element on its own, at two sizes, is in
// tools/skin-gallery.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "toolkit/memo.h"

namespace {

using dizad::skin::TSkinData;
using dizad::skin::TSmartSkin;
using dizad::toolkit::TCanvas;

constexpr QRgb kFolderGrey = 0xFFC5C5C3;

struct TSheetFont {
  QFont Font;
  QRgb Color = 0xFFF1F1F1;
};

// The skin engine seen through the painter the mock-ups draw with.
class TSheetSkin {
 public:
  explicit TSheetSkin(const TSmartSkin& skin) : FSkin(skin) {}

  void Draw(QPainter& p, const QString& group, const QString& id, const QRectF& r) const {
    if (!FSkin.FindData(group, id)) {
      std::fprintf(stderr, "missing element %s:%s\n", qPrintable(group), qPrintable(id));
      return;
    }
    p.save();
    TCanvas canvas(&p);
    FSkin.Draw(group, id, canvas, r);
    p.restore();
  }

  // Font and colour of a font element; a neutral default when absent.
  TSheetFont Font(const QString& group, const QString& id) const {
    const TSkinData* data = FSkin.FindFont(group, id);
    if (!data) {
      std::fprintf(stderr, "missing font %s:%s\n", qPrintable(group), qPrintable(id));
      return {};
    }
    return {data->sdFont, QRgb(data->sdFontColor)};
  }

 private:
  const TSmartSkin& FSkin;
};

// A font the controls set in code ("Segoe UI" stands for Noto Sans here).
QFont uiFont(int pixelSize, bool bold = false) {
  QFont f(QStringLiteral("Noto Sans"));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

void text(QPainter& p, const QRectF& r, const QString& s, const QFont& f, QRgb colour,
          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
  p.setFont(f);
  p.setPen(QColor::fromRgba(colour));
  if (!(flags & Qt::TextWordWrap))
    p.drawText(r, flags, QFontMetricsF(f).elidedText(s, Qt::ElideRight, r.width()));
  else
    p.drawText(r, flags, s);
}

void text(QPainter& p, const QRectF& r, const QString& s, const TSheetFont& f,
          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
  text(p, r, s, f.Font, f.Color, flags);
}

// ------------------------------------------------------------------ contact sheet

// The sheet, cut at row boundaries into pages a person can look at whole.
// ----------------------------------------------------------------------- mock-ups

QImage themeIcon(const QString& relPath) {
  QImage icon(QStringLiteral("/usr/share/icons/Adwaita/") + relPath);
  return icon;
}

struct TTile {
  QString Name, Ext, Size, Icon;
  int State;  // 0 normal, 1 hot, 2 selected, 3 hot-selected
};

const char* const kStates[] = {"", ".Hot", ".Selected", ".HotSelected"};

class TMockup {
 public:
  TMockup(const TSheetSkin& skin, QPainter& p) : S(skin), P(p) {}

  void TabBar(qreal w, const QStringList& tabs, int active) {
    S.Draw(P, QStringLiteral("TabBar"), QStringLiteral("TabBar.Back"), QRectF(0, 0, w, 67));
    S.Draw(P, QStringLiteral("TabBar"), QStringLiteral("Logo.Top"),
           QRectF(QPointF(5, 5), QPointF(177, 33)));
    const qreal band = 67 - 26;
    S.Draw(P, QStringLiteral("TabBar"), QStringLiteral("Tab.Icon.New"),
           QRectF(QPointF(5, band + 5), QPointF(21, band + 21)));
    qreal x = 31;
    for (int i = 0; i < tabs.size(); ++i) {
      const bool on = i == active;
      const bool hot = !on && i == active + 2;
      P.save();
      P.translate(x, band);
      S.Draw(P, QStringLiteral("TabBar"),
             on || hot ? QStringLiteral("Tab.Hot") : QStringLiteral("Tab.Normal"),
             QRectF(0, 0, 150, 26));
      S.Draw(P, QStringLiteral("Icons"), QStringLiteral("Icon.Folder.16"),
             QRectF(QPointF(5, 5), QPointF(21, 21)));
      text(P, QRectF(QPointF(25, 4), QPointF(150 - 30, 20)), tabs[i],
           S.Font(QStringLiteral("TabBar"), on    ? QStringLiteral("Tab.Active")
                                            : hot ? QStringLiteral("Tab.Hot")
                                                  : QStringLiteral("Tab.Normal")),
           Qt::AlignHCenter | Qt::AlignTop);
      P.restore();
      x += 155;
    }
    // Favourites, menu and search from the right edge.
    const qreal fav = w - 28 - 20, menu = fav - 28 - 20, search = menu - 28 - 20, by = 67 - 28;
    S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Hot"),
           QRectF(menu, by, 28, 28));
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Common.Favorites.Small"),
           QRectF(fav + 2, by + 2, 24, 24));
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Common.Menu.Small"),
           QRectF(menu + 2, by + 2, 24, 24));
    S.Draw(P, QStringLiteral("TabBar"), QStringLiteral("Tab.Hot"), QRectF(search, by, 40, 28));
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Common.Search.Small"),
           QRectF(search + 6, by + 2, 24, 24));
  }

  void PathBar(qreal top, qreal w, const QStringList& crumbs, const QStringList& drives) {
    P.save();
    P.translate(0, top);
    S.Draw(P, QStringLiteral("PathBar"), QStringLiteral("PathBar.Back"), QRectF(0, 0, w, 39));
    S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Hot"),
           QRectF(5, 5, 29, 28));
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Navigate.Back"),
           QRectF(10, 10, 19, 19));
    const qreal fwd = 5 + 29 + 2;
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Navigate.Forward"),
           QRectF(fwd + 5, 10, 19, 19));
    qreal dx = fwd + 28 + 5, right = dx;
    const QImage disk = themeIcon(QStringLiteral("24x24/devices/drive-harddisk.png"));
    for (int i = 0; i < drives.size(); ++i) {
      if (i == 1)
        S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Normal"),
               QRectF(dx, 5, 32, 28));
      P.drawImage(QRectF(dx + 4, 7, 24, 24), disk);
      text(P, QRectF(dx + 32, 5, 100, 24), drives[i], uiFont(13, true), 0xFFFFFFFF);
      right = dx + 32;
      dx += 32 + 10;
    }
    const qreal cloud = w - 24 - 15;
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Services.GoogleDrive.Small"),
           QRectF(cloud + 2, 7, 24, 24));
    const qreal ex = right + 20;
    const QRectF edit(ex, 5, cloud - ex - 10, 29);
    S.Draw(P, QStringLiteral("PathEdit"), QStringLiteral("PathEdit.Back"), edit);
    qreal bx = ex + 10;
    const QFont crumbFont = uiFont(12);
    for (const QString& c : crumbs) {
      const qreal bw = QFontMetricsF(crumbFont).horizontalAdvance(c) + 18;
      S.Draw(P, QStringLiteral("Items"), QStringLiteral("next"), QRectF(bx + 2, 5 + 6, 16, 16));
      text(P, QRectF(bx + 23, 5, 100, 29), c, crumbFont, 0xFF000000);
      bx += bw + 10;
    }
    P.restore();
  }

  // Group header band at (x, y) of width w; returns the top of its first item row.
  qreal Group(qreal x, qreal y, qreal w, const QString& iconId, const QString& caption,
              const QString& count, bool showStyles, bool driveIcon = false) {
    P.save();
    P.translate(x, y);
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Group.Back"), QRectF(0, 0, w, 33));
    const int colon = iconId.indexOf(QLatin1Char(':'));
    S.Draw(P, iconId.left(colon), iconId.mid(colon + 1), QRectF(5, 4, 24, 24));
    const QFont f = uiFont(12, true);
    text(P, QRectF(39, 0, w, 33), caption, f, 0xFFFFFFFF);
    if (!driveIcon || !count.isEmpty())
      text(P, QRectF(39 + QFontMetricsF(f).horizontalAdvance(caption) + 30, 0, w, 33), count, f,
           0xFF9EDB01);
    S.Draw(P, QStringLiteral("Buttons"),
           showStyles ? QStringLiteral("Button.Group.Expand.Hot")
                      : QStringLiteral("Button.Group.Expand"),
           QRectF(w - 34, 2, 24, 24));
    if (showStyles) {
      const QString ids[] = {QStringLiteral("Thumb"), QStringLiteral("list"),
                             QStringLiteral("Icons"), QStringLiteral("Tiles")};
      for (int i = 0; i < 4; ++i) {
        const qreal bx = w - 80 - 35 * i;
        if (i == 1)
          S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Hot"),
                 QRectF(bx, 2, 28, 28));
        S.Draw(P, QStringLiteral("Icons"), ids[i], QRectF(bx + 2, 4, 24, 24));
      }
    }
    P.restore();
    return y + 33 + 5 + 15;
  }

  void Tile(qreal x, qreal y, const TTile& t) {
    const qreal W = 270, H = 74;
    P.save();
    P.translate(x, y);
    S.Draw(P, QStringLiteral("Items"),
           QStringLiteral("Item.File.Back") + QLatin1String(kStates[t.State]), QRectF(0, 0, W, H));
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Tile.Left.Back"), QRectF(0, 0, 64, H));
    P.drawImage(QRectF(16, 8, 32, 32), themeIcon(t.Icon));
    text(P, QRectF(5, 48, 54, 15), t.Ext, uiFont(13, true), 0xFFFFFFFF, Qt::AlignCenter);
    text(P, QRectF(70, 2, 190, 54), t.Name, uiFont(13), 0xFF000000,
         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    text(P, QRectF(W - 105, H - 20, 100, 20), t.Size, uiFont(13), 0xFFC50000,
         Qt::AlignRight | Qt::AlignVCenter);
    if (t.Ext == QLatin1String(".exe") && t.State >= 2)
      S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Run"), QRectF(W - 20, -10, 24, 24));
    P.restore();
  }

  void ListRow(qreal x, qreal y, qreal W, const TTile& t) {
    const qreal H = 45;
    P.save();
    P.translate(x, y);
    static const char* const listStates[] = {"Item.File.List.Back", "Item.File.Back.List.Hot",
                                             "Item.File.Back.List.Selected",
                                             "Item.File.Back.List.HotSelected"};
    S.Draw(P, QStringLiteral("Items"), QString::fromLatin1(listStates[t.State]),
           QRectF(0, 0, W, H));
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.File.List.Left"), QRectF(0, 0, 90, H));
    P.drawImage(QRectF(10, 10, 24, 24), themeIcon(t.Icon));
    text(P, QRectF(37, 14, 52, 16), t.Ext, uiFont(13, true), 0xFFFFFFFF, Qt::AlignCenter);
    text(P, QRectF(100, 2, 300, 45), t.Name, uiFont(13), 0xFF000000, Qt::AlignLeft | Qt::AlignTop);
    text(P, QRectF(420, 4, 220, 16), QStringLiteral("Various Artists"), uiFont(13), 0xFF585858);
    text(P, QRectF(420, 24, 220, 16), QStringLiteral("Night Drive (2016)"), uiFont(13), 0xFF4E4E4E);
    text(P, QRectF(650, 4, 220, 16), QStringLiteral("Trance | 3 min 44 sec"), uiFont(13),
         0xFF585858);
    text(P, QRectF(650, 24, 220, 16), QStringLiteral("Stereo | 44 khz, 320 kbps"), uiFont(13),
         0xFF4E4E4E);
    text(P, QRectF(W - 92, 4, 85, 16), QStringLiteral("25.06.2016"), uiFont(13), 0xFF585858,
         Qt::AlignRight | Qt::AlignVCenter);
    text(P, QRectF(W - 92, 24, 85, 16), t.Size, uiFont(13), 0xFFC50000,
         Qt::AlignRight | Qt::AlignVCenter);
    P.restore();
  }

  void Row(qreal x, qreal y, qreal w, const QString& caption, bool folder, bool hot) {
    const qreal H = 18;
    P.save();
    P.translate(x, y);
    if (hot)
      S.Draw(P, QStringLiteral("QuickDrive"), QStringLiteral("Item.Drive.Subitem.Back"),
             QRectF(0, 0, w, H));
    if (folder)
      S.Draw(P, QStringLiteral("Icons"), QStringLiteral("Icon.Folder.16"), QRectF(1, 1, 16, 16));
    else
      P.drawImage(QRectF(0, 0, 16, 16),
                  themeIcon(QStringLiteral("16x16/mimetypes/text-x-generic.png")));
    text(P, QRectF(QPointF(H - 1 + 8, 1), QPointF(w - 8, H - 1)), caption,
         S.Font(QStringLiteral("QuickDrive"), hot ? QStringLiteral("Item.Drive.Subitem.Hot")
                                                  : QStringLiteral("Item.Drive.Subitem.Normal")));
    P.restore();
  }

  void FolderCard(qreal x, qreal y, const QString& caption, int state, const QStringList& rows,
                  bool note) {
    const qreal W = 270, H = 143;
    P.save();
    P.translate(x, y);
    S.Draw(P, QStringLiteral("Items"),
           QStringLiteral("Item.Folder.Back") + QLatin1String(kStates[state]), QRectF(0, 0, W, H));
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Folder.Top"), QRectF(0, 0, W, 25));
    S.Draw(P, QStringLiteral("Icons"), QStringLiteral("Icon.Folder.16"), QRectF(4, 4, 16, 16));
    text(P, QRectF(QPointF(25, 4), QPointF(W - 30, 20)), caption,
         S.Font(QStringLiteral("Items"), QStringLiteral("Folder.Normal")), Qt::AlignCenter);
    for (int i = 0; i < rows.size() && i < 5; ++i)
      Row(5, 30 + 21 * i, W - 10, rows[i], !rows[i].contains(QLatin1Char('.')), false);
    if (note)
      S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Folder.Note"),
             QRectF(W - 20, -10, 24, 24));
    P.restore();
  }

  void Picture(qreal x, qreal y, const QString& caption, const QString& ext, int state,
               const QImage& photo) {
    const qreal W = 270, H = 201;
    P.save();
    P.translate(x, y);
    S.Draw(P, QStringLiteral("Items"),
           QStringLiteral("Item.Graphic.Back") + QLatin1String(kStates[state]), QRectF(0, 0, W, H));
    const QImage thumb =
        photo.scaled(int(W), int(H), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    P.drawImage(QPointF((W - thumb.width()) / 2, (H - thumb.height()) / 2), thumb);
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Graphic.Bottom"),
           QRectF(QPointF(0, H - 35), QPointF(W, H)));
    P.drawImage(QRectF(5, H - 29, 24, 24),
                themeIcon(QStringLiteral("32x32/mimetypes/image-x-generic.png")));
    S.Draw(P, QStringLiteral("Items"), QStringLiteral("Item.Graphic.Extension"),
           QRectF(QPointF(-10, -5), QPointF(30, 15)));
    text(P, QRectF(QPointF(-10, -5), QPointF(30, 18)), ext,
         S.Font(QStringLiteral("Items"), QStringLiteral("Item.Graphic.Extension")),
         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
    text(P, QRectF(QPointF(30, H - 33), QPointF(W - 4, H - 2)), caption,
         S.Font(QStringLiteral("Items"), QStringLiteral("Item.Normal")),
         Qt::AlignCenter | Qt::TextWordWrap);
    P.restore();
  }

  void DriveCard(qreal x, qreal y, qreal W, const QString& caption, const QString& fs, int percent,
                 const QString& sizes, int state, const QStringList& rows) {
    const qreal H = 110;
    P.save();
    P.translate(x, y);
    S.Draw(P, QStringLiteral("QuickDrive"),
           QStringLiteral("Item.Drive.Back") + QLatin1String(kStates[state]), QRectF(0, 0, W, H));
    S.Draw(P, QStringLiteral("QuickDrive"), QStringLiteral("Item.Drive.Left"),
           QRectF(0, 0, 260, H));
    const QFont bold = uiFont(13, true);
    text(P, QRectF(110, 15, 200, 20), caption, bold, 0xFFFFFFFF);
    text(P, QRectF(110, 35, 200, 20), fs, bold, 0xFFEBD800);
    S.Draw(P, QStringLiteral("QuickDrive"), QStringLiteral("Device.SizeBar.Back"),
           QRectF(QPointF(110, 70), QPointF(250, 86)));
    const int fill = qRound(percent * 1.4);
    const QString bar = percent <= 80   ? QStringLiteral("Device.SizeBar.Green")
                        : percent <= 90 ? QStringLiteral("Device.SizeBar.Orange")
                                        : QStringLiteral("Device.SizeBar.Red");
    S.Draw(P, QStringLiteral("QuickDrive"), bar, QRectF(QPointF(110, 70), QPointF(110 + fill, 86)));
    P.drawImage(QRectF(14, 14, H - 28, H - 28),
                themeIcon(QStringLiteral("512x512/devices/drive-harddisk.png")));
    text(P, QRectF(115, 70, 175, 15), sizes, uiFont(13), 0xFF000000);
    qreal rx = 278, ry = 3;
    for (int i = 0; i < rows.size(); ++i) {
      if (i > 0) {
        rx += 174 + 20;
        if (rx + 174 > W) {
          rx = 278;
          ry += 21;
        }
      }
      if (ry + 18 > H) break;
      Row(rx, ry, 174, rows[i], true, i == 4);
    }
    P.restore();
  }

  void Scroll(qreal x, qreal top, qreal h, qreal thumbY) {
    S.Draw(P, QStringLiteral("SmartScroll"), QStringLiteral("SmartScroll.Back.Collapsed"),
           QRectF(x, top, 32, h));
    S.Draw(P, QStringLiteral("SmartScroll"), QStringLiteral("SmartScroll.Pan.Normal"),
           QRectF(x + 2, top + thumbY, 27, 20));
  }

  void ScrollExpanded(qreal x, qreal top, qreal h, const QStringList& groups) {
    S.Draw(P, QStringLiteral("SmartScroll"), QStringLiteral("SmartScroll.Back.Expanded"),
           QRectF(x, top, 250, h));
    for (int i = 0; i < groups.size(); ++i) {
      const QRectF e(x + 10, top + 20 + 50 * i, 250 - 62, 25);
      S.Draw(P, QStringLiteral("SmartScroll"), QStringLiteral("SmartScroll.Pan.Normal"), e);
      S.Draw(P, QStringLiteral("Items"), QStringLiteral("smallgrpfiles"),
             QRectF(e.left() + 5, e.top() + 4, 16, 16));
      text(P, QRectF(e.left() + 32, e.top(), e.width() - 32, 25), groups[i], uiFont(12, true),
           0xFFFFFFFF);
    }
    S.Draw(P, QStringLiteral("SmartScroll"), QStringLiteral("SmartScroll.Pan.Normal"),
           QRectF(x + 250 - 32 + 2, top + 140, 27, 20));
  }

  void Menu(qreal x, qreal top, qreal h) {
    const qreal W = 350;
    P.save();
    P.translate(x, top);
    S.Draw(P, QStringLiteral("SmartMenu"), QStringLiteral("SmartMenu.Back"), QRectF(0, 0, W, h));
    S.Draw(P, QStringLiteral("SmartMenu"), QStringLiteral("SmartMenu.Header"), QRectF(0, 0, W, 38));
    S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Normal"),
           QRectF(5, 5, 28, 28));
    S.Draw(P, QStringLiteral("Buttons"), QStringLiteral("Button.Navigate.Back"),
           QRectF(5 + 2.5, 5 + 2, 19, 19));
    text(P, QRectF(50, 0, 200, 38), QStringLiteral("Open With:"), uiFont(14, true), 0xFFFFFFFF,
         Qt::AlignCenter);
    // The page: a search field, then one group of entries.
    S.Draw(P, QStringLiteral("SmartEdit"), QStringLiteral("Edit.Back"), QRectF(20, 53, W - 30, 30));
    text(P, QRectF(30, 53, W - 50, 30), QStringLiteral("Type in an aplication name"), uiFont(14),
         0xFF696969);
    const qreal gy = 53 + 45;
    S.Draw(P, QStringLiteral("SmartMenu"), QStringLiteral("SmartMenu.group.header"),
           QRectF(20, gy, W - 30, 25));
    text(P, QRectF(25, gy, 200, 25), QStringLiteral("Recent:"), uiFont(14, true), 0xFFFFFFFF);
    const QString names[] = {QStringLiteral("Text Editor"), QStringLiteral("Image Viewer")};
    const QString paths[] = {QStringLiteral("/usr/bin/gnome-text-editor"),
                             QStringLiteral("/usr/bin/eog")};
    for (int i = 0; i < 2; ++i) {
      const QRectF e(20, gy + 30 + 73 * i, W - 30, 70);
      if (i == 0) {
        S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Hot"), e);
        S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Sub"),
               QRectF(e.right() - 40, e.top(), 40, 70));
        S.Draw(P, QStringLiteral("SmartButton"), QStringLiteral("SmartButton.Back.Sub.Arrow"),
               QRectF(e.right() - 30, e.top() + 25, 19, 19));
      }
      P.drawImage(QRectF(e.left() + 10, e.top() + 10, 32, 32),
                  themeIcon(QStringLiteral("32x32/mimetypes/text-x-generic.png")));
      text(P, QRectF(e.left() + 55, e.top() + 10, e.width() - 60, 20), names[i], uiFont(13, true),
           0xFF383838, Qt::AlignLeft | Qt::AlignTop);
      text(P, QRectF(e.left() + 55, e.top() + 30, e.width() - 60, 32), paths[i], uiFont(12),
           0xFF190086, Qt::AlignLeft | Qt::AlignTop);
    }
    P.restore();
  }

 private:
  const TSheetSkin& S;
  QPainter& P;
};

QImage samplePhoto(int w, int h) {
  // A small synthetic landscape, standing in for a thumbnail.
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0, QColor(0x6A, 0xA9, 0xE0));
  sky.setColorAt(0.6, QColor(0xF3, 0xC9, 0x8B));
  p.fillRect(img.rect(), sky);
  p.setBrush(QColor(0xFF, 0xE9, 0xA8));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(w * 0.72, h * 0.38), h * 0.1, h * 0.1);
  QPolygonF hills;
  hills << QPointF(0, h) << QPointF(0, h * 0.62) << QPointF(w * 0.3, h * 0.45)
        << QPointF(w * 0.55, h * 0.66) << QPointF(w * 0.8, h * 0.5) << QPointF(w, h * 0.6)
        << QPointF(w, h);
  p.setBrush(QColor(0x3C, 0x6E, 0x4A));
  p.drawPolygon(hills);
  return img;
}

// A mock-up window: the grey the explorer paints behind the folders, the tab
// bar on top, and the geometry between the bars.
struct TMockWindow {
  TMockWindow(const TSheetSkin& skin, int w, int h, const QStringList& tabs, int active)
      : W(w), Bottom(h - 39), GroupWidth(w - 60), Image(w, h, QImage::Format_ARGB32_Premultiplied) {
    Image.fill(kFolderGrey);
    P.begin(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    M.emplace(skin, P);
    M->TabBar(w, tabs, active);
  }
  QImage Finish() {
    P.end();
    return Image;
  }

  const int W;
  const qreal Top = 67;
  const qreal Bottom;
  const qreal GroupWidth;
  QImage Image;
  QPainter P;                // on Image until Finish
  std::optional<TMockup> M;  // draws with P
};

QImage folderMockup(const TSheetSkin& skin) {
  TMockWindow win(skin, 1200, 700, {QStringLiteral("Documents"), QStringLiteral("Durov Udero")}, 0);
  TMockup& m = *win.M;
  const int W = win.W;
  const qreal top = win.Top, bottom = win.Bottom, gw = win.GroupWidth;

  qreal y = top + 15;
  qreal iy = m.Group(15, y, gw, QStringLiteral("Icons:Icon.Folder.24"), QStringLiteral("Folders"),
                     QStringLiteral("3 Items"), true);
  m.FolderCard(15, iy, QStringLiteral("Invoices"), 0,
               {QStringLiteral("2025"), QStringLiteral("2026"), QStringLiteral("summary.ods"),
                QStringLiteral("template.odt")},
               false);
  m.FolderCard(15 + 285, iy, QStringLiteral("Projects"), 1,
               {QStringLiteral("dizad"), QStringLiteral("website"), QStringLiteral("notes.md"),
                QStringLiteral("plan.txt"), QStringLiteral("todo.txt")},
               true);
  m.FolderCard(15 + 570, iy, QStringLiteral("Scans"), 2, {QStringLiteral("receipt-01.pdf")}, false);

  y = iy + 143 + 15 + 20;
  iy = m.Group(15, y, gw, QStringLiteral("Icons:Icon.Document.24"),
               QStringLiteral("Document Files"), QStringLiteral("4 Items  | 6.2 MB"), false);
  const TTile tiles[] = {
      {QStringLiteral("Annual report 2025.pdf"), QStringLiteral(".pdf"), QStringLiteral("2.41 MB"),
       QStringLiteral("32x32/mimetypes/x-office-document.png"), 0},
      {QStringLiteral("Meeting notes with a rather long file name.odt"), QStringLiteral(".odt"),
       QStringLiteral("48.5 KB"), QStringLiteral("32x32/mimetypes/x-office-document.png"), 1},
      {QStringLiteral("budget.ods"), QStringLiteral(".ods"), QStringLiteral("310 KB"),
       QStringLiteral("32x32/mimetypes/x-office-spreadsheet.png"), 2},
      {QStringLiteral("installer.exe"), QStringLiteral(".exe"), QStringLiteral("3.4 MB"),
       QStringLiteral("32x32/mimetypes/application-x-executable.png"), 3}};
  for (int i = 0; i < 4; ++i) m.Tile(15 + 285 * i, iy, tiles[i]);

  y = iy + 74 + 15 + 20;
  iy = m.Group(15, y, gw, QStringLiteral("Icons:Icon.Audio.24"), QStringLiteral("Audio Files"),
               QStringLiteral("2 Items  | 17.9 MB"), false);
  iy = iy - 15 + 8;
  m.ListRow(15, iy, gw,
            {QStringLiteral("Night Drive.mp3"), QStringLiteral(".mp3"), QStringLiteral("8.6 MB"),
             QStringLiteral("32x32/mimetypes/audio-x-generic.png"), 0});
  m.ListRow(15, iy + 45 + 8, gw,
            {QStringLiteral("Morning Run.flac"), QStringLiteral(".flac"), QStringLiteral("9.3 MB"),
             QStringLiteral("32x32/mimetypes/audio-x-generic.png"), 2});

  // Rubber band across part of the list.
  skin.Draw(win.P, QStringLiteral("Holder"), QStringLiteral("Holder.SelectRect.Back"),
            QRectF(700, iy + 20, 260, 60));
  m.Scroll(W - 32, top, bottom - top, 40);
  m.PathBar(bottom, W,
            {QStringLiteral("Durov Udero"), QStringLiteral("home"), QStringLiteral("dizad"),
             QStringLiteral("Documents")},
            {QStringLiteral("/"), QStringLiteral("D")});
  return win.Finish();
}

QImage drivesMockup(const TSheetSkin& skin) {
  TMockWindow win(
      skin, 1200, 900,
      {QStringLiteral("Documents"), QStringLiteral("Durov Udero"), QStringLiteral("Photos")}, 1);
  TMockup& m = *win.M;
  const int W = win.W;
  const qreal top = win.Top, bottom = win.Bottom, gw = win.GroupWidth;
  qreal y = top + 15;
  qreal iy = m.Group(15, y, gw, QStringLiteral("QuickDrive:Item.Drive.Icon.Fixed.Small"),
                     QStringLiteral("Local Storage Devices"), QStringLiteral("3 Items  | 1.31 TB"),
                     false, true);
  const QStringList rows = {QStringLiteral("bin"),   QStringLiteral("boot"), QStringLiteral("etc"),
                            QStringLiteral("home"),  QStringLiteral("opt"),  QStringLiteral("srv"),
                            QStringLiteral("usr"),   QStringLiteral("var"),  QStringLiteral("tmp"),
                            QStringLiteral("media"), QStringLiteral("mnt"),  QStringLiteral("root"),
                            QStringLiteral("run"),   QStringLiteral("snap")};
  m.DriveCard(15, iy, gw, QStringLiteral("Local disk /"), QStringLiteral("ext4"), 46,
              QStringLiteral("465.66 GB | 251.3 GB"), 0, rows);
  m.DriveCard(15, iy + 110 + 15, gw, QStringLiteral("Local disk /data"), QStringLiteral("btrfs"),
              86, QStringLiteral("931.5 GB | 130.4 GB"), 1, rows.mid(3, 6));
  m.DriveCard(15, iy + 2 * 125, gw, QStringLiteral("Local disk /backup"), QStringLiteral("xfs"), 97,
              QStringLiteral("1.82 TB | 55.9 GB"), 2, rows.mid(0, 2));
  y = iy + 3 * 125 + 5;
  iy = m.Group(15, y, gw, QStringLiteral("QuickDrive:Item.Drive.Icon.Removable.Small"),
               QStringLiteral("Removable Devices"), QStringLiteral("1 Items  | 29.8 GB"), false,
               true);
  const QImage photo = samplePhoto(400, 300);
  m.Picture(15, iy, QStringLiteral("Hills at dusk.jpg"), QStringLiteral(".jpg"), 0, photo);
  m.Picture(15 + 285, iy, QStringLiteral("Hills at dusk (2).png"), QStringLiteral(".png"), 1,
            samplePhoto(300, 300));
  m.ScrollExpanded(W - 250 - 350, top, bottom - top,
                   {QStringLiteral("Local Storage Devices"), QStringLiteral("Removable Devices"),
                    QStringLiteral("CD-ROM Devices")});
  m.Menu(W - 350, top, bottom - top);
  m.PathBar(bottom, W, {QStringLiteral("Durov Udero")}, {QStringLiteral("/"), QStringLiteral("D")});
  return win.Finish();
}

// The skin is found under AppDir: the working directory when it holds the
// skin, else DIZAD_SOURCE_DIR.
void chooseAppDir() {
  if (QFileInfo::exists(QDir::current().filePath(QStringLiteral("Data/Theme/ThemeData.dez"))))
    return;
  const QByteArray src = qgetenv("DIZAD_SOURCE_DIR");
  if (!src.isEmpty()) dizad::core::setAppDir(QString::fromLocal8Bit(src));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  dizad::toolkit::TApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString mockPath = args.size() > 1 ? args[1] : QStringLiteral("skin-mockup.png");
  const QString drivesPath = args.size() > 2 ? args[2] : QStringLiteral("skin-mockup-drives.png");

  chooseAppDir();
  dizad::toolkit::LogMemo().Clear();
  const TSmartSkin engine;
  const QStringList broken = dizad::toolkit::LogMemo().Lines();
  if (engine.ssDataList.empty()) {
    std::fprintf(stderr, "no skin found under %s\n", qPrintable(dizad::core::AppDir()));
    return 1;
  }
  const TSheetSkin skin(engine);
  const bool ok = folderMockup(skin).save(mockPath) && drivesMockup(skin).save(drivesPath);
  if (!ok) {
    std::fprintf(stderr, "cannot write the pictures\n");
    return 1;
  }
  std::printf("%s\n%s\n", qPrintable(mockPath), qPrintable(drivesPath));
  // A broken entry would be missing from the program too.
  for (const QString& line : broken) std::fprintf(stderr, "%s\n", qPrintable(line));
  return broken.isEmpty() ? 0 : 2;
}

// svg-sheet: a contact sheet and a mock-up of the default skin, for the person drawing it.
//
//   svg-sheet [sheet.png [mockup.png [drives.png]]]
//
// Reads Data/Theme/ThemeData.dez (relative to the working directory, or to
// DIZAD_SOURCE_DIR), renders every picture it names at its natural size and, for
// nine-slice pictures, stretched to a few sizes, on the folder grey and on the dark
// chrome. The mock-ups assemble a folder view and the drive overview from the skin with
// the geometry the controls use, so the whole look can be judged before the real
// controls exist. The file is read with the program's INI reader and parameter syntax;
// drawing follows the skin engine's nine-slice rule.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/inifile.h"
#include "core/paramstring.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"  // TBitmap needs the complete canvas type where it is created

namespace {

using dizad::core::ExtractParamValue;
using dizad::core::pdRound;
using dizad::core::TIniFile;
using dizad::core::TParamString;
using dizad::toolkit::TBitmap;

constexpr QRgb kFolderGrey = 0xFFC5C5C3;
constexpr QRgb kChromeDark = 0xFF212529;

struct TMargins {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TSheetImage {
  QString Group, Id, File;
  std::optional<TMargins> Margins;  // set: nine-slice
  TMargins Offset;
  QImage Image;
};

struct TSheetFont {
  QFont Font;
  QRgb Color = 0xFFF1F1F1;
};

TMargins fourInts(const TParamString& value, const QString& name) {
  TMargins m;
  m.Left = value.GetSubParam(name, QStringLiteral("Left"), 0);
  m.Top = value.GetSubParam(name, QStringLiteral("Top"), 0);
  m.Right = value.GetSubParam(name, QStringLiteral("Right"), 0);
  m.Bottom = value.GetSubParam(name, QStringLiteral("Bottom"), 0);
  return m;
}

class TSheetSkin {
 public:
  // Reads the skin with the program's own INI reader and parameter syntax. A value
  // that is not a number raises EConvertError, as it would in the program.
  bool Load(const QString& themeDir) {
    const QString fileName = QDir(themeDir).filePath(QStringLiteral("ThemeData.dez"));
    if (!QFileInfo::exists(fileName)) return false;
    const TIniFile ini(fileName);
    for (const QString& group : ini.ReadSections()) {
      for (const QString& key : ini.ReadSection(group)) {
        const TParamString value{ini.ReadString(group, key, QString())};
        if (key.contains(QLatin1String("Image("))) {
          TSheetImage img;
          img.Group = group;
          img.Id = ExtractParamValue(key, QStringLiteral("Image"), QString(), pdRound);
          img.File = value.GetParam(QStringLiteral("Path"), QString());
          if (value.ParamExists(QStringLiteral("Margins")))
            img.Margins = fourInts(value, QStringLiteral("Margins"));
          if (value.ParamExists(QStringLiteral("Offset")))
            img.Offset = fourInts(value, QStringLiteral("Offset"));
          TBitmap bitmap;
          QString error;
          if (!bitmap.LoadFromFile(QDir(themeDir).filePath(img.File), &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(img.File), qPrintable(error));
            ++FFailures;
            continue;
          }
          img.Image = bitmap.Image();
          FImages.push_back(img);
        } else if (key.contains(QLatin1String("Font("))) {
          TSheetFont f;
          f.Font.setFamily(value.GetParam(QStringLiteral("Name"), QStringLiteral("Segoe UI")));
          // Skin font sizes are pixel sizes, as the column texts use them.
          f.Font.setPixelSize(value.GetParam(QStringLiteral("Size"), qint32(12)));
          f.Font.setBold(value.GetParam(QStringLiteral("Bold"), QStringLiteral("0")) ==
                         QLatin1String("1"));
          f.Font.setItalic(value.GetParam(QStringLiteral("Italic"), QStringLiteral("0")) ==
                           QLatin1String("1"));
          f.Color = QRgb(value.GetParam(QStringLiteral("Color"), qint32(-921103)));
          FFonts[group + QLatin1Char(':') +
                 ExtractParamValue(key, QStringLiteral("Font"), QString(), pdRound)] = f;
        }
      }
    }
    return true;
  }

  const std::vector<TSheetImage>& Images() const { return FImages; }
  // Pictures named by the skin that could not be read.
  int Failures() const { return FFailures; }

  const TSheetImage* Find(const QString& group, const QString& id) const {
    for (const auto& img : FImages)
      if (img.Group.compare(group, Qt::CaseInsensitive) == 0 &&
          img.Id.compare(id, Qt::CaseInsensitive) == 0)
        return &img;
    return nullptr;
  }

  // Draws like the skin engine: outset, then nine pieces (or one stretched picture).
  void Draw(QPainter& p, const QString& group, const QString& id, const QRectF& r) const {
    const TSheetImage* img = Find(group, id);
    if (!img) {
      std::fprintf(stderr, "missing element %s:%s\n", qPrintable(group), qPrintable(id));
      return;
    }
    DrawImage(p, *img, r);
  }

  static void DrawImage(QPainter& p, const TSheetImage& img, const QRectF& r) {
    const QRectF d(QPointF(r.left() - img.Offset.Left, r.top() - img.Offset.Top),
                   QPointF(r.right() + img.Offset.Right, r.bottom() + img.Offset.Bottom));
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const qreal w = img.Image.width(), h = img.Image.height();
    if (!img.Margins) {
      p.drawImage(d, img.Image, QRectF(0, 0, w, h));
      return;
    }
    const TMargins& m = *img.Margins;
    const qreal xs[4] = {d.left(), d.left() + m.Left, d.right() - m.Right, d.right()};
    const qreal ys[4] = {d.top(), d.top() + m.Top, d.bottom() - m.Bottom, d.bottom()};
    const qreal ps[4] = {0, qreal(m.Left), w - m.Right, w};
    const qreal qs[4] = {0, qreal(m.Top), h - m.Bottom, h};
    // Piece order of the engine: corners, edges, centre.
    static const int order[9][2] = {{2, 2}, {0, 0}, {2, 0}, {0, 2}, {1, 0},
                                    {0, 1}, {2, 1}, {1, 2}, {1, 1}};
    for (const auto& o : order) {
      const int i = o[0], j = o[1];
      const QRectF dst(QPointF(xs[i], ys[j]), QPointF(xs[i + 1], ys[j + 1]));
      const QRectF src(QPointF(ps[i], qs[j]), QPointF(ps[i + 1], qs[j + 1]));
      if (dst.width() <= 0 || dst.height() <= 0 || src.width() <= 0 || src.height() <= 0) continue;
      p.drawImage(dst, img.Image, src);
    }
  }

  // Font and colour of a font element (AssignFont); a neutral default when absent.
  TSheetFont Font(const QString& group, const QString& id) const {
    const auto it = FFonts.find(group + QLatin1Char(':') + id);
    if (it == FFonts.end()) {
      std::fprintf(stderr, "missing font %s:%s\n", qPrintable(group), qPrintable(id));
      return {};
    }
    return *it;
  }

 private:
  std::vector<TSheetImage> FImages;
  QMap<QString, TSheetFont> FFonts;
  int FFailures = 0;
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
std::vector<QImage> contactSheet(const TSheetSkin& skin) {
  // One row per picture file, with every element that uses it.
  struct TRow {
    const TSheetImage* Img;
    QStringList Ids;
  };
  std::vector<TRow> rows;
  for (const auto& img : skin.Images()) {
    auto it = std::find_if(rows.begin(), rows.end(),
                           [&](const TRow& r) { return r.Img->File == img.File; });
    if (it == rows.end())
      rows.push_back({&img, {img.Group + QLatin1Char(':') + img.Id}});
    else
      it->Ids << img.Group + QLatin1Char(':') + img.Id;
  }

  const int labelW = 300, cellW = 640, pad = 10;
  std::vector<int> heights;
  int total = 40;
  for (const auto& row : rows) {
    const QImage& im = row.Img->Image;
    int h = std::max(im.height() * (im.height() <= 40 ? 3 : 1), 40);
    if (im.height() <= 40 && im.width() > 60) h = std::max(h, im.height() * 2);
    if (row.Img->Margins) h = std::max(h, std::max(im.height() * 2, im.height() + 40));
    h = std::max(h, 14 * int(row.Ids.size()) + 16);
    heights.push_back(h + 2 * pad);
    total += h + 2 * pad;
  }
  QImage sheet(labelW + 2 * cellW, total, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(0xFFF8F8F8);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing);
  text(p, QRectF(10, 0, labelW, 40), QStringLiteral("Data/Theme pictures"), uiFont(16, true),
       0xFF000000);
  text(p, QRectF(labelW, 0, cellW, 40), QStringLiteral("on the folder grey"), uiFont(13, true),
       0xFF000000, Qt::AlignCenter);
  text(p, QRectF(labelW + cellW, 0, cellW, 40), QStringLiteral("on the dark chrome"),
       uiFont(13, true), 0xFF000000, Qt::AlignCenter);

  int y = 40;
  std::vector<int> rowEnds;
  for (size_t i = 0; i < rows.size(); ++i) {
    const TSheetImage& img = *rows[i].Img;
    const int h = heights[i];
    const QImage& im = img.Image;
    QString label = img.File + QStringLiteral("  %1x%2").arg(im.width()).arg(im.height());
    if (img.Margins)
      label += QStringLiteral("  9-slice %1,%2,%3,%4")
                   .arg(img.Margins->Left)
                   .arg(img.Margins->Top)
                   .arg(img.Margins->Right)
                   .arg(img.Margins->Bottom);
    text(p, QRectF(8, y + 4, labelW - 12, 16), label, uiFont(11, true), 0xFF000000);
    text(p, QRectF(8, y + 20, labelW - 12, h - 22), rows[i].Ids.join(QLatin1Char('\n')), uiFont(10),
         0xFF444444, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    for (int c = 0; c < 2; ++c) {
      const QRectF cell(labelW + c * cellW, y, cellW - 4, h - 4);
      p.fillRect(cell, QColor::fromRgba(c == 0 ? kFolderGrey : kChromeDark));
      qreal x = cell.left() + pad;
      const qreal top = cell.top() + pad;
      // Natural size, then a 3x zoom of small pictures (pixel look, no smoothing).
      p.drawImage(QPointF(x, top), im);
      x += im.width() + pad;
      if (im.height() <= 40 && im.width() <= 200) {
        const int zoom = im.width() <= 60 ? 3 : 2;
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRectF(x, top, im.width() * zoom, im.height() * zoom), im);
        p.restore();
        x += im.width() * zoom + pad;
      }
      if (img.Margins) {
        const QSizeF sizes[] = {
            {qMax(im.width() * 4.0, 150.0), qreal(im.height())},
            {qMax(im.width() * 2.0, 90.0), qMax(im.height() * 2.0, im.height() + 40.0)},
            {qMax(im.width() * 1.0, 40.0), qreal(im.height())}};
        for (const QSizeF& s : sizes) {
          if (x + s.width() > cell.right() - pad) break;
          TSheetSkin::DrawImage(p, img, QRectF(QPointF(x, top), s));
          x += s.width() + pad;
        }
      }
    }
    y += h;
    rowEnds.push_back(y);
  }
  p.end();
  std::vector<QImage> pages;
  int pageTop = 0, last = 0;
  for (const int end : rowEnds) {
    if (end - pageTop > 1400 && last > pageTop) {
      pages.push_back(sheet.copy(0, pageTop, sheet.width(), last - pageTop));
      pageTop = last;
    }
    last = end;
  }
  pages.push_back(sheet.copy(0, pageTop, sheet.width(), last - pageTop));
  return pages;
}

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

// The window's picture, filled with the grey the explorer paints behind the folders.
QImage folderArea(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(kFolderGrey);
  return img;
}

QImage folderMockup(const TSheetSkin& skin) {
  const int W = 1200, H = 700;
  QImage img = folderArea(W, H);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  TMockup m(skin, p);
  m.TabBar(W, {QStringLiteral("Documents"), QStringLiteral("Durov Udero")}, 0);
  const qreal top = 67, bottom = H - 39;
  const qreal gw = W - 60;

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
  skin.Draw(p, QStringLiteral("Holder"), QStringLiteral("Holder.SelectRect.Back"),
            QRectF(700, iy + 20, 260, 60));
  m.Scroll(W - 32, top, bottom - top, 40);
  m.PathBar(bottom, W,
            {QStringLiteral("Durov Udero"), QStringLiteral("home"), QStringLiteral("dizad"),
             QStringLiteral("Documents")},
            {QStringLiteral("/"), QStringLiteral("D")});
  return img;
}

QImage drivesMockup(const TSheetSkin& skin) {
  const int W = 1200, H = 900;
  QImage img = folderArea(W, H);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  TMockup m(skin, p);
  m.TabBar(
      W, {QStringLiteral("Documents"), QStringLiteral("Durov Udero"), QStringLiteral("Photos")}, 1);
  const qreal top = 67, bottom = H - 39;
  const qreal gw = W - 60;
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
  return img;
}

QString themeDirectory() {
  const QString here = QDir::current().filePath(QStringLiteral("Data/Theme"));
  if (QFileInfo::exists(here + QStringLiteral("/ThemeData.dez"))) return here;
  const QByteArray src = qgetenv("DIZAD_SOURCE_DIR");
  if (!src.isEmpty())
    return QDir(QString::fromLocal8Bit(src)).filePath(QStringLiteral("Data/Theme"));
  return here;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString sheetPath = args.size() > 1 ? args[1] : QStringLiteral("svg-sheet.png");
  const QString mockPath = args.size() > 2 ? args[2] : QStringLiteral("svg-mockup.png");
  const QString drivesPath = args.size() > 3 ? args[3] : QStringLiteral("svg-mockup-drives.png");

  TSheetSkin skin;
  try {
    if (!skin.Load(themeDirectory())) {
      std::fprintf(stderr, "cannot read %s/ThemeData.dez\n", qPrintable(themeDirectory()));
      return 1;
    }
  } catch (const std::exception& e) {
    // A malformed number in the skin: the program would refuse the same file.
    std::fprintf(stderr, "ThemeData.dez: %s\n", e.what());
    return 1;
  }
  bool ok = true;
  const std::vector<QImage> pages = contactSheet(skin);
  for (size_t i = 0; i < pages.size(); ++i) {
    QString name = sheetPath;
    if (pages.size() > 1)
      name.insert(name.endsWith(QLatin1String(".png")) ? name.size() - 4 : name.size(),
                  QStringLiteral("-%1").arg(i + 1));
    ok = pages[i].save(name) && ok;
    std::printf("%s\n", qPrintable(name));
  }
  ok = folderMockup(skin).save(mockPath) && ok;
  ok = drivesMockup(skin).save(drivesPath) && ok;
  if (!ok) {
    std::fprintf(stderr, "cannot write the pictures\n");
    return 1;
  }
  std::printf("%s\n%s\n", qPrintable(mockPath), qPrintable(drivesPath));
  // A picture the decoders refuse would be missing from the program too.
  return skin.Failures() > 0 ? 2 : 0;
}

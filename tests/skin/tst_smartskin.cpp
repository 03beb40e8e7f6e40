#include "testregistry.h"

#include "shell/resample.h"
#include "skin/smartskin.h"
#include "skinfixture.h"
#include "toolkit/errors.h"
#include "toolkit/memo.h"

#include <QTest>

using namespace dizad;
using dizad::skin::TSkinBounds;
using dizad::skin::TSkinData;
using dizad::skin::TSmartSkin;
using dizad::test::pixelAt;
using dizad::test::renderInto;
using dizad::test::TSkinFixture;
using dizad::toolkit::TBitmap;
using dizad::toolkit::TCanvas;

Q_DECLARE_METATYPE(dizad::skin::TSkinBounds)

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
constexpr QRgb kTopEdge = 0xFF800000, kBottomEdge = 0xFF008000, kSide = 0xFF000080,
               kCentre = 0xFFFFFFFF;

// 30 x 30 in nine 10 x 10 blocks of distinct colours, so a render shows which
// source piece landed where.
QImage nineBlocks() {
  const QRgb blocks[3][3] = {
      {kRed, kTopEdge, kBlue}, {kSide, kCentre, kSide}, {kGreen, kBottomEdge, kYellow}};
  QImage image(30, 30, QImage::Format_ARGB32);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) image.setPixel(x, y, blocks[y / 10][x / 10]);
  return image;
}

QStringList skinLogLines() {
  QStringList lines;
  for (const QString& line : toolkit::LogMemo().Lines())
    if (line.startsWith(QLatin1String("Skin "))) lines.append(line);
  return lines;
}

QStringList elementIds(const skin::TSkinGroup& group) {
  QStringList ids;
  for (const auto& data : group.sgDataList) ids.append(data->sdID);
  return ids;
}

}  // namespace

// The skin file: what its keys declare, how elements are found and drawn.
class TestSmartSkin : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init() { toolkit::LogMemo().Clear(); }

  void imageEntry_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("nineSlice");
    QTest::addColumn<TSkinBounds>("margins");
    QTest::addColumn<TSkinBounds>("offset");
    const TSkinBounds defaults{10, 10, 10, 10}, none{0, 0, 0, 0};
    QTest::newRow("left and right margins")
        << "Path(a.png) Margins(Left[12] Right[12])" << true << TSkinBounds{12, 0, 12, 0} << none;
    QTest::newRow("plain picture stretches") << "Path(a.png)" << false << defaults << none;
    QTest::newRow("parameter names in any case")
        << "path(a.png) Margins(left[3] TOP[4] Right[5] bottom[6])" << true
        << TSkinBounds{3, 4, 5, 6} << none;
    QTest::newRow("lower-case margins( is not seen")
        << "Path(a.png) margins(Left[3])" << false << defaults << none;
    QTest::newRow("order, commas and blanks do not matter")
        << "Offset(Bottom[1]), Margins( Top[3] Bottom[$10] ) ,Path(a.png)" << true
        << TSkinBounds{0, 3, 0, 16} << TSkinBounds{0, 0, 0, 1};
    QTest::newRow("outset") << "Path(a.png) Offset(Left[2] Top[2] Right[2] Bottom[2])" << false
                            << defaults << TSkinBounds{2, 2, 2, 2};
    QTest::newRow("empty margins are all zero")
        << "Path(a.png) Margins()" << true << TSkinBounds{0, 0, 0, 0} << none;
  }
  void imageEntry() {
    QFETCH(QString, value);
    QFETCH(bool, nineSlice);
    QFETCH(TSkinBounds, margins);
    QFETCH(TSkinBounds, offset);
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("a.png"), 6, 4, kRed));
    QVERIFY(fx.writeSkin("[TabBar]\nImage(Tab.Normal)=" + value.toUtf8() + "\n"));
    TSmartSkin skin;
    const TSkinData* data = skin.FindData(QStringLiteral("TabBar"), QStringLiteral("Tab.Normal"));
    QVERIFY(data);
    QCOMPARE(data->sdImage.Width(), 6);
    QCOMPARE(data->sdImage.Height(), 4);
    QCOMPARE(data->sdMode, nineSlice ? skin::rmFull : skin::rmStretch);
    QCOMPARE(data->sdMargins, margins);
    QCOMPARE(data->sdOffset, offset);
    QVERIFY(skinLogLines().isEmpty());
  }

  void keysDeclareGroupsAndElementsInFileOrder() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("a.png"), 4, 4, kRed));
    QVERIFY(
        fx.writeSkin("; comment\n"
                     "Image(Before.Any.Section)=Path(a.png)\n"
                     "[TabBar]\n"
                     "Image(Tab.Normal)=Path(a.png)\n"
                     "image(Lower)=Path(a.png)\n"
                     "Font(Tab.Normal)=Size(14)\n"
                     "Image(Tab)=Path(a.png)\n"
                     "Font(tab)=Size(9)\n"
                     "Image(Nested(1))=Path(a.png)\n"
                     "Image( )=Path(a.png)\n"
                     "Label Font(Spaced.Key)=Size(11)\n"
                     "Width=12\n"
                     "Image(Missing)=Path(nowhere.png)\n"
                     "Image(Missing.With.Font)=Path(nowhere.png)\n"
                     "Font(Missing.With.Font)=Size(10)\n"
                     "[Items]\n"
                     "Font(Tab.Normal)=Size(16)\n"
                     "Image(Only.Missing)=Path(nowhere.png)\n"));
    TSmartSkin skin;
    QCOMPARE(skin.ssDataList.size(), size_t(2));
    QCOMPARE(skin.ssDataList[0]->sgID, QStringLiteral("TabBar"));
    QCOMPARE(skin.ssDataList[1]->sgID, QStringLiteral("Items"));
    // Lower-case keywords and other keys mean nothing; a picture that is not
    // there creates nothing unless a font fills the element.
    QCOMPARE(elementIds(*skin.ssDataList[0]),
             QStringList({QStringLiteral("Tab.Normal"), QStringLiteral("Tab"),
                          QStringLiteral("tab"), QStringLiteral("Nested(1)"), QString(),
                          QStringLiteral("Spaced.Key"), QStringLiteral("Missing.With.Font")}));
    QCOMPARE(elementIds(*skin.ssDataList[1]), QStringList({QStringLiteral("Tab.Normal")}));

    // Image and font with one id fill one element; another section's is another.
    skin::TSkinGroup* tabBar = nullptr;
    QVERIFY(skin.GroupFind(QStringLiteral("TabBar"), tabBar));
    TSkinData* tab = nullptr;
    QVERIFY(tabBar->DataFind(QStringLiteral("Tab.Normal"), tab));
    QCOMPARE(tab->sdImage.Width(), 4);
    QCOMPARE(tab->sdFont.pixelSize(), 14);
    QCOMPARE(
        skin.FindFont(QStringLiteral("Items"), QStringLiteral("Tab.Normal"))->sdFont.pixelSize(),
        16);
    TSkinData* withFont = nullptr;
    QVERIFY(tabBar->DataFind(QStringLiteral("Missing.With.Font"), withFont));
    QVERIFY(withFont->sdImage.IsEmpty());

    // The find operations compare exactly.
    skin::TSkinGroup* group = nullptr;
    QVERIFY(!skin.GroupFind(QStringLiteral("tabbar"), group));
    QVERIFY(group == nullptr);
    QVERIFY(!tabBar->DataFind(QStringLiteral("tab.normal"), tab));
    QVERIFY(tab == nullptr);
  }

  void idsDifferingInCaseDrawTheFirstButAssignTheExactFont() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("red.png"), 4, 4, kRed));
    QVERIFY(fx.writeSolid(QStringLiteral("blue.png"), 4, 4, kBlue));
    QVERIFY(
        fx.writeSkin("[G]\n"
                     "Image(Tab)=Path(red.png)\n"
                     "Font(Tab)=Size(10) Color($FF010101)\n"
                     "Second Image(tab)=Path(blue.png)\n"
                     "Second Font(tab)=Size(20) Color($FF020202)\n"));
    TSmartSkin skin;
    QCOMPARE(elementIds(*skin.ssDataList[0]),
             QStringList({QStringLiteral("Tab"), QStringLiteral("tab")}));
    for (const QString& name :
         {QStringLiteral("G:Tab"), QStringLiteral("G:tab"), QStringLiteral("g:TAB")}) {
      const TBitmap out =
          renderInto(8, 8, [&](TCanvas& c) { skin.Draw(name, c, QRectF(0, 0, 8, 8)); });
      QCOMPARE(pixelAt(out, 4, 4), kRed);
    }
    TBitmap target(4, 4);
    TCanvas& canvas = target.Canvas();
    skin.AssignFont(QStringLiteral("G"), QStringLiteral("tab"), canvas);
    QCOMPARE(canvas.Font.pixelSize(), 20);
    QCOMPARE(canvas.FillColor, 0xFF020202u);
    skin.AssignFont(QStringLiteral("G"), QStringLiteral("Tab"), canvas);
    QCOMPARE(canvas.FillColor, 0xFF010101u);
    // No exact match: the canvas keeps what it had.
    skin.AssignFont(QStringLiteral("g"), QStringLiteral("Tab"), canvas);
    skin.AssignFont(QStringLiteral("G"), QStringLiteral("TAB"), canvas);
    QCOMPARE(canvas.FillColor, 0xFF010101u);
    QCOMPARE(canvas.Font.pixelSize(), 10);
  }

  void drawingWalksOnToLaterGroupsOfTheSameName() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("green.png"), 4, 4, kGreen));
    TSmartSkin skin;
    QVERIFY(skin.ssDataList.empty());
    skin.AddFont(QStringLiteral("Items"), QStringLiteral("Other"));
    QVERIFY(skin.AddImage(QStringLiteral("ITEMS"), QStringLiteral("Back"),
                          QStringLiteral("green.png")));
    QCOMPARE(skin.ssDataList.size(), size_t(2));
    const TBitmap out = renderInto(
        4, 4, [&](TCanvas& c) { skin.Draw(QStringLiteral("items:back"), c, QRectF(0, 0, 4, 4)); });
    QCOMPARE(pixelAt(out, 2, 2), kGreen);
  }

  void oneTextAndTwoTextFormsDrawTheSameElement_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("one text") << QString() << QStringLiteral("Items:Item.Group.Back") << true;
    QTest::newRow("two texts") << QStringLiteral("Items") << QStringLiteral("Item.Group.Back")
                               << true;
    QTest::newRow("no colon: empty group")
        << QString() << QStringLiteral("Item.Group.Back") << false;
    QTest::newRow("unknown element") << QStringLiteral("Items") << QStringLiteral("Nope") << false;
    QTest::newRow("unknown group")
        << QStringLiteral("Nope") << QStringLiteral("Item.Group.Back") << false;
    QTest::newRow("split at the first colon")
        << QString() << QStringLiteral("Items:Item.Group.Back:x") << false;
  }
  void oneTextAndTwoTextFormsDrawTheSameElement() {
    QFETCH(QString, group);
    QFETCH(QString, id);
    QFETCH(bool, drawn);
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("b.png"), 4, 4, kBlue));
    QVERIFY(fx.writeSkin("[Items]\nImage(Item.Group.Back)=Path(b.png)\n"));
    TSmartSkin skin;
    const TBitmap out = renderInto(6, 6, [&](TCanvas& c) {
      if (group.isNull()) {
        skin.Draw(id, c, QRectF(1, 1, 4, 4), true);
      } else {
        skin.Draw(group, id, c, QRectF(1, 1, 4, 4));
      }
    });
    QCOMPARE(pixelAt(out, 3, 3), drawn ? kBlue : QRgb(0));
    QCOMPARE(pixelAt(out, 0, 0), QRgb(0));
  }

  void outsetGrowsTheDestination() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("r.png"), 8, 8, kRed));
    QVERIFY(fx.writeSkin("[G]\nImage(E)=Path(r.png) Offset(Left[2] Top[2] Right[2] Bottom[2])\n"));
    TSmartSkin skin;
    const TBitmap out = renderInto(
        60, 40, [&](TCanvas& c) { skin.Draw(QStringLiteral("G:E"), c, QRectF(10, 10, 40, 20)); });
    // (10, 10, 50, 30) grown by 2 on every side covers (8, 8, 52, 32).
    QCOMPARE(pixelAt(out, 8, 8), kRed);
    QCOMPARE(pixelAt(out, 51, 31), kRed);
    QCOMPARE(pixelAt(out, 7, 20), QRgb(0));
    QCOMPARE(pixelAt(out, 30, 7), QRgb(0));
    QCOMPARE(pixelAt(out, 52, 20), QRgb(0));
    QCOMPARE(pixelAt(out, 30, 32), QRgb(0));
  }

  void nineSliceKeepsCornersAtNaturalSize() {
    TSkinFixture fx;
    QVERIFY(fx.writeImage(QStringLiteral("nine.png"), nineBlocks()));
    QVERIFY(fx.writeSkin(
        "[G]\nImage(E)=Path(nine.png) Margins(Left[10] Top[10] Right[10] Bottom[10])\n"));
    TSmartSkin skin;

    // 100 x 20: the rows meet at y = 10, so the side edges and the centre
    // have no height and only corners and top and bottom edges show.
    const TBitmap wide = renderInto(
        100, 20, [&](TCanvas& c) { skin.Draw(QStringLiteral("G:E"), c, QRectF(0, 0, 100, 20)); });
    const struct {
      int x, y;
      QRgb colour;
    } expected[] = {{0, 0, kRed},      {9, 9, kRed},          {90, 0, kBlue},
                    {99, 9, kBlue},    {0, 10, kGreen},       {9, 19, kGreen},
                    {90, 10, kYellow}, {99, 19, kYellow},     {50, 5, kTopEdge},
                    {20, 2, kTopEdge}, {50, 15, kBottomEdge}, {80, 17, kBottomEdge}};
    for (const auto& e : expected) {
      QVERIFY2(pixelAt(wide, e.x, e.y) == e.colour,
               qPrintable(QStringLiteral("pixel %1,%2 is %3")
                              .arg(e.x)
                              .arg(e.y)
                              .arg(pixelAt(wide, e.x, e.y), 8, 16)));
    }
    for (int x = 0; x < 100; ++x)
      for (int y = 0; y < 20; ++y)
        QVERIFY(pixelAt(wide, x, y) != kSide && pixelAt(wide, x, y) != kCentre);

    // A big rectangle shows all nine pieces.
    const TBitmap big = renderInto(
        60, 60, [&](TCanvas& c) { skin.Draw(QStringLiteral("G:E"), c, QRectF(0, 0, 60, 60)); });
    QCOMPARE(pixelAt(big, 30, 30), kCentre);
    QCOMPARE(pixelAt(big, 5, 30), kSide);
    QCOMPARE(pixelAt(big, 55, 30), kSide);

    // Smaller than the margins: nothing is clamped, the corners overlap and
    // the one drawn last (bottom-left) covers the others.
    const TBitmap small = renderInto(
        10, 10, [&](TCanvas& c) { skin.Draw(QStringLiteral("G:E"), c, QRectF(0, 0, 10, 10)); });
    QCOMPARE(pixelAt(small, 5, 5), kGreen);
  }

  void fontEntry_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("family");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("defaults") << "" << 12 << "Segoe UI" << 0xFFF1F1F1u << false << false;
    QTest::newRow("Bold(1)") << "Bold(1)" << 12 << "Segoe UI" << 0xFFF1F1F1u << true << false;
    QTest::newRow("Bold(true)") << "Bold(true)" << 12 << "Segoe UI" << 0xFFF1F1F1u << false
                                << false;
    QTest::newRow("Bold(01)") << "Bold(01)" << 12 << "Segoe UI" << 0xFFF1F1F1u << false << false;
    QTest::newRow("Italic(1)") << "Italic(1) bold(0)" << 12 << "Segoe UI" << 0xFFF1F1F1u << false
                               << true;
    QTest::newRow("hex colour") << "Color($FF202020)" << 12 << "Segoe UI" << 0xFF202020u << false
                                << false;
    QTest::newRow("negative colour")
        << "Color(-14671840)" << 12 << "Segoe UI" << 0xFF202020u << false << false;
    QTest::newRow("0x colour, alpha")
        << "Color(0x80112233)" << 12 << "Segoe UI" << 0x80112233u << false << false;
    QTest::newRow("all set") << "Name(DejaVu Serif), Size(20) Color(255) Bold(1) Italic(1)" << 20
                             << "DejaVu Serif" << 0x000000FFu << true << true;
  }
  void fontEntry() {
    QFETCH(QString, value);
    QFETCH(int, size);
    QFETCH(QString, family);
    QFETCH(quint32, colour);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    TSkinFixture fx;
    QVERIFY(fx.writeSkin("[TabBar]\nFont(Tab.Hot)=" + value.toUtf8() + "\n"));
    TSmartSkin skin;
    TBitmap target(4, 4);
    TCanvas& canvas = target.Canvas();
    skin.AssignFont(QStringLiteral("TabBar"), QStringLiteral("Tab.Hot"), canvas);
    QCOMPARE(canvas.Font.pixelSize(), size);
    QCOMPARE(canvas.Font.family(), family);
    QCOMPARE(canvas.Font.bold(), bold);
    QCOMPARE(canvas.Font.italic(), italic);
    QCOMPARE(canvas.FillColor, colour);
  }

  void secondImageEntryReplacesBitmapAndKeepsMode() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("first.png"), 30, 30, kRed));
    QVERIFY(fx.writeSolid(QStringLiteral("second.png"), 20, 12, kBlue));
    QVERIFY(
        fx.writeSkin("[G]\n"
                     "Image(E)=Path(first.png) Margins(Left[5] Top[6] Right[7] Bottom[8])\n"
                     "Again Image(E)=Path(second.png)\n"
                     "Image(S)=Path(first.png)\n"
                     "Again Image(S)=Path(second.png) Margins(Left[1])\n"));
    TSmartSkin skin;
    const TSkinData* e = skin.FindData(QStringLiteral("G"), QStringLiteral("E"));
    QCOMPARE(e->sdImage.Width(), 20);
    QCOMPARE(e->sdImage.Height(), 12);
    QCOMPARE(e->sdMode, skin::rmFull);
    QCOMPARE(e->sdMargins, (TSkinBounds{5, 6, 7, 8}));
    const TSkinData* s = skin.FindData(QStringLiteral("G"), QStringLiteral("S"));
    QCOMPARE(s->sdMode, skin::rmFull);
    QCOMPARE(s->sdMargins, (TSkinBounds{1, 0, 0, 0}));
  }

  void missingSkinFileLeavesAnEmptySkin() {
    TSkinFixture fx;
    TSmartSkin skin;
    QVERIFY(skin.ssDataList.empty());
    TBitmap target(4, 4);
    TCanvas& canvas = target.Canvas();
    canvas.FillColor = 0xFF123456;
    skin.AssignFont(QStringLiteral("TabBar"), QStringLiteral("Tab.Normal"), canvas);
    QCOMPARE(canvas.FillColor, 0xFF123456u);
    canvas.BeginScene();
    skin.Draw(QStringLiteral("TabBar:Tab.Normal"), canvas, QRectF(0, 0, 4, 4));
    canvas.EndScene();
    QCOMPARE(pixelAt(target, 1, 1), QRgb(0));
    QVERIFY(skinLogLines().isEmpty());
  }

  // A damaged skin still starts the program: each broken entry is skipped and
  // named in the log once, everything else loads.
  void brokenEntriesAreSkippedAndLogged() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("good.png"), 5, 5, kGreen));
    QVERIFY(fx.writeFile(QStringLiteral("corrupt.png"), "\x89PNG\r\n\x1a\nthis is no picture"));
    QVERIFY(fx.writeSkin(
        "[Items]\n"
        "Image(Good.Before)=Path(good.png) Margins(Left[2] Top[2] Right[2] Bottom[2])\n"
        "Image(Corrupt)=Path(corrupt.png)\n"
        "Image(Bad.Margin)=Path(good.png) Margins(Left[wide] Top[2])\n"
        "Image(Bad.Offset)=Path(good.png) Offset(Top[1.5])\n"
        "Font(Bad.Colour)=Size(12) Color(light grey)\n"
        "Font(Bad.Size)=Size(large)\n"
        "Font(Good.Font)=Size(13) Color($FF102030)\n"
        "[TabBar]\n"
        "Image(Good.After)=Path(good.png)\n"));
    TSmartSkin skin;
    QVERIFY(skin.FindData(QStringLiteral("Items"), QStringLiteral("Good.Before")));
    QVERIFY(skin.FindData(QStringLiteral("TabBar"), QStringLiteral("Good.After")));
    QCOMPARE(skin.FindFont(QStringLiteral("Items"), QStringLiteral("Good.Font"))->sdFontColor,
             0xFF102030u);
    for (const char* bad : {"Corrupt", "Bad.Margin", "Bad.Offset", "Bad.Colour", "Bad.Size"})
      QVERIFY2(!skin.FindData(QStringLiteral("Items"), QString::fromLatin1(bad)), bad);

    const QStringList lines = skinLogLines();
    QCOMPARE(lines.size(), 5);
    const QString file = fx.themeFile(QStringLiteral("ThemeData.dez"));
    const QStringList keys = {QStringLiteral("Image(Corrupt)"), QStringLiteral("Image(Bad.Margin)"),
                              QStringLiteral("Image(Bad.Offset)"),
                              QStringLiteral("Font(Bad.Colour)"), QStringLiteral("Font(Bad.Size)")};
    for (int i = 0; i < keys.size(); ++i) {
      QVERIFY2(lines[i].contains(file) && lines[i].contains(QStringLiteral("[Items]")) &&
                   lines[i].contains(keys[i]),
               qPrintable(lines[i]));
    }
    QVERIFY(lines[1].contains(QStringLiteral("'wide' is not a valid integer value")));
    QVERIFY(lines[3].contains(QStringLiteral("'light grey' is not a valid integer value")));
  }

  void brokenEntryLeavesAnExistingElementAsItWas() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("good.png"), 5, 5, kGreen));
    QVERIFY(fx.writeSolid(QStringLiteral("other.png"), 7, 7, kRed));
    QVERIFY(
        fx.writeSkin("[G]\n"
                     "Image(E)=Path(good.png) Margins(Left[1] Top[1] Right[1] Bottom[1])\n"
                     "Again Image(E)=Path(other.png) Margins(Left[x])\n"));
    TSmartSkin skin;
    const TSkinData* e = skin.FindData(QStringLiteral("G"), QStringLiteral("E"));
    QCOMPARE(e->sdImage.Width(), 5);
    QCOMPARE(e->sdMargins, (TSkinBounds{1, 1, 1, 1}));
    QCOMPARE(skinLogLines().size(), 1);
  }

  void addImageRefusesAnUndecodableFile() {
    TSkinFixture fx;
    QVERIFY(fx.writeFile(QStringLiteral("corrupt.png"), "not a picture"));
    TSmartSkin skin;
    bool refused = false;
    try {
      skin.AddImage(QStringLiteral("G"), QStringLiteral("E"), QStringLiteral("corrupt.png"));
    } catch (const toolkit::EFileError& e) {
      refused = e.Message().contains(fx.themeFile(QStringLiteral("corrupt.png")));
    }
    QVERIFY(refused);
    QVERIFY(skin.ssDataList.empty());
    QVERIFY(!skin.AddImage(QStringLiteral("G"), QStringLiteral("E"), QStringLiteral("none.png")));
    QVERIFY(skin.ssDataList.empty());
  }

  // The cached form resamples once per width and draws on every call.
  void cachedDrawResamplesOncePerWidth() {
    TSkinFixture fx;
    QImage ramp(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) ramp.setPixel(x, y, qRgba(x * 6, y * 12, 100, 255));
    QVERIFY(fx.writeImage(QStringLiteral("ramp.png"), ramp));
    QVERIFY(fx.writeSkin("[G]\nImage(E)=Path(ramp.png) Margins(Left[3]) Offset(Left[5])\n"));
    TSmartSkin skin;
    const TSkinData* e = skin.FindData(QStringLiteral("G"), QStringLiteral("E"));

    TBitmap cache;
    const TBitmap first = renderInto(30, 20, [&](TCanvas& c) {
      skin.Draw(QStringLiteral("g"), QStringLiteral("e"), c, QRectF(2, 3, 20.4, 9.6), cache);
    });
    QCOMPARE(cache.Width(), 20);
    QCOMPARE(cache.Height(), 10);
    TBitmap expected(20, 10);
    shell::Stretch(e->sdImage, expected, shell::Lanczos3Filter, 3.0f);
    QCOMPARE(cache.Image(), expected.Image());
    // Drawn on the first call already, into the rectangle itself (no outset).
    QVERIFY(qAlpha(pixelAt(first, 10, 8)) == 255);
    QCOMPARE(pixelAt(first, 1, 8), QRgb(0));

    // Same (rounded) width: the cache is drawn as it is, not filled again.
    cache.Clear(kYellow);
    const TBitmap second = renderInto(30, 20, [&](TCanvas& c) {
      skin.Draw(QStringLiteral("G"), QStringLiteral("E"), c, QRectF(2, 3, 19.6, 10), cache);
    });
    QCOMPARE(pixelAt(second, 10, 8), kYellow);

    // Another width: filled again at the new size.
    renderInto(30, 20, [&](TCanvas& c) {
      skin.Draw(QStringLiteral("G"), QStringLiteral("E"), c, QRectF(0, 0, 25, 10), cache);
    });
    QCOMPARE(cache.Width(), 25);
    QVERIFY(pixelAt(cache, 10, 5) != kYellow);

    // Nothing to draw into, or an element without a picture: the cache stays.
    TSkinData* fontOnly = skin.AddFont(QStringLiteral("G"), QStringLiteral("FontOnly"));
    renderInto(4, 4, [&](TCanvas& c) {
      e->DrawTo(c, QRectF(0, 0, 0, 10), cache);
      fontOnly->DrawTo(c, QRectF(0, 0, 3, 3), cache);
    });
    QCOMPARE(cache.Width(), 25);
  }

  void unknownModeDrawsNothing() {
    TSkinFixture fx;
    QVERIFY(fx.writeSolid(QStringLiteral("r.png"), 4, 4, kRed));
    QVERIFY(fx.writeSkin("[G]\nImage(E)=Path(r.png)\n"));
    TSmartSkin skin;
    skin::TSkinGroup* group = nullptr;
    QVERIFY(skin.GroupFind(QStringLiteral("G"), group));
    group->sgDataList[0]->sdMode = skin::TResizeMode(2);
    const TBitmap out = renderInto(
        4, 4, [&](TCanvas& c) { skin.Draw(QStringLiteral("G:E"), c, QRectF(0, 0, 4, 4)); });
    QCOMPARE(pixelAt(out, 2, 2), QRgb(0));
  }
};

DIZAD_TEST(TestSmartSkin)
#include "tst_smartskin.moc"

#include "testregistry.h"

#include "shell/resample.h"
#include "toolkit/errors.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

using namespace dizad::shell;
using dizad::toolkit::TBitmap;
using dizad::toolkit::TError;

namespace {

TBitmap filled(int w, int h, quint32 argb) {
  TBitmap bitmap(w, h);
  bitmap.Clear(argb);
  return bitmap;
}

TBitmap stretched(const TBitmap& source, int w, int h) {
  TBitmap destination(w, h);
  Stretch(source, destination, Lanczos3Filter, 3.0f);
  return destination;
}

quint32 pixel(TBitmap& bitmap, int x, int y) {
  return bitmap.Map().GetPixel(x, y);
}

int red(quint32 argb) {
  return (argb >> 16) & 0xFF;
}

}  // namespace

class TestResample : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void filters() {
    QCOMPARE(SinC(0.0f), 1.0f);
    QVERIFY(std::fabs(SinC(0.5f) - 0.63662f) < 1e-5f);
    QCOMPARE(Lanczos3Filter(0.0f), 1.0f);
    QCOMPARE(Lanczos3Filter(3.0f), 0.0f);
    QCOMPARE(Lanczos3Filter(-3.5f), 0.0f);
    QCOMPARE(Lanczos3Filter(-1.25f), Lanczos3Filter(1.25f));
    QVERIFY(Lanczos3Filter(1.5f) < 0.0f);  // the negative lobe
    // pi x in single precision is not exactly a multiple of pi: the weights at
    // whole offsets are tiny, not zero.
    QVERIFY(Lanczos3Filter(1.0f) != 0.0f);
    QVERIFY(std::fabs(Lanczos3Filter(1.0f)) < 1e-6f);
  }

  // Lanczos weights do not quite add up to 1 between source pixels, so a flat
  // area comes out slightly darker there.
  void onePixelEnlarged() {
    TBitmap destination = stretched(filled(1, 1, 0xFFFFFFFF), 4, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const int expected = (x == 0 && y == 0) ? 255 : (x == 0 || y == 0) ? 254 : 253;
        const quint32 argb = pixel(destination, x, y);
        QCOMPARE(red(argb), expected);
        QCOMPARE((argb >> 8) & 0xFF, quint32(expected));
        QCOMPARE(argb & 0xFF, quint32(expected));
        QCOMPARE(argb >> 24, 0xFFu);
      }
  }

  void equalSizeReproducesColours() {
    QRandomGenerator random(20261209);
    TBitmap source(13, 9);
    auto data = source.Map();
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 13; ++x) data.SetPixel(x, y, 0xFF000000 | (random.generate() & 0xFFFFFF));
    TBitmap destination = stretched(source, 13, 9);
    QCOMPARE(destination.Image(), source.Image());
  }

  // Negative lobes overshoot next to a hard edge; the channels stay in range.
  void edgeOvershootIsClamped() {
    TBitmap source(20, 1);
    auto data = source.Map();
    for (int x = 0; x < 20; ++x) data.SetPixel(x, 0, x < 10 ? 0xFF000000 : 0xFFFFFFFF);
    TBitmap destination = stretched(source, 7, 1);

    const auto columns = BuildContributors(20, 7, Lanczos3Filter, 3.0f);
    bool sawUnder = false, sawOver = false;
    for (int i = 0; i < 7; ++i) {
      float sum = 0.0f;
      for (const TContributor& c : columns[i]) sum += (c.Pixel < 10 ? 0 : 255) * c.Weight;
      const int value = red(pixel(destination, i, 0));
      if (sum < 0.0f) {
        sawUnder = true;
        QCOMPARE(value, 0);
      } else if (sum > 255.0f) {
        sawOver = true;
        QCOMPARE(value, 255);
      } else {
        QCOMPARE(value, int(std::nearbyint(sum)));
      }
    }
    QVERIFY(sawUnder);
    QVERIFY(sawOver);
  }

  // The alpha of a written pixel is that of its last contributor, so a
  // transparent last source column reaches the destination pixels that end on it.
  void alphaOfLastContributor_data() {
    QTest::addColumn<int>("dstW");
    QTest::addColumn<bool>("reachesEdge");
    QTest::newRow("enlarge") << 23 << true;
    QTest::newRow("equal") << 10 << true;
    // Shrinking mirrors the wide support back inside, so no list ends on the edge.
    QTest::newRow("shrink") << 4 << false;
  }
  void alphaOfLastContributor() {
    QFETCH(int, dstW);
    QFETCH(bool, reachesEdge);
    TBitmap source = filled(10, 3, 0xFF808080);
    auto data = source.Map();
    for (int y = 0; y < 3; ++y) data.SetPixel(9, y, 0x00808080);
    TBitmap destination = stretched(source, dstW, 3);

    const auto columns = BuildContributors(10, dstW, Lanczos3Filter, 3.0f);
    int transparent = 0;
    for (int i = 0; i < dstW; ++i) {
      const quint32 expected = columns[i].back().Pixel == 9 ? 0x00u : 0xFFu;
      transparent += expected == 0;
      for (int y = 0; y < 3; ++y) QCOMPARE(pixel(destination, i, y) >> 24, expected);
    }
    QCOMPARE(transparent > 0, reachesEdge);
    QVERIFY(transparent < dstW);
  }

  // Halving 100 pixels: scale 49/99, so each destination pixel gathers the
  // source pixels within about 6.06 of its centre.
  void halvingWidensTheSupport() {
    QCOMPARE(StretchScale(100, 50), 49.0f / 99.0f);
    const auto columns = BuildContributors(100, 50, Lanczos3Filter, 3.0f);
    QCOMPARE(int(columns.size()), 50);
    const double support = 3.0 * 99.0 / 49.0;
    for (int i = 5; i < 45; ++i) {
      const double center = i * 99.0 / 49.0;
      const TContributorList& list = columns[i];
      // Interior lists: consecutive source pixels, every one strictly inside the support.
      QCOMPARE(list.back().Pixel - list.front().Pixel + 1, int(list.size()));
      QVERIFY(list.front().Pixel > center - support - 1e-4);
      QVERIFY(list.front().Pixel - 1 <= center - support + 1e-4);
      QVERIFY(list.back().Pixel < center + support + 1e-4);
      QVERIFY(list.back().Pixel + 1 >= center + support - 1e-4);
      QVERIFY(list.size() >= 12 && list.size() <= 13);
      float sum = 0.0f;
      for (const TContributor& c : list) sum += c.Weight;
      QVERIFY2(sum > 0.99f && sum < 1.01f, qPrintable(QString::number(sum)));
    }
    // At the edges the samples beyond the row are mirrored back into it.
    for (const TContributor& c : columns[0]) QVERIFY(c.Pixel >= 0 && c.Pixel < 100);
    for (const TContributor& c : columns[49]) QVERIFY(c.Pixel >= 0 && c.Pixel < 100);
  }

  // A one-pixel destination is a shrink by the source size centred on the
  // first source pixel: no division by zero, the weights add up to about 1.
  void onePixelDestination_data() {
    QTest::addColumn<int>("srcW");
    QTest::addColumn<int>("srcH");
    QTest::addColumn<int>("dstW");
    QTest::addColumn<int>("dstH");
    QTest::newRow("row to dot") << 8 << 1 << 1 << 1;
    QTest::newRow("column to dot") << 1 << 8 << 1 << 1;
    QTest::newRow("square to dot") << 8 << 8 << 1 << 1;
    QTest::newRow("one column") << 9 << 5 << 1 << 5;
    QTest::newRow("one row") << 5 << 9 << 5 << 1;
    QTest::newRow("large to dot") << 300 << 6 << 1 << 1;
  }
  void onePixelDestination() {
    QFETCH(int, srcW);
    QFETCH(int, srcH);
    QFETCH(int, dstW);
    QFETCH(int, dstH);
    QCOMPARE(StretchScale(srcW, 1), 1.0f / srcW);

    TBitmap flat = stretched(filled(srcW, srcH, 0xFFC86432), dstW, dstH);
    for (int y = 0; y < dstH; ++y)
      for (int x = 0; x < dstW; ++x) {
        const quint32 argb = pixel(flat, x, y);
        QVERIFY(std::abs(red(argb) - 0xC8) <= 2);
        QVERIFY(std::abs(int(argb & 0xFF) - 0x32) <= 2);
        QCOMPARE(argb >> 24, 0xFFu);
      }

    // The first pixel weighs most: bright first half, dark second half.
    TBitmap halves(srcW, srcH);
    auto data = halves.Map();
    for (int y = 0; y < srcH; ++y)
      for (int x = 0; x < srcW; ++x) {
        const bool first = (dstW == 1 && srcW > 1 ? x < srcW / 2 : true) &&
                           (dstH == 1 && srcH > 1 ? y < srcH / 2 : true);
        data.SetPixel(x, y, first ? 0xFFFFFFFF : 0xFF000000);
      }
    TBitmap dot = stretched(halves, dstW, dstH);
    QVERIFY2(red(pixel(dot, 0, 0)) > 140, qPrintable(QString::number(red(pixel(dot, 0, 0)))));
  }

  // Sums that end in exactly .5 round to the even neighbour, in both passes.
  // The filter weighs only the pixel itself, by one half.
  void halvesRoundToEven() {
    const TFilterProc half = [](float x) { return x == 0.0f ? 0.5f : 0.0f; };
    const int values[] = {1, 3, 5, 7, 10, 14};
    const int expected[] = {0, 1, 1,
                            2, 2, 4};  // 1 -> 0.5 -> 0; 5 -> 2.5 -> 2 -> 1; 14 -> 7 -> 3.5 -> 4
    TBitmap source(6, 1);
    auto data = source.Map();
    for (int x = 0; x < 6; ++x) data.SetPixel(x, 0, 0xFF000000u | quint32(values[x]) << 16);
    TBitmap destination(6, 1);
    Stretch(source, destination, half, 1.0f);
    for (int x = 0; x < 6; ++x) {
      QCOMPARE(red(pixel(destination, x, 0)), expected[x]);
      QCOMPARE(pixel(destination, x, 0) >> 24, 0xFFu);
    }
  }

  void emptySourceThrowsAndLeavesDestination_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("null") << 0 << 0;
    QTest::newRow("no width") << 0 << 4;
    QTest::newRow("no height") << 4 << 0;
  }
  void emptySourceThrowsAndLeavesDestination() {
    QFETCH(int, w);
    QFETCH(int, h);
    TBitmap source(w, h);
    TBitmap destination = filled(3, 2, 0x12345678);
    const QImage before = destination.Image().copy();
    try {
      Stretch(source, destination, Lanczos3Filter, 3.0f);
      QFAIL("no error");
    } catch (const TError& e) {
      QCOMPARE(e.Message(), QStringLiteral("Source bitmap too small"));
    }
    QCOMPARE(destination.Image(), before);
  }

  void emptyDestinationIsANoOp() {
    TBitmap destination(0, 0);
    Stretch(filled(4, 4, 0xFFFFFFFF), destination, Lanczos3Filter, 3.0f);
    QVERIFY(destination.IsEmpty());
  }

  // Source and destination may be the same bitmap.
  void inPlace() {
    TBitmap bitmap = filled(6, 6, 0xFF404040);
    Stretch(bitmap, bitmap, Lanczos3Filter, 3.0f);
    QCOMPARE(pixel(bitmap, 3, 3), 0xFF404040u);
  }
};

DIZAD_TEST(TestResample)
#include "tst_resample.moc"

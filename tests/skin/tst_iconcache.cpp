#include "testregistry.h"

#include "skin/iconcache.h"
#include "skinfixture.h"

#include <QTest>
#include <barrier>
#include <thread>

using namespace dizad;
using dizad::skin::TIconCache;
using dizad::skin::TIconData;
using dizad::test::pixelAt;
using dizad::test::renderInto;
using dizad::toolkit::TCanvas;

namespace {

std::unique_ptr<TIconData> entry(const QString& id) {
  return std::make_unique<TIconData>(id);
}

// A loaded entry whose bitmap for each size is a solid colour named by size.
std::unique_ptr<TIconData> loadedEntry(const QString& id) {
  auto data = entry(id);
  data->idIcon16 = toolkit::TBitmap(QImage(16, 16, QImage::Format_ARGB32));
  data->idIcon16.Clear(0xFF000016);
  data->idIcon24 = toolkit::TBitmap(24, 24);
  data->idIcon24.Clear(0xFF000024);
  data->idIcon32 = toolkit::TBitmap(32, 32);
  data->idIcon32.Clear(0xFF000032);
  data->idIconPNG = toolkit::TBitmap(256, 256);
  data->idIconPNG.Clear(0xFF000256);
  data->idResult = skin::irLoaded;
  return data;
}

}  // namespace

// The shared icon cache: lookups, the first-entry rule and drawing by size.
class TestIconCache : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void findIgnoresLetterCaseAndReturnsTheFirstEntry() {
    TIconCache cache;
    TIconData* found = reinterpret_cast<TIconData*>(1);
    QVERIFY(!cache.Find(QStringLiteral(".jpg"), found));
    QVERIFY(found == nullptr);

    TIconData* jpg = cache.AddData(entry(QStringLiteral(".jpg")));
    TIconData* folder = cache.AddData(entry(QStringLiteral("*Folder")));
    TIconData* again = cache.AddData(entry(QStringLiteral(".JPG")));
    QCOMPARE(cache.Count(), 3);
    QVERIFY(again != jpg);
    QVERIFY(cache.Find(QStringLiteral(".JPG"), found));
    QCOMPARE(found, jpg);
    QVERIFY(cache.Find(QStringLiteral("*folder"), found));
    QCOMPARE(found, folder);
    QVERIFY(!cache.Find(QStringLiteral("jpg"), found));
    QVERIFY(found == nullptr);
    QCOMPARE(cache.Items(2), again);
    QVERIFY(cache.Items(3) == nullptr);
  }

  void newEntryStartsUnloaded() {
    const TIconData data;
    QVERIFY(data.idID.isEmpty());
    QCOMPARE(data.idResult.load(), skin::irNotLoaded);
    QVERIFY(!data.idEmbedded);
    QVERIFY(data.idIcon16.IsEmpty() && data.idIconPNG.IsEmpty());
  }

  void drawPicksTheBitmapForTheSize_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("16") << 16 << true << QRgb(0xFF000016);
    QTest::newRow("24") << 24 << true << QRgb(0xFF000024);
    QTest::newRow("32") << 32 << true << QRgb(0xFF000032);
    QTest::newRow("256 scaled down") << 256 << true << QRgb(0xFF000256);
    QTest::newRow("48 never filled") << 48 << true << QRgb(0);
    QTest::newRow("unsupported 20") << 20 << true << QRgb(0);
    QTest::newRow("not loaded") << 16 << false << QRgb(0);
  }
  void drawPicksTheBitmapForTheSize() {
    QFETCH(int, size);
    QFETCH(bool, loaded);
    QFETCH(QRgb, expected);
    auto data = loadedEntry(QStringLiteral(".png"));
    if (!loaded) data->idResult = skin::irUnableToLoad;
    const toolkit::TBitmap out =
        renderInto(40, 40, [&](TCanvas& c) { data->Draw(c, QRectF(4, 4, 32, 32), size); });
    QCOMPARE(pixelAt(out, 20, 20), expected);
    QCOMPARE(pixelAt(out, 2, 2), QRgb(0));
  }

  // Two workers miss the same id at the same moment and both add an entry:
  // the cache keeps both and every lookup returns the one appended first.
  void twoThreadsAddingTheSameIdBothAppendAndTheFirstWins() {
    for (int round = 0; round < 20; ++round) {
      TIconCache cache;
      std::barrier bothMissed(2);
      TIconData* added[2] = {nullptr, nullptr};
      TIconData* seen[2] = {nullptr, nullptr};
      auto worker = [&](int k) {
        TIconData* found = nullptr;
        if (!cache.Find(QStringLiteral(".txt"), found)) {
          bothMissed.arrive_and_wait();
          added[k] = cache.AddData(entry(k == 0 ? QStringLiteral(".txt") : QStringLiteral(".TXT")));
        }
        cache.Find(QStringLiteral(".Txt"), seen[k]);
      };
      std::thread a(worker, 0), b(worker, 1);
      a.join();
      b.join();
      QVERIFY(added[0] && added[1]);
      QCOMPARE(cache.Count(), 2);
      TIconData* first = cache.Items(0);
      QVERIFY(first == added[0] || first == added[1]);
      QCOMPARE(seen[0], first);
      QCOMPARE(seen[1], first);
    }
  }

  void concurrentAddsAndFindsLoseNothing() {
    TIconCache cache;
    constexpr int kThreads = 4, kPerThread = 200;
    std::vector<std::thread> threads;
    std::atomic<int> misses{0};
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; i < kPerThread; ++i) {
          const QString id = QStringLiteral(".t%1x%2").arg(t).arg(i);
          cache.AddData(entry(id));
          TIconData* found = nullptr;
          if (!cache.Find(id.toUpper(), found) || found->idID != id) ++misses;
        }
      });
    }
    for (auto& t : threads) t.join();
    QCOMPARE(misses.load(), 0);
    QCOMPARE(cache.Count(), kThreads * kPerThread);
  }
};

DIZAD_TEST(TestIconCache)
#include "tst_iconcache.moc"

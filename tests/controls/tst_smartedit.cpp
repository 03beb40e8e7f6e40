#include "testregistry.h"

#include "app/globals.h"
#include "controls/selectrect.h"
#include "controls/smartedit.h"
#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/host.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace dizad::controls;
using dizad::toolkit::THostForm;

namespace {

// Counts the repaint requests that reach the control.
class TProbeEdit : public TSmartEdit {
 public:
  void InvalidateRect(const QRectF& r) override {
    ++Invalidations;
    TSmartEdit::InvalidateRect(r);
  }
  int Invalidations = 0;
};

// Pixels of the prompt's grey (0xFF696969) with some room for antialiasing.
int greyPixels(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAlpha(p) > 100 && qAbs(qRed(p) - qGreen(p)) < 8 && qRed(p) > 60 && qRed(p) < 200) ++n;
    }
  return n;
}

std::unique_ptr<dizad::skin::TSmartSkin> makeSkin() {
  dizad::core::setAppDir(dizad::test::sourceDir());
  return std::make_unique<dizad::skin::TSmartSkin>();
}

}  // namespace

class TestSmartEdit : public QObject {
  Q_OBJECT

  std::unique_ptr<THostForm> FHost;
  TProbeEdit* FEdit = nullptr;
  QLineEdit* FOther = nullptr;  // somewhere else to put the focus

 private Q_SLOTS:
  void init() {
    FHost = std::make_unique<THostForm>();
    FHost->SetClientSize(300, 80);
    FEdit = new TProbeEdit;
    FEdit->SetBounds(10, 10, 250, 30);
    FEdit->SetParent(FHost->Root());
    FOther = new QLineEdit(FHost.get());
    FOther->setGeometry(0, 60, 50, 20);
    FHost->show();
    FHost->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FHost.get()));
    FHost->SyncEdits();
  }
  void cleanup() {
    FHost.reset();
    FEdit = nullptr;
  }

  void createdLook() {
    QCOMPARE(FEdit->Height(), 30.0f);
    QCOMPARE(FEdit->seInactiveText.Text, QStringLiteral("Type in an aplication name"));
    QCOMPARE(FEdit->seInactiveText.Color, 0xFF696969u);
    QCOMPARE(FEdit->seInactiveText.TopLeft, QPointF(10, 0));
    QCOMPARE(FEdit->seInactiveText.MaxSize, QSizeF(230, 30));
    QCOMPARE(int(FEdit->seInactiveText.VerticalAlign), int(dizad::toolkit::TTextAlign::Center));
    QCOMPARE(FEdit->LineEdit()->font().pixelSize(), 14);
  }

  void promptFollowsTextAndFocus_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("prompt");
    QTest::newRow("empty, unfocused") << QString() << false << true;
    QTest::newRow("empty, focused") << QString() << true << false;
    QTest::newRow("one space") << QStringLiteral(" ") << false << false;
    QTest::newRow("text, focused") << QStringLiteral("gimp") << true << false;
  }
  void promptFollowsTextAndFocus() {
    QFETCH(QString, text);
    QFETCH(bool, focused);
    QFETCH(bool, prompt);
    FEdit->SetText(text);
    if (focused) {
      FEdit->SetFocus();
      QTRY_VERIFY(FEdit->IsFocused());
    }
    QCOMPARE(FEdit->PromptVisible(), prompt);
    // The prompt is drawn in grey inside the field, starting at x = 10.
    const QImage image = FHost->RenderToImage();
    const int grey = greyPixels(image, QRect(20, 10, 200, 30));
    QCOMPARE(grey > 20, prompt);
    if (prompt) {
      QCOMPARE(greyPixels(image, QRect(10, 10, 9, 30)), 0);  // left of x = 10 stays clear
      // Centred vertically: as much grey above as below the middle line, give or take.
      const int upper = greyPixels(image, QRect(20, 10, 200, 15));
      const int lower = greyPixels(image, QRect(20, 25, 200, 15));
      QVERIFY2(qAbs(upper - lower) * 3 < grey,
               qPrintable(QStringLiteral("%1 vs %2").arg(upper).arg(lower)));
    }
  }

  void promptComesBackAndRepaints() {
    FEdit->Invalidations = 0;
    FEdit->SetFocus();
    QTRY_VERIFY(FEdit->IsFocused());
    QVERIFY(FEdit->Invalidations > 0);  // focus gained: the prompt must go
    QTest::keyClicks(FEdit->LineEdit(), QStringLiteral("ab"));
    QCOMPARE(FEdit->Text(), QStringLiteral("ab"));
    FEdit->SetText(QString());
    QVERIFY(!FEdit->PromptVisible());  // still focused
    FEdit->Invalidations = 0;
    FOther->setFocus();
    QTRY_VERIFY(!FEdit->IsFocused());
    QVERIFY(FEdit->Invalidations > 0);
    QVERIFY(FEdit->PromptVisible());
  }

  void pageSetsItsOwnPrompt() {
    FEdit->seInactiveText.Text = QStringLiteral("Parameters");
    QVERIFY(FEdit->PromptVisible());
    QVERIFY(greyPixels(FHost->RenderToImage(), QRect(20, 10, 200, 30)) > 10);
  }

  void backgroundComesFromTheSkin() {
    auto skin = makeSkin();
    dizad::SmartSkin = skin.get();
    FEdit->seInactiveText.Text.clear();
    const QImage image = FHost->RenderToImage();
    dizad::SmartSkin = nullptr;
    QVERIFY(qAlpha(image.pixel(135, 25)) > 0);  // inside the field
    QCOMPARE(qAlpha(image.pixel(135, 50)), 0);  // below it
  }
};

class TestSelectRect : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The painted pixels' bounding box: the rectangle itself; a tiny drag still
  // shows the picture's corners, which keep their natural size.
  void paintsItsRectangle_data() {
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<QRect>("painted");
    QTest::newRow("drag 60x25") << QRectF(20, 30, 60, 25) << QRect(20, 30, 60, 25);
    QTest::newRow("drag 1x1") << QRectF(20, 30, 1, 1) << QRect(18, 28, 5, 5);
  }
  void paintsItsRectangle() {
    QFETCH(QRectF, bounds);
    QFETCH(QRect, painted);
    auto skin = makeSkin();
    dizad::SmartSkin = skin.get();
    THostForm host;
    host.SetClientSize(120, 100);
    auto* rect = new TSelectRect;
    rect->SetBounds(float(bounds.x()), float(bounds.y()), float(bounds.width()),
                    float(bounds.height()));
    rect->SetParent(host.Root());
    const QImage image = host.RenderToImage();
    rect->SetVisible(false);
    const QImage hidden = host.RenderToImage();
    dizad::SmartSkin = nullptr;
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qAlpha(image.pixel(x, y)) > 0) box |= QRect(x, y, 1, 1);
    QVERIFY2(!box.isEmpty() && painted.contains(box), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                     .arg(box.x())
                                                                     .arg(box.y())
                                                                     .arg(box.width())
                                                                     .arg(box.height())));
    if (bounds.width() > 12) QCOMPARE(box, painted);
    // The fill shows inside the border.
    if (bounds.width() > 12) QVERIFY(qAlpha(image.pixel(bounds.center().toPoint())) > 0);
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) QCOMPARE(qAlpha(hidden.pixel(x, y)), 0);
  }
};

DIZAD_TEST(TestSmartEdit)
DIZAD_TEST(TestSelectRect)
#include "tst_smartedit.moc"

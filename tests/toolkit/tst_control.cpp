#include "testregistry.h"

#include "toolkit/application.h"
#include "toolkit/errors.h"
#include "toolkit/host.h"
#include "toolkit/textlayout.h"

#include <QMouseEvent>
#include <QTest>

using namespace dizad::toolkit;

namespace {

// A control that records what it receives into a shared log.
class TRecorder : public TControl {
 public:
  TRecorder(QString name, QStringList* log) : FName(std::move(name)), FLog(log) {}
  void MouseDown(TMouseButton, TShiftState shift, float x, float y) override {
    FLog->append(QStringLiteral("%1.down(%2,%3%4)")
                     .arg(FName)
                     .arg(x)
                     .arg(y)
                     .arg(shift & ssDouble ? QStringLiteral(",dbl") : QString()));
    if (ThrowOnDown) throw TError(QStringLiteral("handler failed"));
  }
  void MouseMove(TShiftState, float x, float y) override {
    FLog->append(QStringLiteral("%1.move(%2,%3)").arg(FName).arg(x).arg(y));
  }
  void MouseUp(TMouseButton, TShiftState, float x, float y) override {
    FLog->append(QStringLiteral("%1.up(%2,%3)").arg(FName).arg(x).arg(y));
  }
  void MouseWheel(TShiftState, int delta, bool& handled) override {
    FLog->append(QStringLiteral("%1.wheel(%2)").arg(FName).arg(delta));
    handled = HandlesWheel;
  }
  void DoMouseEnter() override { FLog->append(FName + QStringLiteral(".enter")); }
  void DoMouseLeave() override { FLog->append(FName + QStringLiteral(".leave")); }
  void Paint(TCanvas& canvas) override {
    FLog->append(FName + QStringLiteral(".paint"));
    canvas.FillRect(LocalRect(), 0xFF336699);
  }
  bool ThrowOnDown = false;
  bool HandlesWheel = false;

 private:
  QString FName;
  QStringList* FLog;
};

void send(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
          Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
void press(QWidget* w, QPointF pos) {
  send(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}
void release(QWidget* w, QPointF pos) {
  send(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}
void move(QWidget* w, QPointF pos, Qt::MouseButtons buttons = Qt::NoButton) {
  send(w, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

}  // namespace

class TestControlTree : public QObject {
  Q_OBJECT

  std::unique_ptr<THostForm> FHost;
  QStringList FLog;

  TRecorder* add(const QString& name, TControl* parent, QRectF bounds) {
    auto* c = new TRecorder(name, &FLog);
    c->SetBounds(float(bounds.x()), float(bounds.y()), float(bounds.width()),
                 float(bounds.height()));
    c->SetParent(parent);
    return c;
  }

 private Q_SLOTS:
  void init() {
    FLog.clear();
    FHost = std::make_unique<THostForm>();
    FHost->resize(400, 300);
    FHost->show();
  }
  void cleanup() {
    setExceptionReporter({});
    FHost.reset();
  }

  void pressGoesToTopmostVisibleHitTestable() {
    TControl* root = FHost->Root();
    add(QStringLiteral("bottom"), root, {0, 0, 200, 200});
    TRecorder* top = add(QStringLiteral("top"), root, {50, 50, 100, 100});
    TRecorder* hidden = add(QStringLiteral("hidden"), root, {50, 50, 100, 100});
    hidden->SetVisible(false);
    press(FHost.get(), {60, 70});
    QVERIFY2(FLog.contains(QStringLiteral("top.down(10,20)")), qPrintable(FLog.join(u' ')));
    QVERIFY(!FLog.join(u' ').contains(QStringLiteral("bottom.down")));

    FLog.clear();
    release(FHost.get(), {60, 70});
    top->SetHitTest(false);
    press(FHost.get(), {60, 70});
    QVERIFY2(FLog.contains(QStringLiteral("bottom.down(60,70)")), qPrintable(FLog.join(u' ')));
  }

  void nestedChildReceivesLocalCoordinates() {
    TRecorder* outer = add(QStringLiteral("outer"), FHost->Root(), {100, 100, 200, 150});
    add(QStringLiteral("inner"), outer, {20, 30, 50, 50});
    press(FHost.get(), {125, 135});
    QVERIFY2(FLog.contains(QStringLiteral("inner.down(5,5)")), qPrintable(FLog.join(u' ')));
  }

  void enterLeaveAcrossSiblingsAndWindow() {
    add(QStringLiteral("a"), FHost->Root(), {0, 0, 100, 100});
    add(QStringLiteral("b"), FHost->Root(), {100, 0, 100, 100});
    move(FHost.get(), {10, 10});
    move(FHost.get(), {20, 10});
    move(FHost.get(), {110, 10});
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(FHost.get(), &leave);
    QStringList enterLeave;
    for (const QString& l : FLog)
      if (l.endsWith(QStringLiteral("enter")) || l.endsWith(QStringLiteral("leave")))
        enterLeave << l;
    QCOMPARE(enterLeave, QStringList({QStringLiteral("a.enter"), QStringLiteral("a.leave"),
                                      QStringLiteral("b.enter"), QStringLiteral("b.leave")}));
    QVERIFY(FHost->HoverControl() == nullptr);
  }

  void captureKeepsMovesAndReleaseWithPressedControl() {
    TRecorder* a = add(QStringLiteral("a"), FHost->Root(), {0, 0, 100, 100});
    add(QStringLiteral("b"), FHost->Root(), {100, 0, 100, 100});
    press(FHost.get(), {50, 50});
    QCOMPARE(FHost->CaptureControl(), a);
    FLog.clear();
    move(FHost.get(), {150, 50}, Qt::LeftButton);
    release(FHost.get(), {150, 50});
    QCOMPARE(FLog.mid(0, 2),
             QStringList({QStringLiteral("a.move(150,50)"), QStringLiteral("a.up(150,50)")}));
    // After the release the pointer is over b, which now hears the enter.
    QCOMPARE(FLog.mid(2), QStringList({QStringLiteral("a.leave"), QStringLiteral("b.enter")}));
    QVERIFY(FHost->CaptureControl() == nullptr);
  }

  void doubleClickCarriesFlag() {
    add(QStringLiteral("a"), FHost->Root(), {0, 0, 100, 100});
    send(FHost.get(), QEvent::MouseButtonDblClick, {5, 6}, Qt::LeftButton, Qt::LeftButton);
    QVERIFY2(FLog.contains(QStringLiteral("a.down(5,6,dbl)")), qPrintable(FLog.join(u' ')));
  }

  void wheelBubblesUntilHandled() {
    TRecorder* outer = add(QStringLiteral("outer"), FHost->Root(), {0, 0, 200, 200});
    add(QStringLiteral("inner"), outer, {0, 0, 50, 50});
    outer->HandlesWheel = true;
    QWheelEvent e({10, 10}, FHost->mapToGlobal(QPointF(10, 10)), {}, {0, -120}, Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(FHost.get(), &e);
    QCOMPARE(FLog, QStringList(
                       {QStringLiteral("inner.wheel(-120)"), QStringLiteral("outer.wheel(-120)")}));
  }

  void alignmentTopBottomClientInCreationOrder() {
    TControl* root = FHost->Root();
    auto* client = add(QStringLiteral("client"), root, {0, 0, 10, 10});
    client->SetAlign(TAlign::Client);
    auto* top = add(QStringLiteral("top"), root, {0, 0, 10, 67});
    top->SetAlign(TAlign::Top);
    auto* bottom = add(QStringLiteral("bottom"), root, {0, 0, 10, 39});
    bottom->SetAlign(TAlign::Bottom);
    auto* top2 = add(QStringLiteral("top2"), root, {0, 0, 10, 5});
    top2->SetAlign(TAlign::Top);
    top->BringToFront();  // z-order does not change the alignment order
    QCOMPARE(top->BoundsRect(), QRectF(0, 0, 400, 67));
    QCOMPARE(top2->BoundsRect(), QRectF(0, 67, 400, 5));
    QCOMPARE(bottom->BoundsRect(), QRectF(0, 261, 400, 39));
    QCOMPARE(client->BoundsRect(), QRectF(0, 72, 400, 189));
    FHost->resize(500, 400);
    QCOMPARE(client->BoundsRect(), QRectF(0, 72, 500, 289));
    QCOMPARE(bottom->BoundsRect(), QRectF(0, 361, 500, 39));
    // Hiding an aligned control gives its room to the others.
    top2->SetVisible(false);
    QCOMPARE(client->BoundsRect(), QRectF(0, 67, 500, 294));
  }

  void errorFromPointerHandlerIsReportedAndNextEventArrives() {
    QStringList reported;
    setExceptionReporter([&](const QString& m) { reported << m; });
    TRecorder* a = add(QStringLiteral("a"), FHost->Root(), {0, 0, 100, 100});
    a->ThrowOnDown = true;
    press(FHost.get(), {10, 10});
    QCOMPARE(reported, QStringList({QStringLiteral("handler failed")}));
    a->ThrowOnDown = false;
    FLog.clear();
    release(FHost.get(), {10, 10});
    press(FHost.get(), {20, 20});
    QVERIFY2(FLog.contains(QStringLiteral("a.down(20,20)")), qPrintable(FLog.join(u' ')));
    release(FHost.get(), {20, 20});
  }

  void freedControlIsForgottenByHost() {
    TRecorder* a = add(QStringLiteral("a"), FHost->Root(), {0, 0, 100, 100});
    move(FHost.get(), {10, 10});
    press(FHost.get(), {10, 10});
    QCOMPARE(FHost->HoverControl(), a);
    delete a;
    QVERIFY(FHost->HoverControl() == nullptr);
    QVERIFY(FHost->CaptureControl() == nullptr);
    move(FHost.get(), {20, 20}, Qt::LeftButton);  // must not touch the freed control
    release(FHost.get(), {20, 20});
  }

  void parentFreesOwnedChildrenAndDetachesListOwned() {
    auto* parent = add(QStringLiteral("p"), FHost->Root(), {0, 0, 100, 100});
    auto* owned = add(QStringLiteral("owned"), parent, {0, 0, 10, 10});
    Q_UNUSED(owned);
    auto* listOwned = new TRecorder(QStringLiteral("list"), &FLog);
    listOwned->SetOwnedByParent(false);
    listOwned->SetParent(parent);
    QCOMPARE(parent->ChildCount(), 2);
    delete parent;
    QVERIFY(listOwned->Parent() == nullptr);
    delete listOwned;
  }

  void paintCullsControlsOutsideTheDirtyRect() {
    add(QStringLiteral("near"), FHost->Root(), {0, 0, 50, 50});
    add(QStringLiteral("far"), FHost->Root(), {300, 200, 50, 50});
    FLog.clear();
    const QImage image = FHost->RenderToImage(QRect(0, 0, 100, 100));
    QVERIFY(FLog.contains(QStringLiteral("near.paint")));
    QVERIFY(!FLog.contains(QStringLiteral("far.paint")));
    QCOMPARE(image.pixel(10, 10), 0xFF336699u);
  }

  void textLayoutMeasures() {
    TTextLayout layout;
    layout.Text = QStringLiteral("Hello world");
    layout.Font = QFont(QStringLiteral("Segoe UI"), 12);
    const QRectF r = layout.TextRect();
    QVERIFY(r.width() > 30);
    QVERIFY(r.height() > 8);
    layout.MaxSize = QSizeF(40, 1000);
    layout.WordWrap = true;
    QVERIFY(layout.TextRect().height() > r.height());  // wraps onto two lines
  }
};

DIZAD_TEST(TestControlTree)
#include "tst_control.moc"

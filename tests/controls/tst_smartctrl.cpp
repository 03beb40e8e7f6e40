#include "testregistry.h"

#include "controls/smartctrl.h"
#include "toolkit/errors.h"
#include "toolkit/host.h"

#include <QMouseEvent>
#include <QTest>

using namespace dizad::controls;
using dizad::toolkit::TControlRef;

namespace {

// Records enter/leave (with who sent them), double clicks, repaints and resizes.
class TProbe : public TSmartCtrl {
 public:
  TProbe(QString name, QStringList* log) : FName(std::move(name)), FLog(log) {}
  void MouseEnter(TControl* Sender) override {
    TSmartCtrl::MouseEnter(Sender);
    FLog->append(FName + QStringLiteral(".enter<") + senderName(Sender));
  }
  void MouseLeave(TControl* Sender) override {
    TSmartCtrl::MouseLeave(Sender);
    FLog->append(FName + QStringLiteral(".leave<") + senderName(Sender));
  }
  void MouseDouble(TMouseButton, TShiftState, float, float) override {
    FLog->append(FName + QStringLiteral(".double"));
  }
  void Repaint() override {
    if (LogRepaints) FLog->append(FName + QStringLiteral(".repaint"));
    TSmartCtrl::Repaint();
  }
  void InvalidateRect(const QRectF& r) override {
    ++Invalidations;
    if (RepaintFromInvalidate) Repaint();  // re-entrant request
    TSmartCtrl::InvalidateRect(r);
  }
  void Resize() override { ++Resizes; }

  QString senderName(TControl* s) const {
    if (s == this) return QStringLiteral("self");
    auto* p = dynamic_cast<TProbe*>(s);
    return p ? p->FName : QStringLiteral("?");
  }
  bool LogRepaints = false;
  bool RepaintFromInvalidate = false;
  int Invalidations = 0;
  int Resizes = 0;
  QString FName;

 private:
  QStringList* FLog;
};

}  // namespace

class TestSmartCtrl : public QObject {
  Q_OBJECT

  QStringList FLog;
  std::unique_ptr<TProbe> FParent;

  TProbe* child(const QString& name, QRectF r, TSmartCtrl* parent = nullptr) {
    auto* c = new TProbe(name, &FLog);
    c->SetBounds(float(r.x()), float(r.y()), float(r.width()), float(r.height()));
    c->SetParent(parent ? parent : FParent.get());
    return c;
  }

 private Q_SLOTS:
  void init() {
    FLog.clear();
    FParent = std::make_unique<TProbe>(QStringLiteral("parent"), &FLog);
    FParent->SetSize(400, 300);
  }
  void cleanup() { FParent.reset(); }

  void noChildrenNothingHappens() {
    FParent->MouseMove(0, 10, 10);
    QVERIFY(FParent->scActive.get() == nullptr);
    QVERIFY(FLog.isEmpty());
  }

  void leaveBeforeEnterWhenMovingAcrossChildren() {
    TProbe* a = child(QStringLiteral("a"), {0, 0, 100, 100});
    TProbe* b = child(QStringLiteral("b"), {150, 0, 100, 100});
    FParent->MouseMove(0, 10, 10);
    FParent->MouseMove(0, 20, 20);  // within a: nothing new
    FParent->MouseMove(0, 160, 10);
    QCOMPARE(FLog, QStringList({QStringLiteral("a.enter<parent"), QStringLiteral("a.leave<parent"),
                                QStringLiteral("b.enter<parent")}));
    QCOMPARE(FParent->scActive.get(), b);
    QCOMPARE(a->scState, scNormal);
    QCOMPARE(b->scState, scHot);
    FParent->MouseMove(0, 120, 10);  // the gap: b leaves, nobody enters
    QCOMPARE(FLog.last(), QStringLiteral("b.leave<parent"));
    QVERIFY(FParent->scActive.get() == nullptr);
  }

  void edgesInclusiveAndEarlierChildWins_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QString>("expected");
    QTest::newRow("left-top corner") << 0.f << 0.f << QStringLiteral("a");
    QTest::newRow("right edge of a") << 100.f << 50.f << QStringLiteral("a");  // shared with b
    QTest::newRow("bottom edge of a") << 50.f << 100.f << QStringLiteral("a");
    QTest::newRow("inside b") << 101.f << 50.f << QStringLiteral("b");
    QTest::newRow("right edge of b") << 200.f << 100.f << QStringLiteral("b");
    QTest::newRow("outside") << 200.5f << 50.f << QString();
  }
  void edgesInclusiveAndEarlierChildWins() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QString, expected);
    child(QStringLiteral("a"), {0, 0, 100, 100});
    child(QStringLiteral("b"), {100, 0, 100, 100});
    TSmartCtrl* found = nullptr;
    const bool ok = FParent->ControlNotify(found, x, y);
    QCOMPARE(ok, !expected.isEmpty());
    QCOMPARE(found ? static_cast<TProbe*>(found)->FName : QString(), expected);
  }

  void descentTranslatesIntoChildFrame() {
    // folder -> group -> item: the item sits at (10, 10) inside a group at (0, 200).
    TProbe* group = child(QStringLiteral("group"), {0, 200, 400, 100});
    TProbe* item = child(QStringLiteral("item"), {10, 10, 50, 50}, group);
    TSmartCtrl* found = nullptr;
    QVERIFY(FParent->ControlNotify(found, 20, 220));
    QCOMPARE(found, item);
    // The same point untranslated would have missed the item.
    QVERIFY(FParent->ControlNotify(found, 20, 290));
    QCOMPARE(found, group);
  }

  void plainControlsArePassedOver() {
    auto* text = new dizad::toolkit::TControl;
    text->SetBounds(0, 0, 400, 300);
    text->SetParent(FParent.get());
    TProbe* a = child(QStringLiteral("a"), {0, 0, 100, 100});
    TSmartCtrl* found = nullptr;
    QVERIFY(FParent->ControlNotify(found, 10, 10));
    QCOMPARE(found, a);
  }

  void hitTestOffBecomesActiveSilently() {
    TProbe* a = child(QStringLiteral("a"), {0, 0, 100, 100});
    a->SetHitTest(false);
    FParent->MouseMove(0, 10, 10);
    QCOMPARE(FParent->scActive.get(), a);
    FParent->MouseMove(0, 300, 10);
    QVERIFY(FLog.isEmpty());
    QVERIFY(FParent->scActive.get() == nullptr);
  }

  void notifyChildrenOffLeavesHoveredChild() {
    child(QStringLiteral("a"), {0, 0, 100, 100});
    FParent->MouseMove(0, 10, 10);
    FParent->scNotifyChildren = false;
    FParent->MouseMove(0, 11, 10);
    QCOMPARE(FLog,
             QStringList({QStringLiteral("a.enter<parent"), QStringLiteral("a.leave<parent")}));
    TSmartCtrl* found = nullptr;
    QVERIFY(!FParent->ControlNotify(found, 10, 10));
  }

  void freedOrRemovedChildIsForgottenWithoutLeave() {
    TProbe* a = child(QStringLiteral("a"), {0, 0, 100, 100});
    FParent->MouseMove(0, 10, 10);
    delete a;
    QVERIFY(FParent->scActive.get() == nullptr);
    FParent->MouseMove(0, 20, 10);  // must not reach the freed control

    TProbe* b = child(QStringLiteral("b"), {0, 0, 100, 100});
    FParent->MouseMove(0, 10, 10);
    FLog.clear();
    b->SetParent(nullptr);
    QVERIFY(FParent->scActive.get() == nullptr);
    QVERIFY(FLog.isEmpty());
    delete b;

    // A grandchild freed while hovered through its parent is forgotten too.
    TProbe* group = child(QStringLiteral("group"), {0, 0, 200, 200});
    TProbe* item = child(QStringLiteral("item"), {0, 0, 50, 50}, group);
    FParent->MouseMove(0, 10, 10);
    QCOMPARE(FParent->scActive.get(), item);
    delete item;
    QVERIFY(FParent->scActive.get() == nullptr);
  }

  void doubleClickBetweenPressAndRepaint() {
    FParent->LogRepaints = true;
    FParent->MouseDown(TMouseButton::Left, dizad::toolkit::ssLeft | dizad::toolkit::ssDouble, 1, 1);
    QCOMPARE(FLog,
             QStringList({QStringLiteral("parent.double"), QStringLiteral("parent.repaint")}));
    FLog.clear();
    FParent->MouseDown(TMouseButton::Left, dizad::toolkit::ssLeft, 1, 1);
    QCOMPARE(FLog, QStringList({QStringLiteral("parent.repaint")}));
  }

  void repaintIsNotReentrant() {
    FParent->RepaintFromInvalidate = true;
    FParent->Repaint();
    QCOMPARE(FParent->Invalidations, 1);
    QVERIFY(!FParent->scRepainting);
  }

  void setSizeWithoutChangeRaisesNoResize() {
    const int before = FParent->Resizes;
    FParent->SetWidth(400);
    FParent->SetHeight(300);
    QCOMPARE(FParent->Resizes, before);
    FParent->SetWidth(401);
    QCOMPARE(FParent->Resizes, before + 1);
  }

  void measureRoundsHalfToEven_data() {
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("halves") << 2.5f << 3.5f << QPoint(2, 4);
    QTest::newRow("plain") << 10.4f << 10.6f << QPoint(10, 11);
  }
  void measureRoundsHalfToEven() {
    QFETCH(float, w);
    QFETCH(float, h);
    QFETCH(QPoint, expected);
    FParent->SetSize(w, h);
    QCOMPARE(FParent->MeasureControl(0, 0), expected);
  }

  void toolkitEnterSetsHotWithSelfAsSender() {
    dizad::toolkit::THostForm host;
    host.resize(200, 200);
    host.show();
    auto* a = new TProbe(QStringLiteral("a"), &FLog);
    a->SetBounds(0, 0, 100, 100);
    a->SetParent(host.Root());
    QMouseEvent e(QEvent::MouseMove, QPointF(10, 10), host.mapToGlobal(QPointF(10, 10)),
                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&host, &e);
    QCOMPARE(FLog, QStringList({QStringLiteral("a.enter<self")}));
    QCOMPARE(a->scState, scHot);
  }

  void controlListOwnsAndLocks() {
    auto* list = new TControlList;
    auto* a = new TProbe(QStringLiteral("a"), &FLog);
    auto* b = new TProbe(QStringLiteral("b"), &FLog);
    auto* c = new TProbe(QStringLiteral("c"), &FLog);
    TControlRef<TProbe> ra(a), rb(b), rc(c);
    list->AddControl(a);
    list->AddControl(b);
    list->AddControl(c);
    b->SetParent(FParent.get());  // visual parent, not owner
    QCOMPARE(list->Count(), 3);
    list->Delete(0);
    QVERIFY(ra.get() == nullptr);
    QCOMPARE(list->GetControl(0), b);
    try {
      list->GetControl(5);
      QFAIL("no error for a bad index");
    } catch (const dizad::toolkit::EListError& e) {
      QCOMPARE(e.Message(), QStringLiteral("List index out of bounds (5)"));
    }
    FParent.reset();  // the parent only detaches the list's control
    QVERIFY(rb.get() != nullptr);
    list->Clear();
    QVERIFY(rb.get() == nullptr && rc.get() == nullptr);
    QCOMPARE(list->Count(), 0);
    list->AddControl(new TProbe(QStringLiteral("d"), &FLog));
    delete list;  // frees what it still holds (checked by the leak sanitizer)
  }
};

DIZAD_TEST(TestSmartCtrl)
#include "tst_smartctrl.moc"

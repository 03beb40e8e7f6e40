#include "testregistry.h"

#include "app/globals.h"
#include "controls/buttonkinds.h"
#include "controls/smartbutton.h"
#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/host.h"
#include "toolkit/sync.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <mutex>

using namespace dizad::controls;
using dizad::core::SetListValue;
using dizad::toolkit::TBitmap;
using dizad::toolkit::THostForm;

Q_DECLARE_METATYPE(QRectF)

namespace {

// Counts repaints and notes, for each, whether it ran on the GUI thread and
// whether the icon was loaded at that moment.
template <typename Base>
class TCounting : public Base {
 public:
  void Repaint() override {
    ++Repaints;
    RepaintOnGui = RepaintOnGui && dizad::toolkit::IsGuiThread();
    Base::Repaint();
  }
  int Repaints = 0;
  bool RepaintOnGui = true;
};
using TProbeButton = TCounting<TSmartButton>;

class TGroup : public TCollapsibleGroup {
 public:
  bool Collapsed() const override { return FCollapsed; }
  void SetCollapsed(bool Value) override {
    FCollapsed = Value;
    ++Writes;
  }
  bool FCollapsed = false;
  int Writes = 0;
};

void send(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
          Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// Extraction that waits at a gate for chosen files, so a test can free a
// button while its icon is being loaded; then it does the real extraction.
struct TSlowLoad {
  QSemaphore Gate;
  std::mutex Lock;
  QStringList Entered;   // guarded by Lock
  QStringList Finished;  // guarded by Lock
  QStringList Slow;      // set before loads start
  bool OffGui = true;    // guarded by Lock

  bool entered(const QString& p) {
    std::lock_guard<std::mutex> l(Lock);
    return Entered.contains(p);
  }
  bool finished(const QString& p) {
    std::lock_guard<std::mutex> l(Lock);
    return Finished.contains(p);
  }
  TIconExtractor extractor() {
    return [this](const QString& path, TBitmap& dest) {
      {
        std::lock_guard<std::mutex> l(Lock);
        Entered.append(path);
        OffGui = OffGui && !dizad::toolkit::IsGuiThread();
      }
      if (Slow.contains(path)) Gate.acquire();
      const bool ok = TSmartButton::ExtractFileIcon(path, dest);
      std::lock_guard<std::mutex> l(Lock);
      Finished.append(path);
      return ok;
    };
  }
};

quint32 pixel(const QImage& image, QPointF p) {
  return image.pixel(p.toPoint());
}

}  // namespace

class TestSmartButton : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString makeFile(const QString& name) {
    const QString path = FDir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write("hello\n");
    return path;
  }

 private Q_SLOTS:
  void cleanup() { TSmartButton::SetIconExtractor({}); }

  // --- states ---------------------------------------------------------------------

  void states_data() {
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("state");
    QTest::newRow("enter") << "E" << int(bsHot);
    QTest::newRow("enter leave") << "EL" << int(bsNormal);
    QTest::newRow("press") << "ED" << int(bsPressed);
    QTest::newRow("enter again while held") << "EDE" << int(bsPressed);
    QTest::newRow("release") << "EDU" << int(bsHot);
    QTest::newRow("release and leave") << "EDUL" << int(bsNormal);
    QTest::newRow("leave while held") << "EDL" << int(bsNormal);
    QTest::newRow("press without hover") << "D" << int(bsPressed);
  }
  void states() {
    QFETCH(QString, events);
    QFETCH(int, state);
    TProbeButton b;
    b.Repaints = 0;
    for (QChar c : events) {
      if (c == u'E') b.MouseEnter(&b);
      if (c == u'L') b.MouseLeave(&b);
      if (c == u'D') b.MouseDown(TMouseButton::Left, dizad::toolkit::ssLeft, 5, 5);
      if (c == u'U') b.MouseUp(TMouseButton::Left, 0, 5, 5);
    }
    QCOMPARE(int(b.sbState), state);
    QCOMPARE(b.Repaints, int(events.size()));  // every event ends with a repaint
    QCOMPARE(int(b.scState), int(scNormal));   // the control base's hover flag stays unused
  }

  void realPointerDrivesStates() {
    THostForm host;
    host.SetClientSize(200, 100);
    host.show();
    auto* b = new TProbeButton;
    b->SetBounds(50, 20, 60, 40);
    b->SetParent(host.Root());
    send(&host, QEvent::MouseMove, QPointF(70, 30));
    QCOMPARE(int(b->sbState), int(bsHot));
    send(&host, QEvent::MouseButtonPress, QPointF(70, 30), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(int(b->sbState), int(bsPressed));
    send(&host, QEvent::MouseButtonRelease, QPointF(70, 30), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(int(b->sbState), int(bsHot));
    send(&host, QEvent::MouseMove, QPointF(5, 5));
    QCOMPARE(int(b->sbState), int(bsNormal));
    QVERIFY(b->Repaints >= 4);
  }

  void clickHandlerGetsThePress() {
    TSmartButton b;
    TSmartButton* sender = nullptr;
    QPointF at;
    TMouseButton button = TMouseButton::Left;
    int state = -1;
    b.sbOnButonClick = [&](TSmartButton* s, TMouseButton bt, TShiftState, float x, float y) {
      sender = s;
      button = bt;
      at = QPointF(x, y);
      state = s->sbState;
    };
    b.MouseDown(TMouseButton::Right, 0, 7, 9);
    QCOMPARE(sender, &b);
    QCOMPARE(int(button), int(TMouseButton::Right));
    QCOMPARE(at, QPointF(7, 9));
    QCOMPARE(state, int(bsPressed));  // the handler already sees the pressed state
  }

  void clickHandlerMayFreeTheButton() {
    auto* b = new TProbeButton;
    b->sbOnButonClick = [](TSmartButton* s, TMouseButton, TShiftState, float, float) { delete s; };
    b->MouseDown(TMouseButton::Left, 0, 1, 1);  // must not touch the freed button
  }

  // --- geometry ---------------------------------------------------------------------

  void geometry_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QRectF>("icon");
    QTest::addColumn<QRectF>("menu");
    QTest::addColumn<QRectF>("arrow");
    const QRectF untouched = rectLTRB(0, 10, 0, 10);
    QTest::newRow("menu 300x60") << int(bsMenu) << QSizeF(300, 60) << rectLTRB(10, 10, 42, 42)
                                 << rectLTRB(260, 0, 300, 60) << rectLTRB(270, 25, 289, 44);
    QTest::newRow("icon 100x40") << int(bsIcon) << QSizeF(100, 40) << rectLTRB(2, 2, 98, 38)
                                 << untouched << QRectF();
    // The tile style moves no rectangle: the icon keeps where creation put it.
    QTest::newRow("tile 200x50") << int(bsTile) << QSizeF(200, 50) << rectLTRB(2, 2, 27, 27)
                                 << untouched << QRectF();
  }
  void geometry() {
    QFETCH(int, style);
    QFETCH(QSizeF, size);
    QFETCH(QRectF, icon);
    QFETCH(QRectF, menu);
    QFETCH(QRectF, arrow);
    TSmartButton b;
    b.sbStyle = TButtonStyle(style);
    b.SetSize(float(size.width()), float(size.height()));
    QCOMPARE(b.sbIconRect, icon);
    QCOMPARE(b.sbMenuRect, menu);
    QCOMPARE(b.sbArrowRect, arrow);
    QCOMPARE(b.Caption.TopLeft, QPointF(55, 10));
    QCOMPARE(b.Caption.MaxSize, QSizeF(size.width() - 60, 20));
    QCOMPARE(b.Description.TopLeft, QPointF(55, 30));
    QCOMPARE(b.Description.MaxSize, QSizeF(size.width() - 60, 32));
  }

  void createdDefaults() {
    TSmartButton b;
    QCOMPARE(b.Width(), 29.0f);
    QCOMPARE(b.Height(), 29.0f);
    QCOMPARE(int(b.sbStyle), int(bsIcon));
    QCOMPARE(b.sbMenu, QStringLiteral("2"));
    QVERIFY(b.Caption.Font.bold());
    QVERIFY(!b.Description.Font.bold());
    QVERIFY(!b.sbIconLoaded);
  }

  void skinIdsOverrideDefaults() {
    TSmartButton b;
    QCOMPARE(
        b.SkinID(QStringLiteral("Back.Hot"), QStringLiteral("SmartButton:SmartButton.Back.Hot")),
        QStringLiteral("SmartButton:SmartButton.Back.Hot"));
    SetListValue(b.sbSkinID, QStringLiteral("Icon"), QStringLiteral("Icons:Thumb"));
    QCOMPARE(b.SkinID(QStringLiteral("icon"), QString()), QStringLiteral("icons:thumb"));
  }

  // --- theme ---------------------------------------------------------------------------

  void loadTheme_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expectCaption");
    QTest::addColumn<bool>("pathAsDescription");
    QTest::newRow("file, empty caption") << true << QString() << "app.sh" << true;
    QTest::newRow("file, caption set") << true << "Editor"
                                       << "Editor" << true;
    QTest::newRow("no file") << false << QString() << QString() << false;
  }
  void loadTheme() {
    QFETCH(bool, exists);
    QFETCH(QString, caption);
    QFETCH(QString, expectCaption);
    QFETCH(bool, pathAsDescription);
    TSmartButton b;
    b.ebPath = exists ? makeFile(QStringLiteral("app.sh")) : FDir.filePath(QStringLiteral("gone"));
    b.Caption.Text = caption;
    b.LoadTheme();
    QCOMPARE(b.Caption.Text, expectCaption);
    QCOMPARE(b.Description.Text, pathAsDescription ? b.ebPath : QString());
    QCOMPARE(b.Caption.Color, 0xFF383838u);
    QCOMPARE(b.Description.Color, 0xFF190086u);
    QVERIFY(b.Description.WordWrap);
    QVERIFY(b.Caption.Font.bold());  // only the family changes
  }

  // --- icon loading ---------------------------------------------------------------------

  void iconArrivesOnGuiThread() {
    TSlowLoad load;
    TSmartButton::SetIconExtractor(load.extractor());
    TProbeButton b;
    b.ebPath = makeFile(QStringLiteral("notes.txt"));
    b.Repaints = 0;
    b.LoadIcon();
    QVERIFY(!b.sbIconLoaded);  // not at once: it loads in the background
    QTRY_VERIFY(b.sbIconLoaded);
    QVERIFY(load.OffGui);
    QVERIFY(b.RepaintOnGui);
    QVERIFY(b.Repaints >= 1);
    QCOMPARE(b.sbIcon.Width(), 32);
    QCOMPARE(b.sbIcon.Height(), 32);
  }

  void freedButtonGetsNoIcon() {
    TSlowLoad load;
    const QString slow = makeFile(QStringLiteral("slow.txt"));
    const QString quick = makeFile(QStringLiteral("quick.txt"));
    load.Slow = {slow};
    TSmartButton::SetIconExtractor(load.extractor());
    auto* doomed = new TProbeButton;
    doomed->ebPath = slow;
    doomed->LoadIcon();
    QTRY_VERIFY(load.entered(slow));  // the worker is extracting now
    delete doomed;
    load.Gate.release();
    QTRY_VERIFY(load.finished(slow));
    // A later load still arrives, after the dropped result was handed over.
    TProbeButton survivor;
    survivor.ebPath = quick;
    survivor.LoadIcon();
    QTRY_VERIFY(survivor.sbIconLoaded);
  }

  void newerLoadWins() {
    const QString first = makeFile(QStringLiteral("first.txt"));
    const QString second = makeFile(QStringLiteral("second.txt"));
    QSemaphore gate;
    std::atomic<int> done{0};
    TSmartButton::SetIconExtractor([&](const QString& path, TBitmap& dest) {
      if (path == first) gate.acquire();
      dest.SetSize(32, 32);
      dest.Clear(path == first ? 0xFFFF0000 : 0xFF00FF00);
      ++done;
      return true;
    });
    TSmartButton b;
    b.ebPath = first;
    b.LoadIcon();
    b.ebPath = second;
    b.LoadIcon();
    QTRY_VERIFY(b.sbIconLoaded);
    gate.release();
    QTRY_COMPARE(done.load(), 2);
    QTest::qWait(20);  // let the stale result reach the GUI thread
    QCOMPARE(b.sbIcon.Image().pixel(16, 16), 0xFF00FF00u);
  }

  void missingFileLoadsNothing() {
    std::atomic<int> calls{0};
    TSmartButton::SetIconExtractor([&](const QString&, TBitmap&) {
      ++calls;
      return true;
    });
    TProbeButton b;
    b.ebPath = FDir.filePath(QStringLiteral("missing.exe"));
    b.Repaints = 0;
    b.InitButton();
    QTest::qWait(20);
    QCOMPARE(calls.load(), 0);
    QVERIFY(!b.sbIconLoaded);
    QVERIFY(b.Caption.Text.isEmpty());
  }

  // A failed or broken extraction still reaches the GUI thread, as "no icon".
  void failedExtractionLeavesNoIcon_data() {
    QTest::addColumn<bool>("throws");
    QTest::newRow("no icon") << false;
    QTest::newRow("extraction error") << true;
  }
  void failedExtractionLeavesNoIcon() {
    QFETCH(bool, throws);
    TSmartButton::SetIconExtractor([throws](const QString&, TBitmap&) -> bool {
      if (throws) throw std::runtime_error("broken icon");
      return false;
    });
    TProbeButton b;
    b.ebPath = makeFile(QStringLiteral("odd.bin"));
    b.Repaints = 0;
    b.LoadIcon();
    QTRY_VERIFY(b.Repaints >= 1);
    QVERIFY(!b.sbIconLoaded);
  }

  // --- kinds ------------------------------------------------------------------------------

  void kinds_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QRectF>("icon");
    QTest::newRow("back") << "back" << QSizeF(29, 28) << rectLTRB(5, 5, 24, 24);
    QTest::newRow("forward") << "forward" << QSizeF(28, 28) << rectLTRB(5, 5, 24, 24);
    QTest::newRow("collapse") << "collapse" << QSizeF(28, 28) << rectLTRB(0, 0, 24, 24);
    QTest::newRow("cloud") << "cloud" << QSizeF(28, 28) << rectLTRB(2, 2, 26, 26);
    QTest::newRow("favorites") << "favorites" << QSizeF(28, 28) << rectLTRB(2, 2, 26, 26);
    QTest::newRow("menu") << "menu" << QSizeF(28, 28) << rectLTRB(2, 2, 26, 26);
    QTest::newRow("search") << "search" << QSizeF(40, 28) << rectLTRB(6, 2, 30, 26);
    QTest::newRow("menu back") << "menuback" << QSizeF(28, 28) << rectLTRB(2.5, 2, 21.5, 21);
  }
  void kinds() {
    QFETCH(QString, kind);
    QFETCH(QSizeF, size);
    QFETCH(QRectF, icon);
    std::unique_ptr<TSmartButton> b = makeKind(kind);
    QCOMPARE(QSizeF(b->Width(), b->Height()), size);
    QCOMPARE(b->sbIconRect, icon);
    // The kinds' presses neither press the button nor call the click handler.
    bool clicked = false;
    b->sbOnButonClick = [&](TSmartButton*, TMouseButton, TShiftState, float, float) {
      clicked = true;
    };
    b->MouseEnter(b.get());
    if (kind != QLatin1String("cloud")) b->MouseDown(TMouseButton::Left, 0, 3, 3);
    QCOMPARE(int(b->sbState), int(bsHot));
    QVERIFY(!clicked);
  }

  void kindIconFollowsResize_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRectF>("icon");
    QTest::newRow("search") << "search" << rectLTRB(16, 2, 40, 26);
    QTest::newRow("menu back") << "menuback" << rectLTRB(18.5, 2, 37.5, 21);
    QTest::newRow("menu") << "menu" << rectLTRB(2, 2, 26, 26);
  }
  void kindIconFollowsResize() {
    QFETCH(QString, kind);
    QFETCH(QRectF, icon);
    std::unique_ptr<TSmartButton> b = makeKind(kind);
    b->SetWidth(60);
    QCOMPARE(b->sbIconRect, icon);
  }

  void backButtonWidthFollowsCaption() {
    TButtonBack b;
    QCOMPARE(b.SkinID(QStringLiteral("Icon"), QString()),
             QStringLiteral("buttons:button.navigate.back"));
    QCOMPARE(b.Caption.Color, 0xFFFFFFFFu);
    b.Caption.Text = QStringLiteral("Documents");
    b.Arrange();
    const double right = b.Caption.TextRect().right();
    QVERIFY(right > 40);
    QCOMPARE(double(b.Width()), double(float(right + 2)));
    QCOMPARE(b.MeasureControl(0, 17), QPoint(roundHalfEven(b.Caption.TextRect().width() + 44), 17));
  }

  void backButtonShowsItsCaption() {
    THostForm host;
    host.SetClientSize(160, 40);
    auto* b = new TButtonBack;
    b->Caption.Text = QStringLiteral("Documents");
    b->Arrange();
    b->SetParent(host.Root());
    const QImage image = host.RenderToImage();
    int white = 0;
    for (int y = 0; y < 28; ++y)
      for (int x = 28; x < int(b->Width()); ++x)
        if (qAlpha(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) > 200) ++white;
    QVERIFY(white > 20);
  }

  void collapseButtonTogglesItsGroup() {
    TCounting<TButtonGroupCollapse> b;
    b.MouseDown(TMouseButton::Left, 0, 3, 3);  // no group: nothing to do
    TGroup group;
    b.bGroupData = &group;
    b.Repaints = 0;
    b.MouseDown(TMouseButton::Left, 0, 3, 3);
    QVERIFY(group.FCollapsed);
    QCOMPARE(b.Repaints, 1);
    b.MouseDown(TMouseButton::Left, 0, 3, 3);
    QVERIFY(!group.FCollapsed);
    QCOMPARE(group.Writes, 2);
  }

  void cloudButtonOnlyShowsItsMessage() {
    TButtonGoogleDrive b;
    QString text;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
    });
    b.MouseDown(TMouseButton::Left, 0, 3, 3);
    QCOMPARE(text, QStringLiteral("Not yet Implemented :)"));
    QCOMPARE(int(b.sbState), int(bsNormal));
  }

  // --- painting ------------------------------------------------------------------------------

  void initTestCase() {
    dizad::core::setAppDir(dizad::test::sourceDir());
    FSkin = std::make_unique<dizad::skin::TSmartSkin>();
    dizad::SmartSkin = FSkin.get();
  }
  void cleanupTestCase() {
    dizad::SmartSkin = nullptr;
    FSkin.reset();
  }

  void paintingOrder() {
    THostForm host;
    host.SetClientSize(320, 80);
    auto* b = new TSmartButton;
    b->sbStyle = bsMenu;
    b->SetBounds(0, 0, 300, 60);
    b->SetParent(host.Root());
    // inIcon lies on one of the four squares of the "Thumb" picture.
    const QPointF inHot(150, 55), inSub(275, 5), inIcon(16, 16);
    QImage normal = host.RenderToImage();
    QCOMPARE(qAlpha(pixel(normal, inHot)), 0);  // nothing behind a normal button
    b->MouseEnter(b);
    QImage hot = host.RenderToImage();
    QVERIFY(qAlpha(pixel(hot, inHot)) > 0);           // hot background
    QVERIFY(pixel(hot, inSub) != pixel(hot, inHot));  // sub area over it
    b->MouseDown(TMouseButton::Left, 0, 100, 30);
    QImage pressed = host.RenderToImage();
    QCOMPARE(qAlpha(pixel(pressed, inHot)), 0);  // held down: no hot background
    QCOMPARE(qAlpha(pixel(pressed, inSub)), 0);
    b->MouseUp(TMouseButton::Left, 0, 100, 30);
    // A skin icon, then the file's icon over it.
    SetListValue(b->sbSkinID, QStringLiteral("Icon"), QStringLiteral("Icons:Thumb"));
    QImage skinIcon = host.RenderToImage();
    QVERIFY(pixel(skinIcon, inIcon) != pixel(hot, inIcon));
    b->sbIcon.SetSize(32, 32);
    b->sbIcon.Clear(0xFFFF0000);
    b->sbIconLoaded = true;
    QImage fileIcon = host.RenderToImage();
    QCOMPARE(pixel(fileIcon, inIcon), 0xFFFF0000u);
  }

  void kindPainting_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<QPointF>("probe");
    QTest::addColumn<bool>("painted");
    // The search button lays the light tab over its whole rectangle.
    QTest::newRow("search corner") << "search" << false << QPointF(38, 14) << true;
    // The menu-back button lights its background only while hot.
    QTest::newRow("menu back normal") << "menuback" << false << QPointF(1, 26) << false;
    QTest::newRow("menu back hot") << "menuback" << true << QPointF(1, 26) << true;
    QTest::newRow("collapse without group") << "collapse" << false << QPointF(12, 12) << false;
  }
  void kindPainting() {
    QFETCH(QString, kind);
    QFETCH(bool, hot);
    QFETCH(QPointF, probe);
    QFETCH(bool, painted);
    THostForm host;
    host.SetClientSize(60, 40);
    TSmartButton* b = makeKind(kind).release();
    b->SetParent(host.Root());
    if (hot) b->MouseEnter(b);
    const QImage image = host.RenderToImage();
    QCOMPARE(qAlpha(pixel(image, probe)) > 0, painted);
  }

  void collapseButtonPicturesDiffer() {
    THostForm host;
    host.SetClientSize(40, 40);
    auto* b = new TButtonGroupCollapse;
    TGroup group;
    b->bGroupData = &group;
    b->SetParent(host.Root());
    const QImage expanded = host.RenderToImage();
    b->MouseEnter(b);
    const QImage expandedHot = host.RenderToImage();
    b->MouseLeave(b);
    group.FCollapsed = true;
    const QImage collapsed = host.RenderToImage();
    QVERIFY(expanded != expandedHot);
    QVERIFY(expanded != collapsed);
    QVERIFY(qAlpha(pixel(expanded, QPointF(12, 12))) > 0 ||
            qAlpha(pixel(expanded, QPointF(12, 8))) > 0);
  }

 private:
  std::unique_ptr<dizad::skin::TSmartSkin> FSkin;

  static std::unique_ptr<TSmartButton> makeKind(const QString& kind) {
    if (kind == QLatin1String("back")) return std::make_unique<TButtonBack>();
    if (kind == QLatin1String("forward")) return std::make_unique<TButtonForward>();
    if (kind == QLatin1String("collapse")) return std::make_unique<TButtonGroupCollapse>();
    if (kind == QLatin1String("cloud")) return std::make_unique<TButtonGoogleDrive>();
    if (kind == QLatin1String("favorites")) return std::make_unique<TButtonFavorites>();
    if (kind == QLatin1String("menu")) return std::make_unique<TButtonMenu>();
    if (kind == QLatin1String("search")) return std::make_unique<TButtonSearch>();
    return std::make_unique<TButtonMenuBack>();
  }
};

DIZAD_TEST(TestSmartButton)
#include "tst_smartbutton.moc"

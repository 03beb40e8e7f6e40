#include "testregistry.h"

#include "toolkit/gobjectptr.h"

#include <glib-object.h>
#include <QTest>

using dizad::toolkit::TGObjectPtr;

// The GObject holder counts references right on a real GObject.
class TestGObjectPtr : public QObject {
  Q_OBJECT

  static guint refs(gpointer object) { return G_OBJECT(object)->ref_count; }

 private Q_SLOTS:
  void adoptCopyMoveAndDestroy() {
    GObject* raw = G_OBJECT(g_object_new(G_TYPE_OBJECT, nullptr));
    gpointer watch = raw;
    g_object_add_weak_pointer(raw, &watch);
    {
      auto a = TGObjectPtr<GObject>::Adopt(raw);
      QCOMPARE(refs(raw), 1u);
      {
        TGObjectPtr<GObject> b = a;
        QCOMPARE(refs(raw), 2u);
        TGObjectPtr<GObject> c = std::move(b);
        QCOMPARE(refs(raw), 2u);
        QVERIFY(!b);
        auto d = TGObjectPtr<GObject>::Ref(raw);
        QCOMPARE(refs(raw), 3u);
        d = c;  // assigning the same object keeps the count right
        QCOMPARE(refs(raw), 3u);
      }
      QCOMPARE(refs(raw), 1u);
      QVERIFY(watch);
    }
    QVERIFY(!watch);  // the last holder let go: the object is finalised
  }

  void releaseHandsOverTheReference() {
    auto a = TGObjectPtr<GObject>::Adopt(G_OBJECT(g_object_new(G_TYPE_OBJECT, nullptr)));
    GObject* raw = a.Release();
    QVERIFY(!a);
    QCOMPARE(refs(raw), 1u);
    auto b = TGObjectPtr<GObject>::Adopt(raw);
    b.Reset();
    QVERIFY(!b);
    QVERIFY(!TGObjectPtr<GObject>::Ref(nullptr));
  }
};

DIZAD_TEST(TestGObjectPtr)
#include "tst_gobjectptr.moc"

#include "testregistry.h"

#include "core/virtualpath.h"
#include "skin/smartskin.h"
#include "toolkit/memo.h"

#include <QTest>

using namespace dizad;

namespace {

struct TExpectedGroup {
  const char* Group;
  QStringList Images;
  QStringList Fonts;
};

QStringList ids(std::initializer_list<const char*> names) {
  QStringList list;
  for (const char* n : names) list.append(QString::fromLatin1(n));
  return list;
}

// Every element the program draws or takes a font from, by group.
const std::vector<TExpectedGroup>& expectedSkin() {
  static const std::vector<TExpectedGroup> groups = {
      {"Items",
       ids({"Item.File.Back",
            "Item.File.Back.Hot",
            "Item.File.Back.Selected",
            "Item.File.Back.HotSelected",
            "Item.File.List.Back",
            "Item.File.Back.List.Hot",
            "Item.File.Back.List.Selected",
            "Item.File.Back.List.HotSelected",
            "Item.File.List.Left",
            "Item.Tile.Left.Back",
            "Item.Folder.Note",
            "Item.Folder.Back",
            "Item.Folder.Back.Hot",
            "Item.Folder.Back.Selected",
            "Item.Folder.Back.HotSelected",
            "Item.Folder.Top",
            "Item.Graphic.Back",
            "Item.Graphic.Back.Hot",
            "Item.Graphic.Back.Selected",
            "Item.Graphic.Back.HotSelected",
            "Item.Graphic.Bottom",
            "Item.Graphic.Extension",
            "Item.Run",
            "Item.Group.Back",
            "harddrivesmall",
            "smallgrpfiles",
            "next"}),
       ids({"Item.Graphic.Extension", "Item.Normal", "Folder.Normal"})},
      {"Icons",
       ids({"Icon.Folder.16", "Icon.Files.24", "Icon.Folder.24", "Icon.Graphical.24",
            "Icon.Audio.24", "Icon.Video.24", "Icon.Document.24", "Icon.Executable.24",
            "Icon.Hidden.24", "Icons", "Thumb", "Tiles", "list"}),
       {}},
      {"QuickDrive",
       ids({"Item.Drive.Back", "Item.Drive.Back.Hot", "Item.Drive.Back.Selected",
            "Item.Drive.Back.HotSelected", "Item.Drive.Left", "Item.Drive.Subitem.Back",
            "Device.SizeBar.Back", "Device.SizeBar.Green", "Device.SizeBar.Orange",
            "Device.SizeBar.Red", "Item.Drive.Icon.Fixed.Small", "Item.Drive.Icon.Removable.Small",
            "Item.Drive.Icon.CD.Small", "Item.Drive.Icon.Remote.Small"}),
       ids({"Item.Drive.Subitem.Normal", "Item.Drive.Subitem.Hot"})},
      {"TabBar", ids({"TabBar.Back", "Logo.Top", "Tab.Normal", "Tab.Hot", "Tab.Icon.New"}),
       ids({"Tab.Normal", "Tab.Hot", "Tab.Active"})},
      {"PathBar", ids({"PathBar.Back"}), {}},
      {"PathEdit", ids({"PathEdit.Back", "PathEdit.h"}), {}},
      {"Buttons",
       ids({"Button.Navigate.Back", "Button.Navigate.Forward", "Button.Group.Collapse",
            "Button.Group.Collapse.Hot", "Button.Group.Expand", "Button.Group.Expand.Hot",
            "Button.Services.GoogleDrive.Small", "Button.Common.Favorites.Small",
            "Button.Common.Menu.Small", "Button.Common.Search.Small"}),
       {}},
      {"SmartButton",
       ids({"SmartButton.Back.Normal", "SmartButton.Back.Hot", "SmartButton.Back.Sub",
            "SmartButton.Back.Sub.Arrow"}),
       {}},
      {"SmartScroll",
       ids({"SmartScroll.Pan.Normal", "SmartScroll.Back.Expanded", "SmartScroll.Back.Collapsed"}),
       {}},
      {"SmartMenu", ids({"SmartMenu.Back", "SmartMenu.Header", "SmartMenu.group.header"}), {}},
      {"SmartEdit", ids({"Edit.Back"}), {}},
      {"Holder", ids({"Holder.SelectRect.Back"}), {}},
  };
  return groups;
}

}  // namespace

// The skin shipped in Data/Theme: complete and free of broken entries.
class TestDefaultSkin : public QObject {
  Q_OBJECT
 private:
  QString FPreviousAppDir;
  std::unique_ptr<skin::TSmartSkin> FSkin;

 private Q_SLOTS:
  void initTestCase() {
    FPreviousAppDir = core::setAppDir(test::sourceDir());
    QVERIFY2(core::PathExists(QStringLiteral("ThemeData.dez:\\"), 2),
             "Data/Theme/ThemeData.dez is missing");
    FSkin = std::make_unique<skin::TSmartSkin>();
  }
  void cleanupTestCase() {
    FSkin.reset();
    core::setAppDir(FPreviousAppDir);
  }

  void loadsWithoutBrokenEntries() {
    toolkit::LogMemo().Clear();
    skin::TSmartSkin skin;
    QVERIFY(!skin.ssDataList.empty());
    QCOMPARE(toolkit::LogMemo().Lines(), QStringList());
  }

  void everyElementTheProgramNamesIsThere_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("font");
    for (const TExpectedGroup& g : expectedSkin()) {
      for (const QString& id : g.Images)
        QTest::addRow("%s:%s image", g.Group, qPrintable(id))
            << QString::fromLatin1(g.Group) << id << false;
      for (const QString& id : g.Fonts)
        QTest::addRow("%s:%s font", g.Group, qPrintable(id))
            << QString::fromLatin1(g.Group) << id << true;
    }
  }
  void everyElementTheProgramNamesIsThere() {
    QFETCH(QString, group);
    QFETCH(QString, id);
    QFETCH(bool, font);
    const skin::TSmartSkin& skin = *FSkin;
    // Callers name elements exactly as listed; the exact lookups must find them.
    skin::TSkinGroup* skinGroup = nullptr;
    QVERIFY2(skin.GroupFind(group, skinGroup), "group missing");
    skin::TSkinData* data = nullptr;
    QVERIFY2(skinGroup->DataFind(id, data), "element missing");
    if (font) {
      QVERIFY2(skin.FindFont(group, id) == data, "font element not found by AssignFont's lookup");
      // A font entry sets a pixel size; the toolkit default has none.
      QVERIFY2(data->sdFont.pixelSize() > 0, "no Font() entry");
    } else {
      QVERIFY2(!data->sdImage.IsEmpty(), "no picture");
      QVERIFY(data->sdImage.Width() > 0 && data->sdImage.Height() > 0);
    }
  }
};

DIZAD_TEST(TestDefaultSkin)
#include "tst_defaultskin.moc"

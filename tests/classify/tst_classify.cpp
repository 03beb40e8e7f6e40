#include "testregistry.h"

#include "classify/extensionmanager.h"
#include "classify/groupmanager.h"
#include "core/virtualpath.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::classify;
using dizad::core::TParamString;

namespace {

QString u(const char* text) {
  return QString::fromUtf8(text);
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The token a local file gets: its extension with the dot, "*File" without one.
QString tokenOf(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot > 0 ? fileName.mid(dot) : u("*File");
}

QString groupOf(const TGroupManager& groups, const QString& token) {
  const TGroupItem* item = nullptr;
  return groups.GetGroupData(kSmartGrouping, token, item) ? item->giID : QString();
}

const QByteArray kTypes =
    "[.html]\n"
    "Params=Type(*Document)\n"
    "Open=1\n"
    "MyParams=x\n"
    "Edit=2\n"
    "[.JPG]\n"
    "Params=Type(*Graphical)\n"
    "[.cpp]\n"
    "[*Folder]\n";

const QByteArray kGroups =
    "[OtherGrouping]\n"
    "#Other=Extensions(.htm)\n"
    "[SmartGrouping]\n"
    "params=Extensions(.zzz)\n"
    "MyParams=Extensions(.yyy)\n"
    "#Pictures=Extensions(*graphical; .png;) Caption(Pics) Icon(Icons:Icon.Graphical.24)\n"
    "#Web=Extensions(.html) Caption(Web)\n"
    "#Code=Extensions(.cpp ; .h)\n"
    "#Second=Extensions(.html)\n"
    "#Empty=Caption(Nothing) Collapsed(1)\n";

}  // namespace

// The file-type and file-group registries with a fixture that shows the
// substring and first-match rules.
class TestClassify : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir FDir;
  TExtensionManager FTypes;
  std::unique_ptr<TGroupManager> FGroups;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(QDir(FDir.path()).mkpath(u("Data")));
    writeAll(FDir.filePath(u("Data/FileTypes.dez")), kTypes);
    writeAll(FDir.filePath(u("Data/FileGroups.dez")), kGroups);
    const QString previous = dizad::core::setAppDir(FDir.path());
    FTypes.Load();
    FGroups = std::make_unique<TGroupManager>(&FTypes);
    FGroups->Load();
    dizad::core::setAppDir(previous);
  }

  void typeEntries() {
    QCOMPARE(FTypes.Entries().size(), size_t(4));
    const TExtensionData* html = FTypes.Entries()[0].get();
    QCOMPARE(html->eID, u(".html"));
    QCOMPARE(html->FileType(), u("*Document"));
    // Menu lines drop every key containing "Params", letter case counting.
    QCOMPARE(html->eMenuItems, (QStringList{u("Open"), u("Edit")}));
    QVERIFY(!html->IsFileType());
    QVERIFY(FTypes.Entries()[3]->IsFileType());
    // A section without Params is a plain file.
    QCOMPARE(FTypes.Entries()[2]->FileType(), u("*File"));
  }

  void typeLookup_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("entry");
    QTest::newRow("exact") << u(".html") << u(".html");
    QTest::newRow("substring") << u(".htm") << u(".html");
    QTest::newRow("case ignored") << u(".jpg") << u(".JPG");
    QTest::newRow("token upper") << u(".HTML") << u(".html");
    QTest::newRow("first match wins") << u(".") << u(".html");
    QTest::newRow("empty matches nothing") << QString() << QString();
    QTest::newRow("unknown") << u(".mp3") << QString();
  }
  void typeLookup() {
    QFETCH(QString, token);
    QFETCH(QString, entry);
    const TExtensionData* data = nullptr;
    QCOMPARE(FTypes.GetExtantionData(token, data), !entry.isEmpty());
    if (!entry.isEmpty()) QCOMPARE(data->eID, entry);
  }

  void groupings() {
    QCOMPARE(FGroups->Groupings().size(), size_t(2));
    const TGroupType& smart = *FGroups->Groupings()[1];
    QCOMPARE(smart.gdParams.PS_STRING, u("Extensions(.zzz)"));  // "params" read as Params
    QStringList ids;
    for (const auto& g : smart.gdGroups) ids.append(g->giID);
    QCOMPARE(ids, (QStringList{u("params"), u("#Pictures"), u("#Web"), u("#Code"), u("#Second"),
                               u("#Empty")}));
    QCOMPARE(smart.gdGroups[1]->giExtensions, (QStringList{u("*graphical"), u(".png"), QString()}));
    QCOMPARE(smart.gdGroups[3]->giExtensions, (QStringList{u(".cpp"), u(".h")}));
    QVERIFY(smart.gdGroups[5]->giExtensions.isEmpty());
  }

  void groupLookup_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("group");
    QTest::newRow("file type piece, case ignored") << u(".JPG") << u("#Pictures");
    QTest::newRow("token piece") << u(".png") << u("#Pictures");
    QTest::newRow("substring piece") << u(".htm") << u("#Web");
    QTest::newRow("earlier group wins") << u(".html") << u("#Web");
    QTest::newRow(".c inside .cpp") << u(".c") << u("#Code");
    QTest::newRow("lower-case params key is a group") << u(".zzz") << u("params");
    QTest::newRow("MyParams skipped") << u(".yyy") << QString();
    QTest::newRow("empty token") << QString() << QString();
    QTest::newRow("plain file") << u("*File") << QString();
  }
  void groupLookup() {
    QFETCH(QString, token);
    QFETCH(QString, group);
    QCOMPARE(groupOf(*FGroups, token), group);
  }

  void groupingIdComparesExactly() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u("groups.dez"));
    writeAll(file, "[smartgrouping]\n#Web=Extensions(.htm)\n");
    TGroupManager groups(&FTypes);
    groups.LoadFrom(file);
    QCOMPARE(groups.Groupings().size(), size_t(1));
    const TGroupItem* item = nullptr;
    QVERIFY(!groups.GetGroupData(kSmartGrouping, u(".htm"), item));
    QVERIFY(!item);
    QVERIFY(groups.GetGroupData(u("smartgrouping"), u(".htm"), item));
    TParamString params;
    QVERIFY(!groups.GetGroupParams(kSmartGrouping, u("#Web"), params));
  }

  void groupParams() {
    TParamString params;
    QVERIFY(FGroups->GetGroupParams(kSmartGrouping, u("#pictures"), params));
    QCOMPARE(params.GetParam(u("Caption"), QString()), u("Pics"));
    QVERIFY(FGroups->GetGroupParams(kSmartGrouping, u("#Empty"), params));
    QCOMPARE(params.GetParam(u("Collapsed"), false), true);
    QVERIFY(!FGroups->GetGroupParams(kSmartGrouping, u("#None"), params));
    QCOMPARE(params.GetParam(u("Caption"), QString()), u("Nothing"));  // untouched
  }

  void missingFilesLeaveRegistriesEmpty() {
    QTemporaryDir empty;
    const QString previous = dizad::core::setAppDir(empty.path());
    TExtensionManager types;
    types.Load();
    TGroupManager groups(&types);
    groups.Load();
    dizad::core::setAppDir(previous);
    QVERIFY(types.Entries().empty());
    QVERIFY(groups.Groupings().empty());
    QCOMPARE(groupOf(groups, u(".jpg")), QString());
  }
};

// The program's own data files.
class TestClassifyData : public QObject {
  Q_OBJECT
 private:
  TExtensionManager FTypes;
  std::unique_ptr<TGroupManager> FGroups;

 private Q_SLOTS:
  void initTestCase() {
    const QString previous = dizad::core::setAppDir(dizad::test::sourceDir());
    FTypes.Load();
    FGroups = std::make_unique<TGroupManager>(&FTypes);
    FGroups->Load();
    dizad::core::setAppDir(previous);
    QVERIFY(FTypes.Entries().size() > 100);
    QVERIFY(!FGroups->Groupings().empty());
  }

  // Every section is what its own token finds: no earlier section's name
  // contains a later one's.
  void everySectionIsReachable() {
    for (const auto& entry : FTypes.Entries()) {
      const TExtensionData* found = nullptr;
      QVERIFY(FTypes.GetExtantionData(entry->eID, found));
      if (found != entry.get()) QFAIL(qPrintable(entry->eID + u(" is shadowed by ") + found->eID));
    }
  }

  // Each file type the types file gives is claimed by exactly one group.
  void everyFileTypeHasOneGroup() {
    QSet<QString> fileTypes;
    for (const auto& entry : FTypes.Entries()) fileTypes.insert(entry->FileType());
    fileTypes.remove(kPlainFileType);
    QVERIFY(fileTypes.size() >= 6);
    for (const QString& type : std::as_const(fileTypes)) {
      int claims = 0;
      for (const auto& grouping : FGroups->Groupings()) {
        if (grouping->gdID != kSmartGrouping) continue;
        for (const auto& group : grouping->gdGroups)
          for (const QString& piece : group->giExtensions)
            claims += piece.compare(type, Qt::CaseInsensitive) == 0 ? 1 : 0;
      }
      QVERIFY2(claims == 1, qPrintable(type));
    }
  }

  void realFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("fileType");
    QTest::addColumn<QString>("group");
    auto row = [](const char* file, const char* type, const char* group) {
      QTest::newRow(file) << u(file) << u(type) << u(group);
    };
    row("photo.JPG", "*Graphical", "#Graphics");
    row("scan.tiff", "*Graphical", "#Graphics");
    row("icon.avif", "*Graphical", "#Graphics");
    row("layers.psd", "*Graphical", "#Graphics");
    row("song.mp3", "*Audio", "#Audio");
    row("take.flac", "*Audio", "#Audio");
    row("film.mkv", "*Video", "#Video");
    row("clip.avi", "*Video", "#Video");
    row("recording.ts", "*Video", "#Video");
    row("paper.pdf", "*Document", "#Documents");
    row("letter.docx", "*Document", "#Documents");
    row("letter.doc", "*Document", "#Documents");
    row("page.htm", "*Document", "#Documents");
    row("figure.ps", "*Document", "#Documents");
    row("sheet.tsv", "*Document", "#Documents");
    row("backup.tar.gz", "*Archive", "#Archives");
    row("source.tgz", "*Archive", "#Archives");
    row("stuff.zip", "*Archive", "#Archives");
    row("setup.exe", "*Executable", "#Executable");
    row("setup.msi", "*Executable", "#Executable");
    row("run.bat", "*Executable", "#Executable");
    row("Tool.AppImage", "*Executable", "#Executable");
    row("tool.appimage", "*Executable", "#Executable");
    row("install.sh", "*Executable", "#Executable");
    row("installer.run", "*Executable", "#Executable");
    row("package.deb", "*Executable", "#Executable");
    row("app.desktop", "*Executable", "#Executable");
    row("script.ps1", "*Executable", "#Executable");
    row("README", "", "");
    row("main.c", "*File", "");
    row("main.h", "*File", "");
    row("app.tsx", "*File", "");
    row("rules.mk", "*File", "");
    row("notes.e", "*File", "");
    row("ls.1", "*File", "");
    row("lib.a", "*File", "");
    row("style.css", "*File", "");
  }
  void realFiles() {
    QFETCH(QString, file);
    QFETCH(QString, fileType);
    QFETCH(QString, group);
    const QString token = tokenOf(file);
    const TExtensionData* data = nullptr;
    QCOMPARE(FTypes.GetExtantionData(token, data), !fileType.isEmpty());
    if (data) QCOMPARE(data->FileType(), fileType);
    QCOMPARE(groupOf(*FGroups, token), group);
  }

  void shellTokensClaimNothing() {
    for (const char* token : {"*Folder", "*File", "*Fixed_Drive", "*Removable_Drive",
                              "*Network_Drive", "*CDROM_Drive", "*Ram_Drive", "*Mobile_Device"})
      QCOMPARE(groupOf(*FGroups, u(token)), QString());
  }

  void groupHeaders_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("collapsed");
    QTest::newRow("folders") << u("#Folders") << u("Icons:Icon.Folder.24") << false;
    QTest::newRow("graphics") << u("#Graphics") << u("Icons:Icon.Graphical.24") << false;
    QTest::newRow("audio") << u("#Audio") << u("Icons:Icon.Audio.24") << false;
    QTest::newRow("video") << u("#Video") << u("Icons:Icon.Video.24") << false;
    QTest::newRow("documents") << u("#Documents") << u("Icons:Icon.Document.24") << false;
    QTest::newRow("archives") << u("#Archives") << u("Icons:Icon.Files.24") << false;
    QTest::newRow("executable") << u("#Executable") << u("Icons:Icon.Executable.24") << false;
    QTest::newRow("files") << u("#Files") << u("Icons:Icon.Files.24") << false;
    QTest::newRow("hidden") << u("#Hidden") << u("Icons:Icon.Hidden.24") << true;
  }
  void groupHeaders() {
    QFETCH(QString, id);
    QFETCH(QString, icon);
    QFETCH(bool, collapsed);
    TParamString params;
    QVERIFY(FGroups->GetGroupParams(kSmartGrouping, id, params));
    QVERIFY(!params.GetParam(u("Caption"), QString()).isEmpty());
    QCOMPARE(params.GetParam(u("Icon"), QString()), icon);
    QCOMPARE(params.GetParam(u("Collapsed"), false), collapsed);
  }
};

DIZAD_TEST(TestClassify)
DIZAD_TEST(TestClassifyData)
#include "tst_classify.moc"

#include "testregistry.h"

#include "shell/shellaccess.h"
#include "toolkit/sync.h"

#include <QTest>

using namespace dizad::shell;
using dizad::toolkit::TThread;

// The computer folder: the drives and devices of the machine.
class TestComputerFolder : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void rootComesFirstAsFixedDrive() {
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(ShellFolderFromPath(nullptr, QStringLiteral(">CSIDL_DRIVES"), self, folder));
    QCOMPARE(folder->Kind(), TShellFolder::TKind::Computer);
    QCOMPARE(SpecialFolderOf(QStringLiteral(">CSIDL_DRIVES")), CSIDL_DRIVES);
    QCOMPARE(SpecialFolderOf(QStringLiteral("/home")), -1);

    const auto drives = folder->EnumAll(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_STORAGE);
    QVERIFY(!drives.empty());
    const TItemIdList root = drives.front();
    QCOMPARE(ShellItemType(folder, root), QStringLiteral("*Fixed_Drive"));
    quint32 id = 0;
    QVERIFY(ShellDescriptionID(folder, root, id));
    QCOMPARE(id, SHDID_COMPUTER_FIXED);
    QCOMPARE(ShellDisplayName(folder, root, true, false), QStringLiteral("/"));
    QCOMPARE(ShellDisplayName(folder, root, true, true), QStringLiteral("/"));
    QVERIFY(ShellHasAttributes(SFGAO_FOLDER, folder, root));
    QVERIFY(!ShellHasAttributes(SFGAO_REMOVABLE, folder, root));
    TFindData data;
    QVERIFY(ShellFindData(folder, root, data));
    QVERIFY(data.Attributes & FILE_ATTRIBUTE_DIRECTORY);

    static const QStringList driveTokens{
        QStringLiteral("*Fixed_Drive"),   QStringLiteral("*Removable_Drive"),
        QStringLiteral("*Ram_Drive"),     QStringLiteral("*CDROM_Drive"),
        QStringLiteral("*Network_Drive"), QStringLiteral("*Mobile_Device")};
    QStringList paths;
    for (const TItemIdList& d : drives) {
      QVERIFY2(driveTokens.contains(ShellItemType(folder, d)), qPrintable(d->Path()));
      QVERIFY(!paths.contains(d->Path()));
      paths << d->Path();
    }
    // Drives are folders: a listing of non-folders alone is empty.
    QVERIFY(folder->EnumAll(SHCONTF_NONFOLDERS).empty());
  }

  // The volume monitor lives on the GUI thread; a worker's listing is handed over.
  void listedFromWorkerThread() {
    std::vector<TItemIdList> drives;
    TThread worker;
    worker.Start([&] {
      TItemIdList self;
      TShellFolderPtr folder;
      if (ShellFolderFromPath(nullptr, QStringLiteral(">CSIDL_DRIVES"), self, folder))
        drives = folder->EnumAll(SHCONTF_FOLDERS);
    });
    worker.WaitFor();
    QVERIFY(!drives.empty());
    QCOMPARE(drives.front()->Path(), QStringLiteral("/"));
  }
};

DIZAD_TEST(TestComputerFolder)
#include "tst_computerfolder.moc"

#include "testregistry.h"

#include "shell/filename.h"
#include "shell/shellaccess.h"
#include "toolkit/sync.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::shell;

namespace {

const QByteArray BadName("caf\xe9 menu.txt");  // Latin-1 bytes: not valid UTF-8

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
  f.write(bytes);
}

QSet<QString> names(const std::vector<TItemIdList>& entries) {
  QSet<QString> out;
  for (const TItemIdList& e : entries) out << e->Name;
  return out;
}

TItemIdList find(const std::vector<TItemIdList>& entries, const QString& name) {
  for (const TItemIdList& e : entries)
    if (e->Name == name) return e;
  return nullptr;
}

}  // namespace

// Binding local folders and listing their entries with the callers' flags.
class TestShellFolder : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QString FPath;
  TShellFolderPtr FFolder;
  std::vector<TItemIdList> FAll;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FPath = FDir.path();
    QDir d(FPath);
    d.mkdir(QStringLiteral("sub"));
    d.mkdir(QStringLiteral(".dotdir"));
    writeFile(FPath + QStringLiteral("/a.txt"), "hello");
    writeFile(FPath + QStringLiteral("/README"), "read me");
    writeFile(FPath + QStringLiteral("/photo.JPG"), "not really a picture");
    writeFile(FPath + QStringLiteral("/SETUP.EXE"), "MZ");
    writeFile(FPath + QStringLiteral("/archive.tar.gz"), "");
    writeFile(FPath + QStringLiteral("/.bashrc"), "");
    writeFile(FPath + QStringLiteral("/listed.txt"), "");
    writeFile(FPath + QStringLiteral("/.hidden"), "listed.txt\nsub-not-there\n");
    QVERIFY(QFile::link(FPath + QStringLiteral("/sub"), FPath + QStringLiteral("/link-to-sub")));
    QVERIFY(QFile::link(QStringLiteral("nowhere/at/all"), FPath + QStringLiteral("/broken")));
    const QByteArray bad = QFile::encodeName(FPath) + '/' + BadName;
    const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "bytes", 5), 5);
    ::close(fd);

    TItemIdList self;
    QVERIFY(ShellFolderFromPath(nullptr, FPath, self, FFolder));
    FAll = FFolder->EnumAll(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
  }

  void cleanupTestCase() {
    // QDir cannot remove a name that is not UTF-8.
    const QByteArray bad = QFile::encodeName(FPath) + '/' + BadName;
    ::unlink(bad.constData());
  }

  void enumerationFlags_data() {
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QStringList>("expected");
    const QStringList folders{QStringLiteral("sub"), QStringLiteral("link-to-sub")};
    const QStringList files{QStringLiteral("a.txt"),          QStringLiteral("README"),
                            QStringLiteral("photo.JPG"),      QStringLiteral("SETUP.EXE"),
                            QStringLiteral("archive.tar.gz"), QStringLiteral("broken"),
                            DecodeFileName(BadName)};
    const QStringList hiddenFiles{QStringLiteral(".bashrc"), QStringLiteral("listed.txt"),
                                  QStringLiteral(".hidden")};
    QTest::newRow("folders") << SHCONTF_FOLDERS << folders;
    QTest::newRow("folders+hidden")
        << (SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN | SHCONTF_INCLUDESUPERHIDDEN)
        << folders + QStringList{QStringLiteral(".dotdir")};
    QTest::newRow("files") << SHCONTF_NONFOLDERS << files;
    QTest::newRow("files+hidden") << (SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN)
                                  << files + hiddenFiles;
    QTest::newRow("both+storage") << (SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_STORAGE)
                                  << folders + files;
    QTest::newRow("neither") << SHCONTF_INCLUDEHIDDEN << QStringList();
  }
  void enumerationFlags() {
    QFETCH(quint32, flags);
    QFETCH(QStringList, expected);
    const auto entries = FFolder->EnumAll(flags);
    QCOMPARE(names(entries), QSet<QString>(expected.begin(), expected.end()));
    QCOMPARE(int(entries.size()), int(expected.size()));
  }

  // Type token, description id and attributes, all from the listing.
  void typeTokens_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("token");
    QTest::addColumn<quint32>("description");
    QTest::addColumn<quint32>("attributes");
    QTest::newRow("README") << "README"
                            << "*File" << 2u << SFGAO_STREAM;
    QTest::newRow("photo.JPG") << "photo.JPG"
                               << ".JPG" << 2u << SFGAO_STREAM;
    QTest::newRow("SETUP.EXE") << "SETUP.EXE"
                               << ".EXE" << 2u << SFGAO_STREAM;
    QTest::newRow("archive") << "archive.tar.gz"
                             << ".gz" << 2u << SFGAO_STREAM;
    QTest::newRow("dot file") << ".bashrc"
                              << "*File" << 2u << (SFGAO_STREAM | SFGAO_HIDDEN);
    QTest::newRow("listed in .hidden") << "listed.txt"
                                       << ".txt" << 2u << (SFGAO_STREAM | SFGAO_HIDDEN);
    QTest::newRow("folder") << "sub"
                            << "*Folder" << 3u << SFGAO_FOLDER;
    QTest::newRow("link to folder") << "link-to-sub"
                                    << "*Folder" << 3u << (SFGAO_FOLDER | SFGAO_LINK);
    QTest::newRow("broken link") << "broken"
                                 << "*File" << 2u << (SFGAO_STREAM | SFGAO_LINK);
  }
  void typeTokens() {
    QFETCH(QString, name);
    QFETCH(QString, token);
    QFETCH(quint32, description);
    QFETCH(quint32, attributes);
    const TItemIdList e = find(FAll, name);
    QVERIFY(e);
    QCOMPARE(ShellItemType(FFolder, e), token);
    quint32 id = 0;
    QVERIFY(ShellDescriptionID(FFolder, e, id));
    QCOMPARE(id, description);
    QVERIFY(ShellHasAttributes(attributes | SFGAO_FILESYSTEM, FFolder, e));
    const quint32 other = (SFGAO_FOLDER | SFGAO_STREAM | SFGAO_HIDDEN | SFGAO_LINK) & ~attributes;
    for (quint32 bit = 1; bit; bit <<= 1)
      if (other & bit) QVERIFY2(!ShellHasAttributes(bit, FFolder, e), qPrintable(name));
  }

  void missingEntryGivesNeutralResults() {
    QCOMPARE(ShellItemType(FFolder, nullptr), QStringLiteral("*File"));
    QCOMPARE(ShellDisplayName(FFolder, nullptr, true, true), QString());
    TFindData data;
    QVERIFY(!ShellFindData(FFolder, nullptr, data));
    quint32 id = 0;
    QVERIFY(!ShellDescriptionID(FFolder, nullptr, id));
    QVERIFY(!ShellHasAttributes(SFGAO_STREAM, nullptr, find(FAll, QStringLiteral("a.txt"))));
  }

  void findData() {
    TFindData data;
    QVERIFY(ShellFindData(FFolder, find(FAll, QStringLiteral("a.txt")), data));
    QCOMPARE(data.FileName, QStringLiteral("a.txt"));
    QCOMPARE(data.Size, qint64(5));
    const QFileInfo info(FPath + QStringLiteral("/a.txt"));
    QCOMPARE(data.LastWriteTime, info.lastModified().toMSecsSinceEpoch());
    QVERIFY(data.CreationTime > 0 && data.CreationTime <= data.LastWriteTime + 1000);
    QCOMPARE(data.Attributes & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY),
             0u);

    QVERIFY(ShellFindData(FFolder, find(FAll, QStringLiteral("listed.txt")), data));
    QVERIFY(data.Attributes & FILE_ATTRIBUTE_HIDDEN);
    QVERIFY(ShellFindData(FFolder, find(FAll, QStringLiteral("link-to-sub")), data));
    QVERIFY(data.Attributes & FILE_ATTRIBUTE_DIRECTORY);
    QCOMPARE(data.Size, qint64(0));
  }

  // A broken link is listed with the link's own data (its size is the target's length).
  void brokenLinkHasLinkData() {
    TFindData data;
    QVERIFY(ShellFindData(FFolder, find(FAll, QStringLiteral("broken")), data));
    QCOMPARE(data.Size, qint64(strlen("nowhere/at/all")));
  }

  void readOnlyWhenNotWritable() {
    const QString path = FPath + QStringLiteral("/locked.txt");
    writeFile(path, "x");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const TItemIdList e = localEntry(path);
    QVERIFY(e);
    // The super-user may write anything, as access(W_OK) says.
    QCOMPARE(e->ReadOnly, ::access(QFile::encodeName(path).constData(), W_OK) != 0);
    QVERIFY(!find(FAll, QStringLiteral("a.txt"))->ReadOnly);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path);
  }

  void displayNames() {
    const TItemIdList e = find(FAll, QStringLiteral("photo.JPG"));
    QCOMPARE(ShellDisplayName(FFolder, e, false, false), QStringLiteral("photo.JPG"));
    const QString full = FPath + QStringLiteral("/photo.JPG");
    QCOMPARE(ShellDisplayName(FFolder, e, true, false), full);
    QCOMPARE(ShellDisplayName(FFolder, e, true, true), full);
    QCOMPARE(ShellDisplayName(FFolder, e, false, true), full);
  }

  // A name that is not UTF-8 is listed, shown readably, and its path opens again.
  void nameThatIsNotUtf8() {
    const TItemIdList e = find(FAll, DecodeFileName(BadName));
    QVERIFY(e);
    QCOMPARE(EncodeFileName(e->Name), BadName);
    const QString path = ShellDisplayName(FFolder, e, true, false);
    QFile f;
    const int fd = ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QVERIFY(f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(f.readAll(), QByteArray("bytes"));
    const QString shown = ShellDisplayName(FFolder, e, false, false);
    QVERIFY(shown.startsWith(QStringLiteral("caf\uFFFD menu.txt")));
    QCOMPARE(ShellItemType(FFolder, e), QStringLiteral(".txt"));
    TFindData data;
    QVERIFY(ShellFindData(FFolder, e, data));
    QCOMPARE(data.Size, qint64(5));
  }

  void fileNameRoundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QByteArray("plain.txt");
    QTest::newRow("utf-8") << QByteArray("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd1\x96\xd1\x82.txt");
    QTest::newRow("emoji") << QByteArray("\xf0\x9f\x92\xa9.png");
    QTest::newRow("latin-1") << BadName;
    QTest::newRow("lone continuation") << QByteArray(
        "a\x80\xbf"
        "b");
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xb2\x80x");
    QTest::newRow("truncated") << QByteArray("ab\xe2\x82");
  }
  void fileNameRoundTrip() {
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeFileName(DecodeFileName(bytes)), bytes);
  }

  void binding_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("bound");
    QTest::newRow("folder") << QString() << true;
    QTest::newRow("trailing slash") << QStringLiteral("/") << true;
    QTest::newRow("file uri") << QStringLiteral("file://") << true;
    QTest::newRow("a file") << QStringLiteral("/a.txt") << false;
    QTest::newRow("missing") << QStringLiteral("/no-such-folder") << false;
    QTest::newRow("relative") << QStringLiteral("relative/folder") << false;
    QTest::newRow("empty") << QStringLiteral("") << false;
    QTest::newRow("computer") << QStringLiteral(">CSIDL_DRIVES") << true;
    QTest::newRow("computer anywhere") << QStringLiteral("xx CSIDL_DRIVES yy") << true;
    QTest::newRow("computer lower case") << QStringLiteral(">csidl_drives") << false;
  }
  void binding() {
    QFETCH(QString, path);
    QFETCH(bool, bound);
    QString full = path;
    if (path.isEmpty())
      full = FPath;
    else if (path.startsWith(QLatin1Char('/')))
      full = FPath + path;
    else if (path == QLatin1String("file://"))
      full = path + FPath;
    if (QTest::currentDataTag() == QByteArray("empty")) full.clear();
    TItemIdList pidl;
    TShellFolderPtr folder;
    QCOMPARE(ShellFolderFromPath(nullptr, full, pidl, folder), bound);
    QCOMPARE(bool(folder), bound);
    QCOMPARE(bool(pidl), bound);
    if (bound && !full.contains(QLatin1String("CSIDL_DRIVES"))) {
      QCOMPARE(folder->Kind(), TShellFolder::TKind::Local);
      QCOMPARE(ShellItemType(nullptr, pidl), QStringLiteral("*Folder"));
      QCOMPARE(ShellDisplayName(nullptr, pidl, true, false), FPath);
      QCOMPARE(names(folder->EnumAll(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN)),
               names(FAll));
    }
  }

  // Folders and files are listed in two passes; the second must see changes made between them.
  void secondListingSeesChanges() {
    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/one.txt"), "1");
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(ShellFolderFromPath(nullptr, dir.path(), self, folder));
    QCOMPARE(names(folder->EnumAll(SHCONTF_NONFOLDERS)), QSet<QString>{QStringLiteral("one.txt")});
    writeFile(dir.path() + QStringLiteral("/two.txt"), "2");
    QVERIFY(QFile::remove(dir.path() + QStringLiteral("/one.txt")));
    QCOMPARE(names(folder->EnumAll(SHCONTF_NONFOLDERS)), QSet<QString>{QStringLiteral("two.txt")});
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("three")));
    QCOMPARE(names(folder->EnumAll(SHCONTF_FOLDERS)), QSet<QString>{QStringLiteral("three")});
  }

  // Large folders are read on two threads: every entry exactly once, with its own data.
  void largeFolder() {
    QTemporaryDir dir;
    const int count = 5000;
    for (int i = 0; i < count; ++i)
      writeFile(dir.path() + QStringLiteral("/f%1.dat").arg(i), QByteArray(i % 17, 'x'));
    TItemIdList self;
    TShellFolderPtr folder;
    QVERIFY(ShellFolderFromPath(nullptr, dir.path(), self, folder));
    const auto entries = folder->EnumAll(SHCONTF_NONFOLDERS);
    QCOMPARE(int(entries.size()), count);
    QCOMPARE(names(entries).size(), count);
    for (const TItemIdList& e : entries) {
      const int i = e->Name.mid(1, e->Name.size() - 5).toInt();
      QCOMPARE(e->Size, qint64(i % 17));
      QCOMPARE(e->Path(), dir.path() + QLatin1Char('/') + e->Name);
    }
  }

  void unreadableFolderFailsQuietly() {
    TShellFolder gone(TShellFolder::TKind::Local, FPath + QStringLiteral("/vanished/"));
    QVERIFY(!gone.EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    QVERIFY(gone.EnumAll(SHCONTF_FOLDERS).empty());
  }

  void parseDisplayName() {
    const TItemIdList e = FFolder->ParseDisplayName(QStringLiteral("a.txt"));
    QVERIFY(e);
    QCOMPARE(e->Size, qint64(5));
    QVERIFY(!FFolder->ParseDisplayName(QStringLiteral("missing.txt")));
    QVERIFY(!FFolder->ParseDisplayName(QStringLiteral("../a.txt")));
  }

  void contentTypeFromName() {
    QCOMPARE(find(FAll, QStringLiteral("photo.JPG"))->ContentType(), QStringLiteral("image/jpeg"));
    QCOMPARE(find(FAll, QStringLiteral("sub"))->ContentType(), QStringLiteral("inode/directory"));
  }
};

DIZAD_TEST(TestShellFolder)
#include "tst_shellfolder.moc"

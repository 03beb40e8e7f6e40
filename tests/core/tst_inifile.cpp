#include "testregistry.h"

#include "core/inifile.h"
#include "toolkit/errors.h"

#include <sys/fsuid.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::core;
using dizad::toolkit::EFileError;
using TEncoding = TIniFile::TEncoding;

namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray utf16(const QString& text, bool bigEndian) {
  QByteArray out;
  for (QChar c : text) {
    const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
    out.append(bigEndian ? hi : lo);
    out.append(bigEndian ? lo : hi);
  }
  return out;
}

QString u(const char* text) {
  return QString::fromUtf8(text);
}

// Root passes every permission check. To see how files we may not read or
// write are treated, this lowers the calling thread's file-system identity to
// "nobody" for its lifetime (the kernel then also drops root's override
// capabilities for file access) and hands the file to that user first. Its
// folder stays root's, searchable but not writable, as a user's read-only
// file in someone else's folder. access() still answers for the real user,
// so this tests what happens when the write itself is refused. Nothing
// changes when the tests do not run as root.
class TAsNobody {
 public:
  explicit TAsNobody(const QString& file) {
    if (::geteuid() != 0) return;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther) ||
        ::chown(QFile::encodeName(file).constData(), kNobody, kNobody) != 0)
      return;
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
    FSwitched = true;
  }
  ~TAsNobody() {
    if (!FSwitched) return;
    ::setfsuid(0);
    ::setfsgid(0);
  }
  TAsNobody(const TAsNobody&) = delete;
  TAsNobody& operator=(const TAsNobody&) = delete;
  // Whether permission checks now apply to us.
  bool Effective() const {
    return ::geteuid() != 0 || (FSwitched && ::setfsuid(uid_t(-1)) == int(kNobody));
  }

 private:
  static constexpr uid_t kNobody = 65534;
  bool FSwitched = false;
};

}  // namespace

// The INI reader and writer behind the skin, the classification files and the
// parameter string's INI operations.
class TestIniFile : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir FDir;
  QString path(const char* name) const { return FDir.filePath(QString::fromUtf8(name)); }

 private Q_SLOTS:
  void structure() {
    const QString file = path("structure.ini");
    writeAll(file,
             "orphan=before any section\n"
             "; a comment\n"
             "  [ Pictures ]  \n"
             "  .jpg =  Type(*Graphical)  \n"
             ";.png=commented out\n"
             "not a key line\n"
             "=no name\n"
             ".PNG=Type(*Graphical)\n"
             "Params=a=b\n"
             ".jpg=second wins nothing\n"
             "[Audio]\n"
             ".mp3=Type(*Audio)\n"
             "[pictures]\n"
             ".gif=in a repeated section\n"
             "[Empty]\n");
    const TIniFile ini(file);
    QCOMPARE(ini.ReadSections(), (QStringList{u("Pictures"), u("Audio"), u("Empty")}));
    QCOMPARE(ini.ReadSection(u("PICTURES")), (QStringList{u(".jpg"), u(".PNG"), u("Params")}));
    QCOMPARE(ini.ReadString(u("pictures"), u(".JPG"), u("d")), u("Type(*Graphical)"));
    QCOMPARE(ini.ReadString(u("Pictures"), u("params"), u("d")), u("a=b"));
    QCOMPARE(ini.ReadString(u("Pictures"), u(".gif"), u("d")), u("d"));
    QCOMPARE(ini.ReadString(u("Pictures"), u("orphan"), u("d")), u("d"));
    QCOMPARE(ini.ReadSectionValues(u("Audio")), QStringList{u(".mp3=Type(*Audio)")});
    QVERIFY(ini.SectionExists(u("empty")));
    QVERIFY(!ini.SectionExists(u("Video")));
    QVERIFY(ini.ValueExists(u("Audio"), u(".MP3")));
    QVERIFY(!ini.ValueExists(u("Audio"), u(".png")));
    QVERIFY(ini.ReadSection(u("Empty")).isEmpty());
    QVERIFY(ini.ReadSection(u("None")).isEmpty());
  }

  void typedReads() {
    const QString file = path("typed.ini");
    writeAll(file, "[S]\nN=12\nH=$10\nJunk=12px\nB=true\nZ=0\nNo=maybe\n");
    const TIniFile ini(file);
    QCOMPARE(ini.ReadInteger(u("S"), u("N"), 5), 12);
    QCOMPARE(ini.ReadInteger(u("S"), u("H"), 5), 16);
    QCOMPARE(ini.ReadInteger(u("S"), u("Junk"), 5), 5);
    QCOMPARE(ini.ReadInteger(u("S"), u("Missing"), 5), 5);
    QCOMPARE(ini.ReadBool(u("S"), u("B"), false), true);
    QCOMPARE(ini.ReadBool(u("S"), u("Z"), true), false);
    QCOMPARE(ini.ReadBool(u("S"), u("No"), true), true);
  }

  // The same content in every encoding reads the same and a write keeps the
  // encoding, the byte-order mark and every other byte.
  void encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("expectedAfterWrite");
    const QString text = u("[Größe]\r\nName=Überschrift\r\nKeep=ä\r\n");
    const QString after = u("[Größe]\r\nName=Ωmega\r\nKeep=ä\r\n");
    QTest::newRow("utf-8") << text.toUtf8() << int(TEncoding::Utf8) << after.toUtf8();
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8()
                               << int(TEncoding::Utf8Bom)
                               << QByteArray("\xEF\xBB\xBF") + after.toUtf8();
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE") + utf16(text, false)
                               << int(TEncoding::Utf16LE)
                               << QByteArray("\xFF\xFE") + utf16(after, false);
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF") + utf16(text, true)
                               << int(TEncoding::Utf16BE)
                               << QByteArray("\xFE\xFF") + utf16(after, true);
  }
  void encodings() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QByteArray, expectedAfterWrite);
    const QString file = path("enc.ini");
    writeAll(file, bytes);
    TIniFile ini(file);
    QCOMPARE(int(ini.Encoding()), encoding);
    QCOMPARE(ini.ReadSections(), QStringList{u("Größe")});
    QCOMPARE(ini.ReadString(u("GRÖSSE"), u("name"), u("d")), u("d"));  // no ß folding
    QCOMPARE(ini.ReadString(u("größe"), u("name"), u("d")), u("Überschrift"));
    ini.WriteString(u("Größe"), u("Name"), u("Ωmega"));
    QCOMPARE(readAll(file), expectedAfterWrite);
    QCOMPARE(TIniFile(file).ReadString(u("Größe"), u("Name"), u("d")), u("Ωmega"));
  }

  void latin1Fallback() {
    const QString file = path("latin1.ini");
    // Written by an old single-byte editor: é is the byte E9.
    const QByteArray bytes = "[Gruppe]\nCaption=Fotos \xE9t\xE9\nOther=caf\xE9\n";
    writeAll(file, bytes);
    TIniFile ini(file);
    QCOMPARE(int(ini.Encoding()), int(TEncoding::Latin1));
    QCOMPARE(ini.ReadString(u("Gruppe"), u("Caption"), u("d")), u("Fotos été"));
    ini.WriteString(u("Gruppe"), u("Caption"), u("Vidéos"));
    QCOMPARE(readAll(file), QByteArray("[Gruppe]\nCaption=Vid\xE9os\nOther=caf\xE9\n"));
  }

  void mixedUtf8AndStrayBytes() {
    const QString file = path("mixed.ini");
    writeAll(file, "[S]\nA=\xC3\xA9 and \xE9\nB=\xFF\xC3\n");
    TIniFile ini(file);
    QCOMPARE(int(ini.Encoding()), int(TEncoding::Utf8));
    QCOMPARE(ini.ReadString(u("S"), u("A"), u("d")), u("é and é"));
    QCOMPARE(ini.ReadString(u("S"), u("B"), u("d")), u("ÿÃ"));
    ini.WriteString(u("S"), u("C"), u("x"));
    QCOMPARE(readAll(file), QByteArray("[S]\nA=\xC3\xA9 and \xE9\nB=\xFF\xC3\nC=x\n"));
  }

  void writesInPlace_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    auto row = [](const char* tag, const QByteArray& before, const char* section, const char* key,
                  const char* value, const QByteArray& after) {
      QTest::newRow(tag) << before << u(section) << u(key) << u(value) << after;
    };
    const QByteArray crlf = "; top\r\n[A]\r\n  Key  =  old value  \r\nX=1\r\n\r\n[B]\r\nY=2\r\n";
    row("replace keeps spacing", crlf, "a", "KEY", "new",
        "; top\r\n[A]\r\n  Key  =  new\r\nX=1\r\n\r\n[B]\r\nY=2\r\n");
    row("new key after last key", crlf, "A", "Z", "3",
        "; top\r\n[A]\r\n  Key  =  old value  \r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n");
    row("new key in last section", crlf, "B", "Z", "3",
        "; top\r\n[A]\r\n  Key  =  old value  \r\nX=1\r\n\r\n[B]\r\nY=2\r\nZ=3\r\n");
    row("new section", crlf, "C", "Z", "3",
        "; top\r\n[A]\r\n  Key  =  old value  \r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n");
    row("no final line end", "[A]\nX=1", "A", "Y", "2", "[A]\nX=1\nY=2\n");
    row("replace last line without end", "[A]\nX=1", "A", "X", "2", "[A]\nX=2");
    row("empty section header last", "[A]\n[B]", "B", "K", "v", "[A]\n[B]\nK=v\n");
    row("old mac line ends", "[A]\rX=1\r", "A", "Y", "2", "[A]\rX=1\rY=2\r");
    row("empty value replaced", "[A]\nX=\nY=1\n", "A", "X", "5", "[A]\nX=5\nY=1\n");
    row("repeated section writes first", "[A]\nX=1\n[B]\n[a]\nX=9\n", "A", "X", "2",
        "[A]\nX=2\n[B]\n[a]\nX=9\n");
    row("line breaks in value", "[A]\n", "A", "X", "one\ntwo\r\n[Evil]", "[A]\nX=one two [Evil]\n");
    row("new file", "", "S", "K", "v", "[S]\nK=v\n");
  }
  void writesInPlace() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString file = path("write.ini");
    QFile::remove(file);
    if (!before.isEmpty()) writeAll(file, before);
    TIniFile ini(file);
    ini.WriteString(section, key, value);
    QCOMPARE(readAll(file), after);
    // The instance sees its own write.
    QCOMPARE(ini.ReadString(section, key, u("d")),
             value.contains(QLatin1Char('\n')) ? u("one two [Evil]") : value);
  }

  void deleteKey() {
    const QString file = path("delete.ini");
    writeAll(file, "[A]\nX=1\nY=2");
    TIniFile ini(file);
    ini.DeleteKey(u("A"), u("Y"));
    QCOMPARE(readAll(file), QByteArray("[A]\nX=1"));
    ini.DeleteKey(u("A"), u("None"));
    QVERIFY(!ini.ValueExists(u("A"), u("Y")));
  }

  void writeRefusedByFileSystem() {
    // /proc files refuse writes even to root.
    TIniFile proc(u("/proc/version"));
    try {
      proc.WriteString(u("S"), u("K"), u("v"));
      QFAIL("no error");
    } catch (const EFileError& e) {
      QCOMPARE(e.Message(), u("Unable to write to /proc/version"));
    }
  }

  void readOnlyFileIsLeftAlone() {
    const QString file = path("readonly.ini");
    writeAll(file, "[A]\nX=1\n");
    const TAsNobody nobody(file);
    if (!nobody.Effective()) QSKIP("cannot give up root's file access here");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    TIniFile ini(file);
    QVERIFY_THROWS_EXCEPTION(EFileError, ini.WriteString(u("A"), u("X"), u("2")));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(readAll(file), QByteArray("[A]\nX=1\n"));
  }

  void unreadableFileIsNeverOverwritten() {
    const QString file = path("unreadable.ini");
    writeAll(file, "[A]\nX=1\n");
    const TAsNobody nobody(file);
    if (!nobody.Effective()) QSKIP("cannot give up root's file access here");
    QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
    TIniFile ini(file);
    QVERIFY(ini.ReadSections().isEmpty());
    QVERIFY_THROWS_EXCEPTION(EFileError, ini.WriteString(u("A"), u("Y"), u("2")));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(readAll(file), QByteArray("[A]\nX=1\n"));
  }

  void writeKeepsPermissions() {
    const QString file = path("perm.ini");
    writeAll(file, "[A]\nX=1\n");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther |
                       QFile::ReadUser | QFile::WriteUser;
    QVERIFY(QFile::setPermissions(file, perms));
    TIniFile(file).WriteString(u("A"), u("X"), u("2"));
    QCOMPARE(QFile::permissions(file), perms);
  }
};

DIZAD_TEST(TestIniFile)
#include "tst_inifile.moc"

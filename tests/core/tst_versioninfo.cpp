#include "testregistry.h"

#include "core/versioninfo.h"
#include "toolkit/errors.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace dizad::core;
using dizad::toolkit::EConvertError;
using dizad::toolkit::EListError;

namespace {

void put16(QByteArray& b, qsizetype at, quint16 v) {
  qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, qsizetype at, quint32 v) {
  qToLittleEndian(v, b.data() + at);
}
void pad4(QByteArray& b) {
  while (b.size() % 4) b.append('\0');
}

QByteArray utf16z(const QString& text) {
  QByteArray b;
  for (QChar c : text) {
    b.append(char(c.unicode() & 0xFF));
    b.append(char(c.unicode() >> 8));
  }
  return b.append(2, '\0');
}

// One block of a version resource: header, key, padding, value, children.
QByteArray block(const QString& key, bool text, const QByteArray& value,
                 const QList<QByteArray>& children = {}) {
  QByteArray b(6, '\0');
  b += utf16z(key);
  pad4(b);
  b += value;
  for (const QByteArray& child : children) {
    pad4(b);
    b += child;
  }
  put16(b, 0, quint16(b.size()));
  put16(b, 2, quint16(text ? value.size() / 2 : value.size()));
  put16(b, 4, text ? 1 : 0);
  return b;
}

QByteArray stringEntry(const QString& key, const QString& value) {
  return block(key, true, utf16z(value));
}

QByteArray fixedInfo() {
  QByteArray f(52, '\0');
  const quint32 fields[13] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004, 0x00050006,
                              0x00070008, 0x0000003F, 0x000000FF, 0x00040004, 0x00000002,
                              0x00000007, 0x01D2A1B3, 0x12345678};
  for (int i = 0; i < 13; ++i) put32(f, i * 4, fields[i]);
  return f;
}

QByteArray stringTables() {
  return block(
      QStringLiteral("StringFileInfo"), true, {},
      {block(QStringLiteral("040904B0"), true, {},
             {stringEntry(QStringLiteral("ProductName"), QStringLiteral("Dizad Test")),
              stringEntry(QStringLiteral("FileDescription"), QStringLiteral("Probe")),
              stringEntry(QStringLiteral("Comments"), QString())}),
       // Writers often store the table name in lower case.
       block(QStringLiteral("040704b0"), true, {},
             {stringEntry(QStringLiteral("ProductName"), QString::fromUtf8("Dizad Prüfling"))})});
}

QByteArray translations() {
  QByteArray t(8, '\0');
  put16(t, 0, 0x0409);
  put16(t, 2, 1200);
  put16(t, 4, 0x0407);
  put16(t, 6, 1200);
  return block(QStringLiteral("VarFileInfo"), true, {},
               {block(QStringLiteral("Translation"), false, t)});
}

QByteArray versionResource(bool withTranslations = true) {
  QList<QByteArray> children{stringTables()};
  if (withTranslations) children.append(translations());
  return block(QStringLiteral("VS_VERSION_INFO"), false, fixedInfo(), children);
}

// Layout of the PE files built below.
constexpr int PeAt = 0x40;
constexpr int OptionalAt = PeAt + 24;
constexpr int RsrcAt = 0x200;  // file offset of the .rsrc section, virtual address 0x1000
constexpr int RsrcRva = 0x1000;
constexpr int TypeDirAt = RsrcAt + 0x18;
constexpr int NameDirAt = RsrcAt + 0x30;
constexpr int DataEntryAt = RsrcAt + 0x48;
constexpr int VersionAt = RsrcAt + 0x58;

int sectionTableAt(bool pe32plus) {
  return OptionalAt + (pe32plus ? 240 : 224);
}

// A minimal PE image with one .rsrc section whose resource tree holds the
// given data as RT_VERSION, id 1, language 0x0409.
QByteArray peFile(const QByteArray& resource, bool pe32plus = false) {
  const int rawSize = int((0x58 + resource.size() + 0x1FF) & ~0x1FF);
  QByteArray f(RsrcAt + rawSize, '\0');
  f[0] = 'M';
  f[1] = 'Z';
  put32(f, 0x3C, PeAt);
  f.replace(PeAt, 4, QByteArrayLiteral("PE\0\0"));
  put16(f, PeAt + 4, pe32plus ? 0x8664 : 0x014C);
  put16(f, PeAt + 6, 1);
  put16(f, PeAt + 20, pe32plus ? 240 : 224);
  put16(f, PeAt + 22, 0x0102);
  put16(f, OptionalAt, pe32plus ? 0x20B : 0x10B);
  const int directories = OptionalAt + (pe32plus ? 112 : 96);
  put32(f, OptionalAt + (pe32plus ? 108 : 92), 16);
  put32(f, directories + 2 * 8, RsrcRva);
  put32(f, directories + 2 * 8 + 4, quint32(0x58 + resource.size()));

  const int section = sectionTableAt(pe32plus);
  f.replace(section, 5, QByteArrayLiteral(".rsrc"));
  put32(f, section + 8, quint32(0x58 + resource.size()));
  put32(f, section + 12, RsrcRva);
  put32(f, section + 16, quint32(rawSize));
  put32(f, section + 20, RsrcAt);
  put32(f, section + 36, 0x40000040);

  // Root, type and name directories with one id entry each, then the data entry.
  put16(f, RsrcAt + 14, 1);
  put32(f, RsrcAt + 16, 16);  // RT_VERSION
  put32(f, RsrcAt + 20, 0x80000000 | 0x18);
  put16(f, TypeDirAt + 14, 1);
  put32(f, TypeDirAt + 16, 1);
  put32(f, TypeDirAt + 20, 0x80000000 | 0x30);
  put16(f, NameDirAt + 14, 1);
  put32(f, NameDirAt + 16, 0x0409);
  put32(f, NameDirAt + 20, 0x48);
  put32(f, DataEntryAt, RsrcRva + 0x58);
  put32(f, DataEntryAt + 4, quint32(resource.size()));
  f.replace(VersionAt, resource.size(), resource);
  return f;
}

// File offset of the version block with this key.
int blockAt(const QByteArray& file, const QString& key) {
  const int at = int(file.indexOf(utf16z(key)));
  return at < 0 ? -1 : at - 6;
}

// Calls everything; none of it may crash or read outside the buffer.
void exercise(const TVersionInfo& info) {
  (void)info.FileVersion();
  (void)info.ProductVersion();
  (void)info.FileFlags();
  (void)info.OS();
  (void)info.FileType();
  (void)info.FileSubType();
  (void)info.FileDate();
  (void)info.GetString(QStringLiteral("ProductName"), 0x0409, 1200);
  for (int i = 0; i <= std::min(info.TranslationCount(), 64); ++i) {
    try {
      (void)info.LanguageNames(i);
      (void)info.GetString(QStringLiteral("ProductName"), i);
      (void)info.GetString(QStringLiteral("FileDescription"), i);
    } catch (const EListError&) {
      QCOMPARE(i, info.TranslationCount());
    }
  }
}

void expectNone(const TVersionInfo& info) {
  QVERIFY(!info.Valid());
  QCOMPARE(info.FileVersion(), 0ull);
  QCOMPARE(info.ProductVersion(), 0ull);
  QCOMPARE(info.FileFlags(), 0u);
  QCOMPARE(info.OS(), 0u);
  QCOMPARE(info.FileType(), 0u);
  QCOMPARE(info.FileSubType(), 0u);
  QCOMPARE(info.FileDate(), 0ull);
  QCOMPARE(info.TranslationCount(), 0);
  QCOMPARE(info.GetString(QStringLiteral("ProductName"), 0x0409, 1200), QString());
  QCOMPARE(info.GetString(QStringLiteral("ProductName"), QStringLiteral("040904B0")), QString());
  try {
    (void)info.Strings(QStringLiteral("ProductName"));
    QFAIL("no error");
  } catch (const EListError& e) {
    QCOMPARE(e.Message(), QStringLiteral("List index out of bounds (0)"));
  }
}

}  // namespace

class TestVersionInfo : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = FDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
      qFatal("cannot write the fixture");
    return path;
  }

 private Q_SLOTS:
  void readsEveryField_data() {
    QTest::addColumn<bool>("pe32plus");
    QTest::newRow("PE32") << false;
    QTest::newRow("PE32+") << true;
  }
  void readsEveryField() {
    QFETCH(bool, pe32plus);
    const TVersionInfo info(write(QStringLiteral("app.exe"), peFile(versionResource(), pe32plus)));
    QVERIFY(info.Valid());
    QCOMPARE(TVersionInfo::VersionToString(info.FileVersion()), QStringLiteral("1.2.3.4"));
    QCOMPARE(info.FileVersion(), 0x0001000200030004ull);
    QCOMPARE(info.ProductVersion(), 0x0005000600070008ull);
    QCOMPARE(info.FileFlags(), 0x3Fu);  // 0xFF masked by 0x3F
    QCOMPARE(info.OS(), 0x00040004u);
    QCOMPARE(info.FileType(), 2u);
    QCOMPARE(info.FileSubType(), 7u);
    QCOMPARE(info.FileDate(), 0x01D2A1B312345678ull);

    QCOMPARE(info.TranslationCount(), 2);
    QCOMPARE(info.LanguageID(0), quint16(0x0409));
    QCOMPARE(info.CharsetID(0), quint16(1200));
    QCOMPARE(info.LanguageID(1), quint16(0x0407));
    QCOMPARE(info.CharsetID(1), quint16(1200));
    QCOMPARE(info.LanguageNames(0), QStringLiteral("English (United States)"));
    QCOMPARE(info.LanguageNames(1), QStringLiteral("German (Germany)"));

    QCOMPARE(info.Strings(QStringLiteral("ProductName")), QStringLiteral("Dizad Test"));
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), 0), QStringLiteral("Dizad Test"));
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), 1), QString::fromUtf8("Dizad Prüfling"));
    QCOMPARE(info.GetString(QStringLiteral("FileDescription"), 0x0409, 1200),
             QStringLiteral("Probe"));
    QCOMPARE(info.GetString(QStringLiteral("FileDescription"), QStringLiteral("040904B0")),
             QStringLiteral("Probe"));
    // Table names and keys ignore letter case, as on the platform of origin.
    QCOMPARE(info.GetString(QStringLiteral("productname"), QStringLiteral("040904b0")),
             QStringLiteral("Dizad Test"));
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), 0x0407, 1200),
             QString::fromUtf8("Dizad Prüfling"));
    QCOMPARE(info.GetString(QStringLiteral("Comments"), 0), QString());
    QCOMPARE(info.GetString(QStringLiteral("FileDescription"), 1), QString());  // not in that table
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), 0x0419, 1251), QString());
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), QString()), QString());
  }

  void indexOutOfBounds_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("past the end") << 2;
    QTest::newRow("negative") << -1;
  }
  void indexOutOfBounds() {
    QFETCH(int, index);
    const TVersionInfo info(write(QStringLiteral("app.exe"), peFile(versionResource())));
    const QString expected = QStringLiteral("List index out of bounds (%1)").arg(index);
    const std::function<void()> calls[] = {
        [&] { (void)info.LanguageID(index); },
        [&] { (void)info.CharsetID(index); },
        [&] { (void)info.LanguageNames(index); },
        [&] { (void)info.GetString(QStringLiteral("ProductName"), index); },
    };
    for (const auto& call : calls) {
      try {
        call();
        QFAIL("no error");
      } catch (const EListError& e) {
        QCOMPARE(e.Message(), expected);
      }
    }
  }

  // Without a translation table the indexed forms fail; named tables still answer.
  void resourceWithoutTranslations() {
    const TVersionInfo info(write(QStringLiteral("app.exe"), peFile(versionResource(false))));
    QVERIFY(info.Valid());
    QCOMPARE(info.FileVersion(), 0x0001000200030004ull);
    QCOMPARE(info.TranslationCount(), 0);
    QCOMPARE(info.GetString(QStringLiteral("ProductName"), 0x0409, 1200),
             QStringLiteral("Dizad Test"));
    try {
      (void)info.Strings(QStringLiteral("ProductName"));
      QFAIL("no error");
    } catch (const EListError& e) {
      QCOMPARE(e.Message(), QStringLiteral("List index out of bounds (0)"));
    }
  }

  void filesWithoutVersionResource_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("empty") << QStringLiteral("empty");
    QTest::newRow("text") << QStringLiteral("text");
    QTest::newRow("ELF program") << QStringLiteral("elf");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("PE without resources") << QStringLiteral("noresources");
    QTest::newRow("PE with other resources") << QStringLiteral("icononly");
    QTest::newRow("not a version block") << QStringLiteral("notversion");
  }
  void filesWithoutVersionResource() {
    QFETCH(QString, kind);
    QString path = FDir.filePath(kind);
    if (kind == QLatin1String("empty")) {
      write(kind, {});
    } else if (kind == QLatin1String("text")) {
      write(kind, "MZ is how this text starts, and nothing more.\n");
    } else if (kind == QLatin1String("elf")) {
      path = QCoreApplication::applicationFilePath();
    } else if (kind == QLatin1String("directory")) {
      path = FDir.path();
    } else if (kind == QLatin1String("fifo")) {
      // Opening a FIFO for reading would wait for a writer.
      QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == QLatin1String("noresources")) {
      QByteArray f = peFile(versionResource());
      put32(f, OptionalAt + 96 + 16, 0);
      put32(f, OptionalAt + 96 + 20, 0);
      write(kind, f);
    } else if (kind == QLatin1String("icononly")) {
      QByteArray f = peFile(versionResource());
      put32(f, RsrcAt + 16, 3);  // RT_ICON
      write(kind, f);
    } else if (kind == QLatin1String("notversion")) {
      write(kind, peFile(block(QStringLiteral("SOMETHING_ELSE"), false, fixedInfo())));
    }
    const TVersionInfo info(path);
    expectNone(info);
  }

  // Damaged files: every offset and size is checked, so each gives no
  // version information (or the part that is still sound) and nothing crashes.
  void corruptedFiles_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("translations");  // -1: whatever is left
    QTest::addColumn<QString>("product");   // ProductName of 040904B0; null: whatever is left
    QTest::addColumn<bool>("fixed");        // the fixed information is still read
    const int section = sectionTableAt(false);
    auto row = [](const char* name, const QString& field, int width, quint32 value, bool valid,
                  int translations = 0, const QString& product = QString(), int fixed = -1) {
      QTest::newRow(name) << field << width << value << valid << translations << product
                          << (fixed < 0 ? valid : fixed == 1);
    };
    const QString product = QStringLiteral("Dizad Test");
    const QString none = QStringLiteral("");
    auto at = [](int offset) { return QString::number(offset); };
    row("no MZ", at(0), 2, 0, false);
    row("PE header past the end", at(0x3C), 4, 0x7FFFFFF0, false);
    row("PE header at 4 GB", at(0x3C), 4, 0xFFFFFFFF, false);
    row("PE header inside the DOS header", at(0x3C), 4, 4, false);
    row("no PE signature", at(PeAt), 4, 0, false);
    row("unknown optional header", at(OptionalAt), 2, 0x999, false);
    row("optional header too small", at(PeAt + 20), 2, 64, false);
    row("optional header past the end", at(PeAt + 20), 2, 0xFFFF, false);
    row("too few data directories", at(OptionalAt + 92), 4, 2, false);
    row("resource RVA outside the sections", at(OptionalAt + 112), 4, 0x7FFF0000, false);
    row("no sections", at(PeAt + 6), 2, 0, false);
    row("65535 sections", at(PeAt + 6), 2, 0xFFFF, false);
    row("section data past the end", at(section + 20), 4, 0x10000000, false);
    row("section data at 4 GB", at(section + 20), 4, 0xFFFFFFF0, false);
    row("section moved", at(section + 12), 4, 0x2000, false);
    row("section size wraps", at(section + 16), 4, 0xFFFFFFFF, true, 2, product);
    row("65535 named root entries", at(RsrcAt + 12), 2, 0xFFFF, false);
    row("65535 root entries", at(RsrcAt + 14), 2, 0xFFFF, false);
    row("type entry is a leaf", at(RsrcAt + 20), 4, 0x18, false);
    row("type entry loops to the root", at(RsrcAt + 20), 4, 0x80000000, false);
    row("name entry loops to itself", at(TypeDirAt + 20), 4, 0x80000018, false);
    row("name entry is a leaf", at(TypeDirAt + 20), 4, 0x48, false);
    row("language entry is a directory", at(NameDirAt + 20), 4, 0x80000000, false);
    row("language entry past the section", at(NameDirAt + 20), 4, 0x7FFFFFF0, false);
    row("language entry at 4 GB", at(NameDirAt + 20), 4, 0x7FFFFFFF, false);
    row("data RVA past the end", at(DataEntryAt), 4, 0xFFFFFFF0, false);
    row("data size too big", at(DataEntryAt + 4), 4, 0xFFFFFFFF, false);
    row("data size too small", at(DataEntryAt + 4), 4, 4, false);
    row("root length 0", at(VersionAt), 2, 0, false);
    row("root length cuts the key", at(VersionAt), 2, 20, false);
    row("root length too big", at(VersionAt), 2, 0xFFFF, true, 2, product);
    row("root key damaged", at(VersionAt + 6), 2, 'X', false);
    row("fixed info signature wrong", at(VersionAt + 40), 4, 0, true, 2, product, 0);
    row("fixed info too short", at(VersionAt + 2), 2, 8, true, -1, {}, 0);
    row("fixed info length too big", at(VersionAt + 2), 2, 0xFFFF, true, 0);
    row("string tables of length 0", QStringLiteral("StringFileInfo"), 2, 0, true, 0, none);
    row("string tables swallow the rest", QStringLiteral("StringFileInfo"), 2, 0xFFFF, true, 0);
    row("string of length 0", QStringLiteral("ProductName"), 2, 0, true, 2, none);
    row("string value too long", QStringLiteral("ProductName+2"), 2, 0xFFFF, true, 2, product);
    row("translation length odd", QStringLiteral("Translation+2"), 2, 6, true, 1);
    row("translation length too big", QStringLiteral("Translation+2"), 2, 0xFFFF, true, 2, product);
    row("translation block length 0", QStringLiteral("Translation"), 2, 0, true, 0);
  }
  void corruptedFiles() {
    QFETCH(QString, field);
    QFETCH(int, width);
    QFETCH(quint32, value);
    QFETCH(bool, valid);
    QFETCH(int, translations);
    QFETCH(QString, product);
    QFETCH(bool, fixed);
    QByteArray f = peFile(versionResource());
    bool numeric = false;
    int offset = field.toInt(&numeric);
    if (!numeric) {
      const QStringList parts = field.split(QLatin1Char('+'));
      offset = blockAt(f, parts[0]) + (parts.size() > 1 ? parts[1].toInt() : 0);
    }
    QVERIFY(offset >= 0);
    if (width == 2)
      put16(f, offset, quint16(value));
    else
      put32(f, offset, value);
    const TVersionInfo info(write(QStringLiteral("damaged.exe"), f));
    QCOMPARE(info.Valid(), valid);
    if (!valid) expectNone(info);
    if (translations >= 0) QCOMPARE(info.TranslationCount(), translations);
    if (!product.isNull())
      QCOMPARE(info.GetString(QStringLiteral("ProductName"), QStringLiteral("040904B0")), product);
    QCOMPARE(info.FileVersion(), fixed ? 0x0001000200030004ull : 0ull);
    if (translations > 0 && field != QLatin1String("Translation+2"))
      QCOMPARE(info.LanguageID(0), quint16(0x0409));
    exercise(info);
  }

  // Every prefix of a good file: short ones have nothing, none crashes.
  void truncatedFiles() {
    const QByteArray full = peFile(versionResource());
    const int resourceEnd = VersionAt + int(versionResource().size());
    for (int length = 0; length < full.size(); ++length) {
      // Fresh names: rewriting one file in place costs a flush each time on ext4.
      const TVersionInfo info(write(QStringLiteral("cut%1.exe").arg(length), full.left(length)));
      if (length < resourceEnd) QVERIFY2(!info.Valid(), qPrintable(QString::number(length)));
      exercise(info);
    }
  }

  // Random damage anywhere in the headers, the tree and the resource.
  void randomDamage() {
    const QByteArray good = peFile(versionResource());
    QRandomGenerator random(0x5EED);
    for (int round = 0; round < 1000; ++round) {
      QByteArray f = good;
      const int flips = 1 + int(random.bounded(8));
      for (int i = 0; i < flips; ++i) {
        const int at = round % 2 ? VersionAt + int(random.bounded(f.size() - VersionAt))
                                 : int(random.bounded(f.size()));
        f[at] = char(random.bounded(256));
      }
      const TVersionInfo info(write(QStringLiteral("random%1.exe").arg(round), f));
      exercise(info);
    }
  }

  void languageNames_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("en-US") << 0x0409 << QStringLiteral("English (United States)");
    QTest::newRow("de-DE") << 0x0407 << QStringLiteral("German (Germany)");
    QTest::newRow("fr-FR") << 0x040C << QStringLiteral("French (France)");
    QTest::newRow("ru-RU") << 0x0419 << QStringLiteral("Russian (Russia)");
    QTest::newRow("ja-JP") << 0x0411 << QStringLiteral("Japanese (Japan)");
    QTest::newRow("zh-CN") << 0x0804 << QStringLiteral("Chinese (Simplified, China)");
    QTest::newRow("neutral") << 0x0000 << QStringLiteral("Language Neutral");
    QTest::newRow("unlisted region") << 0x2C09 << QStringLiteral("English");
    QTest::newRow("unlisted language") << 0x03FF << QStringLiteral("Unknown language (0x03FF)");
  }
  void languageNames() {
    QFETCH(int, id);
    QFETCH(QString, name);
    QCOMPARE(VersionLanguageName(quint16(id)), name);
  }

  void versionText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint64>("version");
    QTest::addColumn<QString>("back");  // VersionToString of the value
    QTest::newRow("four parts") << QStringLiteral("1.2.3.4") << 0x0001000200030004ull
                                << QStringLiteral("1.2.3.4");
    QTest::newRow("two parts") << QStringLiteral("5.6") << 0x0005000600000000ull
                               << QStringLiteral("5.6.0.0");
    QTest::newRow("fifth part ignored")
        << QStringLiteral("1.2.3.4.9") << 0x0001000200030004ull << QStringLiteral("1.2.3.4");
    QTest::newRow("low 16 bits") << QStringLiteral("70000") << (4464ull << 48)
                                 << QStringLiteral("4464.0.0.0");
    QTest::newRow("largest") << QStringLiteral("65535.65535.65535.65535") << ~0ull
                             << QStringLiteral("65535.65535.65535.65535");
    QTest::newRow("negative") << QStringLiteral("-1.0") << (0xFFFFull << 48)
                              << QStringLiteral("65535.0.0.0");
    QTest::newRow("hexadecimal") << QStringLiteral("$10.0x20") << 0x0010002000000000ull
                                 << QStringLiteral("16.32.0.0");
    QTest::newRow("leading blank")
        << QStringLiteral(" 7") << (7ull << 48) << QStringLiteral("7.0.0.0");
  }
  void versionText() {
    QFETCH(QString, text);
    QFETCH(quint64, version);
    QFETCH(QString, back);
    QCOMPARE(TVersionInfo::StringToVersion(text), version);
    QCOMPARE(TVersionInfo::VersionToString(version), back);
    QCOMPARE(TVersionInfo::StringToVersion(back), version);
  }

  void versionTextErrors_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("part");
    QTest::newRow("letters") << QStringLiteral("1.x.3") << QStringLiteral("x");
    QTest::newRow("empty part") << QStringLiteral("1..2") << QString();
    QTest::newRow("empty text") << QString() << QString();
    QTest::newRow("trailing blank") << QStringLiteral("3 .1") << QStringLiteral("3 ");
    QTest::newRow("beyond 32 bits")
        << QStringLiteral("1.4294967296") << QStringLiteral("4294967296");
    QTest::newRow("beta suffix") << QStringLiteral("2.0b") << QStringLiteral("0b");
  }
  void versionTextErrors() {
    QFETCH(QString, text);
    QFETCH(QString, part);
    try {
      (void)TVersionInfo::StringToVersion(text);
      QFAIL("no error");
    } catch (const EConvertError& e) {
      QCOMPARE(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(part));
    }
  }
};

DIZAD_TEST(TestVersionInfo)
#include "tst_versioninfo.moc"

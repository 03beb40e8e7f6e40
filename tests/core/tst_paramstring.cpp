#include "testregistry.h"

#include "core/inifile.h"
#include "core/paramstring.h"
#include "core/virtualpath.h"
#include "toolkit/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace dizad::core;
using dizad::toolkit::EConvertError;

namespace {

TParamString ps(const char* text) {
  return TParamString{QString::fromUtf8(text)};
}
QString s(const char* text) {
  return QString::fromUtf8(text);
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

// The parameter syntax of settings values: the forgiving scanner and its writes.
class TestParamString : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void getText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pair");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const char* text, const char* name, TParamDelimiter pair,
                  const char* expected) {
      QTest::newRow(tag) << s(text) << s(name) << int(pair) << s(expected);
    };
    row("skin key", "Image(Item.File.Back)", "Image", pdRound, "Item.File.Back");
    row("skin value", "Path(back.png) Margins(Left[4] Top[4])", "Path", pdRound, "back.png");
    row("font name", "Size(12) Name(Segoe UI) Bold(1)", "Name", pdRound, "Segoe UI");
    row("match inside longer name", "TopLeft(1) Left(2)", "Left", pdRound, "1");
    row("nested value", "Caption(A(b)c) Icon(x)", "Caption", pdRound, "A(b)c");
    row("after nested value", "Caption(A(b)c) Icon(x)", "Icon", pdRound, "x");
    row("other pair is plain text", "Margins(Left[4] Top[5])", "Margins", pdSquare, "DEF");
    row("name ignores case", "size(12)", "Size", pdRound, "12");
    row("value keeps case", "Name(Noto SANS)", "name", pdRound, "Noto SANS");
    row("empty value", "Name() Icon( )", "Name", pdRound, "DEF");
    row("one space value", "Name() Icon( )", "Icon", pdRound, "DEF");
    row("two spaces are a value", "Icon(  )", "Icon", pdRound, "  ");
    row("unclosed", "Path(abc", "Path", pdRound, "ab");
    row("unclosed one char", "Path(a", "Path", pdRound, "DEF");
    row("ends after opening", "Path(", "Path", pdRound, "DEF");
    row("missing", "Size(12)", "Type", pdRound, "DEF");
    row("empty text", "", "Type", pdRound, "DEF");
    row("square pair", "Left[4] Top[5]", "Top", pdSquare, "5");
    row("match inside a value", "Caption(Type(x)) Type(y)", "Type", pdRound, "x");
    row("non-ASCII name", "Größe(3) Ä(4)", "größe", pdRound, "3");
  }
  void getText() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(int, pair);
    QFETCH(QString, expected);
    const TParamString p{text};
    QCOMPARE(p.GetParam(name, QStringLiteral("DEF"), TParamDelimiter(pair)), expected);
    QCOMPARE(p.PS_STRING, text);  // reads never change the record
  }

  void paramExistsComparesCase() {
    QVERIFY(!ps("size(12)").ParamExists(QStringLiteral("Size")));
    QVERIFY(ps("size(12)").ParamExists(QStringLiteral("size")));
    QVERIFY(ps("Image(x)").ParamExists(QStringLiteral("Image")));
    QVERIFY(!ps("Image[x]").ParamExists(QStringLiteral("Image")));
  }

  void getInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << s("Size(12)") << 12;
    QTest::newRow("negative") << s("Size(-7)") << -7;
    QTest::newRow("plus") << s("Size(+7)") << 7;
    QTest::newRow("leading blanks") << s("Size(  7)") << 7;
    QTest::newRow("dollar hex") << s("Size($1F)") << 31;
    QTest::newRow("0x hex") << s("Size(0xff)") << 255;
    QTest::newRow("hex pattern") << s("Size($FF9EDB01)") << int(0xFF9EDB01u);
    QTest::newRow("hex all ones") << s("Size($FFFFFFFF)") << -1;
    QTest::newRow("hex leading zeros") << s("Size($000000010)") << 16;
    QTest::newRow("negative hex") << s("Size(-$10)") << -16;
    QTest::newRow("int max") << s("Size(2147483647)") << 2147483647;
    QTest::newRow("int min") << s("Size(-2147483648)") << int(-2147483647 - 1);
    QTest::newRow("missing gives default") << s("Other(1)") << 42;
    QTest::newRow("empty gives default") << s("Size()") << 42;
  }
  void getInteger() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(TParamString{text}.GetParam(QStringLiteral("Size"), qint32(42)), expected);
  }

  void integerErrors_data() {
    QTest::addColumn<QString>("value");
    for (const char* v : {"12px", "1.5", "abc", "$", "0x", "$123456789", "2147483648",
                          "-2147483649", "12 ", "--1", "$G1"})
      QTest::newRow(v) << s(v);
  }
  void integerErrors() {
    QFETCH(QString, value);
    const TParamString p{QStringLiteral("Size(") + value + QLatin1Char(')')};
    try {
      p.GetParam(QStringLiteral("Size"), qint32(0));
      QFAIL("no conversion error");
    } catch (const EConvertError& e) {
      QCOMPARE(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(value));
    }
  }

  void getBoolean_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("missing, default true") << s("Size(1)") << true << true;
    QTest::newRow("missing, default false") << s("Size(1)") << false << false;
    QTest::newRow("one") << s("Bold(1)") << false << true;
    QTest::newRow("zero") << s("Bold(0)") << true << false;
    QTest::newRow("minus one") << s("Bold(-1)") << false << true;
    QTest::newRow("seven") << s("Bold(7)") << false << true;
    QTest::newRow("False") << s("Bold(False)") << true << false;
    QTest::newRow("false") << s("Bold(false)") << true << false;
    QTest::newRow("TRUE") << s("Bold(TRUE)") << false << true;
    QTest::newRow("real zero") << s("Bold(0.0)") << true << false;
    QTest::newRow("empty gives default") << s("Bold()") << true << true;
  }
  void getBoolean() {
    QFETCH(QString, text);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    QCOMPARE(TParamString{text}.GetParam(QStringLiteral("Bold"), def), expected);
  }

  void booleanError() {
    try {
      ps("Bold(yes)").GetParam(QStringLiteral("Bold"), false);
      QFAIL("no conversion error");
    } catch (const EConvertError& e) {
      QCOMPARE(e.Message(), QStringLiteral("'yes' is not a valid boolean value"));
    }
  }

  void subParams() {
    const TParamString p = ps("Path(back.png) Margins(Left[4] Top[5])");
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Top"), qint32(0), pdRound,
                           pdSquare),
             5);
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"), QStringLiteral("x"),
                           pdRound, pdSquare),
             QStringLiteral("4"));
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Right"), qint32(9), pdRound,
                           pdSquare),
             9);
    // Without the outer parameter the inner lookup runs over the default itself.
    QCOMPARE(ps("Path(a)").GetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"),
                                       QStringLiteral("Left[7]"), pdRound, pdSquare),
             QStringLiteral("7"));
    QCOMPARE(ps("Path(a)").GetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"), qint32(7),
                                       pdRound, pdSquare),
             7);
    QCOMPARE(
        ps("Font(Bold[1])")
            .GetSubParam(QStringLiteral("Font"), QStringLiteral("Bold"), false, pdRound, pdSquare),
        true);
    QVERIFY_THROWS_EXCEPTION(EConvertError,
                             ps("Margins(Left[x])")
                                 .GetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"),
                                              qint32(0), pdRound, pdSquare));
  }

  void setSequence() {
    TParamString p;
    QCOMPARE(p.SetParam(QStringLiteral("Size"), qint32(12)), QStringLiteral(" Size(12)"));
    QCOMPARE(p.SetParam(QStringLiteral("Bold"), true), QStringLiteral(" Size(12), Bold(1)"));
    QCOMPARE(p.SetParam(QStringLiteral("Size"), QString()), QStringLiteral(" , Bold(1)"));
    QCOMPARE(p.PS_STRING, QStringLiteral(" , Bold(1)"));
    QCOMPARE(p.SetParam(QStringLiteral("Bold"), false), QStringLiteral(" , Bold(0)"));
  }

  void setParam_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const char* text, const char* name, const char* value,
                  const char* expected) {
      QTest::newRow(tag) << s(text) << s(name) << s(value) << s(expected);
    };
    row("replace", "Size(12) Name(A)", "Size", "14", "Size(14) Name(A)");
    row("replace ignores case", "size(12)", "SIZE", "14", "size(14)");
    row("every = dropped", "a=b Name(1)", "Name", "2", "ab Name(2)");
    row("double comma", "A(1),,B(2)", "B", "3", "A(1), B(3)");
    row("unclosed keeps last char", "Path(abc", "Path", "xyz", "Path(xyzc");
    row("nested value replaced whole", "Caption(A(b)c) Icon(x)", "Caption", "New",
        "Caption(New) Icon(x)");
    row("ends after opening", "Path(", "Path", "xyz", "Path(xyz)");
    row("delete at end after opening", "A(1) Path(", "Path", "", "A(1) ");
    row("delete unclosed", "A(1) Path(abc", "Path", "", "A(1) ");
    row("delete keeps separators", "A(1), B(2), C(3)", "B", "", "A(1), , C(3)");
    row("delete missing", "A=1", "B", "", "A1");
    row("append", "A(1)", "B", "2", "A(1), B(2)");
    row("first match inside longer name", "TopLeft(1) Left(2)", "Left", "9", "TopLeft(9) Left(2)");
  }
  void setParam() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    TParamString p{text};
    QCOMPARE(p.SetParam(name, value), expected);
    QCOMPARE(p.PS_STRING, expected);
  }

  void setWithSquareBrackets() {
    TParamString p = ps("Left[4]");
    QCOMPARE(p.SetParam(QStringLiteral("Left"), qint32(6), pdSquare), QStringLiteral("Left[6]"));
    QCOMPARE(p.SetParam(QStringLiteral("Top"), qint32(2), pdSquare),
             QStringLiteral("Left[6], Top[2]"));
  }

  void setSubParam() {
    TParamString p = ps("Path(back.png) Margins(Left[4] Top[4])");
    QCOMPARE(p.SetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"), qint32(7)),
             QStringLiteral("Path(back.png) Margins(Left[7] Top[4])"));
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Left"), qint32(0)), 7);
    p.SetSubParam(QStringLiteral("Margins"), QStringLiteral("Right"), QStringLiteral("2"));
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Right"), qint32(0)), 2);
    QCOMPARE(p.GetSubParam(QStringLiteral("Margins"), QStringLiteral("Top"), qint32(0)), 4);

    TParamString font;
    font.SetSubParam(QStringLiteral("Font"), QStringLiteral("Bold"), true);
    QCOMPARE(font.PS_STRING, QStringLiteral(" Font(Bold[1])"));
    QCOMPARE(font.GetSubParam(QStringLiteral("Font"), QStringLiteral("Bold"), false), true);
    // Removing the last inner parameter removes the outer one.
    QCOMPARE(font.SetSubParam(QStringLiteral("Font"), QStringLiteral("Bold"), QString()),
             QStringLiteral(" "));
  }

  void deletedOverloadsAreNotNeeded() {
    // Text defaults go through QString: the boolean overload is never picked by accident.
    QCOMPARE(ps("A(1)").GetParam(QStringLiteral("B"), QStringLiteral("x")), QStringLiteral("x"));
  }

  void listValues() {
    QStringList list{QStringLiteral("Icon=icons:Thumb"), QStringLiteral("Back=items:x=y"),
                     QStringLiteral("noequals")};
    QCOMPARE(GetListValue(list, QStringLiteral("icon"), QStringLiteral("d")),
             QStringLiteral("icons:Thumb"));
    QCOMPARE(GetListValue(list, QStringLiteral("BACK"), QStringLiteral("d")),
             QStringLiteral("items:x=y"));
    QCOMPARE(GetListValue(list, QStringLiteral("noequals"), QStringLiteral("d")),
             QStringLiteral("d"));
    QCOMPARE(GetListValue(list, QStringLiteral("Hover"), QStringLiteral("d")), QStringLiteral("d"));

    QCOMPARE(SetListValue(list, QStringLiteral("ICON"), QStringLiteral("Icons:List")),
             QStringLiteral("Icons:List"));
    QCOMPARE(list.at(0), QStringLiteral("icon=icons:list"));
    SetListValue(list, QStringLiteral("Hover"), QStringLiteral("Items:H"));
    QCOMPARE(list.last(), QStringLiteral("hover=items:h"));
    SetListValue(list, QStringLiteral("back"), QString());
    QCOMPARE(list, (QStringList{QStringLiteral("icon=icons:list"), QStringLiteral("noequals"),
                                QStringLiteral("hover=items:h")}));
  }

  // The INI operations never create a file and change nothing when it is missing.
  void iniOperationsOnMissingFile() {
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/none.ini");
    TParamString p = ps("Size(1)");
    QVERIFY(!p.LoadFromIni(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")));
    QVERIFY(!p.SaveToIni(path, QStringLiteral("S"), QStringLiteral("K")));
    QVERIFY(!p.SaveToIni(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("Size"),
                         qint32(2)));
    QVERIFY(
        !p.SaveToIni(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("Bold"), true));
    QVERIFY(!p.SaveToIni(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("Name"),
                         QStringLiteral("x")));
    QCOMPARE(p.PS_STRING, QStringLiteral("Size(1)"));
    QVERIFY(!QFile::exists(path));
  }

  void iniOperations() {
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Data")));
    const QString path = tmp.path() + QStringLiteral("/Data/settings.ini");
    writeAll(path,
             "; settings\r\n[Font]\r\nMain = Size(12) Name(Noto Sans)\r\n\r\n[Other]\r\nA=1\r\n");
    const QString oldAppDir = setAppDir(tmp.path());
    const QString vpath = QStringLiteral("DataPath:\\settings.ini");

    TParamString p;
    QVERIFY(p.LoadFromIni(vpath, QStringLiteral("font"), QStringLiteral("MAIN"), QString()));
    QCOMPARE(p.PS_STRING, QStringLiteral("Size(12) Name(Noto Sans)"));
    QVERIFY(!p.LoadFromIni(vpath, QStringLiteral("Font"), QStringLiteral("Missing"),
                           QStringLiteral("dflt")));
    QCOMPARE(p.PS_STRING, QStringLiteral("dflt"));

    QVERIFY(p.SaveToIni(vpath, QStringLiteral("Font"), QStringLiteral("Main"),
                        QStringLiteral("Size"), qint32(14)));
    QCOMPARE(p.PS_STRING, QStringLiteral("Size(14) Name(Noto Sans)"));
    QVERIFY(p.SaveToIni(vpath, QStringLiteral("Font"), QStringLiteral("Main"),
                        QStringLiteral("Bold"), true));
    QVERIFY(p.SaveToIni(vpath, QStringLiteral("Other"), QStringLiteral("B"), QStringLiteral("Name"),
                        QStringLiteral("x")));
    p.PS_STRING = QStringLiteral("Whole(1)");
    QVERIFY(p.SaveToIni(vpath, QStringLiteral("Other"), QStringLiteral("A")));
    setAppDir(oldAppDir);

    QCOMPARE(readAll(path),
             QByteArray("; settings\r\n[Font]\r\nMain = Size(14) Name(Noto Sans), Bold(1)\r\n\r\n"
                        "[Other]\r\nA=Whole(1)\r\nB= Name(x)\r\n"));
  }
};

DIZAD_TEST(TestParamString)
#include "tst_paramstring.moc"

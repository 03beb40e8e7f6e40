#pragma once
// TParamString: a settings value written as parameters inside one line of text,
// "Path(back.png) Margins(Left[4] Top[4])", with typed reads and writes of
// single parameters and a few INI operations that store the text.
//
// The reader is a forgiving substring scanner, not a parser: it takes the first
// place where the name and its opening delimiter occur (ignoring ASCII letter
// case, even inside a longer name or another value) and reads up to the
// matching closing delimiter. Skins and data files written over the years
// rely on exactly that, so the scanner keeps its quirks:
//  - a value without its closing delimiter ends one character before the end
//    of the text ("Path(abc" reads "ab");
//  - an empty value and a value of one space read as the default;
//  - writes drop every "=" and turn ",," into ", " in the whole text;
//  - a parameter appended to a text is preceded by "," when the text is not
//    empty, then a space.
//
// A plain value: copy it freely; one thread uses an instance at a time.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace dizad::core {

// Which pair of characters encloses a value.
enum TParamDelimiter { pdRound = 0, pdSquare = 1 };

// The text of Name's value in Source, or Default (see the header comment).
QString ExtractParamValue(const QString& Source, const QString& Name, const QString& Default,
                          TParamDelimiter Pair);
// Source with Name's value set to Value: replaced in place when Name is there,
// appended when not; an empty Value deletes the parameter. Names are written
// with the pair's delimiters (round unless asked otherwise).
QString StoreParamValue(QString S, const QString& Name, const QString& Value,
                        TParamDelimiter Pair = pdRound);
// Position of the closing delimiter that matches an opening one just before
// Start; the last character of S when none does.
qsizetype FindMatchingClose(const QString& S, qsizetype Start, TParamDelimiter Pair = pdRound);

// The settings conversions. Integers: optional leading blanks, optional sign,
// decimal digits, or "$" / "0x" and up to eight hex digits taken as a 32-bit
// pattern ("$FFFFFFFF" is -1). Booleans: "True" / "False" in any letter case,
// or a number (0 is false, anything else true). The throwing forms raise
// EConvertError "'<text>' is not a valid integer value" / "... boolean value".
bool tryStrToInt(const QString& text, qint32& value);
qint32 strToInt(const QString& text);
bool tryStrToBool(const QString& text, bool& value);
bool strToBool(const QString& text);

struct TParamString {
  QString PS_STRING;

  bool Empty() const { return PS_STRING.isEmpty(); }
  void Clear() { PS_STRING.clear(); }
  // ParamID + "(" occurs in the text, letter case counting.
  bool ParamExists(const QString& ParamID) const;

  QString GetParam(const QString& ParamID, const QString& Default,
                   TParamDelimiter Delimiter = pdRound) const;
  qint32 GetParam(const QString& ParamID, qint32 Default,
                  TParamDelimiter Delimiter = pdRound) const;
  bool GetParam(const QString& ParamID, bool Default, TParamDelimiter Delimiter = pdRound) const;
  // A C string would silently pick the boolean overload.
  QString GetParam(const QString&, const char*, TParamDelimiter = pdRound) const = delete;

  // SubParamID inside ParamID's value. When ParamID is missing the inner
  // lookup runs over the default text itself.
  QString GetSubParam(const QString& ParamID, const QString& SubParamID, const QString& Default,
                      TParamDelimiter Delimiter = pdRound,
                      TParamDelimiter SubDelimiter = pdSquare) const;
  qint32 GetSubParam(const QString& ParamID, const QString& SubParamID, qint32 Default,
                     TParamDelimiter Delimiter = pdRound,
                     TParamDelimiter SubDelimiter = pdSquare) const;
  bool GetSubParam(const QString& ParamID, const QString& SubParamID, bool Default,
                   TParamDelimiter Delimiter = pdRound,
                   TParamDelimiter SubDelimiter = pdSquare) const;
  QString GetSubParam(const QString&, const QString&, const char*, TParamDelimiter = pdRound,
                      TParamDelimiter = pdSquare) const = delete;

  // Set ParamID's value (integers as decimal, booleans as "1" / "0"); an empty
  // text deletes the parameter. Returns the new whole text.
  QString SetParam(const QString& ParamID, const QString& ParamValue,
                   TParamDelimiter Delimiter = pdRound);
  QString SetParam(const QString& ParamID, qint32 ParamValue, TParamDelimiter Delimiter = pdRound);
  QString SetParam(const QString& ParamID, bool ParamValue, TParamDelimiter Delimiter = pdRound);
  QString SetParam(const QString&, const char*, TParamDelimiter = pdRound) = delete;

  // Set SubParamID inside ParamID's value, the counterpart of GetSubParam:
  // "Margins(Left[4] Top[4])" with Margins / Left := 7 gives
  // "Margins(Left[7] Top[4])". Returns the new whole text.
  QString SetSubParam(const QString& ParamID, const QString& SubParamID, const QString& ParamValue,
                      TParamDelimiter Delimiter = pdRound, TParamDelimiter SubDelimiter = pdSquare);
  QString SetSubParam(const QString& ParamID, const QString& SubParamID, qint32 ParamValue,
                      TParamDelimiter Delimiter = pdRound, TParamDelimiter SubDelimiter = pdSquare);
  QString SetSubParam(const QString& ParamID, const QString& SubParamID, bool ParamValue,
                      TParamDelimiter Delimiter = pdRound, TParamDelimiter SubDelimiter = pdSquare);
  QString SetSubParam(const QString&, const QString&, const char*, TParamDelimiter = pdRound,
                      TParamDelimiter = pdSquare) = delete;

  // INI operations. Path may carry a virtual prefix. When the file does not
  // exist they return false and change neither file nor record: no INI file
  // is ever created here. A refused write raises EFileError.
  //
  // Reads Ident into the record (the bare value; Default when missing); true
  // when the text read differs from Default.
  bool LoadFromIni(const QString& Path, const QString& Section, const QString& Ident,
                   const QString& Default);
  // Writes the record as Ident's value.
  bool SaveToIni(const QString& Path, const QString& Section, const QString& Ident);
  // Patches one parameter of Ident's value in the file (the record takes the
  // new value).
  bool SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                 const QString& ParamID, const QString& ParamValue);
  bool SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                 const QString& ParamID, qint32 ParamValue);
  bool SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                 const QString& ParamID, bool ParamValue);
  bool SaveToIni(const QString&, const QString&, const QString&, const QString&,
                 const char*) = delete;
};

// Name/value lists ("Icon=icons:thumb" lines); names compare ignoring case.
// The value of the first line named Name, or Default.
QString GetListValue(const QStringList& List, const QString& Name, const QString& Default);
// Sets the line named Name to Value, both lower-cased; the line is appended
// when missing and removed when the value is empty. Returns Value unchanged.
QString SetListValue(QStringList& List, const QString& Name, const QString& Value);

}  // namespace dizad::core

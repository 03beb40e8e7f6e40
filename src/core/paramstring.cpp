#include "core/paramstring.h"

#include "core/inifile.h"
#include "core/virtualpath.h"
#include "toolkit/errors.h"

#include <QLocale>

namespace dizad::core {

namespace {

// Only "A" to "Z" are lowered, so positions in the result match the original.
QString lowerAscii(const QString& s) {
  QString r = s;
  for (QChar& c : r) {
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
  }
  return r;
}

QChar openOf(TParamDelimiter pair) {
  return pair == pdSquare ? QLatin1Char('[') : QLatin1Char('(');
}
QChar closeOf(TParamDelimiter pair) {
  return pair == pdSquare ? QLatin1Char(']') : QLatin1Char(')');
}

QString boolDefaultText(bool value) {
  return value ? QStringLiteral("-1") : QStringLiteral("0");
}
QString boolValueText(bool value) {
  return value ? QStringLiteral("1") : QStringLiteral("0");
}

int hexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

// The file behind an INI operation's path, or empty when there is none.
QString existingIniFile(const QString& Path) {
  return PathExists(Path, 2) ? ExpandVirtualPath(Path) : QString();
}

}  // namespace

QString ExtractParamValue(const QString& Source, const QString& Name, const QString& Default,
                          TParamDelimiter Pair) {
  const QChar open = openOf(Pair), close = closeOf(Pair);
  const qsizetype at = lowerAscii(Source).indexOf(lowerAscii(Name + open));
  if (at < 0) return Default;
  const qsizetype start = at + Name.size() + 1;
  qsizetype end = -1;
  int depth = 0;
  for (qsizetype i = start; i < Source.size(); ++i) {
    const QChar c = Source.at(i);
    if (c == open) {
      ++depth;
    } else if (c == close) {
      if (depth == 0) {
        end = i;
        break;
      }
      --depth;
    }
  }
  // Unclosed: the last character of the text stands in for the closing one.
  if (end < 0) end = Source.size() - 1;
  const QString value = end > start ? Source.mid(start, end - start) : QString();
  if (value.isEmpty() || value == QLatin1String(" ")) return Default;
  return value;
}

qsizetype FindMatchingClose(const QString& S, qsizetype Start, TParamDelimiter Pair) {
  const QChar open = openOf(Pair), close = closeOf(Pair);
  int depth = 0;
  for (qsizetype i = Start; i < S.size(); ++i) {
    const QChar c = S.at(i);
    if (c == open) {
      ++depth;
    } else if (c == close) {
      if (depth == 0) return i;
      --depth;
    }
  }
  return S.size() - 1;
}

QString StoreParamValue(QString S, const QString& Name, const QString& Value,
                        TParamDelimiter Pair) {
  const QChar open = openOf(Pair), close = closeOf(Pair);
  S.replace(QLatin1String(",,"), QLatin1String(", "));
  S.remove(QLatin1Char('='));
  const qsizetype at = lowerAscii(S).indexOf(lowerAscii(Name + open));
  if (at >= 0) {
    const qsizetype start = at + Name.size() + 1;
    if (start >= S.size()) {
      // The text ends right after the opening delimiter: there is nothing to
      // replace, so the value and its closing delimiter are added.
      if (Value.isEmpty()) {
        S.truncate(at);
      } else {
        S += Value + close;
      }
      return S;
    }
    const qsizetype end = FindMatchingClose(S, start, Pair);
    if (!Value.isEmpty()) {
      S.replace(start, end - start, Value);
    } else {
      S.remove(at, end - at + 1);
    }
  } else if (!Value.isEmpty()) {
    if (!S.isEmpty()) S += QLatin1Char(',');
    S += QLatin1Char(' ') + Name + open + Value + close;
  }
  return S;
}

bool tryStrToInt(const QString& text, qint32& value) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) ++i;
  bool negative = false;
  if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
    negative = text.at(i) == QLatin1Char('-');
    ++i;
  }
  bool hex = false;
  if (i < n && text.at(i) == QLatin1Char('$')) {
    hex = true;
    i += 1;
  } else if (i + 1 < n && text.at(i) == QLatin1Char('0') &&
             (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  if (hex) {
    quint32 bits = 0;
    int significant = 0;
    for (; i < n; ++i) {
      const int d = hexDigit(text.at(i));
      if (d < 0) return false;
      if (bits != 0 || d != 0) ++significant;
      if (significant > 8) return false;
      bits = (bits << 4) | quint32(d);
    }
    value = qint32(negative ? 0u - bits : bits);
    return true;
  }
  qint64 magnitude = 0;
  for (; i < n; ++i) {
    const char16_t u = text.at(i).unicode();
    if (u < u'0' || u > u'9') return false;
    magnitude = magnitude * 10 + (u - u'0');
    if (magnitude > qint64(1) << 31) return false;
  }
  if (!negative && magnitude > 0x7FFFFFFF) return false;
  value = qint32(negative ? -magnitude : magnitude);
  return true;
}

qint32 strToInt(const QString& text) {
  qint32 value = 0;
  if (!tryStrToInt(text, value))
    throw toolkit::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return value;
}

bool tryStrToBool(const QString& text, bool& value) {
  if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
    value = true;
    return true;
  }
  if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
    value = false;
    return true;
  }
  qint32 number = 0;
  if (tryStrToInt(text, number)) {
    value = number != 0;
    return true;
  }
  bool ok = false;
  const double real = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok) return false;
  value = real != 0.0;
  return true;
}

bool strToBool(const QString& text) {
  bool value = false;
  if (!tryStrToBool(text, value))
    throw toolkit::EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
  return value;
}

bool TParamString::ParamExists(const QString& ParamID) const {
  return PS_STRING.contains(ParamID + QLatin1Char('('));
}

QString TParamString::GetParam(const QString& ParamID, const QString& Default,
                               TParamDelimiter Delimiter) const {
  return ExtractParamValue(PS_STRING, ParamID, Default, Delimiter);
}

qint32 TParamString::GetParam(const QString& ParamID, qint32 Default,
                              TParamDelimiter Delimiter) const {
  return strToInt(ExtractParamValue(PS_STRING, ParamID, QString::number(Default), Delimiter));
}

bool TParamString::GetParam(const QString& ParamID, bool Default, TParamDelimiter Delimiter) const {
  return strToBool(ExtractParamValue(PS_STRING, ParamID, boolDefaultText(Default), Delimiter));
}

QString TParamString::GetSubParam(const QString& ParamID, const QString& SubParamID,
                                  const QString& Default, TParamDelimiter Delimiter,
                                  TParamDelimiter SubDelimiter) const {
  const QString outer = GetParam(ParamID, Default, Delimiter);
  return ExtractParamValue(outer, SubParamID, Default, SubDelimiter);
}

qint32 TParamString::GetSubParam(const QString& ParamID, const QString& SubParamID, qint32 Default,
                                 TParamDelimiter Delimiter, TParamDelimiter SubDelimiter) const {
  return strToInt(
      GetSubParam(ParamID, SubParamID, QString::number(Default), Delimiter, SubDelimiter));
}

bool TParamString::GetSubParam(const QString& ParamID, const QString& SubParamID, bool Default,
                               TParamDelimiter Delimiter, TParamDelimiter SubDelimiter) const {
  return strToBool(
      GetSubParam(ParamID, SubParamID, boolDefaultText(Default), Delimiter, SubDelimiter));
}

QString TParamString::SetParam(const QString& ParamID, const QString& ParamValue,
                               TParamDelimiter Delimiter) {
  PS_STRING = StoreParamValue(PS_STRING, ParamID, ParamValue, Delimiter);
  return PS_STRING;
}

QString TParamString::SetParam(const QString& ParamID, qint32 ParamValue,
                               TParamDelimiter Delimiter) {
  return SetParam(ParamID, QString::number(ParamValue), Delimiter);
}

QString TParamString::SetParam(const QString& ParamID, bool ParamValue, TParamDelimiter Delimiter) {
  return SetParam(ParamID, boolValueText(ParamValue), Delimiter);
}

QString TParamString::SetSubParam(const QString& ParamID, const QString& SubParamID,
                                  const QString& ParamValue, TParamDelimiter Delimiter,
                                  TParamDelimiter SubDelimiter) {
  const QString outer = ExtractParamValue(PS_STRING, ParamID, QString(), Delimiter);
  // A new inner list carries no leading blank: it sits right after "(".
  const QString inner = StoreParamValue(outer, SubParamID, ParamValue, SubDelimiter).trimmed();
  return SetParam(ParamID, inner, Delimiter);
}

QString TParamString::SetSubParam(const QString& ParamID, const QString& SubParamID,
                                  qint32 ParamValue, TParamDelimiter Delimiter,
                                  TParamDelimiter SubDelimiter) {
  return SetSubParam(ParamID, SubParamID, QString::number(ParamValue), Delimiter, SubDelimiter);
}

QString TParamString::SetSubParam(const QString& ParamID, const QString& SubParamID,
                                  bool ParamValue, TParamDelimiter Delimiter,
                                  TParamDelimiter SubDelimiter) {
  return SetSubParam(ParamID, SubParamID, boolValueText(ParamValue), Delimiter, SubDelimiter);
}

bool TParamString::LoadFromIni(const QString& Path, const QString& Section, const QString& Ident,
                               const QString& Default) {
  const QString file = existingIniFile(Path);
  if (file.isEmpty()) return false;
  PS_STRING = TIniFile(file).ReadString(Section, Ident, Default);
  return PS_STRING != Default;
}

bool TParamString::SaveToIni(const QString& Path, const QString& Section, const QString& Ident) {
  const QString file = existingIniFile(Path);
  if (file.isEmpty()) return false;
  TIniFile(file).WriteString(Section, Ident, PS_STRING);
  return true;
}

bool TParamString::SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                             const QString& ParamID, const QString& ParamValue) {
  const QString file = existingIniFile(Path);
  if (file.isEmpty()) return false;
  TIniFile ini(file);
  PS_STRING = ini.ReadString(Section, Ident, QString());
  SetParam(ParamID, ParamValue, pdRound);
  ini.WriteString(Section, Ident, PS_STRING);
  return true;
}

bool TParamString::SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                             const QString& ParamID, qint32 ParamValue) {
  return SaveToIni(Path, Section, Ident, ParamID, QString::number(ParamValue));
}

bool TParamString::SaveToIni(const QString& Path, const QString& Section, const QString& Ident,
                             const QString& ParamID, bool ParamValue) {
  return SaveToIni(Path, Section, Ident, ParamID, boolValueText(ParamValue));
}

QString GetListValue(const QStringList& List, const QString& Name, const QString& Default) {
  for (const QString& line : List) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq >= 0 && QStringView(line).left(eq).compare(Name, Qt::CaseInsensitive) == 0)
      return line.mid(eq + 1);
  }
  return Default;
}

QString SetListValue(QStringList& List, const QString& Name, const QString& Value) {
  const QString name = Name.toLower();
  const QString value = Value.toLower();
  qsizetype index = -1;
  for (qsizetype i = 0; i < List.size() && index < 0; ++i) {
    const qsizetype eq = List.at(i).indexOf(QLatin1Char('='));
    if (eq >= 0 && QStringView(List.at(i)).left(eq).compare(name, Qt::CaseInsensitive) == 0)
      index = i;
  }
  if (value.isEmpty()) {
    if (index >= 0) List.removeAt(index);
  } else if (index >= 0) {
    List[index] = name + QLatin1Char('=') + value;
  } else {
    List.append(name + QLatin1Char('=') + value);
  }
  return Value;
}

}  // namespace dizad::core

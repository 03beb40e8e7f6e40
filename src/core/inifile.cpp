#include "core/inifile.h"

#include "core/paramstring.h"
#include "toolkit/errors.h"
#include "toolkit/memo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace dizad::core {

namespace {

bool isContinuation(uchar c) {
  return (c & 0xC0) == 0x80;
}

// UTF-8 where the bytes are UTF-8, Latin-1 for every byte that is not.
QString decodeUtf8Latin1(const QByteArray& bytes, bool& sawInvalid, bool& sawMultiByte) {
  QString out;
  out.reserve(bytes.size());
  const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
  const qsizetype n = bytes.size();
  qsizetype i = 0;
  while (i < n) {
    const uchar c = b[i];
    if (c < 0x80) {
      out.append(QChar(char16_t(c)));
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    uchar lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;  // overlong
      if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;  // overlong
      if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
    }
    bool valid = len > 0 && i + len <= n && b[i + 1] >= lo && b[i + 1] <= hi;
    for (int k = 1; valid && k < len; ++k) {
      if (!isContinuation(b[i + k])) valid = false;
      cp = (cp << 6) | (b[i + k] & 0x3F);
    }
    if (valid) {
      sawMultiByte = true;
      const char32_t one[1] = {cp};
      out.append(QString::fromUcs4(one, 1));
      i += len;
    } else {
      sawInvalid = true;
      out.append(QChar(char16_t(c)));
      ++i;
    }
  }
  return out;
}

QString lineBreaksToSpaces(QString s) {
  s.replace(QLatin1String("\r\n"), QLatin1String(" "));
  s.replace(QLatin1Char('\r'), QLatin1Char(' '));
  s.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return s;
}

}  // namespace

TIniFile::TIniFile(const QString& FileName) : FFileName(FileName) {
  Load();
  Parse();
}

void TIniFile::Load() {
  QFile file(FFileName);
  if (!file.exists()) return;
  if (!file.open(QIODevice::ReadOnly)) {
    FLoadFailed = true;
    toolkit::logLine(QStringLiteral("INI: cannot read %1: %2").arg(FFileName, file.errorString()));
    return;
  }
  const QByteArray data = file.readAll();

  int unit = 1;
  bool bigEndian = false;
  if (data.startsWith("\xEF\xBB\xBF")) {
    FEncoding = TEncoding::Utf8Bom;
    FBom = data.left(3);
  } else if (data.startsWith("\xFF\xFE")) {
    FEncoding = TEncoding::Utf16LE;
    FBom = data.left(2);
    unit = 2;
  } else if (data.startsWith("\xFE\xFF")) {
    FEncoding = TEncoding::Utf16BE;
    FBom = data.left(2);
    unit = 2;
    bigEndian = true;
  }

  auto unitAt = [&](qsizetype pos) -> char16_t {
    if (unit == 1) return uchar(data.at(pos));
    const uchar a = uchar(data.at(pos)), b = uchar(data.at(pos + 1));
    return bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
  };
  // A trailing odd byte of a UTF-16 file is no character; it is kept as the
  // last line's end so that a rewrite does not lose it.
  const qsizetype end = FBom.size() + (data.size() - FBom.size()) / unit * unit;

  bool sawInvalid = false, sawMultiByte = false;
  QByteArray firstEol;
  qsizetype start = FBom.size();
  qsizetype pos = start;
  auto addLine = [&](qsizetype contentEnd, qsizetype eolEnd) {
    TLine line;
    line.Raw = data.mid(start, contentEnd - start);
    line.Eol = data.mid(contentEnd, eolEnd - contentEnd);
    if (unit == 1) {
      line.Text = decodeUtf8Latin1(line.Raw, sawInvalid, sawMultiByte);
    } else {
      line.Text.reserve(line.Raw.size() / 2);
      for (qsizetype k = start; k < contentEnd; k += 2) line.Text.append(QChar(unitAt(k)));
    }
    if (firstEol.isEmpty() && !line.Eol.isEmpty()) firstEol = line.Eol;
    FLines.push_back(std::move(line));
    start = eolEnd;
  };
  while (pos < end) {
    const char16_t u = unitAt(pos);
    if (u == u'\n') {
      addLine(pos, pos + unit);
    } else if (u == u'\r') {
      const bool crlf = pos + unit < end && unitAt(pos + unit) == u'\n';
      addLine(pos, pos + (crlf ? 2 * unit : unit));
    }
    pos = start > pos ? start : pos + unit;
  }
  if (start < end) addLine(end, end);
  if (end < data.size()) {
    if (FLines.empty()) FLines.push_back(TLine{});
    FLines.back().Eol += data.mid(end);
  }

  if (FEncoding == TEncoding::Utf8 && sawInvalid && !sawMultiByte) FEncoding = TEncoding::Latin1;
  if (!firstEol.isEmpty()) {
    FDefaultEol = firstEol;
  } else if (unit == 2) {
    FDefaultEol = bigEndian ? QByteArray("\0\n", 2) : QByteArray("\n\0", 2);
  }
}

void TIniFile::Parse() {
  FSections.clear();
  FSectionIndex.clear();
  TSection* current = nullptr;
  for (int i = 0; i < int(FLines.size()); ++i) {
    const QString t = FLines[i].Text.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';'))) continue;
    if (t.startsWith(QLatin1Char('['))) {
      const qsizetype close = t.indexOf(QLatin1Char(']'));
      const QString name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
      const QString lower = name.toLower();
      if (FSectionIndex.contains(lower)) {
        current = nullptr;  // a repeated section: the first one holds the keys
        continue;
      }
      FSectionIndex.insert(lower, int(FSections.size()));
      FSections.push_back(TSection{name, i, {}, {}});
      current = &FSections.back();
      continue;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (!current || eq <= 0) continue;
    TKey key{t.left(eq).trimmed(), t.mid(eq + 1).trimmed(), i};
    current->LastLine = i;
    const QString lower = key.Name.toLower();
    if (key.Name.isEmpty() || current->Index.contains(lower)) continue;
    current->Index.insert(lower, int(current->Keys.size()));
    current->Keys.push_back(std::move(key));
  }
}

const TIniFile::TSection* TIniFile::FindSection(const QString& Section) const {
  const auto it = FSectionIndex.constFind(Section.trimmed().toLower());
  return it == FSectionIndex.constEnd() ? nullptr : &FSections[*it];
}

TIniFile::TSection* TIniFile::FindSection(const QString& Section) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(Section));
}

const TIniFile::TKey* TIniFile::FindKey(const QString& Section, const QString& Ident) const {
  const TSection* s = FindSection(Section);
  if (!s) return nullptr;
  const auto it = s->Index.constFind(Ident.trimmed().toLower());
  return it == s->Index.constEnd() ? nullptr : &s->Keys[*it];
}

QStringList TIniFile::ReadSections() const {
  QStringList names;
  for (const TSection& s : FSections) names.append(s.Name);
  return names;
}

QStringList TIniFile::ReadSection(const QString& Section) const {
  QStringList names;
  if (const TSection* s = FindSection(Section))
    for (const TKey& k : s->Keys) names.append(k.Name);
  return names;
}

QStringList TIniFile::ReadSectionValues(const QString& Section) const {
  QStringList lines;
  if (const TSection* s = FindSection(Section))
    for (const TKey& k : s->Keys) lines.append(k.Name + QLatin1Char('=') + k.Value);
  return lines;
}

bool TIniFile::SectionExists(const QString& Section) const {
  return FindSection(Section);
}

bool TIniFile::ValueExists(const QString& Section, const QString& Ident) const {
  return FindKey(Section, Ident);
}

QString TIniFile::ReadString(const QString& Section, const QString& Ident,
                             const QString& Default) const {
  const TKey* k = FindKey(Section, Ident);
  return k ? k->Value : Default;
}

qint32 TIniFile::ReadInteger(const QString& Section, const QString& Ident, qint32 Default) const {
  const TKey* k = FindKey(Section, Ident);
  qint32 v = Default;
  return k && tryStrToInt(k->Value, v) ? v : Default;
}

bool TIniFile::ReadBool(const QString& Section, const QString& Ident, bool Default) const {
  const TKey* k = FindKey(Section, Ident);
  bool v = Default;
  return k && tryStrToBool(k->Value, v) ? v : Default;
}

QByteArray TIniFile::Encode(const QString& text) const {
  switch (FEncoding) {
    case TEncoding::Utf16LE:
    case TEncoding::Utf16BE: {
      QByteArray out;
      out.reserve(text.size() * 2);
      for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        if (FEncoding == TEncoding::Utf16LE) {
          out.append(lo);
          out.append(hi);
        } else {
          out.append(hi);
          out.append(lo);
        }
      }
      return out;
    }
    case TEncoding::Latin1: {
      bool fits = true;
      for (QChar c : text) fits = fits && c.unicode() <= 0xFF;
      if (fits) return text.toLatin1();
      return text.toUtf8();
    }
    case TEncoding::Utf8:
    case TEncoding::Utf8Bom:
      break;
  }
  return text.toUtf8();
}

TIniFile::TLine TIniFile::MakeLine(const QString& text) const {
  return TLine{text, Encode(text), FDefaultEol};
}

void TIniFile::WriteString(const QString& Section, const QString& Ident, const QString& Value) {
  const QString value = lineBreaksToSpaces(Value);
  const QString ident = lineBreaksToSpaces(Ident).trimmed();
  if (const TKey* k = FindKey(Section, ident)) {
    // Keep the line's indentation, key spelling and spacing around "=".
    TLine& line = FLines[k->Line];
    qsizetype valueStart = line.Text.indexOf(QLatin1Char('=')) + 1;
    while (valueStart < line.Text.size() && (line.Text.at(valueStart) == QLatin1Char(' ') ||
                                             line.Text.at(valueStart) == QLatin1Char('\t')))
      ++valueStart;
    line.Text = line.Text.left(valueStart) + value;
    line.Raw = Encode(line.Text);
  } else {
    auto terminateLast = [this] {
      if (!FLines.empty() && FLines.back().Eol.isEmpty()) FLines.back().Eol = FDefaultEol;
    };
    const TLine keyLine = MakeLine(ident + QLatin1Char('=') + value);
    if (const TSection* s = FindSection(Section)) {
      if (s->LastLine == int(FLines.size()) - 1) terminateLast();
      FLines.insert(FLines.begin() + s->LastLine + 1, keyLine);
    } else {
      terminateLast();
      if (!FLines.empty() && !FLines.back().Text.trimmed().isEmpty())
        FLines.push_back(MakeLine(QString()));
      FLines.push_back(
          MakeLine(QLatin1Char('[') + lineBreaksToSpaces(Section).trimmed() + QLatin1Char(']')));
      FLines.push_back(keyLine);
    }
  }
  Save();
  Parse();
}

void TIniFile::WriteInteger(const QString& Section, const QString& Ident, qint32 Value) {
  WriteString(Section, Ident, QString::number(Value));
}

void TIniFile::WriteBool(const QString& Section, const QString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& Section, const QString& Ident) {
  const TKey* k = FindKey(Section, Ident);
  if (!k) return;
  const int line = k->Line;
  // The last line keeps no line end it did not have.
  if (line == int(FLines.size()) - 1 && line > 0 && FLines[line].Eol.isEmpty())
    FLines[line - 1].Eol.clear();
  FLines.erase(FLines.begin() + line);
  Save();
  Parse();
}

void TIniFile::Save() {
  const QString failure = QStringLiteral("Unable to write to %1").arg(FFileName);
  // A file we could not read would be replaced by what little we know of it.
  if (FLoadFailed) throw toolkit::EFileError(failure);
  const QFileInfo info(FFileName);
  if (info.exists() && !info.isWritable()) throw toolkit::EFileError(failure);

  QByteArray out = FBom;
  for (const TLine& line : FLines) {
    out += line.Raw;
    out += line.Eol;
  }
  QSaveFile file(FFileName);
  // A folder that does not let us create the temporary file may still let us
  // write the file itself.
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
    throw toolkit::EFileError(failure);
}

}  // namespace dizad::core

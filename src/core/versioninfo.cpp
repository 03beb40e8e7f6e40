#include "core/versioninfo.h"

#include "core/paramstring.h"
#include "toolkit/errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace dizad::core {

using toolkit::EListError;

namespace {

// ---------------------------------------------------------------------------
// Reading the resource out of the PE file. Every offset and size in the file
// is untrusted: each read is checked against the file's size, and the
// resource tree is descended a fixed three levels, so nothing loops.

constexpr quint32 RT_VERSION = 16;
constexpr quint32 VS_VERSION_INFO = 1;
constexpr quint32 ResourceDirectoryIndex = 2;
// wLength of the root block is 16-bit, so no version resource is larger.
constexpr qint64 MaxVersionResource = 0xFFFF;

// Little-endian fields; a read outside the bytes gives 0 (callers check
// their bounds first, this is the last line of defence).
quint16 u16(const QByteArray& b, qint64 at) {
  if (at < 0 || at + 2 > b.size()) return 0;
  return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, qint64 at) {
  if (at < 0 || at + 4 > b.size()) return 0;
  return qFromLittleEndian<quint32>(b.constData() + at);
}

// Positioned reads of a regular file.
class TFileReader {
 public:
  explicit TFileReader(const QString& fileName) {
    const QByteArray name = QFile::encodeName(fileName);
    if (name.isEmpty()) return;
    // O_NONBLOCK: a FIFO or device must not hang the caller; only regular
    // files are read.
    frFd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (frFd < 0) return;
    struct stat st {};
    if (::fstat(frFd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(frFd);
      frFd = -1;
      return;
    }
    frSize = st.st_size;
  }
  ~TFileReader() {
    if (frFd >= 0) ::close(frFd);
  }
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  bool IsOpen() const { return frFd >= 0; }

  // Exactly length bytes at offset, or false.
  bool Read(qint64 offset, qint64 length, QByteArray& out) const {
    if (frFd < 0 || offset < 0 || length < 0 || offset > frSize || length > frSize - offset)
      return false;
    out.resize(length);
    qint64 done = 0;
    while (done < length) {
      const ssize_t n = ::pread(frFd, out.data() + done, static_cast<size_t>(length - done),
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;  // an error, or the file shrank meanwhile
      done += n;
    }
    return true;
  }

 private:
  int frFd = -1;
  qint64 frSize = 0;
};

struct TSection {
  quint32 VirtualAddress;
  quint32 RawSize;
  quint32 RawOffset;
};

// The file offset of length bytes at rva, when one section's raw data holds them all.
bool rvaToOffset(const std::vector<TSection>& sections, quint32 rva, quint32 length,
                 qint64& offset) {
  for (const TSection& s : sections) {
    const quint64 begin = s.VirtualAddress;
    const quint64 end = begin + s.RawSize;
    if (rva >= begin && quint64(rva) + length <= end) {
      offset = qint64(s.RawOffset) + (rva - begin);
      return true;
    }
  }
  return false;
}

// One resource directory: its entries as (name or id, offset) pairs.
struct TResourceEntry {
  quint32 Name;    // high bit set: a named entry
  quint32 Target;  // high bit set: a sub-directory
};

bool readResourceDirectory(const TFileReader& file, const std::vector<TSection>& sections,
                           quint32 rva, std::vector<TResourceEntry>& entries) {
  qint64 offset;
  QByteArray header;
  if (!rvaToOffset(sections, rva, 16, offset) || !file.Read(offset, 16, header)) return false;
  const quint32 count = quint32(u16(header, 12)) + u16(header, 14);
  QByteArray raw;
  if (!rvaToOffset(sections, rva, 16 + count * 8, offset) ||
      !file.Read(offset + 16, qint64(count) * 8, raw))
    return false;
  entries.resize(count);
  for (quint32 i = 0; i < count; ++i) entries[i] = {u32(raw, i * 8), u32(raw, i * 8 + 4)};
  return true;
}

constexpr quint32 HighBit = 0x80000000u;

// The entry with the first preferred id present, else the first entry.
const TResourceEntry* pickEntry(const std::vector<TResourceEntry>& entries,
                                std::initializer_list<quint32> preferred) {
  for (quint32 id : preferred)
    for (const TResourceEntry& e : entries)
      if (e.Name == id) return &e;
  return entries.empty() ? nullptr : &entries.front();
}

QByteArray readVersionResource(const TFileReader& file) {
  QByteArray dos;
  if (!file.Read(0, 64, dos) || dos[0] != 'M' || dos[1] != 'Z') return {};
  const qint64 pe = u32(dos, 0x3C);
  QByteArray coff;
  if (!file.Read(pe, 24, coff) || !coff.startsWith(QByteArrayLiteral("PE\0\0"))) return {};
  const quint32 sectionCount = u16(coff, 6);
  const quint32 optionalSize = u16(coff, 20);
  QByteArray optional;
  if (!file.Read(pe + 24, optionalSize, optional) || optionalSize < 2) return {};

  qint64 countAt, directoriesAt;
  switch (u16(optional, 0)) {
    case 0x10B:  // PE32
      countAt = 92;
      directoriesAt = 96;
      break;
    case 0x20B:  // PE32+
      countAt = 108;
      directoriesAt = 112;
      break;
    default:
      return {};
  }
  const qint64 resourceAt = directoriesAt + ResourceDirectoryIndex * 8;
  if (optionalSize < resourceAt + 8 || u32(optional, countAt) <= ResourceDirectoryIndex) return {};
  const quint32 rootRva = u32(optional, resourceAt);
  if (rootRva == 0 || u32(optional, resourceAt + 4) == 0) return {};

  QByteArray table;
  if (!file.Read(pe + 24 + optionalSize, qint64(sectionCount) * 40, table)) return {};
  std::vector<TSection> sections(sectionCount);
  for (quint32 i = 0; i < sectionCount; ++i)
    sections[i] = {u32(table, i * 40 + 12), u32(table, i * 40 + 16), u32(table, i * 40 + 20)};

  // Type, then name, then language: RT_VERSION, VS_VERSION_INFO (or the
  // first), the neutral language, US English, or whatever comes first.
  std::vector<TResourceEntry> entries;
  if (!readResourceDirectory(file, sections, rootRva, entries)) return {};
  const TResourceEntry* type = nullptr;
  for (const TResourceEntry& e : entries)
    if (e.Name == RT_VERSION) type = &e;
  if (!type || !(type->Target & HighBit)) return {};
  if (!readResourceDirectory(file, sections, rootRva + (type->Target & ~HighBit), entries))
    return {};
  const TResourceEntry* name = pickEntry(entries, {VS_VERSION_INFO});
  if (!name || !(name->Target & HighBit)) return {};
  if (!readResourceDirectory(file, sections, rootRva + (name->Target & ~HighBit), entries))
    return {};
  const TResourceEntry* language = pickEntry(entries, {0x0000, 0x0409});
  if (!language || (language->Target & HighBit)) return {};

  QByteArray dataEntry;
  qint64 offset;
  if (!rvaToOffset(sections, rootRva + language->Target, 16, offset) ||
      !file.Read(offset, 16, dataEntry))
    return {};
  const quint32 dataRva = u32(dataEntry, 0);
  const quint32 dataSize = quint32(std::min<qint64>(u32(dataEntry, 4), MaxVersionResource));
  QByteArray data;
  if (dataSize < 6 || !rvaToOffset(sections, dataRva, dataSize, offset) ||
      !file.Read(offset, dataSize, data))
    return {};
  // The root block says how much of the data is the resource.
  const quint16 rootLength = u16(data, 0);
  if (rootLength < 6) return {};
  if (rootLength < data.size()) data.truncate(rootLength);
  return data;
}

// ---------------------------------------------------------------------------
// Walking the blocks of a version resource. A block is: wLength, wValueLength,
// wType (1 text, 0 binary), a zero-terminated UTF-16 key, padding to 32 bits,
// the value, padding, the children. Offsets are relative to the buffer start.

qint64 align4(qint64 at) {
  return (at + 3) & ~qint64(3);
}

struct TBlock {
  qint64 Start = 0;
  qint64 End = 0;  // Start + wLength, kept inside the parent
  QString Key;
  bool IsText = false;
  qint64 ValueStart = 0;
  qint64 ValueBytes = 0;  // kept inside the block
  qint64 ChildrenStart = 0;
};

bool parseBlock(const QByteArray& buffer, qint64 start, qint64 limit, TBlock& block) {
  if (start < 0 || start + 6 > limit) return false;
  const quint16 length = u16(buffer, start);
  if (length < 6) return false;  // would never advance
  block.Start = start;
  block.End = std::min<qint64>(start + length, limit);
  const quint16 valueLength = u16(buffer, start + 2);
  block.IsText = u16(buffer, start + 4) == 1;

  qint64 at = start + 6;
  block.Key.clear();
  for (;; at += 2) {
    if (at + 2 > block.End) return false;  // the key has no terminator
    const char16_t c = u16(buffer, at);
    if (c == 0) break;
    block.Key.append(QChar(c));
  }
  block.ValueStart = std::min(align4(at + 2), block.End);
  const qint64 declared = block.IsText ? qint64(valueLength) * 2 : valueLength;
  block.ValueBytes = std::min(declared, block.End - block.ValueStart);
  block.ChildrenStart = std::min(align4(block.ValueStart + block.ValueBytes), block.End);
  return true;
}

bool findChild(const QByteArray& buffer, const TBlock& parent, const QString& key, TBlock& child) {
  qint64 at = parent.ChildrenStart;
  while (at + 6 <= parent.End) {
    if (!parseBlock(buffer, at, parent.End, child)) return false;
    if (child.Key.compare(key, Qt::CaseInsensitive) == 0) return true;
    at = align4(child.End);  // End > Start, so this always advances
  }
  return false;
}

// Language names for the identifiers programs commonly carry.
struct TLanguageName {
  quint16 Id;
  const char* Name;
};
constexpr TLanguageName LanguageNameTable[] = {
    {0x0000, "Language Neutral"},
    {0x0401, "Arabic (Saudi Arabia)"},
    {0x0402, "Bulgarian (Bulgaria)"},
    {0x0403, "Catalan (Catalan)"},
    {0x0404, "Chinese (Traditional, Taiwan)"},
    {0x0405, "Czech (Czech Republic)"},
    {0x0406, "Danish (Denmark)"},
    {0x0407, "German (Germany)"},
    {0x0408, "Greek (Greece)"},
    {0x0409, "English (United States)"},
    {0x040A, "Spanish (Spain, Traditional Sort)"},
    {0x040B, "Finnish (Finland)"},
    {0x040C, "French (France)"},
    {0x040D, "Hebrew (Israel)"},
    {0x040E, "Hungarian (Hungary)"},
    {0x040F, "Icelandic (Iceland)"},
    {0x0410, "Italian (Italy)"},
    {0x0411, "Japanese (Japan)"},
    {0x0412, "Korean (Korea)"},
    {0x0413, "Dutch (Netherlands)"},
    {0x0414, "Norwegian, Bokm\xC3\xA5l (Norway)"},
    {0x0415, "Polish (Poland)"},
    {0x0416, "Portuguese (Brazil)"},
    {0x0418, "Romanian (Romania)"},
    {0x0419, "Russian (Russia)"},
    {0x041A, "Croatian (Croatia)"},
    {0x041B, "Slovak (Slovakia)"},
    {0x041C, "Albanian (Albania)"},
    {0x041D, "Swedish (Sweden)"},
    {0x041E, "Thai (Thailand)"},
    {0x041F, "Turkish (Turkey)"},
    {0x0420, "Urdu (Pakistan)"},
    {0x0421, "Indonesian (Indonesia)"},
    {0x0422, "Ukrainian (Ukraine)"},
    {0x0423, "Belarusian (Belarus)"},
    {0x0424, "Slovenian (Slovenia)"},
    {0x0425, "Estonian (Estonia)"},
    {0x0426, "Latvian (Latvia)"},
    {0x0427, "Lithuanian (Lithuania)"},
    {0x0429, "Persian (Iran)"},
    {0x042A, "Vietnamese (Vietnam)"},
    {0x042D, "Basque (Basque)"},
    {0x0436, "Afrikaans (South Africa)"},
    {0x0439, "Hindi (India)"},
    {0x043E, "Malay (Malaysia)"},
    {0x0804, "Chinese (Simplified, China)"},
    {0x0807, "German (Switzerland)"},
    {0x0809, "English (United Kingdom)"},
    {0x080A, "Spanish (Mexico)"},
    {0x080C, "French (Belgium)"},
    {0x0810, "Italian (Switzerland)"},
    {0x0813, "Dutch (Belgium)"},
    {0x0814, "Norwegian, Nynorsk (Norway)"},
    {0x0816, "Portuguese (Portugal)"},
    {0x081D, "Swedish (Finland)"},
    {0x0C04, "Chinese (Traditional, Hong Kong SAR)"},
    {0x0C07, "German (Austria)"},
    {0x0C09, "English (Australia)"},
    {0x0C0A, "Spanish (Spain, International Sort)"},
    {0x0C0C, "French (Canada)"},
    {0x1004, "Chinese (Simplified, Singapore)"},
    {0x1009, "English (Canada)"},
    {0x100C, "French (Switzerland)"},
    {0x1409, "English (New Zealand)"},
    {0x1809, "English (Ireland)"},
};

}  // namespace

QByteArray ReadVersionResource(const QString& Filename) {
  TFileReader file(Filename);
  if (!file.IsOpen()) return {};
  QByteArray data = readVersionResource(file);
  // Data under RT_VERSION that is not a version resource at all counts as none.
  TBlock root;
  if (!parseBlock(data, 0, data.size(), root) || root.Key != QLatin1String("VS_VERSION_INFO"))
    return {};
  return data;
}

bool QueryVersionValue(const QByteArray& Buffer, const QString& SubBlock, const char** Data,
                       int* Length, bool* IsText) {
  TBlock block;
  if (!parseBlock(Buffer, 0, Buffer.size(), block)) return false;
  const QStringList path = SubBlock.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
  for (const QString& key : path) {
    TBlock child;
    if (!findChild(Buffer, block, key, child)) return false;
    block = child;
  }
  if (IsText) *IsText = block.IsText;
  *Data = Buffer.constData() + block.ValueStart;
  if (!block.IsText) {
    *Length = int(block.ValueBytes);
    return true;
  }
  // Writers disagree on whether wValueLength counts characters or bytes; the
  // text ends at its terminating zero (or the block's end) either way.
  qint64 chars = 0;
  while (block.ValueStart + chars * 2 + 2 <= block.End &&
         u16(Buffer, block.ValueStart + chars * 2) != 0)
    ++chars;
  *Length = int(chars);
  return true;
}

QString VersionLanguageName(quint16 LanguageID) {
  for (const TLanguageName& entry : LanguageNameTable)
    if (entry.Id == LanguageID) return QString::fromUtf8(entry.Name);
  const quint16 primary = LanguageID & 0x3FF;
  for (const TLanguageName& entry : LanguageNameTable)
    if ((entry.Id & 0x3FF) == primary) {
      const QString name = QString::fromUtf8(entry.Name);
      return name.left(name.indexOf(QLatin1String(" (")));
    }
  return QStringLiteral("Unknown language (0x%1)")
      .arg(QString::number(LanguageID, 16).rightJustified(4, QLatin1Char('0')).toUpper());
}

TVersionInfo::TVersionInfo(const QString& Filename) {
  FVersionBuffer = ReadVersionResource(Filename);
  if (FVersionBuffer.isEmpty()) return;
  FValid = true;

  const char* data;
  int length;
  bool isText;
  // The fixed information is only trusted with its signature and full size.
  if (QueryVersionValue(FVersionBuffer, QStringLiteral("\\"), &data, &length, &isText) && !isText &&
      length >= 13 * 4 && qFromLittleEndian<quint32>(data) == 0xFEEF04BDu)
    FFileInfo = data;
  if (QueryVersionValue(FVersionBuffer, QStringLiteral("\\VarFileInfo\\Translation"), &data,
                        &length, &isText) &&
      !isText && length >= 4) {
    FTranslationTable = data;
    FTranslationCount = length / 4;
  }
}

TVersionInfo::~TVersionInfo() = default;

quint32 TVersionInfo::FixedField(int Index) const {
  if (!FValid || !FFileInfo) return 0;
  return qFromLittleEndian<quint32>(FFileInfo + Index * 4);
}

// VS_FIXEDFILEINFO: signature, structure version, file version MS/LS, product
// version MS/LS, flags mask, flags, OS, type, subtype, date MS/LS.
quint64 TVersionInfo::FileVersion() const {
  return (quint64(FixedField(2)) << 32) | FixedField(3);
}
quint64 TVersionInfo::ProductVersion() const {
  return (quint64(FixedField(4)) << 32) | FixedField(5);
}
quint32 TVersionInfo::FileFlags() const {
  return FixedField(7) & FixedField(6);
}
quint32 TVersionInfo::OS() const {
  return FixedField(8);
}
quint32 TVersionInfo::FileType() const {
  return FixedField(9);
}
quint32 TVersionInfo::FileSubType() const {
  return FixedField(10);
}
quint64 TVersionInfo::FileDate() const {
  return (quint64(FixedField(11)) << 32) | FixedField(12);
}

TTranslationRec TVersionInfo::Translation(int Index) const {
  if (!FValid || Index < 0 || Index >= FTranslationCount)
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
  const char* entry = FTranslationTable + Index * 4;
  return {qFromLittleEndian<quint16>(entry), qFromLittleEndian<quint16>(entry + 2)};
}

quint16 TVersionInfo::LanguageID(int Index) const {
  return Translation(Index).LanguageID;
}
quint16 TVersionInfo::CharsetID(int Index) const {
  return Translation(Index).CharsetID;
}
QString TVersionInfo::LanguageNames(int Index) const {
  return VersionLanguageName(Translation(Index).LanguageID).left(255);
}

QString TVersionInfo::GetString(const QString& Key, quint16 LanguageID, quint16 CharsetID) const {
  const QString id = QStringLiteral("%1%2")
                         .arg(LanguageID, 4, 16, QLatin1Char('0'))
                         .arg(CharsetID, 4, 16, QLatin1Char('0'))
                         .toUpper();
  return GetString(Key, id);
}

QString TVersionInfo::GetString(const QString& Key, const QString& TranslationID) const {
  if (!FValid) return {};
  const char* data;
  int length;
  bool isText;
  if (!QueryVersionValue(FVersionBuffer,
                         QStringLiteral("\\StringFileInfo\\%1\\%2").arg(TranslationID, Key), &data,
                         &length, &isText) ||
      !isText)
    return {};
  QString text(length, Qt::Uninitialized);
  for (int i = 0; i < length; ++i) text[i] = QChar(qFromLittleEndian<char16_t>(data + i * 2));
  return text;
}

QString TVersionInfo::GetString(const QString& Key, int Index) const {
  const TTranslationRec t = Translation(Index);
  return GetString(Key, t.LanguageID, t.CharsetID);
}

QString TVersionInfo::VersionToString(quint64 Version) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg((Version >> 48) & 0xFFFF)
      .arg((Version >> 32) & 0xFFFF)
      .arg((Version >> 16) & 0xFFFF)
      .arg(Version & 0xFFFF);
}

quint64 TVersionInfo::StringToVersion(const QString& Value) {
  const QStringList parts = Value.split(QLatin1Char('.'));
  quint64 version = 0;
  for (int i = 0; i < 4; ++i) {
    quint64 part = 0;
    if (i < parts.size()) {
      part = quint64(qint64(strToInt(parts[i]))) & 0xFFFF;
    }
    version |= part << (48 - 16 * i);
  }
  return version;
}

}  // namespace dizad::core

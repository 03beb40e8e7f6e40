#pragma once
// TIniFile: the program's INI reader and writer (skin, file types, file groups,
// and the parameter string's INI operations).
//
// Reading: sections and keys in file order; lines are trimmed; blank lines and
// lines starting with ";" are skipped; "[Name]" starts a section; "key=value"
// is split at the first "=" with both sides trimmed; other lines are ignored.
// Section and key lookups ignore letter case. When a section name occurs twice
// the first occurrence wins: the later one's keys are not seen (the same holds
// for a key repeated inside one section).
//
// Encoding: a UTF-8 or UTF-16 (LE/BE) byte-order mark decides; without one the
// text is UTF-8, and bytes that are not UTF-8 read as Latin-1 characters, so
// old single-byte files load as their authors wrote them.
//
// Writing changes one line in place (or inserts one) and leaves every other
// byte of the file as it was: encoding, byte-order mark and line endings are
// kept. Each write reaches the disk at once (atomically where the folder
// allows it). A write the file system refuses raises EFileError
// "Unable to write to <file>".
//
// An instance belongs to one thread at a time; it holds the file's content,
// read once when it is created.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace dizad::core {

class TIniFile {
 public:
  enum class TEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Latin1 };

  // Reads FileName; a missing file gives an empty INI (a write creates it).
  explicit TIniFile(const QString& FileName);

  const QString& FileName() const { return FFileName; }
  TEncoding Encoding() const { return FEncoding; }

  QStringList ReadSections() const;
  // Key names of Section in file order.
  QStringList ReadSection(const QString& Section) const;
  // "key=value" lines of Section in file order.
  QStringList ReadSectionValues(const QString& Section) const;
  bool SectionExists(const QString& Section) const;
  bool ValueExists(const QString& Section, const QString& Ident) const;

  QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
  // Default when the key is missing or its text is no integer.
  qint32 ReadInteger(const QString& Section, const QString& Ident, qint32 Default) const;
  // Default when the key is missing or its text is no boolean.
  bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;

  // Line breaks inside Value become spaces: one key is one line.
  void WriteString(const QString& Section, const QString& Ident, const QString& Value);
  void WriteInteger(const QString& Section, const QString& Ident, qint32 Value);
  void WriteBool(const QString& Section, const QString& Ident, bool Value);
  // Removes the key's line; nothing happens when there is no such key.
  void DeleteKey(const QString& Section, const QString& Ident);

 private:
  struct TLine {
    QString Text;    // decoded, untrimmed
    QByteArray Raw;  // the line's bytes as in the file, without the line end
    QByteArray Eol;  // the line end's bytes ("" for a last line without one)
  };
  struct TKey {
    QString Name;
    QString Value;
    int Line = -1;
  };
  struct TSection {
    QString Name;
    int LastLine = -1;  // header or last key line: where a new key goes
    std::vector<TKey> Keys;
    QHash<QString, int> Index;  // lower-cased key name -> first key
  };

  void Load();
  void Parse();
  void Save();
  const TKey* FindKey(const QString& Section, const QString& Ident) const;
  TSection* FindSection(const QString& Section);
  const TSection* FindSection(const QString& Section) const;
  QByteArray Encode(const QString& text) const;
  TLine MakeLine(const QString& text) const;

  QString FFileName;
  TEncoding FEncoding = TEncoding::Utf8;
  QByteArray FBom;                // byte-order mark as found (written back unchanged)
  QByteArray FDefaultEol = "\n";  // line end for new lines: the file's first, else "\n"
  bool FLoadFailed = false;       // the file exists but could not be read: never overwrite it
  std::vector<TLine> FLines;
  std::vector<TSection> FSections;    // first occurrences, in file order
  QHash<QString, int> FSectionIndex;  // lower-cased name -> FSections index
};

}  // namespace dizad::core

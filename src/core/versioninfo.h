#pragma once
// TVersionInfo: the version resource of a Windows program or library file
// (PE32 or PE32+): the fixed part (version numbers, flags, type, date), the
// translation table and the string tables ("ProductName", "FileDescription"
// and the like). The file is read once, by the constructor; any other file,
// or a damaged one, simply has no version information. Plain object, usable
// on any thread; an instance is not shared between threads.
//
// Field prefix: F (the buffer and the pointers into it).

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace dizad::core {

// One entry of the translation table, as stored in the resource.
struct TTranslationRec {
  quint16 LanguageID;  // a language identifier such as 0x0409
  quint16 CharsetID;   // a code page such as 1200
};

class TVersionInfo {
 public:
  // Reads the version resource of Filename; a missing, unreadable or foreign
  // file leaves the object not Valid.
  explicit TVersionInfo(const QString& Filename);
  ~TVersionInfo();
  TVersionInfo(const TVersionInfo&) = delete;
  TVersionInfo& operator=(const TVersionInfo&) = delete;

  bool Valid() const { return FValid; }

  // 0 when not Valid or without fixed information.
  quint64 FileVersion() const;
  quint64 ProductVersion() const;
  quint32 FileFlags() const;  // the flags masked by the flags mask
  quint32 OS() const;
  quint32 FileType() const;
  quint32 FileSubType() const;
  quint64 FileDate() const;  // most significant word in the high 32 bits

  int TranslationCount() const { return FTranslationCount; }
  // The Index-th translation; throw toolkit::EListError
  // "List index out of bounds (%d)" outside 0 ... TranslationCount - 1.
  quint16 LanguageID(int Index) const;
  quint16 CharsetID(int Index) const;
  QString LanguageNames(int Index) const;

  // The string Key of the first translation (throws like the indexed forms).
  QString Strings(const QString& Key) const { return GetString(Key, 0); }
  // The string Key of a translation; empty text when the table or the key is
  // missing or the object is not Valid. Table names and keys ignore ASCII case.
  QString GetString(const QString& Key, quint16 LanguageID, quint16 CharsetID) const;
  QString GetString(const QString& Key, const QString& TranslationID) const;
  QString GetString(const QString& Key, int Index) const;  // throws like LanguageID

  // "major.minor.release.build"; the inverse of StringToVersion.
  static QString VersionToString(quint64 Version);
  // Up to four dot-separated integers (further parts ignored, missing parts 0),
  // each cut to its low 16 bits. A part that is not an integer throws
  // toolkit::EConvertError "'%s' is not a valid integer value".
  static quint64 StringToVersion(const QString& Value);

 private:
  TTranslationRec Translation(int Index) const;
  quint32 FixedField(int Index) const;

  QByteArray FVersionBuffer;  // the whole resource; empty when the file has none
  bool FValid = false;
  const char* FFileInfo = nullptr;          // VS_FIXEDFILEINFO in FVersionBuffer, or none
  const char* FTranslationTable = nullptr;  // little-endian TTranslationRec entries
  qint32 FTranslationCount = 0;
};

// The raw version resource of a PE file (VS_VERSIONINFO with everything below
// it); empty when the file is not a PE file or has none.
QByteArray ReadVersionResource(const QString& Filename);

// Looks up a value below a version resource by its path ("\" for the fixed
// information, "\VarFileInfo\Translation", "\StringFileInfo\040904B0\ProductName").
// Data points into Buffer; Length is in bytes for binary values and in
// characters (without the terminating zero) for text values.
bool QueryVersionValue(const QByteArray& Buffer, const QString& SubBlock, const char** Data,
                       int* Length, bool* IsText = nullptr);

// The display name of a language identifier, such as "English (United States)".
// Identifiers not in the table fall back to their primary language
// ("English" for 0x2C09); unknown primary languages give
// "Unknown language (0xXXXX)".
QString VersionLanguageName(quint16 LanguageID);

}  // namespace dizad::core

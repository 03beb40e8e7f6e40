#pragma once
// The file-type registry: maps a type token (".jpg", ".mp3") to a file type
// ("*Graphical", "*Audio") from the sections of "FileTypes.dez".
//
// Field prefixes: e = TExtensionData, em = TExtensionManager.
//
// Loaded once on the GUI thread when the explorer is created, read-only
// afterwards; the GUI thread and the folders' sub-item tasks read it without a
// lock.

#include "core/paramstring.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace dizad::classify {

// The file type every token without a "Type" parameter has.
inline const QString kPlainFileType = QStringLiteral("*File");

// One section of the file-type file.
class TExtensionData {
 public:
  QString eID = kPlainFileType;  // the section name, normally one token
  core::TParamString eParams;    // the section's "Params" value
  QStringList eMenuItems;        // the other key names, in file order

  // The "Type" parameter, "*File" when there is none.
  void GetFileType(QString& Result) const;
  QString FileType() const;
  // The id names a file type rather than a token.
  bool IsFileType() const;
  // Drops every menu line containing "Params" (letter case counts).
  void RemoveParams();
};

class TExtensionManager {
 public:
  // Reads "FileTypes.dez:\"; a missing file leaves the registry empty.
  void Load();
  // Reads the given file (tests, tools); appends to what is loaded.
  void LoadFrom(const QString& FileName);

  // The first entry in file order whose id contains ExtID, letter case
  // ignored. False (and Data untouched) when none does or ExtID is empty.
  bool GetExtantionData(const QString& ExtID, const TExtensionData*& Data) const;

  const std::vector<std::unique_ptr<TExtensionData>>& Entries() const { return emList; }

 private:
  std::vector<std::unique_ptr<TExtensionData>> emList;  // owned, in file order
};

// Lower-casing for the registries' comparisons. Locale-independent, so that a
// Turkish user locale does not turn "I" into a dotless "ı" and miss ".ICO".
inline QString classifyLower(const QString& text) {
  return text.toLower();
}

}  // namespace dizad::classify

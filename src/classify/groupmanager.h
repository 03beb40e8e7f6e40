#pragma once
// The file-group registry: groupings of groups, read from "FileGroups.dez".
// Each group claims file types ("*Graphical") and type tokens (".psd") and
// carries its header settings (Caption, Icon, Collapsed). The program uses the
// grouping "SmartGrouping": an item asks which group claims its token, a
// folder asks for the settings of a group it creates.
//
// Field prefixes: gi = TGroupItem, gd = TGroupType, gm = TGroupManager.
//
// Loaded once on the GUI thread when the explorer is created, read-only
// afterwards; the GUI thread and the folders' sub-item tasks read it without a
// lock.

#include "classify/extensionmanager.h"
#include "core/paramstring.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace dizad::classify {

inline const QString kSmartGrouping = QStringLiteral("SmartGrouping");

// One group of a grouping.
class TGroupItem {
 public:
  QString giID;                 // the group id, such as "#Graphics"
  core::TParamString giParams;  // the group's settings
  QStringList giExtensions;     // pieces of "Extensions", spaces removed, in order

  // Refills giExtensions from the "Extensions" parameter; an empty or missing
  // parameter leaves the list as it is.
  void GetExtensions();
  // True when a piece claims ExtID: a file-type piece (with "*") when
  // Extensions gives ExtID that type, a token piece when it contains ExtID;
  // letter case ignored on both sides.
  bool HasExtension(const QString& ExtID, const TExtensionManager* Extensions) const;
};

// One grouping (an INI section).
class TGroupType {
 public:
  QString gdID;                                       // the section name
  core::TParamString gdParams;                        // the section's "Params" (unused)
  std::vector<std::unique_ptr<TGroupItem>> gdGroups;  // owned, in file order
};

class TGroupManager {
 public:
  // Extensions answers the file-type pieces; not owned, it must outlive this
  // registry (the explorer owns both and frees this one first).
  explicit TGroupManager(const TExtensionManager* Extensions = nullptr)
      : gmExtensions(Extensions) {}

  // Reads "FileGroups.dez:\"; a missing file leaves the registry empty.
  void Load();
  // Reads the given file (tests, tools); appends to what is loaded.
  void LoadFrom(const QString& FileName);

  // The first group, in file order, of the groupings named exactly
  // GroupModeID that claims Extension. GroupItem untouched when none does.
  bool GetGroupData(const QString& GroupModeID, const QString& Extension,
                    const TGroupItem*& GroupItem) const;
  // A copy of the settings of the first group whose id equals GroupID
  // (letter case ignored) in the groupings named exactly GroupModeID.
  bool GetGroupParams(const QString& GroupModeID, const QString& GroupID,
                      core::TParamString& Params) const;

  const std::vector<std::unique_ptr<TGroupType>>& Groupings() const { return gmList; }

 private:
  const TExtensionManager* gmExtensions;            // not owned
  std::vector<std::unique_ptr<TGroupType>> gmList;  // owned, in file order
};

}  // namespace dizad::classify

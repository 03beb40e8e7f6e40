#include "classify/groupmanager.h"

#include "core/inifile.h"
#include "core/virtualpath.h"

#include <QFileInfo>

namespace dizad::classify {

void TGroupItem::GetExtensions() {
  const QString value = giParams.GetParam(QStringLiteral("Extensions"), QString(), core::pdRound);
  if (value.isEmpty()) return;
  giExtensions.clear();
  // Empty pieces stay: they match nothing, and the positions stay those of the file.
  for (QString piece : value.split(QLatin1Char(';'))) {
    piece.remove(QLatin1Char(' '));
    giExtensions.append(piece);
  }
}

bool TGroupItem::HasExtension(const QString& ExtID, const TExtensionManager* Extensions) const {
  if (ExtID.isEmpty()) return false;
  const QString wanted = classifyLower(ExtID);
  for (const QString& piece : giExtensions) {
    if (piece.contains(QLatin1Char('*'))) {
      const TExtensionData* data = nullptr;
      if (Extensions && Extensions->GetExtantionData(ExtID, data) &&
          classifyLower(data->FileType()) == classifyLower(piece))
        return true;
    } else if (classifyLower(piece).contains(wanted)) {
      return true;
    }
  }
  return false;
}

void TGroupManager::Load() {
  LoadFrom(core::ExpandVirtualPath(QStringLiteral("FileGroups.dez:\\")));
}

void TGroupManager::LoadFrom(const QString& FileName) {
  if (!QFileInfo(FileName).isFile()) return;
  const core::TIniFile ini(FileName);
  for (const QString& section : ini.ReadSections()) {
    auto grouping = std::make_unique<TGroupType>();
    grouping->gdID = section;
    grouping->gdParams.PS_STRING = ini.ReadString(section, QStringLiteral("Params"), QString());
    for (const QString& key : ini.ReadSection(section)) {
      if (key.contains(QLatin1String("Params"))) continue;
      auto group = std::make_unique<TGroupItem>();
      group->giID = key;
      group->giParams.PS_STRING = ini.ReadString(section, key, QString());
      group->GetExtensions();
      grouping->gdGroups.push_back(std::move(group));
    }
    gmList.push_back(std::move(grouping));
  }
}

bool TGroupManager::GetGroupData(const QString& GroupModeID, const QString& Extension,
                                 const TGroupItem*& GroupItem) const {
  for (const auto& grouping : gmList) {
    if (grouping->gdID != GroupModeID) continue;
    for (const auto& group : grouping->gdGroups) {
      if (group->HasExtension(Extension, gmExtensions)) {
        GroupItem = group.get();
        return true;
      }
    }
  }
  return false;
}

bool TGroupManager::GetGroupParams(const QString& GroupModeID, const QString& GroupID,
                                   core::TParamString& Params) const {
  const QString wanted = classifyLower(GroupID);
  for (const auto& grouping : gmList) {
    if (grouping->gdID != GroupModeID) continue;
    for (const auto& group : grouping->gdGroups) {
      if (classifyLower(group->giID) == wanted) {
        Params = group->giParams;
        return true;
      }
    }
  }
  return false;
}

}  // namespace dizad::classify

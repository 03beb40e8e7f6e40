#include "classify/extensionmanager.h"

#include "core/inifile.h"
#include "core/virtualpath.h"

#include <QFileInfo>

namespace dizad::classify {

void TExtensionData::GetFileType(QString& Result) const {
  Result = eParams.GetParam(QStringLiteral("Type"), kPlainFileType, core::pdRound);
}

QString TExtensionData::FileType() const {
  QString result;
  GetFileType(result);
  return result;
}

bool TExtensionData::IsFileType() const {
  return eID.contains(QLatin1Char('*'));
}

void TExtensionData::RemoveParams() {
  for (qsizetype i = eMenuItems.size() - 1; i >= 0; --i) {
    if (eMenuItems.at(i).contains(QLatin1String("Params"))) eMenuItems.removeAt(i);
  }
}

void TExtensionManager::Load() {
  LoadFrom(core::ExpandVirtualPath(QStringLiteral("FileTypes.dez:\\")));
}

void TExtensionManager::LoadFrom(const QString& FileName) {
  if (!QFileInfo(FileName).isFile()) return;
  const core::TIniFile ini(FileName);
  for (const QString& section : ini.ReadSections()) {
    auto entry = std::make_unique<TExtensionData>();
    entry->eID = section;
    entry->eParams.PS_STRING = ini.ReadString(section, QStringLiteral("Params"), QString());
    entry->eMenuItems = ini.ReadSection(section);
    entry->RemoveParams();
    emList.push_back(std::move(entry));
  }
}

bool TExtensionManager::GetExtantionData(const QString& ExtID, const TExtensionData*& Data) const {
  // An empty text is never found inside another.
  if (ExtID.isEmpty()) return false;
  const QString wanted = classifyLower(ExtID);
  for (const auto& entry : emList) {
    if (classifyLower(entry->eID).contains(wanted)) {
      Data = entry.get();
      return true;
    }
  }
  return false;
}

}  // namespace dizad::classify

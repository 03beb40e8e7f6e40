#include "app/globals.h"

namespace dizad {

app::TZR_Main* ZR_Main = nullptr;
skin::TSmartSkin* SmartSkin = nullptr;
app::TExplorer* Explorer = nullptr;
chrome::TTabBar* TabBar = nullptr;
chrome::TPathBar* PathBar = nullptr;
bool MainReady = false;

}  // namespace dizad

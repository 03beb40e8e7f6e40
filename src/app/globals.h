#pragma once
// Process-wide references, set once while the main window is created and read
// everywhere afterwards. They are cleared before the objects they name go away.
// GUI thread only.

namespace dizad {

namespace app {
class TZR_Main;
class TExplorer;
}  // namespace app
namespace chrome {
class TTabBar;
class TPathBar;
}  // namespace chrome
namespace skin {
class TSmartSkin;
}  // namespace skin

extern app::TZR_Main* ZR_Main;
extern skin::TSmartSkin* SmartSkin;
extern app::TExplorer* Explorer;
extern chrome::TTabBar* TabBar;
extern chrome::TPathBar* PathBar;
// False while the main window's creation runs; the tab bar ignores resize
// requests until it is true.
extern bool MainReady;

}  // namespace dizad

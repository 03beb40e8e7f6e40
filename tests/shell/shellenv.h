#pragma once
// The hermetic desktop of the shell tests: its own XDG data, config and cache
// folders, applications whose programs are scripts on a private PATH, and no
// session bus. It is set up before main(), so before GIO first reads the
// environment.

#include <QString>

namespace dizad::test {

struct TShellEnv {
  QString Root;        // everything below lives here
  QString BinDir;      // first on PATH: dizad-viewer, dizad-paint, dizad-notes
  QString LaunchDir;   // each program writes its arguments to <LaunchDir>/<program>
  QString CacheDir;    // XDG_CACHE_HOME
  QString ViewerIcon;  // the PNG that the viewer's desktop file names as its icon
};

const TShellEnv& shellEnv();

}  // namespace dizad::test

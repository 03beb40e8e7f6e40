#include "shellenv.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>

namespace dizad::test {

namespace {

void writeFile(const QString& path, const QByteArray& text, bool executable = false) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) std::abort();
  f.write(text);
  f.close();
  if (executable)
    f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

class THermeticDesktop {
 public:
  THermeticDesktop() {
    if (!hdDir.isValid()) std::abort();
    TShellEnv& e = hdEnv;
    e.Root = hdDir.path();
    e.BinDir = e.Root + QStringLiteral("/bin");
    e.LaunchDir = e.Root + QStringLiteral("/launched");
    e.CacheDir = e.Root + QStringLiteral("/cache");
    e.ViewerIcon = e.Root + QStringLiteral("/viewer-icon.png");
    QDir().mkpath(e.LaunchDir);
    QDir().mkpath(e.CacheDir);

    // Shared MIME data and icons from the system, applications only our own.
    const QString sys = e.Root + QStringLiteral("/sys");
    QDir().mkpath(sys);
    QFile::link(QStringLiteral("/usr/share/mime"), sys + QStringLiteral("/mime"));
    QFile::link(QStringLiteral("/usr/share/icons"), sys + QStringLiteral("/icons"));

    for (const char* program : {"dizad-viewer", "dizad-paint", "dizad-notes"}) {
      writeFile(e.BinDir + QLatin1Char('/') + QLatin1String(program),
                QByteArray("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$DIZAD_LAUNCH_DIR/") + program +
                    ".tmp\"\nmv \"$DIZAD_LAUNCH_DIR/" + program + ".tmp\" \"$DIZAD_LAUNCH_DIR/" +
                    program + "\"\n",
                true);
    }
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(QColor(10, 200, 30));
    icon.save(e.ViewerIcon, "PNG");

    const QString apps = e.Root + QStringLiteral("/data/applications/");
    writeFile(apps + QStringLiteral("dizad-viewer.desktop"),
              "[Desktop Entry]\nType=Application\nName=Dizad Viewer\nExec=dizad-viewer %f\n"
              "MimeType=image/jpeg;image/png;\nIcon=" +
                  e.ViewerIcon.toUtf8() + "\n");
    writeFile(apps + QStringLiteral("dizad-paint.desktop"),
              "[Desktop Entry]\nType=Application\nName=Dizad Paint\nExec=dizad-paint %U\n"
              "MimeType=image/jpeg;\n");
    writeFile(apps + QStringLiteral("dizad-notes.desktop"),
              "[Desktop Entry]\nType=Application\nName=Dizad Notes\nExec=dizad-notes %f\n"
              "MimeType=text/plain;\n");
    // Registered but its program is nowhere: it cannot open anything.
    writeFile(apps + QStringLiteral("dizad-ghost.desktop"),
              "[Desktop Entry]\nType=Application\nName=Dizad Ghost\nExec=dizad-ghost-missing %f\n"
              "MimeType=image/jpeg;text/plain;\n");
    writeFile(e.Root + QStringLiteral("/config/mimeapps.list"),
              "[Default Applications]\nimage/jpeg=dizad-viewer.desktop\n"
              "text/plain=dizad-notes.desktop\n");
    const QByteArray update = "update-desktop-database " + QFile::encodeName(apps) + " 2>/dev/null";
    if (std::system(update.constData()) != 0) {
      // GIO reads the desktop files itself; the cache only speeds it up.
    }

    qputenv("XDG_DATA_HOME", QFile::encodeName(e.Root + QStringLiteral("/data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(sys));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(e.Root + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(e.Root + QStringLiteral("/config-sys")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(e.CacheDir));
    qputenv("DIZAD_LAUNCH_DIR", QFile::encodeName(e.LaunchDir));
    qputenv("PATH", QFile::encodeName(e.BinDir) + ':' + qgetenv("PATH"));
    // No desktop session: GIO must not try to start a bus for the launches.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/dizad-test-bus");
    // GIO's built-in modules only: the desktop's volume monitors need that bus.
    QDir().mkpath(e.Root + QStringLiteral("/gio-modules"));
    qputenv("GIO_MODULE_DIR", QFile::encodeName(e.Root + QStringLiteral("/gio-modules")));
  }

  const TShellEnv& Env() const { return hdEnv; }

 private:
  QTemporaryDir hdDir;
  TShellEnv hdEnv;
};

// Built during static initialisation, before main() and so before any GIO call.
const THermeticDesktop desktop;

}  // namespace

const TShellEnv& shellEnv() {
  return desktop.Env();
}

}  // namespace dizad::test

#pragma once
// File associations: the program that opens a file, the "open with" handlers
// of a file type, and opening a file with its default application.
//
// A file's type is the content type GIO guesses from its name; its programs
// are the desktop applications registered for that type. A program is named
// by the full path of its executable (found on PATH) and shown by the
// application's display name. Any thread: GIO guards its application data.

#include "toolkit/gobjectptr.h"

#include <gio/gio.h>

#include <QString>
#include <QStringList>
#include <functional>

namespace dizad::shell {

// Filters of EnumOpenWithHandlers (the shell's ASSOC_FILTER values).
constexpr quint32 ASSOC_FILTER_NONE = 0;         // every handler of the type
constexpr quint32 ASSOC_FILTER_RECOMMENDED = 1;  // the recommended ones

// One program that can open a file type (fields: "ah").
class TAssocHandler {
 public:
  TAssocHandler(toolkit::TGObjectPtr<GAppInfo> app, QString name, QString uiName)
      : ahApp(std::move(app)), ahName(std::move(name)), ahUIName(std::move(uiName)) {}

  // Full path of the program's executable.
  const QString& GetName() const { return ahName; }
  // The application's display name.
  const QString& GetUIName() const { return ahUIName; }
  // The application's themed icon names, best first (or one icon file path).
  QStringList IconNames() const;
  // Opens the file (a path or URI) with this program; false when it could not start.
  bool Invoke(const QString& path) const;
  GAppInfo* AppInfo() const { return ahApp.get(); }

 private:
  toolkit::TGObjectPtr<GAppInfo> ahApp;
  QString ahName;
  QString ahUIName;
};

// The path of the program that opens File by default (the default application
// of its content type, as its executable's full path), or empty text.
QString AssociatedExecutable(const QString& File);

// Calls Callback for each handler of the type of Extension (".jpg"; the dot may
// be left out): the recommended ones for ASSOC_FILTER_RECOMMENDED, all for
// ASSOC_FILTER_NONE. Nothing for an empty extension or an unknown type.
void EnumOpenWithHandlers(const QString& Extension, quint32 Filter,
                          const std::function<void(const TAssocHandler&)>& Callback);

// Opens a file (a path or URI) with its default application. Never runs the
// file itself. Failures are silent; the result tells whether a program started.
bool ShellOpenFile(const QString& Path);

// The content type of a path as the associations see it: "inode/directory"
// for a directory, else the type guessed from the name.
QString contentTypeOfPath(const QString& path);

// The full path of an application's executable, found on PATH; empty when it
// cannot be found.
QString executablePath(GAppInfo* app);

// The desktop application whose executable is the file at path; none when
// there is none.
toolkit::TGObjectPtr<GAppInfo> applicationOfExecutable(const QString& path);

}  // namespace dizad::shell

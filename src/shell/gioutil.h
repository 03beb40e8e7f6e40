#pragma once
// Small conversions between GLib/GIO values and Qt texts. Any thread.

#include "toolkit/gobjectptr.h"

#include <gio/gio.h>

#include <QString>
#include <QStringList>

namespace dizad::shell {

// The text of a string GLib allocated for the caller, which is freed.
QString takeString(gchar* text);
// The URI of a file, as text.
QString uriOf(GFile* file);
// The scheme of a URI, lower-cased ("mtp" for "mtp://…"); empty for plain paths.
QString schemeOf(const QString& uri);
// The names of a themed icon, best first; for a file icon its one absolute path.
QStringList iconNames(GIcon* icon);

}  // namespace dizad::shell

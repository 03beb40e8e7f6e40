#pragma once
// The computer folder: the drives and portable devices of the machine.
//
// Lists the root file system "/" first (a fixed drive), then every mount that
// GIO's volume monitor reports (user-visible local mounts, network and gvfs
// mounts), then portable devices that GIO reports as volumes with an mtp://,
// gphoto2:// or afc:// activation root and that are not mounted yet. The drive
// kind of a local mount comes from the mount table (volume.h), refined by
// GIO: a mount that can be ejected or sits on a removable drive is removable;
// a mount whose root is not local is a network drive, or a portable device for
// the device schemes.
//
// GIO's volume monitor belongs to the GUI thread: listDrives hands itself over
// there when called elsewhere. driveIconNames may be called on any thread.

#include "shell/itemidlist.h"

#include <QStringList>
#include <vector>

namespace dizad::shell {

std::vector<TItemIdList> listDrives();

// The themed icon names of the drive whose root (path or URI) is root, as the
// last listing found them; empty when root is no listed drive.
QStringList driveIconNames(const QString& root);

// True for the schemes of portable devices.
bool isDeviceScheme(const QString& scheme);

}  // namespace dizad::shell

#pragma once

#include "XService.h"

#include <QtCore/QString>

namespace xInternet {

// The two steps of an update started from a phone. The download runs on the connection
// thread: empty on success, else the message for the user; by default the update server's
// download, given up when the web service stops. The launcher starts the downloaded updater
// and lets the program close; the program installs it (it must hand the work to the UI
// thread). Without a launcher the update route refuses, so a test never starts anything.
XHook<QString()>& WebUpdaterDownload();
XHook<void()>& WebUpdaterLauncher();

} // namespace xInternet

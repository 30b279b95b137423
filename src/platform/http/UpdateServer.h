#pragma once

#include <QtCore/QString>

class XEvent;

// The update server: it serves the version document and the updater program. Its address
// is the environment's LORVAN_UPDATE_SERVER ("http://127.0.0.1:8080" in tests) or the one
// the build was configured with.
QString UpdateServerUrl();
QString VersionDocumentUrl();
QString UpdaterUrl();

// The updater's place in the program's folder.
QString UpdaterPath();

// The version document from the update server (UTF-8 text); empty when it could not be had
// within 10 seconds, or when abort was set meanwhile.
QString FetchVersionXml(const XEvent& abort);

// Downloads the updater into the program's folder. Empty on success, else the message for
// the user. On the UI thread the download shows a progress window (after the server
// answered with the file's length); elsewhere (a web connection) it shows none.
QString DownloadUpdater(const XEvent* abort);

#pragma once

#include <QtCore/QString>

#include <functional>

class QObject;
class XAppServices;
class XEditServices;
class XModuleHost;

// The one place where the program fills the seams through which the lower layers reach the
// shell. Every seam is an installable service (XService.h): installing returns the previous
// one, null means the layer's built-in behaviour.

// The module layer's own answers to the controls: link actions, the record pickers, the
// record list's open and column-scheme hooks, and the edit page of every module in the
// module table.
void InstallModuleLayerSeams();
void RemoveModuleLayerSeams();

// Start-up, before the database: the application object, the error sink (a dialog on the UI
// thread, a log row elsewhere) and the module layer's seams.
void InstallProgramSeams(XAppServices& app);
// Shut-down, after the database: back to the built-in behaviour of every seam.
void RemoveProgramSeams();

// What the main frame brings once it exists: the module windows, the window that receives
// posted notifications, printing and WeChat for the edit frame, and the name of the active
// module for an empty list. Null (or empty) arguments put the built-in behaviour back.
void InstallFrameSeams(XModuleHost* host, QObject* mainWindow, XEditServices* editServices,
                       std::function<QString()> activeModuleName);

#pragma once

#include <QtCore/QString>

// The program's launchers in the desktop's places: a desktop entry file named after the
// application title in the desktop folder, the applications menu folder or the autostart
// folder. The quick-launch bar has no place on this desktop: its command never finds one.
namespace XShortcuts {

// The folder of a shortcut command (ID_SHORTCUT_*); empty when the desktop has none for it.
QString Folder(int id);
// The launcher file of a shortcut command; empty when its folder cannot be found.
QString File(int id, const QString& title);
// A desktop entry that starts the program; the data folder named by LORVAN_HOME, when set,
// goes with it, so the launcher opens this installation's data and not the program folder's.
QString EntryText(const QString& program, const QString& home, const QString& title);
// Writes the launcher (creating the menu and autostart folders when missing); on failure
// the system's reason is returned in error.
bool Create(const QString& file, const QString& program, const QString& home, const QString& title, QString& error);

} // namespace XShortcuts

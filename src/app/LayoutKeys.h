#pragma once

#include <QtCore/QString>

// The per-user layout values of the frame and its panes, in the settings section named after
// the user. A value is written after its default is known, so a value equal to the default
// leaves no row.
void WriteLayout(const QString& section, const QString& key, const QString& value, const QString& def);
void WriteLayout(const QString& section, const QString& key, int value, int def);
int ReadLayout(const QString& section, const QString& key, int def);

#pragma once

#include <QtCore/QString>

// The settings store, TB_PROFILE: one row per section and key, and only for values that
// differ from the default their reader expects.

// The stored value, or the default when there is none or the read fails. Registers the
// default first; a stored value equal to it is removed from the table.
QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue);

// Stores the value; a value equal to the registered default removes the row instead.
// Failures are reported ("保存设置").
void WriteSetting(const QString& section, const QString& key, const QString& value);

// The default most recently registered for the key ("section.key", exact case); empty when
// none was.
QString GetSettingDefault(const QString& section, const QString& key);

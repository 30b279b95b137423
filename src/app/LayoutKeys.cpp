#include "LayoutKeys.h"

#include "Settings.h"

void WriteLayout(const QString& section, const QString& key, const QString& value, const QString& def)
{
    ReadSetting(section, key, def);
    WriteSetting(section, key, value);
}

void WriteLayout(const QString& section, const QString& key, int value, int def)
{
    WriteLayout(section, key, QString::number(value), QString::number(def));
}

int ReadLayout(const QString& section, const QString& key, int def)
{
    return ReadSetting(section, key, QString::number(def)).toInt();
}

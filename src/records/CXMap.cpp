#include "CXMap.h"

#include "SqlPrepare.h"
#include "TextUtils.h"

void CXMap::SetText(int key, const QString& text)
{
    QString value = text;
    ReplaceSqlSymbols(value);
    m_map[key] = value;
}

void CXMap::SetDate(int key, const XDateTime& date)
{
    if (date.Day() > 0)
        m_map[key] = date.Format(QStringLiteral("%Y-%m-%d"));
}

QString CXMap::GetText(int key) const
{
    auto it = m_map.find(key);
    return it == m_map.end() ? QString() : it->second;
}

int CXMap::GetInt(int key) const
{
    auto it = m_map.find(key);
    return it == m_map.end() ? 0 : ReadLeadingInt(it->second);
}

XDateTime CXMap::GetDate(int key) const
{
    auto it = m_map.find(key);
    if (it == m_map.end())
        return XDateTime(0.0);
    XDateTime date;
    if (date.ParseDateTime(it->second))
        return date;
    return XDateTime(static_cast<double>(ReadLeadingInt(it->second)));
}

bool CXMap::ListHas(int key, int value) const
{
    QList<int> list;
    SplitInts(GetText(key), list, QStringLiteral(","));
    return list.contains(value);
}

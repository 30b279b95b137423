#include "CXMap.h"

#include "SqlPrepare.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
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
    // query maps and SQL write commas, option value texts bars: a list may come with either
    QList<int> list;
    SplitInts(QString(GetText(key)).replace(u'|', u','), list, QStringLiteral(","));
    return list.contains(value);
}

CXMap::CXMap(const QString& xml)
{
    if (xml.isEmpty())
        return;
    CXXmlDoc doc;
    if (!doc.SetDocText(xml) || !doc.FindElement())
        return;
    while (doc.FindChildElement()) {
        const int id = ReadLeadingInt(doc.GetAttribute(doc.m_nChildPos, QStringLiteral("id")));
        if (id >= 1)
            m_map[id] = doc.GetText(doc.m_nChildPos);
    }
}

CXMap::CXMap(const QByteArray& utf8Xml) : CXMap(QString::fromUtf8(utf8Xml)) {}

QString CXMap::ToXml() const
{
    if (m_map.empty())
        return QString();
    QString xml = QStringLiteral("<r>");
    for (const auto& [key, value] : m_map) {
        QString v = value;
        v.remove(u'\r');
        v.remove(u'\n');
        xml += QStringLiteral("<x id=\"") + QString::number(key) + QStringLiteral("\">") + CXXmlDoc::EscapeXmlText(v) +
               QStringLiteral("</x>");
    }
    return xml + QStringLiteral("</r>");
}

namespace {

// Calls back with (module, id, title) for every child element whose href splits at ":"
// into three numbers, as an item link "xl:321:15" does.
template <class F> int ForEachLink(const QString& value, F&& visit)
{
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r>") + value + QStringLiteral("</r>"));
    int found = 0;
    if (!doc.FindElement())
        return 0;
    while (doc.FindChildElement()) {
        QList<int> parts;
        if (SplitInts(doc.GetAttribute(doc.m_nChildPos, QStringLiteral("href")), parts, QStringLiteral(":")) != 3)
            continue;
        ++found;
        visit(parts[1], parts[2], doc.GetText(doc.m_nChildPos));
    }
    return found;
}

} // namespace

QString CXMap::GetIdList(int key) const
{
    const QString value = GetText(key);
    QList<int> ids;
    ForEachLink(value, [&ids](int, int id, const QString&) { ids.append(id); });
    return ids.isEmpty() ? value : JoinInts(ids, QStringLiteral(","));
}

int CXMap::GetItems(int key, CXArray* array) const
{
    const QString value = GetText(key);
    auto append = [array](int mdu, int id, const QString& title) {
        if (!array)
            return;
        CXItem reference;
        reference.m_nMduID = mdu;
        reference.m_nID = id;
        reference.m_strName = title;
        CXItem* item = reference.CopyTo(new CXItem);
        if (array->m_bOwns) {
            item->m_pArray = array;
            if (array->m_pParent)
                item->m_nParentID = array->m_pParent->m_nID;
        }
        array->Add(item);
    };
    const int links = ForEachLink(value, append);
    if (links > 0 || value.isEmpty())
        return links;
    QList<int> ids;
    SplitInts(value, ids, QStringLiteral(","));
    for (int id : ids)
        append(key, id, QStringLiteral("..."));
    return static_cast<int>(ids.size());
}

#include "RecordSql.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "FormatString.h"
#include "TextUtils.h"

#include <QtCore/QSet>

#include <algorithm>

QStringList ChunkIds(const QList<int>& ids, int perChunk)
{
    QStringList chunks;
    QSet<int> seen;
    QStringList current;
    for (int id : ids) {
        if (id == 0 || seen.contains(id))
            continue;
        seen.insert(id);
        current.append(QString::number(id));
        if (current.size() >= perChunk) {
            chunks.append(current.join(u','));
            current.clear();
        }
    }
    if (!current.isEmpty())
        chunks.append(current.join(u','));
    return chunks;
}

XIdFilter::XIdFilter(const QList<int>& ids)
{
    for (int id : ids) {
        if (id == 0)
            continue;
        m_nLow = m_nCount ? std::min(m_nLow, id) : id;
        m_nHigh = m_nCount ? std::max(m_nHigh, id) : id;
        ++m_nCount;
    }
    // a range at most twice the IDs (and a little) reads few rows the set does not hold
    if (!m_nCount || qint64(m_nHigh) - m_nLow + 1 <= 2 * qint64(m_nCount) + 64)
        return;
    m_strBoundIds.reserve(m_nCount * 7 + 2);
    m_strBoundIds += u'[';
    for (int id : ids) {
        if (id == 0)
            continue;
        if (m_strBoundIds.size() > 1)
            m_strBoundIds += u',';
        m_strBoundIds += QString::number(id);
    }
    m_strBoundIds += u']';
}

QString XIdFilter::Condition(const QString& column) const
{
    if (!m_strBoundIds.isEmpty())
        return column + QStringLiteral(" IN (SELECT value FROM json_each(:ids))");
    return FormatString(u"%s BETWEEN %d AND %d", column, m_nLow, m_nHigh);
}

QString NormaliseIdList(const QString& text)
{
    QStringList parts;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            parts.append(QString::number(ReadLeadingInt(trimmed)));
    }
    return parts.join(u',');
}

bool HasOwnRowId(const CXItem& item)
{
    if (item.IsModuleItem())
        return true;
    // A record whose module is not registered, or whose table binds its ID column to the
    // record ID, keeps its row in the ID.
    const CHeads* heads = item.GetHeads();
    const CHead* id = heads ? heads->FindByColumn(QStringLiteral("ID")) : nullptr;
    return !id || id->m_nOffset != XOFFSET(CXBase, m_nSubID);
}

int& RowIdOf(CXItem& item) { return HasOwnRowId(item) ? item.m_nID : item.m_nSubID; }

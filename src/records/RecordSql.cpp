#include "RecordSql.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "TextUtils.h"

#include <QtCore/QSet>

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

#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

class CXItem;

// IDs per "IN (...)" list: long lists go in several statements, since SQLite limits the
// length of one statement and a read may cover 100,000 records.
inline constexpr int kIdsPerStatement = 5000;

// The distinct non-zero IDs, in the order first seen, as comma lists of at most perChunk.
QStringList ChunkIds(const QList<int>& ids, int perChunk = kIdsPerStatement);

// How a read selects rows by a set of IDs in one statement: a dense set (the IDs of a
// list, mostly consecutive) as a range of the column, whose rows outside the set the reader
// drops itself; any other set as the column's membership in the IDs bound to ":ids" as a
// JSON array. Either way one statement is prepared, however many the IDs.
class XIdFilter
{
public:
    explicit XIdFilter(const QList<int>& ids);
    // No ID is non-zero: nothing to read.
    bool IsEmpty() const { return m_nCount == 0; }
    // The condition on the column that holds the IDs.
    QString Condition(const QString& column) const;
    // The text to bind to ":ids"; empty for a range.
    const QString& BoundIds() const { return m_strBoundIds; }

private:
    qsizetype m_nCount = 0;
    int m_nLow = 0;
    int m_nHigh = 0;
    QString m_strBoundIds;
};

// Normalises a comma list of IDs from a query map or a stored scheme into integers ("5, x,
// 7" -> "5,0,7"), so that nothing but numbers reaches the SQL text.
QString NormaliseIdList(const QString& text);

// Whether the record's row ID is its ID: true for a main record of its module, false for a
// line that derives from another module's record and keeps its own row ID as line ID.
bool HasOwnRowId(const CXItem& item);
int& RowIdOf(CXItem& item);

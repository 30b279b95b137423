#pragma once

#include "CDBCharge.h"
#include "CDBCourse.h"
#include "CDBPrjQuery.h"
#include "CModule.h"
#include "FixtureSchool.h"

#include <QtCore/QStringList>

// The titles of the records a module's query returns, in the order read, joined by ",".
inline QString QueryNames(int mduId, const CXMap& query)
{
    CXArray items(nullptr, true);
    EXPECT_TRUE(FindModule(mduId)->QueryItems(items, query, true, false));
    QStringList names;
    for (const CXItem* item : items)
        names << item->m_strName;
    names.sort();
    return names.join(u',');
}

// One record of the module by ID, read through its query (the caller owns it).
template <class Record> std::unique_ptr<Record> ReadOne(int id)
{
    CXArray items(nullptr, false);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(id));
    EXPECT_TRUE(FindModule(Record::MduID)->QueryItems(items, query, false, true));
    EXPECT_EQ(items.GetSize(), 1);
    return std::unique_ptr<Record>(items.IsEmpty() ? nullptr : static_cast<Record*>(items.GetAt(0)));
}

inline QString Day(int y, int m, int d) { return QString::number(static_cast<int>(XDateTime(y, m, d).Day())); }

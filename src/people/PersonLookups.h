#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

class CXDBSession;
class CXMap;

// The login keys of a person module (students 321, teachers 322) as "ID IN (...)" of the
// people the text finds through bound lookups: key 1135 by the text's kind (phone account,
// identity card or exact name), key 1284 by phone account only (anything else finds nobody).
// The text itself never becomes SQL. False after a reported database failure.
bool AddPersonLoginConditions(CXDBSession& session, QStringList& conditions, const CXMap& query, int mduId,
                              const QString& table, const QString& task);

// The integers of a list text ("1,2" or "1|2"), joined by ","; anything else is dropped.
QString IntListText(const QString& text);

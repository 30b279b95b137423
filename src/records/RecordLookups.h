#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

class CXArray;
class CXBase;

// Appends the trimmed, non-empty texts of the statement's first column (with bFirstOnly,
// of the first row only, empty or not). The list's size; 0 after a reported failure.
int QueryTextList(QStringList& list, const QString& sql, bool bFirstOnly);

// Appends one record per distinct non-blank value of the column, most used first: its
// title the value as stored, its ID the number of rows using it. Values differing only in
// case are one value. The array's size; 0 after a reported failure.
int ReadInputHistory(CXArray& array, const QString& table, const QString& column);

// The ID of another row whose column equals the value (without regard to case); 0 when
// there is none, an argument is empty, or after a reported failure.
int FindDuplicate(int ownId, const QString& value, const QString& table, const QString& column);

// Looks for records of the link's module whose title contains the text literally: 0 none
// (or no such module or title query), 1 one, 2 more; the link gets the first one's ID and
// title. UI thread.
int FindItemIdByName(CXBase& link, const QString& text);

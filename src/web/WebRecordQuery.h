#pragma once

#include "CXMap.h"

#include <QtCore/QString>

namespace xInternet {

// The record query a web page posts back (the XML text form of CXMap, as a page's "query"
// attribute carries it), read strictly: the ID-list keys (1, 2 and the module ids, whose
// values the reading puts into "IN (...)" lists) must hold item links or comma-separated
// integers and are kept as plain integer lists; the date keys must hold dates; every other
// key is dropped, so nothing a browser sends reaches the SQL as text. False when the text
// does not parse, a kept key holds anything else, or nothing is left.
bool ParseWebRecordQuery(const QString& xml, CXMap& query);

// The one record ID a record query names with key 1 ("5" or a link to record 5); 0 when it
// names none or several.
int SingleRecordId(const CXMap& query);

} // namespace xInternet

#include "WebRecordQuery.h"

#include "CommandIds.h"
#include "RecordConsts.h"
#include "XDateTime.h"

#include <QtCore/QStringList>

namespace xInternet {

namespace {

// Whether the key holds a list of record IDs.
bool IsIdListKey(int key) { return key == 1 || key == 2 || (key >= MDU_STUDENT && key <= MDU_WAGES); }

// "5,9" from a value of item links or of integers; empty when any part is something else.
QString StrictIdList(const CXMap& map, int key)
{
    const QString list = map.GetIdList(key).trimmed();
    if (list.isEmpty())
        return QString();
    QStringList ids;
    for (const QString& part : list.split(u',')) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (!ok)
            return QString();
        ids.append(QString::number(id));
    }
    return ids.join(u',');
}

} // namespace

bool ParseWebRecordQuery(const QString& xml, CXMap& query)
{
    query.RemoveAll();
    const CXMap posted(xml);
    for (const auto& [key, value] : posted) {
        if (IsIdListKey(key)) {
            const QString ids = StrictIdList(posted, key);
            if (ids.isEmpty()) {
                query.RemoveAll();
                return false;
            }
            query.SetPlainText(key, ids);
        } else if (key == QKEY_DATE_FROM || key == QKEY_DATE_TO) {
            XDateTime date;
            if (!date.ParseDateTime(value.trimmed())) {
                query.RemoveAll();
                return false;
            }
            query.SetDate(key, date);
        }
    }
    return !query.IsEmpty();
}

int SingleRecordId(const CXMap& query)
{
    const QString ids = query.GetText(1);
    if (ids.isEmpty() || ids.contains(u','))
        return 0;
    bool ok = false;
    const int id = ids.toInt(&ok);
    return ok ? id : 0;
}

} // namespace xInternet

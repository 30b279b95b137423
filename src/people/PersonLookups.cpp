#include "PersonLookups.h"

#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CXMap.h"
#include "FormatString.h"
#include "IdentityChecks.h"
#include "OperLog.h"
#include "SqlPrepare.h"
#include "TextUtils.h"

QString IntListText(const QString& text)
{
    QList<int> ids;
    SplitInts(QString(text).replace(u'|', u','), ids);
    return JoinInts(ids);
}

bool AddPersonLoginConditions(CXDBSession& session, QStringList& conditions, const CXMap& query, int mduId,
                              const QString& table, const QString& task)
{
    const auto find = [&](const QString& sql, const QString& text) {
        CXAccessor cmd;
        if (!cmd.Prepare(session, PrepareSql(sql)) || !cmd.SetParamText(1, text) || !cmd.Execute()) {
            ReportDbError(task, &cmd, QString());
            return false;
        }
        QList<int> ids;
        while (cmd.MoveNext())
            ids << static_cast<int>(cmd.GetNumber(1));
        if (cmd.Failed()) {
            ReportDbError(task, &cmd, QString());
            return false;
        }
        conditions << (ids.isEmpty() ? QStringLiteral("1=0") : FormatString(u"ID IN (%s)", JoinInts(ids)));
        return true;
    };
    const QString byPhone = FormatString(u"SELECT PersonID FROM TB_ACCOUNT WHERE MduID=%d AND Content=?", mduId);
    if (query.Has(1135)) {
        const QString text = query.GetText(1135);
        const QString kind = ClassifyPersonText(text);
        const QString sql = kind == QStringLiteral("手机号") ? byPhone
                            : kind == QStringLiteral("身份证号")
                                ? FormatString(u"SELECT ID FROM %s WHERE IDCard=?", table)
                                : FormatString(u"SELECT ID FROM %s WHERE RealName=?", table);
        if (!find(sql, text))
            return false;
    }
    if (query.Has(1284)) {
        const QString phone = query.GetText(1284);
        if (ClassifyPersonText(phone) != QStringLiteral("手机号"))
            conditions << QStringLiteral("1=0");
        else if (!find(byPhone, phone))
            return false;
    }
    return true;
}

// Record numbers: the module's pattern filled with the record's date and the next free
// counter of that date's period.
#include "CModule.h"

#include "CHead.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "FormatString.h"
#include "OperLog.h"
#include "XDateTime.h"

namespace {

const char16_t kNumberingFailed[] = u"自动编号失败！\r\n\r\n请在 “首选项” 中设置正确的自动编号格式。";

} // namespace

QString FillNumberDate(QString pattern, const XDateTime& date)
{
    const std::pair<const char16_t*, const char16_t*> tokens[] = {
        {u"[YYYY]", u"%Y"}, {u"[YY]", u"%y"}, {u"[Y]", u"%y"}, {u"[MM]", u"%m"},
        {u"[M]", u"%m"},    {u"[DD]", u"%d"}, {u"[D]", u"%d"},
    };
    for (const auto& [token, format] : tokens)
        pattern.replace(QString::fromUtf16(token), date.Format(QString::fromUtf16(format)));
    return pattern;
}

QString CModule::MakeRecordNumber(CXDBSession& session, int recordId)
{
    const QString task = QStringLiteral("自动编号");
    const CHeads* heads = GetHeads();
    XDateTime date = XDateTime::Now();
    if (recordId != 0) {
        CXAccessor first;
        if (!first.Open(session, FormatString(u"SELECT MIN(OperTime) FROM TB_OPERLOG WHERE MduID=%d AND ItemID=%d",
                                              m_nMduID, recordId))) {
            ReportDbError(task, &first, QString());
            return QString();
        }
        if (first.MoveNext() && !first.IsNull(1))
            date = XDateTime(first.GetNumber(1));
        first.Close();
    }
    // The date goes in first; the counter token is then the only thing left to fill, so a
    // "%" of the pattern stays as written.
    const QString pattern = FillNumberDate(GetKeyFormat(), date);
    QString token;
    int width = 0;
    for (int w = 1; w <= 9; ++w) {
        const QString candidate = u'[' + QString(w, u'n') + u']';
        if (pattern.contains(candidate)) {
            token = candidate;
            width = w;
            break;
        }
    }
    if (!width || !heads) {
        ReportDbError(task, nullptr, QString::fromUtf16(kNumberingFailed));
        return QString();
    }
    int maxCounter = 1;
    for (int w = 0; w < width; ++w)
        maxCounter *= 10;
    --maxCounter;
    auto number = [&](int counter) {
        QString text = pattern;
        return text.replace(token, QString::number(counter).rightJustified(width, u'0'));
    };

    CXAccessor cmd;
    const QString sql = FormatString(
        u"SELECT MAX(KeyName COLLATE BINARY) FROM %s WHERE KeyName COLLATE BINARY BETWEEN ? AND ?", heads->m_strTable);
    if (!cmd.Prepare(session, sql) || !cmd.SetParamText(1, number(1)) || !cmd.SetParamText(2, number(maxCounter)) ||
        !cmd.Execute()) {
        ReportDbError(task, &cmd, QString());
        return QString();
    }
    QString stored;
    if (cmd.MoveNext())
        stored = cmd.GetText(1);
    if (cmd.Failed()) {
        ReportDbError(task, &cmd, QString());
        return QString();
    }
    cmd.Close();

    // Fixed-width counters format in order, so the first number above the stored maximum
    // is found by halving the range.
    if (number(maxCounter).compare(stored) <= 0) {
        ReportDbError(task, &cmd, QString::fromUtf16(kNumberingFailed));
        return QString();
    }
    int low = 1, high = maxCounter;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (number(mid).compare(stored) > 0)
            high = mid;
        else
            low = mid + 1;
    }
    return number(low);
}

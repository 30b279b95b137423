#include "SqlPrepare.h"

#include "CommandIds.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "CodePages.h"

#include <mutex>

namespace {

struct Symbol
{
    const char16_t* text; // with its quotes
    int value;
};

const Symbol kSymbols[] = {
    {u"'MDU_STUDENT'", MDU_STUDENT},
    {u"'MDU_TEACHER'", MDU_TEACHER},
    {u"'MDU_PRJQUERY'", MDU_PRJQUERY},
    {u"'MDU_PRJORDER'", MDU_PRJORDER},
    {u"'MDU_COURSE'", MDU_COURSE},
    {u"'MDU_CHARGE'", MDU_CHARGE},
    {u"'MDU_RECEIPT'", MDU_RECEIPT},
    {u"'MDU_COLLECT'", MDU_COLLECT},
    {u"'MDU_EDUSCH'", MDU_EDUSCH},
    {u"'MDU_EDURCD'", MDU_EDURCD},
    {u"'MDU_OPERLOG'", MDU_OPERLOG},
    {u"'MDU_TEMPL'", MDU_TEMPL},
    {u"'MDU_WAGES'", MDU_WAGES},
    {u"'OPER_LOGIN'", OPER_LOGIN},
    {u"'OPER_LOGOUT'", OPER_LOGOUT},
    {u"'OPER_QUERY'", OPER_QUERY},
    {u"'OPER_FIND'", OPER_FIND},
    {u"'OPER_ADD'", OPER_ADD},
    {u"'OPER_DEL'", OPER_DEL},
    {u"'OPER_MDF'", OPER_MDF},
    {u"'OPER_PRT'", OPER_PRT},
    {u"'OPER_MSG'", OPER_MSG},
    {u"'OPER_SETUP'", OPER_SETUP},
    {u"'OPER_RUN'", OPER_RUN},
    {u"'OPER_PROXY'", OPER_PROXY},
    // operation codes of databases before 4.5.4.0, used only by the upgrade script
    {u"'OLD_LOGIN'", 1},
    {u"'OLD_LOGOUT'", 2},
    {u"'OLD_QUERY'", 5},
    {u"'OLD_FIND'", 6},
    {u"'OLD_ADDNEW'", 7},
    {u"'OLD_DELETE'", 8},
    {u"'OLD_MODIFY'", 9},
    {u"'OLD_PRINT'", 10},
    {u"'OLD_SETUP'", 11},
    {u"'OLD_RUN'", 12},
    {u"'OLD_PROXY'", 13},
    {u"'QUERY_FIND'", QUERY_FIND},
    {u"'QUERY_DATE'", QUERY_DATE},
    {u"'QUERY_MONTH'", QUERY_MONTH},
    {u"'QUERY_ITEM'", QUERY_ITEM},
    {u"'QUERY_OPTION'", QUERY_OPTION},
    {u"'QUERY_HIDE'", QUERY_HIDE},
    {u"'ST_NONE'", ST_NONE},
    {u"'ST_GRAY'", ST_GRAY},
    {u"'ST_GOOD'", ST_GOOD},
    {u"'ST_WARN'", ST_WARN},
    {u"'ST_STOP'", ST_STOP},
    {u"'XIN'", XIN},
    {u"'XNU'", XNU},
    {u"'XDT'", XDT},
    {u"'XBS'", XBS},
    {u"'XLK'", XLK},
    {u"'XAR'", XAR},
    {u"'XIM'", XIM},
    {u"'XTS'", XTS},
    {u"'XSW'", XSW},
    {u"'XSA'", XSA},
};

bool IsSqlSpace(QChar c)
{
    const char16_t u = c.unicode();
    // the C library's space class: blank, tab, line feed, vertical tab, form feed, return,
    // and the Unicode spaces (no-break and ideographic included)
    return u == u' ' || (u >= 0x09 && u <= 0x0D) || c.isSpace();
}

// "(" + prepared view + ") AS V_RECEIPT ", built from SQL resource 339.
QString ReceiptView(const XSqlNameMap* names)
{
    auto build = [](const XSqlNameMap* n) {
        return QStringLiteral("(") + PrepareSql(LoadResourceText(IDR_SQL_RECEIPT_VIEW, RT_SQL, CP_UTF8), n) +
               QStringLiteral(") AS V_RECEIPT ");
    };
    // Only the plain view is kept: a view narrowed by one caller's name map must not serve
    // the next caller.
    if (names && !names->empty())
        return build(names);
    static const QString plain = build(nullptr);
    return plain;
}

} // namespace

void ReplaceSqlSymbols(QString& text)
{
    qsizetype pos = 0;
    while (true) {
        const qsizetype open = text.indexOf(u'\'', pos);
        if (open < 0)
            return;
        const qsizetype close = text.indexOf(u'\'', open + 1);
        if (close < 0)
            return;
        const QStringView quoted = QStringView(text).mid(open, close - open + 1);
        const Symbol* found = nullptr;
        for (const Symbol& s : kSymbols) {
            if (quoted == QStringView(s.text)) {
                found = &s;
                break;
            }
        }
        if (found) {
            const QString number = QString::number(found->value);
            text.replace(open, close - open + 1, number);
            pos = open; // continue from the start of the written number
        } else {
            pos = close; // the closing quote may open the next literal
        }
    }
}

QString PrepareSql(const QString& source, const XSqlNameMap* names)
{
    QString text = source;
    if (names) {
        for (const auto& [key, value] : *names) {
            if (key.isEmpty())
                continue;
            qsizetype at = 0;
            while ((at = text.indexOf(key, at)) >= 0) {
                text.replace(at, key.size(), value);
                at += value.size();
            }
        }
    }

    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\'') {
            const qsizetype close = text.indexOf(u'\'', i + 1);
            if (close < 0) {
                out += QStringView(text).mid(i); // an unclosed literal ends the walk
                break;
            }
            out += QStringView(text).mid(i, close - i + 1);
            i = close + 1;
            continue;
        }
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            // to the end of the line, its line break included (CR LF or a lone LF)
            const qsizetype lf = text.indexOf(u'\n', i + 2);
            i = lf < 0 ? n : lf + 1;
            continue;
        }
        if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (IsSqlSpace(c)) {
            // one blank, also across a removed comment
            if (!out.endsWith(u' '))
                out += u' ';
            ++i;
            while (i < n && IsSqlSpace(text[i]))
                ++i;
            continue;
        }
        out += c;
        ++i;
    }

    ReplaceSqlSymbols(out);

    const qsizetype view = out.indexOf(QLatin1String("[V_RECEIPT]"));
    if (view >= 0)
        out.replace(view, 11, ReceiptView(names));
    return out.trimmed();
}

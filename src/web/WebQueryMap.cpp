#include "WebQueryMap.h"

#include "CModule.h"
#include "CXArray.h"
#include "CXItem.h"
#include "TextUtils.h"

#include <QtCore/QRegularExpression>

namespace {

// "12", "-3": a whole decimal number and nothing else.
bool ParseStrictInt(QStringView text, int& value)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,9}$"));
    if (!number.match(text).hasMatch())
        return false;
    value = text.toInt();
    return true;
}

// A list of integers separated by "," or "|" (blanks around them allowed, empty parts
// skipped), written back with commas. False when any part is not an integer.
bool ParseIntList(const QString& text, QString& out)
{
    static const QRegularExpression separators(QStringLiteral("[,|]"));
    QList<int> values;
    for (const QString& part : text.split(separators)) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty())
            continue;
        int value = 0;
        if (!ParseStrictInt(trimmed, value))
            return false;
        values.append(value);
    }
    out = JoinInts(values, QStringLiteral(","));
    return true;
}

// A record-reference value: item links ("<a href="xl:321:4">title</a>", nothing else
// between them but blanks), or an integer list. With keepLinks the links are rebuilt from
// their parts (the titles then come back escaped); otherwise their IDs are listed. An empty
// list names no record ("0"). False when the value is neither.
bool ParseReferences(const QString& text, bool keepLinks, QString& out)
{
    QStringList parts;
    if (!text.contains(u'<')) {
        if (!ParseIntList(text, out))
            return false;
    } else {
        static const QRegularExpression link(
            QStringLiteral("\\G\\s*(<a href=\"xl:([0-9]{1,9}):(-?[0-9]{1,9})\">[^<]*</a>)\\s*"));
        qsizetype at = 0;
        QRegularExpressionMatch m;
        while (at < text.size() && (m = link.match(text, at)).hasMatch() && m.capturedLength() > 0) {
            CXBase ref;
            ref.SetLink(m.captured(1));
            if (ref.m_nID)
                parts.append(keepLinks ? ref.GetLink() : QString::number(ref.m_nID));
            at = m.capturedEnd();
        }
        if (at < text.size())
            return false;
        out = parts.join(keepLinks ? QStringLiteral(" ") : QStringLiteral(","));
    }
    if (out.isEmpty())
        out = QStringLiteral("0");
    return true;
}

QString CleanText(const QString& text)
{
    QString out;
    out.reserve(std::min<qsizetype>(text.size(), kMaxWebFindText));
    for (QChar ch : text) {
        if (out.size() >= kMaxWebFindText)
            break;
        if (ch.category() == QChar::Other_Control || ch == u'\u2028' || ch == u'\u2029')
            continue;
        out.append(ch);
    }
    return out;
}

bool ParseDate(const QString& text, QString& out)
{
    const QString trimmed = text.trimmed();
    XDateTime date;
    int day = 0;
    if (!date.ParseDateTime(trimmed)) {
        if (!ParseStrictInt(trimmed, day) || day < 0)
            return false;
        date = XDateTime(static_cast<double>(day));
    }
    if (date.Day() <= 0)
        return false;
    out = date.Format(QStringLiteral("%Y-%m-%d"));
    return true;
}

} // namespace

std::optional<CXMap> WebQueryMap(const CModule& module, const CXMap& raw)
{
    CXMap clean;
    for (const auto& [key, text] : raw) {
        QString value;
        const CXQueryOption* option = nullptr;
        for (const auto& o : module.m_options)
            if (o->m_nKey == key)
                option = o.get();
        if (key == QKEY_IDS || key == QKEY_NOT_IDS) {
            if (!ParseReferences(text, false, value))
                return std::nullopt;
        } else if (option) {
            switch (option->m_nKind) {
            case QUERY_FIND:
            case QUERY_HIDE:
                value = CleanText(text);
                break;
            case QUERY_DATE:
            case QUERY_MONTH:
                if (text.trimmed().isEmpty())
                    continue;
                if (!ParseDate(text, value))
                    return std::nullopt;
                break;
            case QUERY_ITEM:
                if (!ParseReferences(text, true, value))
                    return std::nullopt;
                break;
            case QUERY_OPTION:
                if (!ParseIntList(text, value))
                    return std::nullopt;
                break;
            default:
                continue;
            }
        } else if (FindModule(key)) {
            // related-record queries of the pages name records of a module under its id
            if (!ParseReferences(text, false, value))
                return std::nullopt;
        } else {
            continue;
        }
        clean.SetPlainText(key, value);
    }
    return clean;
}

bool NarrowToOwnRecords(const CModule& module, const CXItem& user, CXMap& query)
{
    if (user.m_nRightRole != 0)
        return true;
    if (user.m_nMduID == module.GetMduID()) {
        query.SetPlainText(QKEY_IDS, QString::number(user.m_nID));
        return true;
    }
    // the key must be one the module reads, else the narrowing would select everything
    for (const auto& option : module.m_options) {
        if (option->m_nKind == QUERY_ITEM && option->m_nKey == user.m_nMduID && user.m_nMduID && user.m_nID) {
            query.SetPlainText(user.m_nMduID, user.GetLink());
            return true;
        }
    }
    return false;
}

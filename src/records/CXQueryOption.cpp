#include "CXQueryOption.h"

#include "CXArray.h"
#include "CXItem.h"
#include "CXMap.h"
#include "FormatString.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "TextUtils.h"

CXQueryOption::CXQueryOption(int kind, int key, int readOnly, const QString& caption, const QString& choices,
                             const QString& values, const XDateTime& defaultDate)
    : m_nKey(key), m_nKind(kind), m_bReadOnly(readOnly), m_strCaption(caption),
      m_dtDefault(defaultDate.Day() != 0 ? defaultDate : XDateTime::Today().DateOnly())
{
    if (m_strCaption.isEmpty())
        m_strCaption = LoadCommandText(key);

    // SplitStrings trims the whole text, which would swallow an empty first choice.
    m_arrTexts = choices.isEmpty() ? QStringList() : choices.split(QLatin1Char('|'));
    SplitInts(values, m_arrValues, QStringLiteral("|"));
    if (m_arrValues.size() != m_arrTexts.size()) {
        m_arrValues.clear();
        for (int i = 0; i < m_arrTexts.size(); ++i)
            m_arrValues << i;
    }
    for (int i = m_arrTexts.size() - 1; i >= 0; --i) {
        if (m_arrTexts[i].isEmpty()) {
            m_arrTexts.removeAt(i);
            m_arrValues.removeAt(i);
        }
    }
}

QString CXQueryOption::GetQueryTerm(const CXMap& query) const
{
    if (!query.Has(m_nKey))
        return QString();
    switch (m_nKind) {
    case QUERY_FIND:
        return FormatString(u"[%s：%s]", m_strCaption, query.GetText(m_nKey));
    case QUERY_DATE:
        return FormatString(u"[%s%s]", m_strCaption,
                            FormatDateTime(query.GetDate(m_nKey), QStringLiteral("%Y年%#m月%#d日")));
    case QUERY_MONTH:
        return FormatString(u"[%s%s]", m_strCaption,
                            FormatDateTime(query.GetDate(m_nKey), QStringLiteral("%Y年%#m月")));
    case QUERY_ITEM: {
        CXArray items(nullptr, true);
        if (query.GetItems(m_nKey, &items) == 0)
            return QString();
        QStringList titles;
        for (const CXItem* item : items) {
            const QString title = item->GetTitleText();
            if (!title.isEmpty() && !titles.contains(title))
                titles << title;
        }
        return FormatString(u"[%s]", titles.join(QLatin1Char(',')));
    }
    case QUERY_OPTION: {
        QStringList chosen;
        for (int i = 0; i < m_arrTexts.size(); ++i)
            if (query.ListHas(m_nKey, m_arrValues[i]))
                chosen << m_arrTexts[i];
        // All choices chosen restricts nothing, so it says nothing either.
        if (chosen.isEmpty() || chosen.size() == m_arrTexts.size())
            return QString();
        return FormatString(u"[%s]", chosen.join(QLatin1Char(' ')));
    }
    default:
        return QString();
    }
}

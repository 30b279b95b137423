// The keywords a print template or a WeChat message is filled from.
#include "CXItem.h"

#include "CHead.h"
#include "CModule.h"
#include "FormatString.h"
#include "XAppServices.h"

#include <memory>

namespace {

void SetIfEmpty(XPrintKeywords& keywords, const QString& key, const QString& value)
{
    if (keywords.value(key).isEmpty())
        keywords.insert(key, value);
}

// The sample number of a pattern: today's date and the counter 1 in each token's width.
QString SampleNumber(const QString& pattern)
{
    QString number = FillNumberDate(pattern, XDateTime::Now());
    for (int width = 1; width <= 9; ++width)
        number.replace(u'[' + QString(width, u'n') + u']', QStringLiteral("%1").arg(1, width, 10, QLatin1Char('0')));
    return number;
}

} // namespace

void CXItem::FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const
{
    if (const CHeads* heads = GetHeads()) {
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* head = heads->GetAt(i);
            if (!head->m_nColPrint && !(kind == 2 && head->m_nColDetail))
                continue;
            if (head->m_nType == XRW) {
                const QString base = head->m_strName.section(u'.', 0, 0);
                // the getter reads the row from the text after the caption's last "."
                std::unique_ptr<CHead> row(static_cast<CHead*>(head->CreateNew()));
                head->CopyTo(row.get());
                for (int n = 1; n <= GetPrintRowCount(); ++n) {
                    const QString key = FormatString(u"[%s.%d]", base, n);
                    if (!keywords.value(key).isEmpty())
                        continue;
                    row->m_strName = FormatString(u"%s.%d", base, n);
                    QString text = FormatText(row.get(), false, false, true);
                    keywords.insert(key, text.isEmpty() ? GetEmptyText(head) : text);
                }
                continue;
            }
            const QString text = FormatText(head, false, false, true);
            SetIfEmpty(keywords, u'[' + head->m_strName + u']', text.isEmpty() ? GetEmptyText(head) : text);
        }
    }

    keywords.insert(QStringLiteral("[打印人]"), user ? user->m_strName : m_created.m_strName);
    const XDateTime now = XDateTime::Now();
    keywords.insert(QStringLiteral("[打印日期]"), now.Format(QStringLiteral("%Y年%#m月%#d日")));
    keywords.insert(QStringLiteral("[打印时间]"), now.Format(QStringLiteral("%#H:%M")));
    {
        XAppServices& app = AppServices();
        std::lock_guard lock(app.Mutex());
        const std::pair<const char16_t*, const char*> organisation[] = {
            {u"[机构名称]", "RecordName"},     {u"[机构简称]", "GroupName"},    {u"[机构地址]", "LtdLocation"},
            {u"[机构联系方式]", "LtdContact"}, {u"[机构网站标题]", "LtdTitle"},
        };
        for (const auto& [key, setting] : organisation)
            keywords.insert(QString::fromUtf16(key), app.SetupValue(QString::fromLatin1(setting)).toString());
    }
    if (kind == 1) {
        const CModule* module = m_nMduID ? FindModule(m_nMduID) : nullptr;
        keywords.insert(QStringLiteral("[编号]"), SampleNumber(module ? module->GetKeyFormat() : QString()));
        keywords.insert(QStringLiteral("[PAGENUM]"), QStringLiteral("1"));
        keywords.insert(QStringLiteral("[PAGECOUNT]"), QStringLiteral("2"));
    }
}

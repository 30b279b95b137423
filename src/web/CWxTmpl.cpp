#include "CWxTmpl.h"

#include "CModule.h"
#include "Resources.h"

#include <QtCore/QXmlStreamReader>

std::vector<const CWxTmpl::CItem*> CWxTmpl::Lines() const
{
    std::vector<const CItem*> lines;
    for (int i = 0; i < m_items.GetSize(); ++i)
        lines.push_back(m_items.GetAt(i));
    return lines;
}

QString CWxTmpl::GetUserDefTitle() const
{
    for (const CItem* line : Lines())
        if (line->m_bUserDef)
            return line->m_strName;
    return QString();
}

QString CWxTmpl::GetUserDefContent() const
{
    for (const CItem* line : Lines())
        if (line->m_bUserDef)
            return line->m_strMemo;
    return QString();
}

bool CWxTmpl::HasUserDef() const
{
    for (const CItem* line : Lines())
        if (line->m_bUserDef)
            return true;
    return false;
}

namespace {

QString FillKeywords(QString text, const XPrintKeywords& keywords)
{
    for (auto it = keywords.cbegin(); it != keywords.cend(); ++it)
        text.replace(it.key(), it.value());
    return text;
}

} // namespace

QString CWxTmpl::LineText(const CItem& line, const QString& userText, const XPrintKeywords& keywords)
{
    return FillKeywords(line.m_bUserDef ? userText : line.m_strMemo, keywords);
}

QString CWxTmpl::FormatText(const QString& userText, const XPrintKeywords& keywords, bool bHtml) const
{
    QString out;
    for (const CItem* line : Lines()) {
        const QString raw = line->m_bUserDef ? userText : line->m_strMemo;
        if (raw.isEmpty())
            continue;
        QString text =
            FillKeywords(line->m_strName.isEmpty() ? raw : line->m_strName + QStringLiteral("：") + raw, keywords);
        if (bHtml) {
            text = text.toHtmlEscaped();
            text.replace(QStringLiteral("\r\n"), QStringLiteral("<br/>")).replace(u'\n', QStringLiteral("<br/>"));
            out += text + QStringLiteral("<br/>");
        } else {
            out += text + QStringLiteral("\r\n");
        }
    }
    return out;
}

QString CWxTmpl::GetTmplId() const
{
    std::lock_guard lock(m_idLock);
    return m_strTmplId;
}

void CWxTmpl::SetTmplId(const QString& id)
{
    std::lock_guard lock(m_idLock);
    m_strTmplId = id;
}

namespace {

int ModuleIdOf(const QString& text)
{
    static const std::pair<const char*, int> kNames[] = {
        {"MDU_STUDENT", MDU_STUDENT},   {"MDU_TEACHER", MDU_TEACHER}, {"MDU_PRJQUERY", MDU_PRJQUERY},
        {"MDU_PRJORDER", MDU_PRJORDER}, {"MDU_COURSE", MDU_COURSE},   {"MDU_CHARGE", MDU_CHARGE},
        {"MDU_RECEIPT", MDU_RECEIPT},   {"MDU_COLLECT", MDU_COLLECT}, {"MDU_EDUSCH", MDU_EDUSCH},
        {"MDU_EDURCD", MDU_EDURCD},     {"MDU_OPERLOG", MDU_OPERLOG}, {"MDU_TEMPL", MDU_TEMPL},
        {"MDU_WAGES", MDU_WAGES},
    };
    for (const auto& [name, id] : kNames)
        if (text == QLatin1String(name))
            return id;
    return text.toInt();
}

} // namespace

void LoadWxTemplates(const QByteArray& xml)
{
    for (CModule* module : GetModules())
        module->m_wxTmpls.RemoveAll();
    QXmlStreamReader reader(xml);
    CWxTmpl* current = nullptr;
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (--depth == 1)
                current = nullptr;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QXmlStreamAttributes attrs = reader.attributes();
        if (depth == 2) {
            CModule* module = FindModule(ModuleIdOf(attrs.value(QLatin1String("mduid")).toString()));
            if (!module)
                continue;
            module->m_nCaps |= RIGHT_MSG;
            module->m_nOperRights |= RIGHT_MSG;
            current = new CWxTmpl;
            current->m_nMduID = module->GetMduID();
            current->m_strName = attrs.value(QLatin1String("title")).toString();
            current->m_strShortId = attrs.value(QLatin1String("id")).toString();
            module->m_wxTmpls.AddAdopted(current);
        } else if (depth == 3 && current) {
            CWxTmpl::CItem* line = current->m_items.CreateTyped();
            line->m_strName = attrs.value(QLatin1String("title")).toString();
            line->m_strKey = attrs.value(QLatin1String("key")).toString();
            line->m_bUserDef = attrs.value(QLatin1String("userdef")) == QLatin1String("1") ? 1 : 0;
            line->m_strMemo = attrs.value(QLatin1String("content")).toString();
            current->m_items.Add(line);
        }
    }
}

void LoadWxTemplates() { LoadWxTemplates(LoadResourceFile(QStringLiteral(":/www/458-tmplmsg.xml"))); }

CWxTmpl* FindWxTmpl(int mduId, const QString& shortId)
{
    CModule* module = FindModule(mduId);
    if (!module)
        return nullptr;
    for (CXItem* item : module->m_wxTmpls) {
        auto* tmpl = static_cast<CWxTmpl*>(item);
        if (tmpl->m_strShortId.compare(shortId, Qt::CaseInsensitive) == 0)
            return tmpl;
    }
    return nullptr;
}

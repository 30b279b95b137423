#pragma once

#include "CXArray.h"
#include "CXItem.h"

#include <QtCore/QString>

#include <mutex>
#include <vector>

// One WeChat template message of a module: its title (m_strName), its short id in WeChat's
// template library and its data lines. The template id in the school's own account is found
// or added by the first sender and kept for the life of the process.
class CWxTmpl : public CXItem
{
public:
    // One data line: caption (m_strName, may be empty), content with keywords in brackets
    // (m_strMemo), the WeChat data key, and whether the sender types its text.
    class CItem : public CXItem
    {
    public:
        QString m_strKey;
        int m_bUserDef = 0;
    };

    CWxTmpl() = default;

    // The caption of the first line the sender types; empty when every line is fixed.
    QString GetUserDefTitle() const;
    // That line's content (the text offered to the sender); empty when there is none.
    QString GetUserDefContent() const;
    bool HasUserDef() const;
    // The message as readable text: each line with a text gives its caption and "：" (when
    // it has a caption), the text (the sender's for a typed line) and a line break (CR LF, or
    // "<br/>" with bHtml); then the keywords are replaced by their values. With bHtml each
    // line is HTML-escaped after the keywords are filled, so no record value becomes markup.
    QString FormatText(const QString& userText, const XPrintKeywords& keywords, bool bHtml) const;
    // A line's text for the sender's text and the keywords (the data value WeChat gets).
    static QString LineText(const CItem& line, const QString& userText, const XPrintKeywords& keywords);

    // The account's template id: shared by every sender of this template.
    QString GetTmplId() const;
    void SetTmplId(const QString& id);

    // The data lines in order, typed.
    std::vector<const CItem*> Lines() const;

    QString m_strShortId;
    CXArrayT<CItem, true> m_items{this};

private:
    mutable std::mutex m_idLock;
    QString m_strTmplId;
};

// Fills every registered module's WeChat templates (CModule::m_wxTmpls) from the built-in
// template file and gives each module that got one the notify right in its capability and
// operator words. Templates of an id no module has are skipped. Run once at start-up, after
// the modules are registered; a module's old templates are replaced.
void LoadWxTemplates();
// The same from the text of a template file (module ids as numbers or as their symbolic
// names).
void LoadWxTemplates(const QByteArray& xml);
// The module's template whose short id equals the given one (ignoring case); null if none.
CWxTmpl* FindWxTmpl(int mduId, const QString& shortId);

#include "CDlgEditSchemeT.h"

#include "XWinStyles.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <map>
#include <mutex>

const XDlgTemplate& SchemePageTemplate(int id, const QString& caption)
{
    using K = XCtrlKind;
    static std::map<int, XDlgTemplate> templates;
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto it = templates.find(id);
    if (it == templates.end())
        it = templates
                 .emplace(id, XDlgTemplate{id,
                                           caption,
                                           WS_CHILD,
                                           {{-1, K::Static, QStringLiteral("名称："), 0, 0, 0},
                                            {IDC_TITLE, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                            {-1, K::Static, QStringLiteral("选项："), 0, 1, 0},
                                            {IDC_ONTOP, K::Check, QStringLiteral("置顶显示"), WS_TABSTOP, 1, 1},
                                            {-1, K::Static, QStringLiteral("内容："), 0, 2, 0},
                                            {IDC_CONTENT, K::Edit, QString(), ES_MULTILINE | ES_READONLY, 2, 1},
                                            {-1, K::Static, QStringLiteral("备注："), 0, 3, 0},
                                            {IDC_MEMO, K::Edit, QString(), WS_TABSTOP, 3, 1}},
                                           {}})
                 .first;
    return it->second;
}

void ShowSchemeContent(CXDialogEx& page, const QString& text)
{
    if (auto* content = qobject_cast<QPlainTextEdit*>(page.GetDlgItem(IDC_CONTENT)))
        content->setPlainText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(page.GetDlgItem(IDC_CONTENT)))
        line->setText(text);
}

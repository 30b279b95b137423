#include "CDlgEditOperLog.h"

#include "CDlgEdit.h"
#include "CHtmlCtrl.h"
#include "CModuleOperLog.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "TransformXsl.h"
#include "XAppServices.h"
#include "XReadOnly.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QPushButton>

namespace {

const XDlgTemplate& SessionTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_OPERLOG,
                                QStringLiteral("登录会话"),
                                WS_CHILD,
                                {{IDC_HTML_PANE, K::Custom, QString(), 0, 0, 0},
                                 {IDC_LOGOUT, K::Button, QStringLiteral("注销 ..."), WS_GROUP, -1}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditOperLog, CXDialogEx)
    X_ON_COMMAND(IDC_LOGOUT, OnLogout)
X_END_MESSAGE_MAP()

CDlgEditOperLog::CDlgEditOperLog(const CXItem* row) : CXDialogEx(false, &SessionTemplate())
{
    if (row)
        row->CopyTo(&m_row);
}

bool CDlgEditOperLog::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(IDC_HTML_PANE);
    m_html = new CHtmlCtrl(slot);
    FillSlot(slot, m_html, 12);
    m_html->SetHTML(RecordPageHtml([this](CXXmlDoc& doc) { m_row.WriteXml(doc, 1, 0, AppServices().User()); }));
    if (QWidget* button = GetDlgItem(IDC_LOGOUT))
        button->setEnabled(true);
    // The row is already on the page: the frame's information pane would repeat it.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CDlgEdit*>(w)) {
            if (frame->m_btnInfo)
                frame->m_btnInfo->setEnabled(false);
            break;
        }
    }
    return true;
}

void CDlgEditOperLog::OnLogout()
{
    if (XUi::MessageBox(this, QStringLiteral("注销后此用户需要重新输入用户名和密码登录！"), GetItemLabel(IDC_LOGOUT),
                        MB_ICONWARNING | MB_OKCANCEL) == IDOK)
        EndLoginSession(m_row);
    if (QWidget* button = GetDlgItem(IDC_LOGOUT))
        button->setEnabled(false);
}

std::unique_ptr<CDlgEdit> CreateOperLogDialog(bool bNew, const CXItem* row)
{
    const auto* log = dynamic_cast<const CDBOperLog*>(row);
    if (!CModuleOperLog::CanOpenSession(log, XDateTime::Now()))
        return nullptr;
    auto frame = std::make_unique<CDlgEdit>(bNew, MDU_OPERLOG);
    frame->m_pages.push_back(new CDlgEditOperLog(log));
    SetWndReadOnly(frame.get(), true);
    return frame;
}

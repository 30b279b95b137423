#include "CDlgSendWxMsg.h"

#include "CModule.h"
#include "CWxRcver.h"
#include "CWxTmpl.h"
#include "CXEditCtrl.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "OperLog.h"
#include "PickerFind.h"
#include "Resources.h"
#include "WxTmplMsg.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QPlainTextEdit>

#include <memory>

namespace {

const XDlgTemplate& SendTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEND_WX_MSG,
                                QStringLiteral("微信通知"),
                                WS_MAXIMIZEBOX,
                                {{-1, K::Static, QStringLiteral("接收学员："), 0, 0, 0, 3},
                                 {IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP, 1, 0, 3},
                                 {IDC_CHECKALL, K::Button, QStringLiteral("全选(&A)"), WS_GROUP, 2, 0},
                                 {IDC_CHECKCLR, K::Button, QStringLiteral("清除(&L)"), 0, 2, 1},
                                 {-1, K::Static, QStringLiteral("通知消息类型："), WS_GROUP, 3, 0, 3},
                                 {IDC_WXMSG_TMPL0, K::Radio, QString(), WS_GROUP | WS_TABSTOP, 4, 0, 3},
                                 {IDC_WXMSG_TMPL0 + 1, K::Radio, QString(), 0, 5, 0, 3},
                                 {IDC_WXMSG_TMPL0 + 2, K::Radio, QString(), 0, 6, 0, 3},
                                 {IDC_WXMSG_TMPL0 + 3, K::Radio, QString(), 0, 7, 0, 3},
                                 {IDC_WXMSG_TMPL4, K::Radio, QString(), 0, 8, 0, 3},
                                 {-1, K::Static, QStringLiteral("附言："), WS_GROUP, 9, 0},
                                 {IDC_WXMSG_USERDEF, K::Custom, QString(), WS_TABSTOP, 9, 1, 2},
                                 {-1, K::Static, QStringLiteral("预览："), WS_GROUP, 10, 0, 3},
                                 {IDC_WXMSG_PREVIEW, K::Edit, QString(), ES_MULTILINE | ES_READONLY, 11, 0, 3},
                                 {ID_ARROW_UP, K::Button, QStringLiteral("上一个"), WS_GROUP, -1},
                                 {ID_ARROW_DN, K::Button, QStringLiteral("下一个"), 0, -1},
                                 {IDOK, K::Button, QStringLiteral("发送"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                QSize(480, 560)};
    return t;
}

constexpr int kMaxOffered = 4;

QString JoinNames(const QStringList& names, const QString& separator, bool distinct)
{
    QStringList out;
    for (const QString& n : names)
        if (!distinct || !out.contains(n))
            out.append(n);
    return out.join(separator);
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgSendWxMsg, CXDialogEx)
    X_ON_COMMAND(IDC_CHECKALL, OnCheckAll)
    X_ON_COMMAND(IDC_CHECKCLR, OnCheckClear)
    X_ON_COMMAND(ID_ARROW_DN, OnNext)
    X_ON_COMMAND(ID_ARROW_UP, OnPrev)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKALL, OnUpdateCheckAll)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKCLR, OnUpdateCheckClear)
    X_ON_UPDATE_COMMAND_UI(ID_ARROW_DN, OnUpdateNext)
    X_ON_UPDATE_COMMAND_UI(ID_ARROW_UP, OnUpdatePrev)
X_END_MESSAGE_MAP()

CDlgSendWxMsg::CDlgSendWxMsg(CXItem* record, QWidget* parent)
    : CXDialogEx(false, &SendTemplate(), parent), m_pItem(record)
{
    if (m_pItem)
        CollectWxRcvers(*m_pItem, m_rcvers, AppServices().User());
}

CDlgSendWxMsg::~CDlgSendWxMsg()
{
    // the list lets go of the receivers while they still exist
    if (m_list)
        m_list->SetItems(nullptr, CWxRcver::StaticHeads(), 2, 3);
}

QString CDlgSendWxMsg::Caption() const { return LoadCommandText(ID_SEND_WXMSG); }

CWxTmpl* CDlgSendWxMsg::ChosenTmpl() const
{
    const CModule* module = m_pItem ? FindModule(m_pItem->m_nMduID) : nullptr;
    if (!module || m_nTmpl < 0 || m_nTmpl >= module->m_wxTmpls.GetSize())
        return nullptr;
    return static_cast<CWxTmpl*>(module->m_wxTmpls.GetAt(m_nTmpl));
}

bool CDlgSendWxMsg::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    GiveSpareHeightToRows({{1, 1}, {11, 1}}); // the receivers and the preview grow
    m_list->m_bGroupable = 0;
    AddListButton(*m_list, IDC_CHECKALL, false);
    AddListButton(*m_list, IDC_CHECKCLR, false);
    m_list->SetItems(&m_rcvers, CWxRcver::StaticHeads(), 2, 3);
    if (m_list->GetItemCount() > 0)
        m_list->SelectOnly(0);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { RefreshPreview(); });

    m_edit = EnsureControl<CXEditCtrl>(IDC_WXMSG_USERDEF);
    // the history of what senders typed for this module's notices
    if (m_pItem) {
        m_edit->Buttons().m_strTable = QStringLiteral("(SELECT * FROM TB_OPERLOG WHERE TypeID=%1 AND MduID=%2)")
                                           .arg(OPER_MSG)
                                           .arg(m_pItem->m_nMduID);
        m_edit->Buttons().m_strColumn = QStringLiteral("Extr");
    }
    m_edit->Buttons().AddCmd(ID_EDIT_HISTORY, true);
    connect(m_edit, &QLineEdit::textEdited, this, [this] { RefreshPreview(); });
    m_preview = qobject_cast<QPlainTextEdit*>(GetDlgItem(IDC_WXMSG_PREVIEW));
    if (m_preview)
        m_preview->setReadOnly(true);

    const CModule* module = m_pItem ? FindModule(m_pItem->m_nMduID) : nullptr;
    const int offered = module ? std::min(kMaxOffered, module->m_wxTmpls.GetSize()) : 0;
    for (int i = IDC_WXMSG_TMPL0; i <= IDC_WXMSG_TMPL4; ++i) {
        auto* radio = qobject_cast<QAbstractButton*>(GetDlgItem(i));
        if (!radio)
            continue;
        const int index = i - IDC_WXMSG_TMPL0;
        radio->setVisible(index < offered);
        if (index < offered) {
            radio->setText(module->m_wxTmpls.GetAt(index)->m_strName);
            radio->setChecked(index == m_nTmpl);
            connect(radio, &QAbstractButton::toggled, this, [this, index](bool on) {
                if (on) {
                    m_nTmpl = index;
                    RefreshPreview();
                }
            });
        }
    }
    RefreshPreview();
    return true;
}

int CDlgSendWxMsg::CheckedCount() const
{
    int n = 0;
    for (int i = 0; m_list && i < m_list->GetItemCount(); ++i)
        n += m_list->GetCheck(i) ? 1 : 0;
    return n;
}

void CDlgSendWxMsg::RefreshPreview()
{
    if (!m_list)
        return;
    if (m_list->GetSelectedCount() == 1)
        m_nCurrent = m_list->GetFirstSelected();
    const CWxTmpl* tmpl = ChosenTmpl();
    const bool userDef = tmpl && tmpl->HasUserDef();
    QWidget* label = PrevInZOrder(m_edit);
    m_edit->setEnabled(userDef);
    if (label)
        label->setEnabled(userDef);
    if (userDef) {
        const QString text = tmpl->GetUserDefTitle() + QStringLiteral("：");
        if (label)
            label->setProperty("text", text);
        // another template: its own line starts from that template's default text
        if (text != m_strLabel) {
            m_strLabel = text;
            m_strUserDef = tmpl->GetUserDefContent();
            m_edit->setText(m_strUserDef);
        }
    }
    m_strUserDef = m_edit->text();
    const CWxRcver* rcver = m_nCurrent >= 0 && m_nCurrent < m_list->GetItemCount()
                                ? static_cast<const CWxRcver*>(m_list->GetItemData(m_nCurrent))
                                : nullptr;
    if (m_preview)
        m_preview->setPlainText(tmpl && rcver ? tmpl->FormatText(m_strUserDef, rcver->m_keywords, false) : QString());
    RequestUpdate();
}

void CDlgSendWxMsg::UpdateControls() { CXDialogEx::UpdateControls(); }

void CDlgSendWxMsg::OnCheckAll()
{
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        m_list->SetCheck(i, true);
    RequestUpdate();
}

void CDlgSendWxMsg::OnCheckClear()
{
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        m_list->SetCheck(i, false);
    RequestUpdate();
}

void CDlgSendWxMsg::OnNext()
{
    if (m_nCurrent + 1 < m_list->GetItemCount())
        m_list->SelectOnly(m_nCurrent + 1);
    RefreshPreview();
}

void CDlgSendWxMsg::OnPrev()
{
    if (m_nCurrent > 0)
        m_list->SelectOnly(m_nCurrent - 1);
    RefreshPreview();
}

void CDlgSendWxMsg::OnUpdateCheckAll(XCmdUI* ui) { ui->Enable(m_list && CheckedCount() < m_list->GetItemCount()); }
void CDlgSendWxMsg::OnUpdateCheckClear(XCmdUI* ui) { ui->Enable(CheckedCount() > 0); }
void CDlgSendWxMsg::OnUpdateNext(XCmdUI* ui) { ui->Enable(m_list && m_nCurrent + 1 < m_list->GetItemCount()); }
void CDlgSendWxMsg::OnUpdatePrev(XCmdUI* ui) { ui->Enable(m_nCurrent > 0); }

void CDlgSendWxMsg::OnOK()
{
    RefreshPreview();
    const CWxTmpl* tmpl = ChosenTmpl();
    if (!tmpl || !m_pItem)
        return;
    QStringList names, ids;
    for (int i = 0; i < m_list->GetItemCount(); ++i) {
        if (!m_list->GetCheck(i))
            continue;
        const CXItem* rcver = m_list->GetItemData(i);
        names.append(rcver->m_strName);
        const QString id = QString::number(rcver->m_nID);
        if (!ids.contains(id))
            ids.append(id);
    }
    if (names.isEmpty()) {
        XUi::ShowBalloon(m_list, m_list->rect(), Caption(), QStringLiteral("请勾选要接收微信通知的学员！"), 2);
        return;
    }
    if (m_strUserDef.isEmpty() && tmpl->HasUserDef() &&
        XUi::MessageBox(
            this, QStringLiteral("当前未输入%1的%2，确定要发送吗？").arg(tmpl->m_strName, tmpl->GetUserDefTitle()),
            Caption(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        m_edit->setFocus();
        return;
    }
    if (XUi::MessageBox(this,
                        QStringLiteral("即将发送%1到以下学员：\r\n\r\n%2").arg(tmpl->m_strName, names.join(u"、")),
                        Caption(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    QString result;
    {
        XWaitCursor wait;
        const CXItem* user = AppServices().User();
        SendWxTmplMsg(result, *m_pItem, tmpl->m_strShortId, m_strUserDef, ids.join(u','),
                      user ? *user : BuiltInAdmin());
    }
    if (result != u"OK") {
        XUi::MessageBox(this, result, Caption(), MB_ICONERROR);
        return;
    }
    XUi::MessageBox(this,
                    QStringLiteral("已发送%1到以下学员：\r\n\r\n%2！")
                        .arg(tmpl->m_strName, JoinNames(names, QStringLiteral(","), true)),
                    Caption(), MB_ICONINFORMATION);
    CXDialogEx::OnOK();
}

void RunSendWxMsg(QWidget* parent, CXItem* record)
{
    if (!record)
        return;
    auto dlg = std::make_unique<CDlgSendWxMsg>(record, parent);
    // students without a WeChat login are listed but can receive nothing: without one who
    // can, there is nothing to send
    bool anyBound = false;
    for (const CXItem* rcver : dlg->m_rcvers)
        anyBound = anyBound || !static_cast<const CWxRcver*>(rcver)->m_openids.isEmpty();
    if (!anyBound) {
        XUi::MessageBox(
            parent,
            QStringLiteral("当前%1中无用户通过微信公众号登录绑定，无法发送微信通知！").arg(record->GetModuleName()),
            LoadCommandText(ID_SEND_WXMSG), MB_ICONWARNING);
        return;
    }
    dlg->DoModal();
}

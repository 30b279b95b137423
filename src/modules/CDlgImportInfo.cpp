#include "CDlgImportInfo.h"

#include "CommandIds.h"

#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "PickerFind.h"
#include "XAppServices.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include <unordered_map>

namespace {

const XDlgTemplate& ImportTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_IMPORT_INFO,
                                QStringLiteral("导入"),
                                0,
                                {{IDI_WARNING, K::Static, QString(), 0, 0, 0},
                                 {IDC_MEMO, K::Static,
                                  QStringLiteral("请确认以下从导入文件中解析的项目，其中存在错误的项目将不被导入，存在"
                                                 "警告信息的项目将被正常导入，不需要的项目可以手工删除。"),
                                  0, 0, 1},
                                 {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0, 2},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgImportInfo::CDlgImportInfo(int mduId, QWidget* parent)
    : CXDialogEx(false, &ImportTemplate(), parent), m_nMduID(mduId)
{
    m_nHelpId = mduId;
    const QString none;
    m_heads.AddMemberHead({}, QStringLiteral("项目"), XSW, XOFFSET(CXItem, m_strName), none, none, 0, 585, 0, none);
    m_heads.AddMemberHead({}, QStringLiteral("行号"), XIN, XOFFSET(CXItem, m_nSubID), none, none, 0, 585, 0,
                          QStringLiteral("项目在导入文件中的行序号"));
    m_heads.AddComputedHead(
        {}, QStringLiteral("说明"), XSW, [](const CXItem& item, int) -> XFieldValue { return item.GetAlertText(); },
        none, none, 0, 585, -1, QStringLiteral("项目警告和错误状态信息"));
}

bool CDlgImportInfo::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(ID_FILE_IMPORT, 0, false));
    if (auto* icon = qobject_cast<QLabel*>(GetDlgItem(IDI_WARNING))) {
        icon->setPixmap(AppServices().CommandIcon(IDI_WARNING, 0, true).pixmap(32, 32));
        icon->setAlignment(Qt::AlignTop);
    }
    if (CModule* module = FindModule(m_nMduID))
        setWindowTitle(ImportTemplate().caption + module->GetName());
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    m_list->SetItems(&m_items, &m_heads, 2, 1);
    AddListButton(*m_list, ID_EDIT_DELETE, false);
    AddListButton(*m_list, ID_EDIT_MODIFY, true);
    UpdateControls();
    return true;
}

void CDlgImportInfo::UpdateControls()
{
    CXDialogEx::UpdateControls();
    // Validation runs a duplicate query per unique field and record: only when the records
    // changed (deleted rows), not on every selection change.
    std::vector<const CXItem*> current(m_items.begin(), m_items.end());
    if (current == m_validated)
        return;
    m_validated = current;
    const CXItem* user = AppServices().User();
    std::unordered_map<QString, std::vector<CXItem*>> byTitle;
    for (CXItem* item : m_items) {
        item->m_status.clear();
        item->Validate(user, true);
        const auto warned = m_readWarnings.find(item);
        if (warned != m_readWarnings.end())
            for (const QString& text : warned->second)
                item->AddStatusText(ST_WARN, nullptr, text);
        if (!item->m_strName.isEmpty())
            byTitle[item->m_strName].push_back(item);
    }
    for (auto& [title, items] : byTitle)
        if (items.size() > 1)
            for (CXItem* item : items)
                item->AddStatusText(ST_STOP, nullptr, QStringLiteral("存在名称或编号重复的项目！"));
    if (m_list)
        m_list->viewport()->update();
}

void CDlgImportInfo::OnOK()
{
    UpdateControls();
    if (m_items.GetSize() == 0) {
        ShowItemTip(3, IDC_RECORD_LIST, "无可导入项目！");
        return;
    }
    for (int i = m_items.GetSize() - 1; i >= 0; --i)
        if (m_items[i]->GetStatusLevel() >= ST_STOP)
            m_items.RemoveAt(i);
    m_validated.clear();
    if (m_list)
        m_list->SetItems(&m_items, &m_heads, 2, 1); // the list must not keep the dropped records
    CXDialogEx::OnOK();
}

#include "CDlgSelModule.h"

#include "CommandIds.h"

#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "PickerFind.h"
#include "XAppServices.h"

#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& SelModuleTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_MODULE,
                                QStringLiteral("选择模块"),
                                0,
                                {{IDC_RECORD_LIST, K::Custom, QString(), 0, 0, 0},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

XFieldGetter ModuleText(QString (CModule::*text)() const)
{
    return [text](const CXItem& item, int) -> XFieldValue {
        const CModule* module = FindModule(item.m_nMduID);
        return module ? (module->*text)() : QString();
    };
}

} // namespace

CDlgSelModule::CDlgSelModule(QWidget* parent) : CXDialogEx(false, &SelModuleTemplate(), parent)
{
    const QString none;
    m_heads.AddComputedHead({}, QStringLiteral("名称"), XSW, ModuleText(&CModule::GetName), none, none, 0, 585, 10,
                            none);
    m_heads.AddComputedHead({}, QStringLiteral("说明"), XSW, ModuleText(&CModule::GetDescription), none, none, 0, 585,
                            -1, none);
    m_heads.AddComputedHead({}, QStringLiteral("分组"), XSW, ModuleText(&CModule::GetGroupName), none, none, 16, 0, 0,
                            none);
}

bool CDlgSelModule::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(ID_FILE_OPEN, 0, false));
    const CXItem* user = AppServices().User();
    for (CModule* module : GetModules()) {
        if (module->IsHidden() || !user || !module->HasRight(*user, RIGHT_QRY))
            continue;
        auto* item = new CXItem;
        item->m_nMduID = item->m_nID = module->GetMduID();
        m_items.AddAdopted(item);
    }
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    m_list->SetItems(&m_items, &m_heads, 2, 1);
    UpdateControls();
    return true;
}

void CDlgSelModule::UpdateControls()
{
    CXDialogEx::UpdateControls();
    if (QWidget* ok = GetDlgItem(IDOK))
        ok->setEnabled(m_list && m_list->GetSelectedCount() == 1);
}

void CDlgSelModule::OnOK()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    m_nMduID = m_list->GetItemData(m_list->GetFirstSelected())->m_nMduID;
    CXDialogEx::OnOK();
}

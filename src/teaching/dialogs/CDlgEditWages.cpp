#include "CDlgEditWages.h"

#include "CDlgEditViewItems.h"
#include "CModule.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "TypedLines.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& WagesTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_WAGES,
                                QStringLiteral("应发工资"),
                                WS_CHILD,
                                {{IDC_RECORD_LIST, XCtrlKind::Custom, QString(), 0, 0, 0}},
                                {}};
    return t;
}

// The detail page of a wage row; the list pages follow it when the month paid lesson wages.
class XWagesViewPage : public CDlgEditViewItems, public IXFollowingPages
{
public:
    explicit XWagesViewPage(const CXItem* item)
    {
        auto row = std::make_shared<CDBWages>();
        if (item)
            item->CopyTo(row.get());
        row->m_pArray = nullptr;
        m_row = row;
        m_items.Add(row->CopyTo(nullptr));
    }
    std::vector<std::unique_ptr<CXDialogEx>> MakeFollowingPages() const override
    {
        std::vector<std::unique_ptr<CXDialogEx>> pages;
        double lessons = 0;
        for (const auto* r : Typed(m_row->m_records))
            lessons += r->GetLessonWage();
        if (lessons == 0)
            return pages;
        pages.push_back(std::make_unique<CDlgEditWages>(m_row, CDBWages::LessonHeads(), false));
        pages.push_back(std::make_unique<CDlgEditWages>(m_row, CDBWages::ShareHeads(), true));
        return pages;
    }

private:
    std::shared_ptr<const CDBWages> m_row;
};

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditWages, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyItem)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyItem)
X_END_MESSAGE_MAP()

CDlgEditWages::CDlgEditWages(std::shared_ptr<const CDBWages> row, CHeads* heads, bool bStudentLines)
    : CXDialogEx(false, &WagesTemplate()), m_pHeads(heads), m_row(std::move(row))
{
    m_strCaption = heads ? heads->m_strItemType : QString();
    if (!m_row)
        return;
    for (CXItem* record : m_row->m_records) {
        if (!bStudentLines) {
            m_items.Add(record);
            continue;
        }
        for (CXItem* line : static_cast<CDBEduRcd*>(record)->m_students)
            m_items.Add(line);
    }
}

bool CDlgEditWages::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(IDC_RECORD_LIST);
    m_list = new CXListCtrl(slot, IDC_RECORD_LIST);
    FillSlot(slot, m_list, 0);
    m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    m_list->SetItems(&m_items, m_pHeads, 2, 0);
    return true;
}

void CDlgEditWages::OnUpdateModifyItem(XCmdUI* ui) { ui->Enable(m_list && m_list->GetSelectedCount() == 1); }

void CDlgEditWages::OnModifyItem()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    const CXItem* line = m_list->GetItemData(m_list->GetFirstSelected());
    // a student line opens the class it belongs to
    const CXItem* record = line && line->m_nMduID != MDU_EDURCD && line->m_pArray ? line->m_pArray->m_pParent : line;
    if (!record)
        return;
    CXArray one(nullptr, true);
    one.Add(record->CopyTo(nullptr));
    OpenItems(FindModule(MDU_EDURCD), one, true);
}

std::unique_ptr<CXDialogEx> CreateWagesEditPage(bool bNew, const CXItem* item)
{
    Q_UNUSED(bNew);
    return std::make_unique<XWagesViewPage>(item);
}

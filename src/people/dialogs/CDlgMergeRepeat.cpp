#include "CDlgMergeRepeat.h"
#include "CommandIds.h"

#include "CHtmlCtrl.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XAppServices.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& MergeTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_MERGE_REPEAT,
        QStringLiteral("合并重名学员"),
        WS_MAXIMIZEBOX,
        {{IDI_WARNING, K::Static, QString(), 0, 0, 0},
         {IDC_MEMO, K::Static,
          QStringLiteral(
              "即将合并两个重名学员的基本信息及报名收据、课程表、课堂记录、操作记录，合并后只保留一个学员！\r\n"
              "请确认以下将要合并的两个学员"),
          0, 0, 1},
         {IDC_VIEW, K::Custom, QString(), 0, 1, 0, 2},
         {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
         {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
        QSize(640, 520)};
    return t;
}

} // namespace

CDlgMergeRepeat::CDlgMergeRepeat(CXArray& students, QWidget* parent)
    : CXDialogEx(false, &MergeTemplate(), parent), m_students(students)
{}

QString CDlgMergeRepeat::BuildHtml() const
{
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    for (CXItem* item : m_students)
        item->WriteXml(doc, 1, 0, AppServices().User());
    return TransformXsl(doc.GetDocText());
}

bool CDlgMergeRepeat::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(IDC_VIEW);
    // room for both students side by side in the comparison
    slot->setMinimumSize(600, 400);
    m_html = new CHtmlCtrl(slot);
    auto* box = new QVBoxLayout(slot);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_html);
    m_html->SetHTML(BuildHtml());
    return true;
}

bool ConfirmStudentMerge(CXArray& students)
{
    CDlgMergeRepeat dlg(students);
    return dlg.DoModal() == IDOK;
}

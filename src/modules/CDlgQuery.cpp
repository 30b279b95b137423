#include "CDlgQuery.h"

#include "CModule.h"
#include "CDBPrjQuery.h"
#include "CDlgEdit.h"
#include "CDlgSelOne.h"
#include "EditFrame.h"
#include "CommandIds.h"
#include "XMainWindow.h"
#include "CXButton.h"
#include "CXComboBox.h"
#include "CXDateCtrl.h"
#include "CXLinkCtrl.h"
#include "CXQueryOption.h"
#include "FormatString.h"
#include "OperLog.h"
#include "QueryFormGeometry.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XReadOnly.h"
#include "XWinStyles.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLayout>

#include <algorithm>

namespace {

const XDlgTemplate& QueryTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_QUERY,
                                QStringLiteral("自定义查询："),
                                0,
                                {{IDC_RESET, K::Button, QStringLiteral("重置(&R)"), WS_GROUP, -1},
                                 {IDC_MORE, K::Button, QStringLiteral("更多(&M) ..."), 0, -1},
                                 {IDC_SAVEAS, K::Button, QStringLiteral("另存为(&S) ..."), 0, -1},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

// Applies the layouts of a dialog that is not shown yet, so its template controls stand
// where they will be shown.
void SettleLayout(CXDialogEx* dlg)
{
    for (QWidget* w : {static_cast<QWidget*>(dlg), dlg->Content()})
        if (QLayout* l = w->layout()) {
            l->invalidate();
            l->activate();
        }
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgQuery, CXDialogEx)
    X_ON_COMMAND(IDC_MORE, OnSchemeMore)
    X_ON_COMMAND(IDC_SAVEAS, OnSchemeSave)
    X_ON_COMMAND(IDC_RESET, OnSchemeReset)
X_END_MESSAGE_MAP()

CDlgQuery::CDlgQuery(int mduId, const CXMap& query, QWidget* parent)
    : CXDialogEx(false, &QueryTemplate(), parent), m_nMduID(mduId), m_query(query), m_pModule(FindModule(mduId))
{
    m_nHelpId = mduId;
}

bool CDlgQuery::OnInitDialog()
{
    const bool result = CXDialogEx::OnInitDialog();
    if (m_pModule)
        setWindowTitle(QueryTemplate().caption + m_pModule->GetName());
    BuildForm();
    LoadControls();
    return result;
}

void CDlgQuery::BuildForm()
{
    QWidget* reset = GetDlgItem(IDC_RESET);
    QWidget* cancel = GetDlgItem(IDCANCEL);
    if (!m_pModule || !reset || !cancel)
        return;
    SettleLayout(this);
    const QueryFormSizes z = QueryFormSizesAt(ScreenDpi());
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    // Left column under 重置, controls from there to the right edge of 取消; the rows start
    // where the buttons are, which move down as the dialog grows.
    const QRect column = reset->geometry();
    const int left = column.x() + column.width();
    const int right = cancel->geometry().x() + cancel->width();
    const int top = column.y();
    int y = top, bottom = top;
    // The rows come before the template's buttons in the control order.
    QWidget* prev = nullptr;
    auto insert = [&](QWidget* w, int id, const QString& cls, unsigned style, const QRect& at) {
        InsertControlAfter(prev, w, id, cls, style);
        if (!prev) {
            // InsertControlAfter appends without a predecessor: move the first row control to the front.
            auto& order = const_cast<QList<QWidget*>&>(ZOrder());
            order.removeOne(w);
            order.prepend(w);
        } else {
            setTabOrder(prev, w);
        }
        w->installEventFilter(this);
        w->setFont(font);
        w->setGeometry(at);
        bottom = std::max(bottom, at.y() + at.height());
        prev = w;
    };
    for (const auto& option : m_pModule->m_options) {
        if (option->m_nKind == QUERY_HIDE)
            continue;
        Row r;
        r.option = option.get();
        const bool dated = option->m_nKind == QUERY_DATE || option->m_nKind == QUERY_MONTH;
        auto* check = new QCheckBox(option->m_strCaption + (dated ? QString() : QStringLiteral("：")), Content());
        insert(check, FirstFreeId(6), QStringLiteral("Button"), BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP,
               QRect(column.x(), y, column.width(), z.checkHeight));
        connect(check, &QCheckBox::clicked, this, [this] { UpdateControls(); });
        r.check = check;

        const QRect line(left, y, right - left, z.controlHeight);
        int lastLine = y;
        switch (option->m_nKind) {
        case QUERY_FIND: {
            auto* combo = new CXComboBox(Content());
            combo->setEditable(true);
            combo->m_strTable =
                FormatString(u"(SELECT OperMemo FROM TB_OPERLOG WHERE MduID=%d AND TypeID=%d ORDER BY OperTime DESC)",
                             m_nMduID, static_cast<int>(OPER_FIND));
            combo->m_strColumn = QStringLiteral("OperMemo");
            insert(combo, option->m_nKey, QStringLiteral("ComboBox"), WS_TABSTOP, line);
            r.controls.push_back(combo);
            break;
        }
        case QUERY_DATE:
        case QUERY_MONTH: {
            auto* date = new CXDateCtrl(Content());
            date->SetDate(option->m_dtDefault);
            insert(date, option->m_nKey, QStringLiteral("SysDateTimePick32"), WS_TABSTOP,
                   QRect(left, y, z.dateWidth, z.controlHeight));
            r.controls.push_back(date);
            break;
        }
        case QUERY_ITEM: {
            auto* link = new CXLinkCtrl(Content());
            insert(link, option->m_nKey, QStringLiteral("SysLink"), WS_TABSTOP, line);
            link->AddCmd(ID_LINK_SELECTMANY);
            link->AddCmd(IDC_RESET);
            r.controls.push_back(link);
            break;
        }
        case QUERY_OPTION: {
            const bool radio = option->m_arrTexts.size() == 2;
            std::vector<int> widths;
            for (const QString& text : option->m_arrTexts)
                widths.push_back(metrics.horizontalAdvance(text));
            const std::vector<QRect> rects = WrapOptionButtons(widths, left, right, y, z);
            // A pair is exclusive within its group in the control order (WS_GROUP on its first).
            for (int i = 0; i < option->m_arrTexts.size(); ++i) {
                auto* b = new CXButton(radio, option->m_arrTexts[i], Content());
                const unsigned style = radio ? (BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0u)) : BS_AUTOCHECKBOX;
                insert(b, i == 0 ? option->m_nKey : FirstFreeId(6), QStringLiteral("Button"), style, rects[i]);
                if (radio && i == 0)
                    b->setChecked(true);
                connect(b, &QAbstractButton::clicked, this, [this] { UpdateControls(); });
                r.controls.push_back(b);
            }
            if (!rects.empty())
                lastLine = rects.back().y();
            break;
        }
        default:
            break;
        }
        if (option->m_bReadOnly) {
            if (!m_query.Has(option->m_nKey))
                check->setEnabled(false);
            // Every button of an option: one left editable would let the user change it.
            if (option->m_nKind == QUERY_OPTION)
                for (QWidget* b : r.controls)
                    SetWndReadOnly(b, true);
            else if (!r.controls.empty())
                SetWndReadOnly(r.controls.back(), true);
        }
        m_rows.push_back(std::move(r));
        y = lastLine + z.rowStep;
    }
    if (m_rows.empty())
        return;
    // Tab goes through the rows first and reaches the template's buttons (made before the
    // rows) last. Qt does not move a widget from the head of the focus chain straight to
    // its end, so each button first steps in after the first row.
    QWidget* const firstRow = m_rows.front().check;
    for (qsizetype i = ZOrder().indexOf(prev) + 1; i < ZOrder().size(); ++i) {
        QWidget* w = ZOrder()[i];
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        setTabOrder(firstRow, w);
        setTabOrder(prev, w);
        prev = w;
    }
    // The template's buttons keep to the bottom edge, 15 pixels under the last row.
    resize(width(), height() + bottom - top + 15);
    SettleLayout(this);
}

void CDlgQuery::LoadControls()
{
    for (const Row& r : m_rows) {
        const int key = r.option->m_nKey;
        const bool has = m_query.Has(key);
        static_cast<QAbstractButton*>(r.check)->setChecked(has);
        switch (r.option->m_nKind) {
        case QUERY_FIND:
            if (has)
                static_cast<CXComboBox*>(r.controls[0])->setCurrentText(m_query.GetText(key));
            break;
        case QUERY_ITEM:
            if (has)
                static_cast<CXLinkCtrl*>(r.controls[0])->setText(m_query.GetText(key));
            break;
        case QUERY_DATE:
        case QUERY_MONTH:
            // A date that reads as 0 would clear the picker, which allows no "none" here.
            if (has && m_query.GetDate(key).Day() != 0)
                static_cast<CXDateCtrl*>(r.controls[0])->SetDate(m_query.GetDate(key));
            break;
        case QUERY_OPTION:
            for (size_t i = 0; i < r.controls.size(); ++i) {
                auto* b = static_cast<QAbstractButton*>(r.controls[i]);
                b->setChecked(has ? m_query.ListHas(key, r.option->m_arrValues[static_cast<int>(i)])
                                  : HasStyle(b, WS_GROUP) && IsAutoRadio(b));
            }
            break;
        default:
            break;
        }
    }
    UpdateControls();
}

void CDlgQuery::UpdateControls()
{
    CXDialogEx::UpdateControls();
    // Only what the form shows survives: hidden keys, ID lists and foreign keys are dropped.
    m_query.RemoveAll();
    for (const Row& r : m_rows) {
        if (!static_cast<QAbstractButton*>(r.check)->isChecked())
            continue;
        const int key = r.option->m_nKey;
        switch (r.option->m_nKind) {
        case QUERY_FIND:
        case QUERY_ITEM: {
            QWidget* w = r.controls[0];
            if (!w->isEnabled())
                break;
            const QString text = r.option->m_nKind == QUERY_FIND ? static_cast<CXComboBox*>(w)->currentText()
                                                                 : static_cast<CXLinkCtrl*>(w)->text();
            if (!text.isEmpty())
                m_query.SetPlainText(key, text);
            break;
        }
        case QUERY_DATE:
        case QUERY_MONTH: {
            auto* date = static_cast<CXDateCtrl*>(r.controls[0]);
            const int day = static_cast<int>(date->GetDate().Day());
            if (date->isEnabled() && day != 0)
                m_query.SetText(key, QString::number(day));
            break;
        }
        case QUERY_OPTION: {
            QList<int> values;
            for (size_t i = 0; i < r.controls.size(); ++i) {
                auto* b = static_cast<QAbstractButton*>(r.controls[i]);
                if (b->isEnabled() && b->isChecked())
                    values << r.option->m_arrValues[static_cast<int>(i)];
            }
            if (!values.isEmpty())
                m_query.SetText(key, JoinInts(values));
            break;
        }
        default:
            break;
        }
    }
}

void CDlgQuery::OnSchemeButton(int id)
{
    if (id == IDC_MORE) {
        CDlgSelOne picker(MDU_PRJQUERY, 0, this);
        picker.m_query.SetText(QKEY_MODULE, QString::number(m_nMduID));
        if (picker.DoModal() != IDOK)
            return;
        if (const auto* scheme = dynamic_cast<const CDBPrjQuery*>(picker.m_pItem.get())) {
            m_query = CXMap(scheme->m_strRightData);
            LoadControls();
        }
    } else if (id == IDC_RESET) {
        if (!m_pModule)
            return;
        CXArray schemes(nullptr, true);
        m_pModule->GetQuerySchemes(schemes);
        // Without any scheme there is nothing to reset to.
        const auto* first = schemes.GetSize() > 0 ? dynamic_cast<const CDBPrjQuery*>(schemes[0]) : nullptr;
        if (!first)
            return;
        m_query = CXMap(first->m_strRightData);
        LoadControls();
    } else if (id == IDC_SAVEAS) {
        UpdateControls();
        if (m_query.IsEmpty()) {
            ShowItemTip(2, ZOrder().isEmpty() ? 0 : CtrlId(ZOrder().front()), "需设置至少一个有效查询选项！");
            return;
        }
        CModule* schemes = FindModule(MDU_PRJQUERY);
        const std::unique_ptr<CDlgEdit> frame = schemes ? CreateEditDialog(*schemes, true, nullptr) : nullptr;
        if (!frame)
            return;
        if (auto* scheme =
                dynamic_cast<CDBPrjQuery*>(frame->m_pages.empty() ? nullptr : frame->m_pages.front()->GetItem())) {
            scheme->m_nParentID = m_nMduID;
            scheme->m_strRightData = m_query.ToXml();
        }
        if (frame->DoModal() == IDOK)
            if (QObject* main = XGetMainWindow())
                XPostMessage(main, WM_XSTATUSBAR, 0, 0);
    }
}

void CDlgQuery::OnOK()
{
    UpdateControls();
    if (m_pModule && m_pModule->RequiresQuery() && m_query.IsEmpty()) {
        ShowItemTip(2, ZOrder().isEmpty() ? 0 : CtrlId(ZOrder().front()), "需设置至少一个有效查询选项！");
        return;
    }
    // Every find text feeds the find histories, whether or not its row is switched on: an
    // unchecked row only disables its controls for the moment. A row that can never be
    // switched on (a read-only option the query does not hold) has nothing of the user's.
    if (const CXItem* user = AppServices().User()) {
        for (const Row& r : m_rows) {
            if (r.option->m_nKind != QUERY_FIND || !r.check->isEnabled())
                continue;
            const QString text = static_cast<CXComboBox*>(r.controls[0])->currentText();
            if (!text.isEmpty())
                WriteOperLog(OPER_FIND, *user, m_nMduID, 0, text, QString());
        }
    }
    CXDialogEx::OnOK();
}

#include "CDlgRibbonQAT.h"

#include "CXRibbonBar.h"
#include "CommandIds.h"
#include "Resources.h"
#include "XAppServices.h"
#include "XWinStyles.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QListWidget>

namespace {

const XDlgTemplate& QatTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_RIBBON_QAT,
        QStringLiteral("自定义快速访问工具栏"),
        WS_MAXIMIZEBOX,
        {{-1, K::Static, QStringLiteral("由此中选择命令(&C):"), 0, 0, 0},
         {IDC_QAT_CATEGORIES, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWNLIST, 1, 0},
         {-1, K::Static, QStringLiteral("命令(&O):"), 0, 2, 0},
         {IDC_QAT_COMMANDS, K::Custom, QString(), WS_TABSTOP, 3, 0},
         {IDC_QAT_ADD, K::Button, QStringLiteral("添加(&A) >>"), WS_TABSTOP, 3, 1},
         {IDC_QAT_REMOVE, K::Button, QStringLiteral("<< 删除(&R)"), WS_TABSTOP, 4, 1},
         {IDC_QAT_LIST, K::Custom, QString(), WS_TABSTOP, 3, 2},
         {IDC_QAT_UP, K::Button, QStringLiteral("↑"), WS_TABSTOP, 3, 3},
         {IDC_QAT_DOWN, K::Button, QStringLiteral("↓"), WS_TABSTOP, 4, 3},
         {IDC_QAT_BELOW, K::Check, QStringLiteral("在功能区下方显示快速访问工具栏(&H)"), WS_TABSTOP, 7, 0},
         {IDC_QAT_RESET, K::Button, QStringLiteral("重置(&S)"), WS_TABSTOP, 7, 2},
         {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
         {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
        QSize(560, 420)};
    return t;
}

const QString kSeparatorText = QStringLiteral("<分隔符>");

int RowId(const QListWidgetItem* row) { return row ? row->data(Qt::UserRole).toInt() : -1; }

} // namespace

// clang-format off
X_BEGIN_MESSAGE_MAP(CDlgRibbonQAT, CXDialogEx)
    X_ON_COMMAND(IDC_QAT_ADD, OnAdd)
    X_ON_COMMAND(IDC_QAT_REMOVE, OnRemove)
    X_ON_COMMAND_RANGE(IDC_QAT_UP, IDC_QAT_DOWN, OnMove)
    X_ON_COMMAND(IDC_QAT_RESET, OnReset)
    X_ON_UPDATE_COMMAND_UI_RANGE(IDC_QAT_ADD, IDC_QAT_DOWN, OnUpdateButton)
X_END_MESSAGE_MAP()
// clang-format on

CDlgRibbonQAT::CDlgRibbonQAT(CXRibbonBar& ribbon, QWidget* parent)
    : CXDialogEx(false, &QatTemplate(), parent), m_ribbon(ribbon)
{}

QComboBox* CDlgRibbonQAT::Categories() const { return qobject_cast<QComboBox*>(GetDlgItem(IDC_QAT_CATEGORIES)); }
QListWidget* CDlgRibbonQAT::Commands() const { return qobject_cast<QListWidget*>(GetDlgItem(IDC_QAT_COMMANDS)); }
QListWidget* CDlgRibbonQAT::QatList() const { return qobject_cast<QListWidget*>(GetDlgItem(IDC_QAT_LIST)); }

bool CDlgRibbonQAT::OnInitDialog()
{
    const bool ok = CXDialogEx::OnInitDialog();
    QListWidget* commands = EnsureControl<QListWidget>(IDC_QAT_COMMANDS);
    QListWidget* qat = EnsureControl<QListWidget>(IDC_QAT_LIST);
    // the two lists reach down beside both button columns
    if (auto* grid = Content()->findChild<QGridLayout*>()) {
        for (auto [list, col] : {std::pair{commands, 0}, std::pair{qat, 2}}) {
            grid->removeWidget(list);
            grid->addWidget(list, 3, col, 4, 1);
        }
        grid->setRowStretch(6, 1);
    }
    for (QListWidget* list : {commands, qat}) {
        list->setMinimumHeight(220);
        connect(list, &QListWidget::currentRowChanged, this, [this] { RequestUpdate(); });
    }
    connect(commands, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(qat, &QListWidget::itemDoubleClicked, this, [this] { OnRemove(); });

    if (auto* below = qobject_cast<QCheckBox*>(GetDlgItem(IDC_QAT_BELOW)))
        below->setChecked(m_ribbon.IsQatOnBottom());
    QComboBox* categories = Categories();
    categories->addItem(m_ribbon.Definition().mainLabel, -1);
    for (int i = 0; i < m_ribbon.CategoryCount(); ++i)
        categories->addItem(m_ribbon.CategoryLabel(i), i);
    connect(categories, &QComboBox::currentIndexChanged, this, [this] { OnCategory(); });
    categories->setCurrentIndex(0);
    OnCategory();
    for (int id : m_ribbon.QatCommands())
        AddRow(qat, id);
    return ok;
}

void CDlgRibbonQAT::AddRow(QListWidget* list, int id) const
{
    QString text = kSeparatorText;
    QIcon icon;
    if (id != 0) {
        const XRibbonElement* e = m_ribbon.Definition().Find(id);
        text = ExtractCommandText(e && !e->label.isEmpty() ? e->label : LoadCommandText(id, true), false);
        icon = AppServices().CommandIcon(id, 0, false);
    }
    auto* row = new QListWidgetItem(icon, text, list);
    row->setData(Qt::UserRole, id);
}

void CDlgRibbonQAT::OnCategory()
{
    QListWidget* commands = Commands();
    QComboBox* categories = Categories();
    if (!commands || !categories)
        return;
    commands->clear();
    AddRow(commands, 0);
    std::vector<const XRibbonElement*> elements;
    std::function<void(const std::vector<XRibbonElement>&)> collect = [&](const std::vector<XRibbonElement>& list) {
        for (const XRibbonElement& e : list) {
            if (e.kind == XRibbonElement::Kind::Row)
                collect(e.items);
            else if (e.id != 0 && (!e.label.isEmpty() || !LoadCommandText(e.id).isEmpty()))
                elements.push_back(&e);
        }
    };
    const int index = categories->currentData().toInt();
    if (index < 0) {
        collect(m_ribbon.Definition().mainItems);
    } else if (const XRibbonCategory* c = m_ribbon.Category(index)) {
        for (const XRibbonPanel& p : c->panels)
            collect(p.elements);
    }
    for (const XRibbonElement* e : elements)
        AddRow(commands, e->id);
    commands->setCurrentRow(0);
    RequestUpdate();
}

std::vector<int> CDlgRibbonQAT::ListedIds() const
{
    std::vector<int> ids;
    if (QListWidget* qat = QatList())
        for (int i = 0; i < qat->count(); ++i)
            ids.push_back(RowId(qat->item(i)));
    return ids;
}

bool CDlgRibbonQAT::CanAdd() const
{
    const int id = Commands() ? RowId(Commands()->currentItem()) : -1;
    if (id < 0)
        return false;
    const std::vector<int> ids = ListedIds();
    return id == 0 || std::ranges::count(ids, id) == 0;
}

void CDlgRibbonQAT::OnAdd()
{
    if (!CanAdd())
        return;
    QListWidget* commands = Commands();
    QListWidget* qat = QatList();
    AddRow(qat, RowId(commands->currentItem()));
    qat->setCurrentRow(qat->count() - 1);
    if (commands->currentRow() + 1 < commands->count())
        commands->setCurrentRow(commands->currentRow() + 1);
    RequestUpdate();
}

void CDlgRibbonQAT::OnRemove()
{
    QListWidget* qat = QatList();
    const int row = qat ? qat->currentRow() : -1;
    if (row < 0)
        return;
    delete qat->takeItem(row);
    if (qat->count() > 0)
        qat->setCurrentRow(std::min(row, qat->count() - 1));
    RequestUpdate();
}

void CDlgRibbonQAT::OnMove(int id)
{
    QListWidget* qat = QatList();
    const int row = qat ? qat->currentRow() : -1;
    const int to = id == IDC_QAT_UP ? row - 1 : row + 1;
    if (row < 0 || to < 0 || to >= qat->count())
        return;
    QListWidgetItem* item = qat->takeItem(row);
    qat->insertItem(to, item);
    qat->setCurrentRow(to);
    RequestUpdate();
}

void CDlgRibbonQAT::OnReset()
{
    QListWidget* qat = QatList();
    qat->clear();
    for (int id : m_ribbon.Definition().qat)
        AddRow(qat, id);
    RequestUpdate();
}

void CDlgRibbonQAT::OnUpdateButton(XCmdUI* ui)
{
    QListWidget* qat = QatList();
    const int row = qat ? qat->currentRow() : -1;
    switch (ui->m_nID) {
    case IDC_QAT_ADD:
        ui->Enable(CanAdd());
        break;
    case IDC_QAT_REMOVE:
        ui->Enable(row >= 0);
        break;
    case IDC_QAT_UP:
        ui->Enable(row > 0);
        break;
    case IDC_QAT_DOWN:
        ui->Enable(row >= 0 && row + 1 < qat->count());
        break;
    default:
        break;
    }
}

void CDlgRibbonQAT::OnOK()
{
    m_ribbon.SetQatCommands(ListedIds());
    if (auto* below = qobject_cast<QCheckBox*>(GetDlgItem(IDC_QAT_BELOW)))
        m_ribbon.SetQatOnBottom(below->isChecked());
    CXDialogEx::OnOK();
}

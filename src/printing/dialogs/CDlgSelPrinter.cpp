#include "CDlgSelPrinter.h"

#include "CXArray.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "XPrinterCatalog.h"
#include "XUi.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTreeWidget>

CDlgSelPrinter::CDlgSelPrinter(QWidget* parent) : QDialog(parent), m_list(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("选择打印机"));
    auto* box = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    top->addWidget(icon);
    top->addWidget(new QLabel(QStringLiteral("未设定实体打印机或设定的打印机未安装，请重新选择一个打印机！"), this), 1);
    box->addLayout(top);
    m_list->setObjectName(QStringLiteral("printerList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("任务队列"), QStringLiteral("状态")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    box->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto* refresh = new QPushButton(QStringLiteral("刷新"), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(ok);
    box->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, this, &CDlgSelPrinter::Refresh);
    connect(ok, &QPushButton::clicked, this, &CDlgSelPrinter::OnOk);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this, ok] { ok->setEnabled(m_list->selectedItems().size() == 1); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CDlgSelPrinter::OnOk);
    resize(560, 320);
    Refresh();
    ok->setEnabled(false);
}

void CDlgSelPrinter::Refresh()
{
    XWaitCursor wait;
    m_list->clear();
    CXArray printers(nullptr, true);
    GetPrinterList(printers, false);
    for (const CXItem* p : printers) {
        const QString jobs = p->m_nSubID ? QString::number(p->m_nSubID) : QStringLiteral("无");
        QStringList states;
        for (const CXStatus& s : p->m_status)
            states << s.m_strText;
        m_list->addTopLevelItem(new QTreeWidgetItem({p->m_strName, jobs, states.join(u' ')}));
    }
}

void CDlgSelPrinter::OnOk()
{
    const QList<QTreeWidgetItem*> chosen = m_list->selectedItems();
    if (chosen.size() != 1)
        return;
    m_strPrinter = chosen[0]->text(0);
    accept();
}

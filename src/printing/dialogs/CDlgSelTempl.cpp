#include "CDlgSelTempl.h"

#include "CXArray.h"
#include "CXItem.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>

CDlgSelTempl::CDlgSelTempl(const CXArray& templs, QWidget* parent)
    : QDialog(parent), m_templs(templs), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("选择打印模板"));
    auto* box = new QVBoxLayout(this);
    m_list->setObjectName(QStringLiteral("templateList"));
    for (const CXItem* t : templs) {
        auto* row = new QListWidgetItem(t->m_strMemo.isEmpty() ? t->m_strName
                                                               : t->m_strName + QStringLiteral("　（") + t->m_strMemo +
                                                                     QStringLiteral("）"));
        m_list->addItem(row);
    }
    box->addWidget(m_list, 1);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    box->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &CDlgSelTempl::OnOk);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CDlgSelTempl::OnOk);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    resize(420, 280);
}

void CDlgSelTempl::OnOk()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_templs.GetSize())
        return;
    m_chosen = m_templs.GetAt(row);
    accept();
}

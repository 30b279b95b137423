#include "CDlgMsgBox.h"

#include "XAppServices.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

CDlgMsgBox::CDlgMsgBox(unsigned type, const QString& caption, QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    setWindowTitle(caption.isEmpty() ? QStringLiteral("提示标题") : caption);
    m_pIcon = new QLabel(this);
    const auto icon = static_cast<QStyle::StandardPixmap>(IconFor(type));
    m_pIcon->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    m_pIcon->setAlignment(Qt::AlignTop);
    m_pText = new QLabel(this);
    m_pText->setWordWrap(true);
    m_pText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pList = new QTreeWidget(this);
    m_pList->setColumnCount(2);
    m_pList->setHeaderLabels({QStringLiteral("项目"), QStringLiteral("说明")});
    m_pList->setRootIsDecorated(false);
    m_pList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_pList->header()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(m_pIcon);
    top->addWidget(m_pText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    resize(520, 360);
}

int CDlgMsgBox::IconFor(unsigned type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION:
        return QStyle::SP_MessageBoxQuestion;
    case MB_ICONINFORMATION:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_MessageBoxWarning;
    }
}

void CDlgMsgBox::SetText(const QString& text)
{
    m_pText->setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void CDlgMsgBox::AddItem(const QString& item, const QString& explanation)
{
    new QTreeWidgetItem(m_pList, {item, explanation});
}

void CDlgMsgBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QApplication::beep();
}

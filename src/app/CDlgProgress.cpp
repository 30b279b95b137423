#include "CDlgProgress.h"

#include <QtGui/QCloseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

CDlgProgress::CDlgProgress(const QString& title, int range, QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow()), m_nRange(range)
{
    setWindowTitle(title.isEmpty() ? QStringLiteral("Lorvan Manager") : title);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) & ~Qt::WindowCloseButtonHint);
    m_pText = new QLabel(this);
    m_pText->setMinimumWidth(320);
    m_pBar = new QProgressBar(this);
    m_pBar->setRange(0, std::max(range, 1));
    m_pBar->setValue(0);
    m_pBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText);
    layout->addWidget(m_pBar);
    setModal(false);
    show();
    QApplication::processEvents();
}

void CDlgProgress::Step(const QString& text)
{
    if (!text.isEmpty())
        m_pText->setText(text);
    if (m_nRange > 0)
        m_pBar->setValue(std::min(m_pBar->value() + 1, m_pBar->maximum()));
    QApplication::processEvents();
}

void CDlgProgress::closeEvent(QCloseEvent* event) { event->ignore(); }

#include "CXMFCStatusBar.h"

#include "Resources.h"
#include "XCmdTarget.h"
#include "XDrawing.h"

#include <QtCore/QEvent>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>

#include <algorithm>

namespace {
constexpr int kIconSize = 16;
}

int FitPaneWidthFor(int textWidth, bool hasIcon, int minWidth96, int dpi)
{
    return std::max(textWidth + (hasIcon ? 24 : 4), minWidth96 * dpi / 96);
}

CXMFCStatusBar::CXMFCStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(true); }

void CXMFCStatusBar::SetIndicators(const std::vector<int>& ids)
{
    for (Pane& pane : m_panes)
        if (pane.box) {
            removeWidget(pane.box);
            delete pane.box;
        }
    m_panes.clear();
    for (int id : ids) {
        Pane pane;
        pane.id = id;
        if (id != 0) {
            // the message pane is the bar's own; every other pane is a box of icon and text
            pane.box = new QWidget(this);
            auto* layout = new QHBoxLayout(pane.box);
            layout->setContentsMargins(2, 0, 2, 0);
            layout->setSpacing(4);
            pane.icon = new QLabel(pane.box);
            pane.icon->setFixedSize(kIconSize, kIconSize);
            pane.icon->hide();
            pane.text = new QLabel(pane.box);
            layout->addWidget(pane.icon);
            layout->addWidget(pane.text, 1);
            pane.box->installEventFilter(this);
            addPermanentWidget(pane.box);
        }
        m_panes.push_back(pane);
        if (pane.box)
            UpdateTip(m_panes.back());
    }
}

int CXMFCStatusBar::CommandToIndex(int id) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[i].id == id)
            return i;
    return -1;
}

int CXMFCStatusBar::GetItemID(int index) const { return Valid(index) ? m_panes[index].id : -1; }

void CXMFCStatusBar::SetPaneText(int index, const QString& text)
{
    if (!Valid(index))
        return;
    if (!m_panes[index].text)
        showMessage(text);
    else
        m_panes[index].text->setText(text);
}

QString CXMFCStatusBar::GetPaneText(int index) const
{
    if (!Valid(index))
        return QString();
    return m_panes[index].text ? m_panes[index].text->text() : currentMessage();
}

void CXMFCStatusBar::SetPaneIcon(int index, const QIcon& icon)
{
    if (!Valid(index) || !m_panes[index].icon)
        return;
    Pane& pane = m_panes[index];
    pane.image = icon;
    if (icon.isNull()) {
        pane.icon->clear();
        pane.icon->hide();
        return;
    }
    pane.icon->setPixmap(icon.pixmap(kIconSize, kIconSize));
    pane.icon->show();
}

bool CXMFCStatusBar::HasPaneIcon(int index) const { return Valid(index) && !m_panes[index].image.isNull(); }

QIcon CXMFCStatusBar::GetPaneIcon(int index) const { return Valid(index) ? m_panes[index].image : QIcon(); }

void CXMFCStatusBar::SetPaneTextColor(int index, const QColor& color)
{
    if (!Valid(index) || !m_panes[index].text)
        return;
    m_panes[index].color = color;
    QPalette palette = m_panes[index].text->palette();
    palette.setColor(QPalette::WindowText, color.isValid() ? color : this->palette().color(QPalette::WindowText));
    m_panes[index].text->setPalette(palette);
}

QColor CXMFCStatusBar::GetPaneTextColor(int index) const { return Valid(index) ? m_panes[index].color : QColor(); }

void CXMFCStatusBar::SetTipText(int index, const QString& tip)
{
    if (!Valid(index))
        return;
    m_panes[index].tip = tip;
    UpdateTip(m_panes[index]);
}

QString CXMFCStatusBar::GetTipText(int index) const
{
    if (!Valid(index))
        return QString();
    const Pane& pane = m_panes[index];
    return pane.tip.isEmpty() ? LoadCommandPrompt(pane.id) : pane.tip;
}

void CXMFCStatusBar::UpdateTip(Pane& pane)
{
    if (!pane.box)
        return;
    const QString tip = pane.tip.isEmpty() ? LoadCommandPrompt(pane.id) : pane.tip;
    // the same text changes nothing, so a tip that shows is not restarted
    if (pane.box->toolTip() != tip)
        pane.box->setToolTip(tip);
}

void CXMFCStatusBar::FitPaneWidth(int index, int minWidth96)
{
    if (!Valid(index) || !m_panes[index].box)
        return;
    Pane& pane = m_panes[index];
    const int textWidth = QFontMetrics(pane.text->font()).horizontalAdvance(pane.text->text());
    const int width = FitPaneWidthFor(textWidth, HasPaneIcon(index), minWidth96, ScreenDpi());
    if (pane.box->width() != width || pane.box->minimumWidth() != width)
        pane.box->setFixedWidth(width);
}

int CXMFCStatusBar::GetPaneWidth(int index) const
{
    return Valid(index) && m_panes[index].box ? m_panes[index].box->minimumWidth() : 0;
}

bool CXMFCStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        for (const Pane& pane : m_panes)
            if (pane.box == watched && pane.id > 0) {
                if (QWidget* target = window())
                    XPostCommand(target, pane.id);
                return true;
            }
    return QStatusBar::eventFilter(watched, event);
}

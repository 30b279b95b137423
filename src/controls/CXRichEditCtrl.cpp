#include "CXRichEditCtrl.h"

#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

QMargins RichEditInset(int dpi, const QMargins& mm)
{
    const auto px = [dpi](int v) { return dpi * v * 10 / 254; };
    return QMargins(px(mm.left()), px(mm.top()), px(mm.right()), px(mm.bottom()));
}

CXRichEditCtrl::CXRichEditCtrl(QWidget* parent) : QTextEdit(parent)
{
    connect(this, &QTextEdit::textChanged, this, [this] {
        // the edit lays text out lazily; the last block's place forces the layout through
        QTextDocument* doc = document();
        doc->documentLayout()->blockBoundingRect(doc->lastBlock());
        emit requestResize(doc->size());
    });
}

int CXRichEditCtrl::ScreenDpi()
{
    static const int dpi = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? qRound(screen->logicalDotsPerInch()) : 96;
    }();
    return dpi;
}

void CXRichEditCtrl::SetTemplateMargins(std::optional<QMargins> marginsMm)
{
    m_marginsMm = marginsMm;
    setViewportMargins(m_marginsMm ? RichEditInset(ScreenDpi(), *m_marginsMm) : QMargins());
    update();
}

void CXRichEditCtrl::SetPageEnds(std::vector<int> ends)
{
    if (ends == m_pageEnds)
        return;
    m_pageEnds = std::move(ends);
    viewport()->update();
}

void CXRichEditCtrl::paintEvent(QPaintEvent* e)
{
    QTextEdit::paintEvent(e);
    if (m_pageEnds.empty())
        return;
    // the text's own page ends, where printing starts a new sheet (the last one is the end
    // of the text, not a break)
    QPainter painter(viewport());
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    const int dy = verticalScrollBar()->value();
    for (std::size_t i = 0; i + 1 < m_pageEnds.size(); ++i) {
        const int y = m_pageEnds[i] - dy;
        painter.drawLine(0, y, viewport()->width(), y);
    }
}

bool CXRichEditCtrl::event(QEvent* e)
{
    const bool handled = QTextEdit::event(e);
    if (e->type() == QEvent::Paint)
        PaintMarks();
    return handled;
}

void CXRichEditCtrl::PaintMarks()
{
    // Only the area outside the viewport is ours; the lines through the viewport's edges
    // show there as two short marks at each corner.
    const QRect client = viewport()->geometry();
    QPainter painter(this);
    painter.setClipRegion(QRegion(rect()) - QRegion(client));
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    const int left = client.left();
    const int top = client.top();
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();
    painter.drawLine(left - 30, top, right + 30, top);
    painter.drawLine(left - 30, bottom - 1, right + 30, bottom - 1);
    painter.drawLine(left, top - 30, left, bottom + 30);
    painter.drawLine(right - 1, top - 30, right - 1, bottom + 30);
}

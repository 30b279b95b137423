#include "CXPrintPreview.h"

#include "CXPrintView.h"

#include <QtGui/QPainter>
#include <QtWidgets/QLabel>

namespace {

const QColor kBackground(205, 215, 230);
constexpr int kGap = 16;

} // namespace

CXPrintPreview::CXPrintPreview(QWidget* parent) : QScrollArea(parent), m_canvas(new QLabel)
{
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignCenter);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setBackgroundRole(QPalette::Window);
    m_canvas->setAlignment(Qt::AlignCenter);
    m_canvas->setAutoFillBackground(false);
    setWidget(m_canvas);
    setWidgetResizable(false);
}

int CXPrintPreview::GetPageCount() const { return m_view ? m_view->GetPageCount() : 0; }

QString CXPrintPreview::GetPageText() const { return QStringLiteral("%1/%2").arg(m_current).arg(GetPageCount()); }

void CXPrintPreview::SetView(const CXPrintView* view, bool twoPages)
{
    m_view = view;
    m_allowTwo = twoPages && GetPageCount() > 1;
    m_twoPages = m_allowTwo;
    m_current = GetPageCount() > 0 ? 1 : 0;
    ApplyTwoPageRule();
    Render();
}

void CXPrintPreview::Refresh()
{
    m_current = std::clamp(m_current, GetPageCount() > 0 ? 1 : 0, GetPageCount());
    ApplyTwoPageRule();
    Render();
}

void CXPrintPreview::ApplyTwoPageRule()
{
    // a pair always shows two existing pages
    if (m_twoPages && m_current > 1 && m_current == GetPageCount())
        --m_current;
}

void CXPrintPreview::Next()
{
    if (!CanNext())
        return;
    ++m_current;
    Render();
}

void CXPrintPreview::Prev()
{
    if (!CanPrev())
        return;
    --m_current;
    Render();
}

void CXPrintPreview::ZoomIn()
{
    if (m_twoPages)
        m_twoPages = false;
    else
        m_zoom = std::min(4.0, (m_zoom > 0 ? m_zoom : FitZoom()) * 1.5);
    Render();
}

void CXPrintPreview::ZoomOut()
{
    if (m_zoom > 0) {
        m_zoom = 0; // back to the whole sheet
    } else if (m_allowTwo && !m_twoPages) {
        m_twoPages = true;
        ApplyTwoPageRule();
    }
    Render();
}

double CXPrintPreview::FitZoom() const
{
    if (!m_view)
        return 1.0;
    const QSizeF mm = m_view->GetPaperSize();
    const double h = MmToPixels(mm.height(), 96.0);
    const double w = MmToPixels(mm.width(), 96.0) * (m_twoPages ? 2 : 1);
    const QSize room = viewport()->size() - QSize(kGap * 3, kGap * 2);
    return std::clamp(std::min(room.height() / h, room.width() / w), 0.1, 4.0);
}

void CXPrintPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_zoom <= 0 && m_view)
        Render();
}

QImage CXPrintPreview::RenderPage(int page) const
{
    const QSizeF mm = m_view->GetPaperSize();
    const double dpi = 96.0 * (m_zoom > 0 ? m_zoom : FitZoom()) * devicePixelRatioF();
    QImage image(qRound(MmToPixels(mm.width(), dpi)), qRound(MmToPixels(mm.height(), dpi)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    m_view->PaintPage(p, page, QRectF(QPointF(0, 0), image.size()));
    p.end();
    image.setDevicePixelRatio(devicePixelRatioF());
    return image;
}

void CXPrintPreview::Render()
{
    if (!m_view || m_current < 1) {
        m_canvas->clear();
        m_canvas->resize(1, 1);
        emit PageChanged();
        return;
    }
    std::vector<QImage> pages{RenderPage(m_current - 1)};
    if (m_twoPages && m_current < GetPageCount())
        pages.push_back(RenderPage(m_current));
    const QSize one = pages[0].size() / pages[0].devicePixelRatio();
    const QSize all((one.width() + kGap) * static_cast<int>(pages.size()) + kGap, one.height() + 2 * kGap);
    QPixmap canvas(all * devicePixelRatioF());
    canvas.setDevicePixelRatio(devicePixelRatioF());
    canvas.fill(kBackground);
    QPainter p(&canvas);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QPoint at(kGap + static_cast<int>(i) * (one.width() + kGap), kGap);
        p.fillRect(QRect(at + QPoint(3, 3), one), QColor(150, 160, 175)); // a shadow under the sheet
        p.drawImage(at, pages[i]);
    }
    p.end();
    m_canvas->setPixmap(canvas);
    m_canvas->resize(all);
    emit PageChanged();
}

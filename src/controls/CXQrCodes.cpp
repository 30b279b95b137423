#include "CXQrCodes.h"

#include "CXImage.h"
#include "CommandIds.h"
#include "TextUtils.h"
#include "WebState.h"
#include "XAppServices.h"
#include "XUi.h"

#include <QtGui/QContextMenuEvent>
#include <QtGui/QHelpEvent>
#include <QtGui/QIcon>
#include <QtGui/QPainter>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolTip>

namespace {

class CWebServiceStatus : public IWebStatus
{
public:
    QString GetInternetUrl() const override { return xInternet::GetInternetUrl(); }
    QString GetLocalUrl() const override { return xInternet::GetLocalUrl(); }
    int GetRelayConnections() const override
    {
        std::lock_guard guard(xInternet::WebStateLock());
        return xInternet::RelayConnections();
    }
};

constexpr int kButton = 24;

} // namespace

CXQrCodes::CXQrCodes(QWidget* parent, std::unique_ptr<IWebStatus> status)
    : QWidget(parent), m_status(status ? std::move(status) : std::make_unique<CWebServiceStatus>())
{
    m_tabs[0].nCmd = ID_INTERNET_VIEW;
    m_tabs[0].strCaption = QStringLiteral("微信或浏览器扫描后通过 Internet 登录");
    m_tabs[1].nCmd = ID_INTRANET_VIEW;
    m_tabs[1].strCaption = QStringLiteral("微信或浏览器扫描后通过本地网络登录，与本机连接至同一无线网时可用");
    setCursor(Qt::PointingHandCursor);
    connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
    Refresh();
    m_timer.start(1000);
}

CXQrCodes::~CXQrCodes() = default;

bool CXQrCodes::Refresh()
{
    bool changed = false;
    for (int i = 0; i < 2; ++i) {
        Tab& tab = m_tabs[i];
        tab.strTip = tab.strCaption;
        QString url;
        bool enabled;
        if (i == 0) {
            url = m_status->GetInternetUrl();
            enabled = m_status->GetRelayConnections() > 0;
            if (!enabled)
                tab.strTip += QStringLiteral("\n未连接代理服务器，无法访问。");
        } else {
            url = m_status->GetLocalUrl();
            enabled = !url.isEmpty();
            if (!enabled)
                tab.strTip += QStringLiteral("\n本地 HTTP 服务未启动，无法访问。");
        }
        if (url != tab.strUrl || enabled != tab.bEnabled) {
            tab.strUrl = url;
            tab.bEnabled = enabled;
            changed = true;
        }
    }
    if (changed)
        update();
    return changed;
}

void CXQrCodes::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_rcCode = QRect(0, 0, width(), height() - kButton - 1);
    for (int i = 0; i < 2; ++i)
        m_tabs[i].rcSquare = QRect(i * kButton, height() - kButton, kButton, kButton);
}

QRect CXQrCodes::CodeArea() const { return m_rcCode.adjusted(6, 6, -5, -5); }

void CXQrCodes::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Mid);
    painter.fillRect(m_rcCode, Qt::white);
    painter.setPen(shadow);
    painter.drawRect(m_rcCode);
    for (int i = 0; i < 2; ++i) {
        const Tab& tab = m_tabs[i];
        painter.fillRect(tab.rcSquare, i == m_nTab ? QColor(Qt::white) : palette().color(QPalette::Window));
        painter.drawRect(tab.rcSquare.adjusted(0, 0, -1, -1));
        const QIcon icon = AppServices().CommandIcon(tab.nCmd, tab.bEnabled ? 0 : 0xFFFFFF, false);
        icon.paint(&painter, QRect(tab.rcSquare.center() - QPoint(7, 7), QSize(16, 16)));
    }
    const Tab& tab = m_tabs[m_nTab];
    const QRect area = CodeArea();
    if (tab.strUrl.isEmpty() || area.width() <= 0 || area.height() <= 0)
        return;
    CXImage code;
    code.MakeQrCode(tab.strUrl, std::min(area.width(), area.height()),
                    tab.bEnabled ? qRgb(0, 0, 0) : qRgb(192, 192, 192));
    code.Paint(&painter, area, false);
    // The white centre keeps the code readable (level H) and marks which address it is.
    const QRect centre(area.center().x() - 9, area.center().y() - 9, 18, 18);
    painter.fillRect(centre, Qt::white);
    AppServices().CommandIcon(tab.nCmd, 0, false).paint(&painter, centre.adjusted(1, 1, -1, -1));
}

void CXQrCodes::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    for (int i = 0; i < 2; ++i) {
        if (m_tabs[i].rcSquare.contains(pos) && i != m_nTab) {
            m_nTab = i;
            update();
            return;
        }
    }
    if (event->button() == Qt::LeftButton && m_rcCode.contains(pos) && !m_tabs[m_nTab].strUrl.isEmpty())
        XUi::ShellOpen(m_tabs[m_nTab].strUrl);
}

void CXQrCodes::contextMenuEvent(QContextMenuEvent* event)
{
    const QString url = m_tabs[m_nTab].strUrl;
    if (url.isEmpty())
        return;
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("复制内容"));
    QAction* open = menu.addAction(QStringLiteral("访问"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy)
        CopyToClipboard(this, url);
    else if (chosen == open)
        XUi::ShellOpen(url);
}

bool CXQrCodes::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const QPoint pos = static_cast<QHelpEvent*>(event)->pos();
        for (const Tab& tab : m_tabs) {
            if (tab.rcSquare.contains(pos)) {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tab.strTip, this);
                return true;
            }
        }
        const Tab& current = m_tabs[m_nTab];
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           current.strUrl.isEmpty() ? current.strTip : current.strUrl, this);
        return true;
    }
    return QWidget::event(event);
}

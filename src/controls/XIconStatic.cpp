#include "XIconStatic.h"

#include "CommandIds.h"
#include "XAppServices.h"

#include <QtGui/QPainter>

XIconStatic::XIconStatic(QWidget* parent) : QLabel(parent)
{
    setWordWrap(true);
    QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Preferred);
    sp.setHeightForWidth(true);
    setSizePolicy(sp);
}

int XIconStatic::IconIdOf(const QString& text)
{
    const QString p = text.left(3).toLower();
    if (p == QLatin1String("[i]"))
        return IDI_INFORMATION;
    if (p == QLatin1String("[t]"))
        return IDI_TIP;
    if (p == QLatin1String("[w]"))
        return IDI_WARNING;
    if (p == QLatin1String("[e]"))
        return IDI_ERROR;
    if (p == QLatin1String("[h]"))
        return IDI_HELP;
    return 0;
}

int XIconStatic::heightForWidth(int w) const
{
    const QRect r = fontMetrics().boundingRect(QRect(0, 0, std::max(w - 22, 10), 10000), Qt::TextWordWrap, Body());
    return std::max(r.height(), 16);
}

QSize XIconStatic::sizeHint() const
{
    const int w = 22 + std::min(fontMetrics().horizontalAdvance(Body()), 360);
    return QSize(w, heightForWidth(w));
}

void XIconStatic::paintEvent(QPaintEvent* event)
{
    const int id = IconIdOf(text());
    if (!id) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    const QIcon icon = AppServices().CommandIcon(id, 0, false);
    if (!icon.isNull())
        icon.paint(&p, QRect(0, 0, 16, 16));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect().adjusted(22, 0, 0, 0), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Body());
}

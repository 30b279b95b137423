// The list cells a record paints itself.
#include "CXItem.h"

#include "CHead.h"
#include "CXArray.h"
#include "CommandIds.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCellDraw.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>

namespace {

// An int or time-span field: the getter's result or the member.
int IntValue(const CXItem& item, const CHead* head)
{
    if (head->m_pfnGet) {
        const XFieldValue v = head->m_pfnGet(item, 0);
        const int* i = std::get_if<int>(&v);
        return i ? *i : 0;
    }
    return head->m_nOffset ? item.Member<int>(head->m_nOffset) : 0;
}

int SpanBegin(int v) { return (v / 1000000) * 60 + (v / 10000) % 100; }
int SpanEnd(int v) { return ((v / 100) % 100) * 60 + v % 100; }

bool IsOnOffFormat(const QString& format)
{
    for (const char16_t* f : {u"停用|启用", u"否|是", u"无|有", u"禁止|允许"})
        if (format == f)
            return true;
    return false;
}

QColor GrayText(const XCellDraw& cd) { return cd.palette.color(QPalette::Disabled, QPalette::WindowText); }
QColor WindowText(const XCellDraw& cd) { return cd.palette.color(QPalette::Active, QPalette::WindowText); }

QFont SmallFont(const XCellDraw& cd)
{
    QFont f = cd.font;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * 0.75);
    else
        f.setPixelSize(std::max(6, f.pixelSize() * 3 / 4));
    return f;
}

// One line, vertically centred, cut with an ellipsis; returns the width used.
int DrawLine(QPainter& p, const QRect& rc, const QString& text, int flags = Qt::AlignLeft)
{
    const QFontMetrics fm(p.font());
    const QString shown = fm.elidedText(text, Qt::ElideRight, rc.width());
    p.drawText(rc, flags | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    return std::min(fm.horizontalAdvance(shown), rc.width());
}

std::pair<int, int> SpanScale(XCellDraw& cd, const CHead* head)
{
    const auto found = cd.spanScale.constFind(head);
    if (found != cd.spanScale.constEnd())
        return *found;
    int earliest = 24 * 60;
    int latest = 0;
    if (cd.pItems)
        for (const CXItem* item : *cd.pItems) {
            const int v = IntValue(*item, head);
            if (v == 0)
                continue;
            earliest = std::min(earliest, SpanBegin(v));
            latest = std::max(latest, SpanEnd(v));
        }
    return cd.spanScale[head] = {earliest, latest};
}

void DrawTimeSpan(const CXItem& item, const CHead* head, int value, XCellDraw& cd)
{
    QPainter& p = *cd.pDC;
    QRect rc = cd.rc;
    rc.setLeft(rc.left() + DrawLine(p, rc, CXTimeSpan(value).Format()) + 1);

    const int begin = SpanBegin(value);
    const int end = SpanEnd(value);
    if (value / 10000 != 0 && value % 10000 != 0) {
        const int minutes = end - begin;
        const QString duration = QStringLiteral("%1'%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
        p.save();
        p.setPen(GrayText(cd));
        p.setFont(cd.font);
        DrawLine(p, rc, duration, Qt::AlignRight);
        p.restore();
    }

    QRect band(rc.left(), rc.bottom() + 1 - 8, rc.width(), 6);
    p.fillRect(band, cd.palette.color(QPalette::Base));
    p.save();
    p.setPen(cd.palette.color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(band.adjusted(0, 0, -1, -1));
    p.restore();
    band.adjust(1, 1, -1, -1);
    const auto [earliest, latest] = SpanScale(cd, head);
    const int range = latest - earliest;
    // a list whose spans all begin and end alike fills the whole band
    const int x0 = range > 0 ? band.left() + (begin - earliest) * band.width() / range : band.left();
    const int x1 = range > 0 ? band.left() + (end - earliest) * band.width() / range : band.right() + 1;
    const QColor colour = item.GetStatusLevel() == ST_GRAY ? QColor(160, 160, 160) : QColor(153, 201, 239);
    p.fillRect(QRect(QPoint(x0, band.top()), QPoint(x1 - 1, band.bottom())), colour);
}

void DrawStruckMemo(QString text, XCellDraw& cd)
{
    text.replace(QLatin1String("<br/>"), QLatin1String(" "));
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    QPainter& p = *cd.pDC;
    QFont struck = cd.font;
    struck.setStrikeOut(true);
    QRect rc = cd.rc;
    const QString open = QStringLiteral("<del>");
    const QString close = QStringLiteral("</del>");
    p.save();
    for (qsizetype at = 0; rc.width() > 0;) {
        const qsizetype start = text.indexOf(open, at);
        p.setFont(cd.font);
        p.setPen(WindowText(cd));
        if (start < 0) {
            DrawLine(p, rc, text.mid(at));
            break;
        }
        rc.setLeft(rc.left() + DrawLine(p, rc, text.mid(at, start - at)));
        const qsizetype stop = text.indexOf(close, start + open.size());
        if (stop < 0 || rc.width() <= 0)
            break;
        p.setFont(struck);
        p.setPen(GrayText(cd));
        rc.setLeft(rc.left() + DrawLine(p, rc, text.mid(start + open.size(), stop - start - open.size())));
        at = stop + close.size();
    }
    p.restore();
}

void DrawSupSub(const QString& text, XCellDraw& cd)
{
    QPainter& p = *cd.pDC;
    const QFont small = SmallFont(cd);
    int right = cd.rc.right() + 1;
    p.save();
    for (qsizetype i = text.size() - 1; i >= 0 && right > cd.rc.left(); --i) {
        const int kind = GetSupSubKind(text[i]);
        int flags = Qt::AlignVCenter;
        if (kind > 0) {
            p.setFont(small);
            p.setPen(QColor(192, 0, 0));
            flags = Qt::AlignTop;
        } else if (kind < 0) {
            p.setFont(small);
            p.setPen(GrayText(cd));
            flags = Qt::AlignBottom;
        } else {
            p.setFont(cd.font);
            p.setPen(WindowText(cd));
        }
        const int width = QFontMetrics(p.font()).horizontalAdvance(text[i]);
        p.drawText(QRect(cd.rc.left(), cd.rc.top(), right - cd.rc.left(), cd.rc.height()),
                   flags | Qt::AlignRight | Qt::TextSingleLine, QString(text[i]));
        right -= width;
    }
    p.restore();
}

} // namespace

bool CXItem::DrawCell(const CHead* head, XCellDraw* cd)
{
    if (!head)
        return false;
    const bool paint = cd && cd->pDC && !cd->rc.isEmpty();

    if (head->m_nType == XTS) {
        const int value = IntValue(*this, head);
        if (paint && value != 0)
            DrawTimeSpan(*this, head, value, *cd);
        return true;
    }

    if (head->m_nType == XIN && IsOnOffFormat(GetFormat(head))) {
        const int value = IntValue(*this, head);
        if (paint && value != 0) {
            const QIcon icon = AppServices().CommandIcon(IDI_ONOFF, 0, false);
            const QPoint centre((cd->rc.left() + cd->rc.right() + 1) / 2 - 8,
                                (cd->rc.top() + cd->rc.bottom() + 1) / 2 - 8);
            icon.paint(cd->pDC, QRect(centre, QSize(16, 16)));
        }
        return true;
    }

    if (head->m_nType == XSW && head->m_nOffset == XOFFSET(CXItem, m_strMemo) && !head->m_pfnGet) {
        const QString text = FormatText(head, head->m_bUnit != 0, true, true);
        if (!text.contains(QLatin1String("<del>")) || !text.contains(QLatin1String("/del")))
            return false;
        if (paint)
            DrawStruckMemo(text, *cd);
        return true;
    }

    // right-aligned fields (without splitting option lists on every paint)
    if ((head->m_nType == XIN || head->m_nType == XNU || head->m_nType == XSA) && !head->IsOptionList()) {
        const QString text = FormatText(head, false, false, true);
        if (std::none_of(text.begin(), text.end(), [](QChar c) { return GetSupSubKind(c) != 0; }))
            return false;
        if (paint)
            DrawSupSub(text, *cd);
        return true;
    }
    return false;
}

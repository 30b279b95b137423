// The students cell of the timetable list: the running students in lesson order, each with
// the lessons he has left, red when they run low.
#include "SpanMinutes.h"
#include "CDBEduSch.h"

#include "FormatString.h"
#include "XCellDraw.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>
#include <vector>

namespace {

QFont SmallFont(const QFont& font)
{
    QFont f = font;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * 0.75);
    else
        f.setPixelSize(std::max(6, f.pixelSize() * 3 / 4));
    return f;
}

QString TimeText(int hhmm) { return FormatString(u"%d:%02d", hhmm / 100, hhmm % 100); }

// Two small texts one above the other from x; returns the width used.
int DrawStacked(QPainter& p, const QRect& rc, int x, const QFont& small, const QString& top, const QString& bottom,
                const QColor& topColor, const QColor& bottomColor)
{
    p.setFont(small);
    const QFontMetrics fm(small);
    const int width = std::max(fm.horizontalAdvance(top), fm.horizontalAdvance(bottom));
    const int half = rc.height() / 2;
    p.setPen(topColor);
    p.drawText(QRect(x, rc.top(), width + 1, half), Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, top);
    p.setPen(bottomColor);
    p.drawText(QRect(x, rc.top() + half, width + 1, rc.height() - half),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, bottom);
    return width;
}

} // namespace

bool CDBEduSch::DrawCell(const CHead* head, XCellDraw* draw)
{
    if (!head || head->m_pfnGet || head->m_nType != XAR || head->m_nOffset != XOFFSET(CDBEduSch, m_students))
        return CXItem::DrawCell(head, draw);
    if (!draw)
        return true;
    if (!draw->pDC)
        return true;
    QPainter& p = *draw->pDC;
    p.save();
    p.setClipRect(draw->rc);
    const bool oneToOne = m_nClassForm == CLASS_ONE_TO_ONE;
    const int warn = EduSch::SetupInt("WarnRemained", 3);
    const QColor normal = draw->palette.color(QPalette::Active, QPalette::WindowText);
    const QColor gray = draw->palette.color(QPalette::Disabled, QPalette::WindowText);
    const QColor red(192, 0, 0);
    const QFont small = SmallFont(draw->font);
    const QFontMetrics fm(draw->font);
    const QRect& rc = draw->rc;
    std::vector<const CDBEduSchStudent*> running;
    for (const CDBEduSchStudent* line : EduSch::Lines(m_students))
        if (line->GetStatus())
            running.push_back(line);
    int x = rc.left();
    for (std::size_t i = 0; i < running.size() && x < rc.right(); ++i) {
        const CDBEduSchStudent* line = running[i];
        const bool low = line->m_nRcpRemained < warn || line->m_nRcpRemained < 0;
        const QColor color = low ? red : normal;
        p.setFont(draw->font);
        p.setPen(color);
        const int nameWidth = fm.horizontalAdvance(line->m_strName);
        p.drawText(QRect(x, rc.top(), nameWidth + 1, rc.height()), Qt::AlignLeft | Qt::AlignVCenter, line->m_strName);
        x += nameWidth;
        const QString begin = oneToOne ? TimeText(line->m_time.Value() / 10000) : QString();
        x += DrawStacked(p, rc, x, small, begin, FormatString(u" %d", line->m_nRcpRemained), normal, color);
        if (oneToOne && i + 1 < running.size()) {
            const int end = line->m_time.Value() % 10000;
            const int next = running[i + 1]->m_time.Value() / 10000;
            if (Minutes(next) - Minutes(end) > 10)
                x += fm.horizontalAdvance(QLatin1Char(' ')) +
                     DrawStacked(p, rc, x + fm.horizontalAdvance(QLatin1Char(' ')), small, TimeText(end),
                                 TimeText(next), gray, gray);
        }
        x += fm.horizontalAdvance(QStringLiteral("  "));
    }
    p.restore();
    return true;
}

#include "CDBEduRcd.h"
#include "TypedLines.h"
#include "XCellDraw.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

namespace {

const QColor kRed(192, 0, 0);

QString TimeText(int hhmm) { return QStringLiteral("%1:%2").arg(hhmm / 100).arg(hhmm % 100, 2, 10, QChar(u'0')); }

// One person of the cell: the name, then two small texts stacked, each in its colour.
struct XMark
{
    QString name;
    QColor nameColor;
    QString top;
    QColor topColor;
    QString time; // a one-to-one student's begin, after the mark
    QColor timeColor;
    QString bottom;
    QColor bottomColor;
    QString gap; // grey times between one-to-one lessons, drawn after the person
};

} // namespace

bool CDBEduRcd::DrawCell(const CHead* head, XCellDraw* cd)
{
    if (!head || head->m_nType != XAR ||
        (head->m_nOffset != XOFFSET(CDBEduRcd, m_teachers) && head->m_nOffset != XOFFSET(CDBEduRcd, m_students)))
        return CXItem::DrawCell(head, cd);
    if (!cd || !cd->pDC || cd->rc.isEmpty())
        return true;
    const QColor normal = cd->palette.color(QPalette::Active, QPalette::WindowText);
    const QColor grey = cd->palette.color(QPalette::Disabled, QPalette::WindowText);
    const int warn = GetWarnRemained();
    const int today = static_cast<int>(XDateTime::Today().Day());
    std::vector<XMark> marks;
    if (head->m_nOffset == XOFFSET(CDBEduRcd, m_teachers)) {
        for (const auto* t : Typed(m_teachers)) {
            XMark m{t->m_strName, normal, {}, kRed, {}, normal, {}, normal, {}};
            if (t->m_nLessonType == 1)
                m.top = QStringLiteral(" 试");
            else if (IsAuto() && !t->IsAuto())
                m.top = QStringLiteral(" 临");
            marks.push_back(m);
        }
    } else {
        for (int i = 0; i < m_students.GetSize(); ++i) {
            const CDBEduRcdStudent* s = m_students[i];
            XMark m{s->m_strName, normal, {}, kRed, {}, normal, {}, normal, {}};
            const bool planned = s->IsAuto();
            if (s->m_nLessonType == 1)
                m.top = QStringLiteral(" 试");
            else if (IsAuto() && !planned)
                m.top = QStringLiteral(" 临");
            if (IsOneToOne() && s->m_timeSpan != 0) {
                m.time = u' ' + TimeText(s->m_timeSpan.Value() / 10000);
                if (planned && !IsCancelled() && s->m_timeSpan != s->GetPlannedSpan())
                    m.timeColor = kRed;
            }
            if (s->m_nLessonType == 0) {
                const int remained = s->GetRemained();
                bool running = false;
                for (const auto* line : Typed(m_sch.m_students))
                    if (line->m_nSubID == s->m_nSchSubID)
                        running = (line->m_edu.m_end.Day() == 0 || line->m_edu.m_end.Day() > today) &&
                                  (m_sch.m_date.m_end.Day() == 0 || m_sch.m_date.m_end.Day() > today);
                if ((remained != 0 && remained < warn) || (remained == 0 && running))
                    m.nameColor = kRed;
                m.bottom = QStringLiteral(" %1").arg(remained);
                m.bottomColor = m.nameColor;
            }
            switch (s->m_nAttence) {
            case ATTENCE_PENDING:
                if (!IsCancelled())
                    m.bottom += QStringLiteral(" ?");
                if (m_nClassStatus == CLASS_HELD)
                    m.bottomColor = kRed;
                break;
            case ATTENCE_LEAVE:
                m.bottom += QStringLiteral(" 假");
                m.bottomColor = grey;
                break;
            case ATTENCE_ONTIME:
                m.bottom += QStringLiteral(" √");
                break;
            case ATTENCE_LATE:
                m.bottom += QStringLiteral(" 迟");
                m.bottomColor = kRed;
                break;
            default:
                m.bottom += QStringLiteral(" 缺");
                m.bottomColor = kRed;
                break;
            }
            if (IsOneToOne() && i + 1 < m_students.GetSize()) {
                const int end = s->m_timeSpan.Value() % 10000, next = m_students[i + 1]->m_timeSpan.Value() / 10000;
                const int gap = (next / 100 * 60 + next % 100) - (end / 100 * 60 + end % 100);
                if (s->m_timeSpan != 0 && gap > 10)
                    m.gap = TimeText(end) + u'~' + TimeText(next);
            }
            marks.push_back(m);
        }
    }

    QPainter& p = *cd->pDC;
    p.save();
    p.setClipRect(cd->rc);
    QFont small = cd->font;
    small.setPointSizeF(std::max(5.0, cd->font.pointSizeF() * 0.75));
    const QFontMetrics big(cd->font), little(small);
    int x = cd->rc.left();
    const int mid = cd->rc.top() + cd->rc.height() / 2;
    for (const XMark& m : marks) {
        if (x >= cd->rc.right())
            break;
        p.setFont(cd->font);
        p.setPen(m.nameColor);
        p.drawText(QRect(x, cd->rc.top(), cd->rc.right() - x, cd->rc.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   m.name);
        x += big.horizontalAdvance(m.name);
        p.setFont(small);
        p.setPen(m.topColor);
        p.drawText(QPoint(x, mid - 1), m.top);
        p.setPen(m.timeColor);
        p.drawText(QPoint(x + little.horizontalAdvance(m.top), mid - 1), m.time);
        p.setPen(m.bottomColor);
        p.drawText(QPoint(x, mid + little.ascent()), m.bottom);
        x += std::max(little.horizontalAdvance(m.top + m.time), little.horizontalAdvance(m.bottom)) + 3;
        if (!m.gap.isEmpty()) {
            p.setPen(grey);
            p.drawText(QPoint(x, mid + little.ascent() / 2), m.gap);
            x += little.horizontalAdvance(m.gap) + 3;
        }
    }
    p.restore();
    return true;
}

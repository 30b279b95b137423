#include "XListLogic.h"

#include "CXArray.h"
#include "CXItem.h"
#include "CXMap.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Pinyin.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XString.h"

#include <QtCore/QMap>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

CXDateRange AsRange(const XFieldValue& v)
{
    if (const CXDateRange* r = std::get_if<CXDateRange>(&v))
        return CXDateRange(r->m_begin, r->m_end);
    return CXDateRange();
}

bool IsWeekdayFormat(const CHead* head) { return head->m_strFormat == u"%A"; }

int Sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

} // namespace

QString NormaliseCellText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    if (text.size() >= kListTextBuffer)
        return QStringLiteral("双击或在详细信息栏中查看 ...");
    return text;
}

XSortKey MakeSortKey(const CXItem& item, const CHead* head)
{
    XSortKey key;
    switch (head->m_nType) {
    case XIN:
    case XTS:
    case XNU:
        key.number = FieldNumber(FieldValue(item, head));
        break;
    case XDT: {
        const double day = FieldNumber(FieldValue(item, head));
        if (IsWeekdayFormat(head)) {
            const long long whole = static_cast<long long>(std::floor(day));
            key.number = static_cast<double>(((whole + 5) % 7 + 7) % 7);
        } else {
            key.number = day;
        }
        break;
    }
    case XDR:
        key.range = AsRange(FieldValue(item, head));
        break;
    default:
        key.text = item.FormatText(head, false, false, true);
        break;
    }
    return key;
}

int CompareSortKeys(const XSortKey& a, const XSortKey& b, const CHead* head)
{
    switch (head->m_nType) {
    case XIN:
    case XTS:
    case XNU:
    case XDT:
        return Sign(a.number - b.number);
    case XDR:
        return Sign(a.range.Compare(b.range));
    default:
        return Sign(a.text.compare(b.text, Qt::CaseSensitive));
    }
}

int CompareListItems(const CXItem* a, const CXItem* b, const CHead* head)
{
    if (!a || !b || !head)
        return 0;
    const int result = CompareSortKeys(MakeSortKey(*a, head), MakeSortKey(*b, head), head);
    return head->m_nListSort == 2 ? -result : result;
}

bool HeadShownInMode(const CHead& head, int mode)
{
    switch (mode) {
    case 0:
        return head.m_nColView != 0;
    case 1:
        return head.m_nColSub != 0;
    case 2:
        return head.m_nColBrief != 0;
    default:
        return false;
    }
}

int DefaultGroupHead(const CHeads& heads, int mode)
{
    const int bit = mode == 0 ? 1 : 2;
    for (int i = 0; i < heads.GetSize(); ++i)
        if (heads[i]->CanGroup() && (heads[i]->m_nGroupBy & bit))
            return i;
    return -1;
}

QString LayoutKeyText(const CHeads& heads, int mode, int controlId)
{
    QString text;
    for (const CXItem* head : heads)
        text += head->m_strName;
    return text + QString::number(mode) + QString::number(controlId);
}

QString EncodeLayout(const CHeads& heads, int sortHead, int groupHead, int statusColor)
{
    QList<int> values{sortHead, groupHead, statusColor};
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads[i];
        values << h->m_bCalc << h->m_nPos << h->m_nPixels << h->m_bUnit << h->m_nListSort;
    }
    return JoinInts(values);
}

bool DecodeLayout(const QString& text, CHeads& heads, int& sortHead, int& groupHead, int& statusColor)
{
    QList<int> values;
    SplitInts(text, values, QStringLiteral(","));
    if (values.size() != 3 + 5 * heads.GetSize())
        return false;
    sortHead = values[0];
    groupHead = values[1];
    statusColor = values[2];
    for (int i = 0; i < heads.GetSize(); ++i) {
        CHead* h = heads[i];
        const int* v = values.constData() + 3 + 5 * i;
        h->m_bCalc = v[0];
        h->m_nPos = v[1];
        h->m_nPixels = v[2];
        h->m_bUnit = v[3];
        h->m_nListSort = v[4];
    }
    return true;
}

int ListStateImageId(int imageMode, bool readOnly, bool enabled, bool hot, bool checked)
{
    const bool radio = imageMode == 2;
    if (readOnly || !enabled) {
        if (radio)
            return checked ? (readOnly ? ID_IMAGE_RADIO_ON : ID_IMAGE_RADIO_ON_DISABLED) : ID_IMAGE_RADIO_OFF_DISABLED;
        return checked ? ID_IMAGE_CHECK_ON_DISABLED : ID_IMAGE_CHECK_OFF_DISABLED;
    }
    if (hot)
        return radio ? (checked ? ID_IMAGE_RADIO_ON_HOT : ID_IMAGE_RADIO_OFF_HOT)
                     : (checked ? ID_IMAGE_CHECK_ON_HOT : ID_IMAGE_CHECK_OFF_HOT);
    return radio ? (checked ? ID_IMAGE_RADIO_ON : ID_IMAGE_RADIO_OFF)
                 : (checked ? ID_IMAGE_CHECK_ON : ID_IMAGE_CHECK_OFF);
}

int FillColumnWidth(int clientWidth, int othersWidth, int fillWidth)
{
    const int rest = clientWidth - othersWidth;
    if (rest >= 3 && rest != fillWidth + 2)
        return rest - 2;
    return -1;
}

int GroupIdOf(const QString& text)
{
    uint32_t sum = 0;
    for (int i = 0; i < text.size(); ++i)
        sum += static_cast<uint32_t>(text.at(i).unicode()) * static_cast<uint32_t>(i + 1);
    return static_cast<int>(sum);
}

bool GroupHeaderHasCaption(const CHead& head)
{
    switch (head.m_nType) {
    case XIN:
        return head.IsOptionList();
    case XNU:
    case XTS:
        return true;
    case XDT:
        return head.m_pfnGet || head.m_nOffset != XOFFSET(CXBase, m_dtDate);
    default:
        return false;
    }
}

QString GroupStatistic(const CHeads& heads, const CHead& head, const std::vector<const CXItem*>& items)
{
    const QString spaces = QStringLiteral("   ");
    const QString& caption = head.m_strName;
    if ((head.m_nType == XIN && head.IsOptionList()) || (head.m_nType == XDT && IsWeekdayFormat(&head))) {
        QMap<QString, int> counts;
        for (const CXItem* item : items)
            ++counts[item->FormatText(&head, true, true, true)];
        QString text;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            text += spaces + it.key() + u' ' + QString::number(it.value()) + u' ' + heads.m_strItemUnit;
        return text;
    }
    switch (head.m_nType) {
    case XDT: {
        double lo = 0, hi = 0;
        for (const CXItem* item : items) {
            const double d = FieldNumber(FieldValue(*item, &head));
            if (d == 0)
                continue;
            if (lo == 0 || d < lo)
                lo = d;
            if (hi == 0 || d > hi)
                hi = d;
        }
        if (lo == 0)
            return QString();
        return spaces + caption + u' ' + CXDateRange(XDateTime(lo), XDateTime(hi)).Format(head.m_strFormat);
    }
    case XDR: {
        double lo = 0, hi = 0;
        for (const CXItem* item : items) {
            const CXDateRange r = AsRange(FieldValue(*item, &head));
            if (r.m_begin.Day() != 0 && (lo == 0 || r.m_begin.Day() < lo))
                lo = r.m_begin.Day();
            if (r.m_end.Day() != 0 && (hi == 0 || r.m_end.Day() > hi))
                hi = r.m_end.Day();
        }
        if (lo == 0 || hi == 0)
            return QString();
        return spaces + caption + u' ' + CXDateRange(XDateTime(lo), XDateTime(hi)).Format(head.m_strFormat);
    }
    case XTS: {
        // The earliest begin and the latest end of the group's lessons.
        int begin = 0, end = 0;
        for (const CXItem* item : items) {
            const int v = static_cast<int>(FieldNumber(FieldValue(*item, &head)));
            if (v == 0)
                continue;
            const int b = v / 10000, e = v % 10000;
            if (begin == 0 || b < begin)
                begin = b;
            if (end == 0 || e > end)
                end = e;
        }
        if (begin == 0 || end == 0)
            return QString();
        return spaces + caption + u' ' + CXTimeSpan(begin * 10000 + end).Format();
    }
    case XNU: {
        const bool percent = head.m_strUnit == u"%";
        double sum = 0;
        int count = 0;
        for (const CXItem* item : items) {
            const double v = FieldNumber(FieldValue(*item, &head));
            if (percent ? v == 100 : v == 0)
                continue;
            sum += v;
            ++count;
        }
        if (count == 0)
            return QString();
        const QString format = head.m_strFormat.isEmpty() ? QStringLiteral("%g") : head.m_strFormat;
        if (head.m_strUnit.contains(u'/') || format.contains(QStringLiteral("1.1f")))
            return spaces + QStringLiteral("平均") + caption + u' ' + head.m_strPrefix +
                   FormatString(QStringView(format), sum / count) + head.m_strUnit;
        return spaces + caption + QStringLiteral("合计") + u' ' + head.m_strPrefix +
               FormatString(QStringView(format), sum) + head.m_strUnit;
    }
    default:
        return QString();
    }
}

QString GroupHeaderText(const CHeads& heads, int groupHead, const QString& text,
                        const std::vector<const CXItem*>& items)
{
    const CHead* g = heads[groupHead];
    QString header = FormatString(u"%s (%d)", text, static_cast<int>(items.size()));
    if (GroupHeaderHasCaption(*g))
        header = g->m_strName + QStringLiteral("：") + header;
    for (int i = 0; i < heads.GetSize(); ++i)
        if (heads[i]->m_bCalc && i != groupHead)
            header += GroupStatistic(heads, *heads[i], items);
    return header;
}

QColor StatusRowColor(int level, bool colorsOn, const QColor& window, const QColor& buttonFace)
{
    if (!colorsOn)
        return window;
    switch (level) {
    case ST_GRAY:
        return buttonFace;
    case ST_GOOD:
        return QColor(160, 255, 160);
    case ST_WARN:
        return QColor(255, 255, 160);
    case ST_STOP:
        return QColor(255, 160, 160);
    default:
        return window;
    }
}

QColor ShadeRow(const QColor& color, int displayRow)
{
    if (displayRow % 2 == 0)
        return color;
    return QColor(color.red() * 98 / 100, color.green() * 98 / 100, color.blue() * 98 / 100);
}

bool MatchListText(const QString& cell, const QString& search, bool wholeText, bool matchCase)
{
    if (cell.isEmpty())
        return false;
    const bool letters = std::all_of(search.cbegin(), search.cend(),
                                     [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); });
    if (letters) {
        const QString lower = search.toLower();
        const QString initials = GetPinyin(cell, true).toLower();
        const QString full = GetPinyin(cell, false).toLower();
        if (wholeText ? (initials == lower || full == lower) : (initials.contains(lower) || full.contains(lower)))
            return true;
    }
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (wholeText)
        return cell.compare(search, cs) == 0;
    return cell.contains(search, cs);
}

int FindInRows(const std::vector<QStringList>& rows, int firstSelected, const QString& search, bool down,
               bool wholeText, bool matchCase)
{
    const int n = static_cast<int>(rows.size());
    if (n == 0)
        return -1;
    int start = firstSelected;
    if (start < 0 || start >= n)
        start = down ? -1 : n; // the first (last) row is then the first one tried
    for (int step = 1; step <= n; ++step) {
        const int row = ((down ? start + step : start - step) % n + n) % n;
        for (const QString& cell : rows[static_cast<std::size_t>(row)])
            if (MatchListText(cell, search, wholeText, matchCase))
                return row;
    }
    return -1;
}

QString ListCopyText(const std::vector<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (const QString& cell : row)
            text += cell + u' ';
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString DeleteRefusedText(int selected, int refused, const CHeads& heads)
{
    return FormatString(u"当前选中 %d %s%s，其中 %d %s禁止删除！", selected, heads.m_strItemUnit, heads.m_strItemType,
                        refused, heads.m_strItemUnit);
}

QString DeleteWarningText(int selected, int warned, const CHeads& heads)
{
    return FormatString(u"当前选中 %d %s%s，其中 %d %s在删除前需确认以下内容！", selected, heads.m_strItemUnit,
                        heads.m_strItemType, warned, heads.m_strItemUnit);
}

QString DeleteConfirmText(int selected, const CHeads& heads)
{
    return FormatString(u"确定要删除选中的 %d %s%s吗？", selected, heads.m_strItemUnit, heads.m_strItemType);
}

QString HeaderTipText(const CHead& head)
{
    QString text = head.m_strMemo;
    const QString unit = TrimWhite(head.m_strUnit);
    if (!unit.isEmpty()) {
        if (!text.isEmpty())
            text += u'\n';
        text += QStringLiteral("单位：") + unit;
    }
    return text;
}

QString WrapTip(const QString& text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap; max-width:500px\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

namespace {

template <class Pred> int NthHead(const CHeads& heads, int k, Pred qualifies)
{
    for (int i = 0; i < heads.GetSize(); ++i)
        if (qualifies(*heads[i]) && k-- == 0)
            return i;
    return -1;
}

bool OffersUnit(const CHead& h) { return h.m_nPos != -1 && !TrimWhite(h.m_strUnit).isEmpty(); }

} // namespace

int NthGroupHead(const CHeads& heads, int k)
{
    return NthHead(heads, k, [](const CHead& h) { return h.CanGroup(); });
}
int NthCalcHead(const CHeads& heads, int k)
{
    return NthHead(heads, k, [](const CHead& h) { return h.CanCalc(); });
}
int NthUnitHead(const CHeads& heads, int k) { return NthHead(heads, k, OffersUnit); }

namespace {

XMenuItem Entry(int id) { return XMenuItem{id, LoadCommandText(id, true), {}}; }
XMenuItem Separator() { return XMenuItem{}; }

} // namespace

namespace {

// One entry per qualifying head (at most limit), numbered from the first id.
XMenuSpec HeadEntries(const CHeads& heads, int limit, int firstId, int (*nth)(const CHeads&, int),
                      const std::function<QString(const CHead&)>& caption)
{
    XMenuSpec spec;
    for (int k = 0; k < limit; ++k) {
        const int i = nth(heads, k);
        if (i < 0)
            break;
        spec.push_back(XMenuItem{firstId + k, caption(*heads[i]), {}});
    }
    return spec;
}

QString Caption(const CHead& h) { return h.m_strName; }

// "show all" and "hide all" follow two entries or more.
XMenuSpec WithAllEntries(XMenuSpec spec, int all, int none)
{
    if (spec.size() >= 2)
        spec.insert(spec.end(), {Separator(), Entry(all), Entry(none)});
    return spec;
}

} // namespace

XMenuSpec GroupMenuSpec(const CHeads& heads, bool onGroup, bool clickableHeader)
{
    XMenuSpec spec{Entry(ID_XCTRL_GRPNONE), Separator()};
    for (XMenuItem& item : HeadEntries(heads, 30, ID_XCTRL_GROUP00, NthGroupHead, Caption))
        spec.push_back(std::move(item));
    if (onGroup)
        spec.insert(spec.end(), {Separator(), Entry(ID_XCTRL_GRPCOLLAPS), Entry(ID_XCTRL_GRPEXPAND)});
    spec.insert(spec.end(), {Separator(), Entry(ID_XCTRL_GRPCOLLAPSEALL), Entry(ID_XCTRL_GRPEXPANDALL)});
    if (clickableHeader)
        spec.insert(spec.end(), {Separator(), Entry(ID_XCTRL_GRPSORTASC), Entry(ID_XCTRL_GRPSORTDESC)});
    return spec;
}

XMenuSpec CalcMenuSpec(const CHeads& heads)
{
    return WithAllEntries(HeadEntries(heads, 30, ID_XCTRL_CALC00, NthCalcHead, Caption), ID_XCTRL_CALCALL,
                          ID_XCTRL_CALCNONE);
}

XMenuSpec UnitMenuSpec(const CHeads& heads)
{
    const auto caption = [](const CHead& h) {
        return h.m_strName + QStringLiteral(" (") + TrimWhite(h.m_strUnit) + u')';
    };
    return WithAllEntries(HeadEntries(heads, 16, ID_XCTRL_UNIT00, NthUnitHead, caption), ID_XCTRL_UNITALL,
                          ID_XCTRL_UNITNONE);
}

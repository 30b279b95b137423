#include "CHead.h"

#include "CodePages.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XString.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <mutex>

// ---------------------------------------------------------------------------------------
// CHead

void CHead::Reset()
{
    // every number back to its construction value; the texts stay
    m_nID = 0;
    m_nParentID = 0;
    m_nSubID = 0;
    m_bEnabled = 1;
    m_nDispOrder = -1;
    m_nType = XNONE;
    m_nOffset = 0;
    m_pfnGet = nullptr;
    m_nPos = -1;
    m_nDefault = 0;
    m_nMin = INT_MIN;
    m_nMax = INT_MAX;
    m_nWidth = 0;
    m_nUnique = 0;
    m_bWritable = 0;
    m_nAccess = 0;
    m_nHttpNew = 0;
    m_nColTitle = m_nColMark = m_nColBrief = m_nColSub = m_nColView = m_nColPrint = m_nColDetail = 0;
    m_nGroupBy = 0;
    m_nSort = 0;
    m_nListSort = 0;
    m_bCalc = 0;
    m_bUnit = 1;
    m_nPixels = 0;
}

CXItem* CHead::CopyTo(CXItem* target) const
{
    CHead* t = target ? dynamic_cast<CHead*>(target) : new CHead;
    if (!t || t == this)
        return target;
    t->m_nID = m_nID;
    t->m_nSubID = m_nSubID;
    t->m_strName = m_strName;
    t->m_strMemo = m_strMemo;
    t->m_nPos = m_nPos;
    t->m_strGroup = m_strGroup;
    t->m_nUnique = m_nUnique;
    t->m_bWritable = m_bWritable;
    t->m_nHttpNew = m_nHttpNew;
    t->m_strColumn = m_strColumn;
    t->m_nType = m_nType;
    t->m_nOffset = m_nOffset;
    t->m_pfnGet = m_pfnGet;
    t->m_nColTitle = m_nColTitle;
    t->m_nColMark = m_nColMark;
    t->m_nColBrief = m_nColBrief;
    t->m_nColSub = m_nColSub;
    t->m_nColView = m_nColView;
    t->m_nColPrint = m_nColPrint;
    t->m_nColDetail = m_nColDetail;
    t->m_nGroupBy = m_nGroupBy;
    t->m_nSort = m_nSort;
    t->m_nListSort = m_nListSort;
    t->m_nWidth = m_nWidth;
    t->m_strFormat = m_strFormat;
    t->m_nMin = m_nMin;
    t->m_nMax = m_nMax;
    t->m_strPrefix = m_strPrefix;
    t->m_strUnit = m_strUnit;
    t->m_strEmpty = m_strEmpty;
    t->m_nAccess = m_nAccess;
    t->m_nDefault = m_nDefault;
    t->m_strDefault = m_strDefault;
    t->m_bCalc = m_bCalc;
    t->m_bUnit = m_bUnit;
    t->m_nPixels = m_nPixels;
    return t;
}

int ResolveTodayValue(int value)
{
    constexpr int kSpan = 1 << 20; // days either side of today a table may name
    if (value < kToday - kSpan || value > kToday + kSpan)
        return value;
    return static_cast<int>(XDateTime::Today().Day()) + (value - kToday);
}

QString DefaultFieldFormat(int type)
{
    switch (type) {
    case XIN:
        return QStringLiteral("%d");
    case XNU:
        return QStringLiteral("%1.2f");
    case XDT:
        return QStringLiteral("%Y年%#m月%#d日");
    default:
        return QString();
    }
}

bool CHead::CanGroup() const
{
    if (!InSchemes() && !m_nGroupBy)
        return false;
    switch (m_nType) {
    case XIN:
        return IsOptionList();
    case XDT:
        return true;
    case XSW:
        return m_nGroupBy != 0;
    default:
        return false;
    }
}

bool CHead::CanCalc() const
{
    if (!InSchemes())
        return false;
    switch (m_nType) {
    case XIN:
        return IsOptionList();
    case XNU:
    case XDT:
    case XTS:
    case XDR:
        return true;
    default:
        return false;
    }
}

int CHead::GetAlign() const
{
    if (IsOptionList()) {
        const QStringList options = m_strFormat.split(u'|');
        const qsizetype len = options.first().size();
        const bool same =
            std::all_of(options.begin(), options.end(), [len](const QString& o) { return o.size() == len; });
        return (same && len >= 1 && len <= 3) ? 2 : 0;
    }
    return (m_nType == XIN || m_nType == XNU || m_nType == XSA) ? 1 : 0;
}

QString CHead::GetExcelFormat() const
{
    switch (m_nType) {
    case XIN: {
        if (IsOptionList())
            return QString();
        const QString number =
            m_strFormat.contains(QLatin1String("%+")) ? QStringLiteral("+0;-0;") : QStringLiteral("0");
        return m_strPrefix + number + m_strUnit;
    }
    case XNU: {
        const QString f = m_strFormat.isEmpty() ? DefaultFieldFormat(XNU) : m_strFormat;
        QString number;
        if (f.contains(QLatin1String("%+")))
            number = FormatString(f + u';' + f + u';', 0.0001, -0.0001);
        else
            number = FormatString(f, 0.0);
        return m_strPrefix + number + m_strUnit;
    }
    case XDT: {
        const QString f = m_strFormat.isEmpty() ? DefaultFieldFormat(XDT) : m_strFormat;
        QString text = XDateTime(1999, 11, 27, 23, 44, 55).Format(f);
        const std::pair<const char16_t*, const char16_t*> replacements[] = {{u"1999", u"yyyy"},
                                                                            {u"99", u"yy"},
                                                                            {u"11", u"m"},
                                                                            {u"27", u"d"},
                                                                            {u"23", u"h"},
                                                                            {u"44", u"mm"},
                                                                            {u"55", u"ss"},
                                                                            {u"周六", u"[$-zh-CN]aaa"},
                                                                            {u"星期六", u"[$-zh-CN]aaaa"},
                                                                            {u"六", u"[$-zh-CN]aaa"}};
        for (const auto& [from, to] : replacements)
            text.replace(QString::fromUtf16(from), QString::fromUtf16(to));
        return text;
    }
    default:
        return QString();
    }
}

namespace {

// The screen's horizontal dots per inch, read once for the life of the program.
int ScreenDpi()
{
    static const int dpi = [] {
        const QScreen* screen =
            qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
        return screen ? static_cast<int>(screen->logicalDotsPerInchX()) : 96;
    }();
    return dpi;
}

} // namespace

int CHead::GetColumnWidth() const
{
    if (m_nWidth < 0)
        return 0;
    const QFontMetrics fm(QGuiApplication::instance() ? QGuiApplication::font() : QFont());
    const auto extent = [&fm](const QString& s) { return fm.horizontalAdvance(s); };
    const auto zeros = [&extent](int n) { return extent(QString(n, u'0')); };

    int width = 0;
    if (m_nWidth > 0) {
        width = zeros(m_nWidth);
    } else {
        const QString f = m_strFormat.isEmpty() ? DefaultFieldFormat(m_nType) : m_strFormat;
        switch (m_nType) {
        case XIN:
            if (IsOptionList()) {
                for (const QString& option : f.split(u'|'))
                    width = std::max(width, extent(option));
            } else {
                if (m_nMin == INT_MIN || m_nMax == INT_MAX)
                    width = extent(AddThousandsSeparators(FormatString(f, 99999)));
                else
                    width = std::max(extent(AddThousandsSeparators(FormatString(f, m_nMin))),
                                     extent(AddThousandsSeparators(FormatString(f, m_nMax))));
            }
            break;
        case XNU: {
            if (m_nMin == INT_MIN || m_nMax == INT_MAX)
                width = extent(AddThousandsSeparators(FormatString(f, 99999.0)));
            else
                width = std::max(extent(AddThousandsSeparators(FormatString(f, double(m_nMin)))),
                                 extent(AddThousandsSeparators(FormatString(f, double(m_nMax)))));
            break;
        }
        case XDT:
            width = extent(XDateTime(2000, 12, 20, 20, 20, 20).Format(f));
            break;
        case XBS:
            width = zeros(20);
            break;
        case XLK:
            width = zeros(8);
            break;
        case XAR:
            width = zeros(12);
            break;
        case XTS:
            width = extent(QStringLiteral("00:00~00:00 00'00"));
            break;
        case XDR:
            width = extent(QStringLiteral("2000年11月11日~2000年11月11日"));
            break;
        case XSW:
            width = zeros(m_nOffset == XOFFSET(CXItem, m_strMemo) ? 25 : 8);
            break;
        case XSA:
            width = extent(QStringLiteral("000.0 KB"));
            break;
        default:
            break;
        }
    }
    if (!m_strPrefix.isEmpty())
        width += extent(m_strPrefix);
    if (m_bUnit && !m_strUnit.isEmpty())
        width += extent(m_strUnit);
    width = std::max(width, extent(m_strName));
    width = std::max(width, extent(m_strEmpty));
    return width + 15 * ScreenDpi() / 96;
}

// ---------------------------------------------------------------------------------------
// CHeads: adders

namespace {

int Bits(unsigned word, int shift, unsigned mask) { return static_cast<int>((word >> shift) & mask); }

} // namespace

CHead* CHeads::AddHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column, int type,
                       int offset, int def, int min, int max, const QString& format, const QString& empty,
                       unsigned listWord, unsigned columnWord, int width, const QString& help)
{
    auto* head = static_cast<CHead*>(CreateItem());
    if (group.id > 0 && group.id < 65535) {
        head->m_nSubID = group.id;
        head->m_strGroup = LoadCommandText(group.id);
    } else {
        head->m_nSubID = 0;
        head->m_strGroup = group.text;
    }
    if (head->m_strGroup.isEmpty())
        head->m_strGroup = QStringLiteral("基本信息");
    head->m_nID = Add(head);

    head->m_strName = caption;
    head->m_strColumn = column;
    head->m_nType = type;
    head->m_nOffset = offset;
    head->m_nDefault = def;
    head->m_nMin = (min == 0 && format.contains(QLatin1String("%+"))) ? INT_MIN : min;
    head->m_nMax = max == 0 ? INT_MAX : max;
    head->m_strEmpty = empty;
    head->m_nWidth = width;
    head->m_strMemo = help;

    head->m_nHttpNew = Bits(inputWord, 0, 7);
    head->m_nAccess = Bits(inputWord, 3, 7);
    head->m_nUnique = Bits(inputWord, 6, 7);
    head->m_nSort = Bits(listWord, 0, 7);
    head->m_nGroupBy = Bits(listWord, 3, 7);
    head->m_nColMark = Bits(listWord, 6, 7);
    head->m_nColTitle = Bits(listWord, 9, 7);
    head->m_nColDetail = Bits(columnWord, 0, 7);
    head->m_nColView = Bits(columnWord, 3, 1);
    head->m_nColPrint = Bits(columnWord, 4, 1);
    head->m_nColSub = Bits(columnWord, 6, 7);
    head->m_nColBrief = Bits(columnWord, 9, 7);

    if (format.isEmpty()) {
        head->m_strFormat = DefaultFieldFormat(type);
        if (type == XNU)
            head->m_strPrefix = QStringLiteral("¥");
        return head;
    }
    head->m_strFormat = format;
    if (format.contains(u'|') || (type != XIN && type != XNU))
        return head;
    // "prefix%conversion unit": the conversion runs from the first "%" to the last "d" (int)
    // or "f" (money)
    const qsizetype pct = format.indexOf(u'%');
    const qsizetype last = format.lastIndexOf(type == XIN ? u'd' : u'f');
    if (pct < 0 || last < pct)
        return head;
    head->m_strPrefix = format.left(pct);
    head->m_strFormat = format.mid(pct, last - pct + 1);
    head->m_strUnit = format.mid(last + 1);
    return head;
}

CHead* CHeads::AddTextHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column,
                           int type, int offset, const QString& defText, const QString& empty, const QString& help)
{
    CHead* head = AddHead(group, caption, inputWord, column, type, offset, 0, 0, 0, QString(), empty, 0, 521, 0, help);
    head->m_strDefault = defText;
    return head;
}

CHead* CHeads::AddColumnHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column,
                             int type, int offset, const QString& format, const QString& empty, unsigned listWord,
                             unsigned columnWord, int width, const QString& help)
{
    return AddHead(group, caption, inputWord, column, type, offset, 0, 0, 0, format, empty, listWord, columnWord, width,
                   help);
}

CHead* CHeads::AddViewColumnHead(const XGroup& group, const QString& caption, const QString& column, int type,
                                 int offset, const QString& format, const QString& empty, unsigned listWord,
                                 unsigned columnWord, int width, const QString& help)
{
    return AddHead(group, caption, 0, column, type, offset, 0, 0, 0, format, empty, listWord, columnWord, width, help);
}

CHead* CHeads::AddValueHead(const XGroup& group, const QString& caption, int type, int offset, int def)
{
    return AddHead(group, caption, 0, QString(), type, offset, def, 0, 0, QString(), QString(), 0, 0, 0, QString());
}

CHead* CHeads::AddMemberHead(const XGroup& group, const QString& caption, int type, int offset, const QString& format,
                             const QString& empty, unsigned listWord, unsigned columnWord, int width,
                             const QString& help)
{
    return AddHead(group, caption, 0, QString(), type, offset, 0, 0, 0, format, empty, listWord, columnWord, width,
                   help);
}

CHead* CHeads::AddComputedHead(const XGroup& group, const QString& caption, int type, XFieldGetter getter,
                               const QString& format, const QString& empty, unsigned listWord, unsigned columnWord,
                               int width, const QString& help)
{
    CHead* head =
        AddHead(group, caption, 0, QString(), type, 0, 0, 0, 0, format, empty, listWord, columnWord, width, help);
    head->m_pfnGet = std::move(getter);
    return head;
}

// ---------------------------------------------------------------------------------------
// CHeads: SELECT, copies, lookups

QString CHeads::BuildSelect(const QString* parentIds, const QStringList* conditions) const
{
    QString sql;
    bool hasWhere = false;
    if (!m_strSql.isEmpty()) {
        sql = m_strSql;
        // Does the last part of the text already have a WHERE? Scan backwards; a join or an
        // alias met first means the WHERE belongs to an inner part.
        for (qsizetype i = sql.size() - 7; i >= 1; --i) {
            const QStringView three = QStringView(sql).mid(i, 3);
            if (three.compare(u"ON ", Qt::CaseInsensitive) == 0 || three.compare(u"AS ", Qt::CaseInsensitive) == 0)
                break;
            if (QStringView(sql).mid(i, 6).compare(u"WHERE ", Qt::CaseInsensitive) == 0) {
                hasWhere = true;
                break;
            }
        }
    } else {
        QStringList columns;
        for (int i = 0; i < GetSize(); ++i) {
            const CHead* h = GetAt(i);
            if (!h->m_strColumn.isEmpty() && h->m_nType != XAR && h->m_nType != XIM && h->m_nType != XSA)
                columns.append(h->m_strColumn);
        }
        sql = FormatString(u"SELECT %s FROM %s", columns.join(u','), m_strTable);
    }

    bool first = true;
    auto add = [&](const QString& condition) {
        // the first appended condition starts a new line, so that a "--" comment ending
        // the SQL text cannot swallow it
        sql += first ? QStringLiteral("\n") : QString();
        sql += hasWhere ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ");
        sql += condition;
        hasWhere = true;
        first = false;
    };
    if (parentIds && !parentIds->isEmpty()) {
        if (const CHead* parent = FindByCaption(QStringLiteral("ParentID")))
            add(parent->m_strColumn + QStringLiteral(" IN(") + *parentIds + u')');
    }
    if (!m_strCondition.isEmpty())
        add(m_strCondition);
    if (conditions && !conditions->isEmpty())
        add(u'(' + conditions->join(QStringLiteral(") AND (")) + u')');
    return sql;
}

void CHeads::CopyFrom(const CHeads& source)
{
    if (&source == this)
        return;
    RemoveAll();
    for (int i = 0; i < source.GetSize(); ++i) {
        CXItem* clone = source.GetAt(i)->CopyTo(nullptr);
        if (m_bOwns)
            clone->m_pArray = this;
        Add(clone);
    }
    m_strItemType = source.m_strItemType;
    m_strItemUnit = source.m_strItemUnit;
    m_strTable = source.m_strTable;
    m_strSql = source.m_strSql;
    m_bGoodStatus = source.m_bGoodStatus;
}

void CHeads::SetSqlResource(int id) { m_strSql = LoadResourceText(id, RT_SQL, CP_UTF8); }

CHead* CHeads::FindByColumn(const QString& column) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (EqualsNoCase(GetAt(i)->m_strColumn, column))
            return GetAt(i);
    return nullptr;
}

CHead* CHeads::FindByCaption(const QString& caption) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (EqualsNoCase(GetAt(i)->m_strName, caption))
            return GetAt(i);
    return nullptr;
}

CHead* CHeads::FindByOffset(int offset) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (GetAt(i)->m_nOffset == offset && !GetAt(i)->m_pfnGet)
            return GetAt(i);
    return nullptr;
}

void SortHeadsByPosition(CXArray& heads) { heads.Sort(XIN, XOFFSET(CHead, m_nPos), false); }

#pragma once

#include "CXArray.h"
#include "CXItem.h"

#include <QtCore/QString>

#include <climits>
#include <functional>
#include <mutex>
#include <variant>

// What a computed field's getter returns: int (int and time-span fields), double (money),
// date, date range or text.
using XFieldValue = std::variant<std::monostate, int, double, XDateTime, CXDateRange, QString>;
// A computed field's getter; the row is used by per-row print keywords only.
using XFieldGetter = std::function<XFieldValue(const CXItem& item, int row)>;

// A field's value: the getter's result (for the row) for a computed field, else the scalar
// member at its offset; empty for a field of another type or with no offset.
XFieldValue FieldValue(const CXItem& item, const CHead* head, int row = 0);
// A value as a number: ints, amounts and dates (their day number); 0 for the rest.
double FieldNumber(const XFieldValue& v);
// The display format of a field type whose field table gives none: "%d", "%1.2f", the long
// Chinese date; empty for the other types.
QString DefaultFieldFormat(int type);

// A date field's default or bound written in its field table as kToday + n means the day n
// days after today, taken from the clock each time the record asks: a table is built once
// per run, and a program left running overnight must still date a record today.
inline constexpr int kToday = 1 << 30;
// A default or bound as used: kToday-relative values resolved against the clock (whole
// days), every other value unchanged.
int ResolveTodayValue(int value);

// A field's group: a relation command id (whose menu text names the group) or a caption.
struct XGroup
{
    XGroup(int commandId = 0) : id(commandId) {}                           // NOLINT: ids and texts are both given bare
    XGroup(const QString& caption) : text(caption) {}                      // NOLINT
    XGroup(const char16_t* caption) : text(QString::fromUtf16(caption)) {} // NOLINT
    XGroup(const char* caption) : text(QString::fromUtf8(caption)) {}      // NOLINT
    int id = 0;
    QString text;
};

// One field of a record class: where its value lives, how it is shown, edited, listed,
// printed and stored. A field table is an ordinary record array of these.
class CHead : public CXItem
{
public:
    CHead() { CHead::Reset(); }

    void Reset() override;
    CXItem* CopyTo(CXItem* target) const override;
    CXItem* CreateNew() const override { return new CHead; }
    bool IsChecked() const override { return m_nPos != -1; }

    bool CanGroup() const;
    bool CanCalc() const;
    int GetAlign() const; // 0 left, 1 right, 2 centre
    QString GetExcelFormat() const;
    int GetColumnWidth() const; // pixels, in the list font
    bool IsOptionList() const { return m_strFormat.contains(u'|'); }
    bool InSchemes() const { return m_nColBrief || m_nColView || m_nColDetail; }

    int m_nPos = -1;
    QString m_strGroup;
    int m_nUnique = 0;
    int m_bWritable = 0;
    int m_nHttpNew = 0;
    QString m_strColumn;
    int m_nType = XNONE;
    int m_nOffset = 0;
    XFieldGetter m_pfnGet;
    int m_nColTitle = 0;
    int m_nColMark = 0;
    int m_nColBrief = 0;
    int m_nColSub = 0;
    int m_nColView = 0;
    int m_nColPrint = 0;
    int m_nColDetail = 0;
    int m_nGroupBy = 0;
    int m_nSort = 0;
    int m_nListSort = 0;
    int m_nWidth = 0;
    QString m_strFormat;
    QString m_strSample;
    int m_nMin = INT_MIN;
    int m_nMax = INT_MAX;
    QString m_strPrefix;
    QString m_strUnit;
    QString m_strEmpty;
    int m_nAccess = 0;
    int m_nDefault = 0;
    QString m_strDefault;
    int m_bCalc = 0;
    int m_bUnit = 1;
    int m_nPixels = 0;
};

// The static field table of one record class: an owning array of its heads plus the
// record kind's caption, measure word, table, SQL text and fixed condition.
// Orders fields by position the way record arrays sort: shown fields in column order, then
// the hidden ones (-1 compares as the largest unsigned number).
void SortHeadsByPosition(CXArray& heads);

class CHeads : public CXArrayT<CHead, true>
{
public:
    CHeads() = default;

    CHead* AddHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column, int type,
                   int offset, int def, int min, int max, const QString& format, const QString& empty,
                   unsigned listWord, unsigned columnWord, int width, const QString& help);
    CHead* AddTextHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column, int type,
                       int offset, const QString& defText, const QString& empty, const QString& help);
    CHead* AddColumnHead(const XGroup& group, const QString& caption, unsigned inputWord, const QString& column,
                         int type, int offset, const QString& format, const QString& empty, unsigned listWord,
                         unsigned columnWord, int width, const QString& help);
    CHead* AddViewColumnHead(const XGroup& group, const QString& caption, const QString& column, int type, int offset,
                             const QString& format, const QString& empty, unsigned listWord, unsigned columnWord,
                             int width, const QString& help);
    CHead* AddValueHead(const XGroup& group, const QString& caption, int type, int offset, int def);
    CHead* AddMemberHead(const XGroup& group, const QString& caption, int type, int offset, const QString& format,
                         const QString& empty, unsigned listWord, unsigned columnWord, int width, const QString& help);
    CHead* AddComputedHead(const XGroup& group, const QString& caption, int type, XFieldGetter getter,
                           const QString& format, const QString& empty, unsigned listWord, unsigned columnWord,
                           int width, const QString& help);

    // Wraps a const member function of a record class as a getter.
    template <class C, class R> static XFieldGetter Getter(R (C::*fn)() const)
    {
        return [fn](const CXItem& item, int) -> XFieldValue {
            const R value = (static_cast<const C&>(item).*fn)();
            if constexpr (std::is_same_v<R, CXTimeSpan> || std::is_same_v<R, bool>)
                return XFieldValue(static_cast<int>(value));
            else
                return XFieldValue(value);
        };
    }
    template <class C> static XFieldGetter RowGetter(QString (C::*fn)(int) const)
    {
        return [fn](const CXItem& item, int row) -> XFieldValue { return (static_cast<const C&>(item).*fn)(row); };
    }

    // The SELECT that reads the table: the SQL text (or one generated from the columns),
    // then the parent-ID list, the fixed condition and the extra conditions.
    QString BuildSelect(const QString* parentIds, const QStringList* conditions) const;

    // This table becomes a copy of the source (heads cloned), for lists and scheme editing.
    void CopyFrom(const CHeads& source);

    // Loads the table's SELECT from a numbered SQL resource (empty when there is none).
    void SetSqlResource(int id);

    CHead* FindByColumn(const QString& column) const;
    CHead* FindByCaption(const QString& caption) const;
    CHead* FindByOffset(int offset) const;

    QString m_strItemType;
    QString m_strItemUnit;
    QString m_strTable;
    int m_bGoodStatus = 0;
    QString m_strSql;
    QString m_strCondition;
};

// The static field table of a record class, built by build() exactly once, also when
// several threads ask at the same time; every later call returns the same table.
//   CHeads* CDBStudent::StaticHeads() { return BuildHeadsOnce<CDBStudent>([](CHeads& h) { ... }); }
template <class Record> CHeads* BuildHeadsOnce(void (*build)(CHeads& heads))
{
    static CHeads heads;
    static std::once_flag once;
    std::call_once(once, build, std::ref(heads));
    return &heads;
}

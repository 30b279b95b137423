#include "CXArray.h"

#include "CHead.h"
#include "CXItem.h"
#include "TextUtils.h"

#include <QtCore/QSet>

#include <algorithm>
#include <cmath>
#include <cstdint>

CXArray::~CXArray()
{
    if (m_bOwns)
        for (CXItem* item : m_items)
            delete item;
}

CHeads* CXArray::GetHeads() const { return m_items.empty() ? nullptr : m_items.front()->GetHeads(); }

void CXArray::Adopt(CXItem* item)
{
    item->m_pArray = this;
    if (m_pParent)
        item->m_nParentID = m_pParent->m_nID;
}

int CXArray::Add(CXItem* item)
{
    m_items.push_back(item);
    return GetSize() - 1;
}

int CXArray::AddAdopted(CXItem* item)
{
    if (m_bOwns)
        Adopt(item);
    return Add(item);
}

void CXArray::RemoveAt(int index)
{
    CXItem* item = Detach(index);
    if (m_bOwns)
        delete item;
}

CXItem* CXArray::Detach(int index)
{
    CXItem* item = m_items[static_cast<std::size_t>(index)];
    m_items.erase(m_items.begin() + index);
    return item;
}

void CXArray::RemoveAll(CXItem* newParent)
{
    if (m_bOwns)
        for (CXItem* item : m_items)
            delete item;
    m_items.clear();
    m_items.shrink_to_fit();
    if (newParent)
        m_pParent = newParent;
}

namespace {

double NumberAt(const CXItem& item, int type, int offset)
{
    switch (type) {
    case XIN:
        return item.Member<int>(offset);
    case XNU:
        return item.Member<double>(offset);
    case XDT:
        return item.Member<XDateTime>(offset).Day();
    default:
        return 0;
    }
}

bool Aggregatable(int type) { return type == XIN || type == XNU || type == XDT; }

} // namespace

QString CXArray::JoinMember(int type, int offset, bool bDistinct, const QString& separator) const
{
    QStringList texts;
    QSet<QString> seen;
    for (const CXItem* item : m_items) {
        QString text;
        switch (type) {
        case XIN: {
            const int v = item->Member<int>(offset);
            if (!(bDistinct && v == 0))
                text = QString::number(v);
            break;
        }
        case XLK:
            text = item->Member<CXBase>(offset).GetLink();
            break;
        case XSW:
            text = item->Member<QString>(offset);
            break;
        default:
            break;
        }
        if (bDistinct) {
            if (text.isEmpty() || seen.contains(text))
                continue;
            seen.insert(text);
        }
        texts.append(text);
    }
    return JoinStrings(texts, separator);
}

QString CXArray::JoinGetter(const TextGetter& getter, const QString& separator) const
{
    QStringList texts;
    QSet<QString> seen;
    for (const CXItem* item : m_items) {
        const QString text = getter(*item);
        if (text.isEmpty() || seen.contains(text))
            continue;
        seen.insert(text);
        texts.append(text);
    }
    return JoinStrings(texts, separator);
}

QString CXArray::JoinGetter(const IntGetter& getter, const QString& separator) const
{
    return JoinGetter(TextGetter([&getter](const CXItem& item) {
                          const int v = getter(item);
                          return v == 0 ? QString() : QString::number(v);
                      }),
                      separator);
}

double CXArray::GetMax(int type, int offset) const
{
    if (!Aggregatable(type))
        return 0;
    return GetMaxBy([type, offset](const CXItem& item) { return NumberAt(item, type, offset); });
}

double CXArray::GetMaxBy(const NumberGetter& getter) const
{
    if (m_items.empty())
        return 0;
    double max = getter(*m_items.front());
    for (const CXItem* item : m_items)
        max = std::max(max, getter(*item));
    return max;
}

double CXArray::GetMinNonZero(int type, int offset) const
{
    if (!Aggregatable(type))
        return 0;
    double min = 0;
    for (const CXItem* item : m_items) {
        const double v = NumberAt(*item, type, offset);
        if (v != 0 && (min == 0 || v < min))
            min = v;
    }
    return min;
}

double CXArray::GetSum(int type, int offset) const
{
    if (!Aggregatable(type))
        return 0;
    return GetSumBy([type, offset](const CXItem& item) { return NumberAt(item, type, offset); });
}

double CXArray::GetSumBy(const NumberGetter& getter) const
{
    double sum = 0;
    for (const CXItem* item : m_items)
        sum += getter(*item);
    return sum;
}

int CXArray::CountEqual(int type, int offset, int value) const
{
    if (!Aggregatable(type))
        return 0;
    return CountEqualBy([type, offset](const CXItem& item) { return NumberAt(item, type, offset); }, value);
}

int CXArray::CountEqualBy(const NumberGetter& getter, int value) const
{
    int n = 0;
    for (const CXItem* item : m_items)
        if (static_cast<int>(getter(*item)) == value)
            ++n;
    return n;
}

namespace {

// The sort key of a member: a rank, then a value. Numbers have rank 0; an amount or date
// that is not a number (NaN) has rank 1, so it sorts behind every number and equal to
// another NaN, wherever it stands in the array.
struct ScalarKey
{
    int rank = 0;
    double value = 0;
    bool operator==(const ScalarKey&) const = default;
    bool operator<(const ScalarKey& o) const { return rank != o.rank ? rank < o.rank : value < o.value; }
};

ScalarKey NumberKey(double value) { return std::isnan(value) ? ScalarKey{1, 0} : ScalarKey{0, value}; }

// A date of a range as a strict key: valid dates by their whole second on a straight time
// line (below day 0 the fraction counts forwards), then null ones, then invalid ones. Dates
// the program stores lie on whole seconds, where the range's half-second tolerance and
// this key agree; a null or invalid date, which the range compares greater from both sides,
// gets a fixed place behind every valid one.
ScalarKey DateKey(const XDateTime& date)
{
    if (date.GetStatus() != XDateTime::valid)
        return {date.IsNull() ? 1 : 2, 0};
    const double day = date.Day();
    const double whole = std::ceil(day);
    const double linear = day >= 0 ? day : whole - (day - whole);
    return {0, std::round(linear * 86400.0)};
}

// A date range: by begin, then by end.
struct RangeKey
{
    ScalarKey begin, end;
    bool operator==(const RangeKey&) const = default;
    bool operator<(const RangeKey& o) const { return begin == o.begin ? end < o.end : begin < o.begin; }
};

RangeKey RangeKeyOf(const CXItem& item, int offset)
{
    const auto& range = item.Member<CXDateRange>(offset);
    return {DateKey(range.m_begin), DateKey(range.m_end)};
}

// Every key but a range's as a scalar: ints compare as unsigned (hidden columns, -1, sort
// last), time spans signed, amounts and dates by their number.
ScalarKey ScalarKeyOf(const CXItem& item, int type, int offset)
{
    switch (type) {
    case XIN:
        return {0, static_cast<double>(static_cast<unsigned>(item.Member<int>(offset)))};
    case XTS:
        return {0, static_cast<double>(item.Member<int>(offset))};
    case XNU:
        return NumberKey(item.Member<double>(offset));
    default:
        return NumberKey(item.Member<XDateTime>(offset).Day());
    }
}

template <class Key> int CompareKeys(const Key& x, const Key& y) { return x < y ? -1 : (y < x ? 1 : 0); }

// -1, 0 or 1 for the two records' members as the list sort compares them.
int CompareMember(const CXItem& a, const CXItem& b, int type, int offset)
{
    switch (type) {
    case XIN:
    case XTS:
    case XNU:
    case XDT:
        return CompareKeys(ScalarKeyOf(a, type, offset), ScalarKeyOf(b, type, offset));
    case XDR:
        return CompareKeys(RangeKeyOf(a, offset), RangeKeyOf(b, offset));
    default:
        return 0;
    }
}

} // namespace

namespace {

// The exchange sort the lists were designed with: for each position, every later record
// that belongs before it is swapped in. Quadratic; kept for short arrays, and as the
// definition of the order the fast path below gives.
void ExchangeSort(std::vector<CXItem*>& items, int type, int offset, bool bDescending)
{
    const std::size_t n = items.size();
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t i = a + 1; i < n; ++i) {
            const int c = CompareMember(*items[a], *items[i], type, offset);
            if (bDescending ? c < 0 : c > 0)
                std::swap(items[a], items[i]);
        }
    }
}

// A sequence that supports append and rotate-left in logarithmic time (an implicit treap).
class RotatingRun
{
public:
    explicit RotatingRun(std::size_t capacity) { m_nodes.reserve(capacity); }

    void Append(int value)
    {
        m_nodes.push_back({value, Random(), 1, -1, -1});
        m_root = Merge(m_root, static_cast<int>(m_nodes.size()) - 1);
    }

    void RotateLeft(long long by)
    {
        const int size = Size(m_root);
        if (size < 2)
            return;
        const int r = static_cast<int>(by % size);
        if (r == 0)
            return;
        int a, b;
        Split(m_root, r, a, b);
        m_root = Merge(b, a);
    }

    template <class F> void ForEach(F&& f) const
    {
        // iterative in-order walk: runs can be long
        std::vector<int> stack;
        int t = m_root;
        while (t >= 0 || !stack.empty()) {
            while (t >= 0) {
                stack.push_back(t);
                t = m_nodes[t].left;
            }
            t = stack.back();
            stack.pop_back();
            f(m_nodes[t].value);
            t = m_nodes[t].right;
        }
    }

private:
    struct Node
    {
        int value;
        std::uint32_t priority;
        int size;
        int left, right;
    };

    std::uint32_t Random()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }
    int Size(int t) const { return t < 0 ? 0 : m_nodes[t].size; }
    void Update(int t) { m_nodes[t].size = 1 + Size(m_nodes[t].left) + Size(m_nodes[t].right); }

    int Merge(int a, int b)
    {
        if (a < 0)
            return b;
        if (b < 0)
            return a;
        if (m_nodes[a].priority > m_nodes[b].priority) {
            m_nodes[a].right = Merge(m_nodes[a].right, b);
            Update(a);
            return a;
        }
        m_nodes[b].left = Merge(a, m_nodes[b].left);
        Update(b);
        return b;
    }

    // first k elements to a, the rest to b
    void Split(int t, int k, int& a, int& b)
    {
        if (t < 0) {
            a = b = -1;
            return;
        }
        if (Size(m_nodes[t].left) < k) {
            Split(m_nodes[t].right, k - Size(m_nodes[t].left) - 1, m_nodes[t].right, b);
            Update(t);
            a = t;
        } else {
            Split(m_nodes[t].left, k, a, m_nodes[t].left);
            Update(t);
            b = t;
        }
    }

    std::vector<Node> m_nodes;
    int m_root = -1;
    std::uint32_t m_seed = 2463534242u;
};

// Counts of marked positions, for "how many records of earlier keys lie between two
// positions".
class PositionCounts
{
public:
    explicit PositionCounts(std::size_t n) : m_tree(n + 1, 0) {}
    void Mark(std::size_t pos)
    {
        for (std::size_t i = pos + 1; i < m_tree.size(); i += i & (~i + 1))
            ++m_tree[i];
    }
    // marked positions in [0, pos)
    long long Before(std::size_t pos) const
    {
        long long s = 0;
        for (std::size_t i = pos; i > 0; i -= i & (~i + 1))
            s += m_tree[i];
        return s;
    }

private:
    std::vector<int> m_tree;
};

} // namespace

namespace {

// The exchange sort's order in n log n. The keys are put in order; what the exchange sort
// does to equal keys follows from how it moves records: while records of earlier keys are
// still ahead, each one taken out moves the foremost record of a later key to its place.
// For one key, in the order of the array, that is: the run of its records seen so far is
// rotated by one for every record of an earlier key that follows. The run is built with
// that rule per key, and the number of earlier-key records between two positions comes
// from a counting tree.
template <class Key> void ExactOrderSort(std::vector<CXItem*>& items, const std::vector<Key>& key, bool bDescending)
{
    const std::size_t n = items.size();
    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&key, bDescending](int a, int b) { return bDescending ? key[b] < key[a] : key[a] < key[b]; });

    std::vector<CXItem*> sorted;
    sorted.reserve(n);
    PositionCounts earlier(n);
    std::size_t start = 0;
    while (start < n) {
        std::size_t end = start + 1;
        while (end < n && key[order[end]] == key[order[start]])
            ++end;
        if (end - start == 1) {
            sorted.push_back(items[order[start]]);
        } else {
            RotatingRun run(end - start);
            for (std::size_t j = start; j < end; ++j) {
                const std::size_t pos = order[j];
                const std::size_t next = j + 1 < end ? static_cast<std::size_t>(order[j + 1]) : n;
                run.Append(order[j]);
                run.RotateLeft(earlier.Before(next) - earlier.Before(pos + 1));
            }
            run.ForEach([&](int index) { sorted.push_back(items[index]); });
        }
        for (std::size_t j = start; j < end; ++j)
            earlier.Mark(order[j]);
        start = end;
    }
    items.swap(sorted);
}

} // namespace

void CXArray::Sort(int type, int offset, bool bDescending)
{
    if (type != XIN && type != XTS && type != XNU && type != XDT && type != XDR)
        return;
    const std::size_t n = m_items.size();
    if (n < 2)
        return;
    if (n <= 32) {
        ExchangeSort(m_items, type, offset, bDescending);
        return;
    }
    if (type == XDR) {
        std::vector<RangeKey> key(n);
        for (std::size_t i = 0; i < n; ++i)
            key[i] = RangeKeyOf(*m_items[i], offset);
        ExactOrderSort(m_items, key, bDescending);
        return;
    }
    std::vector<ScalarKey> key(n);
    for (std::size_t i = 0; i < n; ++i)
        key[i] = ScalarKeyOf(*m_items[i], type, offset);
    ExactOrderSort(m_items, key, bDescending);
}

CXItem* CXArray::FindByText(int offset, const QString& text) const
{
    if (text.isEmpty())
        return nullptr;
    for (CXItem* item : m_items)
        if (item->Member<QString>(offset).compare(text, Qt::CaseInsensitive) == 0)
            return item;
    return nullptr;
}

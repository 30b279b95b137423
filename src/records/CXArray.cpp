#include "CXArray.h"

#include "CHead.h"
#include "CXItem.h"
#include "TextUtils.h"

#include <QtCore/QSet>

CXArray::~CXArray()
{
    if (m_bOwns)
        for (CXItem* item : m_items)
            delete item;
}

CHeads* CXArray::GetHeads() const
{
    return m_items.empty() ? nullptr : m_items.front()->GetHeads();
}

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

void CXArray::InsertAt(int index, CXItem* item)
{
    m_items.insert(m_items.begin() + index, item);
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
    case XIN: return item.Member<int>(offset);
    case XNU: return item.Member<double>(offset);
    case XDT: return item.Member<XDateTime>(offset).Day();
    default: return 0;
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
        case XLK: text = item->Member<CXBase>(offset).GetLink(); break;
        case XSW: text = item->Member<QString>(offset); break;
        default: break;
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

// -1, 0 or 1 for the two records' members as the list sort compares them.
int CompareMember(const CXItem& a, const CXItem& b, int type, int offset)
{
    switch (type) {
    case XIN: {
        // as unsigned: hidden columns (-1) sort behind every shown one
        const auto x = static_cast<unsigned>(a.Member<int>(offset));
        const auto y = static_cast<unsigned>(b.Member<int>(offset));
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case XTS: {
        const int x = a.Member<int>(offset), y = b.Member<int>(offset);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case XNU: {
        const double x = a.Member<double>(offset), y = b.Member<double>(offset);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case XDT: {
        const double x = a.Member<XDateTime>(offset).Day(), y = b.Member<XDateTime>(offset).Day();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case XDR: return a.Member<CXDateRange>(offset).Compare(b.Member<CXDateRange>(offset));
    default: return 0;
    }
}

} // namespace

void CXArray::Sort(int type, int offset, bool bDescending)
{
    if (type != XIN && type != XTS && type != XNU && type != XDT && type != XDR)
        return;
    const std::size_t n = m_items.size();
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t i = a + 1; i < n; ++i) {
            const int c = CompareMember(*m_items[a], *m_items[i], type, offset);
            if (bDescending ? c < 0 : c > 0)
                std::swap(m_items[a], m_items[i]);
        }
    }
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

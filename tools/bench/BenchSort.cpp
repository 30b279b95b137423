// Times CXArray::Sort on record arrays of the size a large query result reaches.
// Usage: bench_sort [records=100000]
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <functional>
#include <random>

namespace {

class CBenchItem : public CXItem
{
public:
    int m_nKey = 0;
    double m_fAmount = 0;
};

double TimeSort(int n, const char* label, const std::function<int(int, std::mt19937&)>& key)
{
    std::mt19937 rng(42);
    CXArrayT<CBenchItem> items;
    items.Reserve(n);
    for (int i = 0; i < n; ++i) {
        auto* item = new CBenchItem;
        item->m_nKey = key(i, rng);
        items.Add(item);
    }
    const auto t0 = std::chrono::steady_clock::now();
    items.Sort(XIN, XOFFSET(CBenchItem, m_nKey), false);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%-28s %8d records  %9.3f s\n", label, n, s);
    return s;
}

// Amounts with one NaN, and date ranges with a few distinct days: keys the sort once left to
// its quadratic exchange sort.
void TimeOtherKeys(int n)
{
    std::mt19937 rng(42);
    CXArrayT<CBenchItem> amounts, ranges;
    for (int i = 0; i < n; ++i) {
        auto* a = new CBenchItem;
        a->m_fAmount = i == n / 2 ? std::nan("") : static_cast<double>(rng() % 10000) / 100;
        amounts.Add(a);
        auto* r = new CBenchItem;
        const double begin = 45000 + static_cast<double>(rng() % 365);
        r->m_oper = CXDateRange(XDateTime(begin), XDateTime(begin + static_cast<double>(rng() % 30)));
        ranges.Add(r);
    }
    auto time = [n](const char* label, CXArray& items, int type, int offset) {
        const auto t0 = std::chrono::steady_clock::now();
        items.Sort(type, offset, false);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-28s %8d records  %9.3f s\n", label, n, s);
    };
    time("amounts with one NaN", amounts, XNU, XOFFSET(CBenchItem, m_fAmount));
    time("date ranges", ranges, XDR, XOFFSET(CBenchItem, m_oper));
}

} // namespace

int main(int argc, char** argv)
{
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    TimeSort(n, "random keys", [](int, std::mt19937& r) { return static_cast<int>(r() % 1000000); });
    TimeSort(n, "few distinct keys (dates)", [](int, std::mt19937& r) { return static_cast<int>(r() % 365); });
    TimeSort(n, "already ascending", [](int i, std::mt19937&) { return i; });
    TimeSort(n, "descending", [n](int i, std::mt19937&) { return n - i; });
    TimeOtherKeys(n);
    return 0;
}

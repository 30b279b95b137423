// Times CXArray::Sort on record arrays of the size a large query result reaches.
// Usage: bench_sort [records=100000]
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

class CBenchItem : public CXItem
{
public:
    int m_nKey = 0;
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

} // namespace

int main(int argc, char** argv)
{
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    TimeSort(n, "random keys", [](int, std::mt19937& r) { return static_cast<int>(r() % 1000000); });
    TimeSort(n, "few distinct keys (dates)", [](int, std::mt19937& r) { return static_cast<int>(r() % 365); });
    TimeSort(n, "already ascending", [](int i, std::mt19937&) { return i; });
    TimeSort(n, "descending", [n](int i, std::mt19937&) { return n - i; });
    return 0;
}

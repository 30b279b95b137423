#include "LoginThrottle.h"

#include "XDateTime.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace xInternet {

namespace {

struct XFailures
{
    int count = 0;
    double last = 0; // day number with fraction, of the program's clock
};

std::mutex g_lock;
std::map<QString, XFailures> g_failures;

// Keys are made from requests, so the table must not grow without bound: entries past
// their forgetting time go first, and when a flood of addresses still fills it, the oldest.
constexpr std::size_t kMaxKeys = 4096;

double SecondsSince(double day, double now) { return (now - day) * 86400.0; }

int WaitFor(const XFailures& f, double now)
{
    if (f.count < XLoginThrottle::kFreeFailures)
        return 0;
    const int doublings = std::min(f.count - XLoginThrottle::kFreeFailures, 10);
    const double wait =
        std::min<double>(XLoginThrottle::kFirstWaitSeconds * (1 << doublings), XLoginThrottle::kLongestWaitSeconds);
    const double left = wait - SecondsSince(f.last, now);
    return left > 0 ? static_cast<int>(left + 0.999) : 0;
}

void Prune(double now)
{
    for (auto it = g_failures.begin(); it != g_failures.end();)
        it = SecondsSince(it->second.last, now) > XLoginThrottle::kForgetSeconds ? g_failures.erase(it) : std::next(it);
    while (g_failures.size() >= kMaxKeys) {
        auto oldest = std::min_element(g_failures.begin(), g_failures.end(),
                                       [](const auto& a, const auto& b) { return a.second.last < b.second.last; });
        g_failures.erase(oldest);
    }
}

} // namespace

int XLoginThrottle::WaitSeconds(const QString& key) const
{
    const double now = XClock::Now().Day();
    std::lock_guard lock(g_lock);
    auto it = g_failures.find(key);
    if (it == g_failures.end() || SecondsSince(it->second.last, now) > kForgetSeconds)
        return 0;
    return WaitFor(it->second, now);
}

void XLoginThrottle::Failed(const QString& key)
{
    const double now = XClock::Now().Day();
    std::lock_guard lock(g_lock);
    auto it = g_failures.find(key);
    if (it == g_failures.end()) {
        if (g_failures.size() >= kMaxKeys)
            Prune(now);
        it = g_failures.emplace(key, XFailures{}).first;
    } else if (SecondsSince(it->second.last, now) > kForgetSeconds) {
        it->second.count = 0;
    }
    ++it->second.count;
    it->second.last = now;
}

void XLoginThrottle::Succeeded(const QString& key)
{
    std::lock_guard lock(g_lock);
    g_failures.erase(key);
}

void XLoginThrottle::Clear()
{
    std::lock_guard lock(g_lock);
    g_failures.clear();
}

XLoginThrottle& LoginThrottle()
{
    static XLoginThrottle throttle;
    return throttle;
}

} // namespace xInternet

#include "XService.h"

#include <gtest/gtest.h>

#include <QtCore/QString>

#include <thread>

namespace {

struct XGreeter
{
    virtual ~XGreeter() = default;
    virtual QString Greet() const { return QStringLiteral("built-in"); }
};
struct CGreeter : XGreeter
{
    QString Greet() const override { return QStringLiteral("installed"); }
};

TEST(XService, InstallReturnsThePreviousAndNullMeansTheBuiltIn)
{
    XService<XGreeter> slot;
    XGreeter builtIn;
    CGreeter installed;
    EXPECT_EQ(slot.GetOr(builtIn).Greet(), QStringLiteral("built-in"));
    EXPECT_EQ(slot.Install(&installed), nullptr);
    EXPECT_EQ(slot.GetOr(builtIn).Greet(), QStringLiteral("installed"));
    EXPECT_EQ(slot.Install(nullptr), &installed);
    EXPECT_EQ(slot.Get(), nullptr);
}

TEST(XHook, CallsTheInstalledFunctionOrGivesTheDefaultResult)
{
    XHook<int(int)> hook;
    EXPECT_FALSE(hook);
    EXPECT_EQ(hook(4), 0);
    hook = [](int n) { return n * 2; };
    EXPECT_TRUE(hook);
    EXPECT_EQ(hook(4), 8);
    const auto previous = hook.Install(nullptr);
    ASSERT_TRUE(previous);
    EXPECT_EQ(previous(5), 10);
    EXPECT_FALSE(hook);
}

// A function swapped out while another thread runs it stays alive until that call returns.
TEST(XHook, SwapDuringACallKeepsTheRunningFunctionAlive)
{
    XHook<int()> hook;
    std::atomic<bool> entered{false}, release{false};
    auto owned = std::make_shared<int>(7);
    hook = [owned, &entered, &release] {
        entered = true;
        while (!release)
            std::this_thread::yield();
        return *owned;
    };
    owned.reset();
    int result = 0;
    std::thread caller([&] { result = hook(); });
    while (!entered)
        std::this_thread::yield();
    hook.Install(nullptr);
    release = true;
    caller.join();
    EXPECT_EQ(result, 7);
}

} // namespace

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// True on the UI thread: Qt's main thread. False when no QCoreApplication exists.
bool IsUiThread();

// Tests that run without an application, or that must pretend to be a worker, set this:
// 1 = always the UI thread, 0 = never, -1 = ask Qt again.
void SetUiThreadOverride(int mode);

// An event that stays set until it is reset, waited for with a time-out (stop events of
// the background and web threads).
class ManualResetEvent
{
public:
    explicit ManualResetEvent(bool initiallySet = false) : m_set(initiallySet) {}
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until set or the time-out passes; true when set. A negative time-out waits forever.
    bool Wait(std::chrono::milliseconds timeout = std::chrono::milliseconds(-1)) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    bool m_set;
};

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// True on the UI thread: Qt's main thread. False when no QCoreApplication exists.
bool IsUiThread();

// Tests that run without an application, or that must pretend to be a worker, set this:
// 1 = always the UI thread, 0 = never, -1 = ask Qt again.
void SetUiThreadOverride(int mode);

// An event one thread sets and others wait for with a time-out. A manual-reset event stays
// set until Reset (the stop events of the background and web threads); an auto-reset one
// lets one waiter through and clears itself (a request to a worker thread).
class XEvent
{
public:
    XEvent(bool manualReset, bool initiallySet) : m_bManual(manualReset), m_set(initiallySet) {}
    XEvent(const XEvent&) = delete;
    XEvent& operator=(const XEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until set or the time-out passes; true when set, and an auto-reset event is then
    // cleared. A negative time-out waits forever.
    bool Wait(std::chrono::milliseconds timeout = std::chrono::milliseconds(-1)) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    const bool m_bManual;
    mutable bool m_set;
};

class ManualResetEvent : public XEvent
{
public:
    explicit ManualResetEvent(bool initiallySet = false) : XEvent(true, initiallySet) {}
};

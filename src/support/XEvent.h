#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event one thread sets and another waits for. An auto-reset event lets one waiter
// through and clears itself; a manual-reset one stays set until Reset.
class XEvent
{
public:
    XEvent(bool manualReset, bool initiallySet) : m_bManual(manualReset), m_bSet(initiallySet) {}
    XEvent(const XEvent&) = delete;
    XEvent& operator=(const XEvent&) = delete;

    void Set()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bSet = true;
        }
        m_cv.notify_all();
    }
    void Reset()
    {
        std::lock_guard lock(m_mutex);
        m_bSet = false;
    }
    bool IsSet() const
    {
        std::lock_guard lock(m_mutex);
        return m_bSet;
    }
    // True when the event was set within the time; an auto-reset event is then cleared.
    bool Wait(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        if (!m_cv.wait_for(lock, timeout, [this] { return m_bSet; }))
            return false;
        if (!m_bManual)
            m_bSet = false;
        return true;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    const bool m_bManual;
    bool m_bSet;
};

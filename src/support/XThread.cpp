#include "XThread.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>

#include <atomic>

namespace {
std::atomic<int> g_override{-1};
}

bool IsUiThread()
{
    const int mode = g_override.load(std::memory_order_relaxed);
    if (mode >= 0)
        return mode == 1;
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void SetUiThreadOverride(int mode) { g_override.store(mode < 0 ? -1 : (mode ? 1 : 0)); }

void XEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_cv.notify_all();
}

void XEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool XEvent::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool XEvent::Wait(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    const auto isSet = [this] { return m_set; };
    if (timeout.count() < 0)
        m_cv.wait(lock, isSet);
    else if (!m_cv.wait_for(lock, timeout, isSet))
        return false;
    if (!m_bManual)
        m_set = false;
    return true;
}

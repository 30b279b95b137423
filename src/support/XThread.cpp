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

void ManualResetEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_cv.notify_all();
}

void ManualResetEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool ManualResetEvent::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool ManualResetEvent::Wait(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    if (timeout.count() < 0) {
        m_cv.wait(lock, [this] { return m_set; });
        return true;
    }
    return m_cv.wait_for(lock, timeout, [this] { return m_set; });
}

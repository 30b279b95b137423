#include "XErrorReporter.h"

#include <QtCore/QDebug>

#include <memory>
#include <mutex>

namespace {

std::mutex g_mutex;
std::shared_ptr<const XErrorSink> g_sink;
thread_local bool t_reporting = false;

} // namespace

XErrorSink SetErrorSink(XErrorSink sink)
{
    auto next = sink ? std::make_shared<const XErrorSink>(std::move(sink)) : nullptr;
    std::lock_guard lock(g_mutex);
    std::shared_ptr<const XErrorSink> previous = std::move(g_sink);
    g_sink = std::move(next);
    return previous ? *previous : XErrorSink();
}

void ReportError(const QString& task, const QString& detail, const QString& message)
{
    if (t_reporting)
        return;
    struct Guard
    {
        Guard() { t_reporting = true; }
        ~Guard() { t_reporting = false; }
    } guard;
    std::shared_ptr<const XErrorSink> sink;
    {
        std::lock_guard lock(g_mutex);
        sink = g_sink;
    }
    const XErrorReport report{task, detail, message};
    if (sink)
        (*sink)(report);
    else
        qWarning().noquote() << task << ":" << message << (detail.isEmpty() ? QString() : " [" + detail + "]");
}

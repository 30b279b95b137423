#include "XErrorReporter.h"

#include <QtCore/QDebug>

#include "XService.h"

namespace {

XHook<void(const XErrorReport&)> g_sink;
thread_local bool t_reporting = false;

} // namespace

XErrorSink SetErrorSink(XErrorSink sink) { return g_sink.Install(std::move(sink)); }

void ReportError(const QString& task, const QString& detail, const QString& message)
{
    if (t_reporting)
        return;
    struct Guard
    {
        Guard() { t_reporting = true; }
        ~Guard() { t_reporting = false; }
    } guard;
    const auto sink = g_sink.Get();
    const XErrorReport report{task, detail, message};
    if (sink)
        (*sink)(report);
    else
        qWarning().noquote() << task << ":" << message << (detail.isEmpty() ? QString() : " [" + detail + "]");
}

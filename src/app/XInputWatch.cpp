#include "XInputWatch.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QObject>

#include <atomic>
#include <chrono>

namespace {

std::atomic<std::uint32_t> g_lastInput{TickCount()};

class XInputFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            NoteInput();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, e);
    }
};

} // namespace

std::uint32_t TickCount()
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

std::uint32_t LastInputTick() { return g_lastInput.load(std::memory_order_relaxed); }

void NoteInput() { g_lastInput.store(TickCount(), std::memory_order_relaxed); }

void SetLastInputTick(std::uint32_t tick) { g_lastInput.store(tick, std::memory_order_relaxed); }

void InstallInputWatch()
{
    static XInputFilter* filter = nullptr;
    QCoreApplication* app = QCoreApplication::instance();
    if (filter || !app)
        return;
    filter = new XInputFilter(app);
    app->installEventFilter(filter);
}

#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

// The one pattern for something the program installs at start-up and the lower layers ask
// for: a slot that any thread may read while the UI thread (or a test) swaps it. Installing
// returns what was there before, so a test can put it back; an empty slot means "use the
// built-in default".

// An installed object, not owned (the installer keeps it alive while installed).
template <class T> class XService
{
public:
    T* Get() const { return m_installed.load(std::memory_order_acquire); }
    // The installed object, or the built-in one when none is installed.
    T& GetOr(T& builtIn) const
    {
        T* p = Get();
        return p ? *p : builtIn;
    }
    T* Install(T* service) { return m_installed.exchange(service, std::memory_order_acq_rel); }

private:
    std::atomic<T*> m_installed{nullptr};
};

// An installed function. A caller keeps its own reference while it runs, so a swap on
// another thread never destroys a function that is still running.
template <class Signature> class XHook
{
public:
    using Function = std::function<Signature>;

    XHook() = default;
    explicit XHook(Function fn) { Install(std::move(fn)); }

    Function Install(Function fn)
    {
        auto next = fn ? std::make_shared<const Function>(std::move(fn)) : nullptr;
        std::lock_guard lock(m_mutex);
        std::shared_ptr<const Function> previous = std::exchange(m_fn, std::move(next));
        return previous ? *previous : Function();
    }
    // Installs as Install does; lets a hook read like the function it holds.
    XHook& operator=(Function fn)
    {
        Install(std::move(fn));
        return *this;
    }
    std::shared_ptr<const Function> Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_fn;
    }
    explicit operator bool() const { return Get() != nullptr; }
    // Calls the installed function; a default result when none is installed.
    template <class... Args> auto operator()(Args&&... args) const
    {
        const std::shared_ptr<const Function> fn = Get();
        using R = typename Function::result_type;
        if constexpr (std::is_void_v<R>) {
            if (fn)
                (*fn)(std::forward<Args>(args)...);
        } else {
            return fn ? (*fn)(std::forward<Args>(args)...) : R();
        }
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const Function> m_fn;
};

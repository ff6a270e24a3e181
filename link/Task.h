#pragma once
// The program's coroutines: a command, a page operation or an exchange is a Task that starts at
// once, runs until it awaits (a reply, a timer, a box), and lets the main loop run meanwhile.
// The caller co_awaits it for its result, or drops it: a dropped Task runs on to its end by
// itself. Tasks are [[nodiscard]], so an exchange that is not awaited does not compile quietly.
// moc reads the headers that include this one; it cannot read <coroutine>, and needs none of it.
#ifndef Q_MOC_RUN
#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace co {

// Thrown out of an await once the program is ending: the command under way unwinds to its
// runner without another exchange, box or page step.
struct Cancelled {};

template <class T = void> class Task;

namespace detail {
struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;
    bool dropped = false; // the Task went before the coroutine ended: it ends by itself

    std::suspend_never initial_suspend() noexcept { return {}; }
    struct Final {
        bool await_ready() noexcept { return false; }
        template <class P> std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            PromiseBase &p = h.promise();
            if (p.continuation) return p.continuation;
            if (p.dropped) {
                if (p.error) droppedError(p.error);
                h.destroy();
            }
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    Final final_suspend() noexcept { return {}; }
    void unhandled_exception() { error = std::current_exception(); }
    // What no one awaits: a cancellation is the normal end of a dropped task; anything else is a
    // fault of the program and ends it as an uncaught exception would.
    static void droppedError(const std::exception_ptr &e) noexcept {
        try {
            std::rethrow_exception(e);
        } catch (const Cancelled &) {
        } catch (...) {
            std::terminate();
        }
    }
};

template <class T> struct Promise : PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object() noexcept;
    template <class U> void return_value(U &&v) { value.emplace(std::forward<U>(v)); }
};

template <> struct Promise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
};
} // namespace detail

template <class T> class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle h) : m_h(h) {}
    Task(Task &&o) noexcept : m_h(std::exchange(o.m_h, {})) {}
    Task &operator=(Task &&o) noexcept {
        if (this != &o) {
            release();
            m_h = std::exchange(o.m_h, {});
        }
        return *this;
    }
    Task(const Task &) = delete;
    Task &operator=(const Task &) = delete;
    ~Task() { release(); }

    bool done() const { return !m_h || m_h.done(); }

    bool await_ready() const noexcept { return done(); }
    void await_suspend(std::coroutine_handle<> awaiting) noexcept { m_h.promise().continuation = awaiting; }
    T await_resume() {
        promise_type &p = m_h.promise();
        if (p.error) std::rethrow_exception(p.error);
        if constexpr (!std::is_void_v<T>) return std::move(*p.value);
    }

    // A program's main() or a test that drives the loop itself: the result once done().
    T result() { return await_resume(); }

private:
    void release() {
        if (!m_h) return;
        if (m_h.done()) m_h.destroy();
        else m_h.promise().dropped = true;
        m_h = {};
    }
    Handle m_h;
};

namespace detail {
template <class T> Task<T> Promise<T>::get_return_object() noexcept {
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}
inline Task<void> Promise<void>::get_return_object() noexcept {
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}
} // namespace detail

// Runs a task on by itself, for a caller that cannot await (a signal's handler).
template <class T> void Start(Task<T> &&task) { Task<T> dropped = std::move(task); }

// A task already done with this value.
template <class T> Task<T> Ready(T value) { co_return value; }
inline Task<> Ready() { co_return; }

} // namespace co
#endif

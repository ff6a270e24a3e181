#pragma once
// What a coroutine awaits besides the link's own wait: a time, and the end of a window.
#include "link/Task.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#ifndef Q_MOC_RUN
#include <coroutine>
#endif

namespace co {

// Resumes after `ms` (0: once the main loop has come round, so that what waits runs first).
class Delay {
public:
    explicit Delay(int ms) : m_ms(ms) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [h] { h.resume(); });
        m_timer.start(m_ms);
    }
    void await_resume() const noexcept {}

private:
    int m_ms;
    QTimer m_timer;
};

// Resumes once `object` has sent `signal` (or is gone), with nothing of its arguments.
template <class Object, class Signal> class Emitted {
public:
    Emitted(Object *object, Signal signal) : m_object(object), m_signal(signal) {}
    ~Emitted() {
        QObject::disconnect(m_fired);
        QObject::disconnect(m_gone);
    }
    bool await_ready() const noexcept { return !m_object; }
    void await_suspend(std::coroutine_handle<> h) {
        m_h = h;
        m_fired = QObject::connect(m_object.data(), m_signal, m_object.data(), [this] { resume(); },
                                   Qt::SingleShotConnection);
        m_gone = QObject::connect(m_object.data(), &QObject::destroyed, [this] { resume(); });
    }
    void await_resume() const noexcept {}

private:
    void resume() {
        QObject::disconnect(m_fired);
        QObject::disconnect(m_gone);
        if (std::coroutine_handle<> h = std::exchange(m_h, {})) h.resume();
    }
    QPointer<Object> m_object;
    Signal m_signal;
    std::coroutine_handle<> m_h;
    QMetaObject::Connection m_fired, m_gone;
};

} // namespace co

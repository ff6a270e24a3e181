// Monitoring: Start, the loop of reading passes, and Stop.
#include "core/Globals.h"
#include "core/PageContract.h"
#include "core/Session.h"
#include "link/Await.h"
#include "link/Link.h"

namespace {
// A pass that sent nothing (a unit without channels) waits this long before the next: the loop
// never spins.
constexpr int EmptyPassMs = 100;
} // namespace

co::Task<> Session::commandStart() {
    if (!g.Connected) co_await commandConnect();
    IoPage *p = co_await routedPage("btnStart_Click");
    if (!p) co_return co_await endCommand();
    p->onStart();
    monitor_btn_control();
    // Started again between the passes of a loop that Stop had not yet ended: it carries on.
    if (m_monitorDepth > 0) co_return;
    co_await MonitorLoop();
}

co::Task<> Session::MonitorLoop() {
    if (!g.Monitoring) co_return;
    ++m_monitorDepth;
    m_lostReason.clear();
    {
        // Between passes the program is idle: a click runs there; one held during a pass waits for it.
        CommandRunner::Place between(*m_runner, CommandRunner::Place::Monitor);
        while (g.Monitoring) {
            co_await m_runner->runHeld();
            if (!g.Monitoring) break;
            // A dead line cannot be monitored; end as a disconnect would, instead of spinning.
            if (!m_link->isOpen()) {
                co_await connectionLost();
                break;
            }
            setLamp(Lamp::Monitoring);
            IoPage *p = nullptr;
            if (route(p) != Route::Page) break;
            const quint64 linesBefore = m_link->linesSent();
            {
                CommandRunner::Pause pass(*m_runner);
                emit passStarted();
                co_await p->ReadingData();
                emit passDone();
            }
            // The main loop comes round between passes, whatever the unit's speed.
            const int rest = m_link->linesSent() == linesBefore ? EmptyPassMs : 0;
            co_await co::Delay(rest);
        }
    }
    --m_monitorDepth;
    if (m_monitorDepth > 0) co_return;
    // Stopped during the pass in which the line died: nothing in the loop saw it.
    if (g.Connected && !m_link->isOpen()) co_await connectionLost();
    // A page's own failure routine disconnected during a pass: the buttons and the page follow
    // as after Disconnect, not as during monitoring (or after a Stop that came first).
    else if (!g.Connected) disconnectNow();
}

void Session::commandStop() {
    stop_btn_control();
    IoPage *p = nullptr;
    const Route r = route(p);
    if (r == Route::Page) {
        p->onStop();
        setLamp(Lamp::Connected);
        return;
    }
    if (r == Route::Invalid) co::Start(debugInfo("btnStop_Click"));
    co::Start(endCommand());
}

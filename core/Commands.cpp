#include "core/Commands.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "link/Await.h"
#include "link/Link.h"

#include <QPointer>
#include <QTimer>

co::Task<bool> OpenComPort(Link &link, QString *failure) {
    co_return co_await link.OpenComPort(g.ComPortNo, g.BaudRate + ",n,8,1", failure);
}

CommandRunner::CommandRunner(QObject *parent) : QObject(parent) {}
CommandRunner::~CommandRunner() = default;

void CommandRunner::setLink(Link *link) {
    QObject::disconnect(m_linkWaits);
    m_link = link;
    m_held.clear(); // commands held for another link belong to a window that is gone
    if (link) m_linkWaits = connect(link, &Link::waitEnded, this, [this] { queueFlush(); });
}

bool CommandRunner::waiting() const { return m_pauses > 0 || (m_link && m_link->busy()); }

bool CommandRunner::idle() const { return m_frames.isEmpty() && m_held.isEmpty() && !waiting(); }

bool CommandRunner::busyIn(const void *window) const {
    for (qsizetype i = m_frames.size() - 1; i >= 0; --i)
        if (m_frames[i].kind == Frame::Modal && m_frames[i].window == window)
            return i + 1 < m_frames.size() || waiting() || std::any_of(m_held.begin(), m_held.end(), [&](const Held &h) {
                       return h.home == i + 1;
                   });
    return false;
}

int CommandRunner::pushFrame(Frame::Kind kind, const void *window) {
    const int id = m_nextId++;
    m_frames.append({kind, window, id});
    return id;
}

// The idle place a command clicked now belongs to: the modal window its button sits in, or else
// the main window's, which is the monitoring loop while one runs and the program's own loop
// otherwise. Nothing runs inside a window it does not belong to.
int CommandRunner::homeLevel(const void *window) const {
    for (qsizetype i = m_frames.size() - 1; i >= 0; --i) {
        const Frame &f = m_frames[i];
        if (f.kind == Frame::Monitor || (f.kind == Frame::Modal && window && f.window == window)) return int(i) + 1;
    }
    return 0;
}

bool CommandRunner::runnableAt(int home) const { return m_frames.size() == home && !waiting(); }

void CommandRunner::popFrame(int id) {
    qsizetype at = -1;
    for (qsizetype i = m_frames.size() - 1; i >= 0; --i)
        if (m_frames[i].id == id) at = i;
    if (at < 0) return;
    const Frame f = m_frames.takeAt(at);
    if (f.kind != Frame::Command) {
        // The idle place is gone: a dialog's clicks go with it, the others fall to the place below.
        for (qsizetype i = m_held.size() - 1; i >= 0; --i) {
            Held &h = m_held[i];
            if (h.home <= m_frames.size()) continue;
            if (f.kind == Frame::Modal && h.fromButton && h.click.window == f.window) m_held.removeAt(i);
            else h.home = homeLevel(h.click.window);
        }
    }
    queueFlush();
    if (m_frames.isEmpty()) emit idleChanged(idle());
}

co::Task<> CommandRunner::runFramed(Command command) {
    // The command is kept here for as long as it runs: a coroutine's captures live in it.
    const int id = pushFrame(Frame::Command, nullptr);
    try {
        co_await command();
    } catch (const co::Cancelled &) {
        // The program is ending: the command has unwound, nothing more of it runs.
    }
    popFrame(id);
}

void CommandRunner::queueFlush() {
    if (m_flushQueued || m_held.isEmpty()) return;
    m_flushQueued = true;
    // Runs from the main loop once the code that ended a wait or a command has returned. If a
    // new wait or command has begun by then, the commands stay held for its end: one look per
    // end, never a spin.
    QTimer::singleShot(0, this, [this] {
        m_flushQueued = false;
        flush();
    });
}

void CommandRunner::flush() {
    if (m_held.isEmpty()) return;
    ++m_wakeUps;
    for (qsizetype i = 0; i < m_held.size(); ++i) {
        if (!runnableAt(m_held[i].home)) continue;
        const Held h = m_held.takeAt(i);
        if (h.click.stillThere && !h.click.stillThere()) {
            --i;
            continue;
        }
        // One at a time: the next looks again once this one has ended.
        co::Start(runFramed(h.click.run));
        return;
    }
}

void CommandRunner::hold(Held h) { m_held.append(std::move(h)); }

void CommandRunner::run(Command command) {
    const int home = homeLevel(nullptr);
    if (runnableAt(home)) return co::Start(runFramed(std::move(command)));
    hold({{std::move(command), nullptr, nullptr, nullptr}, false, home});
}

void CommandRunner::click(Click click) {
    const int home = homeLevel(click.window);
    if (runnableAt(home)) return co::Start(runFramed(std::move(click.run)));
    for (const Held &h : m_held)
        if (h.fromButton && click.button && h.click.button == click.button) return;
    hold({std::move(click), true, home});
}

co::Task<> CommandRunner::runHeld() {
    // Between monitoring passes: the place on top is the loop's; each held command runs to its end.
    for (;;) {
        qsizetype at = -1;
        for (qsizetype i = 0; i < m_held.size(); ++i)
            if (runnableAt(m_held[i].home)) {
                at = i;
                break;
            }
        if (at < 0) co_return;
        ++m_wakeUps;
        const Held h = m_held.takeAt(at);
        if (h.click.stillThere && !h.click.stillThere()) continue;
        co_await runFramed(h.click.run);
    }
}

void CommandRunner::dropHeld() { m_held.clear(); }

CommandRunner::Place::Place(CommandRunner &runner, Kind kind, const void *window)
    : m_runner(runner), m_id(runner.pushFrame(kind == Modal ? Frame::Modal : Frame::Monitor, window)) {}

CommandRunner::Place::~Place() { m_runner.popFrame(m_id); }

bool CommandRunner::Place::settled() const {
    const QList<Frame> &f = m_runner.m_frames;
    return !f.isEmpty() && f.last().id == m_id && !m_runner.waiting();
}

CommandRunner::Pause::Pause(CommandRunner &runner) : m_runner(runner) { ++m_runner.m_pauses; }
CommandRunner::Pause::~Pause() {
    if (--m_runner.m_pauses == 0) m_runner.queueFlush();
}

CommandRunner &Runner() {
    if (Session *s = Session::current()) return s->runner();
    // Pages and buttons made without a session (a test of the rule itself).
    static CommandRunner alone;
    static QPointer<Link> linked;
    if (linked != Link::current()) {
        linked = Link::current();
        alone.setLink(linked);
    }
    return alone;
}

co::Task<> PausePage(int ms) {
    // A pause is a wait like the transaction's: the main loop runs, clicks are held until it ends.
    CommandRunner::Pause pause(Runner());
    co_await co::Delay(ms);
    if (g.ProgramEnding) throw co::Cancelled{};
}

int HeldCommandCount() { return Runner().heldCount(); }
int HeldCommandWakeUps() { return Runner().wakeUps(); }

#include "core/Commands.h"
#include "core/Globals.h"
#include "link/Link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>

bool OpenComPort(Link &link, QString *failure) {
    return link.OpenComPort(g.ComPortNo, g.BaudRate + ",n,8,1", failure);
}

namespace {
// What is under way, innermost last: commands, and the idle places (modal windows, the
// monitoring loop) in which events run as when nothing runs.
struct Frame {
    enum Kind { Command, Modal, Monitor } kind;
    const void *window; // Modal: the dialog, if any
};
QList<Frame> frames;

struct HeldCommand {
    Click click;
    bool fromButton = false;
    int home = 0; // the depth of frames at which it runs: its idle place on top, nothing above
};
QList<HeldCommand> held;
bool flushQueued = false;
int wakeUps = 0;
QPointer<Link> hookedLink;
int pauseDepth = 0;

bool waiting() {
    const Link *l = Link::current();
    return pauseDepth > 0 || (l && l->busy());
}

// The idle place a command clicked now belongs to: the modal window its button sits in, or else
// the main window's, which is the monitoring loop while one runs and the program's own loop
// otherwise. Nothing runs inside a window it does not belong to.
int homeLevel(const void *window) {
    for (qsizetype i = frames.size() - 1; i >= 0; --i) {
        const Frame &f = frames[i];
        if (f.kind == Frame::Monitor || (f.kind == Frame::Modal && window && f.window == window))
            return int(i) + 1;
    }
    return 0;
}

bool runnableAt(int home) { return frames.size() == home && !waiting(); }

void runAsCommand(const std::function<void()> &command) {
    CommandScope scope;
    command();
}

void queueFlush();

void flushCommands() {
    if (held.isEmpty()) return;
    ++wakeUps;
    for (qsizetype i = 0; i < held.size();) {
        if (!runnableAt(held[i].home)) {
            ++i;
            continue;
        }
        const HeldCommand c = held.takeAt(i);
        if (c.click.stillThere && !c.click.stillThere()) continue;
        runAsCommand(c.click.run);
        // What ran may have changed everything: look again from the first.
        i = 0;
    }
}

void queueFlush() {
    if (flushQueued || held.isEmpty()) return;
    flushQueued = true;
    // Runs from the event loop once the code that ended a wait or a command has returned. If a
    // new wait or command has begun by then, the commands stay held for its end: one look per
    // end, never a spin.
    QTimer::singleShot(0, [] {
        flushQueued = false;
        flushCommands();
    });
}

void hold(HeldCommand c) {
    Link *l = Link::current();
    if (l && hookedLink != l) {
        held.clear(); // commands held for another link belong to a window that is gone
        hookedLink = l;
        QObject::connect(l, &Link::waitEnded, l, [] { queueFlush(); });
        QObject::connect(l, &QObject::destroyed, [] { held.clear(); });
    }
    held.append(std::move(c));
}

void popFrame() {
    const Frame f = frames.takeLast();
    if (f.kind != Frame::Command) {
        // The idle place is gone: a dialog's clicks go with it, the others fall to the place below.
        for (qsizetype i = held.size() - 1; i >= 0; --i) {
            HeldCommand &c = held[i];
            if (c.home <= frames.size()) continue;
            if (f.kind == Frame::Modal && c.fromButton && c.click.window == f.window)
                held.removeAt(i);
            else
                c.home = homeLevel(c.click.window);
        }
    }
    queueFlush();
}
} // namespace

CommandScope::CommandScope() { frames.append({Frame::Command, nullptr}); }
CommandScope::~CommandScope() { popFrame(); }

IdleScope::IdleScope(Kind kind, const void *window) {
    frames.append({kind == Modal ? Frame::Modal : Frame::Monitor, window});
}
IdleScope::~IdleScope() { popFrame(); }

void RunHeldCommands() { flushCommands(); }

void RunCommand(std::function<void()> command) {
    const int home = homeLevel(nullptr);
    if (runnableAt(home)) return runAsCommand(command);
    hold({{std::move(command), nullptr, nullptr, nullptr}, false, home});
}

void RunClick(Click click) {
    const int home = homeLevel(click.window);
    if (runnableAt(home)) return runAsCommand(click.run);
    for (const HeldCommand &c : held)
        if (c.fromButton && click.button && c.click.button == click.button) return;
    hold({std::move(click), true, home});
}

void PausePage(int ms) {
    // A pause is a wait like the transaction's: events run, clicks are held back until it ends.
    ++pauseDepth;
    QElapsedTimer clock;
    clock.start();
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(ms);
    while (clock.elapsed() < ms && !g.ProgramEnding)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (--pauseDepth == 0) queueFlush();
}

void DropHeldCommands() { held.clear(); }

int HeldCommandCount() { return int(held.size()); }
int HeldCommandWakeUps() { return wakeUps; }

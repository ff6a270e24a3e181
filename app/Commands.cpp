#include "app/Commands.h"
#include "app/Globals.h"
#include "link/Link.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>

namespace {
MainWindowHooks hooks;
}

void SetMainWindowHooks(const MainWindowHooks &h) { hooks = h; }

void DisconnectUnit() {
    if (Link *l = Link::current()) l->CloseComPort();
    g.Connected = false;
    g.Monitoring = false;
    g.ExtAsked = false;
    if (hooks.disconnected) hooks.disconnected();
}

bool OpenComPort(Link &link, QString *failure) {
    return link.OpenComPort(g.ComPortNo, g.BaudRate + ",n,8,1", failure);
}

void RunConnectCommand() {
    if (hooks.connectCommand) hooks.connectCommand();
}

namespace {
struct HeldCommand {
    std::function<void()> run;
    QPointer<QAbstractButton> button; // null for a command not tied to a button
    bool fromButton = false;
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

void flushCommands();

void queueFlush() {
    if (flushQueued) return;
    flushQueued = true;
    // Runs from the event loop once the wait that ended has returned to its caller. If that
    // caller starts another wait first, this fires inside it, finds the link busy and leaves
    // the commands held for the next end of a wait: one wake-up per wait, never a spin.
    QTimer::singleShot(0, [] {
        flushQueued = false;
        flushCommands();
    });
}

void flushCommands() {
    if (!held.isEmpty()) ++wakeUps;
    while (!held.isEmpty()) {
        // Still inside a wait (the link's or a page's pause): its end looks again.
        if (waiting()) return;
        const HeldCommand c = held.takeFirst();
        if (c.fromButton && (!c.button || !c.button->isEnabled())) continue;
        c.run();
    }
}

void hold(HeldCommand c, Link *l) {
    if (l && hookedLink != l) {
        held.clear(); // commands held for another link belong to a window that is gone
        hookedLink = l;
        QObject::connect(l, &Link::waitEnded, l, [] { queueFlush(); });
        QObject::connect(l, &QObject::destroyed, [] { held.clear(); });
    }
    held.append(std::move(c));
}
} // namespace

void RunCommand(std::function<void()> command) {
    if (!waiting()) return command();
    hold({std::move(command), nullptr, false}, Link::current());
}

void ConnectCommand(QAbstractButton *button, std::function<void()> command) {
    QObject::connect(button, &QAbstractButton::clicked, button, [button, command] {
        if (!waiting()) return command();
        for (const HeldCommand &c : held)
            if (c.fromButton && c.button == button) return;
        hold({command, button, true}, Link::current());
    });
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
    if (--pauseDepth == 0 && !held.isEmpty()) queueFlush();
}

int HeldCommandCount() { return int(held.size()); }
int HeldCommandWakeUps() { return wakeUps; }

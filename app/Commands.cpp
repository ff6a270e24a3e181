#include "app/Commands.h"
#include "app/Globals.h"
#include "link/Link.h"

#include <QPointer>

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

void RunConnectCommand() {
    if (hooks.connectCommand) hooks.connectCommand();
}

#include <QAbstractButton>
#include <QList>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace {
QList<std::function<void()>> pendingCommands;
bool flushQueued = false;
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
    QTimer::singleShot(0, [] {
        flushQueued = false;
        flushCommands();
    });
}

void flushCommands() {
    while (!pendingCommands.isEmpty()) {
        // Still inside a wait: the wait tells us when it has unwound.
        if (waiting()) return;
        std::function<void()> c = pendingCommands.takeFirst();
        c();
    }
}
} // namespace

void RunCommand(std::function<void()> command) {
    if (!waiting()) return command();
    Link *l = Link::current();
    if (l && hookedLink != l) {
        hookedLink = l;
        QObject::connect(l, &Link::waitEnded, l, [] { queueFlush(); });
    }
    pendingCommands.append(std::move(command));
}

void ConnectCommand(QAbstractButton *button, std::function<void()> command) {
    QObject::connect(button, &QAbstractButton::clicked, button, [command] { RunCommand(command); });
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
    if (--pauseDepth == 0 && !pendingCommands.isEmpty()) queueFlush();
}

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
#include <QTimer>

namespace {
QList<std::function<void()>> pendingCommands;
bool flushQueued = false;
QPointer<Link> hookedLink;

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
        Link *l = Link::current();
        // Still inside a wait: the link tells us when it has unwound.
        if (l && l->busy()) return;
        std::function<void()> c = pendingCommands.takeFirst();
        c();
    }
}
} // namespace

void RunCommand(std::function<void()> command) {
    Link *l = Link::current();
    if (!l || !l->busy()) return command();
    if (hookedLink != l) {
        hookedLink = l;
        QObject::connect(l, &Link::waitEnded, l, [] { queueFlush(); });
    }
    pendingCommands.append(std::move(command));
}

void ConnectCommand(QAbstractButton *button, std::function<void()> command) {
    QObject::connect(button, &QAbstractButton::clicked, button, [command] { RunCommand(command); });
}

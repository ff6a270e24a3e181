#include "app/Commands.h"
#include "app/Globals.h"
#include "link/Link.h"

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

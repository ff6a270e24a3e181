#pragma once
// Module routines shared by the main window, the pages and the network pages.
#include <functional>

// Closes the port and resets the connection state; identity and the page shown stay.
void DisconnectUnit();

// The main window registers what runs its own parts of these routines.
struct MainWindowHooks {
    std::function<void()> disconnected;   // lamp navy, "Disconnected"
    std::function<void()> connectCommand; // the Connect command (btnConnect_Click)
};
void SetMainWindowHooks(const MainWindowHooks &hooks);
// Runs the main window's Connect command (check plus Upload); nothing without a main window.
void RunConnectCommand();

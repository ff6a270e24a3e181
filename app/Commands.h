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

class QAbstractButton;
// A user command (a button the person clicks) runs now when the link is idle; clicked while a
// transaction waits, it runs once that wait has unwound, exactly as if it had been clicked then.
// Stop, Disconnect and Exit do not go through here: they act at once.
void RunCommand(std::function<void()> command);
// Connects a button's click to a command that follows that rule.
void ConnectCommand(QAbstractButton *button, std::function<void()> command);
// A page's own pause (a request button's settling time): window events run meanwhile, and a
// command clicked during it waits for its end like one clicked during a transaction.
void PausePage(int ms);

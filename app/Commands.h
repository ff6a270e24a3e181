#pragma once
// Module routines shared by the main window, the pages and the network pages.
#include <QString>
#include <functional>

class Link;

// Closes the port and resets the connection state; identity and the page shown stay.
void DisconnectUnit();

// Opens the port the person chose (ComPortNo) with the program's settings (BaudRate, no parity,
// 8 data bits, 1 stop bit); does nothing when it is open already. On failure *failure says why.
bool OpenComPort(Link &link, QString *failure = nullptr);

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
// command waits for the unit (its pause or its transaction), it is held back and runs once that
// wait has unwound, exactly as if it had been clicked then. Held commands run in click order;
// Stop, Disconnect and Exit do not go through here: they act at once.
void RunCommand(std::function<void()> command);
// Connects a button's click to a command that follows that rule. A held click whose button is
// disabled by the time it could run is dropped (as a click on a disabled button would be), and a
// second click on a button whose click is still held adds nothing.
void ConnectCommand(QAbstractButton *button, std::function<void()> command);
// A page's own pause (a request button's settling time): window events run meanwhile, and a
// command clicked during it waits for its end like one clicked during a transaction.
void PausePage(int ms);
// For tests: how many commands are held back, and how often the held ones were looked at.
int HeldCommandCount();
int HeldCommandWakeUps();

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

// A user command runs now when the program is idle. Clicked while a command runs (in its pause,
// its transaction, or a box or dialog it opened), it is held back and runs once that command has
// returned, exactly as if it had been clicked then: never inside another command, nor inside a
// window opened in the middle of one. Held commands run in click order; Stop, Disconnect and Exit
// do not go through here: they act at once.
void RunCommand(std::function<void()> command);
// A click of a button by that rule (the windows bind their buttons to it). A held click runs only
// while `stillThere` says its button could still be clicked; a second click of a button whose
// click is still held adds nothing.
struct Click {
    std::function<void()> run;
    std::function<bool()> stillThere;
    const void *window = nullptr; // the button's window: clicks in a modal dialog run in its loop
    const void *button = nullptr;
};
void RunClick(Click click);
// A page's own pause (a request button's settling time): window events run meanwhile, and a
// command clicked during it waits like one clicked during a transaction.
void PausePage(int ms);
// Exit: nothing held runs any more.
void DropHeldCommands();

// A command is under way for the scope's life (commands run through RunCommand and the monitoring
// passes have one already).
class CommandScope {
public:
    CommandScope();
    ~CommandScope();
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;
};

// A place where window events run while no command of its own is under way: a modal window
// (`window` is the dialog as a QWidget, or null for a box) or the monitoring loop between passes.
// A click in it runs at once; one held from below it waits until it has closed.
class IdleScope {
public:
    enum Kind { Modal, Monitor };
    explicit IdleScope(Kind kind, const void *window = nullptr);
    ~IdleScope();
    IdleScope(const IdleScope &) = delete;
    IdleScope &operator=(const IdleScope &) = delete;
};
// Runs what was held for the idle place now on top (the monitoring loop between its passes).
void RunHeldCommands();

// For tests: how many commands are held back, and how often the held ones were looked at.
int HeldCommandCount();
int HeldCommandWakeUps();

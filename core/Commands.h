#pragma once
// How a person's clicks become commands. A command runs now when nothing else runs; clicked while
// a command runs (in a wait for the unit, a pause, or a box the command opened), it is held and
// runs once that command has ended, exactly as if it had been clicked then: never inside another
// command, nor inside a window opened in the middle of one, and only while its button could
// still be clicked. Held commands run in click order. Stop, Disconnect and Exit do not go
// through here: they act at once. The runner is the session's.
#include "link/Task.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class Link;

// Opens the port the person chose (ComPortNo) with the program's settings (BaudRate, no parity,
// 8 data bits, 1 stop bit); does nothing when it is open already. On failure *failure says why.
co::Task<bool> OpenComPort(Link &link, QString *failure = nullptr);

using Command = std::function<co::Task<>()>;

// A click of a button by the command rule (the windows bind their buttons to it). A held click
// runs only while `stillThere` says its button could still be clicked; a second click of a
// button whose click is still held adds nothing.
struct Click {
    Command run;
    std::function<bool()> stillThere;
    const void *window = nullptr; // the button's window: clicks in a modal dialog run in its place
    const void *button = nullptr;
};

class CommandRunner : public QObject {
    Q_OBJECT
public:
    explicit CommandRunner(QObject *parent = nullptr);
    ~CommandRunner() override;

    void click(Click click);
    // A command of the program's own (a lost line reported): by the same rule, from no button.
    void run(Command command);

    // A place where commands of its own run while the command below it waits: a modal dialog
    // (its buttons), or the monitoring loop between passes (the main window's). Clicks held
    // from below it wait until it has gone; a dialog's own held clicks go with it.
    class Place {
    public:
        enum Kind { Modal, Monitor };
        Place(CommandRunner &runner, Kind kind, const void *window = nullptr);
        ~Place();
        Place(const Place &) = delete;
        Place &operator=(const Place &) = delete;
        // The commands started in this place have all ended.
        bool settled() const;

    private:
        CommandRunner &m_runner;
        int m_id;
    };
    // The commands held for the monitoring loop, run now one after another.
    co::Task<> runHeld();
    // A wait of the program's own (a page's pause): clicks are held until it ends.
    class Pause {
    public:
        explicit Pause(CommandRunner &runner);
        ~Pause();

    private:
        CommandRunner &m_runner;
    };

    // Nothing runs and nothing is held: the program rests in its main loop.
    bool idle() const;
    // A command started in this modal window's place still runs (or waits).
    bool busyIn(const void *window) const;
    // Exit: nothing held runs any more.
    void dropHeld();
    int heldCount() const { return int(m_held.size()); }
    int wakeUps() const { return m_wakeUps; }
    void setLink(Link *link);

signals:
    // A command ended, or a wait of one: what is held may run now.
    void idleChanged(bool idle);

private:
    struct Frame {
        enum Kind { Command, Modal, Monitor } kind;
        const void *window;
        int id;
    };
    struct Held {
        Click click;
        bool fromButton = false;
        int home = 0;
    };
    int pushFrame(Frame::Kind kind, const void *window);
    void popFrame(int id);
    int homeLevel(const void *window) const;
    bool waiting() const;
    bool runnableAt(int home) const;
    co::Task<> runFramed(Command command);
    void queueFlush();
    void flush();
    void hold(Held h);

    QList<Frame> m_frames;
    QList<Held> m_held;
    int m_nextId = 1;
    int m_pauses = 0;
    int m_wakeUps = 0;
    bool m_flushQueued = false;
    QPointer<Link> m_link; // a link may go before its runner (a test's)
    QMetaObject::Connection m_linkWaits;
    friend class Place;
};

// The runner of the session the pages and windows work for.
CommandRunner &Runner();

// A page's own pause (a request button's settling time): awaited, clicks are held meanwhile.
co::Task<> PausePage(int ms);

// For tests: how many commands are held back, and how often the held ones were looked at.
int HeldCommandCount();
int HeldCommandWakeUps();

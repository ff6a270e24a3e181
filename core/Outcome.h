#pragma once
// What became of an operation: it completed; it did not (where, and why); it was refused; or
// the person cancelled it (Disconnect, Exit). Commands and page operations return one, and the
// session, the verification, Compare and the command-line program decide from it.
#include "link/Protocol.h"

#include <QList>
#include <QSet>
#include <QString>
#include <optional>

struct Outcome {
    // NeedsInit: the unit answered that it must be initialised first.
    enum class Kind { Complete, Incomplete, Refused, Cancelled, NeedsInit };
    Kind kind = Kind::Complete;
    // Incomplete: the first exchange that gave nothing, and why.
    Exchange::Failure why = Exchange::Failure::None;
    QString group, item;
    bool write = false; // that exchange was a write
    QString text;       // Refused: what refused it
    bool stopped = false; // the operation ended there (else it went on without that value)

    bool complete() const { return kind == Kind::Complete; }
    bool cancelled() const { return kind == Kind::Cancelled; }
    bool lineLost() const { return kind == Kind::Incomplete && why == Exchange::Failure::LineLost; }
    // "no reply to group 00 item 14", "CNU to group 1 item 20", "the line was lost at group 00 item 51".
    QString where() const;

    static Outcome refused(const QString &text);
    static Outcome asCancelled(const QString &text = {});
    // The first of the two that is not complete (a cancellation wins over what it caused).
    Outcome operator+(const Outcome &later) const;
};

// Watches every exchange from its making to its end: the first failure, and what was read.
// Scopes nest; each sees what happens in its own life. The person's Disconnect or Exit during
// it makes the outcome "cancelled".
class OutcomeScope {
public:
    OutcomeScope();
    ~OutcomeScope();
    OutcomeScope(const OutcomeScope &) = delete;
    OutcomeScope &operator=(const OutcomeScope &) = delete;

    Outcome outcome() const;
    // The operation under way ended at the exchange that failed (a page step's policy ended it).
    static void noteStopped();
    // Reads that gave a value (group key and item: "1/20"), and every exchange in order.
    bool wasRead(const QString &group, const QString &item) const;
    const QList<Exchange> &exchanges() const { return m_exchanges; }

private:
    int m_watch = 0;
    quint64 m_cancelsAtStart = 0;
    bool m_stopped = false;
    QList<Exchange> m_exchanges;
    QSet<QString> m_read;
    int m_firstFailure = -1;
};

// What a page's check refused a Download for: the setting, its text, and what it may hold
// ("a number", "-32000 to 32000"). The first refusal after clearing is kept.
struct CheckRefusal {
    QString what, value, range;
    // "CH 0 Zero scale -40000 is outside -32000 to 32000", "CH 0 Bias "abc" is not a number".
    QString describe() const;
};
void ClearCheckRefusal();
void NoteCheckRefusal(const CheckRefusal &refusal);
std::optional<CheckRefusal> LastCheckRefusal();

// The person ended what runs (Disconnect, Exit): operations under way end "cancelled".
void NoteCancelled();
quint64 CancelCount();

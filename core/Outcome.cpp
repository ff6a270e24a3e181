#include "core/Outcome.h"
#include "core/Identify.h"

namespace {
quint64 cancels = 0;
QList<OutcomeScope *> scopes;

QString readKey(const QString &group, const QString &item) { return ProtocolWatch::groupKey(group) + '/' + item; }

std::optional<CheckRefusal> checkRefusal;
} // namespace

QString CheckRefusal::describe() const {
    if (range == "a number") return QStringLiteral("%1 \"%2\" is not a number").arg(what, value);
    if (range.contains(" to ")) return QStringLiteral("%1 %2 is outside %3").arg(what, value, range);
    return QStringLiteral("%1 %2: %3 is required").arg(what, value, range);
}
void ClearCheckRefusal() { checkRefusal.reset(); }
void NoteCheckRefusal(const CheckRefusal &refusal) {
    if (!checkRefusal) checkRefusal = refusal;
}
std::optional<CheckRefusal> LastCheckRefusal() { return checkRefusal; }

void NoteCancelled() { ++cancels; }
quint64 CancelCount() { return cancels; }

QString Outcome::where() const {
    const QString at = QStringLiteral("group %1 item %2").arg(group, item);
    switch (why) {
    case Exchange::Failure::NoReply: return "no reply to " + at;
    case Exchange::Failure::Cng: return "CNG to " + at;
    case Exchange::Failure::Cnu: return "CNU to " + at;
    case Exchange::Failure::LineLost: return "the line was lost at " + at;
    case Exchange::Failure::None: break;
    }
    return text;
}

Outcome Outcome::refused(const QString &text) {
    Outcome o;
    o.kind = Kind::Refused;
    o.text = text;
    return o;
}

Outcome Outcome::asCancelled(const QString &text) {
    Outcome o;
    o.kind = Kind::Cancelled;
    o.text = text;
    return o;
}

Outcome Outcome::operator+(const Outcome &later) const {
    if (later.cancelled() && !cancelled()) return later;
    return complete() ? later : *this;
}

void OutcomeScope::noteStopped() {
    for (OutcomeScope *s : scopes)
        if (s->m_firstFailure >= 0) s->m_stopped = true;
}

OutcomeScope::OutcomeScope() : m_cancelsAtStart(cancels) {
    scopes.append(this);
    m_watch = ProtocolWatch::add([this](const Exchange &e) {
        m_exchanges.append(e);
        if (!e.ok()) {
            if (m_firstFailure < 0) m_firstFailure = int(m_exchanges.size() - 1);
        } else if (e.kind == Exchange::Kind::Read && !IsProtocolAnswer(e.result)) {
            m_read.insert(readKey(e.group, e.item));
        }
    });
}

OutcomeScope::~OutcomeScope() {
    ProtocolWatch::remove(m_watch);
    scopes.removeOne(this);
}

bool OutcomeScope::wasRead(const QString &group, const QString &item) const {
    return m_read.contains(readKey(group, item));
}

Outcome OutcomeScope::outcome() const {
    if (cancels != m_cancelsAtStart) return Outcome::asCancelled();
    Outcome o;
    if (m_firstFailure < 0) return o;
    const Exchange &e = m_exchanges[m_firstFailure];
    o.kind = Outcome::Kind::Incomplete;
    o.why = e.failure;
    o.group = e.group;
    o.item = e.item;
    o.write = e.kind == Exchange::Kind::Write;
    o.stopped = m_stopped;
    return o;
}

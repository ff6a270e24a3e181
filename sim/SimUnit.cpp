#include "sim/SimUnit.h"

#include <QRandomGenerator>
#include <algorithm>

namespace sim {

SimUnit::SimUnit(const UnitConfig &config) : m_config(config) {
    if (m_config.channels <= 0) m_config.channels = DefaultChannels(m_config.model);
    LoadProfile(*this);
}

std::optional<int> SimUnit::groupNumber(const QString &group) {
    bool ok = false;
    const int n = group.toInt(&ok);
    if (!ok || n < 0 || group.isEmpty()) return std::nullopt;
    return n;
}

void SimUnit::setItem(const QString &group, const QString &item, const SimItem &def) {
    if (auto n = groupNumber(group)) m_store[*n].insert(item, def);
}

void SimUnit::setValue(const QString &group, const QString &item, const QString &value) {
    if (auto n = groupNumber(group)) {
        SimItem &it = m_store[*n][item];
        it.value = value;
        it.live = nullptr;
    }
}

QString SimUnit::value(const QString &group, const QString &item) const {
    const auto n = groupNumber(group);
    if (!n || !m_store.contains(*n) || !m_store[*n].contains(item)) return {};
    return m_store[*n][item].value;
}

bool SimUnit::hasItem(const QString &group, const QString &item) const {
    const auto n = groupNumber(group);
    return n && m_store.contains(*n) && m_store[*n].contains(item);
}

void SimUnit::removeItem(const QString &group, const QString &item) {
    if (auto n = groupNumber(group)) m_store[*n].remove(item);
}

std::optional<Fault> SimUnit::takeFault(const QString &item, bool dataLine) {
    for (int i = 0; i < m_faults.size(); ++i) {
        Fault &f = m_faults[i];
        const bool onData = f.kind == FaultKind::Refuse || f.kind == FaultKind::Keep || f.kind == FaultKind::Round;
        if (onData && !dataLine) continue;
        if (!f.item.isEmpty()) {
            if (f.item != item) continue;
            if (!f.group.isEmpty() && groupNumber(f.group) != m_group) continue;
        }
        const Fault hit = f;
        if (f.times > 0 && --f.times == 0) m_faults.removeAt(i);
        return hit;
    }
    return std::nullopt;
}

QString SimUnit::replyText(const SimItem &it) {
    const QString v = it.live ? it.live() : it.value;
    return it.label.isEmpty() ? v : it.label + ':' + v;
}

Reply SimUnit::answer(const QString &text, std::optional<Fault> f) {
    Reply r;
    r.bytes = text.toLatin1() + '\r';
    if (!f) return r;
    switch (f->kind) {
    case FaultKind::Silence: r.silent = true; break;
    case FaultKind::Cng: r.bytes = "CNG\r"; break;
    case FaultKind::Cnu: r.bytes = "CNU\r"; break;
    case FaultKind::Split: r.chunks = f->param > 1 ? f->param : 3; break;
    case FaultKind::NoCr: r.bytes.chop(1); break;
    case FaultKind::Garbage: {
        QByteArray junk;
        for (int i = 0; i < 12; ++i) junk += char(QRandomGenerator::global()->bounded(0x21, 0x7f));
        r.bytes = junk + '\r';
        break;
    }
    case FaultKind::OverLong: r.bytes = QByteArray(f->param > 0 ? f->param : 100000, 'Z'); break;
    case FaultKind::Delay: r.extraDelayMs = f->param; break;
    case FaultKind::NeedsInit: break; // handled where item "03" is answered
    case FaultKind::Vanish: r.vanish = true; break;
    case FaultKind::Refuse: r.bytes = "CNG\r"; break;
    case FaultKind::HangUp: r.hangUpAfterMs = std::max(0, f->param); break;
    case FaultKind::Keep:
    case FaultKind::Round: break; // handled where the data line is stored
    case FaultKind::Blank: {
        const qsizetype colon = text.indexOf(':');
        r.bytes = (colon >= 0 ? text.left(colon + 1) : text.left(1)).toLatin1() + '\r';
        break;
    }
    }
    return r;
}

Reply SimUnit::handleLine(const QString &line) {
    m_received.append(line);
    const QChar cmd = line.isEmpty() ? QChar() : line.at(0);
    const QString arg = line.mid(1);

    if (cmd == 'G') {
        auto f = takeFault(QString());
        const auto n = groupNumber(arg);
        if (n && m_store.contains(*n)) {
            m_group = n;
            return answer("COK", f);
        }
        m_group.reset();
        return answer("CNG", f);
    }
    if (cmd == 'I') {
        auto f = takeFault(arg);
        m_inquired.clear();
        if (!m_group) return answer("CNG", f);
        if (f && f->kind == FaultKind::NeedsInit && arg == "03") return answer(QString(Lead) + "CH:Not initialized", {});
        auto &items = m_store[*m_group];
        auto it = items.find(arg);
        if (it == items.end()) return answer("CNU", f);
        if (it->refused) return answer("CNG", f);
        if (it->live) ++m_tick;
        m_inquired = arg;
        return answer(QString(Lead) + replyText(*it), f);
    }
    if (cmd == 'D') {
        auto f = takeFault(m_inquired, true);
        if (!m_group || m_inquired.isEmpty()) return answer("CNG", f);
        if (f && f->kind == FaultKind::Refuse) return answer("CNG", f);
        SimItem &it = m_store[*m_group][m_inquired];
        if (!it.writable) return answer("CNG", f);
        if (f && f->kind == FaultKind::Keep) {
            return answer(QString(Lead) + (it.label.isEmpty() ? arg : it.label + ':' + arg), {});
        }
        QString kept = arg;
        if (f && f->kind == FaultKind::Round) {
            bool number = false;
            const double v = arg.toDouble(&number);
            if (number) kept = QString::number(v, 'f', std::max(0, f->param));
        }
        if (!it.choices.isEmpty()) {
            bool ok = false;
            const int idx = arg.toInt(&ok);
            if (!ok || idx < 0 || idx >= it.choices.size()) return answer("CNG", f);
            kept = it.choices.at(idx);
        }
        if (it.onWrite) {
            // The action may change other items of the store: look the item up again after it.
            const auto action = it.onWrite;
            kept = action(kept);
        }
        SimItem &written = m_store[*m_group][m_inquired];
        written.value = kept;
        if (!written.keepsLive) written.live = nullptr;
        m_writes.append(QStringLiteral("%1/%2=%3").arg(*m_group).arg(m_inquired, arg));
        return answer(QString(Lead) + replyText(written), f);
    }
    return answer("CNG", takeFault(QString()));
}

std::optional<Fault> ParseFault(const QString &text) {
    static const QHash<QString, FaultKind> kinds = {
        {"silence", FaultKind::Silence}, {"cng", FaultKind::Cng},           {"cnu", FaultKind::Cnu},
        {"split", FaultKind::Split},     {"nocr", FaultKind::NoCr},         {"garbage", FaultKind::Garbage},
        {"overlong", FaultKind::OverLong}, {"delay", FaultKind::Delay},     {"vanish", FaultKind::Vanish},
        {"refuse", FaultKind::Refuse},   {"hangup", FaultKind::HangUp},     {"blank", FaultKind::Blank},
        {"keep", FaultKind::Keep},       {"round", FaultKind::Round},
    };
    const QStringList f = text.split(':');
    const auto kind = kinds.constFind(f.value(0));
    if (kind == kinds.constEnd()) return std::nullopt;
    auto count = [](const QString &t) { return t.isEmpty() ? -1 : t.toInt(); };
    // keep and round name a group and an item.
    if (*kind == FaultKind::Keep) return Fault{*kind, f.value(1), f.value(2), count(f.value(3)), 0};
    if (*kind == FaultKind::Round) return Fault{*kind, f.value(1), f.value(2), count(f.value(4)), f.value(3).toInt()};
    return Fault{*kind, {}, f.value(1), count(f.value(2)), f.value(3).toInt()};
}

} // namespace sim

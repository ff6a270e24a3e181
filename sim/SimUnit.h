#pragma once
// A simulated unit that speaks the G / I / D line protocol: the protocol logic only,
// no transport. SimEndpoint puts it on a wire (in-process device or pseudo-terminal).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace sim {

enum class FaultKind {
    Silence,   // no answer at all
    Cng,       // answer "CNG"
    Cnu,       // answer "CNU"
    Split,     // the reply arrives in `param` chunks (default 3)
    NoCr,      // the reply without its carriage return
    Garbage,   // random bytes and a carriage return instead of the reply
    OverLong,  // `param` bytes (default 100000) without a carriage return
    Delay,     // the reply `param` ms later than usual
    NeedsInit, // item "03" reports that the unit needs initialising
    Vanish,    // the line goes away (port closed) instead of answering
    Refuse,    // the "D" line of the item is answered "CNG" and nothing is stored; its "I" line is answered
    HangUp,    // the reply goes out, then the line goes away `param` ms later (the program idle by then)
    Blank,     // the reply keeps its label and colon, with nothing after them ("FS:")
    Keep,      // the "D" line of the item is answered as usual, but the unit keeps its old value
    Round,     // the "D" line's number is kept rounded to `param` decimals (and echoed so)
};

struct Fault {
    FaultKind kind = FaultKind::Silence;
    QString group; // empty: any group
    QString item;  // empty: every line (a global fault); otherwise the "I" line of this item and its "D" line
    int times = -1; // how many lines it spoils; -1 for ever
    int param = 0;
};

// A fault as k5sim's --fault gives it: kind[:item[:times[:param]]], or keep:GG:II[:times] and
// round:GG:II:decimals[:times]. Nothing for an unknown kind.
std::optional<Fault> ParseFault(const QString &text);

struct Reply {
    QByteArray bytes; // what goes on the wire, carriage return included where there is one
    bool silent = false;
    bool vanish = false;
    int chunks = 1;
    int extraDelayMs = 0;
    int hangUpAfterMs = -1; // >= 0: the line goes away this long after the reply
};

struct SimItem {
    QString label;       // text before the colon; empty for a bare value
    QString value;
    bool writable = true;
    bool keepsLive = false; // a write leaves the live value in place (a counter preset on its count item)
    QStringList choices; // when set, a written index selects the text kept
    std::function<QString()> live; // computed afresh on every inquire
    bool refused = false;          // the unit answers "CNG" to an inquire
    // What a written value makes the unit do; returns the value it keeps and echoes.
    std::function<QString(const QString &data)> onWrite;
};

struct UnitConfig {
    QString model = "K5A-QB4";
    QString version = "1.02";
    int channels = 0;          // 0: as many as the module kind has
    QString ext = "DI";        // "DI", "DO", "DM" or "NONE" (the unit answers "CNG")
    quint16 extPoints = 0x00A5;
    bool animate = true;       // live values and points move between reads
    quint8 burnout = 0;        // temperature units: bit k set while channel k is in burnout
};

class SimUnit {
public:
    static constexpr char Lead = '=';

    explicit SimUnit(const UnitConfig &config = {});
    SimUnit(const SimUnit &) = delete; // profiles keep references to their unit
    SimUnit &operator=(const SimUnit &) = delete;

    const UnitConfig &config() const { return m_config; }
    // One received line (without its carriage return) and what the unit answers.
    Reply handleLine(const QString &line);

    QStringList received() const { return m_received; }
    void clearReceived() { m_received.clear(); }

    void addFault(const Fault &f) { m_faults.append(f); }
    void clearFaults() { m_faults.clear(); }

    // Item store; groups are compared by number, so "1" and "01" are the same group.
    void setItem(const QString &group, const QString &item, const SimItem &def);
    void setValue(const QString &group, const QString &item, const QString &value);
    QString value(const QString &group, const QString &item) const;
    bool hasItem(const QString &group, const QString &item) const;
    void removeItem(const QString &group, const QString &item);
    // Items written with "D", in order, as "group/item=data".
    QStringList writes() const { return m_writes; }

    // How many times live values have been read; drives the motion of live values.
    int tick() const { return m_tick; }

private:
    static std::optional<int> groupNumber(const QString &group);
    // The first fault for this line; Refuse, Keep and Round faults only ever meet "D" lines.
    std::optional<Fault> takeFault(const QString &item, bool dataLine = false);
    QString replyText(const SimItem &it);
    Reply answer(const QString &text, std::optional<Fault> f);

    UnitConfig m_config;
    QHash<int, QHash<QString, SimItem>> m_store;
    QList<Fault> m_faults;
    QStringList m_received;
    QStringList m_writes;
    std::optional<int> m_group;
    QString m_inquired;
    int m_tick = 0;
};

// Fills a unit's store for its model text: identification, module kind and network kind.
void LoadProfile(SimUnit &unit);
// The channels a module of this model text has.
int DefaultChannels(const QString &model);
// Puts a temperature unit's channel (0 to 3) into burnout or takes it out.
void SetBurnout(SimUnit &unit, int channel, bool on);

} // namespace sim

namespace sim {
// The network base unit's items of group "00", chosen by the model's first four characters.
void LoadNetworkProfile(SimUnit &unit);
} // namespace sim

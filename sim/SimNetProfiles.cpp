// Items of the network base units, by the first four characters of the model text.
// The base unit shares group "00" with the module: "01" and "06" serve both as the
// identification defines them; other codes are added here unless the module already
// uses them, except where the base unit's page needs its own meaning (marked overrides).
#include "sim/SimUnit.h"

namespace sim {
namespace {

SimItem net(const QString &label, const QString &value, bool writable = true) {
    SimItem it;
    it.label = label;
    it.value = value;
    it.writable = writable;
    return it;
}

// A written list index selects the text the unit keeps.
SimItem choice(const QString &label, const QStringList &choices, int selected) {
    SimItem it = net(label, choices.value(selected));
    it.choices = choices;
    return it;
}

struct NetItem {
    QString code;
    SimItem def;
    bool overrides = false; // the base unit's meaning wins over a module item of the same code
};

QList<NetItem> timeoutOnly() {
    return {{"51", net("TO", "30")}};
}

QList<NetItem> deviceNet() {
    return {{"68", choice("STATUS", {"OFF", "ON"}, 1)},
            {"50", net("SERIAL", "00012345")},
            {"51", net("TO", "30")}};
}

QList<NetItem> modbus() {
    return {{"54", choice("MODE", {"RTU", "ASCII"}, 0)},
            {"55", net("DATA", "8", false)},
            {"56", choice("PARITY", {"NONE", "ODD", "EVEN"}, 2)},
            {"57", net("STOP", "1", false)},
            {"51", net("TO", "30")}};
}

QList<NetItem> mechatrolink() {
    // Item "08" is the module switch range only on HLS units, so here the mode wins.
    // The station address is a bare value: the page shows the whole reply.
    return {{"08", net("MODE", "M-II/32Byte", false), true},
            {"07", net(QString(), "61", false)},
            {"51", net("TO", "30")}};
}

QList<NetItem> ethernet(const UnitConfig &c) {
    QList<NetItem> items{
        {"51", net("TO", "30")},
        {"29", net("IP", "192.168.0.10")},
        {"30", net("SNM", "255.255.255.0")},
        {"27", net("MAC", "00-80-4C", false)},
        {"28", net("MAC", "12-A5-F0", false)},
    };
    // Only units of the 1.0 series keep a default gateway.
    if (c.version.trimmed().startsWith("1.0")) items.append({"25", net("DGW", "192.168.0.1")});
    for (int i = 1; i <= 4; ++i) {
        items.append(
            {QString::number(30 + i), net(QStringLiteral("PORT%1").arg(i), QString::number(500 + i))});
        // The label itself carries a colon, so every reply has two: "LT:1:50".
        items.append({QString::number(40 + i), net(QStringLiteral("LT:%1").arg(i), "50")});
    }
    // The Ethernet page reads these in their address and MAC forms.
    for (NetItem &it : items)
        it.overrides = true;
    return items;
}

QList<NetItem> flRemote() {
    return {{"51", net("TWD", "50")}, {"52", net("MFI", "2")}};
}

QList<NetItem> flexible() {
    return {{"51", net("TO", "10")}, {"52", net("AVE", "1")}};
}

} // namespace

void LoadNetworkProfile(SimUnit &unit) {
    const UnitConfig &c = unit.config();
    const QString base = c.model.left(4);
    QList<NetItem> items;
    if (base == "K5A-")
        items = timeoutOnly();
    else if (base == "K5B-")
        items = deviceNet();
    else if (base == "K5G-")
        items = modbus();
    else if (base == "K5GT")
        items = mechatrolink();
    else if (base == "K5N-")
        items = ethernet(c);
    else if (base == "K5PW")
        items = flRemote();
    else if (base == "K5VS" || base == "K5PX")
        items = flexible();

    const QString g0 = QStringLiteral("00");
    for (const NetItem &it : items)
        if (it.overrides || !unit.hasItem(g0, it.code)) unit.setItem(g0, it.code, it.def);
}

} // namespace sim

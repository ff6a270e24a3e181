// Items of the network base units, by the first four characters of the model text.
// The base unit shares group "00" with the module: "01" and "06" serve both as the
// identification defines them; other codes are added here unless the module already
// uses them, except where the base unit's page needs its own meaning (marked overrides).
#include "sim/SimUnit.h"

namespace sim {
namespace {

struct NetItem {
    QString code;
    QString label;
    QString value;
    bool writable = true;
    QStringList choices = {}; // a written list index selects the text the unit keeps
    bool overrides = false;   // the base unit's meaning wins over a module item of the same code
};

QList<NetItem> deviceNet() {
    return {{"68", "STATUS", "ON", true, {"OFF", "ON"}}, {"50", "SERIAL", "00012345"}, {"51", "TO", "30"}};
}

QList<NetItem> modbus() {
    return {{"54", "MODE", "RTU", true, {"RTU", "ASCII"}},
            {"55", "DATA", "8", false},
            {"56", "PARITY", "EVEN", true, {"NONE", "ODD", "EVEN"}},
            {"57", "STOP", "1", false},
            {"51", "TO", "30"}};
}

QList<NetItem> mechatrolink() {
    // Item "08" is the module switch range only on HLS units, so here the mode wins.
    // The station address is a bare value: the page shows the whole reply.
    return {{"08", "MODE", "M-II/32Byte", false, {}, true}, {"07", "", "61", false}, {"51", "TO", "30"}};
}

QList<NetItem> ethernet(const UnitConfig &c) {
    QList<NetItem> items{
        {"51", "TO", "30"},
        {"29", "IP", "192.168.0.10"},
        {"30", "SNM", "255.255.255.0"},
        {"27", "MAC", "00-80-4C", false},
        {"28", "MAC", "12-A5-F0", false},
    };
    // Only units of the 1.0 series keep a default gateway.
    if (c.version.trimmed().startsWith("1.0")) items.append({"25", "DGW", "192.168.0.1"});
    for (int i = 1; i <= 4; ++i) {
        items.append({QString::number(30 + i), QStringLiteral("PORT%1").arg(i), QString::number(500 + i)});
        // The label itself carries a colon, so every reply has two: "LT:1:50".
        items.append({QString::number(40 + i), QStringLiteral("LT:%1").arg(i), "50"});
    }
    // The Ethernet page reads these in their address and MAC forms.
    for (NetItem &it : items) it.overrides = true;
    return items;
}

} // namespace

void LoadNetworkProfile(SimUnit &unit) {
    const UnitConfig &c = unit.config();
    const QString base = c.model.left(4);
    QList<NetItem> items;
    if (base == "K5A-") items = {{"51", "TO", "30"}};
    else if (base == "K5B-") items = deviceNet();
    else if (base == "K5G-") items = modbus();
    else if (base == "K5GT") items = mechatrolink();
    else if (base == "K5N-") items = ethernet(c);
    else if (base == "K5PW") items = {{"51", "TWD", "50"}, {"52", "MFI", "2"}};
    else if (base == "K5VS" || base == "K5PX") items = {{"51", "TO", "10"}, {"52", "AVE", "1"}};

    const QString g0 = QStringLiteral("00");
    for (const NetItem &it : items) {
        if (!it.overrides && unit.hasItem(g0, it.code)) continue;
        SimItem def;
        def.label = it.label;
        def.value = it.value;
        def.writable = it.writable;
        def.choices = it.choices;
        unit.setItem(g0, it.code, def);
    }
}

} // namespace sim

// What a unit of each kind keeps in its item store. Adding a module kind is adding a
// profile function here and a line in the tables at the end.
#include "sim/SimUnit.h"

#include <QtMath>
#include <cmath>
#include <memory>

namespace sim {
namespace {

SimItem fixed(const QString &label, const QString &value, bool writable = true) {
    SimItem it;
    it.label = label;
    it.value = value;
    it.writable = writable;
    return it;
}

SimItem choice(const QString &label, const QStringList &choices, int selected) {
    SimItem it = fixed(label, choices.value(selected));
    it.choices = choices;
    return it;
}

QString g0() { return QStringLiteral("00"); }
// The model code after the first dash.
QString AfterDashCode(const QString &model) { return model.mid(model.indexOf('-') + 1); }
QString ch(int i) { return QString::number(i); }

void identification(SimUnit &u) {
    const UnitConfig &c = u.config();
    u.setItem(g0(), "01", fixed("MNTSW", "0"));
    u.setItem(g0(), "02", fixed("MODEL", c.model, false));
    u.setItem(g0(), "06", fixed("VER", c.version, false));
    SimItem ext = fixed("EXT", "XM-" + c.ext, false);
    ext.refused = c.ext == "NONE"; // a unit without an extension module refuses the item
    u.setItem(g0(), "10", ext);
    u.setItem(g0(), "03", fixed("CH", QStringLiteral("%1CHs").arg(c.channels), false));
    for (int i = 1; i <= c.channels; ++i) u.setItem(ch(i), "00", fixed("CH", ch(i), false));
}

// A 16-bit point pattern that walks while animated.
void extensionPoints(SimUnit &u) {
    const UnitConfig c = u.config();
    SimItem it = fixed("EX", QString());
    it.writable = false;
    it.live = [&u, c] {
        quint16 v = c.extPoints;
        if (c.animate) {
            const int s = u.tick() % 16;
            v = quint16((v << s) | (v >> (16 - s)));
        }
        return "x" + QStringLiteral("%1").arg(v, 4, 16, QChar('0')).toUpper();
    };
    u.setItem(g0(), "12", it);
}

// Live value of channel i: a slow wave between the channel's zero and full scale.
void liveScaled(SimUnit &u, const QString &item, int i) {
    SimItem it = fixed(QStringLiteral("CH%1").arg(i - 1), QString(), false);
    it.live = [&u, i] {
        const double z = u.value(ch(i), "20").toDouble();
        const double f = u.value(ch(i), "21").toDouble();
        double frac = 0.5;
        if (u.config().animate) frac = 0.5 + 0.45 * qSin(u.tick() * 0.05 + i);
        return QString::number(qRound(z + (f - z) * frac));
    };
    u.setItem(g0(), item, it);
}

// A live value between 0 and 100 that moves, as the percent of a channel.
SimItem livePercent(SimUnit &u, int i) {
    SimItem it = fixed("PC", QString(), false);
    it.live = [&u, i] {
        const double frac = u.config().animate ? 0.5 + 0.45 * qSin(u.tick() * 0.05 + i) : 0.5;
        return QString::number(frac * 100, 'f', 1);
    };
    return it;
}

// Switch range, output hold and the channels' six scaling slots and range.
void scalingChannels(SimUnit &u, const QString &zeroBase, const QString &fullBase) {
    const int n = u.config().channels;
    u.setItem(g0(), "09", fixed("SW", "F", false));
    u.setItem(g0(), "08", fixed("SW", "F", false));
    u.setItem(g0(), "14", choice("HOLD", {"ON", "OFF"}, 1));
    for (int i = 1; i <= n; ++i) {
        u.setItem(ch(i), "20", fixed("ZS", "0"));
        u.setItem(ch(i), "21", fixed("FS", "10000"));
        u.setItem(ch(i), "22", fixed("BIAS", "0.00"));
        u.setItem(ch(i), "23", fixed("GAIN", "1.0000"));
        u.setItem(ch(i), "24", fixed("ZB", zeroBase));
        u.setItem(ch(i), "25", fixed("FB", fullBase));
        u.setItem(ch(i), "09", fixed("RNG", "0"));
        liveScaled(u, QString::number(20 + i), i);
    }
    extensionPoints(u);
}

void analogInput(SimUnit &u) { scalingChannels(u, "-10.000", "10.000"); }

void currentInput(SimUnit &u) {
    scalingChannels(u, "4.000", "20.000");
    for (int i = 1; i <= u.config().channels; ++i) u.setValue(ch(i), "09", "0");
}

// Clamp current input: a startup timer for the module and a drop out per channel.
void clampInput(SimUnit &u) {
    scalingChannels(u, "0.0", "600.0");
    u.setItem("01", "11", fixed("ST", "100"));
    for (int i = 1; i <= u.config().channels; ++i) {
        u.setItem(ch(i), "12", fixed("DO", "10"));
        u.setValue(ch(i), "21", "60000");
    }
}

// Input with a live percent in place of bias and no gain: the unit answers the page's "-1" read.
void percentInput(SimUnit &u) {
    u.setItem(g0(), "14", choice("HOLD", {"ON", "OFF"}, 1));
    for (int i = 1; i <= u.config().channels; ++i) {
        u.setItem(ch(i), "20", fixed("ZS", "0"));
        u.setItem(ch(i), "21", fixed("FS", "10000"));
        u.setItem(ch(i), "34", livePercent(u, i));
        u.setItem(ch(i), "-1", fixed("NA", "0", false));
        u.setItem(ch(i), "32", fixed("ZB", "0"));
        u.setItem(ch(i), "33", fixed("FB", "10000"));
        liveScaled(u, QString::number(20 + i), i);
    }
    extensionPoints(u);
}

// ---- discrete and pulse counter modules

// Points as the unit writes them: "x" and hex digits.
QString hexPoints(quint32 v, int digits) { return "x" + QStringLiteral("%1").arg(v, digits, 16, QChar('0')).toUpper(); }

// `bits` points starting from `pattern`, walking round while animated.
SimItem movingPoints(SimUnit &u, quint16 pattern, int bits, int digits) {
    SimItem it = fixed("DT", QString(), false);
    it.live = [&u, pattern, bits, digits] {
        const quint32 mask = (1u << bits) - 1;
        quint32 v = pattern & mask;
        if (u.config().animate) {
            const int s = u.tick() % bits;
            v = ((v << s) | (v >> (bits - s))) & mask;
        }
        return hexPoints(v, digits);
    };
    return it;
}

void outputHold(SimUnit &u) { u.setItem(g0(), "14", choice("HOLD", {"ON", "OFF"}, 1)); }

// Discrete inputs or outputs: item "21" carries the module's points as four hex digits.
void discretePoints(SimUnit &u, quint16 pattern, int bits) {
    u.setItem(g0(), "21", movingPoints(u, pattern, bits, 4));
    extensionPoints(u);
}

void input16(SimUnit &u) {
    outputHold(u);
    discretePoints(u, 0x5A3C, 16);
}
void input8(SimUnit &u) { discretePoints(u, 0x00A5, 8); }
void input4(SimUnit &u) { discretePoints(u, 0x0005, 4); }

// The outputs; the "KO16W" unit also keeps a reply delay time in ms.
void output16(SimUnit &u) {
    outputHold(u);
    discretePoints(u, 0x0F81, 16);
    if (AfterDashCode(u.config().model).startsWith("KO16W")) u.setItem(g0(), "58", fixed("DLY", "20"));
}

// Per channel i (1..8) an input and an output state, item 20 + i; `form` writes them.
void channelStates(SimUnit &u, QString (*form)(bool in, bool out)) {
    for (int i = 1; i <= 8; ++i) {
        SimItem it = fixed("ST", QString(), false);
        it.live = [&u, i, form] {
            const int t = u.config().animate ? u.tick() / 8 : 0;
            return form(((i + t) % 3) == 0, ((i + t) % 2) == 0);
        };
        u.setItem(g0(), QString::number(20 + i), it);
    }
}

// Relay outputs: the output state first, the input last ("10": output on, input off).
void relay8(SimUnit &u) {
    outputHold(u);
    channelStates(u, [](bool in, bool out) { return QString(out ? "1" : "0") + (in ? "1" : "0"); });
    extensionPoints(u);
}

// Outputs with a mode per channel pair ("0" maintained); states written "input;output".
void modeOutput8(SimUnit &u) {
    outputHold(u);
    for (const char *item : {"16", "17", "18", "19"}) u.setItem(g0(), item, fixed("MODE", "0"));
    u.setValue(g0(), "17", "1");
    channelStates(u, [](bool in, bool out) { return QString(in ? "1" : "0") + ";" + (out ? "1" : "0"); });
    extensionPoints(u);
}

// Counters of a pulse module. A channel counts up while animated (channel c by c a read) and
// wraps past its Max; a preset loads the counter, and the count goes on from there.
struct CounterBank {
    QVector<double> loaded, since;
};

struct PulseLayout {
    int channels;
    QString carryGroup;   // empty: the channel's own group
    int carryItem, maxItem, itemStep;
    QString presetGroup;  // empty: the channel's own group
    int presetItem, presetStep; // preset of channel c: presetItem + presetStep (c - 1)
    QString pointsItem;
    int pointDigits;
    int firstCount;
};

void pulseCounters(SimUnit &u, const PulseLayout &l) {
    outputHold(u);
    u.setItem(g0(), l.pointsItem, movingPoints(u, l.pointDigits == 4 ? 0x8421 : 0x81, 4 * l.pointDigits, l.pointDigits));
    auto bank = std::make_shared<CounterBank>();
    bank->loaded.fill(0, l.channels + 1);
    bank->since.fill(0, l.channels + 1);
    for (int c = 1; c <= l.channels; ++c) {
        const QString group = l.carryGroup.isEmpty() ? ch(c) : l.carryGroup;
        const QString maxItem = QString::number(l.maxItem + l.itemStep * (c - 1));
        u.setItem(group, QString::number(l.carryItem + l.itemStep * (c - 1)), fixed("CARRY", "0"));
        u.setItem(group, maxItem, fixed("MAX", "100000"));
        bank->loaded[c] = 100 * c;
        auto count = [&u, bank, c, group, maxItem] {
            const double max = u.value(group, maxItem).toDouble();
            double v = bank->loaded[c];
            if (u.config().animate) v += (u.tick() - bank->since[c]) * c;
            if (max > 0) v = std::fmod(v, max + 1);
            return QString::number(qint64(v));
        };
        SimItem live = fixed("NX", QString(), false);
        live.live = count;
        u.setItem(g0(), QString::number(l.firstCount + c - 1), live);
        // Writing the preset item loads the counter and answers with the new count; on some
        // modules the count item itself is the preset item.
        const QString presetGroup = l.presetGroup.isEmpty() ? ch(c) : l.presetGroup;
        const QString presetItem = QString::number(l.presetItem + l.presetStep * (c - 1));
        SimItem preset = u.hasItem(presetGroup, presetItem) ? live : fixed("NX", QString());
        preset.writable = true;
        preset.keepsLive = true;
        // Not a count: the counter goes on as it was.
        preset.onWrite = [&u, bank, c, count](const QString &data) {
            bool ok = false;
            const double v = data.toDouble(&ok);
            if (ok && v >= 0) {
                bank->loaded[c] = v;
                bank->since[c] = u.tick();
            }
            return count();
        };
        u.setItem(presetGroup, presetItem, preset);
    }
    extensionPoints(u);
}

void pulse16(SimUnit &u) { pulseCounters(u, {16, QString(), 13, 14, 0, QString(), 11, 0, "20", 4, 21}); }
void pulse8(SimUnit &u) { pulseCounters(u, {8, g0(), 30, 31, 2, g0(), 21, 1, "20", 2, 21}); }
void pulseK5N8(SimUnit &u) { pulseCounters(u, {8, QString(), 13, 14, 0, QString(), 11, 0, "16", 2, 17}); }

struct KindProfile {
    const char *code; // model code after the dash, compared as a prefix
    int channels;     // what the module has when the configuration does not say
    void (*fill)(SimUnit &);
};

// A code with a dash is a whole model text, matched before any code.
const KindProfile kinds[] = {
    {"QBW4", 4, analogInput}, {"QB4", 4, analogInput},  {"QBW8", 8, analogInput},
    {"QJ4", 4, percentInput}, {"QX4V", 4, clampInput}, {"QZ4U", 4, currentInput},
    // discrete and pulse counter modules
    {"KI16", 16, input16}, {"KI8R", 8, input8},      {"KI4H", 4, input4},    {"KO16", 16, output16},
    {"HM8", 8, relay8},    {"KOR16", 8, modeOutput8}, {"NX16", 16, pulse16}, {"NX8", 8, pulse8},
    {"K5N-NX8", 8, pulseK5N8},
};

const KindProfile *kindOf(const QString &model) {
    for (const KindProfile &k : kinds)
        if (QString(k.code).contains('-') && model == k.code) return &k;
    const QString code = AfterDashCode(model);
    for (const KindProfile &k : kinds)
        if (code.startsWith(k.code)) return &k;
    return nullptr;
}

} // namespace

int DefaultChannels(const QString &model) {
    const KindProfile *k = kindOf(model);
    return k ? k->channels : 4;
}

void LoadProfile(SimUnit &u) {
    identification(u);
    if (const KindProfile *k = kindOf(u.config().model)) k->fill(u);
    LoadNetworkProfile(u);
}

} // namespace sim

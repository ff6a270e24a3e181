// What a unit of each kind keeps in its item store. Adding a module kind is adding a
// profile function here and a line in the tables at the end.
#include "sim/SimUnit.h"
#include "link/TextRoutines.h"

#include <QtMath>

#include <algorithm>
#include <array>
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

// The model code after the first dash.
QString AfterDashCode(const QString &model) { return model.mid(model.indexOf('-') + 1); }

QString g0() { return QStringLiteral("00"); }
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

// ---- load cell units

// The calibration a load cell channel keeps. The channel reports its raw signal past the zero
// point and the auto zero offset, scaled so that the span point reads the full scale (item
// "21") and trimmed by the gain adjustment (item "40", in steps of 0.01 %).
struct LoadCellChannel {
    double zero = 0, offset = 0, span = 20000;
};

// An item whose write makes the unit act; the written data is echoed.
SimItem action(const QString &label, std::function<void()> act) {
    SimItem it = fixed(label, QString());
    it.onWrite = [act](const QString &data) {
        act();
        return data;
    };
    return it;
}

// The two-channel load cell module. Units of the newer firmware (and the HLS unit) add the
// monitor output and gain adjustment items; the HLS unit has no output hold, Auto Scale or
// filter mode, and reports its gain adjustment under item "44".
void loadCell(SimUnit &u) {
    const UnitConfig c = u.config();
    const bool hls = c.model == "K5VS-GZ2";
    const bool newFirmware = !IsKnownVersion(c.version);
    if (!hls) u.setItem(g0(), "14", choice("HOLD", {"ON", "OFF"}, 1));
    for (int i = 1; i <= c.channels; ++i) {
        const QString grp = ch(i);
        auto cal = std::make_shared<LoadCellChannel>();
        auto raw = [&u, i] {
            const double base = 10000 - 2000 * std::min(i, 4);
            return u.config().animate ? base + 1500 * qSin(u.tick() * 0.05 + i) : base;
        };
        auto net = [cal, raw] { return raw() - cal->zero - cal->offset; };
        u.setItem(grp, "20", fixed("ZS", "0"));
        u.setItem(grp, "21", fixed("FS", "10000"));
        u.setItem(grp, "22", fixed("BIAS", "0.00"));
        u.setItem(grp, "23", fixed("GAIN", "1.0000"));
        u.setItem(grp, "28", fixed("LR", "100.00"));
        u.setItem(grp, "01", fixed("CAL", QString()));
        u.setItem(grp, "30", action("ZERO", [cal, raw] {
                      cal->zero = raw();
                      cal->offset = 0;
                  }));
        u.setItem(grp, "31", action("SPAN", [cal, net] {
                      if (qAbs(net()) >= 1) cal->span = net();
                  }));
        u.setItem(grp, "32", action("AZ", [cal, raw] { cal->offset = raw() - cal->zero; }));
        u.setItem(grp, "33", action("OC", [cal] { cal->offset = 0; }));
        SimItem live = fixed(QStringLiteral("CH%1").arg(i - 1), QString(), false);
        live.live = [&u, grp, cal, net] {
            const double adjust = 1 + u.value(grp, "40").toDouble() / 10000;
            return QString::number(qRound(net() / cal->span * u.value(grp, "21").toDouble() * adjust));
        };
        u.setItem(g0(), QString::number(20 + i), live);
        if (!newFirmware && !hls) continue;

        SimItem gain = fixed("ADJ", "0");
        gain.onWrite = [&u, grp](const QString &d) {
            int v = u.value(grp, "40").toInt();
            bool number = false;
            const int typed = d.toInt(&number);
            v = d == "U" ? v + 1 : d == "D" ? v - 1 : number ? typed : v;
            return QString::number(std::clamp(v, -1000, 1000));
        };
        u.setItem(grp, "40", gain);
        u.setItem(grp, "42", fixed("MO", "0"));
        u.setItem(grp, "43", action("MC", [&u, grp] { u.setValue(grp, "42", "0"); }));
        if (hls) {
            SimItem reported = fixed("ADJ", QString(), false);
            reported.live = [&u, grp] { return u.value(grp, "40"); };
            u.setItem(grp, "44", reported);
            continue;
        }
        u.setItem(grp, "09", fixed("FLT", "0"));
        u.setItem(grp, "38", fixed("ASV", "0"));
        // Auto Scale: the full scale that makes the present load read the monitor output value.
        u.setItem(grp, "39", action("AS", [&u, grp, cal, net] {
                      const double target = u.value(grp, "38").toDouble();
                      if (qAbs(net()) < 1 || target == 0) return;
                      const int full = std::clamp(qRound(target * cal->span / net()), -32000, 32000);
                      u.setValue(grp, "21", QString::number(full));
                  }));
    }
    extensionPoints(u);
}

// ---- two-channel positioning module

// Its conversion data (item "28" of group "01") makes it a position counter ("POS") or a speed
// meter ("SPE"); the value of that mode moves. The request items act at once: latch copies the
// current position and speed, reset keeps the position it ends and restarts the count at the
// channel's reset value, the two clears zero what they name.
void positioning(SimUnit &u) {
    const QString g1 = QStringLiteral("01");
    u.setItem(g1, "01", fixed("CMD", "0"));
    u.setItem(g1, "28", fixed("CD", "POS", false));
    u.setItem(g1, "29", fixed("FR", "50000", false));
    u.setItem(g1, "30", fixed("CM", "0", false));
    u.setItem(g1, "06", fixed("PT", "0.0"));
    u.setItem(g1, "07", fixed("DT", "1.0"));
    u.setItem(g1, "08", fixed("HT", "0.5"));
    struct Setting {
        int item[2];
        const char *label, *value;
    };
    const Setting settings[] = {
        {{10, 11}, "DO", "1.00"},     {{14, 15}, "RV", "0"},       {{16, 17}, "MIN", "0"},
        {{18, 19}, "MAX", "1000000"}, {{34, 36}, "BI", "0.00"},     {{35, 37}, "GA", "1.0000"},
        {{38, 40}, "ZS", "0"},        {{39, 41}, "FS", "10000"},    {{42, 43}, "OP", "0"},
        {{44, 54}, "A1", "3"},        {{45, 55}, "A1SM", "100.00"}, {{46, 56}, "A1SH", "1.00"},
        {{47, 57}, "A1PM", "900000"}, {{48, 58}, "A1PH", "100"},    {{49, 59}, "A2", "2"},
        {{50, 60}, "A2SM", "5.00"},   {{51, 61}, "A2SH", "1.00"},   {{52, 62}, "A2PM", "1000"},
        {{53, 63}, "A2PH", "100"},    {{64, 65}, "EL", "0"},        {{66, 67}, "HL", "0"},
        {{68, 69}, "ER", "0"},        {{70, 71}, "HR", "0"},        {{72, 73}, "ZR", "1"},
        {{74, 75}, "HLD", "0"},       {{76, 77}, "HRD", "0"},
    };
    for (const Setting &s : settings)
        for (int k = 0; k < 2; ++k) u.setItem(g1, QString::number(s.item[k]), fixed(s.label, s.value));

    struct Counter {
        qint64 origin = 0;
        int since = 0; // the tick the count restarted at
        qint64 latchPos = 0, latchSpeed = 0, resetPos = 0;
    };
    auto c = std::make_shared<std::array<Counter, 2>>();
    (*c)[0].origin = 12345;
    (*c)[1].origin = 250000;
    auto mode = [&u] { return u.value("01", "28"); };
    auto setting = [&u](int item) { return u.value("01", QString::number(item)).toDouble(); };
    // The count runs within the channel's Min..Max, while the module counts positions.
    auto position = [&u, c, mode, setting](int k) -> qint64 {
        const Counter &n = (*c)[size_t(k)];
        if (!u.config().animate || mode() != "POS") return n.origin;
        const qint64 min = qint64(setting(16 + k)), span = qint64(setting(18 + k)) - min + 1;
        const qint64 v = n.origin + 37LL * (k + 1) * (u.tick() - n.since);
        return span > 0 ? min + ((v - min) % span + span) % span : v;
    };
    // A speed between the channel's zero and full scale, while the module measures speed.
    auto speed = [&u, mode, setting](int k) -> qint64 {
        if (mode() != "SPE") return 0;
        const double z = setting(38 + 2 * k), f = setting(39 + 2 * k);
        const double frac = u.config().animate ? 0.5 + 0.45 * qSin(u.tick() * 0.05 + k) : 0.5;
        return qRound64(z + (f - z) * frac);
    };
    auto live = [&u](int item, const QString &label, std::function<qint64()> value) {
        SimItem it = fixed(label, QString(), false);
        it.live = [value] { return QString::number(value()); };
        u.setItem(g0(), QString::number(item), it);
    };
    auto request = [&u, g1](int item, std::function<void()> act) {
        SimItem it = fixed("REQ", "0");
        it.onWrite = [act](const QString &data) {
            if (data == "1") act();
            return data;
        };
        u.setItem(g1, QString::number(item), it);
    };
    for (int k = 0; k < 2; ++k) {
        Counter &n = (*c)[size_t(k)];
        live(20 + k, "CP", [position, k] { return position(k); });
        live(22 + k, "CS", [speed, k] { return speed(k); });
        live(24 + k, "LP", [c, &n] { return n.latchPos; });
        live(26 + k, "LS", [c, &n] { return n.latchSpeed; });
        live(28 + k, "RP", [c, &n] { return n.resetPos; });
        request(78 + k, [=, &n] {
            n.latchPos = position(k);
            n.latchSpeed = speed(k);
        });
        request(80 + k, [=, &u, &n] {
            n.resetPos = position(k);
            n.origin = qint64(setting(14 + k));
            n.since = u.tick();
        });
        request(82 + k, [c, &n] { n.latchPos = n.latchSpeed = 0; });
        request(84 + k, [c, &n] { n.resetPos = 0; });
    }
}

// ---- temperature input and analog output units

// The module status (item "04" of group "00"): its sixth character is the burnout digit,
// bit k set while channel k is in burnout.
SimItem moduleStatus(quint8 burnout) {
    return fixed("ST", QStringLiteral("00000%1").arg(burnout & 0xF, 1, 16).toUpper(), false);
}

// Sensor type (index "09", text "03") and unit ("04": "C", "F", "K", written as an index) per
// channel, the burnout direction in group "01", the module status with its burnout bits.
void temperatureInput(SimUnit &u, const QStringList &types, const QString &zeroTemp, const QString &fullTemp) {
    scalingChannels(u, zeroTemp, fullTemp);
    u.setItem("01", "05", fixed("BO", "UPSCALE", false));
    u.setItem(g0(), "04", moduleStatus(u.config().burnout));
    for (int i = 1; i <= u.config().channels; ++i) {
        u.setValue(ch(i), "09", QString::number((i - 1) % types.size()));
        u.setItem(ch(i), "04", choice("UNIT", {"C", "F", "K"}, 0));
        SimItem type = fixed("TYPE", QString(), false);
        type.live = [&u, types, i] {
            const QString index = u.value(ch(i), "09");
            bool ok = false;
            int n = index.toInt(&ok);
            if (!ok) n = index.toInt(&ok, 16);
            return types.value(n, "------");
        };
        u.setItem(ch(i), "03", type);
    }
}

void thermocoupleInput(SimUnit &u) {
    temperatureInput(u, {"K(CA)", "E(CRC)", "J(IC)", "T(CC)", "B(RH)", "R", "S", "C(WRe 5-26)", "N", "U", "L", "P", "PR"},
                     "0", "1000");
}
void rtdInput(SimUnit &u) {
    temperatureInput(u, {"Pt100(JIS'97)", "Pt100(JIS'89)", "JPt100(JIS'89)", "Pt50(JIS'81)", "Ni100", "Cu10", "", "", "Cu50"},
                     "0", "400");
}
void thermistorInput(SimUnit &u) { temperatureInput(u, {"TH_502AT"}, "0", "100"); }

void voltageOutput(SimUnit &u) { scalingChannels(u, "-10.000", "10.000"); }
void currentOutput(SimUnit &u) { scalingChannels(u, "4.000", "20.000"); }

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
    // Load cell: K5VS-GZ2 is the HLS unit, every other GZ2 the module on its base unit.
    {"GZ2", 2, loadCell},
    {"NX2", 2, positioning},
    // temperature input and analog output
    {"QK4", 4, thermocoupleInput}, {"QW4", 4, rtdInput}, {"QH4", 4, thermistorInput},
    {"WB2", 2, voltageOutput}, {"WC2", 2, currentOutput}, {"WB4Y", 4, voltageOutput},
    {"WB4", 4, voltageOutput}, {"WC4", 4, currentOutput}, {"ZWBW2", 2, voltageOutput},
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

void SetBurnout(SimUnit &u, int channel, bool on) {
    const QString status = u.value(g0(), "04");
    if (channel < 0 || channel > 3 || status.size() < 6) return;
    int bits = status.mid(5, 1).toInt(nullptr, 16);
    bits = on ? bits | (1 << channel) : bits & ~(1 << channel);
    u.setItem(g0(), "04", moduleStatus(quint8(bits)));
}

void LoadProfile(SimUnit &u) {
    identification(u);
    if (const KindProfile *k = kindOf(u.config().model)) k->fill(u);
    LoadNetworkProfile(u);
}

} // namespace sim

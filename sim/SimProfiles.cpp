// What a unit of each kind keeps in its item store. Adding a module kind is adding a
// profile function here and a line in the tables at the end.
#include "sim/SimUnit.h"

#include <QtMath>

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

void analogInput(SimUnit &u) {
    const int n = u.config().channels;
    u.setItem(g0(), "09", fixed("SW", "F", false));
    u.setItem(g0(), "08", fixed("SW", "F", false));
    u.setItem(g0(), "14", choice("HOLD", {"ON", "OFF"}, 1));
    for (int i = 1; i <= n; ++i) {
        u.setItem(ch(i), "20", fixed("ZS", "0"));
        u.setItem(ch(i), "21", fixed("FS", "10000"));
        u.setItem(ch(i), "22", fixed("BIAS", "0.00"));
        u.setItem(ch(i), "23", fixed("GAIN", "1.0000"));
        u.setItem(ch(i), "24", fixed("ZB", "-10.000"));
        u.setItem(ch(i), "25", fixed("FB", "10.000"));
        u.setItem(ch(i), "09", fixed("RNG", "0"));
        liveScaled(u, QString::number(20 + i), i);
    }
    extensionPoints(u);
}

struct KindProfile {
    const char *code; // model code after the dash, compared as a prefix
    void (*fill)(SimUnit &);
};

const KindProfile kinds[] = {
    {"QBW4", analogInput},
    {"QB4", analogInput},
};

} // namespace

void LoadProfile(SimUnit &u) {
    identification(u);
    const QString model = u.config().model;
    const QString code = model.mid(model.indexOf('-') + 1);
    for (const KindProfile &k : kinds) {
        if (code.startsWith(k.code)) {
            k.fill(u);
            break;
        }
    }
    LoadNetworkProfile(u);
}

} // namespace sim

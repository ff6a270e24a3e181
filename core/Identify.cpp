#include "core/Identify.h"
#include "core/Globals.h"
#include "link/TextRoutines.h"

#include <QList>
#include <utility>

bool IsProtocolAnswer(const QString &reply) { return reply.isEmpty() || reply == "CNG" || reply == "NEEDLESS"; }

void ClassifyModel(const QString &code) {
    g.SubTyp = 0;
    const QChar c3 = code.size() >= 3 ? code.at(2) : QChar();
    const QChar c4 = code.size() >= 4 ? code.at(3) : QChar();
    const QString two = code.left(2);
    const QString four = code.left(4);
    auto pick = [](const QString &key, std::initializer_list<std::pair<const char *, int>> table) {
        for (const auto &[name, num] : table)
            if (key == QLatin1String(name)) return num;
        return 99;
    };
    if (c4 == '6') g.modelnum = pick(two, {{"KO", 5}, {"KI", 6}, {"NX", 10}});
    else if (c4 == 'R') g.modelnum = 9;
    else if (c4 == 'H') g.modelnum = 25;
    else if (c3 == '2') g.modelnum = pick(two, {{"WB", 3}, {"WC", 4}, {"NX", 17}, {"GZ", 21}});
    else if (c3 == '8') g.modelnum = pick(two, {{"NX", 14}, {"HM", 16}});
    else if (c3 == 'W') {
        g.modelnum = pick(four, {{"QBW4", 0}, {"QBW8", 18}});
        if (four == "QBW4") g.SubTyp = 4;
    } else if (c3 == '4') {
        g.modelnum = pick(four, {{"QX4V", 8}, {"WB4Y", 19}, {"QZ4U", 24}});
        if (g.modelnum == 99) {
            g.modelnum = pick(two, {{"QB", 0}, {"QK", 1}, {"QW", 2}, {"QJ", 7}, {"QH", 11}, {"WB", 12}, {"WC", 13}});
            g.SubTyp = two == "QB" ? 1 : two == "QK" ? 2 : two == "QW" ? 3 : 0;
        }
    } else if (c4 == 'W') g.modelnum = 15;
    else if (c4 == '1') g.modelnum = 20;
    else g.modelnum = 99;
}

ModelKind KindOfModel(const QString &model, int otherwise) {
    if (model == "K5VS-GZ2") return {22, 0};
    if (model == "K5N-NX8") return {23, 0};
    const int keepModel = g.modelnum, keepSub = g.SubTyp;
    g.modelnum = otherwise;
    ClassifyModel(AfterDash(model));
    const ModelKind k{g.modelnum, g.SubTyp};
    g.modelnum = keepModel;
    g.SubTyp = keepSub;
    return k;
}

NetKind NetKindOf(const QString &model) {
    static const NetKind rows[] = {
        {0, "CC-Link", 10, false},   {1, "DeviceNet", 10, false}, {2, "Modbus", 10, false},
        {3, "MECHATROLINK", 9, false}, {4, "Ethernet", 9, false}, {5, "FL-Remote", 9, false},
        {6, "HLS", 10, true},        {7, "FLEX NETWORK", 9, true},
    };
    static const char *const prefixes[] = {"K5A-", "K5B-", "K5G-", "K5GT", "K5N-", "K5PW", "K5VS", "K5PX"};
    const QString prefix = model.left(4);
    for (int i = 0; i < 8; ++i)
        if (prefix == QLatin1String(prefixes[i])) return rows[i];
    return {};
}

// ---- the session's connection check and identification

#include "core/Commands.h"
#include "core/PageContract.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/Protocol.h"

co::Task<bool> Session::ConnectUnit() {
    QString failure;
    const bool opened = co_await OpenComPort(*m_link, &failure);
    QString r;
    if (opened) r = BeforeColon(co_await ReadItemRetry(1, "00", "01"));
    if (r == "MNTSW") {
        setLamp(Lamp::Connected);
        emit comPortChanged(g.ComPortNo);
        g.Connected = true;
        setStatus("Connected");
        tellState();
        co_return true;
    }
    setButton(Setting, true);
    // One box for every failed connection; a port that would not open adds its reason.
    const QString text = failure.isEmpty() ? QStringLiteral("Connection Error") : "Connection Error\r\n" + failure;
    co_await MsgBox(text, "Connection", MsgIcon::Critical);
    disconnectUnit();
    co_return false;
}

co::Task<Session::Identified> Session::identifyUnitOnly() {
    auto fail = [this]() -> co::Task<Identified> {
        co_await MsgBox("Upload Error", "Upload", MsgIcon::Critical);
        disconnectUnit();
        co_return Identified::Failed;
    };
    co_await WriteItemRetry(3, "00", "01", "F");

    QString r = co_await InquireItemRetry(3, "02");
    // "CNG", "NEEDLESS" or nothing after the colon is the unit not answering, not a model.
    if (IsProtocolAnswer(r) || AfterColon(r).isEmpty()) co_return co_await fail();
    g.UnitModel = AfterColon(r);
    g.IdentifiedModel = g.UnitModel;
    if (!m_quiet) emit modelChanged(g.UnitModel);
    const ModelKind kind = KindOfModel(g.UnitModel, g.modelnum);
    g.modelnum = kind.modelnum;
    g.SubTyp = kind.subTyp;
    SetNetType(g.UnitModel);

    r = co_await InquireItemRetry(3, "06");
    if (r.isEmpty()) co_return co_await fail();
    const QString v = AfterColon(r);
    g.VersionText = "Version : " + v;
    if (!m_quiet) emit versionChanged(g.VersionText);
    g.NewFirmware = !IsKnownVersion(v);

    r = co_await InquireItemRetry(3, "10");
    if (r.isEmpty()) co_return co_await fail();
    const QString e = AfterColon(r);
    g.ExtName = e == "CNG" ? QStringLiteral("NONE") : AfterDash(e);
    if (g.ExtName == "DM") g.ExtName = "NONE";
    if (g.ExtName == "NONE") {
        g.ExtChCount = 0;
        g.ExtType.clear();
        showExtension();
    } else if (!g.ExtAsked) {
        // Only the two known kinds have modules to offer; either answer to another is none.
        const QString asked = g.ExtName;
        const QString prefix = asked == "DI" ? "XD" : asked == "DO" ? "XF" : QString();
        if (prefix.isEmpty()) g.ExtName = "NONE";
        const int points = co_await AskExtension(asked);
        if (points == 16 || points == 8) {
            g.ExtChCount = prefix.isEmpty() ? 0 : points;
            g.ExtType = prefix.isEmpty() ? QString() : prefix + QString::number(points);
            showExtension();
        }
        g.ExtAsked = true;
    }

    r = co_await InquireItemRetry(3, "03");
    if (r.isEmpty()) co_return co_await fail();
    const QString c = AfterColon(r);
    // Only the unit's own not-initialised text asks for initialising; "NEEDLESS" (a "CNU") does not.
    if (c.startsWith('N') && !IsProtocolAnswer(r)) {
        co_await MsgBox("Need Initialize", "Initialize Error\r\n", MsgIcon::Critical);
        disconnectNow();
        endProgram();
        co_return Identified::NeedsInit;
    }
    static const QList<std::pair<QString, int>> counts = {{"1CHs", 1}, {"2CHs", 2}, {"4CHs", 4}, {"16CHs", 16}, {"8CHs", 8}};
    for (const auto &[text, n] : counts)
        if (c == text) g.ChCount = n;
    co_return Identified::Yes;
}

co::Task<Session::Identified> Session::IdentifyUnit() {
    const Identified id = co_await identifyUnitOnly();
    if (id != Identified::Yes) co_return id;
    // A kind whose page this version lacks is handled like an unknown model.
    IoPage *p = m_pages && g.modelnum >= 0 && g.modelnum <= 25 ? m_pages->ioPage(g.modelnum) : nullptr;
    g.ActivePage = p ? g.modelnum : 99;
    if (p) co_await p->Init();
    ShowPage(g.ActivePage);
    co_return Identified::Yes;
}

Outcome Session::identifiedOutcome(Identified id, const OutcomeScope &scope) const {
    if (id == Identified::NeedsInit) {
        Outcome o;
        o.kind = Outcome::Kind::NeedsInit;
        return o;
    }
    const Outcome o = scope.outcome();
    if (id == Identified::ProgramEnded && o.complete()) return Outcome::asCancelled();
    // The identification's own failure: its reads gave nothing usable (a model text of CNG).
    if (id == Identified::Failed && o.complete()) {
        Outcome r = Outcome::refused(QStringLiteral("the unit's identification gave no model"));
        r.kind = Outcome::Kind::Incomplete;
        r.why = Exchange::Failure::Cng;
        r.group = "00";
        r.item = "02";
        return r;
    }
    return o;
}

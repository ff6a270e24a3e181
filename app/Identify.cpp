#include "app/Identify.h"
#include "app/Colors.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/Globals.h"
#include "app/Ui.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"
#include "pages/Page.h"
#include "pages/PageRegistry.h"

#include <QLabel>
#include <QPushButton>

bool IsProtocolAnswer(const QString &reply) { return reply.isEmpty() || reply == "CNG" || reply == "NEEDLESS"; }

void ConnectUnit(frmVireo &w) {
    QString failure;
    const bool opened = OpenComPort(w.link(), &failure);
    const QString r = opened ? BeforeColon(ReadItemRetry(1, "00", "01")) : QString();
    if (r == "MNTSW") {
        w.shpLamp->setFillColor(Colors::LampConnected);
        w.lblComPortNo->setText(QStringLiteral("COM%1").arg(g.ComPortNo));
        w.lblConStatus->setText("Connected");
        g.Connected = true;
    } else {
        w.btnSetting->setEnabled(true);
        // One box for every failed connection; a port that would not open adds its reason.
        MsgBox(failure.isEmpty() ? QStringLiteral("Connection Error") : "Connection Error\r\n" + failure, "Connection",
               MsgIcon::Critical);
        DisconnectUnit();
    }
}

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

namespace {
struct NetRow {
    const char *prefix;
    int netTyp;
    const char *caption;
    int points;
    bool needsSubTyp; // shown only for the sub-typed analog inputs
};

const NetRow *netRow(const QString &model) {
    static const NetRow rows[] = {
        {"K5A-", 0, "CC-Link", 10, false},     {"K5B-", 1, "DeviceNet", 10, false},
        {"K5G-", 2, "Modbus", 10, false},      {"K5GT", 3, "MECHATROLINK", 9, false},
        {"K5N-", 4, "Ethernet", 9, false},     {"K5PW", 5, "FL-Remote", 9, false},
        {"K5VS", 6, "HLS", 10, true},          {"K5PX", 7, "FLEX NETWORK", 9, true},
    };
    const QString prefix = model.left(4);
    for (const NetRow &r : rows)
        if (prefix == QLatin1String(r.prefix)) return &r;
    return nullptr;
}
} // namespace

int NetTypeOf(const QString &model) {
    const NetRow *r = netRow(model);
    return r ? r->netTyp : 99;
}

void SetNetType(const QString &model) {
    const NetRow *r = netRow(model);
    g.NetTyp = r ? r->netTyp : 99;
    if (frmVireo *w = MainForm()) {
        if (r) w->setNetButton(r->caption, r->points, !r->needsSubTyp || g.SubTyp != 0);
        else w->setNetButton(QString(), 0, false);
    }
}

IdentifyResult IdentifyUnit(frmVireo &w) {
    auto fail = [] {
        MsgBox("Upload Error", "Upload", MsgIcon::Critical);
        DisconnectUnit();
        return IdentifyResult::Failed;
    };
    WriteItemRetry(3, "00", "01", "F");

    QString r = InquireItemRetry(3, "02");
    // "CNG", "NEEDLESS" or nothing after the colon is the unit not answering, not a model.
    if (IsProtocolAnswer(r) || AfterColon(r).isEmpty()) return fail();
    g.UnitModel = AfterColon(r);
    g.IdentifiedModel = g.UnitModel;
    w.lblMastertype->setText(g.UnitModel);
    if (g.UnitModel == "K5VS-GZ2") {
        g.modelnum = 22;
        g.SubTyp = 0;
    } else if (g.UnitModel == "K5N-NX8") {
        g.modelnum = 23;
        g.SubTyp = 0;
    } else {
        ClassifyModel(AfterDash(g.UnitModel));
    }
    SetNetType(g.UnitModel);

    r = InquireItemRetry(3, "06");
    if (r.isEmpty()) return fail();
    const QString v = AfterColon(r);
    g.VersionText = "Version : " + v;
    w.lblVersionNo->setText(g.VersionText);
    g.NewFirmware = !IsKnownVersion(v);

    r = InquireItemRetry(3, "10");
    if (r.isEmpty()) return fail();
    const QString e = AfterColon(r);
    g.ExtName = e == "CNG" ? QStringLiteral("NONE") : AfterDash(e);
    if (g.ExtName == "DM") g.ExtName = "NONE";
    if (g.ExtName == "NONE") {
        g.ExtChCount = 0;
        g.ExtType.clear();
        w.showExtension();
    } else if (!g.ExtAsked) {
        frmExtSelect dlg(&w);
        dlg.ExtName_Select();
        ShowModal(&dlg);
        g.ExtAsked = true;
    }
    if (g.ProgramEnding) return IdentifyResult::ProgramEnded;

    r = InquireItemRetry(3, "03");
    if (r.isEmpty()) return fail();
    const QString c = AfterColon(r);
    // Only the unit's own not-initialised text asks for initialising; "NEEDLESS" (a "CNU") does not.
    if (c.startsWith('N') && !IsProtocolAnswer(r)) {
        MsgBox("Need Initialize", "Initialize Error\r\n", MsgIcon::Critical);
        w.btnDisconnect_Click();
        w.mnuFilesEnd_Click();
        return IdentifyResult::ProgramEnded;
    }
    static const QList<std::pair<QString, int>> counts = {{"1CHs", 1}, {"2CHs", 2}, {"4CHs", 4}, {"16CHs", 16}, {"8CHs", 8}};
    for (const auto &[text, n] : counts)
        if (c == text) g.ChCount = n;

    // A kind whose page this version lacks is handled like an unknown model.
    g.ActivePage = PageAvailable(g.modelnum) ? g.modelnum : 99;
    if (Page *p = w.page(g.ActivePage)) {
        p->Init();
        if (g.ProgramEnding) return IdentifyResult::ProgramEnded;
        w.ShowPage(p);
    } else {
        w.ShowPage(w.nonePage());
    }
    return IdentifyResult::Identified;
}

// Compare with Unit: the unit read afresh into copies of the pages that are not shown, and what
// a Download would change listed.
#include <QScopeGuard>
#include "core/Globals.h"
#include "core/PageContract.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"

#include <QSet>

co::Task<Session::Comparison> Session::compareWithUnit() {
    Comparison c;
    if (!m_pages) co_return c;
    const Globals page = g;
    // The page's identity and state come back whatever the unit turns out to be; the link's
    // state is what the reading left.
    auto restore = [&page] {
        const bool connected = g.Connected, monitoring = g.Monitoring, asked = g.ExtAsked;
        const int port = g.ComPortNo;
        g = page;
        g.Connected = connected;
        g.Monitoring = monitoring;
        g.ExtAsked = asked;
        g.ComPortNo = port;
    };
    // Fresh copies every time: a value an earlier reading left is nothing the unit said now.
    m_pages->dropCopies();
    OutcomeScope scope;
    Identified id = Identified::Failed;
    {
        m_quiet = true;
        const auto loud = qScopeGuard([this] { m_quiet = false; });
        id = co_await identifyUnitOnly();
    }
    if (id != Identified::Yes) {
        c.outcome = identifiedOutcome(id, scope);
        if (id == Identified::Failed) restore();
        co_return c;
    }
    c.unitModel = g.UnitModel;
    if (g.UnitModel != page.UnitModel) {
        c.refusal = QStringLiteral("The unit is a %1; the page is for %2. Nothing was compared.")
                        .arg(g.UnitModel, page.UnitModel);
        restore();
        co_return c;
    }
    // The reads of an Upload, into copies: the page and its edits stay as they are.
    Settings unitIo, unitNet;
    IoPage *copy = g.modelnum >= 0 && g.modelnum <= 25 ? m_pages->copyOf(g.modelnum) : nullptr;
    if (copy) {
        co_await copy->Init();
        if (g.Connected && m_link->isOpen()) co_await copy->ReadingData();
        unitIo = m_pages->settings(copy);
    }
    NetUnitPage *netCopy = m_pages->netCopyOf(g.NetTyp);
    if (netCopy && g.Connected && m_link->isOpen()) {
        co_await netCopy->btnUpload_Click();
        unitNet = m_pages->settings(netCopy);
    }
    c.outcome = scope.outcome();
    if (c.outcome.complete() && (!g.Connected || !m_link->isOpen())) c.outcome = Outcome::asCancelled();
    restore();
    if (!c.outcome.complete()) co_return c;
    // What a Download would write and the unit reports, on both sides: a setting the unit's kind
    // does not exchange, or one the page never writes, is nothing a Download could change.
    auto differences = [&c](const Settings &shown, const Settings &unit) {
        QSet<QString> notOnUnit;
        for (const SettingValue &u : unit)
            if (!u.exchanged || !u.written) notOnUnit.insert(u.key);
        Settings compared;
        for (const SettingValue &s : shown)
            if (s.written && s.exchanged && !notOnUnit.contains(s.key)) compared << s;
        c.values += int(compared.size());
        return CompareSettings(compared, unit);
    };
    IoPage *p = activePage();
    NetUnitPage *n = m_pages->netPage(g.NetTyp);
    const QList<Difference> io = p ? differences(m_pages->settings(p), unitIo) : QList<Difference>();
    const QList<Difference> net = n && netCopy ? differences(m_pages->settings(n), unitNet) : QList<Difference>();
    c.ioDiffers = !io.isEmpty();
    c.networkDiffers = !net.isEmpty();
    c.rows = io + net;
    c.read = true;
    co_return c;
}

co::Task<> Session::commandCompare(std::function<co::Task<CompareChoice>(const Comparison &)> show) {
    if (!g.Connected || g.Monitoring) co_return;
    all_btn_control(false);
    const Comparison c = co_await compareWithUnit();
    co_await endCommand();
    if (!c.refusal.isEmpty()) co_return co_await MsgBox(c.refusal, "Compare with Unit", MsgIcon::Information);
    if (!c.read) {
        if (!c.outcome.cancelled() && c.outcome.kind != Outcome::Kind::NeedsInit)
            co_await MsgBox(
                QStringLiteral("The unit could not be read completely (%1): nothing was compared.").arg(c.outcome.where()),
                "Compare with Unit", MsgIcon::Critical);
        co_return;
    }
    if (!show) co_return;
    const CompareChoice choice = co_await show(c);
    switch (choice) {
    case CompareChoice::Download:
        // Every page that differs is written, and all of it verified by one read-back.
        co_await downloadPages(c.ioDiffers || !c.networkDiffers, c.networkDiffers);
        co_return;
    case CompareChoice::Upload: co_await commandUpload(); co_return;
    case CompareChoice::Close: co_return;
    }
}

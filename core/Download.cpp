// The session's Download: the page's check, the download start, the pages' writes, the read-back
// and what the verification makes of them.
#include "core/Globals.h"
#include "core/PageContract.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/Protocol.h"

co::Task<Session::DownloadResult> Session::commandDownload() { return downloadPages(true, false); }

co::Task<Session::DownloadResult> Session::downloadPages(bool io, bool network) {
    using End = DownloadResult::End;
    DownloadResult result;
    const quint64 cancels = CancelCount();
    g.ChkErrNo = 0;
    all_btn_control(false);
    IoPage *p = co_await routedPage("btnDownload");
    if (!p) {
        co_await endCommand();
        co_return result;
    }
    ClearCheckRefusal();
    const bool ok = p->hasCheckData() ? p->CheckData() : true;
    if (!ok) {
        const QString detail = p->checkDetail();
        co_await MsgBox("Data Error \r\n" + detail, "Data Range Error", MsgIcon::Critical);
        io_btn_control(true);
        result.end = End::RangeRefused;
        const std::optional<CheckRefusal> why = LastCheckRefusal();
        result.detail = why ? why->describe() : QString(detail).replace("\r\n", " ").simplified();
        co_return result;
    }
    // What the pages send, each value taken as its line goes out, to be found again in the unit.
    SendRecord sent;
    WriteStart start = WriteStart::Written;
    if (io) start = co_await WriteUnit(true, &result.write);
    if (start == WriteStart::Written && network)
        if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr)
            result.write = result.write + co_await n->writeToUnit();
    if (CancelCount() != cancels) {
        // The Disconnect that cancelled it has set the buttons.
        result.end = End::Cancelled;
        result.sent = sent.values();
        co_return result;
    }
    if (start == WriteStart::Refused) {
        // A read-back now would put the unit's old values over the edits, and say nothing.
        if (m_link->isOpen())
            co_await MsgBox("The unit did not accept the start of the download.\r\n"
                            "Nothing was written; the edited values are still on the page.",
                            "Download", MsgIcon::Critical);
        co_await endCommand();
        result.end = End::StartRefused;
        co_return result;
    }
    IoPage *written = activePage();
    // Written, or nothing came back at all: the Upload that follows reads back or reports.
    {
        OutcomeScope readBack;
        result.readBack = co_await commandUpload();
        result.verification = Verify(sent.values(), readBack);
    }
    result.sent = sent.values();
    if (result.readBack.cancelled()) {
        result.end = End::Cancelled;
        co_return result;
    }
    if (result.readBack.complete() && activePage() != written) {
        result.end = End::OtherModel;
        result.detail = g.UnitModel;
        NoteDownload(QStringLiteral("Download written, not verified (the unit is a %1)").arg(g.UnitModel));
        co_return result;
    }
    if (start == WriteStart::Silent) {
        // Nothing took the download start: the Upload after it has said what became of the line.
        result.end = End::Silent;
        co_return result;
    }
    Verification &v = result.verification;
    switch (v.result) {
    case Verification::Result::Verified: result.end = End::Verified; break;
    case Verification::Result::Differs: result.end = End::Differs; break;
    case Verification::Result::NothingToVerify:
        result.end = End::NothingToVerify;
        // Only a read-back that completed says the unit took the download.
        if (!result.readBack.complete()) {
            result.end = End::NotVerified;
            v.result = Verification::Result::NotVerified;
            v.readBack = result.readBack;
        }
        break;
    case Verification::Result::NotVerified: result.end = End::NotVerified; break;
    }
    if (result.end == End::NotVerified && !result.write.complete() && !result.write.cancelled()) {
        // The writes broke off: say so rather than blame the read-back.
        NoteDownload(QStringLiteral("Download not verified"));
        co_await MsgBox(QStringLiteral("The download did not complete (%1): the unit may hold only part of it, so "
                                       "nothing is verified. Download again.")
                            .arg(result.write.where()),
                        "Download", MsgIcon::Critical);
        co_return result;
    }
    co_await ReportVerification(v);
    co_return result;
}

co::Task<Session::WriteStart> Session::WriteUnit(bool page, Outcome *written) {
    OutcomeScope scope;
    const quint64 answersBefore = m_link->answers();
    const QString started = co_await WriteItemRetry(3, "00", "01", "F");
    if (started.isEmpty()) {
        if (written) *written = scope.outcome();
        if (m_link->answers() == answersBefore) co_return WriteStart::Silent;
        co_return WriteStart::Refused;
    }
    IoPage *p = nullptr;
    if (page && route(p) == Route::Page) co_await p->Download();
    if (written) *written = scope.outcome();
    co_return WriteStart::Written;
}

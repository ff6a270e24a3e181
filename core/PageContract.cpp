#include "core/PageContract.h"
#include "core/Outcome.h"

QString IoPage::checkDetail() const { return QStringLiteral("Check data range."); }

co::Task<Outcome> IoPage::init() {
    OutcomeScope s;
    co_await Init();
    co_return s.outcome();
}

co::Task<Outcome> IoPage::download() {
    OutcomeScope s;
    co_await Download();
    co_return s.outcome();
}

co::Task<Outcome> IoPage::readingData() {
    OutcomeScope s;
    co_await ReadingData();
    co_return s.outcome();
}

co::Task<Outcome> NetUnitPage::upload() {
    OutcomeScope s;
    co_await btnUpload_Click();
    co_return s.outcome();
}

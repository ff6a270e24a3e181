#include "core/PageContract.h"
#include "core/Outcome.h"

Outcome IoPage::init() {
    OutcomeScope s;
    Init();
    return s.outcome();
}

Outcome IoPage::download() {
    OutcomeScope s;
    Download();
    return s.outcome();
}

Outcome IoPage::readingData() {
    OutcomeScope s;
    ReadingData();
    return s.outcome();
}

Outcome NetUnitPage::upload() {
    OutcomeScope s;
    btnUpload_Click();
    return s.outcome();
}

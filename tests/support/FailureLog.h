#pragma once

#include "ui/HandlerGuard.h"

#include <QList>

namespace convodesk::testing {

// Records the failures the desk would show the operator, instead of showing them, for as long
// as it lives; then the reporter that was there before is back.
class FailureLog {
public:
    FailureLog();
    ~FailureLog();
    FailureLog(const FailureLog&) = delete;
    FailureLog& operator=(const FailureLog&) = delete;

    // What was reported so far; a test clears it where it starts looking.
    QList<ui::Failure>& failures() { return failures_; }

private:
    QList<ui::Failure> failures_;
    ui::FailureReporter previous_;
};

} // namespace convodesk::testing

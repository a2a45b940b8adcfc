#include "FailureLog.h"

namespace convodesk::testing {

FailureLog::FailureLog()
    : previous_(ui::setFailureReporter([this](const ui::Failure& failure) { failures_ << failure; })) {}

FailureLog::~FailureLog() {
    ui::setFailureReporter(previous_);
}

} // namespace convodesk::testing

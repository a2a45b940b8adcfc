#pragma once

#include <QString>
#include <functional>

namespace convodesk::ui {

// A failure that no routine trapped, as the operator is told about it.
struct Failure {
    int number = 0;
    QString description;
};

// Runs one event handler. A failure it raises ends the handler at the failing step, is shown
// to the operator (one message with number and description) and the program goes on: no
// exception ever leaves into Qt's event loop. Every handler entry of the program goes
// through here. Returns false when the handler failed.
bool runHandler(const std::function<void()>& handler);

// What runHandler does with a failure; by default a modal message box. Tests put a recorder
// here. Passing an empty function restores the message box. Returns the previous reporter.
using FailureReporter = std::function<void(const Failure&)>;
FailureReporter setFailureReporter(FailureReporter reporter);

// The text of the message box for a failure.
QString failureMessage(const Failure& failure);

} // namespace convodesk::ui

#pragma once

#include <QString>
#include <functional>

namespace convodesk::testing {

// Runs `run` and returns the description of the DataError it throws ("<no error>" when it throws
// none), with the error's number in `number` when asked for.
QString errorOf(const std::function<void()>& run, int* number = nullptr);
// The number of the DataError `run` throws (0 for none), its description in `description`
// when asked for.
int errorNumber(const std::function<void()>& run, QString* description = nullptr);

} // namespace convodesk::testing

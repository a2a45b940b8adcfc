#pragma once

#include <QString>

#include <functional>

namespace convodesk::data::test {

// Runs `run` and returns the description of the DataError it throws ("<no error>" when it throws
// none), with the error's number in `number` when asked for.
QString errorOf(const std::function<void()>& run, int* number = nullptr);

} // namespace convodesk::data::test

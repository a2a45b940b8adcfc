#include "CaughtError.h"

#include "data/DataError.h"

namespace convodesk::data::test {

QString errorOf(const std::function<void()>& run, int* number) {
    try {
        run();
    } catch (const DataError& error) {
        if (number)
            *number = error.number();
        return error.description();
    }
    return QStringLiteral("<no error>");
}

} // namespace convodesk::data::test

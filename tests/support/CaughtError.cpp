#include "CaughtError.h"

#include "data/DataError.h"

namespace convodesk::testing {

QString errorOf(const std::function<void()>& run, int* number) {
    try {
        run();
    } catch (const data::DataError& error) {
        if (number)
            *number = error.number();
        return error.description();
    }
    return QStringLiteral("<no error>");
}

int errorNumber(const std::function<void()>& run, QString* description) {
    int number = 0;
    const QString text = errorOf(run, &number);
    if (description)
        *description = text;
    return number;
}

} // namespace convodesk::testing

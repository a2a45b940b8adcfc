#pragma once

#include <QString>
#include <stdexcept>

namespace convodesk::dbtool {

// Bad input in a CSV file; the message names the file, the line and the column.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }

    // "<file>, line <n>, column <c>: <problem>"; column 0 leaves the column out.
    static CsvError at(const QString& file, int line, int column, const QString& problem);
    // The same with the column's header name after its number.
    static CsvError atNamed(const QString& file, int line, int column, const QString& columnName,
                            const QString& problem);
};

} // namespace convodesk::dbtool

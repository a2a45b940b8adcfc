#include "CsvError.h"

namespace convodesk::dbtool {

CsvError CsvError::at(const QString& file, int line, int column, const QString& problem) {
    if (column <= 0)
        return CsvError(QStringLiteral("%1, line %2: %3").arg(file).arg(line).arg(problem));
    return CsvError(
        QStringLiteral("%1, line %2, column %3: %4").arg(file).arg(line).arg(column).arg(problem));
}

CsvError CsvError::atNamed(const QString& file, int line, int column, const QString& columnName,
                           const QString& problem) {
    return CsvError(QStringLiteral("%1, line %2, column %3 (%4): %5")
                        .arg(file)
                        .arg(line)
                        .arg(column)
                        .arg(columnName, problem));
}

} // namespace convodesk::dbtool

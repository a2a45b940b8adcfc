#pragma once

#include "CsvTable.h"

#include <QByteArray>
#include <QString>

namespace convodesk::dbtool {

// Reads RFC 4180 CSV: UTF-8 with or without a byte-order mark, CRLF or LF line ends, quoted
// fields with doubled quotes and line breaks, a header row naming the columns. An unquoted
// empty field is Null, a quoted empty field "" is the empty text. Blank lines are skipped.
// Throws CsvError naming the file, line and column.
class CsvReader {
public:
    static CsvTable readFile(const QString& path);
    static CsvTable parse(const QByteArray& bytes, const QString& fileName);

private:
    static QString decodeUtf8(const QByteArray& bytes, const QString& fileName);
};

} // namespace convodesk::dbtool

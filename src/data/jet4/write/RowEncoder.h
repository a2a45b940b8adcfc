#pragma once

#include "TableLayout.h"
#include "data/jet4/Value.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace convodesk::jet4 {

class LongValueWriter;

// Encodes one row of a table as Jet 4 stores it, writing long values through the LVAL writer.
// Throws Error(InvalidInput) naming the table, row and column for a value the column cannot hold.
class RowEncoder {
public:
    RowEncoder(const TableLayout& layout, QString tableName, LongValueWriter& longValues);

    QByteArray encode(const std::vector<Value>& values, long long rowNumber);
    // Bytes the row would take (long values stored out of the row count 12 bytes), without writing it.
    int measure(const std::vector<Value>& values, long long rowNumber) const;

private:
    struct Field {
        bool present = false;
        QByteArray bytes; // fixed or variable bytes; for long values the raw value
        bool storeInline = false;
    };

    std::vector<Field> prepare(const std::vector<Value>& values, long long rowNumber) const;
    Field encodeField(const LayoutColumn& column, const Value& value, long long rowNumber) const;
    [[noreturn]] void fail(const LayoutColumn& column, long long rowNumber, const QString& problem) const;
    int rowSize(const std::vector<Field>& fields) const;

    const TableLayout& layout_;
    QString tableName_;
    LongValueWriter& longValues_;
};

} // namespace convodesk::jet4

#pragma once

#include "Value.h"

#include <cstdint>

namespace convodesk::jet4 {

// Reads one table's rows forward, in the file's page order, skipping deleted rows and
// following overflow rows. Values are decoded only when asked for, so a scan that tests
// one column never builds the text of the others.
class TableCursor {
public:
    virtual ~TableCursor() = default;

    // Moves to the next row; false at the end. Throws Error(Damaged, ...) on a bad page.
    virtual bool next() = 0;
    // The value of column `columnIndex` (index into TableDef::columns) in the current row.
    virtual Value value(int columnIndex) = 0;
    // Rows returned so far.
    virtual std::int64_t rowsRead() const = 0;
};

} // namespace convodesk::jet4

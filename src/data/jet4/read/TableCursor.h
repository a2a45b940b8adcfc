#pragma once

#include "data/jet4/Value.h"

#include <QStringView>
#include <cstdint>

namespace convodesk::jet4 {

// Reads one table's rows forward, in the file's page order, skipping deleted rows and
// following overflow rows. Values are decoded only when asked for, so a scan that tests
// one column never builds the text of the others.
class TableCursor {
public:
    virtual ~TableCursor() = default;

    // Moves to the next row; false at the end. Throws Error(Damaged, ...) on a bad page, and
    // at the end of a user table when fewer rows are found than its definition counts (a
    // count lower than the rows found is a count Access left behind, not damage).
    virtual bool next() = 0;
    // The value of column `columnIndex` (index into TableDef::columns) in the current row.
    virtual Value value(int columnIndex) = 0;
    // What textView() found in a column of the current row.
    enum class TextRead { Text, Null, NotText };
    // A Text column's value viewed in a buffer of the cursor's own, so a scan comparing one
    // column builds no string per row. The view holds until the next call on this cursor.
    // NotText for other types (read those with value()).
    virtual TextRead textView(int columnIndex, QStringView& text) {
        (void)columnIndex;
        (void)text;
        return TextRead::NotText;
    }
    // Rows returned so far.
    virtual std::int64_t rowsRead() const = 0;
    // Where the current row is stored (data page << 8 | slot, the slot an index entry names);
    // 0 when there is no current row or the cursor cannot tell.
    virtual std::uint32_t rowPointer() const { return 0; }
};

} // namespace convodesk::jet4

#pragma once

#include "PageReader.h"
#include "TableCursor.h"
#include "data/jet4/TableDef.h"
#include "data/jet4/Value.h"

#include <string>
#include <vector>

namespace convodesk::jet4 {

// Decodes the values of one stored row. The row's layout (null mask, variable offsets) is
// located once by reset(); value() then decodes only the column asked for.
class RowDecoder {
public:
    RowDecoder(const PageReader& file, const TableDef& table);

    void reset(const std::uint8_t* row, int length);
    Value value(int columnIndex) const;
    // A Text column's value in a buffer of the decoder's own (see TableCursor::textView).
    TableCursor::TextRead textView(int columnIndex, QStringView& text) const;

private:
    // What value() needs of a column, worked out once per table instead of once per row.
    struct Field {
        const ColumnDef* column = nullptr;
        ColumnType type = ColumnType::Text;
        bool fixed = false;
        int number = 0;     // null-mask bit
        int fixedStart = 0; // offset in the row of a fixed column's bytes
        int fixedSize = 0;
    };

    bool present(const Field& field) const {
        return field.number < storedColumns_ && ((nullMask_[field.number / 8] >> (field.number % 8)) & 1);
    }
    // Defined in RowDecoder.cpp and used there only; `inline` lets them be inlined into value()
    // even in a position-independent build.
    // The bytes of a fixed column in the current row, checked against the row's fixed area.
    inline const std::uint8_t* fixedBytes(const Field& field) const;
    inline Value fixedValue(const Field& field) const;
    Value variableValue(const ColumnDef& column) const;
    // The stored bytes of a variable column; false when the row stores none (Null).
    bool variableBytes(const ColumnDef& column, const std::uint8_t*& bytes, int& length) const;
    inline Value decodeFixed(const ColumnDef& column, const std::uint8_t* p, int size) const;
    void checkTextLength(const ColumnDef& column, int length) const;
    [[noreturn]] void damaged(const QString& what) const;

    const PageReader& file_;
    const TableDef& table_;
    QString object_;
    std::vector<Field> fields_;
    std::vector<const Field*> neverNull_; // columns that always hold a value
    const std::uint8_t* row_ = nullptr;
    int length_ = 0;
    int storedColumns_ = 0;
    const std::uint8_t* nullMask_ = nullptr;
    int fixedEnd_ = 0;
    int varCount_ = 0;
    int varTableEnd_ = 0; // offsets of var entry i: row_ + varTableEnd_ - 2 * i
    int varDataEnd_ = 0;
    mutable std::u16string textBuffer_;
};

// Exact decimal text of a stored Numeric value (17 bytes) with this scale.
QString numericText(const std::uint8_t* bytes, int scale);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" of a stored GUID.
QString guidText(const std::uint8_t* bytes);

} // namespace convodesk::jet4

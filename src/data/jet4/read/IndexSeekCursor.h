#pragma once

#include "PageReader.h"
#include "RowDecoder.h"
#include "TableCursor.h"
#include "data/jet4/TableDef.h"

#include <memory>
#include <vector>

namespace convodesk::jet4 {

// The rows an index seek found, in index order, decoded like a table scan's rows. The row
// pointers were checked to lead to live rows of the table when the seek collected them; one
// that no longer does (the file changed) is damage.
class IndexSeekCursor : public TableCursor {
public:
    IndexSeekCursor(std::shared_ptr<const PageReader> file, std::shared_ptr<const TableDef> table,
                    std::vector<std::uint32_t> rows);

    bool next() override;
    Value value(int columnIndex) override;
    TextRead textView(int columnIndex, QStringView& text) override;
    std::int64_t rowsRead() const override { return static_cast<std::int64_t>(position_); }
    std::uint32_t rowPointer() const override { return hasRow_ ? rows_[position_ - 1] : 0; }

private:
    void checkColumn(int columnIndex) const;

    std::shared_ptr<const PageReader> file_;
    std::shared_ptr<const TableDef> table_;
    std::vector<std::uint32_t> rows_;
    QString object_;
    RowDecoder decoder_;
    std::size_t position_ = 0; // rows returned
    bool hasRow_ = false;
};

} // namespace convodesk::jet4

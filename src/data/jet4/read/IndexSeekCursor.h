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
// that no longer does (the file changed) is damage. Rows read from the file's mapping do not
// keep it resident: the pages read are given back to the system now and then (a long list of
// rows in another order than the file's would otherwise hold the whole file in memory).
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
    void releaseTouchedPages();

    // Distinct data pages read since the last release; they are released once this many are.
    static constexpr std::size_t kTouchedPagesKept = 2048;

    std::shared_ptr<const PageReader> file_;
    std::shared_ptr<const TableDef> table_;
    std::vector<std::uint32_t> rows_;
    QString object_;
    RowDecoder decoder_;
    std::size_t position_ = 0; // rows returned
    bool hasRow_ = false;
    std::vector<std::uint32_t> touched_; // data pages read and not yet released
};

} // namespace convodesk::jet4

#pragma once

#include "PageReader.h"
#include "PageRunBuffer.h"
#include "RowDecoder.h"
#include "TableCursor.h"
#include "data/jet4/TableDef.h"

#include <functional>
#include <memory>
#include <vector>

namespace convodesk::jet4 {

// Walks a table's data pages in ascending order and their row slots in slot order. Deleted
// slots (0x8000: deleted, or the target of an overflow pointer) are skipped; an overflow
// slot (0x4000) is replaced by the row it points to, so each row comes once, in its place.
// At the end the rows found are compared with the definition's row count (with
// `countChecked`, which user tables get): fewer rows than counted is damage.
class TableCursorImpl : public TableCursor {
public:
    // The table's pages are listed by `pages` when the first row is asked for: a cursor opened
    // only for its table's columns, or not read, costs no walk through a large usage map.
    using PageList = std::function<std::vector<std::uint32_t>()>;
    TableCursorImpl(std::shared_ptr<const PageReader> file, std::shared_ptr<const TableDef> table,
                    PageList pages, bool countChecked = false);

    bool next() override;
    Value value(int columnIndex) override;
    TextRead textView(int columnIndex, QStringView& text) override;
    std::int64_t rowsRead() const override { return rowsRead_; }
    std::uint32_t rowPointer() const override;

private:
    // Defined in TableCursorImpl.cpp, used by next() only; `inline` lets it be inlined there.
    inline bool loadSlot();
    void checkColumn(int columnIndex) const {
        if (!hasRow_ || static_cast<unsigned>(columnIndex) >= columnCount_)
            badColumn(columnIndex);
    }
    [[noreturn]] void badColumn(int columnIndex) const;
    // Lets the file's pages this cursor has read past leave the process's memory.
    void releasePassedPages();

    std::shared_ptr<const PageReader> file_;
    std::shared_ptr<const TableDef> table_;
    PageList listPages_; // until the first next()
    std::vector<std::uint32_t> pages_;
    PageRunBuffer pageBuffer_;
    QString object_;
    RowDecoder decoder_;
    std::size_t pageIndex_ = 0;
    const std::uint8_t* page_ = nullptr; // page pages_[pageIndex_] while slot_ >= 0
    int slot_ = -1;
    int slotCount_ = 0;
    std::int64_t rowsRead_ = 0;
    bool hasRow_ = false;
    unsigned columnCount_ = 0;
    std::size_t releasedUpTo_ = 0; // pages_[0 .. releasedUpTo_) have been let go
    bool countChecked_ = false;
};

} // namespace convodesk::jet4

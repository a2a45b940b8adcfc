#include "TableCursorImpl.h"

#include "RowLocator.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <algorithm>

namespace convodesk::jet4 {

namespace {
// Pages read past are let go in groups of this many (1 MB), not one system call a page.
constexpr std::size_t kPagesKeptResident = 256;
} // namespace

TableCursorImpl::TableCursorImpl(std::shared_ptr<const PageReader> file,
                                 std::shared_ptr<const TableDef> table, PageList pages, bool countChecked)
    : file_(std::move(file)), table_(std::move(table)), listPages_(std::move(pages)), pageBuffer_(*file_),
      object_(QStringLiteral("table \"%1\"").arg(table_->name)), decoder_(*file_, *table_),
      columnCount_(static_cast<unsigned>(table_->columns.size())), countChecked_(countChecked) {}

bool TableCursorImpl::next() {
    hasRow_ = false;
    if (listPages_) {
        pages_ = listPages_();
        listPages_ = nullptr;
    }
    while (pageIndex_ < pages_.size()) {
        if (slot_ < 0) {
            // The page is checked once on entry; its slots are then read without repeating that.
            const std::uint32_t number = pages_[pageIndex_];
            const std::uint8_t* p = pageBuffer_.page(pages_, pageIndex_, object_);
            // Pages the map marks but that hold no rows of this table (reused pages) are passed over.
            if (p[0] != format::PageData || readU32(p + format::kDataOwnerOffset) != table_->tdefPage) {
                ++pageIndex_;
                continue;
            }
            page_ = p;
            slotCount_ = file_->rowSlotCount(p, number, object_);
        }
        ++slot_;
        if (slot_ >= slotCount_) {
            ++pageIndex_;
            slot_ = -1;
            if (pageIndex_ - releasedUpTo_ >= kPagesKeptResident)
                releasePassedPages();
            continue;
        }
        if (loadSlot()) {
            hasRow_ = true;
            ++rowsRead_;
            return true;
        }
    }
    releasePassedPages();
    // Rows read from a file that changed meanwhile may be a mix of two files: not an answer.
    file_->checkUnchanged();
    // The rows reached through the usage map must be at least the rows the definition counts: a
    // damaged map that loses pages would otherwise make rows vanish without a word. More rows
    // than counted is no damage: Access leaves a table's count behind its rows in sound files.
    if (countChecked_ && rowsRead_ < static_cast<std::int64_t>(table_->storedRowCount))
        file_->damaged(object_, QStringLiteral("%1 rows were found, but its definition counts %2")
                                    .arg(rowsRead_)
                                    .arg(table_->storedRowCount));
    return false;
}

void TableCursorImpl::releasePassedPages() {
    // The table's pages come in ascending order, so the ones read past lie in one range.
    const std::size_t end = std::min(pageIndex_, pages_.size());
    if (end > releasedUpTo_)
        file_->releaseResidentPages(pages_[releasedUpTo_], pages_[end - 1]);
    releasedUpTo_ = end;
}

bool TableCursorImpl::loadSlot() {
    PageReader::Row row = file_->slotRow(page_, pages_[pageIndex_], slotCount_, slot_, object_);
    if (row.flags & format::kRowLookupFlag)
        return false;
    if (row.flags & format::kRowOverflowFlag)
        row = followOverflow(*file_, row, object_);
    decoder_.reset(row.data, row.length);
    return true;
}

std::uint32_t TableCursorImpl::rowPointer() const {
    return hasRow_ ? format::rowPointer(pages_[pageIndex_], slot_) : 0;
}

Value TableCursorImpl::value(int columnIndex) {
    checkColumn(columnIndex);
    return decoder_.value(columnIndex);
}

TableCursor::TextRead TableCursorImpl::textView(int columnIndex, QStringView& text) {
    checkColumn(columnIndex);
    return decoder_.textView(columnIndex, text);
}

void TableCursorImpl::badColumn(int columnIndex) const {
    if (!hasRow_)
        throw Error(Error::Kind::NotFound,
                    QStringLiteral("%1: no current row in %2").arg(file_->fileName(), object_));
    throw Error(Error::Kind::NotFound,
                QStringLiteral("%1: %2 has no column %3").arg(file_->fileName(), object_).arg(columnIndex));
}

} // namespace convodesk::jet4

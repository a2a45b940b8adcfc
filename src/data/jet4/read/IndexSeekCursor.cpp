#include "IndexSeekCursor.h"

#include "RowLocator.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <algorithm>

namespace convodesk::jet4 {

IndexSeekCursor::IndexSeekCursor(std::shared_ptr<const PageReader> file,
                                 std::shared_ptr<const TableDef> table, std::vector<std::uint32_t> rows)
    : file_(std::move(file)), table_(std::move(table)), rows_(std::move(rows)),
      object_(QStringLiteral("table \"%1\"").arg(table_->name)), decoder_(*file_, *table_) {}

bool IndexSeekCursor::next() {
    hasRow_ = false;
    if (position_ >= rows_.size()) {
        releaseTouchedPages();
        file_->checkUnchanged();
        return false;
    }
    const std::uint32_t pointer = rows_[position_++];
    if (touched_.empty() || touched_.back() != format::pointerPage(pointer)) {
        if (touched_.size() >= kTouchedPagesKept)
            releaseTouchedPages();
        touched_.push_back(format::pointerPage(pointer));
    }
    PageReader::Row row;
    if (!findLiveRow(*file_, table_->tdefPage, format::pointerPage(pointer), format::pointerSlot(pointer),
                     object_, row))
        file_->damaged(object_, QStringLiteral("row %1 of page %2 went missing while it was read")
                                    .arg(format::pointerSlot(pointer))
                                    .arg(format::pointerPage(pointer)));
    decoder_.reset(row.data, row.length);
    hasRow_ = true;
    return true;
}

void IndexSeekCursor::releaseTouchedPages() {
    std::sort(touched_.begin(), touched_.end());
    touched_.erase(std::unique(touched_.begin(), touched_.end()), touched_.end());
    // Pages next to one another go back in one step.
    for (std::size_t first = 0; first < touched_.size();) {
        std::size_t last = first;
        while (last + 1 < touched_.size() && touched_[last + 1] == touched_[last] + 1)
            ++last;
        file_->releaseResidentPages(touched_[first], touched_[last]);
        first = last + 1;
    }
    touched_.clear();
}

void IndexSeekCursor::checkColumn(int columnIndex) const {
    if (!hasRow_ || static_cast<std::size_t>(columnIndex) >= table_->columns.size())
        throw Error(Error::Kind::NotFound, QStringLiteral("%1: %2 has no current row or no column %3")
                                               .arg(file_->fileName(), object_)
                                               .arg(columnIndex));
}

Value IndexSeekCursor::value(int columnIndex) {
    checkColumn(columnIndex);
    return decoder_.value(columnIndex);
}

TableCursor::TextRead IndexSeekCursor::textView(int columnIndex, QStringView& text) {
    checkColumn(columnIndex);
    return decoder_.textView(columnIndex, text);
}

} // namespace convodesk::jet4

#include "DataPageWriter.h"

#include "PageStore.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

using namespace format;

DataPageWriter::DataPageWriter(PageStore& store, std::uint32_t owner, std::optional<std::uint32_t> firstPage)
    : store_(store), owner_(owner), reserved_(firstPage) {}

int DataPageWriter::maxRowLength() {
    return kDataEmptyFreeSpace - 2;
}

void DataPageWriter::startPage(std::uint32_t number) {
    QByteArray& p = store_.page(number);
    putU8(p, 0, PageData);
    putU8(p, 1, 0x01);
    putU16(p, kDataFreeSpaceOffset, kDataEmptyFreeSpace);
    putU32(p, kDataOwnerOffset, owner_);
    pages_.push_back(number);
    rows_ = 0;
    freeSpace_ = kDataEmptyFreeSpace;
    rowStart_ = kPageSize;
}

std::uint32_t DataPageWriter::append(const QByteArray& row) {
    const int length = static_cast<int>(row.size());
    if (length > maxRowLength())
        throw Error(Error::Kind::InvalidInput,
                    QStringLiteral("A row of %1 bytes does not fit on a page.").arg(length));
    if (pages_.empty() || rows_ >= kMaxRowsPerPage || freeSpace_ < length + 2) {
        if (reserved_) {
            startPage(*reserved_);
            reserved_.reset();
        } else {
            startPage(store_.allocate());
        }
    }
    const std::uint32_t number = pages_.back();
    QByteArray& p = store_.page(number);
    rowStart_ -= length;
    p.replace(rowStart_, length, row);
    putU16(p, kDataRowTableOffset + 2 * rows_, static_cast<std::uint32_t>(rowStart_));
    ++rows_;
    freeSpace_ -= length + 2;
    putU16(p, kDataRowCountOffset, static_cast<std::uint32_t>(rows_));
    putU16(p, kDataFreeSpaceOffset, static_cast<std::uint32_t>(freeSpace_));
    return rowPointer(number, rows_ - 1);
}

} // namespace convodesk::jet4

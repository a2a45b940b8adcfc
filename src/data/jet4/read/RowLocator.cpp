#include "RowLocator.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

namespace {
constexpr int kMaxOverflowHops = 8;
} // namespace

PageReader::Row followOverflow(const PageReader& file, PageReader::Row row, const QString& object) {
    for (int hop = 0; row.flags & format::kRowOverflowFlag; ++hop) {
        if (hop == kMaxOverflowHops || row.length < 4)
            file.damaged(object, QStringLiteral("an overflow row pointer is broken or loops"));
        row = file.rowAt(readU32(row.data), object);
        if (row.data == nullptr)
            file.damaged(object, QStringLiteral("an overflow row pointer leads to a deleted row"));
    }
    return row;
}

bool findLiveRow(const PageReader& file, std::uint32_t tdefPage, std::uint32_t page, int slot,
                 const QString& object, PageReader::Row& row) {
    if (page == 0 || page >= file.pageCount())
        return false;
    const std::uint8_t* p = file.page(page, object);
    if (p[0] != format::PageData || readU32(p + format::kDataOwnerOffset) != tdefPage)
        return false;
    const int count = file.rowSlotCount(p, page, object);
    if (slot >= count)
        return false;
    row = file.slotRow(p, page, count, slot, object);
    if (row.flags & format::kRowLookupFlag)
        return false;
    row = followOverflow(file, row, object);
    return true;
}

} // namespace convodesk::jet4

#pragma once

#include "PageReader.h"

#include <cstdint>

namespace convodesk::jet4 {

// The row a slot stands for: a slot flagged as overflow (0x4000) holds a pointer to where the
// row moved when it grew, possibly again an overflow slot. Throws Error(Damaged) on a broken
// or looping chain.
PageReader::Row followOverflow(const PageReader& file, PageReader::Row row, const QString& object);

// The live row at `page`/`slot` of the table whose definition is on page `tdefPage`, overflow
// followed: false when the address leads to no such row (outside the file, another table's or
// no data page, a missing or deleted slot), as an index entry that outlived its row would.
bool findLiveRow(const PageReader& file, std::uint32_t tdefPage, std::uint32_t page, int slot,
                 const QString& object, PageReader::Row& row);

} // namespace convodesk::jet4

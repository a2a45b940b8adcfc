#pragma once

#include "PageReader.h"
#include "data/jet4/TableDef.h"

namespace convodesk::jet4 {

// Reads the physical and logical index blocks and the logical indexes' names that follow the
// column names in a table definition's bytes `b` (`size` bytes, from offset `at`) into `def`,
// whose columns are already read and in column-number order. Returns the offset after them.
// Anything that does not fit the definition or the file is Error(Damaged).
int readIndexDefs(const PageReader& file, const QString& object, const std::uint8_t* b, int size, int at,
                  std::uint32_t realCount, std::uint32_t logicalCount, TableDef& def);

} // namespace convodesk::jet4

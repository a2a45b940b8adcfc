#pragma once

#include "Writer.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

// The entries of a table's primary-key index: each row's key followed by its row pointer
// (3-byte big-endian page, 1-byte slot), in index order (key, then row pointer).
class PrimaryKeyEntries {
public:
    // `keyColumns`: positions in table.columns, in key order; `rowPointers`: where each row
    // was stored. Throws Error(InvalidInput) for a row without a key value, two rows with the
    // same key, or a key too long for an index page.
    static std::vector<QByteArray> build(const WriterTable& table, const std::vector<int>& keyColumns,
                                         const std::vector<std::uint32_t>& rowPointers);
};

} // namespace convodesk::jet4

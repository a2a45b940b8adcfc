#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace convodesk::testing {

// The physical indexes of one table of a Jet 4 file and the entries of their leaf pages, in
// the order the leaves are chained: enough to compare the keys Access stored with the keys we
// build. Test-only: every offset is checked, but damage just ends the walk with an error text.
struct IndexColumn {
    int number = 0; // the column's number (descriptor offset 5)
    bool ascending = true;
};

struct LeafEntry {
    QByteArray key;
    std::uint32_t page = 0; // the row's data page
    int slot = 0;
};

struct PhysicalIndex {
    std::vector<IndexColumn> columns;
    bool ignoresNulls = false;
    std::vector<LeafEntry> entries;
};

// Reads the index definitions of the table whose definition starts at `tdefPage` of `file`
// (the whole file's bytes) and walks each index from its root to its leaves. On damage,
// `error` says what and the result is incomplete.
std::vector<PhysicalIndex> readTextIndexLeaves(const QByteArray& file, std::uint32_t tdefPage,
                                               QString& error);

} // namespace convodesk::testing

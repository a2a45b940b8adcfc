#pragma once

#include "PageReader.h"
#include "data/jet4/TableDef.h"

namespace convodesk::jet4 {

// A table definition as read from its tdef pages, with what the reader needs besides it.
struct LoadedTableDef {
    TableDef def;
    std::uint32_t usedPagesMap = 0; // row pointer to the usage map of the table's data pages
};

// Reads the (possibly multi-page) definition starting at `tdefPage`.
LoadedTableDef readTableDef(const PageReader& file, std::uint32_t tdefPage, const QString& tableName);

// A name stored in a definition as [uint16 byte length][UTF-16LE] at `at`, which moves past it;
// `what` names the list it belongs to for the Damaged message ("column names").
QString readDefinitionName(const PageReader& file, const QString& object, const std::uint8_t* b, int size,
                           int& at, const QString& what);

// Bytes a fixed column takes in the fixed area (fixed-length Text and Binary: their length).
int fixedSizeOf(const ColumnDef& column);

} // namespace convodesk::jet4

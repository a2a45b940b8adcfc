#pragma once

#include "ColumnType.h"
#include "SortOrder.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int number = 0;      // column number (null-mask bit); may have gaps after deleted columns
    int varIndex = 0;    // position in the row's variable-offset table (variable columns only)
    int fixedOffset = 0; // offset in the fixed area (fixed columns only)
    int length = 0;      // stored length in bytes (Text: 2 x characters)
    bool fixed = false;
    bool neverNull = false; // an autonumber: a row without its value is damaged
    int precision = 0;      // Numeric only
    int scale = 0;          // Numeric only
    SortOrder sortOrder;    // Text/Memo: descriptor bytes 11-14
};

struct TableDef {
    QString name;
    std::uint32_t tdefPage = 0;
    std::uint32_t storedRowCount = 0; // the row count written in the definition
    int variableColumnCount = 0;
    std::vector<ColumnDef> columns; // in column-number order

    // Index into columns of the column with this name, ignoring letter case; -1 if none.
    int columnIndex(QStringView columnName) const;
};

} // namespace convodesk::jet4

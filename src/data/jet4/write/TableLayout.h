#pragma once

#include "data/jet4/ColumnType.h"

#include <QString>
#include <vector>

namespace convodesk::jet4 {

struct WriterColumn;

// Where each column of a table being written lives in a row: column number, fixed offset or
// variable index, stored length. Columns are numbered in the order given.
struct LayoutColumn {
    QString name;
    ColumnType type = ColumnType::Text;
    int number = 0;
    bool fixed = false;
    int fixedOffset = 0; // fixed columns
    int varIndex = 0;    // variable columns
    int length = 0;      // bytes: fixed size, Text 2 x characters, Binary bytes, long values 0
    int maxChars = 0;    // Text only
};

struct TableLayout {
    std::vector<LayoutColumn> columns;
    int fixedAreaSize = 0;
    int varColumnCount = 0;

    static TableLayout fromColumns(const std::vector<WriterColumn>& columns);
    int longValueColumnCount() const;
    int nullMaskSize() const { return (static_cast<int>(columns.size()) + 7) / 8; }
};

bool isFixedType(ColumnType type);
bool isLongValueType(ColumnType type);

} // namespace convodesk::jet4

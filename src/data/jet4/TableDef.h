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
    SortOrder sortOrder;    // Text and Memo: the order their index keys are built in
};

// One column of a physical index, in key order.
struct IndexColumnDef {
    int columnIndex = 0; // index into TableDef::columns
    bool ascending = true;
};

// A physical index: the tree of pages that one or more logical indexes share.
struct RealIndexDef {
    static constexpr std::uint8_t kUnique = 0x01;
    static constexpr std::uint8_t kIgnoreNulls = 0x02;
    static constexpr std::uint8_t kRequired = 0x08;

    std::vector<IndexColumnDef> columns; // 1..10
    std::uint32_t rootPage = 0;
    std::uint8_t flags = 0;

    bool unique() const { return (flags & kUnique) != 0; }
    // Rows whose index columns are all Null have no entry.
    bool ignoreNulls() const { return (flags & kIgnoreNulls) != 0; }
    bool required() const { return (flags & kRequired) != 0; }
};

// A named index as Access shows it (primary key, relationship side or plain index).
struct LogicalIndexDef {
    static constexpr std::uint8_t kPrimaryKey = 1;
    static constexpr std::uint8_t kForeignKey = 2;

    QString name;
    int number = 0;
    int realIndex = 0; // index into TableDef::realIndexes
    std::uint8_t kind = 0;
    bool primaryKey() const { return kind == kPrimaryKey; }
};

struct TableDef {
    QString name;
    std::uint32_t tdefPage = 0;
    std::uint32_t storedRowCount = 0; // the row count written in the definition
    int variableColumnCount = 0;
    std::vector<ColumnDef> columns; // in column-number order
    std::vector<RealIndexDef> realIndexes;
    std::vector<LogicalIndexDef> logicalIndexes;

    // Index into columns of the column with this name, ignoring letter case; -1 if none.
    int columnIndex(QStringView columnName) const;
};

} // namespace convodesk::jet4

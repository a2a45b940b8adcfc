#include "TableDefReader.h"

#include "IndexDefReader.h"
#include "TextDecoder.h"
#include "data/jet4/Jet4Format.h"

#include <QSet>
#include <algorithm>

namespace convodesk::jet4 {

namespace {

bool knownType(std::uint8_t code) {
    switch (static_cast<ColumnType>(code)) {
    case ColumnType::Boolean:
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Currency:
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::Binary:
    case ColumnType::Text:
    case ColumnType::Ole:
    case ColumnType::Memo:
    case ColumnType::Guid:
    case ColumnType::Numeric:
        return true;
    }
    return false;
}

// The definition's byte stream: the first page whole, then each continuation page without
// its 8-byte header.
QByteArray collectPages(const PageReader& file, std::uint32_t first, const QString& object) {
    QByteArray bytes;
    QSet<std::uint32_t> seen;
    std::uint32_t number = first;
    while (number != 0) {
        if (seen.contains(number))
            file.damaged(object, QStringLiteral("its definition pages loop at page %1").arg(number));
        seen.insert(number);
        const std::uint8_t* p = file.page(number, object);
        if (p[0] != format::PageTableDefinition)
            file.damaged(object, QStringLiteral("page %1 is not a table definition page").arg(number));
        const int skip = bytes.isEmpty() ? 0 : format::kTdefContinuationHeaderSize;
        bytes.append(reinterpret_cast<const char*>(p + skip), format::kPageSize - skip);
        number = readU32(p + format::kTdefNextPageOffset);
    }
    return bytes;
}

} // namespace

QString readDefinitionName(const PageReader& file, const QString& object, const std::uint8_t* b, int size,
                           int& at, const QString& what) {
    if (at + 2 > size)
        file.damaged(object, QStringLiteral("its %1 run past the definition").arg(what));
    const int length = static_cast<int>(readU16(b + at));
    at += 2;
    if (at + length > size)
        file.damaged(object, QStringLiteral("its %1 run past the definition").arg(what));
    const int start = at;
    at += length;
    return decodeText(b + start, length);
}

int fixedSizeOf(const ColumnDef& column) {
    if (column.type == ColumnType::Text || column.type == ColumnType::Binary)
        return column.fixed ? column.length : 0;
    return fixedSizeOf(column.type);
}

LoadedTableDef readTableDef(const PageReader& file, std::uint32_t tdefPage, const QString& tableName) {
    const QString object = QStringLiteral("table \"%1\"").arg(tableName);
    const QByteArray bytes = collectPages(file, tdefPage, object);
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const int size = static_cast<int>(bytes.size());

    LoadedTableDef loaded;
    TableDef& def = loaded.def;
    def.name = tableName;
    def.tdefPage = tdefPage;
    def.storedRowCount = readU32(b + format::kTdefRowCountOffset);
    def.variableColumnCount = static_cast<int>(readU16(b + format::kTdefVarColumnsOffset));
    const int columnCount = static_cast<int>(readU16(b + format::kTdefColumnCountOffset));
    const std::uint32_t realIndexCount = readU32(b + format::kTdefRealIndexCountOffset);
    loaded.usedPagesMap = readU32(b + format::kTdefUsedPagesMapOffset);
    if (columnCount > 256 || def.variableColumnCount > 256)
        file.damaged(object, QStringLiteral("its definition lists %1 columns, %2 of them variable")
                                 .arg(columnCount)
                                 .arg(def.variableColumnCount));
    const std::uint32_t logicalIndexCount = readU32(b + format::kTdefIndexCountOffset);
    if (realIndexCount > 1000 || logicalIndexCount > 1000)
        file.damaged(object, QStringLiteral("its definition lists %1 indexes over %2 physical ones")
                                 .arg(logicalIndexCount)
                                 .arg(realIndexCount));

    int at = format::kTdefHeaderSize + static_cast<int>(realIndexCount) * format::kTdefRealIndexEntrySize;
    if (at + columnCount * format::kColumnDescriptorSize > size)
        file.damaged(object, QStringLiteral("its column descriptors run past the definition"));
    def.columns.resize(static_cast<std::size_t>(columnCount));
    for (ColumnDef& column : def.columns) {
        const std::uint8_t* d = b + at;
        if (!knownType(d[format::kColumnTypeOffset]))
            file.damaged(object, QStringLiteral("a column has the unknown type code %1").arg(d[0]));
        column.type = static_cast<ColumnType>(d[format::kColumnTypeOffset]);
        column.number = static_cast<int>(readU16(d + format::kColumnNumberOffset));
        column.varIndex = static_cast<int>(readU16(d + format::kColumnVarIndexOffset));
        const std::uint8_t flags = d[format::kColumnFlagsOffset];
        column.fixed = (flags & format::kColumnFlagFixed) != 0;
        column.neverNull = (column.type == ColumnType::Long && (flags & format::kColumnFlagAutoLong)) ||
                           (column.type == ColumnType::Guid && (flags & format::kColumnFlagAutoGuid));
        column.fixedOffset = static_cast<int>(readU16(d + format::kColumnFixedOffsetOffset));
        column.length = static_cast<int>(readU16(d + format::kColumnLengthOffset));
        if (column.type == ColumnType::Numeric) {
            column.precision = d[format::kColumnPrecisionOffset];
            column.scale = d[format::kColumnScaleOffset];
        }
        if (column.type == ColumnType::Text || column.type == ColumnType::Memo)
            column.sortOrder = SortOrder::fromBytes(d + format::kColumnSortOrderOffset);
        if (column.type == ColumnType::Boolean)
            column.length = 0;
        const int fixedSize = fixedSizeOf(column);
        if (column.fixed && column.type != ColumnType::Boolean &&
            (fixedSize == 0 || column.fixedOffset + fixedSize > format::kPageSize))
            file.damaged(object,
                         QStringLiteral("column %1 has an impossible fixed layout").arg(column.number));
        if (column.number > 255 || (!column.fixed && column.varIndex > 255))
            file.damaged(object, QStringLiteral("a column has the impossible number %1").arg(column.number));
        at += format::kColumnDescriptorSize;
    }
    for (ColumnDef& column : def.columns)
        column.name = readDefinitionName(file, object, b, size, at, QStringLiteral("column names"));
    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const ColumnDef& a, const ColumnDef& c) { return a.number < c.number; });
    for (std::size_t i = 1; i < def.columns.size(); ++i) {
        if (def.columns[i].number == def.columns[i - 1].number)
            file.damaged(object,
                         QStringLiteral("two columns share the number %1").arg(def.columns[i].number));
    }
    readIndexDefs(file, object, b, size, at, realIndexCount, logicalIndexCount, def);
    return loaded;
}

} // namespace convodesk::jet4

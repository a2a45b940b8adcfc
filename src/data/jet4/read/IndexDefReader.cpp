#include "IndexDefReader.h"

#include "TableDefReader.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

namespace {

int columnWithNumber(const TableDef& def, int number) {
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (def.columns[i].number == number)
            return static_cast<int>(i);
    }
    return -1;
}

RealIndexDef readRealIndex(const PageReader& file, const QString& object, const std::uint8_t* block,
                           const TableDef& def, int position) {
    RealIndexDef index;
    for (int slot = 0; slot < format::kRealIndexColumnSlots; ++slot) {
        const std::uint8_t* s =
            block + format::kRealIndexColumnsOffset + slot * format::kRealIndexColumnSlotSize;
        const auto number = static_cast<std::uint16_t>(readU16(s));
        if (number == format::kRealIndexUnusedSlot)
            continue;
        const int column = columnWithNumber(def, number);
        if (column < 0)
            file.damaged(object,
                         QStringLiteral("index %1 names column number %2, which the table does not have")
                             .arg(position)
                             .arg(number));
        index.columns.push_back({column, (s[2] & format::kRealIndexColumnAscending) != 0});
    }
    if (index.columns.empty())
        file.damaged(object, QStringLiteral("index %1 has no columns").arg(position));
    index.rootPage = readU32(block + format::kRealIndexRootPageOffset);
    if (index.rootPage == 0 || index.rootPage >= file.pageCount())
        file.damaged(object,
                     QStringLiteral("index %1 starts at page %2, beyond the end of the file (%3 pages)")
                         .arg(position)
                         .arg(index.rootPage)
                         .arg(file.pageCount()));
    index.flags = block[format::kRealIndexFlagsOffset];
    return index;
}

} // namespace

int readIndexDefs(const PageReader& file, const QString& object, const std::uint8_t* b, int size, int at,
                  std::uint32_t realCount, std::uint32_t logicalCount, TableDef& def) {
    const std::int64_t blocks = std::int64_t(realCount) * format::kRealIndexBlockSize +
                                std::int64_t(logicalCount) * format::kLogicalIndexBlockSize;
    if (at + blocks > size)
        file.damaged(object, QStringLiteral("its index definitions run past the definition"));
    def.realIndexes.reserve(realCount);
    for (std::uint32_t i = 0; i < realCount; ++i) {
        def.realIndexes.push_back(readRealIndex(file, object, b + at, def, static_cast<int>(i)));
        at += format::kRealIndexBlockSize;
    }
    def.logicalIndexes.resize(logicalCount);
    for (LogicalIndexDef& index : def.logicalIndexes) {
        const std::uint8_t* block = b + at;
        index.number = static_cast<int>(readU32(block + format::kLogicalIndexNumberOffset));
        const std::uint32_t real = readU32(block + format::kLogicalIndexRealIndexOffset);
        if (real >= realCount)
            file.damaged(object,
                         QStringLiteral("an index uses physical index %1 of %2").arg(real).arg(realCount));
        index.realIndex = static_cast<int>(real);
        index.kind = block[format::kLogicalIndexKindOffset];
        at += format::kLogicalIndexBlockSize;
    }
    for (LogicalIndexDef& index : def.logicalIndexes)
        index.name = readDefinitionName(file, object, b, size, at, QStringLiteral("index names"));
    return at;
}

} // namespace convodesk::jet4

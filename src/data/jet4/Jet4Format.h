#pragma once

#include <QByteArray>
#include <cstdint>

// Layout constants of Jet 4 (.mdb) files, shared by the reader and the writer.
namespace convodesk::jet4::format {

inline constexpr int kPageSize = 4096;

enum PageType : std::uint8_t {
    PageDatabaseHeader = 0x00,
    PageData = 0x01,
    PageTableDefinition = 0x02,
    PageIndexNode = 0x03,
    PageIndexLeaf = 0x04,
    PageUsageBitmap = 0x05,
};

// Page 0.
inline constexpr int kHeaderMagicOffset = 0x04; // "Standard Jet DB\0"
inline constexpr int kHeaderVersionOffset = 0x14;
inline constexpr std::uint8_t kJetVersion4 = 0x01;
inline constexpr int kHeaderMaskOffset = 0x18; // RC4-masked region
inline constexpr int kHeaderMaskLength = 128;
inline constexpr std::uint8_t kHeaderRc4Key[4] = {0xC7, 0xDA, 0x39, 0x6B};
inline constexpr int kHeaderCodePageOffset = 0x3C;
inline constexpr int kHeaderDatabaseKeyOffset = 0x3E; // non-zero: pages are encrypted
inline constexpr int kHeaderPasswordOffset = 0x42;
inline constexpr int kHeaderPasswordLength = 40;
inline constexpr int kHeaderSortOrderOffset = 0x6E;
inline constexpr int kHeaderCreationDateOffset = 0x72;

// The catalog (MSysObjects) definition is always on page 2.
inline constexpr std::uint32_t kCatalogTdefPage = 2;

// Data pages (table rows, usage-map rows, long values).
inline constexpr int kDataFreeSpaceOffset = 2;
inline constexpr int kDataOwnerOffset = 4;
inline constexpr int kDataRowCountOffset = 12;
inline constexpr int kDataRowTableOffset = 14;
inline constexpr int kDataEmptyFreeSpace = kPageSize - kDataRowTableOffset; // 4082
inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
inline constexpr std::uint16_t kRowOverflowFlag = 0x4000;
inline constexpr std::uint16_t kRowLookupFlag = 0x8000;
inline constexpr int kMaxRowsPerPage = 255;
inline constexpr int kMaxRowSize = 4060;
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C; // "LVAL"

// Row pointers: page in the upper 24 bits, row slot in the low byte.
inline constexpr std::uint32_t rowPointer(std::uint32_t page, int slot) {
    return (page << 8) | static_cast<std::uint32_t>(slot & 0xFF);
}
inline constexpr std::uint32_t pointerPage(std::uint32_t pointer) {
    return pointer >> 8;
}
inline constexpr int pointerSlot(std::uint32_t pointer) {
    return static_cast<int>(pointer & 0xFF);
}

// Table definition pages.
inline constexpr int kTdefNextPageOffset = 4;
inline constexpr int kTdefLengthOffset = 8;
inline constexpr int kTdefUnknownOffset = 12;
inline constexpr std::uint32_t kTdefUnknownValue = 1625;
inline constexpr int kTdefRowCountOffset = 16;
inline constexpr int kTdefAutonumberOffset = 20;
inline constexpr int kTdefAutonumberFlagOffset = 24;
inline constexpr int kTdefTableTypeOffset = 40;
inline constexpr int kTdefMaxColumnsOffset = 41;
inline constexpr int kTdefVarColumnsOffset = 43;
inline constexpr int kTdefColumnCountOffset = 45;
inline constexpr int kTdefIndexCountOffset = 47;
inline constexpr int kTdefRealIndexCountOffset = 51;
inline constexpr int kTdefUsedPagesMapOffset = 55;
inline constexpr int kTdefFreePagesMapOffset = 59;
inline constexpr int kTdefHeaderSize = 63;
inline constexpr int kTdefContinuationHeaderSize = 8;
inline constexpr int kTdefRealIndexEntrySize = 12;
inline constexpr std::uint8_t kTableTypeUser = 0x4E;
inline constexpr std::uint8_t kTableTypeSystem = 0x53;

// 25-byte column descriptor.
inline constexpr int kColumnDescriptorSize = 25;
inline constexpr int kColumnTypeOffset = 0;
inline constexpr int kColumnUnknownOffset = 1;
inline constexpr int kColumnNumberOffset = 5;
inline constexpr int kColumnVarIndexOffset = 7;
inline constexpr int kColumnNumberAgainOffset = 9;
inline constexpr int kColumnSortOrderOffset = 11;
inline constexpr int kColumnPrecisionOffset = 11;
inline constexpr int kColumnScaleOffset = 12;
inline constexpr int kColumnFlagsOffset = 15;
inline constexpr int kColumnExtraFlagsOffset = 16;
inline constexpr int kColumnFixedOffsetOffset = 21;
inline constexpr int kColumnLengthOffset = 23;
inline constexpr std::uint8_t kColumnFlagFixed = 0x01;
inline constexpr std::uint8_t kColumnFlagUpdatable = 0x02;
// Autonumber columns (Long and GUID): the database always gives them a value.
inline constexpr std::uint8_t kColumnFlagAutoLong = 0x04;
inline constexpr std::uint8_t kColumnFlagAutoGuid = 0x40;
inline constexpr std::uint16_t kSortOrderGeneral = 0x0409;
inline constexpr int kLongValueColumnEntrySize = 10;

// Long values (memo, OLE): the 12-byte header in the row.
inline constexpr int kLongValueHeaderSize = 12;
inline constexpr std::uint8_t kLongValueInline = 0x80;
inline constexpr std::uint8_t kLongValueSingleRow = 0x40;
inline constexpr std::uint8_t kLongValueChain = 0x00;
inline constexpr int kLongValueMaxLength = 0xFFFFFF;
inline constexpr int kLongValueChainPointerSize = 4;

// Usage maps.
inline constexpr std::uint8_t kUsageMapInline = 0x00;
inline constexpr std::uint8_t kUsageMapReference = 0x01;
inline constexpr int kUsageMapRowSize = 69;
inline constexpr int kUsageMapInlinePages = 8 * (kUsageMapRowSize - 5);       // 512
inline constexpr int kUsageMapReferencePointers = (kUsageMapRowSize - 1) / 4; // 17
inline constexpr int kUsageBitmapHeaderSize = 4;
inline constexpr int kUsageBitmapPagesPerPage = 8 * (kPageSize - kUsageBitmapHeaderSize); // 32736

// Index definitions, after the column names: one block per physical index, then one per
// logical index, then the logical indexes' names.
inline constexpr int kRealIndexBlockSize = 52;
inline constexpr int kRealIndexColumnsOffset = 4; // 10 x [uint16 column number][uint8 flags]
inline constexpr int kRealIndexColumnSlots = 10;
inline constexpr int kRealIndexColumnSlotSize = 3;
inline constexpr std::uint16_t kRealIndexUnusedSlot = 0xFFFF;
inline constexpr std::uint8_t kRealIndexColumnAscending = 0x01;
inline constexpr int kRealIndexRootPageOffset = 38;
inline constexpr int kRealIndexFlagsOffset = 46;
inline constexpr int kLogicalIndexBlockSize = 28;
inline constexpr int kLogicalIndexNumberOffset = 4;
inline constexpr int kLogicalIndexRealIndexOffset = 8;
inline constexpr int kLogicalIndexKindOffset = 23;

// Index pages (0x03 intermediate, 0x04 leaf). Inside an entry every number is big-endian.
inline constexpr int kIndexOwnerOffset = 4;
inline constexpr int kIndexPrevPageOffset = 12;
inline constexpr int kIndexNextPageOffset = 16;
inline constexpr int kIndexTailPageOffset = 20;
inline constexpr int kIndexPrefixLengthOffset = 24;
inline constexpr int kIndexMaskOffset = 27;
inline constexpr int kIndexMaskSize = 453;
inline constexpr int kIndexEntriesOffset = 0x1E0;
inline constexpr int kIndexRowPointerSize = 4;   // 3-byte data page + row slot
inline constexpr int kIndexChildPointerSize = 4; // intermediate entries only

// Text values starting with these two bytes are stored in the compressed form.
inline constexpr std::uint8_t kCompressedTextMarker[2] = {0xFF, 0xFE};

// Date/Time: days since 1899-12-30 00:00.
inline constexpr int kDateEpochYear = 1899;
inline constexpr int kDateEpochMonth = 12;
inline constexpr int kDateEpochDay = 30;

// The catalog (MSysObjects).
inline constexpr int kObjectTypeTable = 1;
inline constexpr int kObjectTypeDatabase = 2;
inline constexpr int kObjectTypeContainer = 3;
inline constexpr int kObjectTypeLinkedOdbc = 4;
inline constexpr int kObjectTypeQuery = 5;
inline constexpr int kObjectTypeLinked = 6;
inline constexpr std::uint32_t kObjectIdPageMask = 0x00FFFFFF;
inline constexpr std::uint32_t kObjectFlagSystem = 0x80000000;
inline constexpr std::uint32_t kObjectFlagSystemAlternative = 0x00000002;
inline constexpr std::uint32_t kObjectFlagHidden = 0x00000008;
inline constexpr std::uint32_t kContainersParentId = 0x0F000000;
inline constexpr std::uint32_t kTablesContainerId = 0x0F000001;
inline constexpr std::uint32_t kQueryIdBase = 0x80000000;

// MSysQueries attribute codes.
enum QueryAttribute : std::uint8_t {
    QueryStart = 0,
    QueryKindRow = 1,
    QueryParameter = 2,
    QuerySelectOptions = 3,
    QuerySourceDatabase = 4,
    QueryTable = 5,
    QueryColumn = 6,
    QueryJoin = 7,
    QueryWhere = 8,
    QueryGroupBy = 9,
    QueryHaving = 10,
    QueryOrderBy = 11,
    QueryEnd = 255,
};

// Little-endian field access on a byte buffer; the caller checks the bounds.
inline void putU8(QByteArray& b, int at, std::uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
}
inline void putU16(QByteArray& b, int at, std::uint32_t v) {
    putU8(b, at, v);
    putU8(b, at + 1, v >> 8);
}
inline void putU24(QByteArray& b, int at, std::uint32_t v) {
    putU16(b, at, v);
    putU8(b, at + 2, v >> 16);
}
inline void putU32(QByteArray& b, int at, std::uint32_t v) {
    putU16(b, at, v);
    putU16(b, at + 2, v >> 16);
}
inline void putU64(QByteArray& b, int at, std::uint64_t v) {
    putU32(b, at, static_cast<std::uint32_t>(v));
    putU32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}
inline std::uint32_t getU8(const QByteArray& b, int at) {
    return static_cast<std::uint8_t>(b[at]);
}
inline std::uint32_t getU16(const QByteArray& b, int at) {
    return getU8(b, at) | (getU8(b, at + 1) << 8);
}
inline std::uint32_t getU32(const QByteArray& b, int at) {
    return getU16(b, at) | (getU16(b, at + 2) << 16);
}

} // namespace convodesk::jet4::format

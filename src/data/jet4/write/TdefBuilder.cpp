#include "TdefBuilder.h"

#include "PageStore.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/TableDef.h"

namespace convodesk::jet4 {

using namespace format;

namespace {
constexpr int kContinuationPayload = kPageSize - kTdefContinuationHeaderSize;

// Index definitions.
constexpr std::uint32_t kRealIndexUnknownValue = 1923;
constexpr int kRealIndexMapOffset = 34; // row, then the 3-byte page of the index's page map
constexpr std::uint8_t kRealIndexAlwaysSet = 0x80;
constexpr std::uint8_t kNoRelationMark = 0x04;
const QString kPrimaryKeyName = QStringLiteral("PrimaryKey");

void appendU16(QByteArray& b, std::uint32_t v) {
    const auto at = static_cast<int>(b.size());
    b.resize(at + 2);
    putU16(b, at, v);
}
void appendU32(QByteArray& b, std::uint32_t v) {
    const auto at = static_cast<int>(b.size());
    b.resize(at + 4);
    putU32(b, at, v);
}
} // namespace

TdefBuilder::TdefBuilder(const TableLayout& layout, bool systemTable, std::vector<int> keyColumns)
    : layout_(layout), system_(systemTable), keyColumns_(std::move(keyColumns)) {}

// The primary key as Access defines it: one physical index (its columns, page map, root and
// flags) and one logical index named "PrimaryKey" of the primary-key kind using it.
void TdefBuilder::appendKeyDefinition(QByteArray& s, const Maps& maps) const {
    QByteArray real(kRealIndexBlockSize, '\0');
    putU32(real, 0, kRealIndexUnknownValue);
    for (int slot = 0; slot < kRealIndexColumnSlots; ++slot) {
        const int at = kRealIndexColumnsOffset + kRealIndexColumnSlotSize * slot;
        const bool used = slot < static_cast<int>(keyColumns_.size());
        putU16(real, at,
               used ? static_cast<std::uint32_t>(
                          layout_.columns[static_cast<std::size_t>(keyColumns_[slot])].number)
                    : kRealIndexUnusedSlot);
        putU8(real, at + 2, used ? kRealIndexColumnAscending : 0);
    }
    putU32(real, kRealIndexMapOffset, maps.keyPages);
    putU32(real, kRealIndexRootPageOffset, maps.keyRoot);
    putU8(real, kRealIndexFlagsOffset, kRealIndexAlwaysSet | RealIndexDef::kRequired | RealIndexDef::kUnique);
    s.append(real);

    QByteArray logical(kLogicalIndexBlockSize, '\0');
    putU32(logical, 0, kTdefUnknownValue);
    putU32(logical, kLogicalIndexNumberOffset, 0);
    putU32(logical, kLogicalIndexRealIndexOffset, 0);
    putU32(logical, 13, 0xFFFFFFFF); // no related index
    putU8(logical, 21, kNoRelationMark);
    putU8(logical, 22, kNoRelationMark);
    putU8(logical, kLogicalIndexKindOffset, LogicalIndexDef::kPrimaryKey);
    s.append(logical);
    appendU16(s, static_cast<std::uint32_t>(kPrimaryKeyName.size() * 2));
    for (QChar ch : kPrimaryKeyName)
        appendU16(s, ch.unicode());
}

QByteArray TdefBuilder::stream(std::uint32_t rowCount, const Maps& maps) const {
    const auto columnCount = static_cast<std::uint32_t>(layout_.columns.size());
    QByteArray s(kTdefHeaderSize, '\0');
    putU8(s, 0, PageTableDefinition);
    putU8(s, 1, 0x01);
    putU32(s, kTdefUnknownOffset, kTdefUnknownValue);
    putU32(s, kTdefRowCountOffset, rowCount);
    putU8(s, kTdefAutonumberFlagOffset, 0x01);
    putU8(s, kTdefTableTypeOffset, system_ ? kTableTypeSystem : kTableTypeUser);
    putU16(s, kTdefMaxColumnsOffset, columnCount);
    putU16(s, kTdefVarColumnsOffset, static_cast<std::uint32_t>(layout_.varColumnCount));
    putU16(s, kTdefColumnCountOffset, columnCount);
    putU32(s, kTdefUsedPagesMapOffset, maps.usedPages);
    putU32(s, kTdefFreePagesMapOffset, maps.freePages);
    if (!keyColumns_.empty()) {
        putU32(s, kTdefIndexCountOffset, 1);
        putU32(s, kTdefRealIndexCountOffset, 1);
        // Row count and distinct keys (the same in a unique index), then 0.
        QByteArray counts(kTdefRealIndexEntrySize, '\0');
        putU32(counts, 0, rowCount);
        putU32(counts, 4, rowCount);
        s.append(counts);
    }

    for (const LayoutColumn& c : layout_.columns) {
        QByteArray d(kColumnDescriptorSize, '\0');
        putU8(d, kColumnTypeOffset, static_cast<std::uint8_t>(c.type));
        putU32(d, kColumnUnknownOffset, kTdefUnknownValue);
        putU16(d, kColumnNumberOffset, static_cast<std::uint32_t>(c.number));
        putU16(d, kColumnVarIndexOffset, c.fixed ? 0 : static_cast<std::uint32_t>(c.varIndex));
        putU16(d, kColumnNumberAgainOffset, static_cast<std::uint32_t>(c.number));
        putU16(d, kColumnSortOrderOffset, kSortOrderGeneral);
        putU8(d, kColumnFlagsOffset, kColumnFlagUpdatable | (c.fixed ? kColumnFlagFixed : 0));
        putU16(d, kColumnFixedOffsetOffset, c.fixed ? static_cast<std::uint32_t>(c.fixedOffset) : 0);
        putU16(d, kColumnLengthOffset, static_cast<std::uint32_t>(c.length));
        s.append(d);
    }
    for (const LayoutColumn& c : layout_.columns) {
        appendU16(s, static_cast<std::uint32_t>(c.name.size() * 2));
        for (QChar ch : c.name)
            appendU16(s, ch.unicode());
    }
    if (!keyColumns_.empty())
        appendKeyDefinition(s, maps);
    for (const LayoutColumn& c : layout_.columns) {
        if (!isLongValueType(c.type))
            continue;
        appendU16(s, static_cast<std::uint32_t>(c.number));
        appendU32(s, maps.freePages);
        appendU32(s, maps.freePages);
    }
    appendU16(s, 0xFFFF);
    putU32(s, kTdefLengthOffset, static_cast<std::uint32_t>(s.size()));
    return s;
}

int TdefBuilder::pageCount() const {
    const auto length = static_cast<int>(stream(0, {}).size());
    if (length <= kPageSize)
        return 1;
    return 1 + (length - kPageSize + kContinuationPayload - 1) / kContinuationPayload;
}

void TdefBuilder::write(PageStore& store, const std::vector<std::uint32_t>& pages, std::uint32_t rowCount,
                        const Maps& maps) const {
    const QByteArray s = stream(rowCount, maps);
    qsizetype at = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QByteArray& p = store.page(pages[i]);
        const int header = i == 0 ? 0 : kTdefContinuationHeaderSize;
        const qsizetype chunk = std::min<qsizetype>(kPageSize - header, s.size() - at);
        p.replace(header, chunk, s.mid(at, chunk));
        at += chunk;
        putU8(p, 0, PageTableDefinition);
        putU8(p, 1, 0x01);
        putU16(p, kDataFreeSpaceOffset, static_cast<std::uint32_t>(kPageSize - header - chunk));
        putU32(p, kTdefNextPageOffset, i + 1 < pages.size() ? pages[i + 1] : 0);
    }
}

} // namespace convodesk::jet4

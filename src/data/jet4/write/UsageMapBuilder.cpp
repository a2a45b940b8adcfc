#include "UsageMapBuilder.h"

#include "PageStore.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <algorithm>
#include <map>

namespace convodesk::jet4 {

using namespace format;

namespace {
void setBit(QByteArray& bytes, int at, std::uint32_t bit) {
    const int byte = at + static_cast<int>(bit / 8);
    bytes[byte] = static_cast<char>(static_cast<std::uint8_t>(bytes[byte]) | (1u << (bit % 8)));
}
} // namespace

QByteArray UsageMapBuilder::empty() {
    QByteArray row(kUsageMapRowSize, '\0');
    putU8(row, 0, kUsageMapInline);
    return row;
}

QByteArray UsageMapBuilder::build(const std::vector<std::uint32_t>& pages, PageStore& store) {
    if (pages.empty())
        return empty();
    const auto [low, high] = std::minmax_element(pages.begin(), pages.end());
    if (*high - *low < static_cast<std::uint32_t>(kUsageMapInlinePages))
        return inlineMap(pages);
    return referenceMap(pages, store);
}

QByteArray UsageMapBuilder::inlineMap(const std::vector<std::uint32_t>& pages) {
    const std::uint32_t base = *std::min_element(pages.begin(), pages.end());
    QByteArray row = empty();
    putU32(row, 1, base);
    for (std::uint32_t p : pages)
        setBit(row, 5, p - base);
    return row;
}

QByteArray UsageMapBuilder::referenceMap(const std::vector<std::uint32_t>& pages, PageStore& store) {
    std::map<std::uint32_t, std::vector<std::uint32_t>> byMapPage;
    for (std::uint32_t p : pages)
        byMapPage[p / kUsageBitmapPagesPerPage].push_back(p % kUsageBitmapPagesPerPage);
    if (byMapPage.rbegin()->first >= static_cast<std::uint32_t>(kUsageMapReferencePointers))
        throw Error(Error::Kind::InvalidInput,
                    QStringLiteral("The table is too large for one database file."));
    QByteArray row(kUsageMapRowSize, '\0');
    putU8(row, 0, kUsageMapReference);
    for (const auto& [index, bits] : byMapPage) {
        const std::uint32_t number = store.allocate();
        QByteArray& bitmap = store.page(number);
        putU8(bitmap, 0, PageUsageBitmap);
        putU8(bitmap, 1, 0x01);
        for (std::uint32_t bit : bits)
            setBit(bitmap, kUsageBitmapHeaderSize, bit);
        putU32(row, 1 + 4 * static_cast<int>(index), number);
    }
    return row;
}

} // namespace convodesk::jet4

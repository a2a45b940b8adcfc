#include "UsageMapReader.h"

#include "data/jet4/Jet4Format.h"

#include <algorithm>

namespace convodesk::jet4 {

namespace {

void addBits(const PageReader& file, const std::uint8_t* bits, int byteCount, std::uint64_t base,
             const QString& object, std::vector<std::uint32_t>& pages) {
    for (int i = 0; i < byteCount; ++i) {
        if (bits[i] == 0)
            continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(bits[i] & (1u << bit)))
                continue;
            const std::uint64_t page = base + std::uint64_t(i) * 8 + bit;
            if (page >= file.pageCount())
                file.damaged(
                    object,
                    QStringLiteral("its usage map lists page %1 beyond the end of the file").arg(page));
            pages.push_back(static_cast<std::uint32_t>(page));
        }
    }
}

} // namespace

std::vector<std::uint32_t> readUsageMap(const PageReader& file, std::uint32_t mapPointer,
                                        const QString& object) {
    const PageReader::Row map = file.rowAt(mapPointer, object);
    if (map.data == nullptr || map.length < 5)
        file.damaged(object, QStringLiteral("its usage map is missing or too short"));
    std::vector<std::uint32_t> pages;
    if (map.data[0] == format::kUsageMapInline) {
        addBits(file, map.data + 5, map.length - 5, readU32(map.data + 1), object, pages);
    } else if (map.data[0] == format::kUsageMapReference) {
        const int pointers = (map.length - 1) / 4;
        for (int j = 0; j < pointers; ++j) {
            const std::uint32_t bitmapPage = readU32(map.data + 1 + 4 * j);
            if (bitmapPage == 0)
                continue;
            const std::uint8_t* p = file.page(bitmapPage, object);
            if (p[0] != format::PageUsageBitmap)
                file.damaged(
                    object,
                    QStringLiteral("its usage map points at page %1, which is no map page").arg(bitmapPage));
            addBits(file, p + format::kUsageBitmapHeaderSize,
                    format::kPageSize - format::kUsageBitmapHeaderSize,
                    std::uint64_t(j) * format::kUsageBitmapPagesPerPage, object, pages);
        }
    } else {
        file.damaged(object, QStringLiteral("its usage map has the unknown form %1").arg(map.data[0]));
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace convodesk::jet4

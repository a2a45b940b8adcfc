#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

class PageStore;

// Builds the usage-map row that lists a table's data pages: the inline form when the pages
// fit in its bitmap, otherwise the reference form with bitmap pages allocated from the store.
class UsageMapBuilder {
public:
    static QByteArray build(const std::vector<std::uint32_t>& pages, PageStore& store);
    // A map that lists no page.
    static QByteArray empty();

private:
    static QByteArray inlineMap(const std::vector<std::uint32_t>& pages);
    static QByteArray referenceMap(const std::vector<std::uint32_t>& pages, PageStore& store);
};

} // namespace convodesk::jet4

#pragma once

#include "TableLayout.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

class PageStore;

// The table definition of one table: header, column descriptors and names, long-value column
// maps, spread over as many tdef pages as it needs.
class TdefBuilder {
public:
    struct Maps {
        std::uint32_t usedPages = 0; // row pointer of the used-pages map
        std::uint32_t freePages = 0; // row pointer of the free-space map
        std::uint32_t keyPages = 0;  // row pointer of the primary key's page map
        std::uint32_t keyRoot = 0;   // the primary key's root page
    };

    // keyColumns: the primary key's columns (positions in the layout), none for no key.
    TdefBuilder(const TableLayout& layout, bool systemTable, std::vector<int> keyColumns = {});

    // Pages the definition takes; the same before and after the maps are known.
    int pageCount() const;
    // Writes the definition onto these pages (pageCount() of them, first one first).
    void write(PageStore& store, const std::vector<std::uint32_t>& pages, std::uint32_t rowCount,
               const Maps& maps) const;

private:
    QByteArray stream(std::uint32_t rowCount, const Maps& maps) const;
    void appendKeyDefinition(QByteArray& s, const Maps& maps) const;

    const TableLayout& layout_;
    bool system_;
    std::vector<int> keyColumns_;
};

} // namespace convodesk::jet4

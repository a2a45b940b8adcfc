#pragma once

#include "PageReader.h"

#include <QString>
#include <vector>

namespace convodesk::jet4 {

// One MSysObjects row, as much of it as the reader uses.
struct CatalogEntry {
    QString name;
    std::uint32_t id = 0;
    int type = 0; // MSysObjects.Type as stored (signed)
    std::uint32_t flags = 0;

    bool isTable() const;
    bool isUserTable() const;
    bool isQuery() const;
    bool isLinkedTable() const;
    std::uint32_t tdefPage() const;
};

// Reads every row of MSysObjects (its definition is always on page 2).
std::vector<CatalogEntry> readCatalog(const std::shared_ptr<const PageReader>& file);

} // namespace convodesk::jet4

#pragma once

#include "PageReader.h"
#include "data/jet4/SortOrder.h"

namespace convodesk::jet4 {

// Checks page 0: a Jet 4 file without password or encryption. Throws Error with its own kind
// and message for a too-small file, a non-database, Jet 3, ACE (.accdb) and a protected file.
void checkHeaderPage(const PageReader& file);

// The database's default sort order, from page 0 (a file checkHeaderPage accepted).
SortOrder readSortOrder(const PageReader& file);

} // namespace convodesk::jet4

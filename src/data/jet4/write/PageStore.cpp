#include "PageStore.h"

#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

std::uint32_t PageStore::allocate() {
    // Row pointers hold the page number in 24 bits.
    if (pages_.size() >= 0xFFFFFF)
        throw Error(Error::Kind::InvalidInput,
                    QStringLiteral("The database would exceed the largest possible size."));
    pages_.emplace_back(format::kPageSize, '\0');
    return static_cast<std::uint32_t>(pages_.size() - 1);
}

} // namespace convodesk::jet4

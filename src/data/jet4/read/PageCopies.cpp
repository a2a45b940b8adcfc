#include "PageCopies.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

const std::uint8_t* PageCopies::find(std::uint32_t number) const {
    const auto it = groups_.find(groupStart(number));
    if (it == groups_.end())
        return nullptr;
    return it->second.get() + std::size_t(number % kGroupPages) * format::kPageSize;
}

std::unique_ptr<std::uint8_t[]> PageCopies::allocate(std::uint32_t pages) {
    return std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(pages) * format::kPageSize);
}

const std::uint8_t* PageCopies::keep(std::uint32_t first, std::unique_ptr<std::uint8_t[]> group) {
    auto& kept = groups_[first];
    kept = std::move(group);
    return kept.get();
}

} // namespace convodesk::jet4

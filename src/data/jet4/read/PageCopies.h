#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace convodesk::jet4 {

// Pages of a file copied into memory of their own, in aligned groups of kGroupPages (one read
// brings the neighbours a lookup tends to want next: the catalog's pages at the start of a
// file, the levels of an index written together). A group stays at the same address until the
// copies go, so a pointer into one holds as long as a mapped page would.
class PageCopies {
public:
    static constexpr std::uint32_t kGroupPages = 4;

    static std::uint32_t groupStart(std::uint32_t page) { return page - page % kGroupPages; }

    // The copy of page `number`, or nullptr if its group has not been copied.
    const std::uint8_t* find(std::uint32_t number) const;
    // Memory for `pages` pages (at most kGroupPages) of the group that starts at page `first`,
    // for the caller to fill; keep() then adds it, and a group not kept is freed.
    static std::unique_ptr<std::uint8_t[]> allocate(std::uint32_t pages);
    const std::uint8_t* keep(std::uint32_t first, std::unique_ptr<std::uint8_t[]> group);
    std::size_t groupCount() const { return groups_.size(); }

private:
    std::unordered_map<std::uint32_t, std::unique_ptr<std::uint8_t[]>> groups_; // by first page
};

} // namespace convodesk::jet4

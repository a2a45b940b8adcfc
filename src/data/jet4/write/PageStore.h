#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

// The pages of a file being written, kept in memory until the whole file is ready.
class PageStore {
public:
    // Appends a zero-filled page and returns its number.
    std::uint32_t allocate();
    QByteArray& page(std::uint32_t number) { return pages_[number]; }
    std::uint32_t pageCount() const { return static_cast<std::uint32_t>(pages_.size()); }

private:
    std::vector<QByteArray> pages_;
};

} // namespace convodesk::jet4

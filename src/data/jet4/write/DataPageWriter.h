#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace convodesk::jet4 {

class PageStore;

// Appends rows to data pages of one owner (a table's tdef page, "LVAL" or 0 for usage maps),
// packing each page downward from its end and starting a new page when one is full.
class DataPageWriter {
public:
    DataPageWriter(PageStore& store, std::uint32_t owner, std::optional<std::uint32_t> firstPage = {});

    // Stores the row and returns its row pointer. Throws Error(InvalidInput) for a row no page can hold.
    std::uint32_t append(const QByteArray& row);
    // The pages written to, in order.
    const std::vector<std::uint32_t>& pages() const { return pages_; }
    // Largest row a fresh page can hold.
    static int maxRowLength();

private:
    void startPage(std::uint32_t number);

    PageStore& store_;
    std::uint32_t owner_;
    std::optional<std::uint32_t> reserved_;
    std::vector<std::uint32_t> pages_;
    int rows_ = 0;
    int freeSpace_ = 0;
    int rowStart_ = 0;
};

} // namespace convodesk::jet4

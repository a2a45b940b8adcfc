#pragma once

#include "PageReader.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace convodesk::jet4 {

// A table's pages read in order through a buffer: each read copies a run of consecutive pages
// of the list (up to 1 MiB) from the file with one system call, so a scan meets its rows in
// the processor's cache instead of page by page. Bytes not read from a file, and pages a read
// does not deliver whole (a file cut short meanwhile), come from PageReader::page(), with its
// checks.
class PageRunBuffer {
public:
    explicit PageRunBuffer(const PageReader& file) : file_(file) {}

    // Page pages[index]; throws as PageReader::page() does. The bytes hold until the next call.
    const std::uint8_t* page(const std::vector<std::uint32_t>& pages, std::size_t index,
                             const QString& object);

private:
    const PageReader& file_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0; // pages
    std::uint32_t first_ = 0;  // pages first_ .. first_ + count_ - 1 are in buffer_
    std::uint32_t count_ = 0;
};

} // namespace convodesk::jet4

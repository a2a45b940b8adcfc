#include "PageRunBuffer.h"

#include "data/jet4/Jet4Format.h"

#include <algorithm>

namespace convodesk::jet4 {

namespace {
constexpr std::size_t kMostPagesARead = 256; // 1 MiB
}

const std::uint8_t* PageRunBuffer::page(const std::vector<std::uint32_t>& pages, std::size_t index,
                                        const QString& object) {
    const std::uint32_t number = pages[index];
    file_.checkPage(number, object);
    if (number - first_ < count_)
        return buffer_.get() + std::size_t(number - first_) * format::kPageSize;
    if (!file_.readsIntoBuffers())
        return file_.page(number, object);
    std::size_t run = 1;
    while (run < kMostPagesARead && index + run < pages.size() && pages[index + run] == number + run &&
           number + run < file_.pageCount())
        ++run;
    // A page standing alone is taken from the reader's kept copies while it keeps them: a lookup
    // meets the catalog's pages more than once and reads them from the file only once.
    if (run == 1 && file_.keepsPageCopies())
        return file_.page(number, object);
    if (run > capacity_) {
        // Sized to the table at hand: a table of one page gets a buffer of one page.
        capacity_ = std::max(run, std::min(capacity_ * 2, kMostPagesARead));
        buffer_.reset();
        buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_ * format::kPageSize);
    }
    count_ = 0;
    if (!file_.readPages(number, static_cast<std::uint32_t>(run), buffer_.get()))
        return file_.page(number, object);
    first_ = number;
    count_ = static_cast<std::uint32_t>(run);
    return buffer_.get();
}

} // namespace convodesk::jet4

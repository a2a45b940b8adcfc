#pragma once

#include "PageReader.h"

#include <QVarLengthArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

// One page of an index tree (leaf or intermediate), checked as untrusted input when loaded:
// its type and owning table, its entry-end mask and its shared prefix. Entries are handed out
// rebuilt in full (the prefix they share with the page's first entry put back).
class IndexPage {
public:
    using Entry = QVarLengthArray<std::uint8_t, 256>;

    // Reads page `number` as a page of an index of the table whose definition is on page
    // `tdefPage`. Throws Error(Damaged) naming `object` when it is none.
    void load(const PageReader& file, std::uint32_t number, std::uint32_t tdefPage, const QString& object);

    std::uint32_t number() const { return number_; }
    bool leaf() const { return leaf_; }
    int count() const { return static_cast<int>(ends_.size()); }
    std::uint32_t prev() const { return prev_; }
    std::uint32_t next() const { return next_; }
    std::uint32_t tail() const { return tail_; } // intermediate pages: the child after all entries

    // Entry `i` (0 <= i < count()): key, then the row pointer, then (intermediate) the child page.
    void entry(int i, Entry& out) const;
    // Bytes of an entry after its key: the row pointer, and the child page on intermediate pages.
    int pointerSize() const;

private:
    const std::uint8_t* page_ = nullptr;
    std::uint32_t number_ = 0;
    bool leaf_ = true;
    std::uint32_t prev_ = 0;
    std::uint32_t next_ = 0;
    std::uint32_t tail_ = 0;
    int prefix_ = 0;
    std::vector<std::uint16_t> ends_; // page offset where each entry ends (the next starts)
};

inline std::uint32_t readBigEndian(const std::uint8_t* p, int size) {
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace convodesk::jet4

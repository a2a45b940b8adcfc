#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

class PageStore;

// Writes one index as a B-tree of index pages: leaves holding the entries in order (each
// page sharing the common start of its entries once), linked to their neighbours, then as
// many levels of intermediate pages as it takes to reach one root. An intermediate page has
// an entry per child (the child's last entry and its page) except its last child, which it
// names in its header.
class IndexPageWriter {
public:
    IndexPageWriter(PageStore& store, std::uint32_t tdefPage);

    // `entries`: sorted, each a key followed by a 4-byte row pointer, none longer than
    // maxEntryLength(). Returns the root page (an empty leaf when there are none).
    std::uint32_t write(const std::vector<QByteArray>& entries);
    // Every page written, in order of writing.
    const std::vector<std::uint32_t>& pages() const { return pages_; }

    // The longest entry a leaf may hold, so that an intermediate page always takes two.
    static int maxEntryLength();

private:
    struct Node {
        std::uint32_t page = 0;
        QByteArray last; // the last leaf entry under this page
    };
    struct Group {
        std::size_t begin = 0;
        std::size_t end = 0;
        int prefix = 0;
    };

    std::vector<Node> writeLeaves(const std::vector<QByteArray>& entries);
    std::vector<Node> writeParents(const std::vector<Node>& children);
    std::vector<std::uint32_t> allocate(std::size_t count);
    QByteArray& startPage(std::uint32_t page, bool leaf, std::uint32_t previous, std::uint32_t next);

    PageStore& store_;
    std::uint32_t tdefPage_;
    std::vector<std::uint32_t> pages_;
};

} // namespace convodesk::jet4

#include "IndexPageWriter.h"

#include "PageStore.h"
#include "data/jet4/Jet4Format.h"

#include <algorithm>

namespace convodesk::jet4 {

using namespace format;

namespace {

// Index page header (leaf 04, intermediate 03).
constexpr int kFreeSpaceOffset = 2;
constexpr int kIntermediateMarkOffset = 26;
constexpr int kEntryArea = kPageSize - kIndexEntriesOffset; // 3616

int commonPrefix(const QByteArray& a, const QByteArray& b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return static_cast<int>(i);
}

void putBigEndian32(QByteArray& b, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        putU8(b, at + i, v >> (8 * (3 - i)));
}

// Copies the entries onto the page from kIndexEntriesOffset, the later ones without their first
// `prefix` bytes, marking where each ends; sets the free space.
void placeEntries(QByteArray& page, const std::vector<QByteArray>& entries, int prefix) {
    int at = kIndexEntriesOffset;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const qsizetype skip = i == 0 ? 0 : prefix;
        page.replace(at, entries[i].size() - skip, entries[i].constData() + skip, entries[i].size() - skip);
        at += static_cast<int>(entries[i].size() - skip);
        const int bit = at - kIndexEntriesOffset;
        putU8(page, kIndexMaskOffset + bit / 8,
              static_cast<std::uint8_t>(page[kIndexMaskOffset + bit / 8]) | (1u << (bit % 8)));
    }
    putU16(page, kFreeSpaceOffset, static_cast<std::uint32_t>(kPageSize - at));
    putU16(page, kIndexPrefixLengthOffset, static_cast<std::uint32_t>(prefix));
}

} // namespace

IndexPageWriter::IndexPageWriter(PageStore& store, std::uint32_t tdefPage)
    : store_(store), tdefPage_(tdefPage) {}

int IndexPageWriter::maxEntryLength() {
    return kEntryArea / 2 - kIndexChildPointerSize;
}

std::uint32_t IndexPageWriter::write(const std::vector<QByteArray>& entries) {
    std::vector<Node> level = writeLeaves(entries);
    while (level.size() > 1)
        level = writeParents(level);
    return level.front().page;
}

std::vector<std::uint32_t> IndexPageWriter::allocate(std::size_t count) {
    std::vector<std::uint32_t> numbers(count);
    for (std::uint32_t& n : numbers) {
        n = store_.allocate();
        pages_.push_back(n);
    }
    return numbers;
}

QByteArray& IndexPageWriter::startPage(std::uint32_t page, bool leaf, std::uint32_t previous,
                                       std::uint32_t next) {
    QByteArray& p = store_.page(page);
    putU8(p, 0, leaf ? PageIndexLeaf : PageIndexNode);
    putU8(p, 1, 0x01);
    putU16(p, kFreeSpaceOffset, kEntryArea);
    putU32(p, kIndexOwnerOffset, tdefPage_);
    putU32(p, kIndexPrevPageOffset, previous);
    putU32(p, kIndexNextPageOffset, next);
    putU8(p, kIntermediateMarkOffset, leaf ? 0 : 1);
    return p;
}

std::vector<IndexPageWriter::Node> IndexPageWriter::writeLeaves(const std::vector<QByteArray>& entries) {
    // Each page takes entries while they fit with the prefix its first and last entry share
    // (sorted entries share at least that much with the first one); never the row slot.
    std::vector<Group> groups;
    if (entries.empty())
        groups.emplace_back(); // an empty index is one empty leaf
    for (std::size_t begin = 0; begin < entries.size();) {
        Group g{begin, begin + 1, 0};
        const QByteArray& first = entries[begin];
        qsizetype rest = 0;
        while (g.end < entries.size()) {
            const QByteArray& next = entries[g.end];
            const int prefix = std::min({commonPrefix(first, next), static_cast<int>(first.size()) - 1,
                                         static_cast<int>(next.size()) - 1});
            const qsizetype size =
                first.size() + rest + next.size() - qsizetype(prefix) * qsizetype(g.end - begin);
            if (size > kEntryArea)
                break;
            rest += next.size();
            g.prefix = prefix;
            ++g.end;
        }
        groups.push_back(g);
        begin = g.end;
    }
    const std::vector<std::uint32_t> numbers = allocate(groups.size());
    std::vector<Node> nodes;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const Group& g = groups[i];
        QByteArray& page = startPage(numbers[i], true, i > 0 ? numbers[i - 1] : 0,
                                     i + 1 < groups.size() ? numbers[i + 1] : 0);
        const std::vector<QByteArray> onPage(entries.begin() + static_cast<std::ptrdiff_t>(g.begin),
                                             entries.begin() + static_cast<std::ptrdiff_t>(g.end));
        placeEntries(page, onPage, g.prefix);
        nodes.push_back({numbers[i], onPage.empty() ? QByteArray() : onPage.back()});
    }
    return nodes;
}

std::vector<IndexPageWriter::Node> IndexPageWriter::writeParents(const std::vector<Node>& children) {
    // A page takes children while the entries of all but its last (the tail) fit.
    std::vector<Group> groups;
    for (std::size_t begin = 0; begin < children.size();) {
        Group g{begin, begin + 1, 0};
        qsizetype size = 0;
        while (g.end < children.size()) {
            const qsizetype grown = size + children[g.end - 1].last.size() + kIndexChildPointerSize;
            if (grown > kEntryArea)
                break;
            size = grown;
            ++g.end;
        }
        groups.push_back(g);
        begin = g.end;
    }
    // A last page with a single child would have no entry: give it one of the page before.
    if (groups.size() > 1 && groups.back().end - groups.back().begin == 1) {
        --groups[groups.size() - 2].end;
        --groups.back().begin;
    }
    const std::vector<std::uint32_t> numbers = allocate(groups.size());
    std::vector<Node> nodes;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const Group& g = groups[i];
        QByteArray& page = startPage(numbers[i], false, i > 0 ? numbers[i - 1] : 0,
                                     i + 1 < groups.size() ? numbers[i + 1] : 0);
        std::vector<QByteArray> entries;
        for (std::size_t c = g.begin; c + 1 < g.end; ++c) {
            QByteArray entry = children[c].last;
            entry.resize(entry.size() + kIndexChildPointerSize);
            putBigEndian32(entry, static_cast<int>(entry.size()) - kIndexChildPointerSize, children[c].page);
            entries.push_back(std::move(entry));
        }
        placeEntries(page, entries, 0);
        putU32(page, kIndexTailPageOffset, children[g.end - 1].page);
        nodes.push_back({numbers[i], children[g.end - 1].last});
    }
    return nodes;
}

} // namespace convodesk::jet4

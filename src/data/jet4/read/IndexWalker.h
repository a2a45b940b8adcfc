#pragma once

#include "IndexPage.h"
#include "PageReader.h"
#include "data/jet4/TableDef.h"

#include <QSet>
#include <cstdint>
#include <memory>

namespace convodesk::jet4 {

// Walks the entries of one physical index in order: down from the root to a leaf, then along
// the leaves' next-page chain. Every page is checked as it is reached (IndexPage), and so is
// the walk itself: a page reached twice, a tree deeper than any real one, a broken chain or
// entries out of (key, row) order are Error(Damaged) naming the table and the index.
class IndexWalker {
public:
    // Throws std::out_of_range when the table has no physical index `realIndex`.
    IndexWalker(std::shared_ptr<const PageReader> file, std::shared_ptr<const TableDef> table, int realIndex);

    // Places the walk before the index's first entry.
    void toFirst();
    // Places the walk before the first entry whose key, cut to `size` bytes, is not below
    // `key` (so the entries starting with `key` come next, if any).
    void seek(const std::uint8_t* key, qsizetype size);
    // Moves to the next entry; false after the last.
    bool next();

    const std::uint8_t* key() const { return entry_.constData(); }
    qsizetype keySize() const { return entry_.size() - format::kIndexRowPointerSize; }
    std::uint32_t dataPage() const { return readBigEndian(entry_.constData() + keySize(), 3); }
    int rowSlot() const { return entry_[keySize() + 3]; }
    // Whether the current entry's key starts with `prefix`.
    bool keyStartsWith(const std::uint8_t* prefix, qsizetype size) const;

    // Memcmp order of the key cut to `size` bytes against `key`: negative, 0 or positive.
    static int compareCut(const std::uint8_t* entryKey, qsizetype entrySize, const std::uint8_t* key,
                          qsizetype size);

private:
    static constexpr int kMaxDepth = 16;

    // From the root down to a leaf, choosing on each intermediate page the first entry whose
    // key, cut to `size` bytes, is not below `key` (or the first entry when `key` is null).
    void descend(const std::uint8_t* key, qsizetype size);
    void loadPage(std::uint32_t number);
    void checkOrder();
    [[noreturn]] void damaged(const QString& what) const;

    std::shared_ptr<const PageReader> file_;
    std::shared_ptr<const TableDef> table_;
    std::uint32_t rootPage_;
    QString object_;
    IndexPage page_;
    int position_ = -1; // entry of page_ last returned
    QSet<std::uint32_t> seen_;
    IndexPage::Entry entry_;
    IndexPage::Entry previous_;
    bool hasPrevious_ = false;
};

} // namespace convodesk::jet4

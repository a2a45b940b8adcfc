#include "IndexWalker.h"

#include "data/jet4/Jet4Format.h"

#include <algorithm>
#include <cstring>

namespace convodesk::jet4 {

IndexWalker::IndexWalker(std::shared_ptr<const PageReader> file, std::shared_ptr<const TableDef> table,
                         int realIndex)
    : file_(std::move(file)), table_(std::move(table)),
      rootPage_(table_->realIndexes.at(static_cast<std::size_t>(realIndex)).rootPage),
      object_(QStringLiteral("index %1 of table \"%2\"").arg(realIndex).arg(table_->name)) {}

void IndexWalker::damaged(const QString& what) const {
    file_->damaged(object_, what);
}

int IndexWalker::compareCut(const std::uint8_t* entryKey, qsizetype entrySize, const std::uint8_t* key,
                            qsizetype size) {
    const qsizetype common = std::min(entrySize, size);
    if (const int c = common > 0 ? std::memcmp(entryKey, key, static_cast<std::size_t>(common)) : 0)
        return c;
    return entrySize < size ? -1 : 0;
}

bool IndexWalker::keyStartsWith(const std::uint8_t* prefix, qsizetype size) const {
    return keySize() >= size &&
           (size == 0 || std::memcmp(key(), prefix, static_cast<std::size_t>(size)) == 0);
}

void IndexWalker::loadPage(std::uint32_t number) {
    if (number == 0)
        damaged(QStringLiteral("an index page points to page 0"));
    if (seen_.contains(number))
        damaged(QStringLiteral("its pages loop at page %1").arg(number));
    seen_.insert(number);
    page_.load(*file_, number, table_->tdefPage, object_);
}

void IndexWalker::descend(const std::uint8_t* key, qsizetype size) {
    seen_.clear();
    hasPrevious_ = false;
    loadPage(rootPage_);
    for (int depth = 0; !page_.leaf(); ++depth) {
        if (depth == kMaxDepth)
            damaged(QStringLiteral("its tree is deeper than %1 levels").arg(kMaxDepth));
        std::uint32_t child = page_.tail();
        for (int i = 0; i < page_.count(); ++i) {
            page_.entry(i, entry_);
            const qsizetype keyBytes = entry_.size() - page_.pointerSize();
            if (!key || compareCut(entry_.constData(), keyBytes, key, size) >= 0) {
                child = readBigEndian(entry_.constData() + keyBytes + format::kIndexRowPointerSize,
                                      format::kIndexChildPointerSize);
                break;
            }
        }
        if (child == 0)
            damaged(QStringLiteral("intermediate page %1 has no last child").arg(page_.number()));
        loadPage(child);
    }
    position_ = -1;
}

void IndexWalker::toFirst() {
    descend(nullptr, 0);
}

void IndexWalker::seek(const std::uint8_t* key, qsizetype size) {
    descend(key, size);
    // Stop just before the first entry not below the key; later leaves are all above it.
    for (int i = 0; i < page_.count(); ++i) {
        page_.entry(i, entry_);
        if (compareCut(entry_.constData(), keySize(), key, size) >= 0)
            break;
        position_ = i;
    }
}

bool IndexWalker::next() {
    while (position_ + 1 >= page_.count()) {
        const std::uint32_t following = page_.next();
        if (following == 0)
            return false;
        const std::uint32_t current = page_.number();
        loadPage(following);
        if (!page_.leaf() || page_.prev() != current)
            damaged(QStringLiteral("leaf page %1 does not follow page %2 in the chain")
                        .arg(following)
                        .arg(current));
        position_ = -1;
    }
    ++position_;
    page_.entry(position_, entry_);
    checkOrder();
    return true;
}

void IndexWalker::checkOrder() {
    if (hasPrevious_) {
        const qsizetype previousKey = previous_.size() - format::kIndexRowPointerSize;
        int c = compareCut(previous_.constData(), previousKey, key(), keySize());
        if (c == 0 && previousKey == keySize())
            c = std::memcmp(previous_.constData() + previousKey, key() + keySize(),
                            format::kIndexRowPointerSize);
        if (c >= 0)
            damaged(QStringLiteral("its entries are out of order on page %1").arg(page_.number()));
    }
    previous_ = entry_;
    hasPrevious_ = true;
}

} // namespace convodesk::jet4

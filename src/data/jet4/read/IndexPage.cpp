#include "IndexPage.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

void IndexPage::load(const PageReader& file, std::uint32_t number, std::uint32_t tdefPage,
                     const QString& object) {
    const std::uint8_t* p = file.page(number, object);
    if (p[0] != format::PageIndexLeaf && p[0] != format::PageIndexNode)
        file.damaged(object, QStringLiteral("page %1 is not an index page").arg(number));
    if (readU32(p + format::kIndexOwnerOffset) != tdefPage)
        file.damaged(object, QStringLiteral("index page %1 belongs to another table").arg(number));
    page_ = p;
    number_ = number;
    leaf_ = p[0] == format::PageIndexLeaf;
    prev_ = readU32(p + format::kIndexPrevPageOffset);
    next_ = readU32(p + format::kIndexNextPageOffset);
    tail_ = readU32(p + format::kIndexTailPageOffset);
    prefix_ = static_cast<int>(readU16(p + format::kIndexPrefixLengthOffset));

    ends_.clear();
    const int minimum = pointerSize() + 1; // at least a flag byte of key
    int start = format::kIndexEntriesOffset;
    for (int byte = 0; byte < format::kIndexMaskSize; ++byte) {
        const std::uint8_t bits = p[format::kIndexMaskOffset + byte];
        for (int bit = 0; bits >> bit; ++bit) {
            if (!((bits >> bit) & 1))
                continue;
            const int end = format::kIndexEntriesOffset + 8 * byte + bit;
            if (end > format::kPageSize)
                file.damaged(object, QStringLiteral("index page %1 has an entry past its end").arg(number));
            const int length = end - start;
            if (ends_.empty() && prefix_ > length)
                file.damaged(object, QStringLiteral("index page %1 shares a prefix of %2 bytes with a first "
                                                    "entry of %3")
                                         .arg(number)
                                         .arg(prefix_)
                                         .arg(length));
            if ((ends_.empty() ? length : prefix_ + length) < minimum)
                file.damaged(
                    object, QStringLiteral("index page %1 has an entry of %2 bytes").arg(number).arg(length));
            ends_.push_back(static_cast<std::uint16_t>(end));
            start = end;
        }
    }
}

int IndexPage::pointerSize() const {
    return format::kIndexRowPointerSize + (leaf_ ? 0 : format::kIndexChildPointerSize);
}

void IndexPage::entry(int i, Entry& out) const {
    const int start = i == 0 ? format::kIndexEntriesOffset : ends_[static_cast<std::size_t>(i) - 1];
    const int end = ends_[static_cast<std::size_t>(i)];
    out.clear();
    if (i > 0)
        out.append(page_ + format::kIndexEntriesOffset, prefix_);
    out.append(page_ + start, end - start);
}

} // namespace convodesk::jet4

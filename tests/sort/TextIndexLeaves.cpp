#include "TextIndexLeaves.h"

#include <QSet>

namespace convodesk::testing {
namespace {

constexpr int kPage = 4096;
constexpr int kEntriesStart = 0x1E0;
constexpr int kMaskStart = 27;
constexpr int kPhysicalIndexSize = 52;
constexpr int kPhysicalCountOffset = 51;
constexpr int kColumnCountOffset = 45;
constexpr int kTdefHeader = 63;
constexpr int kIndexStatsSize = 12;
constexpr int kColumnDescriptorSize = 25;

struct Damage {
    QString what;
};

void need(const QByteArray& b, qsizetype at, int bytes) {
    if (at < 0 || at + bytes > b.size())
        throw Damage{QStringLiteral("read past the end at %1").arg(at)};
}

std::uint32_t le(const QByteArray& b, qsizetype at, int bytes) {
    need(b, at, bytes);
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    return le(b, at, 4);
}

int le16(const QByteArray& b, qsizetype at) {
    return static_cast<int>(le(b, at, 2));
}

std::uint32_t be(const QByteArray& b, qsizetype at, int bytes) {
    need(b, at, bytes);
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

QByteArray page(const QByteArray& file, std::uint32_t number) {
    if (number == 0 || (std::int64_t(number) + 1) * kPage > file.size())
        throw Damage{QStringLiteral("page %1 is outside the file").arg(number)};
    return file.mid(qsizetype(number) * kPage, kPage);
}

// The definition's bytes: the first page whole, continuation pages without their header.
QByteArray definition(const QByteArray& file, std::uint32_t first) {
    QByteArray bytes;
    QSet<std::uint32_t> seen;
    for (std::uint32_t number = first; number != 0; number = le32(page(file, number), 4)) {
        if (seen.contains(number))
            throw Damage{QStringLiteral("definition pages loop")};
        seen.insert(number);
        bytes += page(file, number).mid(bytes.isEmpty() ? 0 : 8);
    }
    return bytes;
}

// The entries of one index page, prefix compression undone.
std::vector<QByteArray> pageEntries(const QByteArray& p) {
    const int prefix = le16(p, 24);
    std::vector<QByteArray> entries;
    int start = kEntriesStart;
    for (int k = 0; kEntriesStart + k <= kPage; ++k) {
        const int maskByte = kMaskStart + k / 8;
        if (maskByte >= kEntriesStart)
            break;
        if (!(static_cast<std::uint8_t>(p.at(maskByte)) & (1 << (k % 8))))
            continue;
        const int end = kEntriesStart + k;
        QByteArray stored = p.mid(start, end - start);
        if (!entries.empty()) {
            if (prefix > entries.front().size())
                throw Damage{QStringLiteral("prefix longer than the first entry")};
            stored.prepend(entries.front().left(prefix));
        }
        entries.push_back(stored);
        start = end;
    }
    return entries;
}

std::vector<LeafEntry> walk(const QByteArray& file, std::uint32_t root) {
    std::uint32_t number = root;
    QSet<std::uint32_t> seen;
    QByteArray p = page(file, number);
    // Down the leftmost children to the first leaf.
    while (p.at(0) == 0x03) {
        if (seen.contains(number))
            throw Damage{QStringLiteral("index pages loop")};
        seen.insert(number);
        const std::vector<QByteArray> entries = pageEntries(p);
        number = entries.empty() ? le32(p, 20) : be(entries.front(), entries.front().size() - 4, 4);
        p = page(file, number);
    }
    std::vector<LeafEntry> leaves;
    while (true) {
        if (p.at(0) != 0x04 || seen.contains(number))
            throw Damage{QStringLiteral("page %1 is not a leaf of the chain").arg(number)};
        seen.insert(number);
        for (const QByteArray& entry : pageEntries(p)) {
            if (entry.size() < 5)
                throw Damage{QStringLiteral("short entry on page %1").arg(number)};
            leaves.push_back({entry.left(entry.size() - 4), be(entry, entry.size() - 4, 3),
                              static_cast<std::uint8_t>(entry.back())});
        }
        number = le32(p, 16);
        if (number == 0)
            return leaves;
        p = page(file, number);
    }
}

} // namespace

std::vector<PhysicalIndex> readTextIndexLeaves(const QByteArray& file, std::uint32_t tdefPage,
                                               QString& error) {
    std::vector<PhysicalIndex> indexes;
    try {
        const QByteArray tdef = definition(file, tdefPage);
        const int columns = le16(tdef, kColumnCountOffset);
        const int physical = static_cast<int>(le32(tdef, kPhysicalCountOffset));
        qsizetype at =
            kTdefHeader + qsizetype(physical) * kIndexStatsSize + qsizetype(columns) * kColumnDescriptorSize;
        for (int c = 0; c < columns; ++c)
            at += 2 + le16(tdef, at);
        for (int i = 0; i < physical; ++i, at += kPhysicalIndexSize) {
            PhysicalIndex index;
            for (int slot = 0; slot < 10; ++slot) {
                const int number = le16(tdef, at + 4 + 3 * slot);
                if (number != 0xFFFF)
                    index.columns.push_back({number, (tdef.at(at + 6 + 3 * slot) & 0x01) != 0});
            }
            index.ignoresNulls = (tdef.at(at + 46) & 0x02) != 0;
            index.entries = walk(file, le32(tdef, at + 38));
            indexes.push_back(std::move(index));
        }
    } catch (const Damage& damage) {
        error = damage.what;
    }
    return indexes;
}

} // namespace convodesk::testing

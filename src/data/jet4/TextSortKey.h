#pragma once

#include <QByteArray>
#include <QStringView>
#include <QVarLengthArray>
#include <cstdint>

namespace convodesk::jet4 {

// The key of a text in Jet 4's General (legacy) sort order, byte for byte as Access stores
// it in a text index entry (flag byte first): two texts are in Jet's order exactly when their
// keys are in bytewise (unsigned) order. Letters sort as their base letter with case ignored,
// accents decide only between texts that are otherwise equal, and punctuation such as '-'
// and "'" only after that.
//
// Trailing spaces are ignored and only the first 255 UTF-16 code units count. A character
// whose code is two letters (ß, Æ, Œ, Þ) counts as one position when later accents or
// punctuation are placed; Access 2003 and later write it so (one Access 2000 build counted
// one position per letter, which changes only bytes after the first 01 of such keys).
class TextSortKey {
public:
    static constexpr qsizetype kIndexedLength = 255;
    static constexpr std::uint8_t kAscendingFlag = 0x7F;
    static constexpr std::uint8_t kDescendingFlag = 0x80;

    using Buffer = QVarLengthArray<std::uint8_t, 128>;

    static QByteArray build(QStringView text, bool descending = false);
    // Appends the key to `key` (reuse one buffer for many texts).
    static void append(QStringView text, Buffer& key, bool descending = false);
    // The order of two texts' keys: negative, 0 (equal keys, as "abc" and "ABC"), positive.
    static int compare(QStringView a, QStringView b);
};

} // namespace convodesk::jet4

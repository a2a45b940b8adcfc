#pragma once

#include "TextSortCode.h"

#include <array>

namespace convodesk::jet4 {

// A sort order's code for every UTF-16 code unit.
class TextSortCodes {
public:
    using Table = std::array<TextSortCode, 0x10000>;

    // The General (legacy) table, generated at build time from sort/ and kept in the
    // program's read-only data: nothing is read or parsed when the program starts.
    static const TextSortCodes& general();

    const TextSortCode& of(char16_t unit) const { return (*codes_)[unit]; }

private:
    explicit constexpr TextSortCodes(const Table& codes) : codes_(&codes) {}
    const Table* codes_;
};

} // namespace convodesk::jet4

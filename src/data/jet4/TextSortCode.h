#pragma once

#include <array>
#include <cstdint>

namespace convodesk::jet4 {

// What Jet 4's General (legacy) sort order puts into a text key for one UTF-16 code unit,
// taken from the code tables in sort/ (sort/README.md), which the build turns into a table
// compiled into the library.
struct TextSortCode {
    enum class Kind : std::uint8_t {
        Ignored,     // contributes nothing
        Simple,      // inline bytes only
        Accented,    // inline bytes and accent bytes (surrogates too, computed)
        Unprintable, // no inline bytes; decides ties at the very end
        Modifier,    // a combining mark: added to the accent byte before it
        Extended,    // inline bytes, maybe accent bytes, and a 2-bit flag
    };
    Kind kind = Kind::Ignored;
    std::uint8_t inlineLength = 0;
    std::uint8_t accentLength = 0;
    std::uint8_t unprintableLength = 0;
    std::array<std::uint8_t, 4> inlineBytes{};
    std::array<std::uint8_t, 2> accent{};
    std::array<std::uint8_t, 1> unprintable{};
    std::uint8_t modifier = 0; // Modifier only
    std::uint8_t flag = 0;     // Extended only: 2 or 3
};

} // namespace convodesk::jet4

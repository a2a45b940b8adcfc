#include "TextSortCodes.h"

namespace convodesk::jet4 {

// Written by the build (sort/generate_sort_codes.cpp).
extern const TextSortCodes::Table kGeneralSortCodes;

const TextSortCodes& TextSortCodes::general() {
    static constexpr TextSortCodes codes(kGeneralSortCodes);
    return codes;
}

} // namespace convodesk::jet4

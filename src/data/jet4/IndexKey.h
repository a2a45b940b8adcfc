#pragma once

#include "TableDef.h"
#include "Value.h"

#include <QVarLengthArray>
#include <cstdint>

namespace convodesk::jet4 {

// The bytes a value takes in a Jet 4 index entry, as Access writes them: one flag byte (present
// or Null, ascending or descending), then bytes that compare (memcmp) in the column's order.
// The key of a row in an index is the concatenation of its columns' keys in index order.
class IndexKey {
public:
    using Buffer = QVarLengthArray<std::uint8_t, 128>;

    static constexpr std::uint8_t kAscendingNull = 0x00;
    static constexpr std::uint8_t kAscendingValue = 0x7F;
    static constexpr std::uint8_t kDescendingValue = 0x80;
    static constexpr std::uint8_t kDescendingNull = 0xFF;

    // Appends the key of `value` as a value of `column` (flag byte first; a Null is the flag
    // alone). False, with `key` unchanged, when the value cannot be keyed: a column type that
    // has no key, a text column in another sort order than General, or a value the column
    // could not hold exactly (a fraction for a whole-number column, a malformed GUID ...).
    static bool append(const ColumnDef& column, bool ascending, const Value& value, Buffer& key);

    // How many leading bytes of `key` (one column's key, as append builds it) an index lookup
    // may rely on. For text, up to the end of its letters part: files from some Access builds
    // place accent and punctuation marks differently after a two-letter character, so the
    // bytes after that part can differ from ours for the same text. The whole key otherwise.
    static qsizetype trustedLength(const ColumnDef& column, bool ascending, const std::uint8_t* key,
                                   qsizetype size);

    // True for the column types append has a rule for (Text and Memo in General order only).
    static bool canKey(const ColumnDef& column);
};

} // namespace convodesk::jet4

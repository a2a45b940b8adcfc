#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace convodesk::jet4 {

// Decodes a stored text: UCS-2LE, or Jet's compressed form (FF FE, then bytes that toggle
// between one byte and two bytes per character at each 00 byte).
QString decodeText(const std::uint8_t* data, int length);
// The same, written to the start of `buffer` (grown when short) without building a QString;
// returns the number of characters written.
int decodeTextInto(const std::uint8_t* data, int length, std::u16string& buffer);

} // namespace convodesk::jet4

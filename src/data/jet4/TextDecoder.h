#pragma once

#include <QString>
#include <cstdint>

namespace convodesk::jet4 {

// Decodes a stored text: UCS-2LE, or Jet's compressed form (FF FE, then bytes that toggle
// between one byte and two bytes per character at each 00 byte).
QString decodeText(const std::uint8_t* data, int length);

} // namespace convodesk::jet4

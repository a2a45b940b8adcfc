#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace convodesk::jet4 {

// Turns text into the bytes of a Text or Memo value. Text is stored as plain UCS-2, except a
// value that starts with U+FEFF: its first two bytes would read as the compressed-text marker,
// so it is stored in the compressed form instead, which keeps every character.
class TextEncoder {
public:
    // nullopt when the text cannot be stored so that it reads back unchanged.
    static std::optional<QByteArray> encode(const QString& text);
};

} // namespace convodesk::jet4

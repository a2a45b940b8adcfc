#include "TextDecoder.h"

#include <algorithm>
#include <cstring>

namespace convodesk::jet4 {

namespace {

bool isCompressed(const std::uint8_t* data, int length) {
    return length >= 2 && data[0] == 0xFF && data[1] == 0xFE;
}

// Calls `put` with each character of a compressed text.
template <typename Put> void expandCompressed(const std::uint8_t* data, int length, Put put) {
    bool compressed = true;
    int i = 2;
    while (i < length) {
        if (data[i] == 0) {
            compressed = !compressed;
            ++i;
        } else if (compressed) {
            put(static_cast<char16_t>(data[i]));
            ++i;
        } else {
            if (i + 1 >= length)
                break;
            put(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
            i += 2;
        }
    }
}

} // namespace

QString decodeText(const std::uint8_t* data, int length) {
    if (isCompressed(data, length)) {
        QString text;
        text.reserve(length - 2);
        expandCompressed(data, length, [&text](char16_t c) { text.append(QChar(c)); });
        return text;
    }
    QString text(length / 2, Qt::Uninitialized);
    std::memcpy(text.data(), data, static_cast<std::size_t>(length / 2) * 2);
    return text;
}

int decodeTextInto(const std::uint8_t* data, int length, std::u16string& buffer) {
    // A compressed text has at most one character a byte, a plain one one for two bytes.
    if (buffer.size() < static_cast<std::size_t>(std::max(length, 0)))
        buffer.resize(static_cast<std::size_t>(length));
    char16_t* out = buffer.data();
    if (isCompressed(data, length)) {
        int count = 0;
        expandCompressed(data, length, [out, &count](char16_t c) { out[count++] = c; });
        return count;
    }
    std::memcpy(out, data, static_cast<std::size_t>(length / 2) * 2);
    return length / 2;
}

} // namespace convodesk::jet4

#include "TextDecoder.h"

#include <cstring>

namespace convodesk::jet4 {

QString decodeText(const std::uint8_t* data, int length) {
    if (length >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString text;
        text.reserve(length - 2);
        bool compressed = true;
        int i = 2;
        while (i < length) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text.append(QChar(data[i]));
                ++i;
            } else {
                if (i + 1 >= length)
                    break;
                text.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
                i += 2;
            }
        }
        return text;
    }
    QString text(length / 2, Qt::Uninitialized);
    std::memcpy(text.data(), data, static_cast<std::size_t>(length / 2) * 2);
    return text;
}

} // namespace convodesk::jet4

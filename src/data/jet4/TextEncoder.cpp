#include "TextEncoder.h"

#include "Jet4Format.h"

namespace convodesk::jet4 {

std::optional<QByteArray> TextEncoder::encode(const QString& text) {
    QByteArray plain(static_cast<qsizetype>(text.size()) * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        format::putU16(plain, static_cast<int>(2 * i), text.at(i).unicode());
    if (!text.startsWith(QChar(0xFEFF)))
        return plain;
    // Compressed form: marker, a 00 byte to switch to two bytes per character, then UCS-2.
    // A zero low byte would switch the mode back, so such characters cannot follow.
    for (QChar c : text) {
        if ((c.unicode() & 0xFF) == 0)
            return std::nullopt;
    }
    QByteArray compressed;
    compressed.append(static_cast<char>(format::kCompressedTextMarker[0]));
    compressed.append(static_cast<char>(format::kCompressedTextMarker[1]));
    compressed.append('\0');
    compressed.append(plain);
    return compressed;
}

} // namespace convodesk::jet4

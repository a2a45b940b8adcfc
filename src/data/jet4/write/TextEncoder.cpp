#include "TextEncoder.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

QString TextEncoder::storedText(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QChar(0xFEFF))
        ++start;
    return start == 0 ? text : text.mid(start);
}

QByteArray TextEncoder::encode(const QString& text) {
    const QString stored = storedText(text);
    QByteArray bytes(stored.size() * 2, '\0');
    for (qsizetype i = 0; i < stored.size(); ++i)
        format::putU16(bytes, static_cast<int>(2 * i), stored.at(i).unicode());
    return bytes;
}

} // namespace convodesk::jet4

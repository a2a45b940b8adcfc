#include "MemoReader.h"

#include "data/jet4/Jet4Format.h"

#include <QSet>

namespace convodesk::jet4 {

QByteArray readLongValue(const PageReader& file, const std::uint8_t* field, int length,
                         const QString& object) {
    if (length < format::kLongValueHeaderSize)
        file.damaged(object, QStringLiteral("a long value field has only %1 bytes").arg(length));
    const int total = static_cast<int>(readU24(field));
    const std::uint8_t kind = field[3];
    const std::uint32_t pointer = readU32(field + 4);
    if (total > file.size())
        file.damaged(object,
                     QStringLiteral("a long value claims %1 bytes, more than the file holds").arg(total));
    if (kind == format::kLongValueInline) {
        if (format::kLongValueHeaderSize + total > length)
            file.damaged(object, QStringLiteral("an inline long value runs past its field"));
        return QByteArray(reinterpret_cast<const char*>(field + format::kLongValueHeaderSize), total);
    }
    if (kind == format::kLongValueSingleRow) {
        const PageReader::Row row = file.rowAt(pointer, object);
        if (row.data == nullptr || row.length < total)
            file.damaged(object, QStringLiteral("a long value row is shorter than its value"));
        return QByteArray(reinterpret_cast<const char*>(row.data), total);
    }
    if (kind != format::kLongValueChain)
        file.damaged(object, QStringLiteral("a long value has the unknown form %1").arg(kind));
    QByteArray value;
    value.reserve(total);
    QSet<std::uint32_t> seen;
    std::uint32_t next = pointer;
    while (value.size() < total) {
        if (next == 0)
            file.damaged(
                object,
                QStringLiteral("a long value chain ends after %1 of %2 bytes").arg(value.size()).arg(total));
        if (seen.contains(next))
            file.damaged(object, QStringLiteral("a long value chain loops"));
        seen.insert(next);
        const PageReader::Row row = file.rowAt(next, object);
        if (row.data == nullptr || row.length < format::kLongValueChainPointerSize)
            file.damaged(object, QStringLiteral("a long value chain row is too short"));
        next = readU32(row.data);
        const int piece = std::min<int>(row.length - format::kLongValueChainPointerSize,
                                        total - static_cast<int>(value.size()));
        value.append(reinterpret_cast<const char*>(row.data + format::kLongValueChainPointerSize), piece);
    }
    return value;
}

} // namespace convodesk::jet4

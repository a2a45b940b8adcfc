#include "LongValueWriter.h"

#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

using namespace format;

namespace {
QByteArray header(int length, std::uint8_t kind, std::uint32_t pointer) {
    QByteArray h(kLongValueHeaderSize, '\0');
    putU24(h, 0, static_cast<std::uint32_t>(length));
    putU8(h, 3, kind);
    putU32(h, 4, pointer);
    return h;
}
} // namespace

LongValueWriter::LongValueWriter(PageStore& store) : pages_(store, kLongValueOwner) {}

QByteArray LongValueWriter::inlineField(const QByteArray& value) {
    return header(static_cast<int>(value.size()), kLongValueInline, 0) + value;
}

QByteArray LongValueWriter::storeOutOfRow(const QByteArray& value) {
    const int length = static_cast<int>(value.size());
    if (value.size() > kLongValueMaxLength)
        throw Error(
            Error::Kind::InvalidInput,
            QStringLiteral("A long value of %1 bytes exceeds the limit of 16 MiB.").arg(value.size()));
    if (length <= kMaxSingleRow)
        return header(length, kLongValueSingleRow, pages_.append(value));
    // Each piece names the next one, so the pieces are written last first.
    std::uint32_t next = 0;
    const int pieces = (length + kChainPiece - 1) / kChainPiece;
    for (int i = pieces - 1; i >= 0; --i) {
        QByteArray row(kLongValueChainPointerSize, '\0');
        putU32(row, 0, next);
        row.append(value.mid(static_cast<qsizetype>(i) * kChainPiece, kChainPiece));
        next = pages_.append(row);
    }
    return header(length, kLongValueChain, next);
}

} // namespace convodesk::jet4

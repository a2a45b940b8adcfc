#include "RowDecoder.h"

#include "MemoReader.h"
#include "TableDefReader.h"
#include "TextDecoder.h"

#include <algorithm>
#include <cstring>

namespace convodesk::jet4 {

namespace {

template <typename T> T load(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

RowDecoder::RowDecoder(const PageReader& file, const TableDef& table)
    : file_(file), table_(table), object_(QStringLiteral("table \"%1\"").arg(table.name)) {
    fields_.reserve(table.columns.size());
    for (const ColumnDef& column : table.columns)
        fields_.push_back(
            {&column, column.type, column.fixed, column.number, 2 + column.fixedOffset, fixedSizeOf(column)});
    for (const Field& field : fields_)
        if (field.column->neverNull)
            neverNull_.push_back(&field);
}

void RowDecoder::damaged(const QString& what) const {
    file_.damaged(object_, what);
}

void RowDecoder::reset(const std::uint8_t* row, int length) {
    row_ = row;
    length_ = length;
    if (length < 2)
        damaged(QStringLiteral("a row has only %1 bytes").arg(length));
    storedColumns_ = static_cast<int>(readU16(row));
    const int maskLength = (storedColumns_ + 7) / 8;
    if (2 + maskLength > length)
        damaged(QStringLiteral("a row's null mask runs past the row"));
    nullMask_ = row + length - maskLength;
    const int beforeMask = length - maskLength;
    varCount_ = 0;
    if (table_.variableColumnCount > 0) {
        if (beforeMask - 2 < 2)
            damaged(QStringLiteral("a row has no room for its variable column count"));
        varCount_ = static_cast<int>(readU16(row + beforeMask - 2));
        varTableEnd_ = beforeMask - 4; // entry 0
        const int tableStart = varTableEnd_ - 2 * varCount_;
        if (tableStart < 2)
            damaged(QStringLiteral("a row's variable offsets run past the row"));
        varDataEnd_ = tableStart;
        fixedEnd_ = static_cast<int>(readU16(row + varTableEnd_));
        if (fixedEnd_ < 2 || fixedEnd_ > varDataEnd_)
            damaged(QStringLiteral("a row's variable data starts at an impossible offset"));
    } else {
        fixedEnd_ = beforeMask;
    }
    for (const Field* field : neverNull_)
        if (field->number < storedColumns_ && !present(*field))
            damaged(QStringLiteral("column \"%1\" is Null in a row, which its definition does not allow")
                        .arg(field->column->name));
}

void RowDecoder::checkTextLength(const ColumnDef& column, int length) const {
    // Two bytes a character, or fewer when compressed (plus its two-byte mark).
    if (column.length > 0 && length > column.length + 2)
        damaged(QStringLiteral("a text of column \"%1\" is longer than the column allows").arg(column.name));
}

const std::uint8_t* RowDecoder::fixedBytes(const Field& field) const {
    if (field.fixedStart + field.fixedSize > fixedEnd_)
        damaged(QStringLiteral("column \"%1\" lies outside a row's fixed data").arg(field.column->name));
    return row_ + field.fixedStart;
}

Value RowDecoder::fixedValue(const Field& field) const {
    return decodeFixed(*field.column, fixedBytes(field), field.fixedSize);
}

Value RowDecoder::decodeFixed(const ColumnDef& column, const std::uint8_t* p, int size) const {
    switch (column.type) {
    case ColumnType::Byte:
        return Value::integer(p[0]);
    case ColumnType::Integer:
        return Value::integer(load<std::int16_t>(p));
    case ColumnType::Long:
        return Value::integer(load<std::int32_t>(p));
    case ColumnType::Currency:
        return Value::currency(load<std::int64_t>(p));
    case ColumnType::Single:
        return Value::single(load<float>(p));
    case ColumnType::Double:
        return Value::real(load<double>(p));
    case ColumnType::DateTime:
        return Value::dateTime(load<double>(p));
    case ColumnType::Guid:
        return Value::text(guidText(p));
    case ColumnType::Numeric:
        return Value::decimal(numericText(p, column.scale));
    case ColumnType::Text:
        return Value::text(decodeText(p, size));
    case ColumnType::Binary:
        return Value::binary(QByteArray(reinterpret_cast<const char*>(p), size));
    default:
        damaged(QStringLiteral("column \"%1\" is marked fixed but has a variable type").arg(column.name));
    }
}

Value RowDecoder::value(int columnIndex) const {
    const Field& field = fields_.at(static_cast<std::size_t>(columnIndex));
    const bool isPresent = present(field);
    if (field.type == ColumnType::Boolean)
        return Value::boolean(isPresent);
    if (!isPresent)
        return Value::null();
    return field.fixed ? fixedValue(field) : variableValue(*field.column);
}

TableCursor::TextRead RowDecoder::textView(int columnIndex, QStringView& text) const {
    const Field& field = fields_.at(static_cast<std::size_t>(columnIndex));
    if (field.type != ColumnType::Text)
        return TableCursor::TextRead::NotText;
    if (!present(field))
        return TableCursor::TextRead::Null;
    const std::uint8_t* bytes = nullptr;
    int length = 0;
    if (field.fixed) {
        bytes = fixedBytes(field);
        length = field.fixedSize;
    } else if (!variableBytes(*field.column, bytes, length)) {
        return TableCursor::TextRead::Null;
    } else {
        checkTextLength(*field.column, length);
    }
    // The buffer may grow while decoding: its address is taken only afterwards.
    const int count = decodeTextInto(bytes, length, textBuffer_);
    text = QStringView(textBuffer_.data(), count);
    return TableCursor::TextRead::Text;
}

bool RowDecoder::variableBytes(const ColumnDef& column, const std::uint8_t*& bytes, int& length) const {
    if (column.varIndex >= varCount_)
        return false;
    const int v = column.varIndex;
    const std::uint8_t* entry = row_ + varTableEnd_ - 2 * v; // entry v; entry v + 1 is 2 bytes lower
    const int start = static_cast<int>(readU16(entry));
    const int end = static_cast<int>(readU16(entry - 2));
    if (start < fixedEnd_ || start > end || end > varDataEnd_)
        damaged(QStringLiteral("column \"%1\" has impossible bounds in a row").arg(column.name));
    // Each value ends where the next begins: the neighbours' offsets must agree, so a value
    // cannot run into the one before or after it whichever columns are read (a read of every
    // column checks the whole offset table this way).
    if ((v > 0 && static_cast<int>(readU16(entry + 2)) > start) ||
        (v + 2 <= varCount_ && static_cast<int>(readU16(entry - 4)) < end))
        damaged(QStringLiteral("a row's variable offsets are out of order"));
    bytes = row_ + start;
    length = end - start;
    return true;
}

Value RowDecoder::variableValue(const ColumnDef& column) const {
    const std::uint8_t* p = nullptr;
    int length = 0;
    if (!variableBytes(column, p, length))
        return Value::null();
    switch (column.type) {
    case ColumnType::Text:
        checkTextLength(column, length);
        return Value::text(decodeText(p, length));
    case ColumnType::Memo: {
        const QByteArray bytes = readLongValue(file_, p, length, object_);
        return Value::text(
            decodeText(reinterpret_cast<const std::uint8_t*>(bytes.constData()), int(bytes.size())));
    }
    case ColumnType::Ole:
        return Value::binary(readLongValue(file_, p, length, object_));
    case ColumnType::Binary:
        return Value::binary(QByteArray(reinterpret_cast<const char*>(p), length));
    default: {
        // A fixed type kept in the variable area (seen after column type changes): decode it there.
        const int size = fixedSizeOf(column.type);
        if (size == 0 || length < size)
            damaged(QStringLiteral("column \"%1\" has a short value").arg(column.name));
        return decodeFixed(column, p, size);
    }
    }
}

QString guidText(const std::uint8_t* b) {
    static const std::uint8_t order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    QString text = QStringLiteral("{");
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += QLatin1Char('-');
        text += QStringLiteral("%1").arg(b[order[i]], 2, 16, QLatin1Char('0')).toUpper();
    }
    return text + QLatin1Char('}');
}

QString numericText(const std::uint8_t* b, int scale) {
    // Byte 0: sign (0x80 = negative); then four 32-bit little-endian words, most significant first.
    std::uint32_t words[4];
    for (int i = 0; i < 4; ++i)
        words[i] = readU32(b + 1 + 4 * i);
    QString digits;
    for (;;) { // repeated division of the 128-bit number by 10
        std::uint64_t remainder = 0;
        bool zero = true;
        for (std::uint32_t& w : words) {
            const std::uint64_t current = (remainder << 32) | w;
            w = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
            zero = zero && w == 0;
        }
        digits.prepend(QChar(u'0' + static_cast<char16_t>(remainder)));
        if (zero)
            break;
    }
    scale = std::clamp(scale, 0, 38);
    while (digits.size() <= scale)
        digits.prepend(QLatin1Char('0'));
    if (scale > 0)
        digits.insert(digits.size() - scale, QLatin1Char('.'));
    const bool negative = (b[0] & 0x80) && std::any_of(digits.cbegin(), digits.cend(),
                                                       [](QChar c) { return c != u'0' && c != u'.'; });
    return negative ? QLatin1Char('-') + digits : digits;
}

} // namespace convodesk::jet4

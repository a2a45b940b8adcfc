#include "RowEncoder.h"

#include "LongValueWriter.h"
#include "TextEncoder.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <bit>
#include <cmath>
#include <limits>

namespace convodesk::jet4 {

using namespace format;

namespace {
QByteArray littleEndian(std::uint64_t v, int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

bool isNumber(const Value& v) {
    return v.kind() == Value::Kind::Integer || v.kind() == Value::Kind::Double ||
           v.kind() == Value::Kind::Single;
}

double asNumber(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        return static_cast<double>(v.asInteger());
    case Value::Kind::Single:
        return v.asSingle();
    default:
        return v.asDouble();
    }
}
} // namespace

RowEncoder::RowEncoder(const TableLayout& layout, QString tableName, LongValueWriter& longValues)
    : layout_(layout), tableName_(std::move(tableName)), longValues_(longValues) {}

void RowEncoder::fail(const LayoutColumn& column, long long rowNumber, const QString& problem) const {
    throw Error(Error::Kind::InvalidInput, QStringLiteral("Table %1, row %2, column %3: %4")
                                               .arg(tableName_)
                                               .arg(rowNumber)
                                               .arg(column.name, problem));
}

RowEncoder::Field RowEncoder::encodeField(const LayoutColumn& column, const Value& value,
                                          long long rowNumber) const {
    Field f;
    if (value.isNull()) {
        if (column.type == ColumnType::Boolean)
            fail(column, rowNumber, QStringLiteral("a Yes/No value cannot be Null."));
        if (column.fixed)
            f.bytes = QByteArray(column.length, '\0');
        return f;
    }
    f.present = true;
    const auto integerIn = [&](std::int64_t low, std::int64_t high) {
        if (value.kind() != Value::Kind::Integer)
            fail(column, rowNumber, QStringLiteral("a whole number is required."));
        if (value.asInteger() < low || value.asInteger() > high)
            fail(column, rowNumber,
                 QStringLiteral("%1 is outside %2..%3.").arg(value.asInteger()).arg(low).arg(high));
        return value.asInteger();
    };
    switch (column.type) {
    case ColumnType::Boolean:
        if (value.kind() != Value::Kind::Boolean)
            fail(column, rowNumber, QStringLiteral("a Yes/No value is required."));
        f.present = value.asBoolean();
        break;
    case ColumnType::Byte:
        f.bytes = littleEndian(static_cast<std::uint64_t>(integerIn(0, 255)), 1);
        break;
    case ColumnType::Integer:
        f.bytes = littleEndian(static_cast<std::uint64_t>(integerIn(-32768, 32767)), 2);
        break;
    case ColumnType::Long:
        f.bytes =
            littleEndian(static_cast<std::uint64_t>(integerIn(std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max())),
                         4);
        break;
    case ColumnType::Currency:
        if (value.kind() != Value::Kind::Currency)
            fail(column, rowNumber, QStringLiteral("a currency amount is required."));
        f.bytes = littleEndian(static_cast<std::uint64_t>(value.asCurrency()), 8);
        break;
    case ColumnType::Single:
        if (!isNumber(value))
            fail(column, rowNumber, QStringLiteral("a number is required."));
        f.bytes = littleEndian(std::bit_cast<std::uint32_t>(static_cast<float>(asNumber(value))), 4);
        break;
    case ColumnType::Double:
        if (!isNumber(value) || !std::isfinite(asNumber(value)))
            fail(column, rowNumber, QStringLiteral("a finite number is required."));
        f.bytes = littleEndian(std::bit_cast<std::uint64_t>(asNumber(value)), 8);
        break;
    case ColumnType::DateTime:
        if (value.kind() != Value::Kind::DateTime || !std::isfinite(value.asDateTime()) ||
            value.asDateTime() < 0)
            fail(column, rowNumber, QStringLiteral("a date from 1899-12-30 on is required."));
        f.bytes = littleEndian(std::bit_cast<std::uint64_t>(value.asDateTime()), 8);
        break;
    case ColumnType::Text:
    case ColumnType::Memo: {
        if (value.kind() != Value::Kind::Text)
            fail(column, rowNumber, QStringLiteral("a text is required."));
        f.bytes = TextEncoder::encode(value.asText());
        if (column.type == ColumnType::Text && f.bytes.size() / 2 > column.maxChars)
            fail(column, rowNumber,
                 QStringLiteral("the text has %1 characters, more than the %2 allowed.")
                     .arg(f.bytes.size() / 2)
                     .arg(column.maxChars));
        f.storeInline = f.bytes.size() <= LongValueWriter::kMaxInline;
        break;
    }
    case ColumnType::Binary:
    case ColumnType::Ole:
        if (value.kind() != Value::Kind::Binary)
            fail(column, rowNumber, QStringLiteral("binary data is required."));
        if (column.type == ColumnType::Binary && value.asBinary().size() > column.length)
            fail(column, rowNumber, QStringLiteral("more than %1 bytes.").arg(column.length));
        f.bytes = value.asBinary();
        f.storeInline = f.bytes.size() <= LongValueWriter::kMaxInline;
        break;
    default:
        fail(column, rowNumber, QStringLiteral("this column type cannot be written."));
    }
    return f;
}

int RowEncoder::rowSize(const std::vector<Field>& fields) const {
    int size = 2 + layout_.fixedAreaSize + layout_.nullMaskSize();
    if (layout_.varColumnCount > 0)
        size += 2 + 2 * layout_.varColumnCount + 2;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const LayoutColumn& c = layout_.columns[i];
        if (c.fixed || !fields[i].present)
            continue;
        if (isLongValueType(c.type))
            size +=
                kLongValueHeaderSize + (fields[i].storeInline ? static_cast<int>(fields[i].bytes.size()) : 0);
        else
            size += static_cast<int>(fields[i].bytes.size());
    }
    return size;
}

std::vector<RowEncoder::Field> RowEncoder::prepare(const std::vector<Value>& values,
                                                   long long rowNumber) const {
    const auto& columns = layout_.columns;
    if (values.size() != columns.size())
        throw Error(Error::Kind::InvalidInput, QStringLiteral("Table %1, row %2: %3 values for %4 columns.")
                                                   .arg(tableName_)
                                                   .arg(rowNumber)
                                                   .arg(values.size())
                                                   .arg(columns.size()));
    std::vector<Field> fields;
    fields.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        fields.push_back(encodeField(columns[i], values[i], rowNumber));
    // Small long values stay in the row unless that makes the row too large.
    if (rowSize(fields) > kMaxRowSize) {
        for (Field& f : fields)
            f.storeInline = false;
    }
    return fields;
}

int RowEncoder::measure(const std::vector<Value>& values, long long rowNumber) const {
    return rowSize(prepare(values, rowNumber));
}

QByteArray RowEncoder::encode(const std::vector<Value>& values, long long rowNumber) {
    const auto& columns = layout_.columns;
    std::vector<Field> fields = prepare(values, rowNumber);
    if (const int size = rowSize(fields); size > kMaxRowSize)
        throw Error(
            Error::Kind::InvalidInput,
            QStringLiteral("Table %1, row %2: the row needs %3 bytes, more than the %4 a row can hold.")
                .arg(tableName_)
                .arg(rowNumber)
                .arg(size)
                .arg(kMaxRowSize));

    QByteArray row;
    row.reserve(rowSize(fields));
    row.append(littleEndian(columns.size(), 2));
    QByteArray fixedArea(layout_.fixedAreaSize, '\0');
    QByteArray mask(layout_.nullMaskSize(), '\0');
    std::vector<int> varStart(static_cast<std::size_t>(layout_.varColumnCount), 0);
    QByteArray varData;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const LayoutColumn& c = columns[i];
        Field& f = fields[i];
        if (f.present)
            mask[c.number / 8] =
                static_cast<char>(static_cast<std::uint8_t>(mask[c.number / 8]) | (1u << (c.number % 8)));
        if (c.fixed) {
            fixedArea.replace(c.fixedOffset, f.bytes.size(), f.bytes);
            continue;
        }
        varStart[static_cast<std::size_t>(c.varIndex)] =
            2 + layout_.fixedAreaSize + static_cast<int>(varData.size());
        if (!f.present)
            continue;
        if (!isLongValueType(c.type))
            varData.append(f.bytes);
        else if (f.storeInline)
            varData.append(LongValueWriter::inlineField(f.bytes));
        else
            varData.append(longValues_.storeOutOfRow(f.bytes));
    }
    row.append(fixedArea);
    row.append(varData);
    if (layout_.varColumnCount > 0) {
        row.append(littleEndian(static_cast<std::uint64_t>(2 + layout_.fixedAreaSize + varData.size()), 2));
        for (int v = layout_.varColumnCount - 1; v >= 0; --v)
            row.append(littleEndian(static_cast<std::uint64_t>(varStart[static_cast<std::size_t>(v)]), 2));
        row.append(littleEndian(static_cast<std::uint64_t>(layout_.varColumnCount), 2));
    }
    row.append(mask);
    return row;
}

} // namespace convodesk::jet4

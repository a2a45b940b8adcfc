#include "IndexKey.h"

#include "TextSortKey.h"

#include <QStringView>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace convodesk::jet4 {
namespace {

using Buffer = IndexKey::Buffer;

constexpr std::uint8_t kTextInlineEnd = 0x01;
constexpr int kBinaryGroup = 8;
constexpr std::uint8_t kMoreGroups = 0x09;
constexpr int kNumericDigitsMax = 38;
constexpr std::int64_t kCurrencyUnit = 10000;

bool isTextType(ColumnType type) {
    return type == ColumnType::Text || type == ColumnType::Memo;
}

// `bytes` most significant first, as the column's ascending key, then flipped when descending.
void appendOrdered(const std::uint8_t* bytes, int count, bool ascending, Buffer& key) {
    for (int i = 0; i < count; ++i)
        key.append(ascending ? bytes[i] : static_cast<std::uint8_t>(~bytes[i]));
}

// A signed whole number: big-endian two's complement with its top bit inverted.
void appendWhole(std::int64_t value, int bytes, bool ascending, Buffer& key) {
    std::array<std::uint8_t, 8> out{};
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < bytes; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * (bytes - 1 - i)));
    out[0] ^= 0x80;
    appendOrdered(out.data(), bytes, ascending, key);
}

// IEEE big-endian: positive numbers get their sign bit set, negative ones are inverted whole,
// so that the bytes order like the numbers.
void appendFloating(std::uint64_t bits, int bytes, bool ascending, Buffer& key) {
    std::array<std::uint8_t, 8> out{};
    for (int i = 0; i < bytes; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * (bytes - 1 - i)));
    const bool negative = (out[0] & 0x80) != 0;
    if (negative) {
        for (int i = 0; i < bytes; ++i)
            out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(~out[static_cast<std::size_t>(i)]);
    } else {
        out[0] ^= 0x80;
    }
    appendOrdered(out.data(), bytes, ascending, key);
}

// Bytes cut into groups of 8, each followed by 09 when more follow; the last group is padded
// with zeros and followed by its real length. Descending flips every byte but the 09s.
void appendBinary(const std::uint8_t* bytes, qsizetype size, bool ascending, Buffer& key) {
    qsizetype at = 0;
    while (size - at > kBinaryGroup) {
        appendOrdered(bytes + at, kBinaryGroup, ascending, key);
        key.append(kMoreGroups);
        at += kBinaryGroup;
    }
    if (size == at)
        return;
    std::array<std::uint8_t, kBinaryGroup + 1> last{};
    std::memcpy(last.data(), bytes + at, static_cast<std::size_t>(size - at));
    last[kBinaryGroup] = static_cast<std::uint8_t>(size - at);
    appendOrdered(last.data(), kBinaryGroup + 1, ascending, key);
}

// The value as a whole number when it is one exactly.
bool wholeNumber(const Value& value, std::int64_t& out) {
    switch (value.kind()) {
    case Value::Kind::Integer:
        out = value.asInteger();
        return true;
    case Value::Kind::Currency:
        out = value.asCurrency() / kCurrencyUnit;
        return value.asCurrency() % kCurrencyUnit == 0;
    case Value::Kind::Double:
    case Value::Kind::Single: {
        const double d = value.kind() == Value::Kind::Double ? value.asDouble() : double(value.asSingle());
        // Within ±2^62, so the conversion below cannot overflow.
        if (!(std::fabs(d) < 0x1p62) || std::trunc(d) != d)
            return false;
        out = static_cast<std::int64_t>(d);
        return true;
    }
    default:
        return false;
    }
}

bool wholeInRange(const Value& value, std::int64_t low, std::int64_t high, std::int64_t& out) {
    return wholeNumber(value, out) && out >= low && out <= high;
}

// A whole number column of `bytes` bytes (Integer, Long).
bool appendSigned(const Value& value, int bytes, bool ascending, Buffer& key) {
    const std::int64_t limit = std::int64_t(1) << (8 * bytes - 1);
    std::int64_t whole = 0;
    if (!wholeInRange(value, -limit, limit - 1, whole))
        return false;
    appendWhole(whole, bytes, ascending, key);
    return true;
}

// The value as a double when it is one exactly.
bool doubleNumber(const Value& value, double& out) {
    switch (value.kind()) {
    case Value::Kind::Double:
        out = value.asDouble();
        return true;
    case Value::Kind::Single:
        out = value.asSingle();
        return true;
    case Value::Kind::Integer:
        out = static_cast<double>(value.asInteger());
        return std::fabs(out) < 0x1p63 && static_cast<std::int64_t>(out) == value.asInteger();
    default:
        return false;
    }
}

std::uint64_t bitsOf(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

std::uint32_t bitsOf(float f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// "{01234567-89AB-CDEF-0123-456789ABCDEF}" (braces optional) as its 16 bytes in text order.
bool guidBytes(QStringView text, std::array<std::uint8_t, 16>& out) {
    if (text.size() == 38 && text.front() == u'{' && text.back() == u'}')
        text = text.mid(1, 36);
    if (text.size() != 36)
        return false;
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != u'-')
                return false;
            continue;
        }
        const int digit = hexDigit(text[i]);
        if (digit < 0)
            return false;
        auto& byte = out[static_cast<std::size_t>(n / 2)];
        byte = static_cast<std::uint8_t>(n % 2 == 0 ? digit << 4 : byte | digit);
        ++n;
    }
    return true;
}

// A decimal number scaled to `scale` places as a 128-bit magnitude (16 bytes, big-endian).
// False when it has more places than that (other than zeros), more digits than Numeric
// holds, or is not a plain decimal number.
bool numericMagnitude(QStringView text, int scale, bool& negative, std::array<std::uint8_t, 16>& out) {
    negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.mid(1);
    const qsizetype point = text.indexOf(u'.');
    QStringView whole = point < 0 ? text : text.left(point);
    QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    while (fraction.size() > scale && fraction.back() == u'0')
        fraction.chop(1);
    if (whole.isEmpty() && fraction.isEmpty())
        return false;
    if (fraction.size() > scale)
        return false;
    std::array<std::uint32_t, 4> words{}; // most significant first
    int digits = 0;
    bool nonZero = false;
    const auto addDigit = [&](char16_t c) {
        if (c < u'0' || c > u'9')
            return false;
        std::uint64_t carry = c - u'0';
        nonZero = nonZero || carry != 0;
        for (auto w = words.rbegin(); w != words.rend(); ++w) {
            const std::uint64_t next = std::uint64_t(*w) * 10 + carry;
            *w = static_cast<std::uint32_t>(next);
            carry = next >> 32;
        }
        return carry == 0 && (!nonZero || ++digits <= kNumericDigitsMax);
    };
    for (QChar c : whole)
        if (!addDigit(c.unicode()))
            return false;
    for (QChar c : fraction)
        if (!addDigit(c.unicode()))
            return false;
    for (qsizetype i = fraction.size(); i < scale; ++i)
        if (!addDigit(u'0'))
            return false;
    for (std::size_t i = 0; i < 16; ++i)
        out[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (3 - i % 4)));
    negative = negative && nonZero;
    return true;
}

bool appendNumeric(const ColumnDef& column, bool ascending, const Value& value, Buffer& key) {
    QString text;
    if (value.kind() == Value::Kind::Decimal)
        text = value.asDecimal();
    else if (value.kind() == Value::Kind::Integer)
        text = QString::number(value.asInteger());
    else
        return false;
    bool negative = false;
    std::array<std::uint8_t, 16> magnitude{};
    if (!numericMagnitude(text, column.scale, negative, magnitude))
        return false;
    // Jet 4's order: the sign byte is FF for positive, 00 for negative numbers; the magnitude
    // is flipped when the sign and the direction agree (so descending negatives stay as they are).
    key.append(negative ? 0x00 : 0xFF);
    appendOrdered(magnitude.data(), 16, negative != ascending, key);
    return true;
}

// The value bytes after the flag; false when the value cannot be keyed.
bool appendValue(const ColumnDef& column, bool ascending, const Value& value, Buffer& key) {
    std::int64_t whole = 0;
    double real = 0;
    switch (column.type) {
    case ColumnType::Byte:
        if (!wholeInRange(value, 0, 255, whole))
            return false;
        key.append(static_cast<std::uint8_t>(ascending ? whole : ~whole));
        return true;
    case ColumnType::Integer:
        return appendSigned(value, 2, ascending, key);
    case ColumnType::Long:
        return appendSigned(value, 4, ascending, key);
    case ColumnType::Currency:
        if (value.kind() == Value::Kind::Currency) {
            whole = value.asCurrency();
        } else if (!wholeInRange(value, std::numeric_limits<std::int64_t>::min() / kCurrencyUnit,
                                 std::numeric_limits<std::int64_t>::max() / kCurrencyUnit, whole)) {
            return false;
        } else {
            whole *= kCurrencyUnit;
        }
        appendWhole(whole, 8, ascending, key);
        return true;
    case ColumnType::Single:
        if (!doubleNumber(value, real) || std::isnan(real) || double(float(real)) != real)
            return false;
        appendFloating(bitsOf(float(real)), 4, ascending, key);
        return true;
    case ColumnType::Double:
        if (!doubleNumber(value, real) || std::isnan(real))
            return false;
        appendFloating(bitsOf(real), 8, ascending, key);
        return true;
    case ColumnType::DateTime:
        if (value.kind() == Value::Kind::DateTime)
            real = value.asDateTime();
        else if (!doubleNumber(value, real))
            return false;
        if (std::isnan(real))
            return false;
        appendFloating(bitsOf(real), 8, ascending, key);
        return true;
    case ColumnType::Boolean: {
        if (value.kind() != Value::Kind::Boolean && !value.isNull())
            return false;
        const bool yes = !value.isNull() && value.asBoolean();
        key.append(yes == ascending ? 0x00 : 0xFF);
        return true;
    }
    case ColumnType::Guid: {
        std::array<std::uint8_t, 16> bytes{};
        if (value.kind() != Value::Kind::Text || !guidBytes(value.asText(), bytes))
            return false;
        appendBinary(bytes.data(), 16, ascending, key);
        return true;
    }
    case ColumnType::Binary:
        if (value.kind() != Value::Kind::Binary)
            return false;
        appendBinary(reinterpret_cast<const std::uint8_t*>(value.asBinary().constData()),
                     value.asBinary().size(), ascending, key);
        return true;
    case ColumnType::Numeric:
        return appendNumeric(column, ascending, value, key);
    default:
        return false;
    }
}

} // namespace

bool IndexKey::canKey(const ColumnDef& column) {
    switch (column.type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return column.sortOrder.isGeneral();
    case ColumnType::Ole:
        return false;
    default:
        return true;
    }
}

bool IndexKey::append(const ColumnDef& column, bool ascending, const Value& value, Buffer& key) {
    if (!canKey(column))
        return false;
    if (value.isNull() && column.type != ColumnType::Boolean) {
        key.append(ascending ? kAscendingNull : kDescendingNull);
        return true;
    }
    if (isTextType(column.type)) {
        if (value.kind() != Value::Kind::Text)
            return false;
        TextSortKey::append(value.asText(), key, !ascending);
        return true;
    }
    const qsizetype before = key.size();
    key.append(ascending ? kAscendingValue : kDescendingValue);
    if (appendValue(column, ascending, value, key))
        return true;
    key.resize(before);
    return false;
}

qsizetype IndexKey::trustedLength(const ColumnDef& column, bool ascending, const std::uint8_t* key,
                                  qsizetype size) {
    if (!isTextType(column.type))
        return size;
    const std::uint8_t end = ascending ? kTextInlineEnd : static_cast<std::uint8_t>(~kTextInlineEnd);
    for (qsizetype i = 1; i < size; ++i)
        if (key[i] == end)
            return i + 1;
    return size;
}

} // namespace convodesk::jet4

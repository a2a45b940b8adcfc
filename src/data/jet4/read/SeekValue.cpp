#include "SeekValue.h"

#include <cmath>
#include <limits>

namespace convodesk::jet4 {

namespace {

// A number given as Integer, Double or Single, as a double; nothing for other kinds and for
// integers a double cannot hold exactly.
std::optional<double> numberOf(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Double:
        return value.asDouble();
    case Value::Kind::Single:
        return value.asSingle();
    case Value::Kind::Integer: {
        const auto d = static_cast<double>(value.asInteger());
        if (static_cast<std::int64_t>(d) != value.asInteger())
            return std::nullopt;
        return d;
    }
    default:
        return std::nullopt;
    }
}

// A whole number given as any numeric kind, exactly; nothing for fractions and other kinds.
std::optional<std::int64_t> wholeNumber(const Value& value) {
    if (value.kind() == Value::Kind::Integer)
        return value.asInteger();
    const std::optional<double> d = numberOf(value);
    // 2^53: beyond it a double no longer tells neighbouring whole numbers apart.
    constexpr double kExact = 9007199254740992.0;
    if (!d || !std::isfinite(*d) || std::trunc(*d) != *d || std::fabs(*d) > kExact)
        return std::nullopt;
    return static_cast<std::int64_t>(*d);
}

std::optional<Value> wholeIn(const Value& value, std::int64_t low, std::int64_t high) {
    const std::optional<std::int64_t> n = wholeNumber(value);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return Value::integer(*n);
}

// A floating value: nothing for zero (its two signs have different keys) and NaN.
std::optional<double> floating(const Value& value) {
    const std::optional<double> d = numberOf(value);
    if (!d || *d == 0 || std::isnan(*d))
        return std::nullopt;
    return d;
}

} // namespace

std::optional<Value> seekValue(const ColumnDef& column, const Value& value) {
    if (value.isNull())
        return std::nullopt;
    switch (column.type) {
    case ColumnType::Byte:
        return wholeIn(value, 0, 255);
    case ColumnType::Integer:
        return wholeIn(value, std::numeric_limits<std::int16_t>::min(),
                       std::numeric_limits<std::int16_t>::max());
    case ColumnType::Long:
        return wholeIn(value, std::numeric_limits<std::int32_t>::min(),
                       std::numeric_limits<std::int32_t>::max());
    case ColumnType::Double:
        if (const std::optional<double> d = floating(value))
            return Value::real(*d);
        return std::nullopt;
    case ColumnType::Single:
        if (const std::optional<double> d = floating(value);
            d && static_cast<double>(static_cast<float>(*d)) == *d)
            return Value::single(static_cast<float>(*d));
        return std::nullopt;
    case ColumnType::Currency: {
        if (value.kind() == Value::Kind::Currency)
            return value;
        // Whole numbers only: a fraction in binary floating point is seldom an exact Currency.
        constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10000;
        const std::optional<std::int64_t> n = wholeNumber(value);
        if (!n || *n > kLimit || *n < -kLimit)
            return std::nullopt;
        return Value::currency(*n * 10000);
    }
    case ColumnType::DateTime:
        if (value.kind() == Value::Kind::DateTime && value.asDateTime() != 0 &&
            !std::isnan(value.asDateTime()))
            return value;
        return std::nullopt;
    case ColumnType::Text:
    case ColumnType::Memo:
        if (value.kind() == Value::Kind::Text && column.sortOrder.isGeneral())
            return value;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace convodesk::jet4

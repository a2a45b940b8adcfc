// Number functions: Abs, Int, Fix, Round, Sgn, Sqr.
#include "Functions.h"
#include "data/DataError.h"
#include "data/query/eval/DateParts.h"
#include "data/query/eval/ValueConversion.h"

#include <cmath>

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

constexpr std::int64_t kCurrencyScale = 10000;

// The result keeps the argument's kind where it can (an Integer stays an Integer); one that
// does not fit that kind is Jet's Overflow.
Value sameKind(const Value& given, double result) {
    switch (given.kind()) {
    case Value::Kind::Integer:
    case Value::Kind::Boolean:
        if (!(std::fabs(result) < 9.2233720368547758e18))
            throw DataError::overflow();
        return Value::integer(static_cast<std::int64_t>(result));
    case Value::Kind::Currency:
        if (!(std::fabs(result) * kCurrencyScale < 9.2233720368547758e18))
            throw DataError::overflow();
        return Value::currency(static_cast<std::int64_t>(std::nearbyint(result * kCurrencyScale)));
    case Value::Kind::DateTime:
        return Value::dateTime(DateParts::checked(result));
    default:
        if (!std::isfinite(result))
            throw DataError::overflow();
        return Value::real(result);
    }
}

std::int64_t checkedNegation(std::int64_t n) {
    if (n == INT64_MIN)
        throw DataError::overflow();
    return -n;
}

// Currency units rounded to a multiple of `unit`: down, toward zero or half to even.
enum class Rounding { Down, TowardZero, HalfEven };
Value currencyRounded(std::int64_t units, std::int64_t unit, Rounding rounding) {
    std::int64_t whole = units / unit;
    const std::int64_t rest = units % unit;
    if (rounding == Rounding::Down && rest < 0)
        --whole;
    if (rounding == Rounding::HalfEven) {
        const std::int64_t twice = 2 * (rest < 0 ? -rest : rest);
        if (twice > unit || (twice == unit && whole % 2 != 0))
            whole += rest < 0 ? -1 : 1;
    }
    std::int64_t result = 0;
    if (__builtin_mul_overflow(whole, unit, &result))
        throw DataError::overflow();
    return Value::currency(result);
}

Value abs(const Args& a) {
    if (a[0].kind() == Value::Kind::Integer)
        return Value::integer(a[0].asInteger() < 0 ? checkedNegation(a[0].asInteger()) : a[0].asInteger());
    if (a[0].kind() == Value::Kind::Currency)
        return Value::currency(a[0].asCurrency() < 0 ? checkedNegation(a[0].asCurrency())
                                                     : a[0].asCurrency());
    return a[0].isNull() ? Value() : sameKind(a[0], std::fabs(convert::toNumber(a[0])));
}
Value intPart(const Args& a) {
    if (a[0].kind() == Value::Kind::Integer)
        return a[0];
    if (a[0].kind() == Value::Kind::Currency)
        return currencyRounded(a[0].asCurrency(), kCurrencyScale, Rounding::Down);
    return a[0].isNull() ? Value() : sameKind(a[0], std::floor(convert::toNumber(a[0])));
}
Value fix(const Args& a) {
    if (a[0].kind() == Value::Kind::Integer)
        return a[0];
    if (a[0].kind() == Value::Kind::Currency)
        return currencyRounded(a[0].asCurrency(), kCurrencyScale, Rounding::TowardZero);
    return a[0].isNull() ? Value() : sameKind(a[0], std::trunc(convert::toNumber(a[0])));
}
// Round(number [, places]): halves to the even neighbour, as Jet does.
Value round(const Args& a) {
    if (a[0].isNull())
        return {};
    const long long places = a.size() > 1 && !a[1].isNull() ? fn::wholeNumber(a[1], "Round") : 0;
    if (places < 0 || places > 15)
        fn::invalidArgument("Round");
    if (a[0].kind() == Value::Kind::Integer && places == 0)
        return a[0];
    if (a[0].kind() == Value::Kind::Currency) {
        std::int64_t unit = 1;
        for (long long p = places; p < 4; ++p)
            unit *= 10;
        return currencyRounded(a[0].asCurrency(), unit, Rounding::HalfEven);
    }
    const double scale = std::pow(10.0, static_cast<double>(places));
    const double result = convert::roundHalfEven(convert::toNumber(a[0]) * scale) / scale;
    return places == 0 ? sameKind(a[0].kind() == Value::Kind::Text ? Value::real(0) : a[0], result)
                       : sameKind(a[0].kind() == Value::Kind::Integer ? Value::real(0) : a[0], result);
}
Value sgn(const Args& a) {
    if (a[0].isNull())
        return {};
    const double n = convert::toNumber(a[0]);
    return Value::integer(n > 0 ? 1 : n < 0 ? -1 : 0);
}
Value sqr(const Args& a) {
    if (a[0].isNull())
        return {};
    const double n = convert::toNumber(a[0]);
    if (n < 0)
        fn::invalidArgument("Sqr");
    return Value::real(std::sqrt(n));
}

const FunctionInfo functions[] = {
    {"Abs", 1, 1, abs},     {"Int", 1, 1, intPart}, {"Fix", 1, 1, fix},
    {"Round", 1, 2, round}, {"Sgn", 1, 1, sgn},     {"Sqr", 1, 1, sqr},
};

} // namespace

std::span<const FunctionInfo> mathFunctions() {
    return functions;
}

} // namespace convodesk::data::query

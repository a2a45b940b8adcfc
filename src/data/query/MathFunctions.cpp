// Number functions: Abs, Int, Fix, Round, Sgn, Sqr.
#include "Functions.h"

#include "ValueConversion.h"

#include <cmath>

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

// The result keeps the argument's kind where it can (an Integer stays an Integer).
Value sameKind(const Value& given, double result) {
    switch (given.kind()) {
    case Value::Kind::Integer:
    case Value::Kind::Boolean:
        return Value::integer(static_cast<std::int64_t>(result));
    case Value::Kind::Currency:
        return Value::currency(static_cast<std::int64_t>(std::nearbyint(result * 10000.0)));
    case Value::Kind::DateTime:
        return Value::dateTime(result);
    default:
        return Value::real(result);
    }
}

Value abs(const Args& a) {
    return a[0].isNull() ? Value() : sameKind(a[0], std::fabs(convert::toNumber(a[0])));
}
Value intPart(const Args& a) {
    return a[0].isNull() ? Value() : sameKind(a[0], std::floor(convert::toNumber(a[0])));
}
Value fix(const Args& a) {
    return a[0].isNull() ? Value() : sameKind(a[0], std::trunc(convert::toNumber(a[0])));
}
// Round(number [, places]): halves to the even neighbour, as Jet does.
Value round(const Args& a) {
    if (a[0].isNull())
        return {};
    const long long places = a.size() > 1 && !a[1].isNull() ? fn::wholeNumber(a[1], "Round") : 0;
    if (places < 0 || places > 15)
        fn::invalidArgument("Round");
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

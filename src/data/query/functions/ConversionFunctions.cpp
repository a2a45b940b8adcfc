// Conversion and Null functions: Val, CStr, CInt, CLng, CSng, CDbl, CCur, CDate, CBool, Nz,
// IsNull, IsNumeric, IsDate.
#include "Functions.h"
#include "data/DataError.h"
#include "data/query/eval/DateParts.h"
#include "data/query/eval/ValueConversion.h"

#include <cmath>
#include <limits>

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

void invalidUse() {
    throw DataError(DataError::InvalidArgument, QStringLiteral("Invalid use of Null."));
}

// Val: the number at the start of a text, blanks ignored; 0 when there is none.
Value val(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    QString text = convert::toText(a[0]);
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\t'));
    int end = 0;
    if (end < text.size() && (text[end] == QLatin1Char('-') || text[end] == QLatin1Char('+')))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    if (end < text.size() && text[end] == QLatin1Char('.'))
        for (++end; end < text.size() && text[end].isDigit();)
            ++end;
    if (end + 1 < text.size() && (text[end] == QLatin1Char('e') || text[end] == QLatin1Char('E'))) {
        int e = end + 1;
        if (text[e] == QLatin1Char('-') || text[e] == QLatin1Char('+'))
            ++e;
        if (e < text.size() && text[e].isDigit()) {
            while (e < text.size() && text[e].isDigit())
                ++e;
            end = e;
        }
    }
    bool ok = false;
    const double number = text.left(end).toDouble(&ok);
    return convert::numberValue(ok && std::isfinite(number) ? number : 0.0);
}

Value cstr(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    if (a[0].kind() == Value::Kind::Boolean)
        return Value::text(a[0].asBoolean() ? QStringLiteral("True") : QStringLiteral("False"));
    return Value::text(convert::toText(a[0]));
}

Value wholeIn(const Value& v, double low, double high) {
    if (v.isNull())
        invalidUse();
    const double number = convert::roundHalfEven(convert::toNumber(v));
    if (!(number >= low && number <= high))
        throw DataError::overflow();
    return Value::integer(static_cast<std::int64_t>(number));
}
Value cint(const Args& a) {
    return wholeIn(a[0], -32768, 32767);
}
Value clng(const Args& a) {
    return wholeIn(a[0], -2147483648.0, 2147483647.0);
}
Value cdbl(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    const double number = convert::toNumber(a[0]);
    if (!std::isfinite(number))
        throw DataError::overflow();
    return Value::real(number);
}
Value csng(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    const double number = convert::toNumber(a[0]);
    if (!(std::fabs(number) <= std::numeric_limits<float>::max()))
        throw DataError::overflow();
    return Value::single(static_cast<float>(number));
}
Value ccur(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    const double units = std::nearbyint(convert::toNumber(a[0]) * 10000.0);
    if (!(std::fabs(units) < 9.2e18))
        throw DataError::overflow();
    return Value::currency(static_cast<std::int64_t>(units));
}
Value cdate(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    return Value::dateTime(DateParts::checked(convert::toDate(a[0])));
}
Value cbool(const Args& a) {
    if (a[0].isNull())
        invalidUse();
    return Value::boolean(convert::toBoolean(a[0]));
}

// Nz(value [, instead]): the value, or for Null the second argument (the empty text if none).
Value nz(const Args& a) {
    if (!a[0].isNull())
        return a[0];
    return a.size() > 1 ? a[1] : Value::text(QString());
}
Value isnull(const Args& a) {
    return Value::boolean(a[0].isNull());
}
Value isnumeric(const Args& a) {
    if (a[0].isNull())
        return Value::boolean(false);
    if (a[0].kind() == Value::Kind::Text)
        return Value::boolean(convert::numberFromText(a[0].asText()).has_value());
    return Value::boolean(convert::isNumeric(a[0]) && a[0].kind() != Value::Kind::DateTime);
}
Value isdate(const Args& a) {
    if (a[0].kind() == Value::Kind::DateTime)
        return Value::boolean(true);
    return Value::boolean(a[0].kind() == Value::Kind::Text && DateParts::parse(a[0].asText()).has_value());
}

const FunctionInfo functions[] = {
    {"Val", 1, 1, val},
    {"CStr", 1, 1, cstr},
    {"CInt", 1, 1, cint},
    {"CLng", 1, 1, clng},
    {"CDbl", 1, 1, cdbl},
    {"CSng", 1, 1, csng},
    {"CCur", 1, 1, ccur},
    {"CDate", 1, 1, cdate},
    {"CVDate", 1, 1, cdate},
    {"CBool", 1, 1, cbool},
    {"Nz", 1, 2, nz},
    {"IsNull", 1, 1, isnull},
    {"IsNumeric", 1, 1, isnumeric},
    {"IsDate", 1, 1, isdate},
};

} // namespace

std::span<const FunctionInfo> conversionFunctions() {
    return functions;
}

} // namespace convodesk::data::query

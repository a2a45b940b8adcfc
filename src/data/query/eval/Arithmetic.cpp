#include "Arithmetic.h"

#include "DateParts.h"
#include "QueryGovernor.h"
#include "ValueConversion.h"
#include "data/DataError.h"

#include <cmath>

namespace convodesk::data::query {
namespace {

using jet4::Value;

bool isWhole(const Value& v) {
    return v.kind() == Value::Kind::Integer || v.kind() == Value::Kind::Boolean;
}

std::int64_t wholeOf(const Value& v) {
    return v.kind() == Value::Kind::Boolean ? (v.asBoolean() ? -1 : 0) : v.asInteger();
}

void divisionByZero() {
    throw DataError(DataError::DivisionByZero, QStringLiteral("Division by zero."));
}

// A Double result beyond the largest Double is Jet's Overflow, not an infinity.
Value real(double result) {
    if (!std::isfinite(result))
        throw DataError::overflow();
    return Value::real(result);
}

// A text operand of arithmetic must read as a number.
double operand(const Value& v) {
    return convert::toNumber(v);
}

Value wholeOrReal(std::int64_t a, std::int64_t b, Expr::Arith op) {
    std::int64_t result = 0;
    bool overflow = false;
    switch (op) {
    case Expr::Arith::Add:
        overflow = __builtin_add_overflow(a, b, &result);
        break;
    case Expr::Arith::Subtract:
        overflow = __builtin_sub_overflow(a, b, &result);
        break;
    default:
        overflow = __builtin_mul_overflow(a, b, &result);
        break;
    }
    if (!overflow)
        return Value::integer(result);
    const double x = static_cast<double>(a), y = static_cast<double>(b);
    return Value::real(op == Expr::Arith::Add ? x + y : op == Expr::Arith::Subtract ? x - y : x * y);
}

std::int64_t roundedWhole(const Value& v) {
    const double n = convert::roundHalfEven(operand(v));
    if (!(std::fabs(n) < 9.2e18))
        throw DataError::overflow();
    return static_cast<std::int64_t>(n);
}

} // namespace

Value arithmetic(Expr::Arith op, const Value& left, const Value& right) {
    if (op == Expr::Arith::Concat) {
        if (left.isNull() && right.isNull())
            return Value::null();
        const QString a = convert::toText(left), b = convert::toText(right);
        QueryGovernor::growing(2 * (std::int64_t(a.size()) + b.size()));
        return Value::text(a + b);
    }
    if (left.isNull() || right.isNull())
        return Value::null();
    const bool leftText = left.kind() == Value::Kind::Text, rightText = right.kind() == Value::Kind::Text;
    switch (op) {
    case Expr::Arith::Add:
        if (leftText && rightText) {
            QueryGovernor::growing(2 * (std::int64_t(left.asText().size()) + right.asText().size()));
            return Value::text(left.asText() + right.asText());
        }
        [[fallthrough]];
    case Expr::Arith::Subtract: {
        const bool leftDate = left.kind() == Value::Kind::DateTime,
                   rightDate = right.kind() == Value::Kind::DateTime;
        if (isWhole(left) && isWhole(right))
            return wholeOrReal(wholeOf(left), wholeOf(right), op);
        if (left.kind() == Value::Kind::Currency && right.kind() == Value::Kind::Currency) {
            std::int64_t result = 0;
            const bool overflow =
                op == Expr::Arith::Add
                    ? __builtin_add_overflow(left.asCurrency(), right.asCurrency(), &result)
                    : __builtin_sub_overflow(left.asCurrency(), right.asCurrency(), &result);
            if (overflow)
                throw DataError::overflow();
            return Value::currency(result);
        }
        const double a = operand(left), b = operand(right);
        const double result = op == Expr::Arith::Add ? a + b : a - b;
        if (leftDate != rightDate && (leftDate || op == Expr::Arith::Add))
            return Value::dateTime(DateParts::checked(result)); // date +/- number, number + date
        return real(result);
    }
    case Expr::Arith::Multiply:
        if (isWhole(left) && isWhole(right))
            return wholeOrReal(wholeOf(left), wholeOf(right), op);
        return real(operand(left) * operand(right));
    case Expr::Arith::Divide: {
        const double b = operand(right);
        if (b == 0)
            divisionByZero();
        return real(operand(left) / b);
    }
    case Expr::Arith::IntDivide:
    case Expr::Arith::Modulo: {
        const std::int64_t a = roundedWhole(left), b = roundedWhole(right);
        if (b == 0)
            divisionByZero();
        if (b == -1)
            return Value::integer(op == Expr::Arith::IntDivide ? (a == INT64_MIN ? a : -a) : 0);
        return Value::integer(op == Expr::Arith::IntDivide ? a / b : a % b);
    }
    case Expr::Arith::Power: {
        const double base = operand(left);
        const double result = std::pow(base, operand(right));
        if (std::isnan(result) || (std::isinf(result) && base == 0))
            throw DataError(DataError::InvalidArgument,
                            QStringLiteral("Invalid procedure call or argument."));
        return real(result);
    }
    case Expr::Arith::Concat:
        break;
    }
    return Value::null();
}

Value negate(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return value;
    case Value::Kind::Integer:
        return value.asInteger() == INT64_MIN ? Value::real(-static_cast<double>(INT64_MIN))
                                              : Value::integer(-value.asInteger());
    case Value::Kind::Boolean:
        return Value::integer(value.asBoolean() ? 1 : 0);
    case Value::Kind::Currency:
        if (value.asCurrency() == INT64_MIN)
            throw DataError::overflow();
        return Value::currency(-value.asCurrency());
    case Value::Kind::DateTime:
        return Value::dateTime(DateParts::checked(-value.asDateTime()));
    default:
        return real(-operand(value));
    }
}

} // namespace convodesk::data::query

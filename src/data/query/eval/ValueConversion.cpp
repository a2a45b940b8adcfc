#include "ValueConversion.h"

#include "DateParts.h"
#include "data/DataError.h"

#include <charconv>
#include <cmath>

namespace convodesk::data::query::convert {
namespace {

using jet4::Value;

QString shortest(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

QString currencyText(std::int64_t tenThousandths) {
    return shortest(static_cast<double>(tenThousandths) / 10000.0);
}

QString dateText(double days) {
    const DateParts parts = DateParts::fromDays(days);
    const bool hasTime = parts.hour || parts.minute || parts.second;
    const bool hasDate = parts.date != DateParts::epoch();
    QString text;
    if (hasDate || !hasTime)
        text =
            QStringLiteral("%1/%2/%3").arg(parts.date.month()).arg(parts.date.day()).arg(parts.date.year());
    if (hasTime) {
        const int hour12 = parts.hour % 12 == 0 ? 12 : parts.hour % 12;
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("%1:%2:%3 %4")
                    .arg(hour12)
                    .arg(parts.minute, 2, 10, QLatin1Char('0'))
                    .arg(parts.second, 2, 10, QLatin1Char('0'))
                    .arg(parts.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    return text;
}

} // namespace

void mismatch() {
    throw DataError(DataError::TypeMismatch, QStringLiteral("Data type mismatch in criteria expression."));
}

bool isNumeric(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Integer:
    case Value::Kind::Double:
    case Value::Kind::Single:
    case Value::Kind::Boolean:
    case Value::Kind::DateTime:
    case Value::Kind::Currency:
    case Value::Kind::Decimal:
        return true;
    default:
        return false;
    }
}

std::optional<double> numberFromText(const QString& given) {
    const QString text = given.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number))
        return number;
    if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const long long hex = text.mid(2).toLongLong(&ok, 16);
        if (ok)
            return static_cast<double>(hex);
    }
    return std::nullopt;
}

double toNumber(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Integer:
        return static_cast<double>(value.asInteger());
    case Value::Kind::Double:
        return value.asDouble();
    case Value::Kind::Single:
        return value.asSingle();
    case Value::Kind::Boolean:
        return value.asBoolean() ? -1 : 0;
    case Value::Kind::DateTime:
        return value.asDateTime();
    case Value::Kind::Currency:
        return static_cast<double>(value.asCurrency()) / 10000.0;
    case Value::Kind::Decimal:
        if (const auto n = numberFromText(value.asDecimal()))
            return *n;
        break;
    case Value::Kind::Text:
        if (const auto n = numberFromText(value.asText()))
            return *n;
        break;
    default:
        break;
    }
    mismatch();
}

QString toText(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Text:
        return value.asText();
    case Value::Kind::Integer:
        return QString::number(value.asInteger());
    case Value::Kind::Double:
        return shortest(value.asDouble());
    case Value::Kind::Single:
        return QString::number(static_cast<double>(value.asSingle()), 'g', 7);
    case Value::Kind::Boolean:
        return value.asBoolean() ? QStringLiteral("-1") : QStringLiteral("0");
    case Value::Kind::DateTime:
        return dateText(value.asDateTime());
    case Value::Kind::Currency:
        return currencyText(value.asCurrency());
    case Value::Kind::Decimal:
        return value.asDecimal();
    case Value::Kind::Binary:
        return QString::fromLatin1(value.asBinary());
    }
    return {};
}

double toDate(const Value& value) {
    if (value.kind() == Value::Kind::Text) {
        if (const auto days = DateParts::parse(value.asText()))
            return *days;
        if (const auto n = numberFromText(value.asText()))
            return *n;
        mismatch();
    }
    return toNumber(value);
}

bool toBoolean(const Value& value) {
    if (value.kind() == Value::Kind::Boolean)
        return value.asBoolean();
    if (value.kind() == Value::Kind::Text) {
        const QString text = value.asText().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toNumber(value) != 0;
}

Value numberValue(double number) {
    if (number == std::trunc(number) && std::fabs(number) <= 9.0e15)
        return Value::integer(static_cast<std::int64_t>(number));
    return Value::real(number);
}

double roundHalfEven(double number) {
    return std::nearbyint(number); // the default rounding mode is to nearest, ties to even
}

} // namespace convodesk::data::query::convert

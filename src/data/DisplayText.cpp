#include "DisplayText.h"

#include "data/query/eval/DateParts.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace convodesk::data {
namespace {

using jet4::Value;

template <typename Real> QString shortestText(Real value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QString currencyText(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                             : static_cast<std::uint64_t>(tenThousandths);
    QString text = QString::number(magnitude / 10000);
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

QString dateTimeText(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return QString::number(days, 'g', QLocale::FloatingPointShortest);
    const query::DateParts parts = query::DateParts::split(days);
    QString text = parts.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (parts.hour || parts.minute || parts.second)
        text += QStringLiteral(" %1:%2:%3")
                    .arg(parts.hour, 2, 10, QLatin1Char('0'))
                    .arg(parts.minute, 2, 10, QLatin1Char('0'))
                    .arg(parts.second, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace

QString displayText(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Text:
        return value.asText();
    case Value::Kind::Integer:
        return QString::number(value.asInteger());
    case Value::Kind::Double:
        return shortestText(value.asDouble());
    case Value::Kind::Single:
        return shortestText(value.asSingle());
    case Value::Kind::Boolean:
        return value.asBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Value::Kind::DateTime:
        return dateTimeText(value.asDateTime());
    case Value::Kind::Currency:
        return currencyText(value.asCurrency());
    case Value::Kind::Decimal:
        return value.asDecimal();
    case Value::Kind::Binary:
        return QString::fromLatin1(value.asBinary().toHex().toUpper());
    }
    return {};
}

} // namespace convodesk::data

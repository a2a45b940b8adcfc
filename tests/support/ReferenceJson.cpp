#include "ReferenceJson.h"

#include <QDateTime>
#include <cmath>

namespace convodesk::testing {

using jet4::Value;

QJsonValue asReferenceJson(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Null:
        return QJsonValue::Null;
    case Value::Kind::Text:
        return v.asText();
    case Value::Kind::Integer:
        return static_cast<double>(v.asInteger());
    case Value::Kind::Double:
        return v.asDouble();
    case Value::Kind::Single:
        return static_cast<double>(v.asSingle());
    case Value::Kind::Boolean:
        return v.asBoolean();
    case Value::Kind::DateTime: {
        const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
        return epoch.addMSecs(std::llround(v.asDateTime() * 86400000.0)).toString(Qt::ISODateWithMs);
    }
    case Value::Kind::Currency: {
        const std::int64_t n = v.asCurrency();
        const std::uint64_t magnitude =
            n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
        return QStringLiteral("%1%2.%3")
            .arg(n < 0 ? QStringLiteral("-") : QString())
            .arg(magnitude / 10000)
            .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    }
    case Value::Kind::Decimal:
        return v.asDecimal();
    case Value::Kind::Binary:
        return QString::fromLatin1(v.asBinary().toHex());
    }
    return QJsonValue::Undefined;
}

QJsonArray readAllRows(const jet4::Database& db, const jet4::TableDef& table) {
    QJsonArray rows;
    auto cursor = db.openCursor(table);
    while (cursor->next()) {
        QJsonArray row;
        for (int i = 0; i < static_cast<int>(table.columns.size()); ++i)
            row.append(asReferenceJson(cursor->value(i)));
        rows.append(row);
    }
    return rows;
}

QString referenceRowText(const QJsonArray& row) {
    QStringList parts;
    for (const QJsonValue v : row)
        parts << (v.isNull() ? QStringLiteral("NULL") : v.toVariant().toString());
    return parts.join(QLatin1Char('|'));
}

} // namespace convodesk::testing

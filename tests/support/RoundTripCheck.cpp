#include "RoundTripCheck.h"

#include "ReferenceReaders.h"
#include "data/jet4/write/TextEncoder.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>
#include <cmath>

namespace convodesk::testing {

using jet4::ColumnType;
using jet4::Value;

namespace {
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kUnixEpochDays = 25569; // 1899-12-30 to 1970-01-01

QDateTime dateOf(double days) {
    const auto ms = static_cast<qint64>(std::llround((days - kUnixEpochDays) * kMsPerDay));
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

QString currencyText(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                    : static_cast<std::uint64_t>(tenThousandths);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

QString describe(const std::optional<QString>& v) {
    return v ? QStringLiteral("\"%1\"").arg(*v) : QStringLiteral("Null");
}
} // namespace

std::optional<QString> RoundTripCheck::exportText(ColumnType type, const Value& v) {
    if (v.isNull())
        return std::nullopt;
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo: {
        // libmdb reports a zero-length text as Null (Access stores "" the same way).
        const QString stored = jet4::TextEncoder::storedText(v.asText());
        return stored.isEmpty() ? std::nullopt : std::optional<QString>(stored);
    }
    case ColumnType::Boolean:
        return v.asBoolean() ? QStringLiteral("1") : QStringLiteral("0");
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
        return QString::number(v.asInteger());
    case ColumnType::Double:
        return QString::asprintf("%.16g", v.asDouble());
    case ColumnType::DateTime:
        return dateOf(v.asDateTime()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case ColumnType::Currency:
        return currencyText(v.asCurrency());
    default:
        return QStringLiteral("?");
    }
}

QJsonValue RoundTripCheck::readerValue(ColumnType type, const Value& v) {
    if (v.isNull())
        return QJsonValue::Null;
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return jet4::TextEncoder::storedText(v.asText());
    case ColumnType::Boolean:
        return v.asBoolean();
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
        return static_cast<double>(v.asInteger());
    case ColumnType::Double:
        return v.asDouble();
    case ColumnType::DateTime:
        return dateOf(v.asDateTime()).toString(Qt::ISODateWithMs);
    case ColumnType::Currency:
        return currencyText(v.asCurrency());
    default:
        return QStringLiteral("?");
    }
}

bool RoundTripCheck::matchesMdbExport(const QString& file, const jet4::WriterTable& table) {
    const dbtool::CsvTable csv = ReferenceReaders::mdbExport(file, table.name);
    QStringList names;
    for (const auto& c : table.columns)
        names << c.name;
    [&] { QCOMPARE(csv.header, names); }();
    if (QTest::currentTestFailed())
        return false;
    [&] { QCOMPARE(csv.rows.size(), table.rows.size()); }();
    for (std::size_t r = 0; r < table.rows.size() && !QTest::currentTestFailed(); ++r) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const auto expected = exportText(table.columns[c].type, table.rows[r][c]);
            const auto& actual = csv.rows[r][c];
            if (expected != actual) {
                QTest::qFail(qPrintable(QStringLiteral("mdb-export %1 row %2 column %3: got %4, expected %5")
                                            .arg(table.name)
                                            .arg(r + 1)
                                            .arg(table.columns[c].name, describe(actual).left(200),
                                                 describe(expected).left(200))),
                             __FILE__, __LINE__);
                return false;
            }
        }
    }
    return !QTest::currentTestFailed();
}

bool RoundTripCheck::matchesMdbReader(const QString& file, const jet4::WriterTable& table) {
    const QJsonObject dump = ReferenceReaders::mdbReaderDump(file, {table.name});
    const QJsonObject t = dump.value(QStringLiteral("data")).toObject().value(table.name).toObject();
    const QJsonArray rows = t.value(QStringLiteral("rows")).toArray();
    [&] {
        QCOMPARE(t.value(QStringLiteral("rowCount")).toInteger(), static_cast<qint64>(table.rows.size()));
        QCOMPARE(rows.size(), static_cast<qsizetype>(table.rows.size()));
        const QJsonArray columns = t.value(QStringLiteral("columns")).toArray();
        QCOMPARE(columns.size(), static_cast<qsizetype>(table.columns.size()));
        for (qsizetype c = 0; c < columns.size(); ++c)
            QCOMPARE(columns[c].toObject().value(QStringLiteral("name")).toString(), table.columns[c].name);
    }();
    for (std::size_t r = 0; r < table.rows.size() && !QTest::currentTestFailed(); ++r) {
        const QJsonArray row = rows[static_cast<qsizetype>(r)].toArray();
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const QJsonValue expected = readerValue(table.columns[c].type, table.rows[r][c]);
            const QJsonValue actual = row[static_cast<qsizetype>(c)];
            if (expected != actual) {
                QTest::qFail(
                    qPrintable(
                        QStringLiteral("mdb-reader %1 row %2 column %3: got %4, expected %5")
                            .arg(table.name)
                            .arg(r + 1)
                            .arg(table.columns[c].name,
                                 QString::fromUtf8(
                                     QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact))
                                     .left(200),
                                 QString::fromUtf8(
                                     QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact))
                                     .left(200))),
                    __FILE__, __LINE__);
                return false;
            }
        }
    }
    return !QTest::currentTestFailed();
}

} // namespace convodesk::testing

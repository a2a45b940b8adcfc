// Index keys of every column type: worked examples byte for byte, then every key Access
// stored in the indexes of the Access-made files, rebuilt from the rows' values.
#include "TextIndexLeaves.h"
#include "data/jet4/Error.h"
#include "data/jet4/IndexKey.h"
#include "data/jet4/read/Database.h"
#include "support/CorpusFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <map>

using namespace convodesk;
using jet4::ColumnType;
using jet4::IndexKey;
using jet4::Value;

Q_DECLARE_METATYPE(convodesk::jet4::Value)

namespace {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

jet4::ColumnDef columnOf(ColumnType type, int scale = 0) {
    jet4::ColumnDef column;
    column.type = type;
    column.scale = scale;
    return column;
}

QByteArray toBytes(const IndexKey::Buffer& key) {
    return QByteArray(reinterpret_cast<const char*>(key.data()), key.size());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class IndexKeyTest : public QObject {
    Q_OBJECT

private slots:
    // An empty key means the value cannot be keyed.
    void examples_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<Value>("value");
        QTest::addColumn<QByteArray>("key");
        const auto row = [](const char* name, ColumnType type, const Value& value, const char* key,
                            bool ascending = true, int scale = 0) {
            QTest::newRow(name) << int(type) << scale << ascending << value << hex(key);
        };
        row("long 1", ColumnType::Long, Value::integer(1), "7F 80 00 00 01");
        row("long -1", ColumnType::Long, Value::integer(-1), "7F 7F FF FF FF");
        row("long 1 desc", ColumnType::Long, Value::integer(1), "80 7F FF FF FE", false);
        row("long null", ColumnType::Long, Value::null(), "00");
        row("long null desc", ColumnType::Long, Value::null(), "FF", false);
        row("long from whole double", ColumnType::Long, Value::real(7), "7F 80 00 00 07");
        row("long fraction", ColumnType::Long, Value::real(7.5), "");
        row("long too big", ColumnType::Long, Value::integer(1LL << 31), "");
        row("integer -2", ColumnType::Integer, Value::integer(-2), "7F 7F FE");
        row("integer too big", ColumnType::Integer, Value::integer(40000), "");
        row("byte 200", ColumnType::Byte, Value::integer(200), "7F C8");
        row("byte 200 desc", ColumnType::Byte, Value::integer(200), "80 37", false);
        row("byte negative", ColumnType::Byte, Value::integer(-1), "");
        row("currency 1.5", ColumnType::Currency, Value::currency(15000), "7F 80 00 00 00 00 00 3A 98");
        row("currency from whole", ColumnType::Currency, Value::integer(-1), "7F 7F FF FF FF FF FF D8 F0");
        row("double 1", ColumnType::Double, Value::real(1.0), "7F BF F0 00 00 00 00 00 00");
        row("double -1", ColumnType::Double, Value::real(-1.0), "7F 40 0F FF FF FF FF FF FF");
        row("double 0", ColumnType::Double, Value::real(0.0), "7F 80 00 00 00 00 00 00 00");
        row("double 1 desc", ColumnType::Double, Value::real(1.0), "80 40 0F FF FF FF FF FF FF", false);
        row("double -1 desc", ColumnType::Double, Value::real(-1.0), "80 BF F0 00 00 00 00 00 00", false);
        row("single 1", ColumnType::Single, Value::single(1.0F), "7F BF 80 00 00");
        row("single inexact", ColumnType::Single, Value::real(0.1), "");
        row("date", ColumnType::DateTime, Value::dateTime(36526.5), "7F C0 E1 D5 D0 00 00 00 00");
        row("yes", ColumnType::Boolean, Value::boolean(true), "7F 00");
        row("no", ColumnType::Boolean, Value::boolean(false), "7F FF");
        row("yes desc", ColumnType::Boolean, Value::boolean(true), "80 FF", false);
        row("guid", ColumnType::Guid, Value::text(QStringLiteral("{00112233-4455-6677-8899-AABBCCDDEEFF}")),
            "7F 00 11 22 33 44 55 66 77 09 88 99 AA BB CC DD EE FF 08");
        row("guid desc", ColumnType::Guid,
            Value::text(QStringLiteral("{00112233-4455-6677-8899-AABBCCDDEEFF}")),
            "80 FF EE DD CC BB AA 99 88 09 77 66 55 44 33 22 11 00 F7", false);
        row("guid malformed", ColumnType::Guid, Value::text(QStringLiteral("{0011}")), "");
        row("binary 3", ColumnType::Binary, Value::binary(hex("01 02 03")), "7F 01 02 03 00 00 00 00 00 03");
        row("binary 9", ColumnType::Binary, Value::binary(hex("01 02 03 04 05 06 07 08 09")),
            "7F 01 02 03 04 05 06 07 08 09 09 00 00 00 00 00 00 00 01");
        row("numeric 1.5", ColumnType::Numeric, Value::decimal(QStringLiteral("1.5")),
            "7F FF 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 96", true, 2);
        row("numeric -1.5", ColumnType::Numeric, Value::decimal(QStringLiteral("-1.50")),
            "7F 00 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 69", true, 2);
        row("numeric -1.5 desc", ColumnType::Numeric, Value::decimal(QStringLiteral("-1.5")),
            "80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 96", false, 2);
        row("numeric too many places", ColumnType::Numeric, Value::decimal(QStringLiteral("1.125")), "", true,
            2);
        row("text", ColumnType::Text, Value::text(QStringLiteral("ABC")), "7F 4A 4C 4D 01 00");
        row("text desc", ColumnType::Text, Value::text(QStringLiteral("abc")), "80 B5 B3 B2 FE FF 00", false);
        row("memo", ColumnType::Memo, Value::text(QStringLiteral("9")), "7F 48 01 00");
        row("text from number", ColumnType::Text, Value::integer(9), "");
        row("ole", ColumnType::Ole, Value::binary(hex("01")), "");
    }
    void examples() {
        QFETCH(int, type);
        QFETCH(int, scale);
        QFETCH(bool, ascending);
        QFETCH(Value, value);
        QFETCH(QByteArray, key);
        IndexKey::Buffer built;
        built.append(0xAB); // appends after what is there, and leaves it alone on failure
        const bool keyed = IndexKey::append(columnOf(ColumnType(type), scale), ascending, value, built);
        QCOMPARE(keyed, !key.isEmpty());
        QCOMPARE(toBytes(built).toHex(' '), (QByteArray("\xAB") + key).toHex(' '));
    }

    void orderOfSignedNumbers() {
        const auto keyOf = [](ColumnType type, const Value& v) {
            IndexKey::Buffer key;
            IndexKey::append(columnOf(type, 2), true, v, key);
            return toBytes(key);
        };
        const std::vector<double> doubles = {-1e300, -2.5, -1, -1e-300, 0, 1e-300, 0.5, 1, 3e10};
        for (std::size_t i = 1; i < doubles.size(); ++i)
            QVERIFY(keyOf(ColumnType::Double, Value::real(doubles[i - 1])) <
                    keyOf(ColumnType::Double, Value::real(doubles[i])));
        const QStringList decimals = {QStringLiteral("-300"),  QStringLiteral("-2.5"),
                                      QStringLiteral("-0.01"), QStringLiteral("0"),
                                      QStringLiteral("0.01"),  QStringLiteral("12345678.9")};
        for (qsizetype i = 1; i < decimals.size(); ++i)
            QVERIFY(keyOf(ColumnType::Numeric, Value::decimal(decimals[i - 1])) <
                    keyOf(ColumnType::Numeric, Value::decimal(decimals[i])));
    }

    void otherTextOrderHasNoKey() {
        jet4::ColumnDef column = columnOf(ColumnType::Text);
        column.sortOrder.lcid = 0x040C;
        IndexKey::Buffer key;
        QVERIFY(!IndexKey::append(column, true, Value::text(QStringLiteral("abc")), key));
        QVERIFY(!IndexKey::canKey(column));
        QVERIFY(key.isEmpty());
    }

    void trustedLength() {
        const jet4::ColumnDef text = columnOf(ColumnType::Text);
        const QByteArray ascending = hex("7F 4A 4C 01 01 01 01 80 0B 06 82 00");
        QCOMPARE(IndexKey::trustedLength(text, true, reinterpret_cast<const std::uint8_t*>(ascending.data()),
                                         ascending.size()),
                 qsizetype(4));
        const QByteArray descending = hex("80 B5 B3 B2 FE FF 00");
        QCOMPARE(IndexKey::trustedLength(text, false,
                                         reinterpret_cast<const std::uint8_t*>(descending.data()),
                                         descending.size()),
                 qsizetype(5));
        const QByteArray whole = hex("7F 80 00 00 01");
        QCOMPARE(IndexKey::trustedLength(columnOf(ColumnType::Long), true,
                                         reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size()),
                 whole.size());
    }

    // Every index of every Access-made file whose columns we can key: our keys of the rows,
    // sorted, are the stored keys (text compared on its trusted part only).
    void storedKeysOfAccessFiles() {
        std::map<ColumnType, int> confirmed;
        const QString folder = testing::corpusPath(QStringLiteral("jackcess"));
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
        QVERIFY(files.contains(QStringLiteral("indexTestV2000.mdb")));
        for (const QString& file : files) {
            try {
                checkFile(folder + QLatin1Char('/') + file, confirmed);
            } catch (const jet4::Error& error) {
                QFAIL(qPrintable(file + QStringLiteral(": ") + error.message()));
            }
            if (QTest::currentTestFailed())
                return;
        }
        QStringList counts;
        for (const auto& [type, count] : confirmed)
            counts << QStringLiteral("type %1: %2").arg(int(type)).arg(count);
        qInfo("keys confirmed: %s", qPrintable(counts.join(QStringLiteral(", "))));
        for (ColumnType type :
             {ColumnType::Long, ColumnType::Text, ColumnType::DateTime, ColumnType::Byte, ColumnType::Binary})
            QVERIFY2(confirmed[type] > 0, qPrintable(QStringLiteral("no key of type %1").arg(int(type))));
    }

private:
    void checkFile(const QString& path, std::map<ColumnType, int>& confirmed) {
        const QByteArray bytes = readAll(path);
        const auto db = jet4::Database::open(path);
        QStringList tables = db->tableNames();
        for (const char* system : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"})
            if (db->findTable(QString::fromLatin1(system)))
                tables << QString::fromLatin1(system);
        for (const QString& tableName : tables) {
            const jet4::TableDef& table = *db->findTable(tableName);
            QString error;
            const auto indexes = testing::readTextIndexLeaves(bytes, table.tdefPage, error);
            QVERIFY2(error.isEmpty(), qPrintable(tableName + QStringLiteral(": ") + error));
            for (std::size_t n = 0; n < indexes.size(); ++n)
                checkIndex(*db, table, indexes[n],
                           QStringLiteral("%1: %2 index %3").arg(path, tableName).arg(n), confirmed);
        }
    }

    void checkIndex(const jet4::Database& db, const jet4::TableDef& table,
                    const testing::PhysicalIndex& index, const QString& where,
                    std::map<ColumnType, int>& confirmed) {
        std::vector<int> columns;
        for (const testing::IndexColumn& c : index.columns) {
            const auto found = std::find_if(table.columns.begin(), table.columns.end(),
                                            [&](const jet4::ColumnDef& d) { return d.number == c.number; });
            QVERIFY2(found != table.columns.end(), qPrintable(where));
            if (!IndexKey::canKey(*found))
                return;
            columns.push_back(static_cast<int>(found - table.columns.begin()));
        }
        std::vector<QByteArray> keys;
        auto cursor = db.openCursor(table);
        while (cursor->next()) {
            IndexKey::Buffer key;
            bool allNull = true;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const Value value = cursor->value(columns[i]);
                allNull = allNull && value.isNull();
                QVERIFY2(IndexKey::append(table.columns[static_cast<std::size_t>(columns[i])],
                                          index.columns[i].ascending, value, key),
                         qPrintable(where));
            }
            if (!(allNull && index.ignoresNulls))
                keys.push_back(toBytes(key));
        }
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys.size(), index.entries.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const QByteArray& stored = index.entries[i].key;
            QVERIFY2(keys[i] == stored, qPrintable(QStringLiteral("%1 entry %2: ours %3, stored %4")
                                                       .arg(where)
                                                       .arg(i)
                                                       .arg(QString::fromLatin1(keys[i].toHex(' ')),
                                                            QString::fromLatin1(stored.toHex(' ')))));
        }
        for (int column : columns)
            confirmed[table.columns[static_cast<std::size_t>(column)].type] += int(keys.size());
    }
};

QTEST_GUILESS_MAIN(IndexKeyTest)
#include "tst_index_key.moc"

// What the writer refuses, and that a refused or failed write leaves no file behind.
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/Rc4.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QTest>

using namespace convodesk;
using namespace convodesk::testing;
using jet4::ColumnType;
using jet4::Error;
using jet4::QueryDef;
using jet4::Value;
using jet4::WriterTable;

Q_DECLARE_METATYPE(WriterTable)

namespace {
WriterTable oneColumn(ColumnType type, Value v, int maxChars = 255) {
    WriterTable t;
    t.name = QStringLiteral("T");
    t.columns = {{QStringLiteral("Id"), ColumnType::Long, 0}, {QStringLiteral("V"), type, maxChars}};
    t.rows = {{Value::integer(1), Value::null()}, {Value::integer(2), std::move(v)}};
    return t;
}

WriterTable renamed(WriterTable t, const QString& name) {
    t.name = name;
    return t;
}
} // namespace

class WriterInputTest : public QObject {
    Q_OBJECT

private slots:
    void refusedInput_data() {
        QTest::addColumn<WriterTable>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("null yes/no") << oneColumn(ColumnType::Boolean, Value::null())
                                     << "row 1, column V: a Yes/No value cannot be Null";
        QTest::newRow("byte too big")
            << oneColumn(ColumnType::Byte, Value::integer(256)) << "row 2, column V: 256 is outside 0..255";
        QTest::newRow("byte negative")
            << oneColumn(ColumnType::Byte, Value::integer(-1)) << "-1 is outside 0..255";
        QTest::newRow("integer too big")
            << oneColumn(ColumnType::Integer, Value::integer(32768)) << "32768 is outside";
        QTest::newRow("long too big")
            << oneColumn(ColumnType::Long, Value::integer(2147483648LL)) << "2147483648 is outside";
        QTest::newRow("text for a number")
            << oneColumn(ColumnType::Long, Value::text(QStringLiteral("7"))) << "a whole number is required";
        QTest::newRow("text too long")
            << oneColumn(ColumnType::Text, Value::text(QString(11, QLatin1Char('x'))), 10)
            << "the text has 11 characters, more than the 10 allowed";
        QTest::newRow("infinite double")
            << oneColumn(ColumnType::Double, Value::real(std::numeric_limits<double>::infinity()))
            << "a finite number is required";
        QTest::newRow("date before 1899-12-30") << oneColumn(ColumnType::DateTime, Value::dateTime(-1.5))
                                                << "a date from 1899-12-30 on is required";
        QTest::newRow("unsupported type")
            << oneColumn(ColumnType::Single, Value::real(1)) << "this column type cannot be written";
        QTest::newRow("text of 256") << oneColumn(ColumnType::Text, Value::null(), 256)
                                     << "a text column holds 1 to 255 characters";
        WriterTable wrongCount = oneColumn(ColumnType::Text, Value::null());
        wrongCount.rows.push_back({Value::integer(3)});
        QTest::newRow("short row") << wrongCount << "row 3: 1 values for 2 columns";
        WriterTable wide;
        wide.name = QStringLiteral("Wide");
        std::vector<Value> row;
        for (int c = 0; c < 9; ++c) {
            wide.columns.push_back({QStringLiteral("C%1").arg(c), ColumnType::Text, 255});
            row.push_back(Value::text(QString(255, QLatin1Char('w'))));
        }
        wide.rows = {row};
        QTest::newRow("row too large") << wide << "the row needs 4616 bytes, more than the 4060";
        WriterTable twin = oneColumn(ColumnType::Text, Value::null());
        twin.columns[1].name = QStringLiteral("id");
        QTest::newRow("duplicate column") << twin << "has two columns named \"id\"";
        QTest::newRow("system name") << renamed(oneColumn(ColumnType::Text, Value::null()),
                                                QStringLiteral("msysobjects"))
                                     << "already used";
        QTest::newRow("bracket in name")
            << renamed(oneColumn(ColumnType::Text, Value::null()), QStringLiteral("a[b]"))
            << "contains a character names cannot have";
        QTest::newRow("no name") << renamed(oneColumn(ColumnType::Text, Value::null()), QStringLiteral("  "))
                                 << "has no name";
    }
    void refusedInput() {
        QFETCH(WriterTable, table);
        QFETCH(QString, message);
        TempDatabase db;
        try {
            db.write({table});
            QFAIL("the write was not refused");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), Error::Kind::InvalidInput);
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(db.files(), QStringList());
    }

    void duplicateTableAndQueryNamesAreRefused() {
        TempDatabase db;
        const WriterTable t = oneColumn(ColumnType::Text, Value::null());
        QVERIFY_THROWS_EXCEPTION(Error, db.write({t, renamed(t, QStringLiteral("t"))}));
        QueryDef q;
        q.name = QStringLiteral("T");
        q.columns = {{QStringLiteral("T.Id"), QString(), 0}};
        QVERIFY_THROWS_EXCEPTION(Error, db.write({t}, {q}));
        QueryDef empty;
        empty.name = QStringLiteral("Nothing");
        QVERIFY_THROWS_EXCEPTION(Error, db.write({t}, {empty}));
        QCOMPARE(db.files(), QStringList());
    }

    void failedWriteKeepsTheExistingFile() {
        TempDatabase db;
        const QString file = db.write({oneColumn(ColumnType::Text, Value::text(QStringLiteral("kept")))});
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        QVERIFY_THROWS_EXCEPTION(Error, db.write({oneColumn(ColumnType::Byte, Value::integer(999))}));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(db.files(), QStringList({QStringLiteral("test.mdb")}));
    }

    void missingFolderIsAnIoError() {
        TempDatabase db;
        try {
            jet4::writeDatabase(db.path(QStringLiteral("no/such/folder/x.mdb")),
                                {oneColumn(ColumnType::Text, Value::null())}, {});
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), Error::Kind::Io);
            QVERIFY2(e.message().contains(QStringLiteral("x.mdb")), qPrintable(e.message()));
        }
        QCOMPARE(db.files(), QStringList());
    }

    void rc4KeystreamMatchesTheKnownVector() {
        std::uint8_t stream[16] = {};
        jet4::Rc4(jet4::format::kHeaderRc4Key, 4).apply(stream, sizeof stream);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(stream), 16).toHex(' '),
                 QByteArray("b5 6f 03 62 61 08 c2 55 eb a9 67 72 43 3f 00 9c"));
    }

    void fileIsWholePagesWithTheHeaderMasked() {
        TempDatabase db;
        QFile f(db.write({oneColumn(ColumnType::Text, Value::text(QStringLiteral("x")))}));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size() % 4096, 0);
        QCOMPARE(bytes.left(4), QByteArray("\x00\x01\x00\x00", 4));
        QCOMPARE(bytes.mid(4, 15), QByteArray("Standard Jet DB"));
        QCOMPARE(static_cast<int>(bytes[0x14]), 1);
        // The first masked bytes are 00 01 00 00 XOR the RC4 stream B5 6F 03 62.
        QCOMPARE(bytes.mid(0x18, 4), QByteArray("\xB5\x6E\x03\x62", 4));
        QCOMPARE(static_cast<int>(bytes[2 * 4096]), 2); // the catalog definition
    }
};

QTEST_GUILESS_MAIN(WriterInputTest)
#include "tst_writer_input.moc"

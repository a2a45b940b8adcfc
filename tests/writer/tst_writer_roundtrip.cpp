// Every column type, Null, memo forms, row counts and table shapes, written by our writer and
// read back by mdbtools and by mdb-reader.
#include "support/RoundTripCheck.h"
#include "support/TempDatabase.h"

#include <QTest>
#include <limits>

using namespace convodesk;
using namespace convodesk::testing;
using jet4::ColumnType;
using jet4::Value;
using jet4::WriterColumn;
using jet4::WriterTable;

namespace {
const QString kNonAscii[] = {
    QStringLiteral("Nur'ain binti Ma'arof"),   QStringLiteral("Zulaikhā Ṣāliḥ"),
    QStringLiteral("陈美玲 Tan Mei Ling"),     QStringLiteral("கவிதா சுப்பிரமணியம்"),
    QStringLiteral("Chloé Müller-Søndergård"),
};

WriterTable allTypes() {
    WriterTable t;
    t.name = QStringLiteral("AllTypes");
    t.columns = {{QStringLiteral("Label"), ColumnType::Text, 50},
                 {QStringLiteral("Note"), ColumnType::Memo, 0},
                 {QStringLiteral("Small"), ColumnType::Byte, 0},
                 {QStringLiteral("Count"), ColumnType::Integer, 0},
                 {QStringLiteral("Queue"), ColumnType::Long, 0},
                 {QStringLiteral("Ratio"), ColumnType::Double, 0},
                 {QStringLiteral("Present"), ColumnType::Boolean, 0},
                 {QStringLiteral("Held"), ColumnType::DateTime, 0},
                 {QStringLiteral("Fee"), ColumnType::Currency, 0}};
    t.rows.push_back({Value::text(QStringLiteral("typical")), Value::text(QStringLiteral("a short note")),
                      Value::integer(7), Value::integer(-12), Value::integer(42), Value::real(3.25),
                      Value::boolean(true), Value::dateTime(45000.5), Value::currency(35000)});
    t.rows.push_back({Value::text(QStringLiteral("extremes low")), Value::text(QString()), Value::integer(0),
                      Value::integer(-32768), Value::integer(std::numeric_limits<std::int32_t>::min()),
                      Value::real(-1e-300), Value::boolean(false), Value::dateTime(0),
                      Value::currency(-922337203685477LL * 10000)});
    t.rows.push_back(
        {Value::text(QStringLiteral("extremes high")), Value::text(QStringLiteral("x")), Value::integer(255),
         Value::integer(32767), Value::integer(std::numeric_limits<std::int32_t>::max()),
         Value::real(1.7976931348623157e308), Value::boolean(true),
         Value::dateTime(73051.0 + 43199.0 / 86400.0), Value::currency(922337203685477LL * 10000 + 5807)});
    // Null in every column that can hold it, one row each, and all at once.
    for (std::size_t c = 0; c < t.columns.size(); ++c) {
        if (t.columns[c].type == ColumnType::Boolean)
            continue;
        std::vector<Value> row = t.rows[0];
        row[c] = Value::null();
        t.rows.push_back(row);
    }
    t.rows.push_back({Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
                      Value::null(), Value::boolean(false), Value::null(), Value::null()});
    for (const QString& s : kNonAscii)
        t.rows.push_back({Value::text(s), Value::text(s + QStringLiteral(" / ") + s), Value::integer(1),
                          Value::integer(1), Value::integer(1), Value::real(0.1), Value::boolean(true),
                          Value::dateTime(36526.25), Value::currency(-1)});
    t.rows.push_back({Value::text(QStringLiteral("say \"hi\", then\nleave")),
                      Value::text(QStringLiteral("line 1\r\nline 2")), Value::integer(1), Value::integer(1),
                      Value::integer(1), Value::real(-0.5), Value::boolean(false), Value::dateTime(1),
                      Value::currency(1)});
    return t;
}

WriterTable memoTable(const std::vector<int>& lengths) {
    WriterTable t;
    t.name = QStringLiteral("Memos");
    t.columns = {{QStringLiteral("Chars"), ColumnType::Long, 0},
                 {QStringLiteral("Body"), ColumnType::Memo, 0},
                 {QStringLiteral("After"), ColumnType::Text, 20}};
    for (int n : lengths) {
        QString body;
        for (int i = 0; i < n; ++i)
            body.append(QChar(i % 97 == 96 ? 0x0BA4 /* Tamil ta */ : 'a' + i % 26));
        t.rows.push_back(
            {Value::integer(n), Value::text(body), Value::text(QStringLiteral("end %1").arg(n))});
    }
    return t;
}

WriterTable numberedRows(const QString& name, int rows) {
    WriterTable t;
    t.name = name;
    t.columns = {{QStringLiteral("Id"), ColumnType::Long, 0},
                 {QStringLiteral("Name"), ColumnType::Text, 100},
                 {QStringLiteral("Programme"), ColumnType::Text, 10}};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({Value::integer(i - 500),
                          Value::text(QStringLiteral("Graduate number %1 bin Abdullah").arg(i)),
                          i % 7 == 0 ? Value::null() : Value::text(QStringLiteral("P%1").arg(i % 13))});
    return t;
}
} // namespace

class WriterRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void everyTypeWithNullReadsBackInBothReaders() {
        TempDatabase db;
        const WriterTable t = allTypes();
        const QString file = db.write({t});
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
    }

    // Memo lengths in characters (2 bytes each in the file) around the inline (64 bytes),
    // single-row (4076 bytes) and chain limits.
    void memosInEveryStorageFormReadBackWhole() {
        TempDatabase db;
        const WriterTable t = memoTable({0, 32, 33, 64, 65, 2038, 2039, 4076, 4077, 10000, 20000});
        const QString file = db.write({t});
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
    }

    void rowCounts_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("many pages") << 1000;
    }
    void rowCounts() {
        QFETCH(int, rows);
        TempDatabase db;
        const WriterTable t = numberedRows(QStringLiteral("Rows"), rows);
        const QString file = db.write({t, numberedRows(QStringLiteral("Other"), 3)});
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
        QVERIFY(RoundTripCheck::matchesBoth(file, numberedRows(QStringLiteral("Other"), 3)));
    }

    void tableWithOnlyFixedColumns() {
        WriterTable t;
        t.name = QStringLiteral("Fixed");
        t.columns = {{QStringLiteral("A"), ColumnType::Long, 0},
                     {QStringLiteral("B"), ColumnType::Boolean, 0},
                     {QStringLiteral("C"), ColumnType::Double, 0},
                     {QStringLiteral("D"), ColumnType::Byte, 0}};
        for (int i = 0; i < 600; ++i)
            t.rows.push_back({i % 5 ? Value::integer(i) : Value::null(), Value::boolean(i % 2),
                              Value::real(i / 8.0), Value::integer(i % 256)});
        TempDatabase db;
        QVERIFY(RoundTripCheck::matchesBoth(db.write({t}), t));
    }

    void tableWithManyTextColumns() {
        WriterTable t;
        t.name = QStringLiteral("Wide");
        for (int c = 0; c < 45; ++c)
            t.columns.push_back({QStringLiteral("Field%1").arg(c), ColumnType::Text, 40});
        t.columns.push_back({QStringLiteral("Queue"), ColumnType::Long, 0});
        for (int r = 0; r < 30; ++r) {
            std::vector<Value> row;
            row.reserve(45);
            for (int c = 0; c < 45; ++c)
                row.push_back((r + c) % 9 == 0
                                  ? Value::null()
                                  : Value::text(QStringLiteral("r%1c%2").arg(r).arg(c).repeated(c % 4)));
            row.push_back(Value::integer(r));
            t.rows.push_back(row);
        }
        TempDatabase db;
        QVERIFY(RoundTripCheck::matchesBoth(db.write({t}), t));
    }

    // 150 columns with long names need a definition of more than two pages.
    void definitionSpanningSeveralPages() {
        WriterTable t;
        t.name = QStringLiteral("Long definition");
        for (int c = 0; c < 150; ++c)
            t.columns.push_back(
                {QStringLiteral("A rather long column name number %1").arg(c, 3, 10, QLatin1Char('0')),
                 c % 3 == 0 ? ColumnType::Long : ColumnType::Text, 10});
        for (int r = 0; r < 5; ++r) {
            std::vector<Value> row;
            row.reserve(150);
            for (int c = 0; c < 150; ++c)
                row.push_back(c % 3 == 0 ? Value::integer(r * c) : Value::text(QString::number(r + c)));
            t.rows.push_back(row);
        }
        TempDatabase db;
        const QString file = db.write({t, numberedRows(QStringLiteral("After"), 2)});
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
        QVERIFY(RoundTripCheck::matchesBoth(file, numberedRows(QStringLiteral("After"), 2)));
    }

    // A text beginning with U+FEFF would read as compressed (garbled) text if stored plainly.
    void leadingByteOrderMarkIsDroppedAndTheRestKept() {
        WriterTable t;
        t.name = QStringLiteral("Marks");
        t.columns = {{QStringLiteral("T"), ColumnType::Text, 50}, {QStringLiteral("M"), ColumnType::Memo, 0}};
        const QString s = QChar(0xFEFF) + QStringLiteral("Nur'ain 陈");
        t.rows.push_back({Value::text(s), Value::text(s.repeated(20))});
        TempDatabase db;
        QVERIFY(RoundTripCheck::matchesBoth(db.write({t}), t));
    }
};

QTEST_GUILESS_MAIN(WriterRoundTripTest)
#include "tst_writer_roundtrip.moc"

// A query listing one stored table's columns in an ORDER BY, read forward from a file: the rows
// are those the query gives in memory, in the same order, whatever the sort values hold.
#include "data/DatabaseCatalog.h"
#include "data/jet4/read/Database.h"
#include "data/query/run/QueryEngine.h"
#include "support/DeskFile.h"
#include "support/MemoryCatalog.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using namespace convodesk::data;
using jet4::Value;
using testing::n;
using testing::t;

namespace {

// Every row of a source from the start, as rowTexts shows a result.
QStringList readAll(query::RowSource& rows) {
    QStringList texts;
    const int width = static_cast<int>(rows.columns().size());
    while (rows.next()) {
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(width));
        for (int c = 0; c < width; ++c)
            row.push_back(rows.value(c));
        texts << testing::rowText(row);
    }
    return texts;
}

QStringList columnNames(const std::vector<query::ColumnInfo>& columns) {
    QStringList names;
    for (const query::ColumnInfo& column : columns)
        names << column.table + QLatin1Char('.') + column.name;
    return names;
}

// Graduates in no useful stored order: Queue repeats (ties keep the stored order), is Null for
// some; names differ only in case or accents, some are Null or empty.
testing::DeskFile unorderedDesk() {
    std::vector<std::vector<Value>> graduates;
    const QStringList names{QStringLiteral("ana"),   QStringLiteral("Ana"), QStringLiteral("Ána"),
                            QStringLiteral("Zed"),   QStringLiteral("ben"), QString(),
                            QStringLiteral("O'Hara")};
    for (int i = 0; i < 2500; ++i) {
        const Value name = i % 11 == 0 ? Value::null() : t(names[(i * 5) % names.size()]);
        const Value queue = i % 13 == 0 ? Value::null() : n((i * 7919) % 400);
        graduates.push_back({t(QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'))), name,
                             t(QStringLiteral("P%1").arg(i % 20)), queue});
    }
    return testing::DeskFile::made(graduates);
}

} // namespace

class OrderedReadsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<jet4::Database> database_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        database_ = jet4::Database::open(unorderedDesk().write(dir_.filePath(QStringLiteral("desk.mdb"))));
    }

    void sameRowsInTheSameOrder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("late"); // read row by row from the file, not held in memory
        QTest::newRow("ties and Nulls") << "select * from Graduates order by Queue" << true;
        QTest::newRow("stored order") << "select * from Graduates order by GraduateID" << true;
        QTest::newRow("descending") << "select * from graduates order by Queue desc" << true;
        QTest::newRow("text column") << "select * from Graduates order by Name" << true;
        QTest::newRow("two keys") << "select * from Graduates order by Name desc, Queue" << true;
        QTest::newRow("expression") << "select * from Graduates order by Len(Name), Programme" << true;
        QTest::newRow("condition") << "select * from Graduates where Queue > 200 order by Queue" << true;
        QTest::newRow("like") << "select * from Graduates where Name like '%a%' or GraduateID like '%7' "
                                 "order by Queue, Name"
                              << true;
        QTest::newRow("index seek") << "select * from Graduates where GraduateID = 'G000042' order by Queue"
                                    << true;
        QTest::newRow("nothing passes")
            << "select * from Graduates where Queue > 5000 order by Queue" << true;
        QTest::newRow("qualified") << "select Graduates.* from Graduates order by Graduates.Queue" << true;
        QTest::newRow("no order") << "select * from Graduates where Queue < 3" << false;
        QTest::newRow("some columns") << "select Name, Queue from Graduates order by Queue" << false;
        QTest::newRow("top") << "select top 5 * from Graduates order by Queue" << false;
        QTest::newRow("distinct") << "select distinct * from Graduates order by Queue" << false;
        QTest::newRow("constant condition") << "select * from Graduates where 1 = 1 order by Queue" << false;
        QTest::newRow("stored query") << "select * from Graduate order by Queue" << false;
        QTest::newRow("join") << "select Graduates.* from Graduates inner join Programme on "
                                 "Graduates.Programme = Programme.Program_Code order by Queue"
                              << false;
    }
    void sameRowsInTheSameOrder() {
        QFETCH(QString, text);
        QFETCH(bool, late);
        DatabaseCatalog catalog(database_);
        query::QueryEngine engine(catalog);
        const query::RowSet held = engine.runText(text);
        const std::unique_ptr<query::RowSource> read = engine.openText(text);
        QCOMPARE(dynamic_cast<query::RowSetSource*>(read.get()) == nullptr, late);
        QCOMPARE(columnNames(read->columns()), columnNames(held.columns));
        const QStringList rows = readAll(*read);
        QCOMPARE(rows, testing::rowTexts(held));
        // Each query but the one meant to find nothing finds rows: the two ways agree on something.
        QCOMPARE(rows.isEmpty(), text.contains(QLatin1String("5000")));
    }

    // A catalog that cannot read rows where they are kept gives the held rows.
    void catalogWithoutRowPointers() {
        testing::MemoryCatalog catalog;
        catalog.addTable(QStringLiteral("People"), {"Name", "Queue"},
                         {{t("B"), n(2)}, {t("A"), n(1)}, {t("C"), Value::null()}});
        query::QueryEngine engine(catalog);
        const std::unique_ptr<query::RowSource> read =
            engine.openText(QStringLiteral("select * from People order by Queue"));
        QVERIFY(dynamic_cast<query::RowSetSource*>(read.get()) != nullptr);
        QCOMPARE(readAll(*read), QStringList({"C|<null>", "A|1", "B|2"}));
    }
};

QTEST_GUILESS_MAIN(OrderedReadsTest)
#include "tst_ordered_reads.moc"

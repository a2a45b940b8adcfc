// A query listing one stored table's columns in an ORDER BY, read forward from a file: the rows
// are those the query gives in memory, in the same order, whatever the sort values hold. So too
// for a stored query joining that table to a small one.
#include "convodesk-db/GraduateTables.h"
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

// Graduate as `make` writes it under another name, changed by `change`.
template <typename Change> jet4::QueryDef graduateQueryAs(const QString& name, Change change) {
    jet4::QueryDef query = dbtool::GraduateTables::graduateQuery();
    query.name = name;
    change(query);
    return query;
}

// Stored queries over Graduates and Programme besides Graduate itself.
void addJoinQueries(testing::DeskFile& file) {
    using Join = jet4::QueryDef::JoinType;
    file.addGraduateQuery(graduateQueryAs("Enrolled", [](jet4::QueryDef& q) {
        q.joins.front().type = Join::Inner;
        q.where = QStringLiteral("(((Graduates.Queue)>50))");
    }));
    file.addGraduateQuery(graduateQueryAs("Described", [](jet4::QueryDef& q) {
        q.where = QStringLiteral("(((Programme.Program_Desc) Like '*1*')) OR (((Graduates.Name) Is Null))");
    }));
    file.addGraduateQuery(graduateQueryAs("Aliased", [](jet4::QueryDef& q) {
        q.tables.back().alias = QStringLiteral("P");
        q.joins.front().right = QStringLiteral("P");
        q.joins.front().on = QStringLiteral("Graduates.Programme = P.Program_Code");
        q.columns[2].expression = QStringLiteral("P.Program_Desc");
        q.columns.push_back({QStringLiteral("P.Program_Code"), QStringLiteral("Code"), 0});
    }));
    file.addGraduateQuery(
        graduateQueryAs("Offered", [](jet4::QueryDef& q) { q.joins.front().type = Join::Right; }));
    file.addGraduateQuery(graduateQueryAs("Sorted", [](jet4::QueryDef& q) {
        q.orderBy.push_back({QStringLiteral("Graduates.Name"), false, u'D'});
    }));
    file.addGraduateQuery(graduateQueryAs("Computed", [](jet4::QueryDef& q) {
        q.columns.back().expression = QStringLiteral("Graduates.Queue*2");
        q.columns.back().alias = QStringLiteral("Queue");
    }));
}

// Graduates in no useful stored order: Queue repeats (ties keep the stored order), is Null for
// some; names differ only in case or accents, some are Null or empty. GraduateID is the key.
// Programme P19 is not
// there (a graduate of it joins to no programme); P3 is there twice and P4 once more as "p4"
// (their graduates join to two).
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
    testing::DeskFile file = testing::DeskFile::made(graduates);
    file.graduates().primaryKey = {QStringLiteral("GraduateID")};
    file.programme().rows.push_back({t("P3"), t("Programme 3 again"), t("FSC")});
    file.programme().rows.push_back({t("p4"), Value::null(), t("FSC")});
    addJoinQueries(file);
    return file;
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
        QTest::newRow("stored query") << "select * from Graduate order by Queue" << true;
        QTest::newRow("search") << "select * from Graduate where Name like '%a%' or GraduateID like '%7' or "
                                   "Program_Desc like '%1%' order by Queue"
                                << true;
        QTest::newRow("search all") << "select * from Graduate where Name like '%' or GraduateID like '%' or "
                                       "Program_Desc like '%' order by Queue"
                                    << true;
        QTest::newRow("joined text order")
            << "select * from Graduate order by Program_Desc desc, Name" << true;
        QTest::newRow("no programme")
            << "select * from graduate where Program_Desc is null order by Queue desc" << true;
        QTest::newRow("inner join") << "select * from Enrolled order by Queue" << true;
        QTest::newRow("condition inside")
            << "select * from Described where Queue < 300 order by Name, Queue" << true;
        QTest::newRow("alias") << "select * from Aliased where Code <> 'P2' order by Code desc, Queue"
                               << true;
        QTest::newRow("programmes without graduates") << "select * from Offered order by Queue" << false;
        QTest::newRow("order inside") << "select * from Sorted order by Queue" << false;
        QTest::newRow("computed output") << "select * from Computed order by Queue" << false;
        QTest::newRow("stored query found by index")
            << "select * from Graduate where GraduateID = 'G000042' order by Queue" << false;
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

// The stored queries of an Access-made file, decoded to the structure of Access's own SQL.
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/QueryDefReader.h"
#include "support/CorpusFiles.h"
#include "support/ReferenceJson.h"

#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using jet4::QueryDef;

class ReaderQueriesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        VERIFY_CORPUS(QStringLiteral("jackcess/queryTestV2000.mdb"));
        db_ = jet4::Database::open(
            testing::corpusCopy(QStringLiteral("jackcess/queryTestV2000.mdb"), dir_.path()));
    }

    void listsEveryQuery() {
        QStringList names = db_->queryNames();
        names.sort();
        QCOMPARE(names, QStringList({"AppendQuery", "CrosstabQuery", "DataDefinitionQuery", "DeleteQuery",
                                     "MakeTableQuery", "PassthroughQuery", "SelectQuery", "UnionQuery",
                                     "UpdateQuery"}));
        QVERIFY(!db_->findQuery(u"NoSuchQuery"));
        QVERIFY(db_->findQuery(u"selectquery")); // names ignore letter case
        for (const QString& name : names)
            QVERIFY2(db_->findQuery(name)->fault.isEmpty(), qPrintable(name));
    }

    // Rows no sound definition has are kept as a fault, not read as something else.
    void contradictoryRowsAreAFault() {
        namespace f = jet4::format;
        const std::vector<jet4::QueryRow> base{{f::QueryKindRow, {}, {}, {}, 1},
                                               {f::QueryTable, QStringLiteral("A"), {}, {}, 0},
                                               {f::QueryTable, QStringLiteral("B"), {}, {}, 0},
                                               {f::QueryWhere, {}, {}, QStringLiteral("1=1"), 0}};
        QVERIFY(jet4::buildQueryDef(QStringLiteral("Q"), base).fault.isEmpty());
        auto twoWheres = base;
        twoWheres.push_back({f::QueryWhere, {}, {}, QStringLiteral("1=0"), 0});
        QCOMPARE(jet4::buildQueryDef(QStringLiteral("Q"), twoWheres).fault, QStringLiteral("two WHERE rows"));
        auto badJoin = base;
        badJoin.push_back(
            {f::QueryJoin, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A.x = B.x"), 4});
        QCOMPARE(jet4::buildQueryDef(QStringLiteral("Q"), badJoin).fault,
                 QStringLiteral("an unknown join type (4) between 'A' and 'B'"));
    }

    // SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3
    // FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2
    //   ON (Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)
    // WHERE (((Table2.col2)="foo" Or (Table2.col2) In ("buzz","bazz"))) ORDER BY Table2.col1;
    void selectWithJoins() {
        const QueryDef q = *db_->findQuery(u"SelectQuery");
        QCOMPARE(q.kind, QueryDef::Kind::Select);
        QCOMPARE(q.selectFlags, int(QueryDef::Distinct));
        QCOMPARE(columnTexts(q), QStringList({"Table1.*", "Table2.col1", "Table2.col2", "Table3.col3"}));
        QCOMPARE(tableNames(q), QStringList({"Table1", "Table2", "Table3"}));
        QCOMPARE(q.joins.size(), std::size_t(3));
        QCOMPARE(q.joins[0].type, QueryDef::JoinType::Left);
        QCOMPARE(q.joins[0].left, QStringLiteral("Table1"));
        QCOMPARE(q.joins[0].right, QStringLiteral("Table3"));
        QCOMPARE(q.joins[0].on, QStringLiteral("Table1.col1 = Table3.col1"));
        QCOMPARE(q.joins[1].type, QueryDef::JoinType::Inner);
        QCOMPARE(q.joins[1].on, QStringLiteral("Table3.col1 = Table2.col1"));
        QCOMPARE(q.joins[2].on, QStringLiteral("Table3.col1 = Table2.col2"));
        QCOMPARE(q.where,
                 QStringLiteral("(((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))"));
        QCOMPARE(q.orderBy.size(), std::size_t(1));
        QCOMPARE(q.orderBy[0].expression, QStringLiteral("Table2.col1"));
        QVERIFY(!q.orderBy[0].descending);
    }

    void actionQueries() {
        const QueryDef update = *db_->findQuery(u"UpdateQuery");
        QCOMPARE(update.kind, QueryDef::Kind::Update);
        QCOMPARE(update.parameters.size(), std::size_t(1));
        QCOMPARE(update.parameters[0].name, QStringLiteral("User Name"));
        QCOMPARE(update.parameters[0].dataType, 10);
        QCOMPARE(update.where, QStringLiteral("((([Table2].[col1]) Is Not Null))"));

        const QueryDef append = *db_->findQuery(u"AppendQuery");
        QCOMPARE(append.kind, QueryDef::Kind::Append);
        QCOMPARE(append.target, QStringLiteral("Table3"));
        QCOMPARE(append.joins.at(0).on, QStringLiteral("[Table1].[col1]=[Table2].[col1]"));

        const QueryDef makeTable = *db_->findQuery(u"MakeTableQuery");
        QCOMPARE(makeTable.kind, QueryDef::Kind::MakeTable);
        QCOMPARE(makeTable.target, QStringLiteral("Table4"));
        QCOMPARE(makeTable.columns.at(0).expression, QStringLiteral("Max(Table2.col1)"));
        QCOMPARE(makeTable.columns.at(0).alias, QStringLiteral("MaxOfcol1"));
        QCOMPARE(makeTable.joins.at(1).type, QueryDef::JoinType::Right);
        QCOMPARE(makeTable.groupBy, std::vector<QString>({"Table2.col2", "Table3.col2"}));
        QCOMPARE(makeTable.having,
                 QStringLiteral("(((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"))"));

        QCOMPARE(db_->findQuery(u"DeleteQuery")->kind, QueryDef::Kind::Delete);
    }

    void crosstabKeepsColumnRoles() {
        const QueryDef q = *db_->findQuery(u"CrosstabQuery");
        QCOMPARE(q.kind, QueryDef::Kind::Crosstab);
        QCOMPARE(q.columns.size(), std::size_t(5));
        QCOMPARE(q.columns[0].alias, QStringLiteral("CountOfcol2"));
        QCOMPARE(q.columns[0].flag, 0); // TRANSFORM value
        QCOMPARE(q.columns[4].expression, QStringLiteral("[Table1].[col1]"));
        QCOMPARE(q.columns[4].flag, 1); // PIVOT
        QCOMPARE(q.tables.at(2).name, QStringLiteral("Table2"));
        QCOMPARE(q.tables.at(2).alias, QStringLiteral("Table2_1"));
    }

    void unionAndSqlQueries() {
        const QueryDef u = *db_->findQuery(u"UnionQuery");
        QCOMPARE(u.kind, QueryDef::Kind::Union);
        QCOMPARE(u.tables.size(), std::size_t(2));
        QCOMPARE(u.tables[0].alias, QStringLiteral("X7YZ_____1"));
        QVERIFY(u.tables[0].expression.startsWith(QStringLiteral("Select Table1.col1, Table1.col2")));
        QCOMPARE(u.tables[1].expression,
                 QStringLiteral("Select Table3.col1, Table3.col2\r\nwhere Table3.col3 > \"blah\""));

        const QueryDef pass = *db_->findQuery(u"PassthroughQuery");
        QCOMPARE(pass.kind, QueryDef::Kind::PassThrough);
        QCOMPARE(pass.target, QStringLiteral("ODBC;"));
        QCOMPARE(pass.sqlText, QStringLiteral("ALTER TABLE Table4 DROP COLUMN col5;"));
        const QueryDef ddl = *db_->findQuery(u"DataDefinitionQuery");
        QCOMPARE(ddl.kind, QueryDef::Kind::DataDefinition);
        QCOMPARE(ddl.sqlText, QStringLiteral("CREATE TABLE Table5 (col1 CHAR, col2 CHAR);"));
    }

private:
    static QStringList columnTexts(const QueryDef& q) {
        QStringList list;
        for (const auto& c : q.columns)
            list << c.expression;
        return list;
    }
    static QStringList tableNames(const QueryDef& q) {
        QStringList list;
        for (const auto& t : q.tables)
            list << t.name;
        return list;
    }

    QTemporaryDir dir_;
    std::shared_ptr<jet4::Database> db_;
};

QTEST_GUILESS_MAIN(ReaderQueriesTest)
#include "tst_reader_queries.moc"

// Every query run keeps to a deadline and a memory budget: work that would freeze the desk or
// eat the machine ends with the timeout or "System resource exceeded.", and the next query on the
// same connection runs as usual.
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/Recordset.h"
#include "data/jet4/write/Writer.h"
#include "support/CaughtError.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using namespace convodesk::data;
using jet4::QueryDef;
using jet4::Value;

using convodesk::testing::errorNumber;
using convodesk::testing::errorOf;

namespace {

jet4::WriterTable numbersTable(int count) {
    jet4::WriterTable table{QStringLiteral("Numbers"),
                            {{QStringLiteral("ID"), jet4::ColumnType::Long, 0},
                             {QStringLiteral("Label"), jet4::ColumnType::Text, 50}},
                            {},
                            {}};
    for (int i = 1; i <= count; ++i)
        table.rows.push_back({Value::integer(i), Value::text(QStringLiteral("row %1").arg(i))});
    return table;
}

QueryDef storedText(const QString& name, const QString& expression) {
    QueryDef def;
    def.name = name;
    def.columns.push_back({expression, QStringLiteral("Out"), 0});
    def.tables.push_back({QStringLiteral("Numbers"), {}, {}});
    return def;
}

// Chain1 is Numbers twice; each next one is the one before twice.
std::vector<QueryDef> unionChain(int length) {
    std::vector<QueryDef> chain;
    for (int k = 1; k <= length; ++k) {
        const QString from = k == 1 ? QStringLiteral("Numbers") : QStringLiteral("Chain%1").arg(k - 1);
        QueryDef def;
        def.name = QStringLiteral("Chain%1").arg(k);
        def.kind = QueryDef::Kind::Union;
        def.tables = {{{}, QStringLiteral("U1"), QStringLiteral("SELECT * FROM ") + from},
                      {{}, QStringLiteral("U2"), QStringLiteral("SELECT * FROM ") + from}};
        chain.push_back(def);
    }
    return chain;
}

} // namespace

class QueryLimitsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

    std::shared_ptr<Connection> connect(int timeoutSeconds, std::int64_t budget) {
        auto connection = std::make_shared<Connection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source=") +
                                        path);
        connection->setCommandTimeout(timeoutSeconds);
        connection->setQueryMemoryBudget(budget);
        connection->open();
        return connection;
    }

    static QString firstValue(Recordset& rs) {
        return rs.eof() ? QStringLiteral("<eof>") : rs.field(0).asText();
    }

    // The connection still serves an ordinary query after one was ended.
    static void stillAnswers(const std::shared_ptr<Connection>& connection) {
        Recordset rs;
        rs.openQuery(QStringLiteral("select count(*) from Numbers"), connection);
        QCOMPARE(rs.field(0).asInteger(), qint64(300));
    }

private slots:
    void initTestCase() {
        path = dir.filePath(QStringLiteral("limits.mdb"));
        std::vector<QueryDef> queries = unionChain(31);
        queries.push_back(
            storedText(QStringLiteral("Huge"), QStringLiteral("Replace(Space(65535),' ',Space(65535))")));
        jet4::writeDatabase(path, {numbersTable(300)}, queries);
    }

    // A value that alone would pass the budget is refused before it is built, in a query text
    // and in a stored query opened as a table.
    void oneHugeValueIsRefused() {
        const auto connection = connect(30, std::int64_t(512) << 20);
        QString description;
        QCOMPARE(errorNumber(
                     [&] {
                         Recordset rs;
                         rs.openQuery(
                             QStringLiteral("select Replace(Space(65535),' ',Space(65535)) from Numbers"),
                             connection);
                     },
                     &description),
                 int(DataError::ResourceExceeded));
        QCOMPARE(description, QStringLiteral("System resource exceeded."));
        QCOMPARE(errorNumber([&] {
                     Recordset rs;
                     rs.openTable(QStringLiteral("Huge"), connection);
                     rs.eof();
                 }),
                 int(DataError::ResourceExceeded));
        // Growth that fits is fine: 65535 spaces replaced by two each.
        Recordset fits;
        fits.openQuery(
            QStringLiteral("select Len(Replace(Space(65535),' ','ab')) & '' from Numbers where ID = 1"),
            connection);
        QCOMPARE(firstValue(fits), QStringLiteral("131070"));
        stillAnswers(connection);
    }

    // Joined rows that grow without end stop at the budget.
    void cartesianStopsAtTheBudget() {
        const auto connection = connect(0, std::int64_t(64) << 20);
        QCOMPARE(errorNumber([&] {
                     Recordset rs;
                     rs.openQuery(QStringLiteral("select count(*) from Numbers a, Numbers b, Numbers c"),
                                  connection);
                 }),
                 int(DataError::ResourceExceeded));
        stillAnswers(connection);
    }

    // Work that needs little memory but much time ends at the deadline, also in subqueries run
    // once for each outer row.
    void longRunsEndAtTheDeadline() {
        const auto connection = connect(1, std::int64_t(512) << 20);
        QString description;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(errorNumber(
                     [&] {
                         Recordset rs;
                         rs.openQuery(
                             QStringLiteral("select count(*) from Numbers a where (select count(*) from "
                                            "Numbers b, Numbers c where b.ID <> a.ID and c.Label <> "
                                            "a.Label) > (select count(*) from Numbers d, Numbers e "
                                            "where d.ID = a.ID + e.ID)"),
                             connection);
                     },
                     &description),
                 int(DataError::QueryTimeout));
        QCOMPARE(description, QStringLiteral("Query timeout expired"));
        QVERIFY2(clock.elapsed() < 60000, "the deadline was not kept to at all");
        stillAnswers(connection);
    }

    // Stored queries that each double the one before: opened as the screens open a table, the
    // first read ends with an error instead of filling the machine.
    void doublingUnionChainEnds() {
        const auto connection = connect(30, std::int64_t(64) << 20);
        Recordset rs;
        rs.openTable(QStringLiteral("Chain31"), connection);
        const int number = errorNumber([&] { rs.eof(); });
        QVERIFY2(number == DataError::ResourceExceeded || number == DataError::QueryTimeout,
                 qPrintable(QString::number(number)));
        Recordset small;
        small.openTable(QStringLiteral("Chain3"), connection);
        int rows = 0;
        for (; !small.eof(); small.moveNext())
            ++rows;
        QCOMPARE(rows, 300 * 8);
    }

    void budgetNeverAboveTheDefault() {
        Connection connection;
        QCOMPARE(connection.commandTimeout(), 30);
        connection.setQueryMemoryBudget(std::int64_t(1) << 50);
        QCOMPARE(connection.queryLimits().memoryBytes, query::QueryLimits::defaultMemoryBytes());
        QVERIFY(query::QueryLimits::defaultMemoryBytes() <= std::int64_t(2) << 30);
    }
};

QTEST_GUILESS_MAIN(QueryLimitsTest)
#include "tst_query_limits.moc"

// Stored queries in files: written by our writer as Access keeps them, and an Access-made
// sample file. A report named like a query, queries of each shape, and a table record set on
// a stored query that runs nothing until it is read.
#include "convodesk-db/GraduateTables.h"
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/Recordset.h"
#include "data/jet4/write/Writer.h"
#include "support/CaughtError.h"
#include "support/CorpusFiles.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using namespace convodesk::data;
using jet4::QueryDef;
using jet4::Value;

using convodesk::testing::errorOf;
using convodesk::testing::t;

namespace {

jet4::WriterTable peopleTable() {
    jet4::WriterTable people{QStringLiteral("People"),
                             {{QStringLiteral("ID"), jet4::ColumnType::Long, 0},
                              {QStringLiteral("First"), jet4::ColumnType::Text, 50},
                              {QStringLiteral("Last"), jet4::ColumnType::Text, 50},
                              {QStringLiteral("Team"), jet4::ColumnType::Text, 10},
                              {QStringLiteral("Active"), jet4::ColumnType::Boolean, 0}},
                             {},
                             {}};
    people.rows = {{Value::integer(1), t("Ana"), t("Lima"), t("A"), Value::boolean(true)},
                   {Value::integer(2), t("Ben"), Value(), t("B"), Value::boolean(false)},
                   {Value::integer(3), t("Cy"), t("Ng"), t("A"), Value::boolean(true)},
                   {Value::integer(4), t("Dee"), t("Ray"), Value(), Value::boolean(true)}};
    return people;
}

jet4::WriterTable teamTable() {
    return {QStringLiteral("Teams"),
            {{QStringLiteral("Code"), jet4::ColumnType::Text, 10},
             {QStringLiteral("Title"), jet4::ColumnType::Text, 50}},
            {{Value::text(QStringLiteral("A")), Value::text(QStringLiteral("Alpha"))},
             {Value::text(QStringLiteral("B")), Value::text(QStringLiteral("Beta"))}},
            {}};
}

QueryDef peopleQuery(const char* name, std::initializer_list<std::pair<const char*, const char*>> columns) {
    QueryDef def;
    def.name = QString::fromLatin1(name);
    for (const auto& [expression, alias] : columns)
        def.columns.push_back({QString::fromLatin1(expression), QString::fromLatin1(alias), 0});
    def.tables.push_back({QStringLiteral("People"), {}, {}});
    return def;
}

std::shared_ptr<Connection> openFile(const QString& path) {
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source=") + path);
    connection->open();
    return connection;
}

QStringList rows(const QString& path, const QString& text) {
    Recordset rs;
    rs.openQuery(text, openFile(path));
    return convodesk::testing::rowTexts(rs);
}

} // namespace

class StoredQueryFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void queriesOfEachShapeWrittenAsAccessKeepsThem() {
        std::vector<QueryDef> queries;
        QueryDef names =
            peopleQuery("Names", {{"[First] & \" \" & [Last]", "FullName"}, {"Trim(UCase([Team]))", ""}});
        names.where = QStringLiteral("(((People.Active)=Yes))");
        names.orderBy = {{QStringLiteral("People.ID"), true}};
        queries.push_back(names);
        QueryDef grouped =
            peopleQuery("PerTeam", {{"People.Team", ""}, {"Count(*)", "N"}, {"Sum(People.ID)", "SumOfID"}});
        grouped.groupBy = {QStringLiteral("People.Team")};
        grouped.having = QStringLiteral("((Count(*))>=1)");
        queries.push_back(grouped);
        QueryDef distinctRow = peopleQuery("TeamsWithPeople", {{"Teams.*", ""}});
        distinctRow.selectFlags = QueryDef::DistinctRow;
        distinctRow.tables.push_back({QStringLiteral("Teams"), {}, {}});
        distinctRow.joins.push_back({QueryDef::JoinType::Inner, QStringLiteral("People"),
                                     QStringLiteral("Teams"), QStringLiteral("People.Team = Teams.Code")});
        queries.push_back(distinctRow);
        QueryDef top =
            peopleQuery("FirstTwo", {{"People.ID", ""}, {"IIf(IsNull([Last]),\"?\",[Last])", "Surname"}});
        top.selectFlags = QueryDef::Top;
        top.top = QStringLiteral("2");
        top.orderBy = {{QStringLiteral("People.ID"), false}};
        queries.push_back(top);
        QueryDef both;
        both.name = QStringLiteral("Both");
        both.kind = QueryDef::Kind::Union;
        both.tables = {{{}, QStringLiteral("U1"), QStringLiteral("SELECT First FROM People WHERE ID < 3")},
                       {{}, QStringLiteral("U2"), QStringLiteral("SELECT Title FROM Teams")}};
        queries.push_back(both);
        QueryDef sorted = both;
        sorted.name = QStringLiteral("BothSorted");
        sorted.tables[1].expression = QStringLiteral("SELECT Title FROM Teams ORDER BY First DESC");
        queries.push_back(sorted);
        const QString path = dir.filePath(QStringLiteral("shapes.mdb"));
        jet4::writeDatabase(path, {peopleTable(), teamTable()}, queries);

        QCOMPARE(rows(path, QStringLiteral("select * from Names")),
                 (QStringList{"Dee Ray|<null>", "Cy Ng|A", "Ana Lima|A"}));
        QCOMPARE(rows(path, QStringLiteral("select * from PerTeam")),
                 (QStringList{"<null>|1|4", "A|2|4", "B|1|2"}));
        QCOMPARE(rows(path, QStringLiteral("select * from TeamsWithPeople")),
                 (QStringList{"A|Alpha", "B|Beta"}));
        QCOMPARE(rows(path, QStringLiteral("select * from FirstTwo")), (QStringList{"1|Lima", "2|?"}));
        QCOMPARE(rows(path, QStringLiteral("select * from Both")),
                 (QStringList{"Ana", "Ben", "Alpha", "Beta"}));
        // The ORDER BY at the end of the last part sorts the whole union by the first part's names.
        QCOMPARE(rows(path, QStringLiteral("select * from BothSorted")),
                 (QStringList{"Beta", "Ben", "Ana", "Alpha"}));
    }

    // Access sets flag 2 on a plain UNION: each row once; without it, UNION ALL.
    void unionFlagTwoKeepsEachRowOnce() {
        QueryDef once;
        once.name = QStringLiteral("TeamsOnce");
        once.kind = QueryDef::Kind::Union;
        once.selectFlags = 0x02;
        once.tables = {{{}, QStringLiteral("U1"), QStringLiteral("SELECT Team FROM People")},
                       {{}, QStringLiteral("U2"), QStringLiteral("SELECT Code FROM Teams")}};
        QueryDef all = once;
        all.name = QStringLiteral("TeamsAll");
        all.selectFlags = 0;
        const QString path = dir.filePath(QStringLiteral("unions.mdb"));
        jet4::writeDatabase(path, {peopleTable(), teamTable()}, {once, all});
        QCOMPARE(rows(path, QStringLiteral("select * from TeamsOnce")), (QStringList{"A", "B", "<null>"}));
        QCOMPARE(rows(path, QStringLiteral("select * from TeamsAll")).size(), 6);
    }

    // Access writes a descending order as 'D' or 'd'; with TOP, the order decides the rows.
    void descendingFlagInEitherCase() {
        QueryDef last = peopleQuery("LastTwo", {{"People.First", ""}});
        last.selectFlags = QueryDef::Top;
        last.top = QStringLiteral("2");
        last.orderBy = {{QStringLiteral("People.ID"), true, u'd'}};
        QueryDef upper = last;
        upper.name = QStringLiteral("LastTwoUpper");
        upper.orderBy.front().descendingFlag = u'D';
        const QString path = dir.filePath(QStringLiteral("descending.mdb"));
        jet4::writeDatabase(path, {peopleTable()}, {last, upper});
        QCOMPARE(rows(path, QStringLiteral("select * from LastTwo")), (QStringList{"Dee", "Cy"}));
        QCOMPARE(rows(path, QStringLiteral("select * from LastTwoUpper")), (QStringList{"Dee", "Cy"}));
    }

    // A column that uses another's alias, and a derived table, as Access stores them.
    void aliasesAndDerivedTablesStored() {
        QueryDef tax = peopleQuery("Tax", {{"People.ID*10", "Amount"}, {"[Amount]*0.5", "Tax"}});
        tax.where = QStringLiteral("(([Amount]>20))");
        tax.orderBy = {{QStringLiteral("[Tax]"), true}};
        QueryDef derived;
        derived.name = QStringLiteral("ActiveTeams");
        derived.columns = {{QStringLiteral("Teams.Title"), {}, 0}, {QStringLiteral("a.N"), {}, 0}};
        derived.tables = {
            {QStringLiteral("Teams"), {}, {}},
            {{},
             QStringLiteral("a"),
             QStringLiteral("SELECT Team, Count(*) AS N FROM People WHERE Active GROUP BY Team")}};
        derived.joins = {{QueryDef::JoinType::Inner, QStringLiteral("Teams"), QStringLiteral("a"),
                          QStringLiteral("Teams.Code = a.Team")}};
        const QString path = dir.filePath(QStringLiteral("aliases.mdb"));
        jet4::writeDatabase(path, {peopleTable(), teamTable()}, {tax, derived});
        QCOMPARE(rows(path, QStringLiteral("select * from Tax")), (QStringList{"40|20", "30|15"}));
        QCOMPARE(rows(path, QStringLiteral("select * from ActiveTeams")), QStringList{"Alpha|2"});
    }

    // Subqueries that name the outer query's fields, stored as Access writes them.
    void correlatedSubqueriesInStoredQueries() {
        QueryDef onTeam = peopleQuery("OnATeam", {{"People.First", ""}});
        onTeam.where =
            QStringLiteral("(((Exists (SELECT * FROM Teams AS T WHERE T.Code = People.Team))=True))");
        QueryDef firstOfTeam = peopleQuery("FirstOfTeam", {{"P.First", ""}});
        firstOfTeam.tables[0].alias = QStringLiteral("P");
        firstOfTeam.where =
            QStringLiteral("(((P.ID)=(SELECT Min(ID) FROM People AS P2 WHERE P2.Team = P.Team)))");
        const QString path = dir.filePath(QStringLiteral("correlated.mdb"));
        jet4::writeDatabase(path, {peopleTable(), teamTable()}, {onTeam, firstOfTeam});
        QCOMPARE(rows(path, QStringLiteral("select * from OnATeam")), (QStringList{"Ana", "Ben", "Cy"}));
        QCOMPARE(rows(path, QStringLiteral("select * from FirstOfTeam")), (QStringList{"Ana", "Ben"}));
        QCOMPARE(
            rows(path, QStringLiteral("select First from People where Team Not In (select Code from Teams "
                                      "where Title Like 'A%' and Code <> People.Team)")),
            (QStringList{"Ana", "Ben", "Cy"}));
    }

    // Join rows that close a ring: inner ones are one more condition on the joined rows, an outer
    // one in the ring is ambiguous. Every shape of join rows ends, with rows or an error.
    void joinRingsEnd() {
        const auto ring = [](const char* name, QueryDef::JoinType middle, QueryDef::JoinType closing) {
            QueryDef def = peopleQuery(name, {{"People.First", ""}, {"T2.Title", ""}});
            def.tables.push_back({QStringLiteral("Teams"), {}, {}});
            def.tables.push_back({QStringLiteral("Teams"), QStringLiteral("T2"), {}});
            def.joins = {{QueryDef::JoinType::Inner, QStringLiteral("People"), QStringLiteral("Teams"),
                          QStringLiteral("People.Team = Teams.Code")},
                         {middle, QStringLiteral("Teams"), QStringLiteral("T2"),
                          QStringLiteral("Teams.Code = T2.Code")},
                         {closing, QStringLiteral("T2"), QStringLiteral("People"),
                          QStringLiteral("T2.Code = People.Team AND T2.Title <> \"Beta\"")}};
            def.orderBy = {{QStringLiteral("People.ID"), false}};
            return def;
        };
        const auto inner = QueryDef::JoinType::Inner;
        QueryDef twice = ring("RingTwice", inner, inner);
        twice.joins.push_back({inner, QStringLiteral("Teams"), QStringLiteral("People"),
                               QStringLiteral("Teams.Code = People.Team")});
        QueryDef stray = ring("Stray", inner, inner);
        stray.joins.back().right = QStringLiteral("Ghost");
        QueryDef self = ring("Self", inner, inner);
        self.joins.back().right = QStringLiteral("T2");
        const QString path = dir.filePath(QStringLiteral("rings.mdb"));
        jet4::writeDatabase(path, {peopleTable(), teamTable()},
                            {ring("Ring", inner, inner), twice,
                             ring("OuterInRing", QueryDef::JoinType::Left, inner),
                             ring("OuterCloses", inner, QueryDef::JoinType::Right), stray, self});

        const QStringList expected{"Ana|Alpha", "Cy|Alpha"};
        QCOMPARE(rows(path, QStringLiteral("select * from Ring")), expected);
        QCOMPARE(rows(path, QStringLiteral("select * from RingTwice")), expected);
        QCOMPARE(rows(path, QStringLiteral(
                                "select People.First, T2.Title from (People inner join Teams on "
                                "People.Team = Teams.Code) inner join Teams as T2 on Teams.Code = T2.Code "
                                "where T2.Code = People.Team and T2.Title <> 'Beta' order by People.ID")),
                 expected);
        for (const char* name : {"OuterInRing", "OuterCloses"}) {
            int number = 0;
            const QString message =
                errorOf([&] { rows(path, QStringLiteral("select * from ") + QLatin1String(name)); }, &number);
            QCOMPARE(number, int(DataError::AmbiguousOuterJoins));
            QVERIFY(message.startsWith(
                QStringLiteral("The SQL statement could not be executed because it contains "
                               "ambiguous outer joins.")));
        }
        for (const char* name : {"Stray", "Self"}) {
            int number = 0;
            errorOf([&] { rows(path, QStringLiteral("select * from ") + QLatin1String(name)); }, &number);
            QCOMPARE(number, int(DataError::UnsupportedQuery));
        }
    }

    // Access stores a report's type as -32764; its low bits are those of a linked table.
    void reportNamedLikeAQueryHidesNothing() {
        QueryDef report = peopleQuery("PeopleX", {{"People.First", ""}});
        QueryDef names = peopleQuery("People2", {{"People.First", ""}});
        const QString path = dir.filePath(QStringLiteral("report.mdb"));
        jet4::writeDatabase(path, {peopleTable()}, {report, names});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        // The first query's catalog row: Id 0x80000001, ParentId 0x0F000001, Type 5.
        const QByteArray row = QByteArray::fromHex("010000800100000f0500");
        const qsizetype at = bytes.indexOf(row);
        QVERIFY(at >= 0);
        bytes[at + 8] = char(0x04);
        bytes[at + 9] = char(0x80);
        // ... and give it the query's name (the writer refuses two objects of one name).
        qsizetype name = bytes.indexOf(QByteArray("PeopleX"), at);
        if (name < 0)
            name = bytes.indexOf(QByteArray("P\0e\0o\0p\0l\0e\0X", 13), at);
        QVERIFY(name > at && name < at + 200);
        bytes[name + (bytes[name + 1] == 0 ? 12 : 6)] = '2';
        file.seek(0);
        file.write(bytes);
        file.close();
        QCOMPARE(rows(path, QStringLiteral("select * from People2 where First = 'cy'")), QStringList{"Cy"});
        Recordset table;
        table.openTable(QStringLiteral("People2"), openFile(path));
        QVERIFY(!table.eof());
    }

    void tableRecordSetOnAQueryRunsOnlyWhenRead() {
        QueryDef failing = peopleQuery("Failing", {{"People.ID", ""}, {"1/0", "Boom"}});
        QueryDef missing = peopleQuery("Missing", {{"People.Nope", ""}});
        QueryDef noTable = peopleQuery("NoTable", {{"Ghost.ID", ""}});
        noTable.tables = {{QStringLiteral("Ghost"), {}, {}}};
        const QString path = dir.filePath(QStringLiteral("lazy.mdb"));
        jet4::writeDatabase(path, {peopleTable()}, {failing, missing, noTable});
        auto connection = openFile(path);
        Recordset rs;
        rs.openTable(QStringLiteral("Failing"), connection); // checked, not run
        QCOMPARE(rs.fieldNames(), (QStringList{"ID", "Boom"}));
        int number = 0;
        QCOMPARE(errorOf([&] { rs.eof(); }, &number), QStringLiteral("Division by zero."));
        // What opening checks fails at the open, as before.
        errorOf([&] { rs.openTable(QStringLiteral("Missing"), connection); }, &number);
        QCOMPARE(number, int(DataError::ParameterMissing));
        errorOf([&] { rs.openTable(QStringLiteral("NoTable"), connection); }, &number);
        QCOMPARE(number, int(DataError::NoSuchSource));
        QVERIFY(!rs.isOpen());
    }

    void accessMadeQueries() {
        VERIFY_CORPUS(QStringLiteral("jackcess/queryTestV2000.mdb"));
        const QString path =
            convodesk::testing::corpusCopy(QStringLiteral("jackcess/queryTestV2000.mdb"), dir.path());
        QVERIFY(!path.isEmpty());
        Recordset rs;
        rs.openQuery(QStringLiteral("select * from SelectQuery"), openFile(path));
        QCOMPARE(rs.fieldNames(), (QStringList{"Table1.col1", "Table1.col2", "Table1.col3", "Table2.col1",
                                               "Table2.col2", "Table3.col3"}));
        for (const char* name : {"UpdateQuery", "AppendQuery", "DeleteQuery", "MakeTableQuery",
                                 "CrosstabQuery", "DataDefinitionQuery", "PassthroughQuery", "UnionQuery"}) {
            int number = 0;
            const QString message =
                errorOf([&] { rows(path, QStringLiteral("select * from ") + QLatin1String(name)); }, &number);
            QVERIFY2(number == DataError::UnsupportedQuery || number == DataError::ParameterMissing,
                     qPrintable(message));
        }
    }
};

QTEST_GUILESS_MAIN(StoredQueryFilesTest)
#include "tst_stored_query_files.moc"

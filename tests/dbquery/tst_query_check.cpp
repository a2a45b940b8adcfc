// convodesk-db query and check on files the writer makes.
#include "convodesk-db/CheckCommand.h"
#include "data/GraduateFile.h"
#include "convodesk-db/GraduateTables.h"
#include "convodesk-db/QueryCommand.h"
#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk::dbtool;
using convodesk::jet4::QueryDef;
using convodesk::jet4::Value;
using convodesk::dbtool::test::Run;
using convodesk::dbtool::test::run;

class QueryCheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;

private slots:
    void initTestCase() {
        file = dir.filePath(QStringLiteral("t.mdb"));
        convodesk::data::test::writeGraduateFile(
            file, {{Value::text(QStringLiteral("200312345678")), Value::text(QStringLiteral("Ana\tLima")),
                    Value::text(QStringLiteral("P1")), Value::integer(1)},
                   {Value::text(QStringLiteral("200312345678")), Value::null(),
                    Value::text(QStringLiteral("P19")), Value::null()},
                   {Value::text(QStringLiteral("short")), Value::text(QStringLiteral("\"Bo\"")),
                    Value::text(QStringLiteral("P2")), Value::integer(2)}});
    }

    void queryPrintsTableAndJson() {
        Run r = run<QueryCommand>(
            {file, QStringLiteral("select * from Graduate where Queue is not null order by Queue")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("GraduateID\tName\tProgram_Desc\tFaculty\tQueue\n"
                                       "200312345678\tAna Lima\tProgramme 17\tFSC\t1\n"
                                       "short\t\"Bo\"\tProgramme 16\tFSC\t2\n"));
        r = run<QueryCommand>(
            {QStringLiteral("--json"), file, QStringLiteral("select * from Graduate where Name is null")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("{\"GraduateID\":\"200312345678\",\"Name\":null,\"Program_Desc\":null,"
                                       "\"Faculty\":\"FSC\",\"Queue\":null}\n"));
        r = run<QueryCommand>({file, QStringLiteral("select * from Nowhere")});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("No table or query named 'Nowhere'")));
        QVERIFY(r.out.isEmpty());
    }

    void checkWarnsAndFails() {
        Run r = run<CheckCommand>({file});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("ok    Graduate (query): 3 rows")));
        for (const char* warning :
             {"GraduateID not 12 characters: 'short'", "duplicate GraduateID: 200312345678", "Null Name",
              "Null Program_Desc", "programme code not in Programme", "Null Queue"})
            QVERIFY2(r.out.contains(QLatin1String(warning)), warning);

        QCOMPARE(run<CheckCommand>({dir.filePath(QStringLiteral("none.mdb"))}).code, 2);
        QFile junk(dir.filePath(QStringLiteral("junk.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QCOMPARE(run<CheckCommand>({junk.fileName()}).code, 2);

        const QString sample = qEnvironmentVariable("CONVODESK_SHARED_DIR") +
                               QStringLiteral("/corpus/jackcess/queryTestV2000.mdb");
        if (QFile::exists(sample))
            QCOMPARE(run<CheckCommand>({sample}).code, 1);
    }

    // A Graduate that drops graduates fails the check, naming the query.
    void checkFailsGraduateThatLosesGraduates() {
        const std::vector<std::vector<Value>> one{{Value::text(QStringLiteral("200312345678")),
                                                   Value::text(QStringLiteral("Ana")),
                                                   Value::text(QStringLiteral("P1")), Value::integer(1)}};
        QueryDef noRows = GraduateTables::graduateQuery();
        noRows.where = QStringLiteral("1=0");
        QueryDef unknownJoin = GraduateTables::graduateQuery();
        unknownJoin.joins[0].type = static_cast<QueryDef::JoinType>(7);
        // Beyond any query's memory budget: the desk could not show it, so the check refuses it.
        QueryDef huge = GraduateTables::graduateQuery();
        huge.columns.push_back({QStringLiteral("Replace(Space(65535),\" \",Space(65535))"), QStringLiteral("Wide"), 0});
        const struct {
            const QueryDef* graduate;
            const char* reason;
        } cases[] = {{&noRows, "FAIL  Graduate: yields no row while the table Graduates holds 1 rows"},
                     {&unknownJoin, "FAIL  Graduate: The stored query 'Graduate' is invalid: it has an unknown "
                                    "join type (7) between 'Graduates' and 'Programme'."},
                     {&huge, "FAIL  Graduate: System resource exceeded."}};
        for (const auto& c : cases) {
            const QString path = dir.filePath(QStringLiteral("lost.mdb"));
            QFile::remove(path);
            convodesk::data::test::writeGraduateFile(path, one, c.graduate);
            const Run r = run<CheckCommand>({path});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.out.contains(QLatin1String(c.reason)), qPrintable(r.out));
        }
        // No graduates at all is an empty desk, not a lost one.
        const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
        convodesk::data::test::writeGraduateFile(empty, {});
        QCOMPARE(run<CheckCommand>({empty}).code, 0);
    }
};

QTEST_GUILESS_MAIN(QueryCheckTest)
#include "tst_query_check.moc"

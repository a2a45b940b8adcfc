// convodesk-db query and check on files the writer makes.
#include "convodesk-db/CheckCommand.h"
#include "convodesk-db/GraduateTables.h"
#include "convodesk-db/QueryCommand.h"
#include "support/CommandRun.h"
#include "support/CorpusFiles.h"
#include "support/DeskFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk::dbtool;
using convodesk::jet4::QueryDef;
using convodesk::jet4::Value;
using convodesk::testing::CommandRun;
using convodesk::testing::DeskFile;
using convodesk::testing::runCommand;

class QueryCheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;

private slots:
    void initTestCase() {
        file = dir.filePath(QStringLiteral("t.mdb"));
        DeskFile::made(
            {{Value::text(QStringLiteral("200312345678")), Value::text(QStringLiteral("Ana\tLima")),
              Value::text(QStringLiteral("P1")), Value::integer(1)},
             {Value::text(QStringLiteral("200312345678")), Value::null(), Value::text(QStringLiteral("P19")),
              Value::null()},
             {Value::text(QStringLiteral("short")), Value::text(QStringLiteral("\"Bo\"")),
              Value::text(QStringLiteral("P2")), Value::integer(2)}})
            .write(file);
    }

    void queryPrintsTableAndJson() {
        CommandRun r = runCommand<QueryCommand>(
            {file, QStringLiteral("select * from Graduate where Queue is not null order by Queue")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("GraduateID\tName\tProgram_Desc\tFaculty\tQueue\n"
                                       "200312345678\tAna Lima\tProgramme 17\tFSC\t1\n"
                                       "short\t\"Bo\"\tProgramme 16\tFSC\t2\n"));
        r = runCommand<QueryCommand>(
            {QStringLiteral("--json"), file, QStringLiteral("select * from Graduate where Name is null")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("{\"GraduateID\":\"200312345678\",\"Name\":null,\"Program_Desc\":null,"
                                       "\"Faculty\":\"FSC\",\"Queue\":null}\n"));
        r = runCommand<QueryCommand>({file, QStringLiteral("select * from Nowhere")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(QStringLiteral("No table or query named 'Nowhere'")));
        QVERIFY(r.out.isEmpty());
    }

    void checkWarnsAndFails() {
        CommandRun r = runCommand<CheckCommand>({file});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("ok    Graduate (query): 3 rows")));
        for (const char* warning :
             {"GraduateID not 12 characters: 'short'", "duplicate GraduateID: 200312345678", "Null Name",
              "Null Program_Desc", "programme code not in Programme", "Null Queue"})
            QVERIFY2(r.out.contains(QLatin1String(warning)), warning);

        QCOMPARE(runCommand<CheckCommand>({dir.filePath(QStringLiteral("none.mdb"))}).exitCode, 2);
        QFile junk(dir.filePath(QStringLiteral("junk.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QCOMPARE(runCommand<CheckCommand>({junk.fileName()}).exitCode, 2);

        // An Access-made file without the desk's tables fails the check.
        VERIFY_CORPUS(QStringLiteral("jackcess/queryTestV2000.mdb"));
        QCOMPARE(runCommand<CheckCommand>(
                     {convodesk::testing::corpusPath(QStringLiteral("jackcess/queryTestV2000.mdb"))})
                     .exitCode,
                 1);
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
        huge.columns.push_back(
            {QStringLiteral("Replace(Space(65535),\" \",Space(65535))"), QStringLiteral("Wide"), 0});
        const struct {
            const QueryDef* graduate;
            const char* reason;
        } cases[] = {{&noRows, "FAIL  Graduate: yields no row while the table Graduates holds 1 rows"},
                     {&unknownJoin,
                      "FAIL  Graduate: The stored query 'Graduate' is invalid: it has an unknown "
                      "join type (7) between 'Graduates' and 'Programme'."},
                     {&huge, "FAIL  Graduate: System resource exceeded."}};
        for (const auto& c : cases) {
            const QString path = dir.filePath(QStringLiteral("lost.mdb"));
            QFile::remove(path);
            DeskFile::made(one, c.graduate).write(path);
            const CommandRun r = runCommand<CheckCommand>({path});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.out.contains(QLatin1String(c.reason)), qPrintable(r.out));
        }
        // No graduates at all is an empty desk, not a lost one.
        const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
        DeskFile::made({}).write(empty);
        QCOMPARE(runCommand<CheckCommand>({empty}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(QueryCheckTest)
#include "tst_query_check.moc"

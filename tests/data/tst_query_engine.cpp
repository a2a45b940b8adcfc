// The query language over tables and stored queries held in memory.
#include "data/DataError.h"
#include "data/SqlText.h"
#include "data/query/eval/LikePattern.h"
#include "data/query/run/QueryEngine.h"
#include "support/CaughtError.h"
#include "support/MemoryCatalog.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QElapsedTimer>
#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::QueryDef;
using convodesk::jet4::Value;

using convodesk::testing::columnTexts;
using convodesk::testing::errorOf;
using convodesk::testing::n;
using convodesk::testing::t;

namespace {

QueryDef graduateQuery() {
    QueryDef def;
    def.name = QStringLiteral("Graduate");
    for (const char* c :
         {"Graduates.GraduateID", "Graduates.Name", "[Programme].[Program_Desc]", "Graduates.Queue"})
        def.columns.push_back({QString::fromLatin1(c), {}, 0});
    def.tables = {{QStringLiteral("Graduates"), {}, {}}, {QStringLiteral("Programme"), {}, {}}};
    def.joins.push_back({QueryDef::JoinType::Left, QStringLiteral("Graduates"), QStringLiteral("Programme"),
                         QStringLiteral("Graduates.Programme = Programme.Program_Code")});
    return def;
}

} // namespace

class QueryEngineTest : public QObject {
    Q_OBJECT

    convodesk::testing::MemoryCatalog catalog;

private slots:
    void init() {
        catalog = convodesk::testing::MemoryCatalog();
        catalog.addTable(QStringLiteral("Graduates"), {"GraduateID", "Name", "Programme", "Queue"},
                         {{t("200312345678"), t("Ana Lima"), t("BSC"), n(3)},
                          {t("O'Neil-00001"), t("Sean O'Neil"), t("BA"), n(1)},
                          {t("200399999999"), Value::null(), t("XX"), Value::null()},
                          {t("200300000001"), t(""), t("BA"), n(1)},
                          {t("2003_50%0001"), t("ÉMILE ÇA"), Value::null(), n(2)}});
        catalog.addTable(QStringLiteral("Programme"), {"Program_Code", "Program_Desc"},
                         {{t("BSC"), t("Science")}, {t("BA"), t("Arts")}, {t("MED"), t("Medicine")}});
        catalog.addQuery(graduateQuery());
    }

    void lookupByIdThroughTheStoredQuery() {
        query::QueryEngine engine(catalog);
        auto rows =
            engine.runText(QStringLiteral("select * from Graduate where GraduateID = '200312345678'"));
        QCOMPARE(columnTexts(rows, "Name"), QStringList{"Ana Lima"});
        QCOMPARE(columnTexts(rows, "Program_Desc"), QStringList{"Science"});
        QCOMPARE(rows.columns.size(), std::size_t(4));
        // Missing programme code: the graduate stays, with a Null description.
        rows = engine.runText(QStringLiteral("select * from Graduate where GraduateID = '200399999999'"));
        QCOMPARE(columnTexts(rows, "Program_Desc"), QStringList{"<null>"});
        // Letter case is ignored; a miss gives no row.
        QCOMPARE(engine.runText(QStringLiteral("SELECT * FROM graduate WHERE graduateid = 'o''neil-00001';"))
                     .rows.size(),
                 std::size_t(1));
        QCOMPARE(
            engine.runText(QStringLiteral("select * from Graduate where GraduateID = '2003'")).rows.size(),
            std::size_t(0));
    }

    void userTextIsMatchedLiterally() {
        query::QueryEngine engine(catalog);
        auto lookup = [&](const QString& id) {
            return engine.runText(QStringLiteral("select * from Graduate where GraduateID = ") +
                                  sqlTextLiteral(id));
        };
        QCOMPARE(columnTexts(lookup(QStringLiteral("O'Neil-00001")), "Name"), QStringList{"Sean O'Neil"});
        QCOMPARE(lookup(QStringLiteral("x' or 'a' = 'a")).rows.size(), std::size_t(0));
        QCOMPARE(lookup(QStringLiteral("'")).rows.size(), std::size_t(0));
        QCOMPARE(sqlTextLiteral(QStringLiteral("abc")), QStringLiteral("'abc'"));
    }

    void searchQueryWithLikeAndOrder() {
        query::QueryEngine engine(catalog);
        auto search = [&](const QString& text) {
            return columnTexts(engine.runText(QStringLiteral("select * from Graduate where Name like '%") +
                                              text + QStringLiteral("%' or GraduateID like '%") + text +
                                              QStringLiteral("%' or Program_Desc like '%") + text +
                                              QStringLiteral("%' order by Queue")),
                               "GraduateID");
        };
        // Null Queue first, ties in source order.
        QCOMPARE(search(QString()), (QStringList{"200399999999", "O'Neil-00001", "200300000001",
                                                 "2003_50%0001", "200312345678"}));
        QCOMPARE(search(QStringLiteral("ART")), (QStringList{"O'Neil-00001", "200300000001"}));
        QCOMPARE(search(QStringLiteral("émile ça")), QStringList{"2003_50%0001"});
        QCOMPARE(search(QStringLiteral("zzz")), QStringList());
        // '_' and '%' typed by the user act as wildcards, as in Jet.
        QCOMPARE(search(QStringLiteral("_50%")), QStringList{"2003_50%0001"});
    }

    void nullMatchesNeitherEqualNorLike() {
        query::QueryEngine engine(catalog);
        auto rows = engine.runText(QStringLiteral("select * from Graduates where Name like '%%'"));
        QCOMPARE(rows.rows.size(), std::size_t(4));
        rows = engine.runText(QStringLiteral("select * from Graduates where Name = ''"));
        QCOMPARE(columnTexts(rows, "GraduateID"), QStringList{"200300000001"});
        rows =
            engine.runText(QStringLiteral("select * from Graduates where Name is null or not (Queue <> 2)"));
        QCOMPARE(columnTexts(rows, "GraduateID"), (QStringList{"200399999999", "2003_50%0001"}));
    }

    void orderByManyKeysAndDirections() {
        query::QueryEngine engine(catalog);
        auto rows =
            engine.runText(QStringLiteral("select * from Graduates order by Programme desc, [Queue] asc"));
        QCOMPARE(columnTexts(rows, "GraduateID"), (QStringList{"200399999999", "200312345678", "O'Neil-00001",
                                                               "200300000001", "2003_50%0001"}));
        rows = engine.runText(QStringLiteral("select * from Programme order by Program_Desc"));
        QCOMPARE(columnTexts(rows, "Program_Desc"), (QStringList{"Arts", "Medicine", "Science"}));
    }

    void tenThousandRowsKeepTheirOrderOnTies() {
        std::vector<std::vector<Value>> rows;
        rows.reserve(10000);
        for (int i = 0; i < 10000; ++i)
            rows.push_back({n(i), n(i % 7)});
        catalog.addTable(QStringLiteral("Big"), {"Id", "Queue"}, std::move(rows));
        query::QueryEngine engine(catalog);
        const auto sorted = engine.runText(QStringLiteral("select * from Big order by Queue"));
        QCOMPARE(sorted.rows.size(), std::size_t(10000));
        for (std::size_t i = 1; i < sorted.rows.size(); ++i) {
            const auto& a = sorted.rows[i - 1];
            const auto& b = sorted.rows[i];
            QVERIFY(a[1].asInteger() < b[1].asInteger() ||
                    (a[1].asInteger() == b[1].asInteger() && a[0].asInteger() < b[0].asInteger()));
        }
    }

    void conditionsReadOnlyTheColumnsTheyNeed() {
        query::QueryEngine engine(catalog);
        catalog.valuesRead = 0;
        engine.runText(QStringLiteral("select * from Graduates where GraduateID = 'none'"));
        QCOMPARE(catalog.valuesRead, 5);
        // Through the stored query the lookup goes to the Graduates scan too.
        catalog.valuesRead = 0;
        engine.runText(QStringLiteral("select * from Graduate where GraduateID = '200312345678'"));
        QCOMPARE(catalog.valuesRead, 5 + 4 + 3 * 2);
    }

    void likeIsLinear() {
        query::LikePattern pattern(QStringLiteral("%a%a%a%a%a%a%a%a%a%a%a%a%b"));
        const QString text(20000, QLatin1Char('a'));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!pattern.matches(text));
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(query::LikePattern(QStringLiteral("a_c")).matches(QStringLiteral("ABC")));
        QVERIFY(!query::LikePattern(QStringLiteral("a_c")).matches(QStringLiteral("ac")));
        QVERIFY(query::LikePattern(QStringLiteral("école%")).matches(QStringLiteral("ÉCOLE NORMALE")));
        // Contains: plain letters, letters next to accents, and a sign that folds to a plain letter.
        const query::LikePattern contains(QStringLiteral("%Ab1%"));
        QVERIFY(contains.matches(QStringLiteral("xxaB1")));
        QVERIFY(contains.matches(QStringLiteral("éAB1é")));
        QVERIFY(!contains.matches(QStringLiteral("aB")));
        QVERIFY(!contains.matches(QStringLiteral("éa b1")));
        QVERIFY(query::LikePattern(QStringLiteral("%k%")).matches(QString(QChar(0x212A))));
        QVERIFY(query::LikePattern(QStringLiteral("a*"), query::LikePattern::Wildcards::Access)
                    .matches(QStringLiteral("abc")));
        QVERIFY(!query::LikePattern(QStringLiteral("a*")).matches(QStringLiteral("abc")));
    }

    void errorsNameTheirCause() {
        query::QueryEngine engine(catalog);
        int number = 0;
        QCOMPARE(errorOf([&] { engine.runText(QStringLiteral("select * from Nothing")); }, &number),
                 QStringLiteral("No table or query named 'Nothing' in 'memory.mdb'."));
        QCOMPARE(number, int(DataError::NoSuchSource));
        QCOMPARE(errorOf([&] { engine.runText(QStringLiteral("select * from Graduate where Nme = 'x'")); },
                         &number),
                 QStringLiteral("No field named 'Nme' in 'Graduate'."));
        QCOMPARE(number, int(DataError::NoSuchField));
        QCOMPARE(errorOf([&] { engine.runText(QStringLiteral("select * from Graduates order by Nope")); }),
                 QStringLiteral("No field named 'Nope' in 'Graduates'."));
        const QString syntax =
            errorOf([&] { engine.runText(QStringLiteral("select * from where Name = 'x'")); }, &number);
        QCOMPARE(number, int(DataError::SyntaxError));
        QVERIFY2(
            syntax.startsWith(QStringLiteral("Syntax error in the query at character 15: expected a table or "
                                             "query name, found 'where'.")),
            qPrintable(syntax));
        QVERIFY(errorOf([&] {
                    engine.runText(QStringLiteral("select * from Graduates where Name = 'x"));
                }).contains(QStringLiteral("closing quote")));
        QVERIFY(errorOf([&] {
                    engine.runText(QStringLiteral("select * from Graduates g extra"));
                }).contains(QStringLiteral("character 27")));
    }

    void storedQueryShapes() {
        QueryDef inner; // programmes that have graduates, via a right join and DISTINCT
        inner.name = QStringLiteral("Taught");
        inner.selectFlags = QueryDef::Distinct;
        inner.columns = {{QStringLiteral("P.Program_Desc"), QStringLiteral("Title"), 0}};
        inner.tables = {{QStringLiteral("Graduates"), QStringLiteral("G"), {}},
                        {QStringLiteral("Programme"), QStringLiteral("P"), {}}};
        inner.joins = {{QueryDef::JoinType::Right, QStringLiteral("G"), QStringLiteral("P"),
                        QStringLiteral("(G.Programme=P.Program_Code)")}};
        inner.where = QStringLiteral("((G.Queue) Is Not Null)");
        inner.orderBy = {{QStringLiteral("P.Program_Desc"), true}};
        catalog.addQuery(inner);
        QueryDef outer; // a query over that query
        outer.name = QStringLiteral("TaughtAll");
        outer.columns = {{QStringLiteral("Taught.*"), {}, 0}};
        outer.tables = {{QStringLiteral("Taught"), {}, {}}};
        outer.where = QStringLiteral("Title Like \"%s%\"");
        catalog.addQuery(outer);
        query::QueryEngine engine(catalog);
        QCOMPARE(columnTexts(engine.runSource(QStringLiteral("Taught")), "Title"),
                 (QStringList{"Science", "Arts"}));
        QCOMPARE(columnTexts(engine.runSource(QStringLiteral("TaughtAll")), "Title"),
                 (QStringList{"Science", "Arts"}));
        QCOMPARE(columnTexts(engine.runText(QStringLiteral("select * from TaughtAll where Title = 'arts'")),
                             "Title"),
                 QStringList{"Arts"});

        QueryDef all; // an inner join with every field
        all.name = QStringLiteral("Everything");
        all.selectFlags = QueryDef::AllFields;
        all.tables = inner.tables;
        all.joins = {{QueryDef::JoinType::Inner, QStringLiteral("G"), QStringLiteral("P"),
                      QStringLiteral("G.Programme = P.Program_Code")}};
        catalog.addQuery(all);
        const auto rows = engine.runSource(QStringLiteral("Everything"));
        QCOMPARE(rows.columns.size(), std::size_t(6));
        QCOMPARE(columnTexts(rows, "GraduateID"),
                 (QStringList{"200312345678", "O'Neil-00001", "200300000001"}));
    }

    void conditionsOverJoinedTablesKeepOuterRowsAndOrder() {
        query::QueryEngine engine(catalog);
        // The left join's missing programmes are Null on the condition's Programme side.
        auto rows = engine.runText(
            QStringLiteral("select * from Graduate where Program_Desc is null or Name like '%lima%'"));
        QCOMPARE(columnTexts(rows, "GraduateID"),
                 (QStringList{"200312345678", "200399999999", "2003_50%0001"}));
        QCOMPARE(columnTexts(rows, "Program_Desc"), (QStringList{"Science", "<null>", "<null>"}));

        QueryDef right; // a right join: programmes without graduates follow the matched rows
        right.name = QStringLiteral("ByProgramme");
        right.columns = {{QStringLiteral("G.GraduateID"), {}, 0}, {QStringLiteral("P.Program_Desc"), {}, 0}};
        right.tables = {{QStringLiteral("Graduates"), QStringLiteral("G"), {}},
                        {QStringLiteral("Programme"), QStringLiteral("P"), {}}};
        right.joins = {{QueryDef::JoinType::Right, QStringLiteral("G"), QStringLiteral("P"),
                        QStringLiteral("G.Programme = P.Program_Code")}};
        right.where = QStringLiteral("G.Name Is Null Or P.Program_Desc = \"Arts\"");
        catalog.addQuery(right);
        rows = engine.runSource(QStringLiteral("ByProgramme"));
        QCOMPARE(columnTexts(rows, "GraduateID"), (QStringList{"O'Neil-00001", "200300000001", "<null>"}));
        QCOMPARE(columnTexts(rows, "Program_Desc"), (QStringList{"Arts", "Arts", "Medicine"}));
    }

    void storedQueriesWeCannotRunAreRefused() {
        auto refusal = [&](QueryDef def) {
            def.name = QStringLiteral("Q");
            if (def.tables.empty())
                def.tables = {{QStringLiteral("Graduates"), {}, {}}};
            if (def.columns.empty())
                def.columns = {{QStringLiteral("Name"), {}, 0}};
            catalog.addQuery(def);
            query::QueryEngine engine(catalog);
            return errorOf([&] { engine.runText(QStringLiteral("select * from Q")); });
        };
        QueryDef unionQuery;
        unionQuery.kind = QueryDef::Kind::Union;
        QCOMPARE(refusal(unionQuery),
                 QStringLiteral(
                     "The stored query 'Q' uses UNION without its parts, which this program cannot run."));
        QueryDef function;
        function.columns = {{QStringLiteral("UCase(Name)"), {}, 0}};
        QCOMPARE(refusal(function), QStringLiteral("<no error>"));
        QueryDef parameters;
        parameters.parameters = {{QStringLiteral("Which"), 10}};
        QCOMPARE(refusal(parameters), QStringLiteral("No value given for one or more required parameters."));
        QueryDef selfReference;
        selfReference.tables = {{QStringLiteral("Q"), {}, {}}};
        QVERIFY(refusal(selfReference).contains(QStringLiteral("uses itself")));
        QueryDef remote;
        remote.sourceDatabase = QStringLiteral("C:\\other.mdb");
        QVERIFY(refusal(remote).contains(QStringLiteral("a table in another database")));
    }
};

QTEST_GUILESS_MAIN(QueryEngineTest)
#include "tst_query_engine.moc"

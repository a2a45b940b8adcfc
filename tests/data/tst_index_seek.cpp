// Conditions answered through an index give exactly the rows a full read gives.
#include "data/query/eval/CaseVariants.h"
#include "data/query/run/QueryEngine.h"
#include "support/MemoryCatalog.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::QueryDef;
using convodesk::jet4::Value;
using convodesk::testing::MemoryCatalog;
using convodesk::testing::n;
using convodesk::testing::rowTexts;
using convodesk::testing::t;

namespace {

void addDesk(MemoryCatalog& catalog) {
    catalog.addTable(QStringLiteral("Graduates"), {"GraduateID", "Name", "Programme", "Queue"},
                     {{t("CV24DIT00001"), t("Ana Lima"), t("dit"), n(3)},
                      {t("cv24dit00001"), t("Second spelling"), t("DIT"), n(4)},
                      {t("CV24DIT00002"), t("Sean O'Neil"), t("BA"), n(1)},
                      {t("CV24-DIT00002"), t("Hyphenated"), t("BA"), n(7)},
                      {t("CV24DIT00002 "), t("Trailing space"), t("BA"), n(8)},
                      {t("DESK"), t("Plain"), t("MED"), n(5)},
                      {t("des\u212A"), t("Kelvin sign"), t("BA"), n(6)},
                      {t("de\u017Fk"), t("Long s"), Value::null(), n(2)},
                      {Value::null(), t("No ID"), t("BA"), n(9)}});
    catalog.addTable(QStringLiteral("Programme"), {"Program_Code", "Program_Desc"},
                     {{t("DIT"), t("Diploma in IT")}, {t("BA"), t("Arts")}, {t("MED"), t("Medicine")}});
    QueryDef def;
    def.name = QStringLiteral("Graduate");
    for (const char* c :
         {"Graduates.GraduateID", "Graduates.Name", "[Programme].[Program_Desc]", "Graduates.Queue"})
        def.columns.push_back({QString::fromLatin1(c), {}, 0});
    def.tables = {{QStringLiteral("Graduates"), {}, {}}, {QStringLiteral("Programme"), {}, {}}};
    def.joins.push_back({QueryDef::JoinType::Left, QStringLiteral("Graduates"), QStringLiteral("Programme"),
                         QStringLiteral("Graduates.Programme = Programme.Program_Code")});
    catalog.addQuery(def);
}

QStringList sorted(QStringList rows) {
    rows.sort();
    return rows;
}

} // namespace

class IndexSeekTest : public QObject {
    Q_OBJECT

    // The same query on a catalog with indexes and on one without: the same rows, and the
    // number of seeks the indexed one made.
    struct Outcome {
        QStringList indexed;
        QStringList scanned;
        int seeks = 0;
    };
    static Outcome run(const QString& text) {
        MemoryCatalog plain;
        addDesk(plain);
        MemoryCatalog indexed;
        addDesk(indexed);
        indexed.addIndex(QStringLiteral("Graduates"), QStringLiteral("GraduateID"));
        indexed.addIndex(QStringLiteral("Graduates"), QStringLiteral("Queue"));
        indexed.addIndex(QStringLiteral("Programme"), QStringLiteral("Program_Code"));
        query::QueryEngine plainEngine(plain);
        query::QueryEngine indexedEngine(indexed);
        Outcome outcome;
        outcome.scanned = sorted(rowTexts(plainEngine.runText(text)));
        outcome.indexed = sorted(rowTexts(indexedEngine.runText(text)));
        outcome.seeks = indexed.seeks;
        return outcome;
    }

private slots:
    void conditionsAnsweredByAnIndex_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seeks");
        QTest::addColumn<int>("rows");
        // Letter case ignored, a trailing space and a hyphen are other IDs.
        QTest::newRow("id") << "select * from Graduates where GraduateID = 'CV24DIT00002'" << 1 << 1;
        QTest::newRow("case") << "select * from Graduates where GraduateID = 'cv24dit00001'" << 1 << 2;
        QTest::newRow("reversed") << "select * from Graduates where 'CV24DIT00002' = GraduateID" << 1 << 1;
        QTest::newRow("missing") << "select * from Graduates where GraduateID = 'CV24DIT99999'" << 1 << 0;
        // Letters whose case pair has codes of their own are still found.
        QTest::newRow("kelvin and long s") << "select * from Graduates where GraduateID = 'desk'" << 4 << 3;
        QTest::newRow("number") << "select Name from Graduates where Queue = 5" << 1 << 1;
        QTest::newRow("and") << "select * from Graduates where GraduateID = 'CV24DIT00001' and Queue > 3" << 1
                             << 1;
        QTest::newRow("or scans") << "select * from Graduates where GraduateID = 'DESK' or Queue = 1" << 0
                                  << 4;
        QTest::newRow("unindexed") << "select * from Graduates where Name = 'Plain'" << 0 << 1;
        QTest::newRow("null never equal") << "select * from Graduates where GraduateID = Null" << 0 << 0;
        // Through the stored query: the graduate by index, then its programme by index.
        QTest::newRow("stored query") << "select * from Graduate where GraduateID = 'CV24DIT00002'" << 2 << 1;
        QTest::newRow("join, two spellings")
            << "select * from Graduate where GraduateID = 'cv24dit00001'" << 2 << 2;
        QTest::newRow("join, several programmes")
            << "select * from Graduate where GraduateID = 'de\u017Fk'" << 4 << 3;
        QTest::newRow("join after a number") << "select * from Graduate where Queue = 5" << 2 << 1;
    }
    void conditionsAnsweredByAnIndex() {
        QFETCH(QString, text);
        QFETCH(int, seeks);
        QFETCH(int, rows);
        const Outcome outcome = run(text);
        QCOMPARE(outcome.indexed, outcome.scanned);
        QCOMPARE(outcome.indexed.size(), rows);
        QCOMPARE(outcome.seeks, seeks);
    }

    void spellingsAnIndexIsAskedFor() {
        using query::CaseVariants;
        QCOMPARE(CaseVariants::forSeek(u"CV24DIT00001"), QStringList{"CV24DIT00001"});
        const auto desk = CaseVariants::forSeek(u"Desk");
        QVERIFY(desk);
        QCOMPARE(desk->size(), 4);
        QVERIFY(desk->contains(QStringLiteral("De\u017F\u212A")));
        // Too many spellings, or a character beyond the BMP: no seek.
        QVERIFY(!CaseVariants::forSeek(u"kkkkk"));
        QVERIFY(!CaseVariants::forSeek(u"a\U0001F600"));
        // Accented letters and their capitals share their codes.
        QCOMPARE(CaseVariants::forSeek(u"Émile")->size(), 1);
    }
};

QTEST_GUILESS_MAIN(IndexSeekTest)
#include "tst_index_seek.moc"

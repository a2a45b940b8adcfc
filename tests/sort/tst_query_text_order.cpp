// The query language puts texts in Jet's General order: ORDER BY, Min/Max, <, >, Between;
// equality still ignores letter case only. A file with another sort order refuses to put
// texts in order and still answers everything else.
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"
#include "data/query/run/QueryEngine.h"
#include "support/CaughtError.h"
#include "support/CorpusFiles.h"
#include "support/MemoryCatalog.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::Value;

using convodesk::testing::columnTexts;
using convodesk::testing::errorOf;
using convodesk::testing::t;

namespace {

QStringList words(const char* spaced) {
    return QString::fromUtf8(spaced).split(QLatin1Char('|'));
}

// Words in an order that is neither Jet's nor code point order.
void addWords(convodesk::testing::MemoryCatalog& catalog) {
    std::vector<std::vector<Value>> rows;
    int n = 0;
    for (const char* word : {"Zürich", "cop", "Bon app'", "北京", "abd", "co-op", "9", "Ábc", "Bólido",
                             "coop", "10", "abc", "Straße", "Strase"})
        rows.push_back({t(word), Value::integer(++n)});
    rows.push_back({Value(), Value::integer(++n)});
    catalog.addTable(QStringLiteral("Words"), {"Word", "N"}, std::move(rows));
}

// A file whose header names the French sort order.
class FrenchCatalog : public convodesk::testing::MemoryCatalog {
public:
    convodesk::jet4::SortOrder textSortOrder() const override { return {0x040C, 0}; }
};

} // namespace

class QueryTextOrderTest : public QObject {
    Q_OBJECT

private slots:
    void orderByText() {
        convodesk::testing::MemoryCatalog catalog;
        addWords(catalog);
        query::QueryEngine engine(catalog);
        const QStringList jet =
            words("<null>|10|9|abc|Ábc|abd|Bólido|Bon app'|coop|co-op|cop|Strase|Straße|Zürich|北京");
        QCOMPARE(columnTexts(engine.runText(QStringLiteral("select Word from Words order by Word"))), jet);
        QStringList descending = jet;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(columnTexts(engine.runText(QStringLiteral("select Word, N from Words order by Word desc"))),
                 descending);
        // "abc" and "Ábc" differ only by the accent; "ABC" would tie with "abc".
        QCOMPARE(
            columnTexts(engine.runText(QStringLiteral("select top 4 Word from Words where Word is not null "
                                                      "order by Word"))),
            words("10|9|abc|Ábc"));
    }

    void minAndMaxOfText() {
        convodesk::testing::MemoryCatalog catalog;
        catalog.addTable(QStringLiteral("Names"), {"Name", "Kind"},
                         {{t("abd"), t("x")},
                          {t("Bon"), t("x")},
                          {t("Ábc"), t("x")},
                          {t("Bólido"), t("y")},
                          {t("bolero"), t("y")}});
        query::QueryEngine engine(catalog);
        const auto all = engine.runText(QStringLiteral("select Min(Name), Max(Name) from Names"));
        QCOMPARE(columnTexts(all, 0), QStringList{QStringLiteral("Ábc")});
        QCOMPARE(columnTexts(all, 1), QStringList{QStringLiteral("Bon")});
        const auto grouped =
            engine.runText(QStringLiteral("select Kind, Min(Name), Max(Name) from Names group by Kind"));
        QCOMPARE(columnTexts(grouped, 1), words("Ábc|bolero"));
        QCOMPARE(columnTexts(grouped, 2), words("Bon|Bólido"));
    }

    void comparisonsOfText() {
        convodesk::testing::MemoryCatalog catalog;
        addWords(catalog);
        query::QueryEngine engine(catalog);
        const auto where = [&](const char* condition) {
            return columnTexts(engine.runText(QStringLiteral("select Word from Words where %1 order by Word")
                                                  .arg(QString::fromUtf8(condition))));
        };
        QCOMPARE(where("Word < 'B'"), words("10|9|abc|Ábc|abd"));
        QCOMPARE(where("Word >= 'bo' and Word < 'C'"), words("Bólido|Bon app'"));
        QCOMPARE(where("Word between 'b' and 'a'"), words("abc|Ábc|abd"));
        QCOMPARE(where("Word not between 'a' and 'z'"), words("10|9|Zürich|北京"));
        QCOMPARE(where("Word > 'coop' and Word <= 'cop'"), words("co-op|cop"));
        // Equality ignores letter case, not accents; <= agrees with it.
        QCOMPARE(where("Word = 'ABC'"), words("abc"));
        QCOMPARE(where("Word <= 'ABC'"), words("10|9|abc"));
        QCOMPARE(where("Word <> 'ABC' and Word < 'abd'"), words("10|9|Ábc"));
        // Texts with equal keys that differ are still not equal.
        QCOMPARE(where("Word = 'Strasse'"), QStringList());
        QCOMPARE(where("Word >= 'Strasse' and Word < 'T'"), words("Straße"));
    }

    void otherSortOrderRefusesOnlyOrderingTexts() {
        FrenchCatalog catalog;
        addWords(catalog);
        query::QueryEngine engine(catalog);
        for (const char* text :
             {"select Word from Words order by Word", "select Max(Word) from Words",
              "select N from Words where Word < 'b'", "select N from Words where Word between 'a' and 'b'"}) {
            int number = 0;
            const QString description = errorOf([&] { engine.runText(QString::fromUtf8(text)); }, &number);
            QCOMPARE(number, int(DataError::UnsupportedQuery));
            QVERIFY2(description.contains(QStringLiteral("General")) &&
                         description.contains(QStringLiteral("memory.mdb")),
                     qPrintable(description));
        }
        QCOMPARE(columnTexts(engine.runText(QStringLiteral("select N from Words where Word = 'ABC'"))),
                 words("12"));
        QCOMPARE(columnTexts(
                     engine.runText(QStringLiteral("select top 2 N from Words where N > 3 order by N desc"))),
                 words("15|14"));
        QCOMPARE(columnTexts(engine.runText(QStringLiteral("select Max(N) from Words"))), words("15"));
    }

    // On real Access-made files: the header's order is read, a General file orders by it, and
    // a file whose header names another order refuses to order texts but answers lookups.
    void realFiles() {
        QTemporaryDir dir;
        VERIFY_CORPUS(QStringLiteral("jackcess/testUnicodeCompV2003.mdb"));
        const QString source =
            convodesk::testing::corpusPath(QStringLiteral("jackcess/testUnicodeCompV2003.mdb"));
        const QString general = dir.filePath(QStringLiteral("General.mdb"));
        const QString french = dir.filePath(QStringLiteral("French.mdb"));
        QVERIFY(QFile::copy(source, general) && QFile::copy(source, french));
        QFile::setPermissions(french, QFile::ReadOwner | QFile::WriteOwner);
        QFile patch(french);
        QVERIFY(patch.open(QIODevice::ReadWrite));
        QByteArray header = patch.read(4096);
        header[0x6E] = static_cast<char>(header[0x6E] ^ (0x09 ^ 0x0C)); // the masked LCID 0x0409 -> 0x040C
        patch.seek(0);
        patch.write(header);
        patch.close();

        const auto ids = [](const QString& file, const char* query) {
            Recordset rs;
            rs.openQuery(QString::fromUtf8(query),
                         QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file);
            QStringList out;
            for (; !rs.eof(); rs.moveNext())
                out << displayText(rs.field(QStringLiteral("ID")));
            return out;
        };
        // Unprintable tab and line feed, then a space; digits; letters with accents by their
        // base letter; then Greek, Cyrillic, CJK (the order of the file's own index on the column).
        QCOMPARE(ids(general, "select ID from [Table] order by [Unicode]"), words("8|6|2|1|7|4|3|5"));
        QCOMPARE(ids(french, "select ID from [Table] where [Unicode] = 'ÜMLAUT'"), words("7"));
        int number = 0;
        const QString description =
            errorOf([&] { ids(french, "select ID from [Table] order by [Unicode]"); }, &number);
        QCOMPARE(number, int(DataError::UnsupportedQuery));
        QVERIFY2(description.contains(QStringLiteral("1036")), qPrintable(description));
    }
};

QTEST_GUILESS_MAIN(QueryTextOrderTest)
#include "tst_query_text_order.moc"

// On Access-made files: a condition "column = value" answered through the file's index keeps
// exactly the rows a full read keeps, for every value of every column that leads an index.
#include "data/DatabaseCatalog.h"
#include "data/jet4/read/Database.h"
#include "data/query/run/QueryEngine.h"
#include "support/CorpusFiles.h"
#include "support/RowText.h"

#include <QDir>
#include <QSet>
#include <QTest>

using namespace convodesk;
using data::query::Catalog;
using data::query::RowSource;

namespace {

// The same file with its indexes hidden, or with the seeks it answers counted.
class ForwardingCatalog : public Catalog {
public:
    ForwardingCatalog(Catalog& inner, bool seeks) : inner_(inner), seeks_(seeks) {}
    QString fileName() const override { return inner_.fileName(); }
    std::unique_ptr<RowSource> openTable(const QString& name) override { return inner_.openTable(name); }
    std::optional<jet4::QueryDef> findQuery(const QString& name) override { return inner_.findQuery(name); }
    jet4::SortOrder textSortOrder() const override { return inner_.textSortOrder(); }
    std::unique_ptr<RowSource> openTableSeek(const QString& table, const QString& column,
                                             const jet4::Value& value) override {
        if (!seeks_)
            return nullptr;
        auto rows = inner_.openTableSeek(table, column, value);
        answered += rows ? 1 : 0;
        return rows;
    }
    int answered = 0;

private:
    Catalog& inner_;
    bool seeks_;
};

data::query::ExprPtr equalTo(const QString& column, const jet4::Value& value) {
    auto field = std::make_unique<data::query::Expr>();
    field->kind = data::query::Expr::Kind::Field;
    field->name = column;
    auto condition = data::query::makeBinary(data::query::Expr::Kind::Compare, std::move(field),
                                             data::query::makeLiteral(value));
    condition->op = data::query::Expr::Op::Equal;
    return condition;
}

} // namespace

class SeekCorpusTest : public QObject {
    Q_OBJECT

private slots:
    void everyIndexedValueFindsTheRowsAScanFinds() {
        const QDir folder(testing::corpusPath(QStringLiteral("jackcess")));
        VERIFY_CORPUS(QStringLiteral("jackcess"));
        int conditions = 0;
        int sought = 0;
        for (const QString& file : folder.entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name)) {
            const auto database = jet4::Database::open(folder.filePath(file));
            data::DatabaseCatalog catalog(database);
            ForwardingCatalog indexed(catalog, true);
            ForwardingCatalog scanning(catalog, false);
            data::query::QueryEngine seekEngine(indexed);
            data::query::QueryEngine scanEngine(scanning);
            for (const QString& tableName : database->tableNames()) {
                const jet4::TableDef* table = database->findTable(tableName);
                QSet<int> leading;
                for (const jet4::RealIndexDef& index : table->realIndexes)
                    leading.insert(index.columns.front().columnIndex);
                for (int column : leading) {
                    const QString columnName = table->columns[column].name;
                    // Every distinct value the column holds, and one it does not.
                    QSet<QString> seen;
                    std::vector<jet4::Value> values;
                    auto cursor = database->openCursor(*table);
                    while (cursor->next()) {
                        const jet4::Value value = cursor->value(column);
                        if (!value.isNull() && !seen.contains(testing::cellText(value))) {
                            seen.insert(testing::cellText(value));
                            values.push_back(value);
                        }
                    }
                    values.push_back(jet4::Value::text(QStringLiteral("no such value")));
                    for (const jet4::Value& value : values) {
                        const auto condition = equalTo(columnName, value);
                        const int before = indexed.answered;
                        const QStringList viaIndex =
                            testing::rowTexts(seekEngine.scan(tableName, condition.get()));
                        const QStringList viaScan =
                            testing::rowTexts(scanEngine.scan(tableName, condition.get()));
                        QVERIFY2(QSet<QString>(viaIndex.begin(), viaIndex.end()) ==
                                         QSet<QString>(viaScan.begin(), viaScan.end()) &&
                                     viaIndex.size() == viaScan.size(),
                                 qPrintable(
                                     QStringLiteral("%1 %2.%3 = %4: %5 rows through the index, %6 by a scan")
                                         .arg(file, tableName, columnName, testing::cellText(value))
                                         .arg(viaIndex.size())
                                         .arg(viaScan.size())));
                        ++conditions;
                        sought += indexed.answered > before ? 1 : 0;
                    }
                }
            }
        }
        qInfo("%d conditions, %d answered through an index", conditions, sought);
        // Most conditions are answered by a seek: the comparison above is not between two scans.
        QVERIFY(sought > conditions / 2);
    }
};

QTEST_GUILESS_MAIN(SeekCorpusTest)
#include "tst_seek_corpus.moc"

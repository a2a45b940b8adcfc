// Every user table of every Access-made file in tests/corpus, read by us and by the two
// references (mdb-reader through tests/node, mdbtools' mdb-export). See REFERENCES.md.
#include "data/jet4/Error.h"
#include "data/jet4/read/Database.h"
#include "support/CorpusFiles.h"
#include "support/ReferenceJson.h"
#include "support/ReferenceReaders.h"

#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace convodesk;
using testing::ReferenceReaders;

namespace {

bool sameValue(const QJsonValue& ours, const QJsonValue& theirs) {
    if (ours == theirs)
        return true;
    return ours.isDouble() && theirs.isDouble() && ours.toDouble() == theirs.toDouble();
}

} // namespace

class ReaderCorpusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        if (ReferenceReaders::nodeFolder().isEmpty())
            QSKIP("mdb-reader is not installed (run npm ci in tests/node)");
    }

    void matchesMdbReader_data() {
        QTest::addColumn<QString>("file");
        for (const QString& sub : {QStringLiteral("jackcess"), QStringLiteral("mdb-reader")}) {
            const QStringList names =
                QDir(testing::corpusPath(sub)).entryList({QStringLiteral("*.mdb")}, QDir::Files);
            if (names.isEmpty()) // a row that fails, naming the folder
                QTest::newRow(qPrintable(sub)) << sub + QStringLiteral("/*.mdb");
            for (const QString& name : names) {
                if (!name.contains(QLatin1String("with-password")))
                    QTest::newRow(qPrintable(name)) << sub + QLatin1Char('/') + name;
            }
        }
    }

    // Same tables, same rows in the same order, same values; Null kept apart from "".
    void matchesMdbReader() {
        QFETCH(QString, file);
        VERIFY_CORPUS(file);
        const QString path = testing::corpusCopy(file, dir_.path());
        QVERIFY(!path.isEmpty());
        const auto db = jet4::Database::open(path);
        const QJsonObject reference = ReferenceReaders::mdbReaderDump(path);
        QStringList referenceTables;
        for (const QJsonValue t : reference.value(QStringLiteral("tables")).toArray())
            referenceTables << t.toString();
        QCOMPARE(db->tableNames(), referenceTables);

        const QJsonObject data = reference.value(QStringLiteral("data")).toObject();
        for (const QString& name : referenceTables) {
            const jet4::TableDef* table = db->findTable(name);
            QVERIFY(table);
            const QJsonObject theirs = data.value(name).toObject();
            QJsonArray ours = testing::readAllRows(*db, *table);
            QJsonArray expected = theirs.value(QStringLiteral("rows")).toArray();
            QCOMPARE(ours.size(), expected.size());
            QCOMPARE(qint64(table->storedRowCount), qint64(ours.size()));
            QCOMPARE(db->checkRowCount(*table).rowsMissing(), false);
            QCOMPARE(int(table->columns.size()),
                     int(theirs.value(QStringLiteral("columns")).toArray().size()));
            if (file.contains(QLatin1String("overflowTest"))) {
                // mdb-reader returns moved rows where they now lie; we return them in their place.
                QStringList a, b;
                for (int i = 0; i < ours.size(); ++i) {
                    a << testing::referenceRowText(ours[i].toArray());
                    b << testing::referenceRowText(expected[i].toArray());
                }
                for (int i = 0; i < a.size(); ++i)
                    QVERIFY2(a[i].contains(QStringLiteral("row%1col").arg(i + 1)), qPrintable(a[i]));
                std::sort(a.begin(), a.end());
                std::sort(b.begin(), b.end());
                QCOMPARE(a, b);
                continue;
            }
            for (int r = 0; r < ours.size(); ++r) {
                const QJsonArray o = ours[r].toArray();
                const QJsonArray e = expected[r].toArray();
                for (int c = 0; c < o.size(); ++c) {
                    QVERIFY2(sameValue(o[c], e[c]),
                             qPrintable(QStringLiteral("%1 row %2 column %3: ours %4, mdb-reader %5")
                                            .arg(name)
                                            .arg(r)
                                            .arg(table->columns[c].name, o[c].toVariant().toString(),
                                                 e[c].toVariant().toString())));
                }
            }
        }
    }

    // The string-free view of a Text column gives what value() gives, on every row of every
    // file, compressed or not; other types are left to value().
    void textViewAgreesWithValue_data() { matchesMdbReader_data(); }
    void textViewAgreesWithValue() {
        QFETCH(QString, file);
        VERIFY_CORPUS(file);
        const QString path = testing::corpusCopy(file, dir_.path());
        QVERIFY(!path.isEmpty());
        const auto db = jet4::Database::open(path);
        for (const QString& name : db->tableNames()) {
            const jet4::TableDef* table = db->findTable(name);
            auto cursor = db->openCursor(*table);
            while (cursor->next()) {
                for (int c = 0; c < int(table->columns.size()); ++c) {
                    QStringView view;
                    const auto read = cursor->textView(c, view);
                    const jet4::Value value = cursor->value(c);
                    if (table->columns[c].type != jet4::ColumnType::Text) {
                        QCOMPARE(read, jet4::TableCursor::TextRead::NotText);
                    } else if (value.isNull()) {
                        QCOMPARE(read, jet4::TableCursor::TextRead::Null);
                    } else {
                        QCOMPARE(read, jet4::TableCursor::TextRead::Text);
                        QCOMPARE(view.toString(), value.asText());
                    }
                }
            }
        }
    }

    // mdbtools agrees on the row counts of every user table (its values are checked by the
    // writer tests; on Access files it formats by locale, see REFERENCES.md).
    void rowCountsMatchMdbExport() {
        VERIFY_CORPUS(QStringLiteral("jackcess/testV2003.mdb"));
        const QString path = testing::corpusCopy(QStringLiteral("jackcess/testV2003.mdb"), dir_.path());
        const auto db = jet4::Database::open(path);
        for (const QString& name : db->tableNames()) {
            const auto exported = ReferenceReaders::mdbExport(path, name);
            QCOMPARE(db->checkRowCount(*db->findTable(name)).counted, qint64(exported.rows.size()));
        }
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(ReaderCorpusTest)
#include "tst_reader_corpus.moc"
